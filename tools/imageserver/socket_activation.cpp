#include "socket_activation.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace chronvale::imaged {

namespace {

std::optional<long> environmentNumber(const char* name) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return std::nullopt;
    }
    long value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

int socketOption(int fd, int level, int name, bool& ok) {
    int value = 0;
    socklen_t length = sizeof value;
    ok = ::getsockopt(fd, level, name, &value, &length) == 0;
    return value;
}

} // namespace

std::string checkListeningTcpSocket(int fd) {
    bool ok = false;
    const int type = socketOption(fd, SOL_SOCKET, SO_TYPE, ok);
    if (!ok) {
        return errno == ENOTSOCK ? "not a socket"
                                 : std::string("unusable: ") + std::strerror(errno);
    }
    const int domain = socketOption(fd, SOL_SOCKET, SO_DOMAIN, ok);
    if (!ok || (domain != AF_INET && domain != AF_INET6)) {
        return "not an IPv4 or IPv6 socket (a local or other kind of socket)";
    }
    if (type != SOCK_STREAM) {
        return "not a stream (TCP) socket";
    }
    const int listening = socketOption(fd, SOL_SOCKET, SO_ACCEPTCONN, ok);
    if (!ok || listening == 0) {
        return "a TCP socket that is not listening";
    }
    return {};
}

HandedSocket takeHandedSocket() {
    const std::optional<long> pid = environmentNumber("LISTEN_PID");
    const std::optional<long> count = environmentNumber("LISTEN_FDS");
    const bool forUs = pid && count && *pid == static_cast<long>(::getpid());
    ::unsetenv("LISTEN_PID");
    ::unsetenv("LISTEN_FDS");
    ::unsetenv("LISTEN_FDNAMES");
    HandedSocket handed;
    if (!forUs || *count == 0) {
        return handed;
    }
    if (*count != 1) {
        handed.error = std::to_string(*count) +
                       " sockets were handed over; exactly one listening TCP socket is served";
        return handed;
    }
    const std::string problem = checkListeningTcpSocket(kFirstPassedFd);
    if (!problem.empty()) {
        handed.error = "the socket handed over (fd 3) is " + problem +
                       "; it must be a listening TCP socket (ListenStream=ADDRESS:PORT)";
        return handed;
    }
    ::fcntl(kFirstPassedFd, F_SETFD, FD_CLOEXEC);
    handed.fd = kFirstPassedFd;
    return handed;
}

std::string socketAddress(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return {};
    }
    char host[INET6_ADDRSTRLEN] = {};
    int port = 0;
    if (address.ss_family == AF_INET) {
        const auto& in = reinterpret_cast<const sockaddr_in&>(address);
        ::inet_ntop(AF_INET, &in.sin_addr, host, sizeof host);
        port = ntohs(in.sin_port);
        return std::string(host) + ":" + std::to_string(port);
    }
    if (address.ss_family == AF_INET6) {
        const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
        ::inet_ntop(AF_INET6, &in6.sin6_addr, host, sizeof host);
        port = ntohs(in6.sin6_port);
        return "[" + std::string(host) + "]:" + std::to_string(port);
    }
    return {};
}

} // namespace chronvale::imaged
