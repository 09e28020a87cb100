#include "support/net_test_support.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <gtest/gtest.h>
#include <memory>

namespace chronvale::test {

namespace {

QCoreApplication* application = nullptr;

// Destroys the application before main() returns. Qt's name lookups run on a thread
// pool that must not outlive it: a lookup still running while static objects are
// destroyed at exit would crash.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        delete application;
        application = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void ensureApplication() {
    if (QCoreApplication::instance()) {
        return;
    }
    static int argc = 1;
    static char name[] = "test_net";
    static char* argv[] = {name, nullptr};
    application = new QCoreApplication(argc, argv);
}

quint16 freePort() {
    ensureApplication();
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    return probe.serverPort();
}

int RecordingSink::count(HttpEvent event) const {
    int n = 0;
    for (const auto& e : events) {
        n += e.event == event ? 1 : 0;
    }
    return n;
}

std::vector<std::string> RecordingSink::texts(HttpEvent event) const {
    std::vector<std::string> found;
    for (const auto& e : events) {
        if (e.event == event) {
            found.push_back(e.text);
        }
    }
    return found;
}

Completion snapshot(const HttpRequest& r) {
    Completion c;
    c.flags = r.flags;
    c.status = r.status;
    c.received = r.received;
    c.headerLength = r.headerLength;
    c.restarts = r.restarts;
    c.url = r.url;
    c.response = std::string(r.responseText());
    c.body = std::string(r.body());
    c.terminated = r.response.data()[r.response.size()] == '\0';
    return c;
}

ClientFixture::ClientFixture() {
    ensureApplication();
    client.httpInit(&sink, "Quillmar Chronvale");
    // No wall-clock timeouts in the tests: a test that wants a tick runs it by hand.
    client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
}

HttpRequest* ClientFixture::get(const std::string& url, bool followRedirects) {
    return client.httpGet(url, 0, [this, followRedirects](HttpRequest& r, std::intptr_t) {
        completions.push_back(snapshot(r));
        return followRedirects && (r.flags & HttpRequest::Redirected) ? HttpFollowRedirect : 0;
    });
}

bool ClientFixture::waitIdle(std::chrono::milliseconds timeout) {
    return waitFor([this] { return client.transferCount() == 0; }, timeout);
}

std::string statusPrefix(ServiceStatus kind) {
    switch (kind) {
    case ServiceStatus::Transfer:
        return "transfer:";
    case ServiceStatus::NewestImageCheck:
        return "newest:";
    }
    return "?:";
}

} // namespace chronvale::test
