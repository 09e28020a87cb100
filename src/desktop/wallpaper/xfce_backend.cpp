#include "desktop/wallpaper/xfce_backend.h"

#include "desktop/wallpaper/tool_process.h"

#include <QRegularExpression>

namespace chronvale {

namespace {

const QString kXfconf = QStringLiteral("xfconf-query");
const QString kChannel = QStringLiteral("xfce4-desktop");
const QString kImage = QStringLiteral("/last-image");
const QString kStyle = QStringLiteral("/image-style");
// The workspace folder a new installation starts with, for a channel that has none.
const QString kFirstWorkspace = QStringLiteral("/backdrop/screen0/monitor0/workspace0");
// xfdesktop's image-style "Centered".
const QString kCentred = QStringLiteral("1");

QStringList channelArguments(const QString& property) {
    return {QStringLiteral("-c"), kChannel, QStringLiteral("-p"), property};
}

std::optional<QString> readProperty(const QString& property) {
    const std::optional<QString> value = runTool(kXfconf, channelArguments(property));
    if (!value) {
        return std::nullopt;
    }
    QString text = *value;
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    return text;
}

// Writes a property; one that does not exist yet is created with `type`.
bool writeProperty(const QString& property, const QString& value, const QString& type,
                   bool exists) {
    QStringList arguments = channelArguments(property);
    if (!exists) {
        arguments << QStringLiteral("-n") << QStringLiteral("-t") << type;
    }
    arguments << QStringLiteral("-s") << value;
    return runTool(kXfconf, arguments).has_value();
}

bool removeProperty(const QString& property) {
    return runTool(kXfconf, channelArguments(property) << QStringLiteral("-r")).has_value();
}

// One saved line per property: "PROPERTY\tVALUE", or "PROPERTY" for one that was absent.
QString savedLine(const QString& property, const std::optional<QString>& value) {
    return value ? property + QLatin1Char('\t') + *value : property;
}

bool restoreLines(const std::string& saved, const QString& type) {
    bool ok = true;
    for (const QString& line :
         QString::fromStdString(saved).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0) {
            removeProperty(line); // fails harmlessly when it is gone already
            continue;
        }
        ok = writeProperty(line.left(tab), line.mid(tab + 1), type, true) && ok;
    }
    return ok;
}

} // namespace

std::string XfceBackend::name() const {
    return "XFCE (xfconf-query xfce4-desktop)";
}

bool XfceBackend::available() const {
    return toolExists(kXfconf) && workspaces().has_value();
}

std::optional<QStringList> XfceBackend::workspaces() const {
    const std::optional<QString> listing =
        runTool(kXfconf, {QStringLiteral("-c"), kChannel, QStringLiteral("-l")});
    if (!listing) {
        // A channel without any property cannot be listed; xfconfd itself answers.
        if (!runTool(kXfconf, {QStringLiteral("-l")})) {
            return std::nullopt;
        }
        return QStringList();
    }
    static const QRegularExpression property(
        QStringLiteral("^(/backdrop/screen[0-9]+/monitor[^/]+/workspace[0-9]+)/"
                       "(last-image|image-style)$"));
    QStringList folders;
    for (const QString& line : listing->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = property.match(line.trimmed());
        if (match.hasMatch() && !folders.contains(match.captured(1))) {
            folders << match.captured(1);
        }
    }
    return folders;
}

std::optional<DesktopWallpaperState> XfceBackend::readState() {
    std::optional<QStringList> folders = workspaces();
    if (!folders) {
        return std::nullopt;
    }
    if (folders->isEmpty()) {
        *folders << kFirstWorkspace;
    }
    QStringList images;
    QStringList styles;
    for (const QString& folder : *folders) {
        images << savedLine(folder + kImage, readProperty(folder + kImage));
        styles << savedLine(folder + kStyle, readProperty(folder + kStyle));
    }
    return DesktopWallpaperState{images.join(QLatin1Char('\n')).toStdString(),
                                 styles.join(QLatin1Char('\n')).toStdString(), std::string()};
}

bool XfceBackend::show(const std::string& path) {
    std::optional<QStringList> folders = workspaces();
    if (!folders) {
        return false;
    }
    if (folders->isEmpty()) {
        *folders << kFirstWorkspace;
    }
    bool ok = true;
    for (const QString& folder : *folders) {
        const bool hasStyle = readProperty(folder + kStyle).has_value();
        const bool hasImage = readProperty(folder + kImage).has_value();
        ok = writeProperty(folder + kStyle, kCentred, QStringLiteral("int"), hasStyle) && ok;
        ok = writeProperty(folder + kImage, QString::fromStdString(path), QStringLiteral("string"),
                           hasImage) &&
             ok;
    }
    return ok;
}

bool XfceBackend::restore(const DesktopWallpaperState& state) {
    const bool styles = restoreLines(state.tile, QStringLiteral("int"));
    const bool images = restoreLines(state.file, QStringLiteral("string"));
    return styles && images;
}

} // namespace chronvale
