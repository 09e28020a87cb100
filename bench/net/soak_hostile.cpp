// Hostile-server soak: one client against a loopback server that misbehaves on
// purpose (hostile_server.h). Each scenario is one transfer, bounded in time; the run
// checks that every transfer ends (by a time-out where nothing else ends it), that no
// response grows beyond 64 MiB, that the cloud service writes nothing outside cache/
// whatever time stamps the list names, and prints the main loop's longest stall.
// Not a test and not part of `make bench`: build/bench/net/soak_hostile.

#include "hostile_server.h"
#include "net/cloud_service.h"
#include "net/http_client.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace chronvale::bench {
namespace {

constexpr int kMiB = 1024 * 1024;

class Sink final : public HttpEventSink {
public:
    void httpEvent(HttpEvent event, HttpRequest&, std::string_view text, int) override {
        if (event == EventMessage || event == EventNoMemory) {
            lastMessage = std::string(text);
        }
    }
    std::string lastMessage;
};

long peakResidentKiB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

// Runs the event loop until `done` or the bound; false at the bound.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const QDeadlineTimer deadline(bound);
    QTimer wake;
    wake.setSingleShot(true);
    while (!done()) {
        const auto left = deadline.remainingTime();
        if (left <= 0) {
            return false;
        }
        wake.start(static_cast<int>(left));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Outcome {
    bool ended = false;
    std::uint16_t flags = 0;
    int received = 0;
    int restarts = 0;
    double seconds = 0;
    std::string message;
};

} // namespace
} // namespace chronvale::bench

int main(int argc, char** argv) {
    using namespace chronvale;
    using namespace chronvale::bench;
    QCoreApplication app(argc, argv);
    HostileServer server;
    if (!server.listening()) {
        std::fprintf(stderr, "soak_hostile: no loopback server\n");
        return 1;
    }
    Sink sink;
    HttpClient client;
    client.httpInit(&sink, "Quillmar Chronvale");
    // Time-outs in seconds instead of minutes: 300 ms per tick, so a transfer waiting
    // for a connection or an answer fails after 0.3-0.6 s, one that stops receiving
    // after 3.0-3.3 s.
    client.setTimerPeriods(std::chrono::milliseconds(300), std::chrono::milliseconds(100));

    // The main loop's longest stall: the largest lateness of a 10 ms heartbeat.
    QElapsedTimer beat;
    qint64 longestStall = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout,
                     [&] { longestStall = std::max(longestStall, beat.restart() - 10); });
    beat.start();
    heartbeat.start(10);

    int problems = 0;
    const auto transfer = [&](const char* name, const std::string& url, bool follow,
                              std::uint16_t expectFlags, const char* expectation) {
        Outcome outcome;
        sink.lastMessage.clear();
        QElapsedTimer clock;
        clock.start();
        client.httpGet(url, 0, [&](HttpRequest& r, std::intptr_t) {
            outcome.ended = true;
            outcome.flags = r.flags;
            outcome.received = r.received;
            outcome.restarts = r.restarts;
            return follow && (r.flags & HttpRequest::Redirected) ? HttpFollowRedirect : 0;
        });
        const bool ended =
            runUntil([&] { return client.transferCount() == 0; }, std::chrono::seconds(30));
        outcome.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        const bool good = ended && outcome.ended && outcome.received <= 64 * kMiB &&
                          (outcome.flags & expectFlags) == expectFlags;
        problems += good ? 0 : 1;
        std::printf("%-22s %-5s %5.1f s  flags 0x%04x  %9d bytes  %d restarts  %s%s%s\n", name,
                    good ? "ok" : "FAIL", outcome.seconds, outcome.flags, outcome.received,
                    outcome.restarts, expectation, sink.lastMessage.empty() ? "" : " -",
                    sink.lastMessage.c_str());
        if (!ended) {
            client.httpCancelAll();
        }
    };

    transfer("slow drip", server.url("/drip"), false, HttpRequest::Succeeded,
             "1 byte per 100 ms, completes");
    transfer("body without end", server.url("/endless"), false, HttpRequest::Failed,
             "stops at 64 MiB");
    transfer("1 GiB Content-Length", server.url("/huge"), false,
             HttpRequest::TimedOut | HttpRequest::Failed, "1 MiB then silence: times out");
    transfer("headers without end", server.url("/headers"), false, HttpRequest::Failed,
             "stops at 64 MiB");
    transfer("redirect loop", server.url("/loop/a"), true,
             HttpRequest::Redirected | HttpRequest::Failed, "ends after 5 restarts");
    const struct {
        const char* name;
        HostileServer::SocksLie lie;
    } lies[] = {
        {"SOCKS long name", HostileServer::SocksLie::LongName},
        {"SOCKS version 4", HostileServer::SocksLie::WrongVersion},
        {"SOCKS address type 9", HostileServer::SocksLie::UnknownAddress},
    };
    for (const auto& [name, lie] : lies) {
        client.httpSetProxy(3, "127.0.0.1", server.socksPort(lie), "", "");
        transfer(name, "http://10.1.2.3/lie", false, HttpRequest::Failed, "fails, never reads on");
    }
    client.httpSetProxy(0, "", 0, "", "");

    // Time stamps that try paths: the list is read and every frame downloaded in a
    // user folder inside a scratch root; only cache.tmp and cache/ may appear.
    QTemporaryDir root;
    const QString user = QDir(root.path()).filePath("user");
    QDir(root.path()).mkpath("user/cache");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(user);
    QuietCloudOwner owner;
    const std::string host = server.url("").substr(7);
    CloudService service(client, owner, host, {});
    service.requestFrameList();
    runUntil([&] { return client.transferCount() == 0; }, std::chrono::seconds(10));
    int downloads = 0;
    for (int i = 0; i < kCloudFrameCount; ++i) {
        if (service.downloadFrame(i)) {
            ++downloads;
            runUntil([&] { return client.transferCount() == 0; }, std::chrono::seconds(10));
        }
    }
    QDir::setCurrent(previous);
    int outside = 0;
    QDirIterator it(root.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(root.path()).relativeFilePath(it.next());
        const bool allowed = path == "user" || path == "user/cache" || path == "user/cache.tmp" ||
                             (path.startsWith("user/cache/") && path.count('/') == 2);
        if (!allowed) {
            std::printf("  written outside cache/: %s\n", qPrintable(path));
            ++outside;
        }
    }
    const bool escaped = QFile::exists("/tmp/chronvale-soak-escape");
    problems += outside + (escaped ? 1 : 0);
    std::printf("%-22s %-5s %d frames downloaded, %d files outside cache/%s\n", "hostile t",
                outside == 0 && !escaped ? "ok" : "FAIL", downloads, outside,
                escaped ? ", /tmp/chronvale-soak-escape exists" : "");

    std::printf("longest main-loop stall  %lld ms\n", static_cast<long long>(longestStall));
    std::printf("peak resident memory     %ld KiB\n", peakResidentKiB());
    return problems == 0 ? 0 : 1;
}
