#include "app/startup/quit_signals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace chronvale {

namespace {

constexpr std::array kQuitSignals{SIGTERM, SIGINT, SIGHUP};

// The socket pair: the handler writes to [0], the notifier reads [1]. -1 while
// no object owns them.
int pipeEnds[2] = {-1, -1};
struct sigaction previous[kQuitSignals.size()];

extern "C" void onQuitSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // A full socket only loses a repeat of a signal already waiting.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (pipeEnds[0] != -1 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        return;
    }
    installed_ = true;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QuitSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kQuitSignals.size(); ++i) {
        ::sigaction(kQuitSignals[i], &action, &previous[i]);
    }
}

QuitSignals::~QuitSignals() {
    if (!installed_) {
        return;
    }
    for (std::size_t i = 0; i < kQuitSignals.size(); ++i) {
        ::sigaction(kQuitSignals[i], &previous[i], nullptr);
    }
    notifier_.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void QuitSignals::readPending() {
    char byte = 0;
    while (::read(pipeEnds[1], &byte, 1) == 1) {
        emit quitRequested(static_cast<unsigned char>(byte));
    }
}

} // namespace chronvale
