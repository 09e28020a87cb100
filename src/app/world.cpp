#include "app/world.h"

#include "ui/program_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <limits>

namespace chronvale {

namespace {

constexpr int kDefaultRefreshMinutes = 10;
// The refresh timer counts milliseconds in an int.
constexpr int kMaxRefreshMinutes = std::numeric_limits<int>::max() / 60000;

} // namespace

int startupRefreshMinutes(int stored) {
    if (stored < 1) {
        return kDefaultRefreshMinutes;
    }
    return stored > kMaxRefreshMinutes ? kMaxRefreshMinutes : stored;
}

World::World(Folders folders_, MessageSink& messages_)
    : folders(std::move(folders_)), messages(messages_),
      language(folders.data, QCoreApplication::applicationDirPath()),
      settings(defaultSettings(primaryDesktopRect())),
      compositor(folders.data.toStdString(), loadErrors) {
    // The user's files (config.ini, cache/, Wallpaper.bmp) are named relative to
    // the current folder.
    if (!enterUserFolder(folders)) {
        qWarning("chronvale: cannot use the user folder %s", qPrintable(folders.user));
    }
    QDir().mkdir(QStringLiteral("cache")); // it may exist already

    installation = loadLinkConfig(QDir(folders.data).filePath(QStringLiteral("chronvale.ini")));
    icons = std::make_unique<IconStrip>();

    // The tables first: config.ini names marked cities by their entries in the list.
    tables = loadGeoTables(folders.data.toStdString(), loadErrors);
    programSettings = openProgramSettings();
    sharedSettings = openSharedSettings();
    SettingsStores stores = settingsStores();
    configRead = loadSettings(stores, settings, tables.cities, frames, systemLanguageCode());
    settings.refresh = startupRefreshMinutes(settings.refresh);
}

World::~World() = default;

SettingsStores World::settingsStores() {
    return SettingsStores{*programSettings,
                          *sharedSettings,
                          QDir(folders.user).filePath(QStringLiteral("config.ini")),
                          {}};
}

bool World::saveAll() {
    SettingsStores stores = settingsStores();
    return saveSettings(stores, settings, tables.cities, frames, language, messages);
}

} // namespace chronvale
