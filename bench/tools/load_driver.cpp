#include "load_driver.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace chronvale::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct Client {
    int fd = -1;
    bool connected = false;
    std::string in;
    size_t sent = 0;
    Clock::time_point started;
};

double millisecondsSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// A whole reply at the front of `in`: its length in bytes, the status, the body
// length and whether the server closes the connection after it. 0 while incomplete.
size_t wholeReply(const std::string& in, int& status, size_t& body, bool& closes) {
    const size_t headEnd = in.find("\r\n\r\n");
    if (headEnd == std::string::npos) {
        return 0;
    }
    status = std::atoi(in.c_str() + std::min<size_t>(9, in.size()));
    std::string head = in.substr(0, headEnd);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const size_t length = head.find("\r\ncontent-length:");
    body = length == std::string::npos ? 0 : std::strtoull(head.c_str() + length + 17, nullptr, 10);
    closes = head.find("\r\nconnection: close") != std::string::npos;
    const size_t total = headEnd + 4 + body;
    return in.size() >= total ? total : 0;
}

} // namespace

double LoadResult::percentileMs(double p) const {
    if (latencyMs.empty()) {
        return 0;
    }
    std::vector<double> sorted = latencyMs;
    const size_t at = std::min(sorted.size() - 1,
                               static_cast<size_t>(p / 100.0 * static_cast<double>(sorted.size())));
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(at), sorted.end());
    return sorted[at];
}

LoadResult driveLoad(const LoadSettings& settings) {
    LoadResult result;
    const std::string request = "GET " + settings.target +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: chronvale-load\r\n" +
                                (settings.keepAlive ? "" : "Connection: close\r\n") + "\r\n";
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(settings.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

    const int epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    std::vector<Client> clients(static_cast<size_t>(settings.clients));
    size_t issued = 0;
    size_t finished = 0;
    size_t expectedBody = 0;
    bool haveExpected = false;
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + settings.bound;

    auto closeClient = [&](Client& c) {
        if (c.fd >= 0) {
            ::epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
            ::close(c.fd);
        }
        c.fd = -1;
        c.connected = false;
        c.in.clear();
    };
    // Starts the client's next request, on a new connection when it has none.
    auto next = [&](size_t index) {
        Client& c = clients[index];
        if (issued >= settings.requests) {
            closeClient(c);
            return;
        }
        ++issued;
        c.started = Clock::now();
        c.sent = 0;
        c.in.clear();
        if (c.fd < 0) {
            c.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            const int yes = 1;
            ::setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            const int status =
                ::connect(c.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
            c.connected = status == 0;
            if (status != 0 && errno != EINPROGRESS) {
                ::close(c.fd);
                c.fd = -1;
                ++result.failures;
                ++finished;
                return;
            }
            epoll_event event{};
            event.events = EPOLLIN | EPOLLOUT;
            event.data.u64 = index;
            ::epoll_ctl(epollFd, EPOLL_CTL_ADD, c.fd, &event);
        } else {
            epoll_event event{};
            event.events = EPOLLIN | EPOLLOUT;
            event.data.u64 = index;
            ::epoll_ctl(epollFd, EPOLL_CTL_MOD, c.fd, &event);
        }
    };
    auto fail = [&](size_t index) {
        ++result.failures;
        ++finished;
        closeClient(clients[index]);
        next(index);
    };

    for (size_t i = 0; i < clients.size(); ++i) {
        next(i);
    }
    std::vector<epoll_event> events(1024);
    char buffer[64 * 1024];
    while (finished < issued && Clock::now() < deadline) {
        const int count =
            ::epoll_wait(epollFd, events.data(), static_cast<int>(events.size()), 100);
        for (int e = 0; e < count; ++e) {
            const size_t index = events[e].data.u64;
            Client& c = clients[index];
            if (c.fd < 0) {
                continue;
            }
            if (events[e].events & EPOLLOUT && c.sent < request.size()) {
                const ssize_t sent =
                    ::send(c.fd, request.data() + c.sent, request.size() - c.sent, MSG_NOSIGNAL);
                if (sent < 0 && errno != EAGAIN) {
                    fail(index);
                    continue;
                }
                c.sent += sent > 0 ? static_cast<size_t>(sent) : 0;
                if (c.sent == request.size()) {
                    epoll_event event{};
                    event.events = EPOLLIN;
                    event.data.u64 = index;
                    ::epoll_ctl(epollFd, EPOLL_CTL_MOD, c.fd, &event);
                }
            }
            if (!(events[e].events & (EPOLLIN | EPOLLHUP | EPOLLERR))) {
                continue;
            }
            bool closed = false;
            for (;;) {
                const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
                if (got > 0) {
                    c.in.append(buffer, static_cast<size_t>(got));
                    continue;
                }
                closed = got == 0 || errno != EAGAIN;
                break;
            }
            int status = 0;
            size_t body = 0;
            bool closes = false;
            const size_t whole = wholeReply(c.in, status, body, closes);
            if (whole == 0) {
                if (closed) {
                    fail(index); // cut off or refused
                }
                continue;
            }
            if (!haveExpected && status == 200) {
                expectedBody = body;
                haveExpected = true;
            }
            const bool good = status == 200 && body == expectedBody && whole == c.in.size();
            ++finished;
            if (good) {
                ++result.answered;
                result.latencyMs.push_back(millisecondsSince(c.started, Clock::now()));
            } else {
                ++result.failures;
            }
            if (closes || closed || !settings.keepAlive || !good) {
                closeClient(c);
            }
            next(index);
        }
    }
    result.failures += issued - finished; // still unanswered at the deadline
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (Client& c : clients) {
        closeClient(c);
    }
    ::close(epollFd);
    return result;
}

} // namespace chronvale::bench
