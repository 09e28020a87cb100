#include "window_test_support.h"

#include "config/program_settings.h"
#include "support/shell_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSettings>

namespace chronvale::test {
namespace {

// A browser search that finds xdg-open and nothing else, without asking the desktop.
BrowserEnvironment fakeBrowserEnvironment() {
    BrowserEnvironment environment;
    environment.defaultBrowserDesktopId = [] { return QString(); };
    environment.findExecutable = [](const QString& name) {
        return name == QStringLiteral("xdg-open") ? QStringLiteral("/usr/bin/xdg-open") : QString();
    };
    return environment;
}

} // namespace

QApplication& windowApplication() {
    return shellApplication(); // the one application of the test program
}

void drainEvents() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

std::optional<std::string> makeDataFolderWithLanguages(const QString& folder,
                                                       const std::vector<std::string>& codes) {
    const QDir installed(QStringLiteral(CHRONVALE_SOURCE_DIR "/data"));
    const QDir data(folder);
    for (const QString& name :
         installed.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!QFile::link(installed.filePath(name), data.filePath(name))) {
            return "cannot link " + name.toStdString();
        }
    }
    if (!data.mkdir("lang")) {
        return std::string("cannot make lang/");
    }
    for (const std::string& code : codes) {
        const QString name = QStringLiteral("lang/lang_%1.dat").arg(QString::fromStdString(code));
        if (!QFile::copy(QStringLiteral(CHRONVALE_BINARY_DIR "/") + name, data.filePath(name))) {
            return name.toStdString() + " is not built";
        }
    }
    return std::nullopt;
}

void WindowTest::SetUp() {
    windowApplication();
    ASSERT_TRUE(settingsFolder.isValid());
    ASSERT_TRUE(userFolder.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    startFolder = QDir::currentPath();
}

void WindowTest::TearDown() {
    window.reset();
    world.reset();
    QDir::setCurrent(startFolder);
}

void WindowTest::start(const std::function<void(World&)>& prepare) {
    if (!asFirstStart) {
        // A file as a whole save leaves it, with every value at its default.
        const auto stored = openProgramSettings();
        if (!holdsStoredSettings(*stored)) {
            writeStoredSettings(*stored, StoredSettings());
            stored->sync();
        }
    }
    world = std::make_unique<World>(Folders{dataFolder, userFolder.path(), false}, messages);
    if (prepare) {
        prepare(*world);
    }
    MainWindowOptions options;
    const auto record = [this](const QString& program, const QStringList& arguments) {
        launches.push_back({program, arguments});
        return !launchesFail;
    };
    options.browserLauncher = record;
    options.programLauncher = record;
    options.browserEnvironment = fakeBrowserEnvironment();
    options.clock = clock;
    options.wallpaperBackend = wallpaperBackend;
    options.chooseMapFile = chooseMapFile;
    options.startImageServer = false;
    options.newestCloudsAtStart = newestCloudsAtStart;
    window = std::make_unique<MainWindow>(*world, options);
    QObject::connect(window.get(), &MainWindow::mapComposed, [this] {
        ++composed;
        composedShadow.push_back(world->settings.switches.sunShadow ? 1 : 0);
    });
    window->show();
    ASSERT_TRUE(waitFor([this] { return composed >= 1; }));
}

void WindowTest::mouse(QEvent::Type type, QPoint at, Qt::MouseButton button) {
    QWidget* pane = window->mapPane();
    const QPoint global = pane->mapToGlobal(at);
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pane, &event);
}

} // namespace chronvale::test
