#pragma once
// The locale that goes with the chosen language: how dates are written, and
// Qt's own texts (the names of keys in shortcuts, the texts of standard
// dialogs) in that language.

#include <QLocale>
#include <QTranslator>
#include <memory>
#include <optional>
#include <string>

namespace chronvale {

// The locale of a language code of the Language menu as the user lives it: the
// language with the system's country where Qt knows that pair (German chosen in
// Austria gives de_AT, Swedish in Finland sv_FI), else the language's own main
// country (German chosen in the USA gives de_DE). English (none) and unknown
// codes keep the system's locale.
QLocale localeOfLanguage(const std::optional<std::string>& code, const QLocale& system);

// The language's own locale (its main country) for a code of the Language menu;
// none for English and unknown codes.
std::optional<QLocale> languageLocale(const std::optional<std::string>& code);

// The locale's short date format, as a pattern for formatDatePattern.
std::string shortDatePattern(const QLocale& locale);

// Qt's catalog of its own texts (qtbase_<language>.qm in Qt's translations
// folder) for the chosen language, installed in the application; English and a
// language Qt has no catalog for install none.
class QtTranslations {
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Replaces the installed catalog by the one for the code; returns whether
    // one is installed now.
    bool apply(const std::optional<std::string>& code);

private:
    std::unique_ptr<QTranslator> translator_;
};

// Makes the locale of the code the application's default (QLocale()), which
// every date, list sort and number of the window follows.
void applyLanguageLocale(const std::optional<std::string>& code);

} // namespace chronvale
