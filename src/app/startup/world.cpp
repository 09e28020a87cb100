#include "app/startup/world.h"

#include "config/first_start.h"
#include "config/program_settings.h"
#include "i18n/string_table.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

namespace chronvale {

namespace {

constexpr int kDefaultRefreshMinutes = 10;

} // namespace

QRect primaryDesktopRect() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            return screen->geometry();
        }
    }
    return QRect(0, 0, 1024, 768);
}

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
    tables_ = loadGeoTables(folders.data.toStdString(), loadErrors);
    programSettings = openProgramSettings();
    sharedSettings = openSharedSettings();
    // A user who has never run the program has no settings file yet, or one
    // without the values a whole save writes (other parts write theirs earlier).
    firstStart = !holdsStoredSettings(*programSettings);
    SettingsStores stores = settingsStores();
    configRead = loadSettings(stores, settings, tables_.cities, frames, systemLanguageCode());
    if (firstStart) {
        applyFirstStartDefaults(installation, settings, tables_.cities);
    }
    settings.refresh = startupRefreshMinutes(settings.refresh);
    zoneFiles = loadZoneFiles(folders.data.toStdString(), tables_.cities);
    localClock.setZoneImage([this] { return compositor.timeZoneImage(); });
    localClock.setUseSystemDatabase(settings.systemZones);
}

World::~World() = default;

SettingsStores World::settingsStores() {
    return SettingsStores{*programSettings,
                          *sharedSettings,
                          QDir(folders.user).filePath(QStringLiteral("config.ini")),
                          {}};
}

void World::markCity(std::size_t index, bool marked) {
    if (index < tables_.cities.size() && tables_.cities[index].marked != marked) {
        tables_.cities[index].marked = marked;
        marksChanged();
    }
}

void World::setCityLabel(std::size_t index, std::string_view label) {
    if (index < tables_.cities.size()) {
        tables_.cities[index].label = storableCityLabel(label);
    }
}

void World::clearMarks() {
    for (CityRecord& city : tables_.cities) {
        city.marked = false;
    }
    marksChanged();
}

void World::marksChanged() {
    for (const auto& listener : marksListeners_) {
        listener();
    }
}

bool World::saveAll() {
    SettingsStores stores = settingsStores();
    if (!saveSettings(stores, settings, tables_.cities, frames)) {
        showError(messages, language.getText(str::ConfigIniError));
        return false;
    }
    return true;
}

} // namespace chronvale
