#include "crowd_server.h"

#include "listen_socket.h"
#include "request_head.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace chronvale::imaged {

namespace {

// How often deadlines are checked, and how long a closed connection's late
// bytes are read away so that its last reply is not lost to a reset.
constexpr std::chrono::milliseconds kSweepInterval{100};
constexpr std::chrono::milliseconds kLingerTime{2000};
// Descriptors kept free for the folder's files and the mirror.
constexpr long kSpareDescriptors = 64;

void peerOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
        port = ntohs(in->sin6_port);
    }
    ip = text;
}

} // namespace

struct CrowdServer::Connection {
    enum class State { Reading, Writing, Lingering };
    int fd = -1;
    State state = State::Reading;
    bool idle = false; // between requests of a kept-alive connection
    std::string in;    // bytes received and not yet answered
    std::string out;   // the reply being sent
    size_t sent = 0;
    bool closeAfterReply = false;
    int served = 0;
    Clock::time_point deadline;
    std::string ip;
    int port = 0;
};

// What cpp-httplib reads a request from and writes its reply to: the bytes the
// watching thread received, and a buffer sent after the request is answered.
class CrowdServer::RequestStream final : public httplib::Stream {
public:
    explicit RequestStream(Connection& c) : c_(c) {}
    bool is_readable() const override { return read_ < c_.in.size(); }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, size_t size) override {
        const size_t n = std::min(size, c_.in.size() - read_);
        std::copy_n(c_.in.data() + read_, n, ptr);
        read_ += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(const char* ptr, size_t size) override {
        c_.out.append(ptr, size);
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = c_.ip;
        port = c_.port;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getsockname(c_.fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            peerOf(address, ip, port);
        }
    }
    socket_t socket() const override { return c_.fd; }
    // The bytes read since the last call.
    size_t takeRead() { return std::exchange(read_, 0); }

private:
    Connection& c_;
    size_t read_ = 0;
};

CrowdServer::CrowdServer(CrowdLimits limits) : limits_(limits) {
    set_keep_alive_max_count(static_cast<size_t>(limits_.requestsPerConnection));
    set_keep_alive_timeout(
        std::chrono::duration_cast<std::chrono::seconds>(limits_.keepAliveTimeout).count());
}

CrowdServer::~CrowdServer() {
    stop();
}

void CrowdServer::stop() {
    stopping_ = true;
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    }
}

bool CrowdServer::serve(int listenFd) {
    listenFd_ = listenFd;
    // Connections are accepted until the queue is empty: a socket handed over by
    // the service manager may come blocking.
    if (const int flags = ::fcntl(listenFd, F_GETFL);
        flags < 0 || ::fcntl(listenFd, F_SETFL, flags | O_NONBLOCK) != 0) {
        return false;
    }
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epollFd_ < 0 || wakeFd_ < 0) {
        return false;
    }
    maxOpen_ = static_cast<size_t>(std::max(64L, raiseOpenFileLimit() - kSpareDescriptors));
    pool_ = std::make_unique<WorkerPool>(
        limits_.workers ? limits_.workers : WorkerPool::threadsForMachine(), limits_.queueCapacity);
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = wakeFd_;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wake);
    setAccepting(true);

    std::vector<epoll_event> events(512);
    Clock::time_point lastSweep = Clock::now();
    while (!stopping_) {
        const int count = ::epoll_wait(epollFd_, events.data(), static_cast<int>(events.size()),
                                       static_cast<int>(kSweepInterval.count()));
        if (count < 0 && errno != EINTR) {
            break;
        }
        const Clock::time_point now = Clock::now();
        for (int i = 0; i < count; ++i) {
            const int fd = events[i].data.fd;
            if (fd == listenFd_) {
                acceptAll(now);
            } else if (fd == wakeFd_) {
                uint64_t value = 0;
                [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &value, sizeof value);
                takeBack(now);
            } else {
                onEvent(fd, events[i].events, now);
            }
        }
        if (now - lastSweep >= kSweepInterval) {
            sweep(now);
            lastSweep = now;
        }
        if (!accepting_ && open_ < maxOpen_ && now >= resumeAccepting_) {
            setAccepting(true);
        }
    }
    // Workers finish what they hold, then every connection closes.
    pool_.reset();
    takeBack(Clock::now());
    std::vector<int> fds;
    for (const auto& [fd, c] : watched_) {
        fds.push_back(fd);
    }
    for (const int fd : fds) {
        close(fd);
    }
    ::close(listenFd_);
    ::close(wakeFd_);
    ::close(epollFd_);
    wakeFd_ = epollFd_ = listenFd_ = -1;
    return true;
}

void CrowdServer::setAccepting(bool on) {
    if (on == accepting_) {
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listenFd_;
    ::epoll_ctl(epollFd_, on ? EPOLL_CTL_ADD : EPOLL_CTL_DEL, listenFd_, &event);
    accepting_ = on;
}

void CrowdServer::acceptAll(Clock::time_point now) {
    while (open_ < maxOpen_) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: the backlog holds the crowd until some close.
                setAccepting(false);
                resumeAccepting_ = now + kSweepInterval;
            }
            return;
        }
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        c->deadline = now + limits_.requestTimeout;
        peerOf(address, c->ip, c->port);
        ++open_;
        watch(std::move(c), EPOLLIN);
    }
    setAccepting(false);
}

void CrowdServer::watch(Owned c, unsigned events) {
    epoll_event event{};
    event.events = events;
    event.data.fd = c->fd;
    ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, c->fd, &event);
    const int fd = c->fd;
    watched_[fd] = std::move(c);
}

void CrowdServer::interest(int fd, unsigned events) {
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, fd, &event);
}

void CrowdServer::close(int fd) {
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
    watched_.erase(fd);
    --open_;
}

void CrowdServer::onEvent(int fd, unsigned events, Clock::time_point now) {
    const auto it = watched_.find(fd);
    if (it == watched_.end()) {
        return; // handed to a worker, or closed earlier in this round
    }
    Connection& c = *it->second;
    if (c.state == Connection::State::Writing) {
        afterSending(c, now);
        return;
    }
    (void)events;
    readFrom(c, now);
}

void CrowdServer::readFrom(Connection& c, Clock::time_point now) {
    char buffer[16 * 1024];
    const int fd = c.fd;
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            if (c.state == Connection::State::Lingering) {
                continue; // late bytes of a closed exchange, read away
            }
            if (c.idle) {
                c.idle = false;
                c.deadline = now + limits_.requestTimeout;
            }
            c.in.append(buffer, static_cast<size_t>(got));
            if (c.in.size() > limits_.maxHead + limits_.maxRequestLine) {
                break; // enough to judge; the limits decide below
            }
            continue;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        close(fd); // the peer closed or the connection failed
        return;
    }
    if (c.state == Connection::State::Reading) {
        examine(fd, now);
    }
}

void CrowdServer::examine(int fd, Clock::time_point now) {
    Connection& c = *watched_.at(fd);
    const HeadScan scan = scanRequestHead(c.in, limits_.maxRequestLine, limits_.maxHead);
    switch (scan.state) {
    case HeadState::Incomplete:
        return;
    case HeadState::LineTooLong:
        replyAndClose(c, 414, "URI Too Long", now);
        return;
    case HeadState::TooLarge:
        replyAndClose(c, 431, "Request Header Fields Too Large", now);
        return;
    case HeadState::Complete:
        dispatch(fd, now);
        return;
    }
}

void CrowdServer::dispatch(int fd, Clock::time_point now) {
    const auto it = watched_.find(fd);
    Connection* c = it->second.release();
    watched_.erase(it);
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
    if (!pool_->post([this, c] { respond(Owned(c)); })) {
        // Every worker busy and the queue full: say so at once.
        watch(Owned(c), EPOLLIN);
        replyAndClose(*c, 503, "Service Unavailable", now);
    }
}

void CrowdServer::replyAndClose(Connection& c, int status, const char* reason,
                                Clock::time_point now) {
    const std::string text = std::string(reason) + "\n";
    c.in.clear();
    c.out = "HTTP/1.1 " + std::to_string(status) + " " + reason +
            "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(text.size()) +
            "\r\nCache-Control: no-cache\r\n" + (status == 503 ? "Retry-After: 1\r\n" : "") +
            "Connection: close\r\n\r\n" + text;
    c.sent = 0;
    c.closeAfterReply = true;
    c.state = Connection::State::Writing;
    c.deadline = now + limits_.writeTimeout;
    interest(c.fd, EPOLLOUT);
    afterSending(c, now);
}

// Sends what it can of the reply; when all is sent, the connection waits for the
// next request, or closes.
void CrowdServer::afterSending(Connection& c, Clock::time_point now) {
    const int fd = c.fd;
    while (c.sent < c.out.size()) {
        const ssize_t sent = ::send(fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
        if (sent > 0) {
            c.sent += static_cast<size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return; // the rest when the socket takes more
        } else {
            close(fd);
            return;
        }
    }
    c.out.clear();
    c.sent = 0;
    if (c.closeAfterReply) {
        // Read away what the client still sends, so the reply is not lost to a reset.
        ::shutdown(fd, SHUT_WR);
        c.state = Connection::State::Lingering;
        c.deadline = now + kLingerTime;
        interest(fd, EPOLLIN);
        return;
    }
    c.state = Connection::State::Reading;
    interest(fd, EPOLLIN);
    if (c.in.empty()) {
        c.idle = true;
        c.deadline = now + limits_.keepAliveTimeout;
    } else {
        c.deadline = now + limits_.requestTimeout;
        examine(fd, now); // the next request has come already
    }
}

// On a worker: answers every whole request received, then hands the connection
// back with the replies to send.
void CrowdServer::respond(Owned c) {
    RequestStream stream(*c);
    for (;;) {
        const HeadScan scan = scanRequestHead(c->in, limits_.maxRequestLine, limits_.maxHead);
        if (scan.state != HeadState::Complete) {
            break;
        }
        ++c->served;
        const bool last = c->served >= limits_.requestsPerConnection || stopping_;
        bool closed = false;
        const bool answered = process_request(stream, last, closed, nullptr);
        c->in.erase(0, stream.takeRead());
        if (!answered || closed || last) {
            c->closeAfterReply = true;
            c->in.clear();
            break;
        }
    }
    // Most replies fit the socket's buffer and leave now, from this thread.
    while (c->sent < c->out.size()) {
        const ssize_t sent =
            ::send(c->fd, c->out.data() + c->sent, c->out.size() - c->sent, MSG_NOSIGNAL);
        if (sent <= 0) {
            break;
        }
        c->sent += static_cast<size_t>(sent);
    }
    giveBack(std::move(c));
}

void CrowdServer::giveBack(Owned c) {
    {
        const std::lock_guard lock(returnedMutex_);
        returned_.push_back(std::move(c));
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void CrowdServer::takeBack(Clock::time_point now) {
    std::vector<Owned> back;
    {
        const std::lock_guard lock(returnedMutex_);
        back.swap(returned_);
    }
    for (Owned& owned : back) {
        Connection& c = *owned;
        c.state = Connection::State::Writing;
        c.deadline = now + limits_.writeTimeout;
        watch(std::move(owned), EPOLLOUT);
        afterSending(c, now);
    }
}

void CrowdServer::sweep(Clock::time_point now) {
    std::vector<int> late;
    for (const auto& [fd, c] : watched_) {
        if (c->deadline <= now) {
            late.push_back(fd);
        }
    }
    for (const int fd : late) {
        Connection& c = *watched_.at(fd);
        if (c.state == Connection::State::Reading && !c.idle && !c.in.empty()) {
            // Part of a request came, too slowly: say why before closing.
            replyAndClose(c, 408, "Request Timeout", now);
        } else {
            close(fd);
        }
    }
}

} // namespace chronvale::imaged
