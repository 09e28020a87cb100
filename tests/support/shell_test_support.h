#pragma once
// What the shell tests share: one QApplication for the process (offscreen), a
// recorder of the main window's shell operations, and the bounded wait of
// support/wait_for.h.

#include "desktop/shell_window.h"
#include "support/wait_for.h"

#include <QApplication>
#include <QCoreApplication>
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
    bool windowOnScreen() const override { return onScreen; }
    void hideWindow() override { calls.push_back("hide"); }
    std::vector<std::string> calls;
    bool onScreen = false;
};

} // namespace chronvale::test
