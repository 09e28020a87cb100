#pragma once
// What the network tests share: the Qt application, bounded waits on events
// (support/wait_for.h), a free
// loopback port and an owner that records every event of the client.

#include "net/http_client.h"
#include "net/service_owner.h"
#include "support/wait_for.h"

#include <QByteArray>
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace chronvale::test {

// Creates the process's QCoreApplication on first use.
void ensureApplication();

// A loopback port that nothing listens on at the moment of the call.
quint16 freePort();

struct RecordedEvent {
    HttpEvent event;
    const HttpRequest* request;
    std::string text;
    int code;
};

class RecordingSink final : public HttpEventSink {
public:
    void httpEvent(HttpEvent event, HttpRequest& request, std::string_view text,
                   int code) override {
        events.push_back({event, &request, std::string(text), code});
        if (onEvent) {
            onEvent(event, request);
        }
    }
    int count(HttpEvent event) const;
    std::vector<std::string> texts(HttpEvent event) const;

    std::vector<RecordedEvent> events;
    std::function<void(HttpEvent, HttpRequest&)> onEvent;
};

// What a completion function saw, copied before the record goes away.
struct Completion {
    std::uint16_t flags = 0;
    int status = 0;
    int received = 0;
    int headerLength = 0;
    int restarts = 0;
    std::string url;
    std::string response;
    std::string body;
    bool terminated = false; // a zero byte followed the data
};

// A client with an owner whose timers never fire during a test: the tests run the
// timeout and progress ticks themselves (timeoutTick, progressTick).
struct ClientFixture {
    ClientFixture();
    // Starts a GET whose completions are appended to `completions`; returns 0 (no redirect)
    // unless `followRedirects`.
    HttpRequest* get(const std::string& url, bool followRedirects = false);
    // Waits for the transfers to end (the list to become empty).
    bool waitIdle(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    RecordingSink sink;
    HttpClient client;
    std::vector<Completion> completions;
};

Completion snapshot(const HttpRequest& r);

// "transfer:" or "newest:", the prefix under which the recording owners keep a
// status text of that kind.
std::string statusPrefix(ServiceStatus kind);

// What a service asks of the window that owns it (Owner: CloudOwner,
// QuakeOwner): status texts under their kind's prefix, error boxes as
// "caption: text", and the server's error elements counted.
template <typename Owner> class RecordingServiceOwner : public Owner {
public:
    void showStatus(ServiceStatus kind, const std::string& text) override {
        statuses.push_back(statusPrefix(kind) + text);
    }
    void showErrorBox(const std::string& text, const std::string& caption) override {
        boxes.push_back(caption + ": " + text);
    }
    void serverErrorReported() override { ++serverErrors; }

    bool hasStatus(const std::string& text) const {
        return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
    }

    std::vector<std::string> statuses;
    std::vector<std::string> boxes;
    int serverErrors = 0;
};

} // namespace chronvale::test
