#include "hostile_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace chronvale::bench {

namespace {

// The most any scenario sends: beyond the client's 64 MiB limit, and bounded.
constexpr std::size_t kMaxSent = 80u * 1024 * 1024;

std::string requestPath(const std::string& request) {
    const std::size_t start = request.find(' ');
    const std::size_t end = request.find(' ', start + 1);
    return start == std::string::npos || end == std::string::npos
               ? std::string()
               : request.substr(start + 1, end - start - 1);
}

} // namespace

HostileServer::HostileServer() {
    http_ = listenLoopback(httpPort_);
    for (int i = 0; i < 3; ++i) {
        socks_[i] = listenLoopback(socksPorts_[i]);
    }
    if (!listening()) {
        return;
    }
    threads_.emplace_back([this] { acceptLoop(http_, -1); });
    for (int i = 0; i < 3; ++i) {
        threads_.emplace_back([this, i] { acceptLoop(socks_[i], i); });
    }
}

HostileServer::~HostileServer() {
    stopping_ = true;
    for (int listener : {http_, socks_[0], socks_[1], socks_[2]}) {
        if (listener >= 0) {
            ::shutdown(listener, SHUT_RDWR); // wakes accept()
        }
    }
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        threads.swap(threads_);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    // Connection threads started while the acceptors ended.
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::thread& thread : threads_) {
        thread.join();
    }
    for (int listener : {http_, socks_[0], socks_[1], socks_[2]}) {
        if (listener >= 0) {
            ::close(listener);
        }
    }
}

int HostileServer::listenLoopback(int& port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener >= 0) {
            ::close(listener);
        }
        return -1;
    }
    port = ntohs(address.sin_port);
    return listener;
}

std::string HostileServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(httpPort_) + path;
}

std::string HostileServer::hostileFrameList() {
    std::string list = "<?xml version=\"1.0\"?>\n<images>\n";
    for (const char* t : {"../../../../tmp/chronvale-soak-escape", "/tmp/chronvale-soak-escape",
                          "2024030500/../../escape", "..", "2024030500\\..\\escape",
                          "2024030500%2f..%2fescape", "2024030500\0x", "2024030501"}) {
        list += "<image t=\"" + std::string(t) + "\" m=\"clouds\" s=\"1\" q=\"1\" />\n";
    }
    list += "</images>\n";
    return list;
}

void HostileServer::acceptLoop(int listener, int kind) {
    while (!stopping_) {
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (stopping_) {
                return;
            }
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        threads_.emplace_back([this, connection, kind] {
            if (kind < 0) {
                serveHttp(connection);
            } else {
                serveSocks(connection, static_cast<SocksLie>(kind));
            }
            ::close(connection);
        });
    }
}

bool HostileServer::pause(int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stopping_ && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !stopping_;
}

bool HostileServer::sendAll(int connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size() && !stopping_) {
        pollfd wait{connection, POLLOUT, 0};
        if (::poll(&wait, 1, 50) <= 0) {
            continue; // the client does not read at the moment
        }
        const ssize_t n =
            ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return !stopping_;
}

void HostileServer::serveHttp(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd wait{connection, POLLIN, 0};
        if (stopping_ || ::poll(&wait, 1, 50) < 0) {
            return;
        }
        if (!(wait.revents & POLLIN)) {
            continue;
        }
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        request.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string path = requestPath(request);
    const std::string ok = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    if (path == "/drip") {
        // One byte every 100 ms: the headers, then 20 body bytes, then the close.
        const std::string all = ok + std::string(20, 'd');
        for (char c : all) {
            if (!sendAll(connection, std::string(1, c)) || !pause(100)) {
                return;
            }
        }
    } else if (path == "/endless") {
        // A body that never ends, as fast as the client takes it.
        if (!sendAll(connection, ok)) {
            return;
        }
        const std::string block(64 * 1024, 'e');
        for (std::size_t sent = 0; sent < kMaxSent; sent += block.size()) {
            if (!sendAll(connection, block)) {
                return;
            }
        }
    } else if (path == "/huge") {
        // 1 GiB announced, 1 MiB sent, then silence until the client gives up.
        if (!sendAll(connection, "HTTP/1.0 200 OK\r\nContent-Length: 1073741824\r\n\r\n") ||
            !sendAll(connection, std::string(1024 * 1024, 'h'))) {
            return;
        }
        while (pause(50)) {
            char probe;
            if (::recv(connection, &probe, 1, MSG_DONTWAIT) == 0) {
                return; // the client closed
            }
        }
    } else if (path == "/headers") {
        // Header lines without end.
        if (!sendAll(connection, "HTTP/1.0 200 OK\r\n")) {
            return;
        }
        std::string lines;
        for (int i = 0; i < 4096; ++i) {
            lines += "X-Padding: aaaaaaaaaaaaaaaa\r\n";
        }
        for (std::size_t sent = 0; sent < kMaxSent; sent += lines.size()) {
            if (!sendAll(connection, lines)) {
                return;
            }
        }
    } else if (path.rfind("/loop", 0) == 0) {
        // Two pages that send the client to each other.
        const std::string next = path == "/loop/a" ? "/loop/b" : "/loop/a";
        sendAll(connection, "HTTP/1.0 302 Found\r\nLocation: " + next + "\r\n\r\n");
    } else if (path.find("/clouds/") == 0 && path.find("checkonly=1&n=") != std::string::npos) {
        sendAll(connection, ok + hostileFrameList());
    } else if (path.find("/clouds/") == 0) {
        sendAll(connection, ok + std::string(512, 'j'));
    } else {
        sendAll(connection, "HTTP/1.0 404 Not Found\r\n\r\n");
    }
}

void HostileServer::serveSocks(int connection, SocksLie lie) {
    // Greeting (3 bytes), then the method "no authentication", then the connect
    // request, answered with the lie.
    std::string input;
    char buffer[512];
    const auto readAtLeast = [&](std::size_t n) {
        while (input.size() < n && !stopping_) {
            pollfd wait{connection, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0) {
                continue;
            }
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) {
                return false;
            }
            input.append(buffer, static_cast<std::size_t>(got));
        }
        return !stopping_;
    };
    if (!readAtLeast(3) || !sendAll(connection, std::string("\x05\x00", 2))) {
        return;
    }
    input.erase(0, 3);
    if (!readAtLeast(5)) {
        return;
    }
    switch (lie) {
    case SocksLie::LongName:
        sendAll(connection, std::string("\x05\x00\x00\x03\xff"
                                        "short",
                                        10));
        break;
    case SocksLie::WrongVersion:
        sendAll(connection, std::string("\x04\x00\x00\x01\x7f\x00\x00\x01\x00\x50", 10) +
                                "HTTP/1.0 200 OK\r\n\r\nnot through a proxy");
        break;
    case SocksLie::UnknownAddress:
        sendAll(connection, std::string("\x05\x00\x00\x09\x7f\x00\x00\x01\x00\x50", 10));
        break;
    }
    // Then silence until the client goes or the server stops.
    while (pause(50)) {
        char probe;
        if (::recv(connection, &probe, 1, MSG_DONTWAIT) == 0) {
            return;
        }
    }
}

} // namespace chronvale::bench
