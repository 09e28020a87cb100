#include "session_bus.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace chronvale::test {

SessionBus::SessionBus() {
    // --fork: the command returns once the bus listens; it prints the address and the pid.
    FILE* out =
        ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    if (out == nullptr) {
        return;
    }
    char line[1024];
    std::string address;
    std::string pid;
    if (std::fgets(line, sizeof line, out) != nullptr) {
        address = line;
    }
    if (std::fgets(line, sizeof line, out) != nullptr) {
        pid = line;
    }
    ::pclose(out);
    while (!address.empty() && (address.back() == '\n' || address.back() == '\r')) {
        address.pop_back();
    }
    if (address.empty() || pid.empty()) {
        return;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    pid_ = std::atoi(pid.c_str());
}

SessionBus::~SessionBus() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
    }
}

} // namespace chronvale::test
