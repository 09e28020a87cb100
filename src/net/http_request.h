#pragma once
// One HTTP/1.0 transfer of the client (see net/http_client.h), the states it moves
// through, its result flags and the events the client reports to its owner.
//
// A transfer record belongs to the client. The caller gets a pointer from httpGet(),
// reads the result in its completion function and must not keep the pointer after
// that function has returned: the client frees the record once the transfer ends.

#include "net/response_buffer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTcpSocket;

namespace chronvale {

enum class HttpState : std::int16_t {
    New,              // created, restarted or completed; nothing under way
    Resolving,        // a name lookup is pending (the proxy, the URL's host or the SOCKS target)
    Connecting,       // the address is known and the connection is being opened
    SocksNegotiating, // a SOCKS message is in flight
    Connected,        // connected (and negotiated); the request has been sent
    Receiving,        // response bytes are arriving
    Stalled,          // an error left the transfer with nothing under way; it fails at the timeout
};

// What the client reports to its owner (the main window shows them in its status bar).
enum HttpEvent : int {
    EventTick = 0,         // each progress tick while transfers exist, for the visited one
    EventData = 1,         // a block of received data was stored
    EventMessage = 3,      // a failure message: `text` is one blank and the message
    EventIdle = 4,         // a removal left the list empty
    EventNoMemory = 5,     // the response buffer cannot grow: `text` says so
    EventSent = 8,         // the request is about to be sent: `text` is its header text
    EventWinsockError = 9, // a socket call or notification failed: `code` is the error
    EventRemoved = 10,     // the transfer has been taken out of the list
    EventConnecting = 11,  // the connection is about to be opened
    EventResolving = 13,   // the first address step of a transfer begins
    EventResolved = 14,    // the first name lookup of a transfer succeeded
};

class HttpRequest;

// The owner of the client: receives every event. Nothing in src/net knows the main
// window, so the application implements this.
class HttpEventSink {
public:
    virtual ~HttpEventSink() = default;
    // `text` is set for EventMessage, EventNoMemory and EventSent; `code` for
    // EventWinsockError (a QAbstractSocket::SocketError or QHostInfo::HostInfoError).
    virtual void httpEvent(HttpEvent event, HttpRequest& request, std::string_view text,
                           int code) = 0;
};

// The value a completion function returns to have a redirect followed.
inline constexpr int HttpFollowRedirect = 2;

// Called once per attempt when a transfer ends, with the record and its user data.
// Returning HttpFollowRedirect follows the Location of a 301/302 response; any
// other value ends the transfer.
using HttpCompletion = std::function<int(HttpRequest& request, std::intptr_t userData)>;

class HttpRequest {
public:
    // Result flags (`flags`).
    static constexpr std::uint16_t Cancelled = 0x0002;    // httpCancelAll (with Failed)
    static constexpr std::uint16_t Succeeded = 0x0004;    // ended normally with status 200
    static constexpr std::uint16_t Failed = 0x0008;       // no response, or not status 200
    static constexpr std::uint16_t Redirected = 0x0020;   // status 301 or 302 (with Failed)
    static constexpr std::uint16_t HostNotFound = 0x0100; // the name lookup failed
    static constexpr std::uint16_t SocketError = 0x0200;  // connect, read or lookup failed
    static constexpr std::uint16_t TimedOut = 0x0400;     // the inactivity timeout fired

    std::string url; // replaced when a redirect is followed
    HttpCompletion onComplete;
    std::intptr_t userData = 0;

    // Every byte received, status line and headers included, with a zero byte after
    // the last one. `received` is its length.
    ResponseBuffer response;
    int received = 0;
    bool headersComplete = false;
    int headerLength = 0; // offset of the body in `response`
    int status = 0;       // HTTP status code, 0 until the headers are complete

    HttpState state = HttpState::New;
    std::uint16_t flags = 0;
    int idleTicks = 0;       // timeout ticks since the last progress
    int socksStep = 0;       // step of the SOCKS negotiation; 0 when none runs
    std::string addressText; // the peer's address: dotted IPv4 or IPv6 text
    int restarts = 0;        // redirects and proxy-authentication retries so far
    bool startGuard = false; // set while httpGet is still starting the transfer
    bool completing = false; // completion has begun; no second one is started
    int errorCode = 0;       // the error of a failed notification or lookup

    // The whole response as text (it stops at the first zero byte only for C callers).
    std::string_view responseText() const { return response.view(); }
    // The bytes after the headers; empty until the headers are complete.
    std::string_view body() const {
        return headersComplete ? response.view().substr(headerLength) : std::string_view{};
    }

    HttpRequest() = default;
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;
    ~HttpRequest();

private:
    friend class HttpClient;

    QTcpSocket* socket = nullptr;       // closed and released through deleteLater()
    int lookupId = -1;                  // the pending QHostInfo lookup, -1 when none
    bool linked = false;                // in the client's list
    bool socksRefused = false;          // the proxy refused; later bytes are response data
    std::string socksReply;             // a SOCKS reply that has arrived in part
    std::vector<std::string> addresses; // what the lookup found, tried in order
    std::size_t nextAddress = 0;        // the next of `addresses` to try
};

} // namespace chronvale
