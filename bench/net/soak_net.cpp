// Soak run: 10,000 sequential transfers of 100 KiB through one client, reporting the
// resident memory and the open file descriptors at the start and at the end. Not a
// test and not part of `make bench` (it runs for a while): build/bench/net/soak_net.

#include "loopback_server.h"
#include "net/http_client.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace chronvale::bench {
namespace {

class QuitWhenIdle final : public HttpEventSink {
public:
    void httpEvent(HttpEvent event, HttpRequest&, std::string_view, int) override {
        if (event == EventIdle && loop) {
            loop->quit();
        }
    }
    QEventLoop* loop = nullptr;
};

long residentKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

long openDescriptors() {
    return static_cast<long>(
        QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
}

} // namespace
} // namespace chronvale::bench

int main(int argc, char** argv) {
    using namespace chronvale;
    using namespace chronvale::bench;
    QCoreApplication app(argc, argv);
    const int transfers = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::size_t bodySize = 100 * 1024;
    LoopbackServer server(bodySize);
    if (!server.listening()) {
        std::fprintf(stderr, "soak_net: no loopback server\n");
        return 1;
    }
    QuitWhenIdle sink;
    HttpClient client;
    client.httpInit(&sink, "Quillmar Chronvale");
    int failures = 0;
    long rssStart = 0;
    long fdsStart = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < transfers; ++i) {
        QEventLoop loop;
        sink.loop = &loop;
        client.httpGet(server.url(), 0, [&](HttpRequest& r, std::intptr_t) {
            if (!(r.flags & HttpRequest::Succeeded) || r.body().size() != bodySize) {
                ++failures;
            }
            return 0;
        });
        loop.exec();
        if (i == 99) {
            // After a warm-up: allocator pools and Qt's own objects exist by then.
            rssStart = residentKiB();
            fdsStart = openDescriptors();
        }
    }
    QCoreApplication::processEvents(); // pending socket deletions
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("transfers        %d (%d failed) in %.1f s\n", transfers, failures, seconds);
    std::printf("resident memory  %ld KiB after 100, %ld KiB at the end\n", rssStart,
                residentKiB());
    std::printf("open descriptors %ld after 100, %ld at the end\n", fdsStart, openDescriptors());
    return failures == 0 ? 0 : 1;
}
