// Any bytes as the program's settings file: Qt reads the INI text, and the
// stored values (switches, numbers, the zoom, wallpaper texts) are read into the
// Settings record as at start-up. Values must come out in their ranges.

#include "config/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir& scratch() {
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    static QTemporaryDir folder;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QTemporaryDir& folder = scratch();
    const QString path = folder.filePath(QStringLiteral("Chronvale.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    QSettings program(path, QSettings::IniFormat);
    QSettings shared(folder.filePath(QStringLiteral("Common.ini")), QSettings::IniFormat);
    chronvale::SettingsStores stores{
        program, shared, folder.filePath(QStringLiteral("config.ini")), {}};
    chronvale::Settings settings = chronvale::defaultSettings(QRect(0, 0, 1920, 1080));
    chronvale::CityList cities;
    chronvale::CloudFrameTable frames;
    chronvale::loadSettings(stores, settings, cities, frames, std::nullopt);
    // Texts read back are bounded; a language code names a file inside the folder.
    if (settings.wallpaperfile && settings.wallpaperfile->size() > 999) {
        __builtin_trap();
    }
    if (settings.language && (settings.language->find('/') != std::string::npos ||
                              settings.language->find('.') != std::string::npos)) {
        __builtin_trap();
    }
    return 0;
}
