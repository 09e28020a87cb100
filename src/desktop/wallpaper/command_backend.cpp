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
             QStringLiteral("%f"), QStringLiteral("center")}};
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

CommandBackend::CommandBackend(WallpaperCommand command) : command_(std::move(command)) {}

std::string CommandBackend::name() const {
    return QStringLiteral("%1 (%2)").arg(command_.desktop, command_.program).toStdString();
}

bool CommandBackend::available() const {
    return toolExists(command_.program);
}

bool CommandBackend::show(const std::string& path) {
    QStringList arguments = command_.arguments;
    for (QString& argument : arguments) {
        if (argument == QLatin1String("%f")) {
            argument = QString::fromStdString(path);
        }
    }
    return runTool(command_.program, arguments).has_value();
}

} // namespace chronvale
