// chronvale-imaged under a crowd: the server of this build on a demo folder,
// asked on loopback by 100, 300 and 1,000 clients at once for the frame list, a
// frame and the earthquakes, over kept-alive connections and with a new
// connection per request. Each run is bounded in requests and in time. Counters:
// requests per second, the 50th and 99th percentile latency, and the failures
// (refused, cut off, short or wrong replies, or none by the deadline).
//
// CHRONVALE_IMAGED_PORT=N drives a server already listening on loopback port N
// instead, such as nginx in front of several servers.

#include "load_driver.h"

#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The image server started once for all runs on a fresh demo folder, and ended
// with the program.
class ServerProcess {
public:
    ServerProcess() {
        char folder[] = "/tmp/chronvale-bench-imaged-XXXXXX";
        if (::mkdtemp(folder) == nullptr) {
            return;
        }
        folder_ = folder;
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            std::freopen("/dev/null", "w", stderr);
            ::close(out[0]);
            ::close(out[1]);
            const std::string program = CHRONVALE_BINARY_DIR "/chronvale-imaged";
            ::execl(program.c_str(), program.c_str(), "--demo", "--folder", folder, "--port", "0",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        // The first line names the address: "... at http://127.0.0.1:PORT/".
        std::string line;
        char c = 0;
        while (line.find('\n') == std::string::npos && ::read(out[0], &c, 1) == 1) {
            line += c;
        }
        ::close(out[0]);
        const size_t colon = line.rfind(':');
        port_ = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    }
    ~ServerProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (!folder_.empty()) {
            const std::string remove = "rm -rf '" + folder_ + "'";
            [[maybe_unused]] const int status = std::system(remove.c_str());
        }
    }
    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string folder_;
};

int serverPort() {
    if (const char* given = std::getenv("CHRONVALE_IMAGED_PORT")) {
        return std::atoi(given);
    }
    static ServerProcess process;
    return process.port();
}

void raiseFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

const char* const kTargets[] = {
    "/clouds/cloudv2.php?checkonly=1&n=12&s=1&i=bench", // the frame list
    "/clouds/cloudv2.php?f=1&s=1&i=bench",              // the newest frame
    "/earthquake.cgi?s=1&i=bench",                      // the earthquakes
};

void BM_Crowd(benchmark::State& state) {
    raiseFileLimit();
    if (serverPort() <= 0) {
        state.SkipWithError("chronvale-imaged did not start");
        return;
    }
    chronvale::bench::LoadSettings settings;
    settings.port = serverPort();
    settings.target = kTargets[state.range(0)];
    settings.clients = static_cast<int>(state.range(1));
    settings.keepAlive = state.range(2) != 0;
    settings.requests = std::max<size_t>(10000, 10 * static_cast<size_t>(settings.clients));
    chronvale::bench::LoadResult result;
    for (auto _ : state) {
        result = chronvale::bench::driveLoad(settings);
        state.SetIterationTime(result.seconds);
    }
    state.SetLabel(std::string(state.range(0) == 0   ? "list"
                               : state.range(0) == 1 ? "frame"
                                                     : "quakes") +
                   (settings.keepAlive ? " keep-alive" : " new-connections"));
    state.counters["req/s"] = result.requestsPerSecond();
    state.counters["p50_ms"] = result.percentileMs(50);
    state.counters["p99_ms"] = result.percentileMs(99);
    state.counters["failures"] = static_cast<double>(result.failures);
}

// target (list, frame, quakes) x clients x kept alive.
BENCHMARK(BM_Crowd)
    ->ArgNames({"target", "clients", "keepalive"})
    ->ArgsProduct({{0, 1, 2}, {100, 300, 1000}, {1, 0}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
