#pragma once
// What the shell tests share: one QApplication for the process (offscreen), a
// recorder of the main window's shell operations, and a bounded wait.

#include "desktop/shell_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <chrono>
#include <string>
#include <vector>

namespace chronvale::test {

QApplication& shellApplication();

// Records what the tray and start-up ask of the main window.
class RecordingShellWindow final : public ShellWindow {
public:
    void restoreWindow() override { calls.push_back("restore"); }
    void minimiseWindow() override { calls.push_back("minimise"); }
    void exitProgram() override { calls.push_back("exit"); }
    std::vector<std::string> calls;
};

// Runs the event loop until `done` holds or the bound passes; returns `done()`.
template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    const QDeadlineTimer deadline(bound);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return done();
}

} // namespace chronvale::test
