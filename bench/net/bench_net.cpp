// One 20 MiB body over loopback through the HTTP client (target: under 100 ms).

#include "loopback_server.h"
#include "net/http_client.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>
#include <memory>

namespace chronvale::bench {
namespace {

// Ends the event loop when the last transfer has been removed.
class QuitWhenIdle final : public HttpEventSink {
public:
    void httpEvent(HttpEvent event, HttpRequest&, std::string_view, int) override {
        if (event == EventIdle && loop) {
            loop->quit();
        }
    }
    QEventLoop* loop = nullptr;
};

void transfer20MiB(benchmark::State& state) {
    int argc = 1;
    char name[] = "bench_net";
    char* argv[] = {name, nullptr};
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    const std::size_t bodySize = std::size_t{20} << 20;
    LoopbackServer server(bodySize);
    if (!server.listening()) {
        state.SkipWithError("no loopback server");
        return;
    }
    QuitWhenIdle sink;
    HttpClient client;
    client.httpInit(&sink, "Quillmar Chronvale");
    std::size_t received = 0;
    bool succeeded = true;
    for (auto _ : state) {
        QEventLoop loop;
        sink.loop = &loop;
        client.httpGet(server.url(), 0, [&](HttpRequest& r, std::intptr_t) {
            received = r.body().size();
            succeeded = succeeded && (r.flags & HttpRequest::Succeeded);
            return 0;
        });
        loop.exec();
    }
    if (!succeeded || received != bodySize) {
        state.SkipWithError("transfer failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bodySize));
}
BENCHMARK(transfer20MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace chronvale::bench
