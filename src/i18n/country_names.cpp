#include "i18n/country_names.h"

#include "core/file_io.h"

#include <QStandardPaths>
#include <array>
#include <string>

namespace chronvale {

namespace {

// A catalog is some tens of kilobytes; anything far larger is not one.
constexpr std::size_t kMaxCatalogBytes = 4u << 20;

// The tables' short names for the countries whose iso-codes name holds a comma,
// and the name iso-codes translates.
struct Alias {
    std::string_view tables;
    std::string_view isoCodes;
};
constexpr std::array kAliases{
    Alias{"Caribbean Netherlands", "Bonaire, Sint Eustatius and Saba"},
    Alias{"Democratic Republic of the Congo", "Congo, The Democratic Republic of the"},
    Alias{"Micronesia", "Micronesia, Federated States of"},
    Alias{"Palestine", "Palestine, State of"},
    Alias{"Saint Helena", "Saint Helena, Ascension and Tristan da Cunha"},
    Alias{"British Virgin Islands", "Virgin Islands, British"},
    Alias{"U.S. Virgin Islands", "Virgin Islands, U.S."},
};

QStringList systemLocaleFolders() {
    QStringList folders;
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        folders << data + QStringLiteral("/locale");
    }
    return folders;
}

} // namespace

bool CountryNames::load(const std::optional<QLocale>& locale, const QStringList& folders) {
    catalog_.clear();
    if (!locale) {
        return false;
    }
    const QString full = locale->name();                           // "pt_BR"
    const QString language = full.section(QLatin1Char('_'), 0, 0); // "pt"
    const QStringList names = full == language ? QStringList{full} : QStringList{full, language};
    for (const QString& folder : folders.isEmpty() ? systemLocaleFolders() : folders) {
        for (const QString& name : names) {
            const QString path =
                folder + QLatin1Char('/') + name + QStringLiteral("/LC_MESSAGES/iso_3166-1.mo");
            const std::optional<std::string> bytes =
                readFileBytes(path.toStdString(), kMaxCatalogBytes);
            if (!bytes) {
                continue;
            }
            if (std::optional<MoCatalog> catalog = parseMoCatalog(*bytes)) {
                catalog_ = std::move(*catalog);
                return true;
            }
        }
    }
    return false;
}

QString CountryNames::name(std::string_view english) const {
    std::string key(english);
    for (const Alias& alias : kAliases) {
        if (alias.tables == english) {
            key = alias.isoCodes;
        }
    }
    const auto found = catalog_.find(key);
    const std::string& text = found != catalog_.end() ? found->second : std::string(english);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace chronvale
