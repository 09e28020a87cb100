#include "config/settings.h"

#include "core/file_io.h"
#include "core/language_code.h"
#include "core/text_scan.h"
#include "core/wallpaper_keys.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

namespace chronvale {

namespace {

// The longest texts read back: integers fit a 30-byte buffer, texts a 1000-byte one.
constexpr qsizetype maxIntegerText = 29;
constexpr qsizetype maxText = 999;
// config.ini holds a line per marked city and twelve frame lines.
constexpr std::size_t maxConfigFile = 16 * 1024 * 1024;

// The stored text of a value, as UTF-8; none when absent or longer than limit.
std::optional<QByteArray> storedText(const QSettings& store, const QString& name, qsizetype limit) {
    const QVariant value = store.value(name);
    if (!value.isValid()) {
        return std::nullopt;
    }
    // An unquoted value with commas, written by hand, comes back as a list.
    const QString text = value.typeId() == QMetaType::QStringList
                             ? value.toStringList().join(QStringLiteral(", "))
                             : value.toString();
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > limit) {
        return std::nullopt;
    }
    return bytes;
}

void readStoredInteger(const QSettings& store, const char* name, int& field) {
    if (const auto text = storedText(store, QString::fromLatin1(name), maxIntegerText)) {
        std::size_t pos = 0;
        field = readInteger(std::string_view(text->constData(), text->size()), pos);
    }
}

void readStoredText(const QSettings& store, const char* name, std::optional<std::string>& field) {
    if (const auto text = storedText(store, QString::fromLatin1(name), maxText)) {
        field = text->toStdString();
    }
}

void writeStoredInteger(QSettings& store, const char* name, int value) {
    store.setValue(QString::fromLatin1(name), QString::number(value));
}

void writeStoredText(QSettings& store, const char* name, const std::optional<std::string>& value) {
    if (value) {
        store.setValue(QString::fromLatin1(name), QString::fromStdString(*value));
    } else {
        store.remove(QString::fromLatin1(name));
    }
}

struct IntegerValue {
    const char* name;
    int Settings::*field;
};

struct SwitchValue {
    const char* name;
    bool DisplaySwitches::*field;
};

// The stored display switches (City Names is stored as its radius, "track").
constexpr SwitchValue switchValues[] = {
    {"shadow", &DisplaySwitches::sunShadow},
    {"cities", &DisplaySwitches::allCities},
    {"marked", &DisplaySwitches::markedCities},
    {"grid", &DisplaySwitches::grid},
    {"day", &DisplaySwitches::dayMap},
    {"night", &DisplaySwitches::nightMap},
    {"zones", &DisplaySwitches::timeZones},
    // Clouds and Earthquakes: remembered too, so that the map comes back as it was.
    {"clouds", &DisplaySwitches::clouds},
    {"quakes", &DisplaySwitches::earthquakes},
    // The sky overlays.
    {"sunmoon", &DisplaySwitches::sunMoon},
    {"twilight", &DisplaySwitches::twilight},
};

// Refresh and the two preferences.
constexpr IntegerValue integerValues[] = {
    {"refresh", &Settings::refresh},
    {"info", &Settings::info},
    {"loop", &Settings::loop},
};

} // namespace

Settings defaultSettings(const QRect& desktop) {
    Settings settings;
    settings.desktop = desktop;
    settings.wallpaperWidth = desktop.width();
    return settings;
}

std::unique_ptr<QSettings> openSharedSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("QUILLMAR"), QStringLiteral("Common"));
}

bool loadSettings(SettingsStores& stores, Settings& settings, CityList& cities,
                  CloudFrameTable& frames, const std::optional<std::string>& systemLanguage) {
    loadProxySettings(settings.proxy);

    const QSettings& program = stores.program;
    readStoredInteger(program, "help", settings.help);
    readStoredInteger(program, "view", settings.view);

    std::optional<std::string> language;
    readStoredText(stores.shared, "lang", language);
    settings.language = language && isValidLanguageCode(*language) ? language : systemLanguage;

    for (const SwitchValue& value : switchValues) {
        int stored = settings.switches.*value.field ? 1 : 0;
        readStoredInteger(program, value.name, stored);
        settings.switches.*value.field = stored != 0;
    }
    readStoredInteger(program, "track", settings.switches.cityNames);
    for (const IntegerValue& value : integerValues) {
        readStoredInteger(program, value.name, settings.*value.field);
    }
    readStoredInteger(program, "cx", settings.cx);
    readStoredInteger(program, "cy", settings.cy);
    if (const auto zoom = storedText(program, QStringLiteral("zoom"), maxText)) {
        std::size_t pos = 0;
        settings.zoom = readFloat(std::string_view(zoom->constData(), zoom->size()), pos);
    }
    readStoredInteger(program, kWallpaperSwitchKey, settings.wallpaper);
    for (auto [name, field] : {std::pair{kWallpaperFileKey, &Settings::wallpaperfile},
                               std::pair{kWallpaperTileKey, &Settings::wallpapertile},
                               std::pair{kWallpaperStyleKey, &Settings::wallpaperstyle}}) {
        const auto text = storedText(program, QString::fromLatin1(name),
                                     static_cast<qsizetype>(kMaxWallpaperStateText));
        // Missing reads as empty.
        settings.*field = text ? text->toStdString() : std::string();
    }

    const std::optional<std::string> config =
        readFileBytes(QFile::encodeName(stores.configFile).toStdString(), maxConfigFile);
    if (!config) {
        return false;
    }
    readConfigFile(*config, cities, frames);
    readCompareLines(*config, cities, settings.compare);
    return true;
}

bool saveSettings(SettingsStores& stores, Settings& settings, const CityList& cities,
                  const CloudFrameTable& frames) {
    settings.help = 0; // the tip switch, which this program never turns on

    // The proxy first: it makes the shared file private before the password goes in.
    saveProxySettings(settings.proxy);
    writeStoredText(stores.shared, "lang", settings.language);
    stores.shared.sync();

    QSettings& program = stores.program;
    writeStoredInteger(program, "help", settings.help);
    writeStoredInteger(program, "view", settings.view);
    for (const SwitchValue& value : switchValues) {
        writeStoredInteger(program, value.name, settings.switches.*value.field ? 1 : 0);
    }
    writeStoredInteger(program, "track", settings.switches.cityNames);
    for (const IntegerValue& value : integerValues) {
        writeStoredInteger(program, value.name, settings.*value.field);
    }
    writeStoredInteger(program, "cx", settings.cx);
    writeStoredInteger(program, "cy", settings.cy);
    program.setValue(QStringLiteral("zoom"), QString::number(settings.zoom, 'f', 4));
    writeStoredInteger(program, kWallpaperSwitchKey, settings.wallpaper);
    writeStoredText(program, kWallpaperFileKey, settings.wallpaperfile);
    writeStoredText(program, kWallpaperTileKey, settings.wallpapertile);
    writeStoredText(program, kWallpaperStyleKey, settings.wallpaperstyle);
    program.sync();

    if (!replaceFileAtomically(stores.configFile,
                               formatConfigFile(cities, frames) +
                                   formatCompareLines(cities, settings.compare),
                               stores.beforeConfigRename)) {
        return false;
    }
    return true;
}

} // namespace chronvale
