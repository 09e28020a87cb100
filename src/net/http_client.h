#pragma once
// The program's own asynchronous HTTP/1.0 client.
//
// One instance serves the whole process (the application owns it). Everything runs
// on the thread that owns the client, driven by its event loop: name lookups go to
// QHostInfo, connections are QTcpSockets whose signals drive each transfer, and two
// timers give progress ticks and the inactivity timeout. No call blocks.
//
// A transfer is a GET of an "http://" URL, directly or through an HTTP proxy (with
// Basic proxy authentication), a SOCKS 4 or a SOCKS 5 proxy. A name that resolves to
// several addresses (IPv4 and IPv6) is tried address by address, in order. The whole response is
// collected in memory and handed to the caller's completion function, which may ask
// for a 301/302 redirect to be followed. Progress and failures go to the owner as
// events (net/http_request.h).
//
// Callbacks (completion functions and events) may start, cancel or shut down
// transfers, but must not destroy the client; records that leave the list are kept
// until the outermost call into the client has returned, so no record is freed under
// a running handler.

#include "net/http_request.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QHostInfo;

namespace chronvale {

class HttpClient : public QObject {
    Q_OBJECT

public:
    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Adopts the owner that receives the events and keeps a copy of the user agent
    // (empty: no User-Agent header); starts the timers. The first call also clears
    // the proxy. Fails without an owner.
    bool httpInit(HttpEventSink* owner, std::string_view userAgent);

    // Looks names up through `resolver` (the addresses of a name, in the order to
    // try; none: the name is not found) instead of the system's resolver, still
    // answering after the call that started the lookup. For tests, which need
    // names with particular addresses; an empty function restores the system's.
    using Resolver = std::function<QList<QHostAddress>(const QString& name)>;
    void setResolver(Resolver resolver) { resolver_ = std::move(resolver); }

    // Type 0 (or an empty host) means no proxy; 1 an HTTP proxy, 2 SOCKS 4, 3 SOCKS 5.
    // Port 0 means 80. An empty user name or password counts as none. A Basic token
    // made earlier is dropped when anything here differs from the settings before.
    void httpSetProxy(int type, std::string_view host, int port, std::string_view userName,
                      std::string_view password);

    // Starts a GET of `url`. Returns the transfer, or none when the URL is empty or does
    // not begin with "http" (any case), when there is no owner, or when the transfer
    // already ended while it was being started (its completion function has then been
    // called). The record is freed after the transfer ends; do not keep the pointer.
    HttpRequest* httpGet(std::string_view url, std::intptr_t userData, HttpCompletion onComplete);

    // Ends every transfer: each completion function is called with Cancelled and Failed
    // (unless that transfer's completion is already running), then the transfer is
    // removed. A call from inside a cancel returns at once. Stops the timers until the
    // next httpGet.
    void httpCancelAll();

    // Cancels everything and forgets the owner, the agent and the proxy.
    void httpShutdown();

    // The timer periods: 64 s between timeout ticks and 100 ms between progress ticks,
    // unless changed (tests run them in milliseconds).
    void setTimerPeriods(std::chrono::milliseconds timeout, std::chrono::milliseconds tick);

    // What the two timers run. Each tick looks at one transfer, taking them in turn.
    void timeoutTick();
    void progressTick();

    std::size_t transferCount() const { return transfers_.size(); }
    bool timersActive() const { return timeoutTimer_.isActive(); }

private Q_SLOTS:
    // A name lookup has ended. (A slot named by its signature: Qt 6.4 leaks the functor
    // of a lookup that is aborted, but not this.)
    void lookupDone(const QHostInfo& info);

private:
    // Keeps removed records alive until the outermost call into the client returns.
    class Entry;

    void applyProxy(int type, std::string_view host, int port, std::string_view userName,
                    std::string_view password);
    QTcpSocket* newSocket();
    HttpRequest* findBySocket(const QTcpSocket* socket) const;
    HttpRequest* successor(const HttpRequest* r) const;
    bool viaProxy() const { return proxyHost_.has_value(); }

    void notify(HttpEvent event, HttpRequest& r, std::string_view text = {}, int code = 0);
    void report(HttpRequest& r, std::string_view message);
    void noteProgress(HttpRequest& r);
    void stall(HttpRequest& r);

    void addressStep(HttpRequest& r);
    void connectStep(HttpRequest& r);
    // After a failed connect, the next address of the lookup; false when none is left.
    bool tryNextAddress(HttpRequest& r, QAbstractSocket::SocketError error);
    void connected(QTcpSocket* socket);
    void socketError(QTcpSocket* socket, QAbstractSocket::SocketError error);
    void readable(QTcpSocket* socket);
    void closed(QTcpSocket* socket);
    bool readOnce(HttpRequest& r, QTcpSocket* socket);
    // Marks the transfer as receiving (unless SOCKS is negotiating) and reads
    // everything the socket holds.
    void drain(HttpRequest& r, QTcpSocket* socket);
    void sendRequest(HttpRequest& r);

    void complete(HttpRequest& r);
    bool followRedirect(HttpRequest& r);
    void restart(HttpRequest& r);
    void remove(HttpRequest& r);
    void stopNetwork(HttpRequest& r);
    void afterTick(HttpRequest& r);
    HttpRequest* visited() const;

    // SOCKS negotiation (http_client_socks.cpp).
    void socksStart(HttpRequest& r);
    void socksTargetKnown(HttpRequest& r);
    void socks5Connect(HttpRequest& r);
    std::string socksFilter(HttpRequest& r, std::string_view block);
    bool socksSend(HttpRequest& r, const std::string& message);
    void socksHandBack(HttpRequest& r);

    HttpEventSink* owner_ = nullptr;
    std::string userAgent_;
    int proxyType_ = 0;
    std::optional<std::string> proxyHost_;
    int proxyPort_ = 80;
    std::optional<std::string> proxyUser_;
    std::optional<std::string> proxyPassword_;
    std::string basicToken_; // made at a 407 with a user name; dropped when the proxy changes
    std::optional<std::string> localHostName_; // the SOCKS 4 user id, read once

    std::vector<std::unique_ptr<HttpRequest>> transfers_;
    std::vector<std::unique_ptr<HttpRequest>> removed_;
    HttpRequest* visiting_ = nullptr; // the transfer the next tick looks at; none: the first
    int depth_ = 0;
    bool cancelling_ = false;

    QTimer timeoutTimer_;
    QTimer tickTimer_;
    Resolver resolver_;
    // The lookups of resolver_ count down from -2 (-1 is none; Qt's are positive).
    int nextResolverLookup_ = -2;
};

} // namespace chronvale
