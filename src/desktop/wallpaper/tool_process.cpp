#include "desktop/wallpaper/tool_process.h"

#include <QProcess>
#include <QStandardPaths>

namespace chronvale {

std::optional<QString> runTool(const QString& program, const QStringList& arguments) {
    return runTool(program, arguments, {});
}

std::optional<QString> runTool(const QString& program, const QStringList& arguments,
                               const QStringList& environment) {
    QProcess process;
    if (!environment.isEmpty()) {
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const QString& variable : environment) {
            variables.insert(variable.section(QLatin1Char('='), 0, 0),
                             variable.section(QLatin1Char('='), 1));
        }
        process.setProcessEnvironment(variables);
    }
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(kToolTimeoutMs)) {
        return std::nullopt;
    }
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool toolExists(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

} // namespace chronvale
