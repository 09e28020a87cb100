#pragma once
// An HTTP/1.1 server that holds a crowd. One thread watches every connection
// (epoll): it accepts, collects request heads, sends what a reply could not send
// at once, and closes connections that overstay their time-outs. A request whose
// head has arrived whole goes to a pool of workers, which answer it with
// cpp-httplib's routing, handlers and reply writing. Idle, slow and half-open
// connections thus hold a file descriptor for a bounded time, never a worker.

#include "worker_pool.h"

#include <atomic>
#include <chrono>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace chronvale::imaged {

struct CrowdLimits {
    // A request head must arrive whole within this of the connection's start, or
    // of the first byte of a later request on a kept-alive connection.
    std::chrono::milliseconds requestTimeout{10000};
    // A kept-alive connection idle this long between requests is closed.
    std::chrono::milliseconds keepAliveTimeout{5000};
    // A reply the client does not take within this is abandoned.
    std::chrono::milliseconds writeTimeout{10000};
    size_t maxRequestLine = 8192; // longer gets 414 and the connection closes
    size_t maxHead = 32 * 1024;   // larger gets 431 and the connection closes
    int requestsPerConnection = 100;
    size_t workers = 0; // 0: WorkerPool::threadsForMachine()
    size_t queueCapacity = 4096;
};

class CrowdServer : public httplib::Server {
public:
    explicit CrowdServer(CrowdLimits limits = {});
    ~CrowdServer() override;

    // Serves the connections of a listening socket, which it then owns, until
    // stop(). False when it cannot start.
    bool serve(int listenFd);
    // Ends serve(); callable from any thread.
    void stop();

private:
    using Clock = std::chrono::steady_clock;
    struct Connection;
    class RequestStream;
    using Owned = std::unique_ptr<Connection>;

    void acceptAll(Clock::time_point now);
    void setAccepting(bool on);
    void onEvent(int fd, unsigned events, Clock::time_point now);
    void readFrom(Connection& c, Clock::time_point now);
    void examine(int fd, Clock::time_point now);
    void dispatch(int fd, Clock::time_point now);
    void replyAndClose(Connection& c, int status, const char* reason, Clock::time_point now);
    void afterSending(Connection& c, Clock::time_point now);
    void respond(Owned c);
    void giveBack(Owned c);
    void takeBack(Clock::time_point now);
    void watch(Owned c, unsigned events);
    void interest(int fd, unsigned events);
    void close(int fd);
    void sweep(Clock::time_point now);

    CrowdLimits limits_;
    int epollFd_ = -1;
    int wakeFd_ = -1;
    int listenFd_ = -1;
    bool accepting_ = false;
    Clock::time_point resumeAccepting_{};
    size_t open_ = 0; // connections open, watched or with a worker
    size_t maxOpen_ = 0;
    std::unordered_map<int, Owned> watched_;
    std::mutex returnedMutex_;
    std::vector<Owned> returned_;
    std::atomic<bool> stopping_{false};
    std::unique_ptr<WorkerPool> pool_;
};

} // namespace chronvale::imaged
