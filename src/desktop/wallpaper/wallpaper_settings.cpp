#include "desktop/wallpaper/wallpaper_settings.h"

#include <QSettings>

namespace chronvale {

namespace {

// Texts longer than this read as empty, as the settings store reads them.
constexpr qsizetype kMaxText = 999;

std::string storedText(const QSettings& program, const QString& key) {
    const QByteArray bytes = program.value(key).toString().toUtf8();
    return bytes.size() > kMaxText ? std::string() : bytes.toStdString();
}

} // namespace

StoredWallpaper readStoredWallpaper(const QSettings& program) {
    StoredWallpaper stored;
    bool number = false;
    stored.on =
        program.value(QStringLiteral("wallpaper")).toString().trimmed().toInt(&number) != 0 &&
        number;
    stored.saved.file = storedText(program, QStringLiteral("wallpaperfile"));
    stored.saved.tile = storedText(program, QStringLiteral("wallpapertile"));
    stored.saved.style = storedText(program, QStringLiteral("wallpaperstyle"));
    return stored;
}

bool writeStoredWallpaper(QSettings& program, const StoredWallpaper& stored) {
    program.setValue(QStringLiteral("wallpaper"), QString::number(stored.on ? 1 : 0));
    program.setValue(QStringLiteral("wallpaperfile"), QString::fromStdString(stored.saved.file));
    program.setValue(QStringLiteral("wallpapertile"), QString::fromStdString(stored.saved.tile));
    program.setValue(QStringLiteral("wallpaperstyle"), QString::fromStdString(stored.saved.style));
    program.sync();
    return program.status() == QSettings::NoError;
}

} // namespace chronvale
