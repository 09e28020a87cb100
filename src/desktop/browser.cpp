#include "desktop/browser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace chronvale {

namespace {

constexpr int kXdgSettingsTimeoutMs = 3000;

// Asks `xdg-settings get default-web-browser` without waiting for it; `done` gets
// its answer, or an empty text when it fails or takes longer than the bound.
void askXdgSettings(std::function<void(const QString&)> done) {
    auto* process = new QProcess;
    auto answered = std::make_shared<bool>(false);
    const auto answer = [process, answered, done](const QString& id) {
        if (*answered) {
            return;
        }
        *answered = true;
        done(id);
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, answer](int code, QProcess::ExitStatus status) {
                         const bool ok = status == QProcess::NormalExit && code == 0;
                         answer(ok ? QString::fromUtf8(process->readAllStandardOutput()).trimmed()
                                   : QString());
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [answer](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             answer(QString());
                         }
                     });
    QTimer::singleShot(kXdgSettingsTimeoutMs, process, [process, answer] {
        process->kill();
        answer(QString());
    });
    process->start(QStringLiteral("xdg-settings"),
                   {QStringLiteral("get"), QStringLiteral("default-web-browser")});
}

// A program name as given, resolved through $PATH when it is not a path.
QString resolve(const BrowserEnvironment& environment, const QString& program) {
    if (program.isEmpty()) {
        return {};
    }
    if (program.contains(QLatin1Char('/'))) {
        return QFileInfo(program).isExecutable() ? program : QString();
    }
    return environment.findExecutable ? environment.findExecutable(program) : QString();
}

} // namespace

BrowserEnvironment systemBrowserEnvironment() {
    BrowserEnvironment environment;
    environment.askDefaultBrowserDesktopId = askXdgSettings;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        environment.applicationFolders << folder;
    }
    environment.findExecutable = [](const QString& name) {
        return QStandardPaths::findExecutable(name);
    };
    environment.browserVariable = qEnvironmentVariable("BROWSER");
    return environment;
}

QString desktopFileProgram(const QString& desktopFilePath) {
    QFile file(desktopFilePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || !line.startsWith(QLatin1String("Exec="))) {
            continue;
        }
        const QString command = line.mid(5).trimmed();
        if (command.startsWith(QLatin1Char('"'))) {
            const qsizetype end = command.indexOf(QLatin1Char('"'), 1);
            return end < 0 ? command.mid(1) : command.mid(1, end - 1);
        }
        return command.section(QLatin1Char(' '), 0, 0);
    }
    return {};
}

BrowserDetection findDefaultBrowser(const BrowserEnvironment& environment) {
    return findDefaultBrowser(environment, environment.defaultBrowserDesktopId
                                               ? environment.defaultBrowserDesktopId()
                                               : QString());
}

BrowserDetection findDefaultBrowser(const BrowserEnvironment& environment,
                                    const QString& desktopId) {
    BrowserDetection detection;
    auto add = [&detection](const QString& program) {
        if (!program.isEmpty() && !detection.candidates.contains(program)) {
            detection.candidates << program;
        }
    };
    QString desktopProgram;
    if (desktopId.endsWith(QLatin1String(".desktop")) && !desktopId.contains(QLatin1Char('/'))) {
        for (const QString& folder : environment.applicationFolders) {
            const QString path = QDir(folder).filePath(desktopId);
            if (QFileInfo::exists(path)) {
                desktopProgram = resolve(environment, desktopFileProgram(path));
                break;
            }
        }
    }
    const QString xdgOpen = resolve(environment, QStringLiteral("xdg-open"));
    add(desktopProgram);
    add(resolve(environment, environment.browserVariable));
    add(resolve(environment, QStringLiteral("x-www-browser")));
    add(xdgOpen);
    detection.defaultBrowser = desktopProgram.isEmpty() ? xdgOpen : desktopProgram;
    return detection;
}

BrowserLauncher detachedLauncher() {
    return [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
}

} // namespace chronvale
