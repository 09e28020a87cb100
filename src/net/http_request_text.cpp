#include "net/http_request_text.h"

#include "net/http_url.h"

#include <QByteArray>
#include <algorithm>

namespace chronvale {

HttpRequestText buildRequestText(std::string_view url, bool viaProxy, std::string_view userAgent,
                                 std::string_view basicToken) {
    HttpRequestText request;
    std::string& text = request.text;
    text.reserve(1024);
    text += "GET ";
    text += requestTarget(url, viaProxy);
    text += ' ';
    request.headerOffset = text.size();
    text += "HTTP/1.0\r\n";
    text += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
            "application/vnd.ms-powerpoint, application/vnd.ms-excel, application/msword, "
            "application/x-shockwave-flash, */*\r\n";
    text += "Accept-Charset: iso-8859-1,*,utf-8\r\n";
    if (viaProxy) {
        text += "Connection: close\r\n";
    }
    if (!userAgent.empty()) {
        text += "User-Agent: ";
        text += userAgent;
        text += "\r\n";
    }
    if (url.find("//") != std::string_view::npos) {
        const std::string host = urlHost(url);
        text += "Host: ";
        // An IPv6 address keeps its brackets, so that its colons do not read as a port.
        text += host.find(':') == std::string::npos ? host : "[" + host + "]";
        text += "\r\n";
    }
    if (!basicToken.empty()) {
        text += "Proxy-Authorization: Basic ";
        text += basicToken;
        text += "\r\n";
    }
    text += "\r\n";
    return request;
}

std::string basicToken(std::string_view userName, std::string_view password) {
    std::string credentials(userName);
    credentials += ':';
    credentials += password;
    credentials.resize(std::min<std::size_t>(credentials.size(), 99));
    const QByteArray encoded =
        QByteArray(credentials.data(), static_cast<qsizetype>(credentials.size())).toBase64();
    return encoded.toStdString();
}

} // namespace chronvale
