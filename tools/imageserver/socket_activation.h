#pragma once
// The listening socket a service manager hands over (systemd's socket passing:
// LISTEN_PID names this process, LISTEN_FDS the number of sockets from fd 3 on),
// checked before the server accepts on it.

#include <optional>
#include <string>

namespace chronvale::imaged {

// The first descriptor a service manager passes.
inline constexpr int kFirstPassedFd = 3;

struct HandedSocket {
    std::optional<int> fd; // the listening socket, when one was handed over
    std::string error;     // set when what was handed over cannot be used
};

// Reads LISTEN_PID and LISTEN_FDS (and unsets them, with LISTEN_FDNAMES, so
// children do not take them for theirs). Nothing handed over, or handed to
// another process: neither fd nor error. One descriptor that is a listening
// TCP socket (IPv4 or IPv6): its fd, marked close-on-exec, for the server to accept on. Anything else: error.
HandedSocket takeHandedSocket();

// Checks one descriptor: empty when it is a listening TCP stream socket, else
// what it is instead.
std::string checkListeningTcpSocket(int fd);

// "host:port" of the socket's local address; empty when it has none.
std::string socketAddress(int fd);

} // namespace chronvale::imaged
