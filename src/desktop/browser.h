#pragma once
// Finding the user's web browser on a Linux desktop and starting it with a URL.
//
// The default browser is the program of the desktop file that
// `xdg-settings get default-web-browser` names, else xdg-open. Everything the
// search touches is passed in, so it can be tested without a desktop.

#include <QString>
#include <QStringList>
#include <functional>

namespace chronvale {

struct BrowserEnvironment {
    // The desktop file id of the default browser ("firefox-esr.desktop"); empty
    // when it cannot be told.
    std::function<QString()> defaultBrowserDesktopId;
    // The same without waiting: starts the question and calls `done` once with
    // the answer, from the event loop. Where it is set, the link service asks
    // this way and the window never waits for the desktop.
    std::function<void(std::function<void(const QString&)> done)> askDefaultBrowserDesktopId;
    // Folders that hold desktop files, most important first.
    QStringList applicationFolders;
    // The full path of a program name, empty when it is not installed.
    std::function<QString(const QString&)> findExecutable;
    // $BROWSER, a program the user named for all programs.
    QString browserVariable;
};

// The environment of this session: xdg-settings (asked asynchronously, for at
// most 3 seconds), $XDG_DATA_HOME and $XDG_DATA_DIRS, $PATH and $BROWSER.
BrowserEnvironment systemBrowserEnvironment();

struct BrowserDetection {
    QString defaultBrowser; // the program to start; empty when there is none at all
    // Programs for the preferences page's "Browser:" list, without repeats: the
    // desktop's default, $BROWSER, x-www-browser and xdg-open, as far as installed.
    QStringList candidates;
};

// The default browser for the desktop file id `desktopId` (empty: unknown).
BrowserDetection findDefaultBrowser(const BrowserEnvironment& environment,
                                    const QString& desktopId);
// The same with the id from environment.defaultBrowserDesktopId (waits for it).
BrowserDetection findDefaultBrowser(const BrowserEnvironment& environment);

// The program of a desktop file: the first word of the Exec line of its
// [Desktop Entry] group (quotes honoured). Empty when there is none.
QString desktopFileProgram(const QString& desktopFilePath);

// Starts a program with arguments, detached from this process; false when it
// cannot be started.
using BrowserLauncher = std::function<bool(const QString& program, const QStringList& arguments)>;

// QProcess::startDetached.
BrowserLauncher detachedLauncher();

} // namespace chronvale
