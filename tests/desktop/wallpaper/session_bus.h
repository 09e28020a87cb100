#pragma once
// A private D-Bus session bus for one test program: started before the first
// test (before anything connects to a bus), stopped after the last. The
// desktops' services (xfconfd) are started by the bus on demand, as in a session.

#include <string>

namespace chronvale::test {

class SessionBus {
public:
    // Starts dbus-daemon and points DBUS_SESSION_BUS_ADDRESS at it; running() is
    // false when dbus-daemon is missing or failed.
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool running() const { return pid_ > 0; }

private:
    int pid_ = 0;
};

} // namespace chronvale::test
