#include "desktop/wallpaper/wallpaper_store.h"

#include "core/wallpaper_keys.h"

#include <QSettings>

namespace chronvale {

namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

// Texts longer than the limit read as empty, as the settings record reads them.
std::string storedText(const QSettings& program, const char* name) {
    const QByteArray bytes = program.value(key(name)).toString().toUtf8();
    return static_cast<std::size_t>(bytes.size()) > kMaxWallpaperStateText ? std::string()
                                                                           : bytes.toStdString();
}

} // namespace

StoredWallpaper readStoredWallpaper(const QSettings& program) {
    StoredWallpaper stored;
    bool number = false;
    stored.on =
        program.value(key(kWallpaperSwitchKey)).toString().trimmed().toInt(&number) != 0 && number;
    stored.saved.file = storedText(program, kWallpaperFileKey);
    stored.saved.tile = storedText(program, kWallpaperTileKey);
    stored.saved.style = storedText(program, kWallpaperStyleKey);
    stored.backend = storedText(program, kWallpaperBackendKey);
    return stored;
}

bool writeStoredWallpaper(QSettings& program, const StoredWallpaper& stored) {
    program.setValue(key(kWallpaperSwitchKey), QString::number(stored.on ? 1 : 0));
    program.setValue(key(kWallpaperFileKey), QString::fromStdString(stored.saved.file));
    program.setValue(key(kWallpaperTileKey), QString::fromStdString(stored.saved.tile));
    program.setValue(key(kWallpaperStyleKey), QString::fromStdString(stored.saved.style));
    program.setValue(key(kWallpaperBackendKey), QString::fromStdString(stored.backend));
    program.sync();
    return program.status() == QSettings::NoError;
}

} // namespace chronvale
