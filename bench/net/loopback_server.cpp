#include "loopback_server.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace chronvale::bench {

LoopbackServer::LoopbackServer(std::size_t bodySize) {
    response_ = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n";
    response_.append(bodySize, 'x');
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) {
            ::close(listener_);
        }
        listener_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

LoopbackServer::~LoopbackServer() {
    if (listener_ < 0) {
        return;
    }
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR); // wakes accept()
    thread_.join();
    ::close(listener_);
}

std::string LoopbackServer::url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/body";
}

void LoopbackServer::serve() {
    while (!stopping_) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            continue;
        }
        // Read the request up to its blank line.
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(n));
        }
        std::size_t sent = 0;
        while (sent < response_.size()) {
            const ssize_t n =
                ::send(connection, response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        ::close(connection);
    }
}

} // namespace chronvale::bench
