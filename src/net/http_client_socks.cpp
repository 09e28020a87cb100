// The SOCKS 4 and SOCKS 5 negotiation of the HTTP client.
//
// Once connected to the proxy, a transfer asks it for a connection to the target and
// only then sends its HTTP request over the same socket. The step is kept in the
// transfer's socksStep:
//   SOCKS 4: 3 resolve the target, send the connect request; 4 await the 8-byte reply.
//   SOCKS 5: 1 greeting sent, await the method; 2 credentials sent, await the status;
//            4 connect request sent, await the reply.
// SOCKS 4 is given an IPv4 address the client resolved itself; a name the client
// cannot resolve goes to the proxy as SOCKS 4a. SOCKS 5 is given the target host as
// the URL names it, so the proxy resolves names: the client makes no lookup of its
// own, which would tell the local resolver where the user goes and fail where only the
// proxy can resolve.
//
// A reply that arrives in parts over several reads is collected until it is whole
// (proxies may write the bytes of a reply separately); its length comes from the
// reply itself (a SOCKS 5 connect reply is as long as its bound address). Bytes after
// it are response data. A refusal sends nothing more: the transfer ends when the proxy
// closes the connection or at the timeout, as Failed. A reply that is none of SOCKS
// ends the transfer at once.

#include "net/http_client.h"
#include "net/http_url.h"
#include "net/socks.h"

#include <QHostAddress>
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
    // SOCKS 4 only: the target's IPv4 address is in addressText, or the lookup found
    // none and the proxy is asked to resolve the name (4a).
    const int port = urlPort(r.url);
    if (!localHostName_) {
        localHostName_ = QSysInfo::machineHostName().toStdString().substr(0, 90);
    }
    std::optional<std::string> request;
    if (const auto address = ipv4Bytes(r.addressText)) {
        request = socks4ConnectRequest(*address, port, *localHostName_);
    } else {
        request = socks4aConnectRequest(urlHost(r.url), port, *localHostName_);
    }
    if (!request) {
        report(r, "Address Translation Error");
        if (r.linked) {
            stall(r);
        }
        return;
    }
    r.socksStep = 4;
    socksSend(r, *request);
}

void HttpClient::socks5Connect(HttpRequest& r) {
    const std::string host = urlHost(r.url);
    const int port = urlPort(r.url);
    std::optional<std::string> request;
    if (const auto v4 = ipv4Bytes(host)) {
        request = socks5ConnectRequest(*v4, port);
    } else if (const QHostAddress v6(QString::fromStdString(host));
               host.find(':') != std::string::npos &&
               v6.protocol() == QAbstractSocket::IPv6Protocol) {
        const Q_IPV6ADDR raw = v6.toIPv6Address();
        std::array<std::uint8_t, 16> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = raw[static_cast<int>(i)];
        }
        request = socks5ConnectRequest(bytes, port);
    } else {
        request = socks5ConnectRequest(host, port);
    }
    if (!request) {
        report(r, "Address Translation Error");
        if (r.linked) {
            stall(r);
        }
        return;
    }
    r.socksStep = 4;
    socksSend(r, *request);
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
    SocksReply kind = SocksReply::Socks4;
    switch (r.socksStep) {
    case 1:
        kind = SocksReply::Socks5Method;
        break;
    case 2:
        kind = SocksReply::Socks5Auth;
        break;
    case 4:
        kind = proxyType_ == ProxySocks4 ? SocksReply::Socks4 : SocksReply::Socks5Connect;
        break;
    default:
        // No reply is expected while the target is being resolved.
        return std::string(block);
    }
    // Only as much as the longest reply is ever held: the rest is response data.
    r.socksReply.append(block);
    const SocksReplyScan scan = scanSocksReply(kind, r.socksReply);
    if (scan.status == SocksReplyScan::Status::Malformed) {
        r.socksReply.clear();
        report(r, "The proxy's answer is not SOCKS");
        if (r.linked && !r.completing) {
            r.flags |= HttpRequest::Failed;
            complete(r);
        }
        return {};
    }
    if (scan.status == SocksReplyScan::Status::Incomplete) {
        return {};
    }
    const std::string reply = r.socksReply.substr(0, scan.size);
    std::string rest = r.socksReply.substr(scan.size);
    r.socksReply.clear();
    noteProgress(r);

    const std::uint8_t code = scan.code;
    if (r.socksStep == 1) {
        if (code == socks5NoAuthentication) {
            socks5Connect(r);
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
        socks5Connect(r);
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
