#include "net/http_client.h"

#include "net/http_request_text.h"
#include "net/http_response.h"
#include "net/http_url.h"
#include "net/socks.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <tuple>

namespace chronvale {

namespace {

constexpr std::int64_t maxRead = 4096;
// What the socket may hold before the client has read it; it stops reading from the
// network beyond this, so a transfer that no longer reads cannot grow it.
constexpr qint64 socketBufferLimit = 256 * 1024;
constexpr std::size_t maxMessage = 98;
constexpr int maxRestarts = 5;

bool beginsWithHttp(std::string_view url) {
    static constexpr std::string_view http = "http";
    if (url.size() < http.size()) {
        return false;
    }
    for (std::size_t i = 0; i < http.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(url[i])) != http[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

HttpRequest::~HttpRequest() {
    if (socket) {
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
    }
}

class HttpClient::Entry {
public:
    explicit Entry(HttpClient& client) : client_(client) { ++client_.depth_; }
    ~Entry() {
        if (--client_.depth_ == 0) {
            client_.removed_.clear();
        }
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

private:
    HttpClient& client_;
};

HttpClient::HttpClient(QObject* parent) : QObject(parent) {
    timeoutTimer_.setInterval(std::chrono::milliseconds(64000));
    tickTimer_.setInterval(std::chrono::milliseconds(100));
    connect(&timeoutTimer_, &QTimer::timeout, this, &HttpClient::timeoutTick);
    connect(&tickTimer_, &QTimer::timeout, this, &HttpClient::progressTick);
}

HttpClient::~HttpClient() {
    // No callbacks any more: the owner may be gone already.
    owner_ = nullptr;
    for (auto& r : transfers_) {
        stopNetwork(*r);
    }
    transfers_.clear();
    removed_.clear();
}

bool HttpClient::httpInit(HttpEventSink* owner, std::string_view userAgent) {
    if (!owner) {
        return false;
    }
    if (!owner_) {
        proxyHost_.reset();
        proxyPort_ = 80;
    }
    userAgent_ = std::string(userAgent);
    owner_ = owner;
    timeoutTimer_.start();
    tickTimer_.start();
    return true;
}

void HttpClient::httpSetProxy(int type, std::string_view host, int port, std::string_view userName,
                              std::string_view password) {
    const auto before =
        std::make_tuple(proxyType_, proxyHost_, proxyPort_, proxyUser_, proxyPassword_);
    applyProxy(type, host, port, userName, password);
    // The token carries the old credentials: another proxy (or another user) must not
    // be given them. The same settings again keep it.
    if (before != std::make_tuple(proxyType_, proxyHost_, proxyPort_, proxyUser_, proxyPassword_)) {
        basicToken_.clear();
    }
}

void HttpClient::applyProxy(int type, std::string_view host, int port, std::string_view userName,
                            std::string_view password) {
    proxyType_ = type;
    proxyHost_.reset();
    proxyUser_.reset();
    proxyPassword_.reset();
    proxyPort_ = 80;
    if (type == ProxyNone || host.empty()) {
        return;
    }
    proxyHost_ = std::string(host);
    if (port != 0) {
        proxyPort_ = port;
    }
    if (!userName.empty()) {
        proxyUser_ = std::string(userName);
    }
    if (!password.empty()) {
        proxyPassword_ = std::string(password);
    }
}

void HttpClient::setTimerPeriods(std::chrono::milliseconds timeout,
                                 std::chrono::milliseconds tick) {
    timeoutTimer_.setInterval(timeout);
    tickTimer_.setInterval(tick);
}

HttpRequest* HttpClient::httpGet(std::string_view url, std::intptr_t userData,
                                 HttpCompletion onComplete) {
    if (url.empty() || !owner_ || !beginsWithHttp(url)) {
        return nullptr;
    }
    Entry entry(*this);
    auto owned = std::make_unique<HttpRequest>();
    HttpRequest& r = *owned;
    r.socket = newSocket();
    r.linked = true;
    transfers_.push_back(std::move(owned));
    if (!timeoutTimer_.isActive()) {
        timeoutTimer_.start();
    }
    if (!tickTimer_.isActive()) {
        tickTimer_.start();
    }
    r.url = std::string(url);
    r.onComplete = std::move(onComplete);
    r.userData = userData;
    r.state = HttpState::New;
    r.startGuard = true;
    addressStep(r);
    r.startGuard = false;
    if (!r.linked) {
        return nullptr;
    }
    if (r.completing) {
        // It ended while starting and its completion function has run; the caller must
        // not be handed a record that nobody would ever remove.
        remove(r);
        return nullptr;
    }
    return &r;
}

void HttpClient::httpCancelAll() {
    if (cancelling_) {
        return;
    }
    Entry entry(*this);
    cancelling_ = true;
    timeoutTimer_.stop();
    tickTimer_.stop();
    while (!transfers_.empty()) {
        HttpRequest& r = *transfers_.front();
        r.flags |= HttpRequest::Cancelled | HttpRequest::Failed;
        // A transfer whose completion is running (the cancel comes from inside it) has
        // had its completion function called already.
        if (!r.completing && r.onComplete) {
            r.completing = true;
            r.onComplete(r, r.userData);
        }
        if (r.linked) {
            remove(r);
        }
    }
    cancelling_ = false;
}

void HttpClient::httpShutdown() {
    Entry entry(*this);
    if (!transfers_.empty()) {
        httpCancelAll();
    }
    timeoutTimer_.stop();
    tickTimer_.stop();
    userAgent_.clear();
    basicToken_.clear();
    proxyHost_.reset();
    proxyUser_.reset();
    proxyPassword_.reset();
    owner_ = nullptr;
}

QTcpSocket* HttpClient::newSocket() {
    auto* socket = new QTcpSocket(this);
    // The client speaks to its proxies itself; Qt's own proxy settings must not apply.
    socket->setProxy(QNetworkProxy::NoProxy);
    socket->setReadBufferSize(socketBufferLimit);
    connect(socket, &QTcpSocket::connected, this, [this, socket] { connected(socket); });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readable(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { closed(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError error) { socketError(socket, error); });
    return socket;
}

HttpRequest* HttpClient::findBySocket(const QTcpSocket* socket) const {
    for (const auto& r : transfers_) {
        if (r->socket == socket) {
            return r.get();
        }
    }
    return nullptr;
}

HttpRequest* HttpClient::successor(const HttpRequest* r) const {
    for (std::size_t i = 0; i + 1 < transfers_.size(); ++i) {
        if (transfers_[i].get() == r) {
            return transfers_[i + 1].get();
        }
    }
    return nullptr;
}

void HttpClient::notify(HttpEvent event, HttpRequest& r, std::string_view text, int code) {
    if (owner_) {
        owner_->httpEvent(event, r, text, code);
    }
}

void HttpClient::report(HttpRequest& r, std::string_view message) {
    std::string text = " ";
    text += message.substr(0, maxMessage);
    notify(EventMessage, r, text);
}

void HttpClient::noteProgress(HttpRequest& r) {
    // A transfer that has already waited ten ticks gets no fresh start from a late step.
    if (r.state != HttpState::Receiving && r.idleTicks != 10) {
        r.idleTicks = 0;
    }
}

void HttpClient::stall(HttpRequest& r) {
    r.state = HttpState::Stalled;
    if (r.socket) {
        // The socket stays open but the transfer hears nothing more from it.
        QObject::disconnect(r.socket, nullptr, this, nullptr);
    }
}

void HttpClient::addressStep(HttpRequest& r) {
    if (!owner_ || r.url.empty()) {
        return;
    }
    if (r.restarts == 0) {
        notify(EventResolving, r);
        if (!r.linked) {
            return;
        }
    }
    std::string host;
    if (viaProxy() && r.socksStep == 0) {
        host = hostOfHostPort(*proxyHost_);
    } else {
        host = urlHost(r.url);
    }
    noteProgress(r);
    r.addresses.clear();
    r.nextAddress = 0;
    if (isNumericHost(host)) {
        r.addressText = host.find(':') == std::string::npos ? host.substr(0, 15) : host;
        r.state = HttpState::Connecting;
        if (r.socksStep != 0) {
            socksTargetKnown(r);
        } else {
            connectStep(r);
        }
        return;
    }
    r.state = HttpState::Resolving;
    if (resolver_) {
        QHostInfo info(nextResolverLookup_--);
        info.setHostName(QString::fromStdString(host));
        info.setAddresses(resolver_(info.hostName()));
        if (info.addresses().isEmpty()) {
            info.setError(QHostInfo::HostNotFound);
        }
        r.lookupId = info.lookupId();
        QMetaObject::invokeMethod(
            this, [this, info] { lookupDone(info); }, Qt::QueuedConnection);
        return;
    }
    r.lookupId =
        QHostInfo::lookupHost(QString::fromStdString(host), this, SLOT(lookupDone(QHostInfo)));
}

void HttpClient::lookupDone(const QHostInfo& info) {
    Entry entry(*this);
    HttpRequest* found = nullptr;
    for (const auto& r : transfers_) {
        if (r->state == HttpState::Resolving && r->lookupId == info.lookupId()) {
            found = r.get();
            break;
        }
    }
    if (!found) {
        return;
    }
    HttpRequest& r = *found;
    r.lookupId = -1;
    // A SOCKS 4 proxy takes IPv4 addresses only; everything else connects to each
    // address in the resolver's order, IPv4 or IPv6, until one answers.
    const bool socks4Target = r.socksStep != 0;
    r.addresses.clear();
    r.nextAddress = 0;
    if (info.error() == QHostInfo::NoError) {
        for (const QHostAddress& a : info.addresses()) {
            const bool v4 = a.protocol() == QAbstractSocket::IPv4Protocol;
            const bool v6 = a.protocol() == QAbstractSocket::IPv6Protocol;
            if (v4 || (v6 && !socks4Target)) {
                r.addresses.push_back(a.toString().toStdString());
            }
        }
    }
    if (r.addresses.empty() && socks4Target) {
        // The name does not resolve here: the proxy may know it (SOCKS 4a).
        r.addressText.clear();
        r.state = HttpState::Connecting;
        socksTargetKnown(r);
        return;
    }
    if (r.addresses.empty()) {
        r.flags |= HttpRequest::SocketError | HttpRequest::Failed | HttpRequest::HostNotFound;
        r.errorCode = info.error() != QHostInfo::NoError ? info.error() : QHostInfo::HostNotFound;
        report(r, "Host Not Found");
        if (!r.linked) {
            return;
        }
        r.state = HttpState::Stalled;
        complete(r);
        return;
    }
    r.addressText = r.addresses[0];
    r.nextAddress = 1;
    r.state = HttpState::Connecting;
    if (r.restarts == 0) {
        notify(EventResolved, r);
        if (!r.linked) {
            return;
        }
    }
    if (r.socksStep != 0) {
        socksTargetKnown(r);
    } else {
        connectStep(r);
    }
}

void HttpClient::connectStep(HttpRequest& r) {
    notify(EventConnecting, r);
    if (!r.linked || !r.socket) {
        return;
    }
    const int port = viaProxy() && r.socksStep == 0 ? proxyPort_ : urlPort(r.url);
    QHostAddress address;
    if (const auto v4 = ipv4Bytes(r.addressText)) {
        address = QHostAddress((quint32{(*v4)[0]} << 24) | (quint32{(*v4)[1]} << 16) |
                               (quint32{(*v4)[2]} << 8) | quint32{(*v4)[3]});
    } else if (r.addressText.find(':') != std::string::npos) {
        address = QHostAddress(QString::fromStdString(r.addressText));
        if (address.protocol() != QAbstractSocket::IPv6Protocol) {
            address.clear();
        }
    }
    if (address.isNull()) {
        report(r, "Address Translation Error");
        if (r.linked) {
            stall(r);
        }
        return;
    }
    noteProgress(r);
    r.socket->connectToHost(address, static_cast<quint16>(port));
}

bool HttpClient::tryNextAddress(HttpRequest& r, QAbstractSocket::SocketError error) {
    const bool unreachable = error == QAbstractSocket::ConnectionRefusedError ||
                             error == QAbstractSocket::HostNotFoundError ||
                             error == QAbstractSocket::NetworkError ||
                             error == QAbstractSocket::SocketTimeoutError ||
                             error == QAbstractSocket::UnsupportedSocketOperationError;
    if (r.state != HttpState::Connecting || !unreachable || r.nextAddress >= r.addresses.size()) {
        return false;
    }
    r.addressText = r.addresses[r.nextAddress++];
    if (QTcpSocket* old = r.socket) {
        QObject::disconnect(old, nullptr, this, nullptr);
        old->abort();
        old->deleteLater();
    }
    r.socket = newSocket();
    connectStep(r);
    return true;
}

void HttpClient::connected(QTcpSocket* socket) {
    Entry entry(*this);
    HttpRequest* found = findBySocket(socket);
    if (!found) {
        return;
    }
    HttpRequest& r = *found;
    if (viaProxy() && (proxyType_ == ProxySocks4 || proxyType_ == ProxySocks5) &&
        r.state != HttpState::Connected) {
        r.socksStep = 0;
        socksStart(r);
        return;
    }
    r.state = HttpState::Connected;
    sendRequest(r);
}

void HttpClient::socketError(QTcpSocket* socket, QAbstractSocket::SocketError error) {
    // The peer closing the connection is the end of the response, not an error; the
    // socket reports it again as disconnected(), which completes the transfer.
    if (error == QAbstractSocket::RemoteHostClosedError) {
        return;
    }
    Entry entry(*this);
    HttpRequest* found = findBySocket(socket);
    if (!found || found->completing) {
        return;
    }
    HttpRequest& r = *found;
    if (tryNextAddress(r, error)) {
        return;
    }
    if (error == QAbstractSocket::SocketResourceError) {
        report(r, "Unable to get socket.");
        if (!r.linked) {
            return;
        }
    }
    r.flags |= HttpRequest::SocketError | HttpRequest::Failed;
    r.errorCode = error;
    notify(EventWinsockError, r, {}, error);
    if (r.linked && !r.completing) {
        complete(r);
    }
}

void HttpClient::drain(HttpRequest& r, QTcpSocket* socket) {
    if (r.socksStep == 0) {
        r.state = HttpState::Receiving;
    }
    // Each read takes at most one block; go on while the socket holds more, since
    // it only signals again when new bytes come from the network.
    while (socket->bytesAvailable() > 0 && readOnce(r, socket)) {
    }
}

void HttpClient::readable(QTcpSocket* socket) {
    Entry entry(*this);
    HttpRequest* found = findBySocket(socket);
    if (!found) {
        return;
    }
    drain(*found, socket);
}

void HttpClient::closed(QTcpSocket* socket) {
    Entry entry(*this);
    HttpRequest* found = findBySocket(socket);
    if (!found) {
        return;
    }
    HttpRequest& r = *found;
    // What arrived before the close is still in the socket: take it all first.
    drain(r, socket);
    if (r.linked && r.socket == socket && !r.completing) {
        complete(r);
    }
}

bool HttpClient::readOnce(HttpRequest& r, QTcpSocket* socket) {
    const std::size_t room = r.response.limit() - std::min(r.response.limit(), r.response.size());
    if (r.response.reserve(std::min<std::size_t>(room, maxRead)) ==
        ResponseBuffer::AppendResult::NoMemory) {
        notify(EventNoMemory, r, "Error QH112: Out of memory");
        return false;
    }
    char block[maxRead];
    const qint64 count = socket->read(block, maxRead);
    if (count < 0) {
        notify(EventWinsockError, r, {}, socket->error());
        if (!r.linked || r.completing) {
            return false;
        }
        if (r.received == 0) {
            stall(r);
        } else {
            r.flags |= HttpRequest::Failed;
            complete(r);
        }
        return false;
    }
    if (count == 0) {
        return false;
    }
    std::string_view data(block, static_cast<std::size_t>(count));
    std::string afterSocks;
    if (r.socksStep != 0 || r.socksRefused) {
        afterSocks = socksFilter(r, data);
        if (!r.linked || r.socket != socket || r.completing) {
            return false;
        }
        data = afterSocks;
    }
    r.idleTicks = 0;
    if (data.empty()) {
        return true;
    }
    switch (r.response.append(data)) {
    case ResponseBuffer::AppendResult::Stored:
        break;
    case ResponseBuffer::AppendResult::TooLarge:
        report(r, "Response too large (more than 64 MiB)");
        if (r.linked && !r.completing) {
            r.flags |= HttpRequest::Failed;
            complete(r);
        }
        return false;
    case ResponseBuffer::AppendResult::NoMemory:
        notify(EventNoMemory, r, "Error QH112: Out of memory");
        return false;
    }
    if (!r.headersComplete) {
        if (const auto end =
                findHeaderEnd(r.response.view(), static_cast<std::size_t>(r.received))) {
            r.headersComplete = true;
            r.headerLength = static_cast<int>(*end);
            r.status = parseStatus(r.response.view());
        }
    }
    r.received = static_cast<int>(r.response.size());
    notify(EventData, r);
    return r.linked && r.socket == socket && !r.completing;
}

void HttpClient::sendRequest(HttpRequest& r) {
    const HttpRequestText request = buildRequestText(r.url, viaProxy(), userAgent_, basicToken_);
    notify(EventSent, r, request.headerText());
    if (!r.linked || !r.socket) {
        return;
    }
    noteProgress(r);
    const qint64 written =
        r.socket->write(request.text.data(), static_cast<qint64>(request.text.size()));
    if (written != static_cast<qint64>(request.text.size())) {
        char message[64];
        std::snprintf(message, sizeof message, "Request Send failed (%lld)",
                      static_cast<long long>(written));
        report(r, message);
        if (r.linked) {
            stall(r);
        }
    }
}

void HttpClient::complete(HttpRequest& r) {
    r.completing = true;
    stopNetwork(r);
    r.state = HttpState::New;
    const bool failedAlready = (r.flags & HttpRequest::Failed) != 0;
    if (r.received == 0) {
        r.flags |= HttpRequest::Failed;
    } else if (r.status == 200 && !failedAlready) {
        r.flags |= HttpRequest::Succeeded;
    } else if (r.status == 301 || r.status == 302) {
        r.flags |= HttpRequest::Redirected | HttpRequest::Failed;
    } else if (r.status == 407 && basicToken_.empty() && proxyUser_ && r.restarts < maxRestarts) {
        // The proxy wants credentials: make the token once and ask again with it.
        basicToken_ = basicToken(*proxyUser_, proxyPassword_.value_or(std::string()));
        ++r.restarts;
        restart(r);
        return;
    } else {
        r.flags |= HttpRequest::Failed;
    }
    const int result = r.onComplete ? r.onComplete(r, r.userData) : 0;
    if (!r.linked) {
        return;
    }
    if (result == HttpFollowRedirect && followRedirect(r)) {
        return;
    }
    if (r.startGuard) {
        // httpGet is still starting this transfer; it removes the record itself.
        return;
    }
    remove(r);
}

bool HttpClient::followRedirect(HttpRequest& r) {
    // Only a redirect status names a new location, and only in its Location header:
    // whatever the body says (a server error element's number, a link) is never
    // followed.
    if (r.restarts >= maxRestarts || !r.headersComplete || r.status < 300 || r.status > 399) {
        return false;
    }
    const std::string_view headers =
        r.response.view().substr(0, static_cast<std::size_t>(r.headerLength));
    std::optional<std::string> url = redirectUrl(headers, r.url);
    if (!url) {
        return false;
    }
    if (const std::string scheme = urlScheme(*url); scheme != "http") {
        // The client speaks plain HTTP only; an "https:" page fetched in clear text on
        // port 80 would be another page, or the same one without its protection.
        report(r, "Redirect to " + scheme.substr(0, 16) + ": refused (only http: is supported)");
        return false;
    }
    r.url = std::move(*url);
    ++r.restarts;
    restart(r);
    return true;
}

void HttpClient::restart(HttpRequest& r) {
    r.flags = 0;
    r.idleTicks = 0;
    r.status = 0;
    r.headersComplete = false;
    r.headerLength = 0;
    r.received = 0;
    r.completing = false;
    r.errorCode = 0;
    r.response.clear();
    r.socksStep = 0;
    r.socksRefused = false;
    r.socksReply.clear();
    r.addresses.clear();
    r.nextAddress = 0;
    r.state = HttpState::New;
    stopNetwork(r);
    r.socket = newSocket();
    addressStep(r);
}

void HttpClient::remove(HttpRequest& r) {
    stopNetwork(r);
    const auto it = std::find_if(transfers_.begin(), transfers_.end(),
                                 [&r](const auto& owned) { return owned.get() == &r; });
    if (it == transfers_.end()) {
        return;
    }
    if (visiting_ == &r) {
        visiting_ = successor(&r);
    }
    r.linked = false;
    removed_.push_back(std::move(*it));
    transfers_.erase(it);
    notify(EventRemoved, r);
    if (transfers_.empty()) {
        notify(EventIdle, r);
    }
}

void HttpClient::stopNetwork(HttpRequest& r) {
    if (r.lookupId != -1) {
        QHostInfo::abortHostLookup(r.lookupId);
        r.lookupId = -1;
    }
    if (QTcpSocket* socket = r.socket) {
        r.socket = nullptr;
        QObject::disconnect(socket, nullptr, this, nullptr);
        socket->abort();
        socket->deleteLater();
    }
}

HttpRequest* HttpClient::visited() const {
    if (transfers_.empty()) {
        return nullptr;
    }
    for (const auto& r : transfers_) {
        if (r.get() == visiting_) {
            return visiting_;
        }
    }
    return transfers_.front().get();
}

void HttpClient::afterTick(HttpRequest& r) {
    if (!r.linked) {
        return; // its removal has moved the position on
    }
    visiting_ = successor(&r);
    if (r.state == HttpState::Stalled) {
        // A stalled transfer will only time out: its partial response is of no use.
        // Only the visited one is meant; another stalled transfer keeps its bytes until
        // its own turn.
        r.response.clear();
        r.received = 0;
    }
}

void HttpClient::timeoutTick() {
    Entry entry(*this);
    HttpRequest* found = visited();
    if (!found) {
        return;
    }
    HttpRequest& r = *found;
    ++r.idleTicks;
    const bool waiting = r.state == HttpState::Stalled || r.state == HttpState::Connecting ||
                         r.state == HttpState::Connected || r.state == HttpState::Resolving;
    if (!r.completing && ((r.idleTicks > 1 && waiting) || r.idleTicks > 10)) {
        r.flags |= HttpRequest::TimedOut | HttpRequest::Failed;
        complete(r);
        if (r.linked) {
            r.idleTicks = 0;
        }
    }
    afterTick(r);
}

void HttpClient::progressTick() {
    Entry entry(*this);
    HttpRequest* found = visited();
    if (!found) {
        return;
    }
    notify(EventTick, *found);
    afterTick(*found);
}

} // namespace chronvale
