#include "desktop/wallpaper/command_backend.h"

#include "desktop/wallpaper/tool_process.h"

namespace chronvale {

WallpaperCommand lxqtCommand() {
    return {QStringLiteral("LXQt"),
            QStringLiteral("pcmanfm-qt"),
            MonitorPictures::Primary,
            {{QStringLiteral("--set-wallpaper"), QStringLiteral("%f"),
              QStringLiteral("--wallpaper-mode"), QStringLiteral("zoom")}},
            {}};
}

WallpaperCommand swayCommand() {
    return {QStringLiteral("sway"),
            QStringLiteral("swaymsg"),
            MonitorPictures::PerMonitor,
            {{QStringLiteral("output"), QStringLiteral("%o"), QStringLiteral("bg"),
              QStringLiteral("%f"), QStringLiteral("fill")}},
            {},
            true};
}

WallpaperCommand hyprlandCommand() {
    return {QStringLiteral("Hyprland"),
            QStringLiteral("hyprctl"),
            MonitorPictures::PerMonitor,
            {{QStringLiteral("hyprpaper"), QStringLiteral("preload"), QStringLiteral("%f")},
             {QStringLiteral("hyprpaper"), QStringLiteral("wallpaper"), QStringLiteral("%o,%f")}},
            {{QStringLiteral("hyprpaper"), QStringLiteral("unload"), QStringLiteral("unused")}}};
}

WallpaperCommand fehCommand() {
    return {QStringLiteral("X11"),
            QStringLiteral("feh"),
            MonitorPictures::Spanned,
            {{QStringLiteral("--no-fehbg"), QStringLiteral("--no-xinerama"),
              QStringLiteral("--bg-center"), QStringLiteral("%f")}},
            {}};
}

WallpaperCommand xwallpaperCommand() {
    return {QStringLiteral("X11"),
            QStringLiteral("xwallpaper"),
            MonitorPictures::Spanned,
            {{QStringLiteral("--no-randr"), QStringLiteral("--center"), QStringLiteral("%f")}},
            {}};
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

bool CommandBackend::show(const WallpaperFiles& files) {
    if (files.empty()) {
        return false;
    }
    // Without the outputs' names only one picture can be given, to all of them.
    bool named = true;
    for (const MonitorFile& file : files) {
        named = named && !file.screen.name.empty();
    }
    const std::size_t count = named ? files.size() : 1;
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i) {
        const QString path = QString::fromStdString(files[i].path);
        const QString output =
            named && command_.pictures == MonitorPictures::PerMonitor
                ? QString::fromStdString(files[i].screen.name)
                : QString(command_.program == QLatin1String("hyprctl") ? "" : "*");
        for (QStringList arguments : command_.eachPicture) {
            for (QString& argument : arguments) {
                const QString file = command_.quotesPath && argument == QLatin1String("%f")
                                         ? quotedCommandPath(path)
                                         : path;
                argument.replace(QLatin1String("%o"), output);
                argument.replace(QLatin1String("%f"), file);
            }
            ok = runTool(command_.program, arguments).has_value() && ok;
        }
    }
    for (const QStringList& arguments : command_.afterwards) {
        runTool(command_.program, arguments); // tidying only
    }
    return ok;
}

} // namespace chronvale
