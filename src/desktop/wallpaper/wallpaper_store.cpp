#include "desktop/wallpaper/wallpaper_store.h"

#include <QSettings>

namespace chronvale {

namespace {

constexpr const char* kSwitchKey = "wallpaper";
constexpr const char* kFileKey = "wallpaperfile";
constexpr const char* kTileKey = "wallpapertile";
constexpr const char* kStyleKey = "wallpaperstyle";
// The desktop interface that saved the state; absent in states saved before it was kept.
constexpr const char* kBackendKey = "wallpaperbackend";
constexpr const char* kScreensKey = "wallpaperscreens";

// A saved state holds a line per desktop, monitor or workspace and can outgrow the
// 999 bytes read back of other texts; cut to empty, it would lose the user's own
// wallpaper. Up to this size it is read back whole.
constexpr std::size_t kMaxStateText = 64 * 1024;

QString key(const char* name) {
    return QString::fromLatin1(name);
}

// Texts longer than the limit read as empty.
std::string storedText(const QSettings& program, const char* name) {
    const QByteArray bytes = program.value(key(name)).toString().toUtf8();
    return static_cast<std::size_t>(bytes.size()) > kMaxStateText ? std::string()
                                                                  : bytes.toStdString();
}

} // namespace

std::vector<WallpaperScreen> readLastScreens(const QSettings& program) {
    const std::string text = program.value(key(kScreensKey)).toString().toStdString();
    return text.size() > 1024 ? std::vector<WallpaperScreen>{} : parseScreens(text).screens;
}

bool writeLastScreens(QSettings& program, const std::vector<WallpaperScreen>& screens) {
    const QString text = QString::fromStdString(formatScreens(screens));
    if (program.value(key(kScreensKey)).toString() == text) {
        return true;
    }
    program.setValue(key(kScreensKey), text);
    program.sync();
    return program.status() == QSettings::NoError;
}

StoredWallpaper readStoredWallpaper(const QSettings& program) {
    StoredWallpaper stored;
    bool number = false;
    stored.on = program.value(key(kSwitchKey)).toString().trimmed().toInt(&number) != 0 && number;
    stored.saved.file = storedText(program, kFileKey);
    stored.saved.tile = storedText(program, kTileKey);
    stored.saved.style = storedText(program, kStyleKey);
    stored.backend = storedText(program, kBackendKey);
    return stored;
}

bool writeStoredWallpaper(QSettings& program, const StoredWallpaper& stored) {
    program.setValue(key(kSwitchKey), QString::number(stored.on ? 1 : 0));
    program.setValue(key(kFileKey), QString::fromStdString(stored.saved.file));
    program.setValue(key(kTileKey), QString::fromStdString(stored.saved.tile));
    program.setValue(key(kStyleKey), QString::fromStdString(stored.saved.style));
    program.setValue(key(kBackendKey), QString::fromStdString(stored.backend));
    program.sync();
    return program.status() == QSettings::NoError;
}

WallpaperStore::WallpaperStore(QSettings& program) : program_(program) {
    current_ = readStoredWallpaper(program_);
}

const StoredWallpaper& WallpaperStore::load() {
    program_.sync();
    current_ = readStoredWallpaper(program_);
    return current_;
}

bool WallpaperStore::save(const StoredWallpaper& stored) {
    if (!writeStoredWallpaper(program_, stored)) {
        return false;
    }
    current_ = stored;
    return true;
}

QString WallpaperStore::fileName() const {
    return program_.fileName();
}

} // namespace chronvale
