#pragma once
// The names of the countries in the user's language, from the translations the
// iso-codes project ships as gettext catalogs (locale/<lang>/LC_MESSAGES/
// iso_3166-1.mo in the system's data folders). The tables name the countries
// in English, as iso-codes does; a name the catalog lacks stays English.

#include "core/mo_catalog.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

namespace chronvale {

class CountryNames {
public:
    // Loads the catalog for the locale (none: English, no catalog) from the
    // first of the folders that holds one, trying the locale's full name
    // ("pt_BR", "zh_TW") before its language ("pt"). Returns whether one was
    // read. The folders default to the system's data folders' "locale".
    bool load(const std::optional<QLocale>& locale, const QStringList& folders = {});

    // The country's name in the loaded language, else the English name given.
    QString name(std::string_view english) const;

    bool loaded() const { return !catalog_.empty(); }

private:
    MoCatalog catalog_;
};

} // namespace chronvale
