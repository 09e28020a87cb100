#pragma once
// The server's listening socket. It listens with the largest backlog the system
// allows, so a crowd that connects at once waits in the kernel's queue rather
// than having its connections dropped and retried seconds later.

#include <string>

namespace chronvale::imaged {

// The backlog asked for: net.core.somaxconn (the kernel caps any listen backlog
// to it), or SOMAXCONN when it cannot be read.
int listenBacklog();

// A TCP socket bound to address:port (port 0: a free one), listening, non-blocking
// and closed on exec. -1 on failure, with the reason in `error`.
int openListenSocket(const std::string& address, int port, std::string& error);

// The port a bound socket listens on; 0 when it cannot be told.
int boundPort(int fd);

// Raises the soft limit of open files to the hard limit; returns the limit now in force.
long raiseOpenFileLimit();

} // namespace chronvale::imaged
