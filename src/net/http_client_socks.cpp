// The SOCKS 4 and SOCKS 5 negotiation of the HTTP client.
//
// Once connected to the proxy, a transfer asks it for a connection to the target and
// only then sends its HTTP request over the same socket. The step is kept in the
// transfer's socksStep:
//   SOCKS 4: 3 resolve the target, send the connect request; 4 await the 8-byte reply.
//   SOCKS 5: 1 greeting sent, await the method; 2 credentials sent, await the status;
//            3 resolve the target, send the connect request; 4 await the 10-byte reply.
// The client resolves the target itself: the proxy is only given an IPv4 address.
//
// A reply that arrives in parts over several reads is collected until it is whole
// (proxies may write the bytes of a reply separately); bytes after it are response
// data. A refusal sends nothing more: the transfer ends when the proxy closes the
// connection or at the timeout, as Failed.

#include "net/http_client.h"
#include "net/http_url.h"
#include "net/socks.h"

#include <QSysInfo>
#include <QTcpSocket>

namespace chronvale {

void HttpClient::socksStart(HttpRequest& r) {
    if (proxyType_ == ProxySocks4) {
        r.socksStep = 3;
        addressStep(r);
        return;
    }
    if (socksSend(r, socks5Greeting())) {
        r.socksStep = 1;
    }
}

void HttpClient::socksTargetKnown(HttpRequest& r) {
    const auto address = ipv4Bytes(r.addressText);
    if (!address) {
        report(r, "Address Translation Error");
        if (r.linked) {
            stall(r);
        }
        return;
    }
    const int port = urlPort(r.url);
    r.socksStep = 4;
    if (proxyType_ == ProxySocks4) {
        if (!localHostName_) {
            localHostName_ = QSysInfo::machineHostName().toStdString().substr(0, 90);
        }
        socksSend(r, socks4ConnectRequest(*address, port, *localHostName_));
    } else {
        socksSend(r, socks5ConnectRequest(*address, port));
    }
}

bool HttpClient::socksSend(HttpRequest& r, const std::string& message) {
    if (!r.socket) {
        return false;
    }
    noteProgress(r);
    const qint64 written = r.socket->write(message.data(), static_cast<qint64>(message.size()));
    if (written != static_cast<qint64>(message.size())) {
        report(r, "Request send Failed (0)");
        if (r.linked) {
            stall(r);
        }
        return false;
    }
    r.state = HttpState::SocksNegotiating;
    return true;
}

void HttpClient::socksHandBack(HttpRequest& r) {
    r.socksStep = 0;
    r.state = HttpState::Connected;
    sendRequest(r);
}

std::string HttpClient::socksFilter(HttpRequest& r, std::string_view block) {
    if (r.socksRefused) {
        return std::string(block);
    }
    std::size_t replySize = 0;
    switch (r.socksStep) {
    case 1:
    case 2:
        replySize = socks5ShortReplySize;
        break;
    case 4:
        replySize = proxyType_ == ProxySocks4 ? socks4ReplySize : socks5ConnectReplySize;
        break;
    default:
        // No reply is expected while the target is being resolved.
        return std::string(block);
    }
    r.socksReply.append(block);
    if (r.socksReply.size() < replySize) {
        return {};
    }
    const std::string reply = r.socksReply.substr(0, replySize);
    std::string rest = r.socksReply.substr(replySize);
    r.socksReply.clear();
    noteProgress(r);

    const auto code = static_cast<std::uint8_t>(reply[1]);
    if (r.socksStep == 1) {
        if (code == socks5NoAuthentication) {
            r.socksStep = 3;
            addressStep(r);
        } else if (code == socks5UserPassword) {
            if (socksSend(r, socks5UserPasswordRequest(proxyUser_.value_or(std::string()),
                                                       proxyPassword_.value_or(std::string())))) {
                r.socksStep = 2;
            }
        } else {
            // The proxy takes none of the methods offered; it will close the connection.
            r.socksStep = 2;
            r.socksRefused = true;
        }
        return rest;
    }
    if (r.socksStep == 2) {
        if (code != 0) {
            r.socksRefused = true;
            return reply + rest;
        }
        r.socksStep = 3;
        addressStep(r);
        return rest;
    }
    // Step 4: the connect reply. SOCKS 4 replies are not examined; a refusing proxy
    // closes the connection.
    if (proxyType_ == ProxySocks5 && code != 0) {
        r.socksRefused = true;
        return rest;
    }
    socksHandBack(r);
    return rest;
}

} // namespace chronvale
