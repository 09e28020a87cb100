#include "app/startup/program.h"

#include "app/cli/command_line.h"
#include "app/cli/folders.h"
#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/main_window.h"
#include "app/startup/message_box_sink.h"
#include "app/startup/world.h"
#include "core/product.h"
#include "desktop/single_instance.h"
#include "desktop/tray_icon.h"
#include "ui/icon_index.h"
#include "ui/mnemonic_style.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace chronvale {

namespace {

// How long a second copy waits for the first to answer (the first may still be
// loading its tables).
constexpr std::chrono::seconds kAskBound{15};

// The program icon at the sizes desktops ask for (task bar, tray, switcher).
QIcon programIcon(const IconStrip& icons) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(icons.pixmap(IconProgram, size));
    }
    return icon;
}

// --screenshot: runs the asked commands one after another, each once no
// transfer is under way (the services start nothing while one is), waits the
// delay, writes the window's image and closes the window as Exit does.
class ScreenshotRun : public std::enable_shared_from_this<ScreenshotRun> {
public:
    ScreenshotRun(MainWindow& window, const HttpClient& http, const CommandLine& line)
        : window_(window), http_(http), file_(QString::fromStdString(*line.screenshot)),
          commands_(line.screenshotCommands), delayMs_(line.screenshotDelaySeconds * 1000) {}

    void step() {
        if (http_.transferCount() > 0 && idleWaitMs_ < kIdleBoundMs) {
            idleWaitMs_ += kPollMs;
            later(kPollMs, &ScreenshotRun::step);
            return;
        }
        idleWaitMs_ = 0;
        if (next_ < commands_.size()) {
            window_.runCommand(commands_[next_++]);
            later(kPollMs, &ScreenshotRun::step);
            return;
        }
        later(delayMs_, &ScreenshotRun::take);
    }

private:
    static constexpr int kPollMs = 100;
    static constexpr int kIdleBoundMs = 30000;

    void later(int ms, void (ScreenshotRun::*what)()) {
        QTimer::singleShot(ms, &window_, [self = shared_from_this(), what] { (*self.*what)(); });
    }

    void take() {
        const bool written = window_.grab().save(file_);
        std::fprintf(stderr, written ? "chronvale: wrote %s\n" : "chronvale: cannot write %s\n",
                     qPrintable(file_));
        window_.exitProgram();
    }

    MainWindow& window_;
    const HttpClient& http_;
    QString file_;
    std::vector<int> commands_;
    std::size_t next_ = 0;
    int delayMs_ = 0;
    int idleWaitMs_ = 0;
};

// Milliseconds since this process was started (its start time in clock ticks
// since boot, from /proc), so that loading the libraries counts too; none when
// it cannot be read.
std::optional<long long> processAgeMs() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray text = stat.readAll();
    // The fields after the command name in parentheses; the start time is field 22,
    // the 20th after it.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    timespec now{};
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (fields.size() < 20 || ticks <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return std::nullopt;
    }
    bool ok = false;
    const long long started = fields[19].toLongLong(&ok) * 1000 / ticks;
    const long long nowMs = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return ok ? std::optional<long long>(nowMs - started) : std::nullopt;
}

// Reports when the first lit map has been painted, and starts the screenshot
// run after it when one was asked for.
void watchFirstMap(MainWindow& window, const HttpClient& http, const CommandLine& line,
                   const QElapsedTimer& sinceStart) {
    auto connection = std::make_shared<QMetaObject::Connection>();
    auto seen = std::make_shared<bool>(false);
    const auto firstMap = [=, &window, &http, &line, &sinceStart] {
        QObject::disconnect(*connection);
        if (*seen) {
            return; // a second composition queued before the first call ran
        }
        *seen = true;
        const long long age = processAgeMs().value_or(-1);
        std::fprintf(stderr,
                     "chronvale: first lit map painted %lld ms after start-up began, %lld ms "
                     "after the process started\n",
                     static_cast<long long>(sinceStart.elapsed()), age);
        std::make_shared<ScreenshotRun>(window, http, line)->step();
    };
    // Queued, so that the pane has been painted when the time is taken.
    *connection = QObject::connect(&window, &MainWindow::mapComposed, &window, firstMap,
                                   Qt::QueuedConnection);
}

} // namespace

int runWindowProgram(const CommandLine& line, int& argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(settingsApplication));
    installMnemonicStyle(); // Arabic menus keep their words whole
    // The desktop entry the windows belong to (the Wayland app id; on X11 the
    // window class is the application name, the entry's StartupWMClass).
    QGuiApplication::setDesktopFileName(
        QString::fromUtf8(desktopId.data(), static_cast<qsizetype>(desktopId.size())));
    const QString startFolder = QDir::currentPath();
    // The World makes the user folder the current one: a relative screenshot
    // file is meant relative to the folder the program was started from.
    CommandLine shotLine = line;
    if (shotLine.screenshot) {
        shotLine.screenshot = QDir(startFolder)
                                  .absoluteFilePath(QString::fromStdString(*shotLine.screenshot))
                                  .toStdString();
    }

    // One running copy per user; a second start brings the first one forward.
    SingleInstance instance(SingleInstance::defaultName(), SingleInstance::defaultFolder(),
                            QCoreApplication::applicationFilePath());
    if (instance.claim() == SingleInstance::Role::Second) {
        instance.askFirstToRaise(kAskBound, line.selectCity);
        return 0;
    }

    // The window may be hidden while the program runs in the tray: only the
    // window's own Exit or Quit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // Load errors before the window exists stand alone.
    MessageBoxSink messages;
    auto world = std::make_unique<World>(
        findFolders(QString::fromStdString(line.dataFolder.value_or(std::string())), startFolder),
        messages);
    const QIcon icon = programIcon(*world->icons);
    QApplication::setWindowIcon(icon);

    int code = 0;
    {
        MainWindow window(*world);
        messages.setOwner(&window);
        TrayIcon tray(window, icon, world->language);
        window.setTrayIcon(&tray);
        QObject::connect(&instance, &SingleInstance::raiseRequested, &window,
                         &MainWindow::restoreWindow);
        QObject::connect(&instance, &SingleInstance::selectCityRequested, &window,
                         [&window] { window.runCommand(cmd::SelectCity); });
        QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        if (line.screenshot) {
            watchFirstMap(window, world->http, shotLine, sinceStart);
        }
        if (!line.minimized) {
            window.show();
        } else if (!tray.shown()) {
            window.showMinimized(); // without a tray the task bar must bring it back
        }                           // else hidden: the tray icon's Restore shows it
        if (line.selectCity) {
            QTimer::singleShot(0, &window, [&window] { window.runCommand(cmd::SelectCity); });
        }
        code = QApplication::exec();
        window.setTrayIcon(nullptr);
        messages.setOwner(nullptr);
    }
    // The window saved the settings when it closed. Now the images, the frames
    // and the tables; the lock goes last.
    world.reset();
    instance.release();
    return code;
}

} // namespace chronvale
