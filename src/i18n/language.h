#pragma once
// The language of the user interface: the loaded language file and the texts it
// translates.
//
// The application holds one Language. Every text it shows passes through it:
// string-table texts by id (getText), and the English texts that the libraries
// below the application hand up (translate). Without a language file the
// English texts are shown.

#include "i18n/country_names.h"
#include "i18n/language_file.h"
#include "i18n/user_locale.h"
#include "net/net_texts.h"

#include <QString>
#include <Qt>
#include <optional>
#include <string>
#include <string_view>

class QLocale;

namespace chronvale {

struct Settings;

// Told after a switch of the language, so that the main window can translate its
// menus, toolbar and status bar again.
class LanguageListener {
public:
    virtual ~LanguageListener() = default;
    virtual void languageChanged() = 0;
};

// The language file for a code: lang/lang_<code>.dat in the data folder, else in
// the executable's folder; the code is lower-cased, as the files are named. None
// when neither exists or the code is not a valid language code.
std::optional<QString> languageFilePath(std::string_view code, const QString& dataFolder,
                                        const QString& executableFolder);

// The system's abbreviated language name (ISO 639-1 language, upper-cased, and a
// third letter for the variant: "DEU", "ENU", "CHS"), as the mapping of
// languageCodeFromAbbreviation() expects it.
std::string abbreviatedLanguageName(const QLocale& locale);

// The language code of the system locale; none for English. The default when no
// language is stored.
std::optional<std::string> systemLanguageCode();

// Right to left for the languages written that way (Arabic, "jo"), else left to
// right; the code compares without case.
Qt::LayoutDirection layoutDirectionOf(const std::optional<std::string>& code);

class Language {
public:
    Language(QString dataFolder, QString executableFolder);

    // Loads the language file of the code (none: English). Returns the file's own
    // code (its "lang=" line), or none when no file could be read or it names none.
    // The locale of the language (its dates) becomes the application's default,
    // and Qt's own texts and the countries' names follow it; English when no
    // file could be read.
    std::optional<std::string> loadLanguage(const std::optional<std::string>& code);

    // Restores English first when a file is loaded, then loads the code's file,
    // tells the listener and stores the choice in settings.language (none for
    // English).
    void switchLanguage(const std::optional<std::string>& code, Settings& settings);

    // The text with that id, translated when the loaded file translates it under
    // the entry's context; empty for an unknown id.
    QString getText(int id) const;

    // An English text of a menu or dialog (context: its number) or of the string
    // table (context 0), translated as getText() translates the table's texts.
    QString translate(std::string_view english, int context = 0) const;

    // A country of the tables (its English name) in the loaded language, from
    // the iso-codes catalogs; English when there is none.
    QString countryName(std::string_view english) const { return countries_.name(english); }

    // The code of the loaded file (its "lang=" line); none for English.
    const std::optional<std::string>& current() const { return current_; }
    // The direction the window is laid out in for the loaded language.
    Qt::LayoutDirection layoutDirection() const { return layoutDirectionOf(current_); }
    bool loaded() const { return loaded_; }
    // The loaded file's table and the font it names (empty when none is loaded).
    const LanguageFile& file() const { return file_; }

    void setListener(LanguageListener* listener) { listener_ = listener; }

private:
    void loadFile(const std::optional<std::string>& code);

    QString dataFolder_;
    QString executableFolder_;
    LanguageFile file_;
    std::optional<std::string> current_;
    bool loaded_ = false;
    LanguageListener* listener_ = nullptr;
    QtTranslations qtTexts_;
    CountryNames countries_;
};

// Hands the online services their texts in the user's language: by string id,
// or by the English text for the texts without one.
class LanguageTextProvider final : public TextProvider {
public:
    explicit LanguageTextProvider(const Language& language) : language_(language) {}
    std::string text(const NetText& text) override;

private:
    const Language& language_;
};

} // namespace chronvale
