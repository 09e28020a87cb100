#pragma once
// A plain blocking HTTP server on a thread of its own, for the benchmarks: it answers
// every request on a loopback port with the same 200 response and closes. Kept out of
// the client's thread so that the figures measure the client alone.

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace chronvale::bench {

class LoopbackServer {
public:
    explicit LoopbackServer(std::size_t bodySize);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool listening() const { return listener_ >= 0; }
    std::string url() const;

private:
    void serve();

    std::string response_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace chronvale::bench
