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
// xfdesktop's image-style "Zoomed": each picture is made at its monitor's size,
// and one made smaller (the width cap) still fills it.
const QString kZoomed = QStringLiteral("5");

// "HDMI-1" of "/backdrop/screen0/monitorHDMI-1/workspace0".
QString monitorOf(const QString& folder) {
    return folder.section(QLatin1Char('/'), 3, 3).mid(7);
}

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

std::string XfceBackend::key() const {
    return kChannel.toStdString();
}

bool XfceBackend::available() const {
    return toolExists(kXfconf) && list().has_value();
}

std::optional<XfceBackend::Listing> XfceBackend::list() const {
    const std::optional<QString> listing =
        runTool(kXfconf, {QStringLiteral("-c"), kChannel, QStringLiteral("-l")});
    if (!listing) {
        // A channel without any property cannot be listed; xfconfd itself answers.
        if (!runTool(kXfconf, {QStringLiteral("-l")})) {
            return std::nullopt;
        }
        return Listing{{kFirstWorkspace}, {}};
    }
    static const QRegularExpression property(
        QStringLiteral("^(/backdrop/screen[0-9]+/monitor[^/]+/workspace[0-9]+)/"
                       "(last-image|image-style)$"));
    Listing found;
    for (const QString& line : listing->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = property.match(line.trimmed());
        if (!match.hasMatch()) {
            continue;
        }
        found.properties << match.captured(0);
        if (!found.folders.contains(match.captured(1))) {
            found.folders << match.captured(1);
        }
    }
    if (found.folders.isEmpty()) {
        found.folders << kFirstWorkspace;
    }
    return found;
}

std::optional<DesktopWallpaperState> XfceBackend::readState() {
    const std::optional<Listing> listing = list();
    if (!listing) {
        return std::nullopt;
    }
    QStringList images;
    QStringList styles;
    for (const QString& folder : listing->folders) {
        for (auto [name, lines] : {std::pair{&kImage, &images}, std::pair{&kStyle, &styles}}) {
            const QString property = folder + *name;
            std::optional<QString> value;
            if (listing->properties.contains(property)) {
                // Listed but unreadable: saving it as absent would delete it on restore.
                value = readProperty(property);
                if (!value) {
                    return std::nullopt;
                }
            }
            *lines << savedLine(property, value);
        }
    }
    return DesktopWallpaperState{images.join(QLatin1Char('\n')).toStdString(),
                                 styles.join(QLatin1Char('\n')).toStdString(), std::string()};
}

QStringList XfceBackend::picturesFor(const Listing& listing, const WallpaperFiles& files) {
    QStringList monitors;
    for (const QString& folder : listing.folders) {
        if (!monitors.contains(monitorOf(folder))) {
            monitors << monitorOf(folder);
        }
    }
    // By name first, then the rest in order.
    std::vector<int> fileOf(static_cast<std::size_t>(monitors.size()), -1);
    std::vector<bool> taken(files.size(), false);
    for (std::size_t f = 0; f < files.size(); ++f) {
        const qsizetype m = monitors.indexOf(QString::fromStdString(files[f].screen.name));
        if (!files[f].screen.name.empty() && m >= 0 && fileOf[static_cast<std::size_t>(m)] < 0) {
            fileOf[static_cast<std::size_t>(m)] = static_cast<int>(f);
            taken[f] = true;
        }
    }
    std::size_t next = 0;
    for (int& file : fileOf) {
        while (file < 0 && next < files.size()) {
            if (!taken[next]) {
                file = static_cast<int>(next);
                taken[next] = true;
            }
            ++next;
        }
    }
    QStringList pictures;
    for (const QString& folder : listing.folders) {
        const int file = fileOf[static_cast<std::size_t>(monitors.indexOf(monitorOf(folder)))];
        // A monitor beyond the screens (one unplugged) shows the first picture.
        pictures << QString::fromStdString(
            files[file < 0 ? 0 : static_cast<std::size_t>(file)].path);
    }
    return pictures;
}

bool XfceBackend::show(const WallpaperFiles& files) {
    const std::optional<Listing> listing = list();
    if (!listing || files.empty()) {
        return false;
    }
    const QStringList pictures = picturesFor(*listing, files);
    bool ok = true;
    for (qsizetype i = 0; i < listing->folders.size(); ++i) {
        const QString& folder = listing->folders[i];
        const bool hasStyle = listing->properties.contains(folder + kStyle);
        const bool hasImage = listing->properties.contains(folder + kImage);
        ok = writeProperty(folder + kStyle, kZoomed, QStringLiteral("int"), hasStyle) && ok;
        ok = writeProperty(folder + kImage, pictures[i], QStringLiteral("string"), hasImage) && ok;
    }
    return ok;
}

std::optional<std::vector<std::string>> XfceBackend::shownPictures() {
    const std::optional<Listing> listing = list();
    if (!listing) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (const QString& folder : listing->folders) {
        const std::optional<QString> value = readProperty(folder + kImage);
        if (!value) {
            return std::nullopt;
        }
        paths.push_back(value->toStdString());
    }
    return paths;
}

bool XfceBackend::restore(const DesktopWallpaperState& state) {
    const bool styles = restoreLines(state.tile, QStringLiteral("int"));
    const bool images = restoreLines(state.file, QStringLiteral("string"));
    return styles && images;
}

} // namespace chronvale
