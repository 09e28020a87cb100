#include "core/language_code.h"
#include "i18n/language_file.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

const std::string* lookup(const LanguageFile& file, const std::string& key) {
    const auto found = file.translations.find(key);
    return found == file.translations.end() ? nullptr : &found->second;
}

TEST(LanguageFile, LinesEndInCrWithAnyLfOrCrAfterIt) {
    const LanguageFile crLf = parseLanguageFile("lang=DE\r\nE=Zoom In\r\nT=Vergrößern\r\n");
    const LanguageFile crOnly = parseLanguageFile("lang=de\rE=Zoom In\r\r\rT=Vergrößern");
    const LanguageFile lfOnly = parseLanguageFile("lang=de\nE=Zoom In\nT=Vergrößern\n");
    for (const LanguageFile* file : {&crLf, &crOnly, &lfOnly}) {
        EXPECT_EQ(file->code, "de");
        ASSERT_NE(lookup(*file, "Zoom In"), nullptr);
        EXPECT_EQ(*lookup(*file, "Zoom In"), "Vergrößern");
        EXPECT_EQ(file->translations.size(), 1u);
    }
}

TEST(LanguageFile, ContextEntriesAreStoredWithAndWithoutTheirNumber) {
    const LanguageFile file = parseLanguageFile("<104\rE=City:\rT=Stadt:\r"
                                                "<0\rE=Scale: %0.2f km\rT=Maßstab: %0.2f km\r");
    ASSERT_NE(lookup(file, "City::104"), nullptr);
    EXPECT_EQ(*lookup(file, "City::104"), "Stadt:");
    ASSERT_NE(lookup(file, "City:"), nullptr);
    EXPECT_EQ(*lookup(file, "City:"), "Stadt:");
    // Only a context number is cut off: a colon of the text itself stays.
    EXPECT_EQ(lookup(file, "Scale"), nullptr);
    EXPECT_EQ(file.translations.size(), 3u);

    // The number is read as leading digits; "<" without digits means no context.
    const LanguageFile loose = parseLanguageFile("<1008 menu\rE=&File\rT=&Datei\r<\rE=a\rT=b\r");
    EXPECT_NE(lookup(loose, "&File:1008"), nullptr);
    EXPECT_NE(lookup(loose, "a"), nullptr);
    EXPECT_EQ(lookup(loose, "a:0"), nullptr);
}

TEST(LanguageFile, ATableEntryIsNotReplacedByTheBareTextOfAContextEntry) {
    // "Country" is both a column title of the string table and a dialog label.
    const LanguageFile tableFirst =
        parseLanguageFile("E=Country\rT=Land\r<104\rE=Country\rT=Staat\r");
    EXPECT_EQ(*lookup(tableFirst, "Country"), "Land");
    EXPECT_EQ(*lookup(tableFirst, "Country:104"), "Staat");
    const LanguageFile dialogFirst =
        parseLanguageFile("<104\rE=Country\rT=Staat\r<0\rE=Country\rT=Land\r");
    EXPECT_EQ(*lookup(dialogFirst, "Country"), "Land");
}

TEST(LanguageFile, AsteriskAndUnpairedLines) {
    const LanguageFile file = parseLanguageFile("T=lonely\r"       // no E= before it
                                                "E=Zoom In\rT=*\r" // keep the English
                                                "T=too late\r"     // the key was used up
                                                "E=Unanswered\r"   // no T= follows
                                                "E=Refresh\rT=Aktualisieren\r"
                                                "; E=Comment\r"
                                                "nonsense line\r");
    EXPECT_EQ(lookup(file, "Zoom In"), nullptr);
    EXPECT_EQ(lookup(file, "Unanswered"), nullptr);
    ASSERT_EQ(file.translations.size(), 1u);
    EXPECT_EQ(*lookup(file, "Refresh"), "Aktualisieren");
}

TEST(LanguageFile, EscapesProductNameAndBraces) {
    const LanguageFile file =
        parseLanguageFile("E=&Quit\\tALT+F4\rT=&Beenden\\tAlt+F4\r"
                          "E=One\\nTwo\rT=Eins\\nZwei\r"
                          "E=C:\\\\path \\x\rT=\\r\r"
                          "E=About %PRODUCT% and %PRODUCT%\rT=Über {Chronvale}\r"
                          "E={Braced} text\rT=ok\r");
    EXPECT_EQ(*lookup(file, "&Quit\tALT+F4"), "&Beenden\tAlt+F4");
    EXPECT_EQ(*lookup(file, "One\nTwo"), "Eins\nZwei");
    // Only \r, \n and \t are escapes; other backslashes stay as they are.
    EXPECT_EQ(unescapeLanguageLine("C:\\\\path \\x\\"), "C:\\\\path \\x\\");
    EXPECT_EQ(*lookup(file, "C:\\\\path \\x"), "\r");
    EXPECT_EQ(*lookup(file, "About Quillmar Chronvale and %PRODUCT%"), "Über Chronvale");
    EXPECT_NE(lookup(file, "Braced text"), nullptr);

    // Japanese files keep the braces of their translations (not of their keys).
    const LanguageFile japanese = parseLanguageFile("lang=JP\rE={a}\rT={b}\r");
    EXPECT_EQ(japanese.code, "jp");
    EXPECT_EQ(*lookup(japanese, "a"), "{b}");
}

TEST(LanguageFile, FontLinesAreRemembered) {
    const LanguageFile file = parseLanguageFile("F_FACE=Noto Sans\rF_WIDTH=7\rF_HEIGHT=-13\r");
    EXPECT_EQ(file.fontFace, "Noto Sans");
    EXPECT_EQ(file.fontWidth, 7);
    EXPECT_EQ(file.fontHeight, -13);
    EXPECT_FALSE(file.code);
    EXPECT_FALSE(parseLanguageFile("").fontFace);
}

TEST(LanguageFile, MenusNeedTheirNumberDialogsFallBackToTheBareText) {
    const LanguageFile file = parseLanguageFile("E=Zoom &In\rT=bare\r"
                                                "<1008\rE=&Grid\rT=&Gradnetz\r"
                                                "<0\rE=OK\rT=Gut\r<104\rE=Mark\rT=Markieren\r");
    EXPECT_EQ(findTranslation(file, "Zoom &In", 1008), nullptr);
    EXPECT_EQ(*findTranslation(file, "&Grid", 1008), "&Gradnetz");
    EXPECT_EQ(findTranslation(file, "&Grid", 102), nullptr);
    EXPECT_EQ(*findTranslation(file, "OK", 117), "Gut");         // bare fallback
    EXPECT_EQ(*findTranslation(file, "Mark", 104), "Markieren"); // with its number
    EXPECT_EQ(*findTranslation(file, "Mark", 0), "Markieren");   // and without
    EXPECT_EQ(findTranslation(file, "Missing", 104), nullptr);
}

TEST(LanguageFile, LanguageCodes) {
    EXPECT_TRUE(isValidLanguageCode("de"));
    EXPECT_TRUE(isValidLanguageCode("b5"));
    EXPECT_FALSE(isValidLanguageCode(""));
    EXPECT_FALSE(isValidLanguageCode("../../etc/x"));
    EXPECT_FALSE(isValidLanguageCode("d e"));
    EXPECT_FALSE(isValidLanguageCode("überlang"));

    // The system's abbreviated language names, mapped to the codes the language
    // files are named by.
    const std::pair<const char*, const char*> mapped[] = {
        {"DEU", "DE"}, {"GER", "DE"}, {"SVE", "SE"}, {"SWE", "SE"}, {"CHS", "CN"}, {"CHT", "B5"},
        {"cht", "B5"}, {"CH", "CN"},  {"JPN", "JP"}, {"JAP", "JP"}, {"SPA", "SP"}, {"ESP", "SP"},
        {"KOR", "KR"}, {"CSY", "CZ"}, {"DAN", "DK"}, {"fra", "FR"}, {"NLD", "NL"}, {"ELL", "GR"},
        {"ARA", "JO"}, {"PTB", "PT"}, {"ITA", "IT"},
    };
    for (const auto& [abbreviation, code] : mapped) {
        EXPECT_EQ(languageCodeFromAbbreviation(abbreviation), code) << abbreviation;
    }
    EXPECT_FALSE(languageCodeFromAbbreviation("ENU"));
    EXPECT_FALSE(languageCodeFromAbbreviation("eng"));
    EXPECT_FALSE(languageCodeFromAbbreviation("E"));
    EXPECT_FALSE(languageCodeFromAbbreviation(""));
    EXPECT_FALSE(languageCodeFromAbbreviation("1AB"));
}

} // namespace
} // namespace chronvale
