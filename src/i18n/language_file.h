#pragma once
// Language files: tables from English texts to their translations.
//
// The inflated text of a language file is a list of lines ended by CR (a LF or
// further CRs after it are skipped; a lone LF also ends a line, so the files can
// be edited as ordinary text). Each line is one of
//   ";..." or empty   a comment
//   "<104"            the context (menu or dialog number) of the entries below; 0 none
//   "E=text"          the English text of the next entry
//   "T=text"          its translation; "*" alone keeps the English text
//   "F_FACE=", "F_WIDTH=", "F_HEIGHT="   the interface font the file asks for
//   "lang=xx"         the file's own language code
// In a line holding a backslash, "\r", "\n" and "\t" stand for CR, LF and TAB.
//
// An entry under a context is stored twice: as "text:context" and as the bare
// text, so that dialog texts are found with or without their dialog number while
// menu items, looked up only with their menu number, can differ per menu.
//
// Everything here is pure: text in, table out.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct LanguageFile {
    // Key (English text, with ":context" when it had one) -> translation.
    std::map<std::string, std::string, std::less<>> translations;
    std::optional<std::string> code; // from the "lang=" line, lower-cased
    // The interface font the file names; remembered, the dialogs keep the
    // desktop's font.
    std::optional<std::string> fontFace;
    int fontWidth = 0;
    int fontHeight = 0;
};

LanguageFile parseLanguageFile(std::string_view text);

// Replaces "\r", "\n" and "\t" by CR, LF and TAB; other backslashes stay.
std::string unescapeLanguageLine(std::string_view line);

// The translation of an English text shown under the given context: for a menu
// (isMenuContext) only "text:menu", for a dialog "text:dialog" and then the bare
// text, for context 0 the bare text. None when the table has no entry.
const std::string* findTranslation(const LanguageFile& file, std::string_view english, int context);

// The language code for the system's abbreviated language name (three letters
// such as "DEU", "ENU", "SVE"): its first two letters, upper-cased and mapped to
// the code of a language file (DA->DK, GE->DE, SV and SW->SE, CHT->B5, other
// CH->CN, JA->JP, ES->SP, KO->KR, CS->CZ, EL->GR, AR->JO); none for English and
// for a name without two letters.
std::optional<std::string> languageCodeFromAbbreviation(std::string_view abbreviation);

} // namespace chronvale
