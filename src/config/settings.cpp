#include "config/settings.h"

#include "core/file_io.h"
#include "core/language_code.h"
#include "core/product.h"
#include "core/text_scan.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <type_traits>
#include <variant>

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

void writeStoredText(QSettings& store, const char* name, const std::optional<std::string>& value) {
    if (value) {
        store.setValue(QString::fromLatin1(name), QString::fromStdString(*value));
    } else {
        store.remove(QString::fromLatin1(name));
    }
}

// Where a stored value lives in the record, which also gives its type: a flag
// (stored 0 or 1, anything but 0 read as on), a whole number, or a decimal number
// (stored with four decimals) or a text (absent when none; its default is
// always none). None: a value of the maker's other programs that
// this one never reads; it is written as its default, every time or (kept) only
// when the file has none.
using StoredText = std::optional<std::string> StoredSettings::*;
using StoredField = std::variant<std::monostate, bool DisplaySwitches::*, int DisplaySwitches::*,
                                 bool StoredSettings::*, int StoredSettings::*,
                                 float StoredSettings::*, StoredText>;

struct StoredValue {
    const char* key;
    StoredField field;
    double defaultValue;
    bool kept = false;
};

// The values of the program's settings file, in the order they are written.
const StoredValue storedValues[] = {
    // The tip switch of the maker's other programs: written off, never read.
    {"help", std::monostate{}, 0},
    // The view of the maker's other programs.
    {"view", std::monostate{}, 247, true},
    {"shadow", &DisplaySwitches::sunShadow, 0},
    {"cities", &DisplaySwitches::allCities, 0},
    {"marked", &DisplaySwitches::markedCities, 0},
    {"grid", &DisplaySwitches::grid, 0},
    {"day", &DisplaySwitches::dayMap, 0},
    {"night", &DisplaySwitches::nightMap, 0},
    {"zones", &DisplaySwitches::timeZones, 0},
    // Clouds and Earthquakes: remembered too, so that the map comes back as it was.
    {"clouds", &DisplaySwitches::clouds, 0},
    {"quakes", &DisplaySwitches::earthquakes, 0},
    // The sky overlays.
    {"sunmoon", &DisplaySwitches::sunMoon, 0},
    {"twilight", &DisplaySwitches::twilight, 0},
    // Clouds with Sun Shadow.
    {"cloudshadow", &DisplaySwitches::cloudsWithShadow, 0},
    // City Names, stored as its radius.
    {"track", &DisplaySwitches::cityNames, 0},
    {"refresh", &StoredSettings::refresh, 10},
    {"info", &StoredSettings::showInfo, 0},
    {"loop", &StoredSettings::loopClouds, 0},
    {"cx", &StoredSettings::panX, 0},
    {"cy", &StoredSettings::panY, 0},
    {"zoom", &StoredSettings::zoom, 1},
    {"systemzones", &StoredSettings::systemZones, 1},
    {"wallpaperplacement", &StoredSettings::wallpaperPlacement, 0},
    {"wallpapercentre", &StoredSettings::wallpaperCentre, 0},
    {"wallpaperwidth", &StoredSettings::wallpaperWidth, 0},
    {"browser", &StoredSettings::browser, 0},
};

// The values every save since the first release has written; a file without one
// of them was not written by a whole save.
const char* const completeFileKeys[] = {"shadow", "cities", "marked",  "grid", "day", "night",
                                        "zones",  "track",  "refresh", "cx",   "cy",  "zoom"};

// The field a value lives in, within the record.
template <typename T> T& fieldOf(StoredSettings& settings, T DisplaySwitches::*field) {
    return settings.switches.*field;
}
template <typename T> T& fieldOf(StoredSettings& settings, T StoredSettings::*field) {
    return settings.*field;
}
template <typename T> const T& fieldOf(const StoredSettings& settings, T DisplaySwitches::*field) {
    return settings.switches.*field;
}
template <typename T> const T& fieldOf(const StoredSettings& settings, T StoredSettings::*field) {
    return settings.*field;
}

void setDefault(StoredSettings& settings, const StoredValue& value) {
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, StoredText>) {
                (settings.*field).reset();
            } else if constexpr (!std::is_same_v<Field, std::monostate>) {
                auto& target = fieldOf(settings, field);
                target = static_cast<std::remove_reference_t<decltype(target)>>(value.defaultValue);
            }
        },
        value.field);
}

void readValue(const QSettings& store, const StoredValue& value, StoredSettings& settings) {
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, float StoredSettings::*>) {
                if (const auto text = storedText(store, QString::fromLatin1(value.key), maxText)) {
                    std::size_t pos = 0;
                    settings.*field =
                        readFloat(std::string_view(text->constData(), text->size()), pos);
                }
            } else if constexpr (std::is_same_v<Field, StoredText>) {
                readStoredText(store, value.key, settings.*field);
            } else if constexpr (!std::is_same_v<Field, std::monostate>) {
                auto& target = fieldOf(settings, field);
                int stored = static_cast<int>(target);
                readStoredInteger(store, value.key, stored);
                if constexpr (std::is_same_v<std::remove_reference_t<decltype(target)>, bool>) {
                    target = stored != 0;
                } else {
                    target = stored;
                }
            }
        },
        value.field);
}

void writeValue(QSettings& store, const StoredValue& value, const StoredSettings& settings) {
    const QString key = QString::fromLatin1(value.key);
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, std::monostate>) {
                if (!value.kept || !store.contains(key)) {
                    store.setValue(key, QString::number(static_cast<int>(value.defaultValue)));
                }
            } else if constexpr (std::is_same_v<Field, float StoredSettings::*>) {
                store.setValue(key, QString::number(settings.*field, 'f', 4));
            } else if constexpr (std::is_same_v<Field, StoredText>) {
                writeStoredText(store, value.key, settings.*field);
            } else {
                store.setValue(key, QString::number(static_cast<int>(fieldOf(settings, field))));
            }
        },
        value.field);
}

} // namespace

StoredSettings::StoredSettings() {
    for (const StoredValue& value : storedValues) {
        setDefault(*this, value);
    }
}

Settings defaultSettings(const QRect& desktop) {
    Settings settings;
    settings.desktop = desktop;
    return settings;
}

std::unique_ptr<QSettings> openSharedSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QString::fromLatin1(organisationName),
                                       QString::fromLatin1(sharedSettingsApplication));
}

bool holdsStoredSettings(const QSettings& program) {
    for (const char* key : completeFileKeys) {
        if (!program.contains(QString::fromLatin1(key))) {
            return false;
        }
    }
    return true;
}

void writeStoredSettings(QSettings& program, const StoredSettings& settings) {
    for (const StoredValue& value : storedValues) {
        writeValue(program, value, settings);
    }
}

bool loadSettings(SettingsStores& stores, Settings& settings, CityList& cities,
                  CloudFrameTable& frames, const std::optional<std::string>& systemLanguage) {
    loadProxySettings(settings.proxy);

    std::optional<std::string> language;
    readStoredText(stores.shared, "lang", language);
    settings.language = language && isValidLanguageCode(*language) ? language : systemLanguage;

    for (const StoredValue& value : storedValues) {
        readValue(stores.program, value, settings);
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

bool saveSettings(SettingsStores& stores, const Settings& settings, const CityList& cities,
                  const CloudFrameTable& frames) {
    // The proxy first: it makes the shared file private before the password goes in.
    saveProxySettings(settings.proxy);
    writeStoredText(stores.shared, "lang", settings.language);
    stores.shared.sync();

    // Every value goes in before the one sync, which writes the whole file to a
    // temporary one and renames it over the old.
    writeStoredSettings(stores.program, settings);
    stores.program.sync();
    const bool settingsWritten = stores.program.status() == QSettings::NoError &&
                                 stores.shared.status() == QSettings::NoError;

    if (!replaceFileAtomically(stores.configFile,
                               formatConfigFile(cities, frames) +
                                   formatCompareLines(cities, settings.compare),
                               stores.beforeConfigRename)) {
        return false;
    }
    return settingsWritten;
}

} // namespace chronvale
