// The locale of the chosen language: its dates, Qt's own texts, and the
// countries' names from the system's iso-codes catalogs.

#include "geo/date_pattern.h"
#include "i18n/country_names.h"
#include "i18n/language.h"
#include "i18n/user_locale.h"
#include "support/test_application.h"

#include <QCoreApplication>
#include <QDate>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

test::TestApplication<QCoreApplication>& application =
    test::TestApplication<QCoreApplication>::install("test_i18n");

struct DateCase {
    const char* locale;
    const char* text; // 8 December 2026
};

class LocaleDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(LocaleDateTest, TheShortDateIsWrittenAsTheLocaleWritesIt) {
    const DateCase& c = GetParam();
    const QLocale locale(QString::fromLatin1(c.locale));
    EXPECT_EQ(formatDatePattern(shortDatePattern(locale), 2026, 12, 8), c.text);
    // The same as Qt writes the date itself (in Latin digits).
    const QString qt = locale.toString(QDate(2026, 12, 8), QLocale::ShortFormat);
    if (locale.zeroDigit() == QLatin1Char('0')) {
        EXPECT_EQ(QString::fromStdString(c.text), qt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleDateTest,
    ::testing::Values(DateCase{"en_US", "12/8/26"}, DateCase{"en_GB", "08/12/2026"},
                      DateCase{"de_DE", "08.12.26"}, DateCase{"ja_JP", "2026/12/08"},
                      DateCase{"ar_JO", "8\u200f/12\u200f/2026"}, DateCase{"ko_KR", "26. 12. 8."},
                      DateCase{"zh_CN", "2026/12/8"}, DateCase{"sv_SE", "2026-12-08"},
                      DateCase{"fr_FR", "08/12/2026"}, DateCase{"nl_NL", "08-12-2026"}));

struct ChosenCase {
    const char* code; // "" for English
    const char* system;
    const char* locale;
};

class ChosenLocaleTest : public ::testing::TestWithParam<ChosenCase> {};

TEST_P(ChosenLocaleTest, TheLanguageTakesTheSystemsCountryWhereItIsSpokenThere) {
    const ChosenCase& c = GetParam();
    const std::optional<std::string> code =
        *c.code == '\0' ? std::nullopt : std::optional<std::string>(c.code);
    EXPECT_EQ(localeOfLanguage(code, QLocale(QString::fromLatin1(c.system))).name(),
              QString::fromLatin1(c.locale));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ChosenLocaleTest,
    ::testing::Values(ChosenCase{"de", "en_US", "de_DE"}, ChosenCase{"DE", "de_AT", "de_AT"},
                      ChosenCase{"de", "de_CH", "de_CH"}, ChosenCase{"fr", "de_CH", "fr_CH"},
                      ChosenCase{"se", "fi_FI", "sv_FI"}, ChosenCase{"jp", "en_GB", "ja_JP"},
                      ChosenCase{"jo", "en_US", "ar_JO"}, ChosenCase{"b5", "zh_CN", "zh_TW"},
                      ChosenCase{"cn", "en_US", "zh_CN"}, ChosenCase{"gr", "en_US", "el_GR"},
                      ChosenCase{"", "de_DE", "de_DE"}, ChosenCase{"xx", "en_GB", "en_GB"}));

TEST(QtTranslations, GermanNamesTheControlKeyStrgAndEnglishGivesItBack) {
    const auto ctrl = [] { return QCoreApplication::translate("QShortcut", "Ctrl"); };
    QtTranslations texts;
    EXPECT_TRUE(texts.apply(std::string("de")));
    EXPECT_EQ(ctrl(), QStringLiteral("Strg"));
    EXPECT_FALSE(texts.apply(std::nullopt));
    EXPECT_EQ(ctrl(), QStringLiteral("Ctrl"));
    EXPECT_TRUE(texts.apply(std::string("jp")));
    EXPECT_FALSE(texts.apply(std::string("zz"))); // no such language: none installed
    EXPECT_EQ(ctrl(), QStringLiteral("Ctrl"));
}

struct CountryCase {
    const char* code;
    const char* english;
    const char* shown;
};

class CountryNamesTest : public ::testing::TestWithParam<CountryCase> {};

TEST_P(CountryNamesTest, FromTheIsoCodesCatalogElseEnglish) {
    const CountryCase& c = GetParam();
    const std::optional<std::string> code =
        *c.code == '\0' ? std::nullopt : std::optional<std::string>(c.code);
    CountryNames names;
    EXPECT_EQ(names.load(languageLocale(code)), code.has_value());
    EXPECT_EQ(names.name(c.english), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Names, CountryNamesTest,
    ::testing::Values(CountryCase{"de", "Germany", "Deutschland"},
                      CountryCase{"de", "United Kingdom", "Vereinigtes Königreich"},
                      // The tables' short name of an iso-codes name with a comma.
                      CountryCase{"de", "U.S. Virgin Islands", "Amerikanische Jungferninseln"},
                      CountryCase{"de", "Atlantis", "Atlantis"}, // not in the catalog
                      CountryCase{"jp", "Japan", "日本"}, CountryCase{"b5", "Germany", "德國"},
                      CountryCase{"cn", "Germany", "德国"}, CountryCase{"jo", "Japan", "اليابان"},
                      CountryCase{"", "Germany", "Germany"}));

TEST(CountryNames, AFolderWithoutACatalogLeavesEnglish) {
    CountryNames names;
    EXPECT_FALSE(names.load(QLocale(QStringLiteral("de_DE")), {QStringLiteral("/nonexistent")}));
    EXPECT_FALSE(names.loaded());
    EXPECT_EQ(names.name("Germany"), QStringLiteral("Germany"));
}

TEST(LanguageLocale, LoadingALanguageMakesItsLocaleTheDefault) {
    Language german(QStringLiteral(CHRONVALE_BINARY_DIR), QString());
    ASSERT_TRUE(german.loadLanguage(std::string("de")));
    EXPECT_EQ(QLocale().language(), QLocale::German);
    EXPECT_EQ(german.countryName("Germany"), QStringLiteral("Deutschland"));
    german.loadLanguage(std::nullopt);
    EXPECT_EQ(QLocale(), QLocale::system());
    EXPECT_EQ(german.countryName("Germany"), QStringLiteral("Germany"));
}

} // namespace
} // namespace chronvale
