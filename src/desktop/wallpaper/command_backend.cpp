#include "desktop/wallpaper/command_backend.h"

#include "desktop/wallpaper/tool_process.h"

namespace chronvale {

WallpaperCommand lxqtCommand() {
    return {QStringLiteral("LXQt"),
            QStringLiteral("pcmanfm-qt"),
            {QStringLiteral("--set-wallpaper"), QStringLiteral("%f"),
             QStringLiteral("--wallpaper-mode"), QStringLiteral("center")}};
}

WallpaperCommand swayCommand() {
    return {QStringLiteral("sway"),
            QStringLiteral("swaymsg"),
            {QStringLiteral("output"), QStringLiteral("*"), QStringLiteral("bg"),
             QStringLiteral("%f"), QStringLiteral("center")},
            true};
}

WallpaperCommand fehCommand() {
    return {QStringLiteral("X11"),
            QStringLiteral("feh"),
            {QStringLiteral("--no-fehbg"), QStringLiteral("--bg-center"), QStringLiteral("%f")}};
}

WallpaperCommand xwallpaperCommand() {
    return {QStringLiteral("X11"),
            QStringLiteral("xwallpaper"),
            {QStringLiteral("--center"), QStringLiteral("%f")}};
}

QString quotedCommandPath(const QString& path) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

CommandBackend::CommandBackend(WallpaperCommand command) : command_(std::move(command)) {}

std::string CommandBackend::name() const {
    return QStringLiteral("%1 (%2)").arg(command_.desktop, command_.program).toStdString();
}

std::string CommandBackend::key() const {
    return command_.program.toStdString();
}

bool CommandBackend::available() const {
    return toolExists(command_.program);
}

bool CommandBackend::show(const std::string& path) {
    QStringList arguments = command_.arguments;
    for (QString& argument : arguments) {
        if (argument == QLatin1String("%f")) {
            const QString file = QString::fromStdString(path);
            argument = command_.quotesPath ? quotedCommandPath(file) : file;
        }
    }
    return runTool(command_.program, arguments).has_value();
}

} // namespace chronvale
