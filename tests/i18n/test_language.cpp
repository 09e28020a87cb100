#include "config/settings.h"
#include "core/packed_file.h"
#include "i18n/language.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"
#include "support/recording_message_sink.h"
#include "support/shipped_languages.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

const char* const germanFile = "; test\r\n"
                               "lang=DE\r\n"
                               "E=Zoom In\r\nT=Vergrößern\r\n"
                               "E=Refresh\r\nT=*\r\n"
                               "E=Unable to load file '%s'\r\nT=Datei '%s' fehlt\r\n"
                               "E=Winsock Error\r\nT=Netzwerkfehler\\nbitte prüfen\r\n"
                               "E=Zoom &In\r\nT=bare menu text\r\n"
                               "<1008\r\nE=&Grid\r\nT=&Gradnetz\r\n"
                               "<104\r\nE=Mark\r\nT=Markieren\r\n";

class Listener final : public LanguageListener {
public:
    void languageChanged() override { ++changes; }
    int changes = 0;
};

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid() && executable.isValid());
        ASSERT_TRUE(QDir(data.path()).mkpath("lang"));
        ASSERT_TRUE(
            savePackedTextFile(data.filePath("lang/lang_de.dat").toStdString(), germanFile));
        language.setListener(&listener);
    }

    QTemporaryDir data;
    QTemporaryDir executable;
    Language language{data.path(), executable.path()};
    Listener listener;
    Settings settings;
};

TEST_F(LanguageTest, ATranslationReplacesTheTextWhereverItIsFetched) {
    EXPECT_EQ(language.getText(str::TipZoomIn), "Zoom In");
    language.switchLanguage(std::string("de"), settings);
    EXPECT_EQ(language.current(), "de");
    EXPECT_EQ(settings.language, "de");
    EXPECT_EQ(listener.changes, 1);
    // String 1391 is the zoom-in button's tip; libraries hand up the English text.
    EXPECT_EQ(language.getText(1391), "Vergrößern");
    EXPECT_EQ(language.translate("Zoom In"), "Vergrößern");
    EXPECT_EQ(language.getText(str::TipRefresh), "Refresh"); // "*" keeps the English
    EXPECT_EQ(language.getText(str::WinsockError), "Netzwerkfehler\nbitte prüfen");
    EXPECT_EQ(formatMessage(language.getText(str::UnableToLoadFile), {"location.dat"}),
              "Datei 'location.dat' fehlt");
    // Menu items need their menu's number; dialog texts are found either way.
    EXPECT_EQ(language.getText(str::MenuZoomIn), "Zoom &In");
    EXPECT_EQ(language.getText(str::MenuGrid), "&Gradnetz");
    EXPECT_EQ(language.getText(str::ContextGrid), "&Grid");
    EXPECT_EQ(language.getText(str::PropertiesMark), "Markieren");
    EXPECT_EQ(language.translate("Mark", 104), "Markieren");
    EXPECT_EQ(language.translate("Mark"), "Markieren");
    EXPECT_EQ(language.getText(99999), "");
}

TEST_F(LanguageTest, EnglishRestoresTheBuiltInTextsAndStoresNoLanguage) {
    language.switchLanguage(std::string("de"), settings);
    language.switchLanguage(std::nullopt, settings);
    EXPECT_EQ(language.getText(1391), "Zoom In");
    EXPECT_FALSE(language.current());
    EXPECT_FALSE(language.loaded());
    EXPECT_FALSE(settings.language);
    EXPECT_EQ(listener.changes, 2);
    // English again while English is shown: nothing to redo.
    language.switchLanguage(std::nullopt, settings);
    EXPECT_EQ(listener.changes, 2);
}

TEST_F(LanguageTest, AMissingFileLeavesTheEnglishTexts) {
    language.switchLanguage(std::string("de"), settings);
    language.switchLanguage(std::string("fr"), settings); // no lang_fr.dat here
    EXPECT_EQ(language.getText(1391), "Zoom In");
    EXPECT_FALSE(language.current());
    EXPECT_EQ(settings.language, "fr"); // the choice is kept for the next start
}

TEST_F(LanguageTest, AFileWithoutItsOwnCodeCanStillBeSwitchedOff) {
    ASSERT_TRUE(savePackedTextFile(data.filePath("lang/lang_nl.dat").toStdString(),
                                   "E=Zoom In\rT=Inzoomen\r"));
    language.switchLanguage(std::string("nl"), settings);
    EXPECT_FALSE(language.current());
    EXPECT_EQ(language.getText(1391), "Inzoomen");
    language.switchLanguage(std::nullopt, settings);
    EXPECT_EQ(language.getText(1391), "Zoom In");
}

TEST_F(LanguageTest, FilesAreFoundInTheDataFolderThenBesideTheExecutable) {
    const QString inData = data.filePath("lang/lang_de.dat");
    EXPECT_EQ(languageFilePath("de", data.path(), executable.path()), inData);
    EXPECT_EQ(languageFilePath("DE", data.path(), executable.path()),
              inData); // as the system names it
    EXPECT_FALSE(languageFilePath("fr", data.path(), executable.path()));
    EXPECT_FALSE(languageFilePath("../lang/lang_de", data.path(), executable.path()));

    ASSERT_TRUE(QDir(executable.path()).mkpath("lang"));
    ASSERT_TRUE(savePackedTextFile(executable.filePath("lang/lang_fr.dat").toStdString(),
                                   "lang=fr\rE=Zoom In\rT=Zoom avant\r"));
    EXPECT_EQ(languageFilePath("fr", data.path(), executable.path()),
              executable.filePath("lang/lang_fr.dat"));
    EXPECT_EQ(language.loadLanguage(std::string("fr")), "fr");
    EXPECT_EQ(language.getText(1391), "Zoom avant");

    // A damaged file is no file.
    QFile damaged(data.filePath("lang/lang_it.dat"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not packed");
    damaged.close();
    EXPECT_FALSE(language.loadLanguage(std::string("it")));
    EXPECT_FALSE(language.loaded());
}

TEST_F(LanguageTest, LoadErrorsShowTheTranslatedMessage) {
    language.loadLanguage(std::string("de"));
    RecordingMessageSink sink;
    MessageLoadErrorSink errors(language, sink);
    errors.unableToLoad("tz_data.dat");
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, "Error");
    EXPECT_EQ(sink.boxes[0].text, "Datei 'tz_data.dat' fehlt");
}

TEST_F(LanguageTest, TheOnlineServicesGetTheirTextsTranslated) {
    ASSERT_TRUE(savePackedTextFile(data.filePath("lang/lang_fr.dat").toStdString(),
                                   "lang=fr\rE=Complete\rT=Terminé\r"
                                   "E=%i earthquake events recorded in the past 7 days\r"
                                   "T=%i séismes en 7 jours\r"));
    LanguageTextProvider texts(language);
    EXPECT_EQ(texts.text(kTextComplete), "Complete");
    language.loadLanguage(std::string("fr"));
    EXPECT_EQ(texts.text(kTextComplete), "Terminé");
    EXPECT_EQ(texts.text(kTextQuakesRecorded), "%i séismes en 7 jours");
    EXPECT_EQ(texts.text(kTextConnecting), "Connecting to satellite server...");
}

TEST(SystemLanguage, FollowsTheLocalesLanguage) {
    const std::pair<const char*, std::optional<std::string>> locales[] = {
        {"de_DE", "DE"}, {"de_AT", "DE"},         {"sv_SE", "SE"},         {"sv_FI", "SE"},
        {"zh_CN", "CN"}, {"zh_SG", "CN"},         {"zh_TW", "B5"},         {"zh_HK", "B5"},
        {"ja_JP", "JP"}, {"ko_KR", "KR"},         {"cs_CZ", "CZ"},         {"el_GR", "GR"},
        {"ar_EG", "JO"}, {"ar_JO", "JO"},         {"ar_SA", "JO"},         {"pt_BR", "PT"},
        {"pt_PT", "PT"}, {"es_ES", "SP"},         {"es_MX", "SP"},         {"it_IT", "IT"},
        {"nl_NL", "NL"}, {"nl_BE", "NL"},         {"da_DK", "DK"},         {"fr_FR", "FR"},
        {"fr_CA", "FR"}, {"en_US", std::nullopt}, {"en_GB", std::nullopt}, {"C", std::nullopt},
    };
    for (const auto& [name, code] : locales) {
        EXPECT_EQ(languageCodeFromAbbreviation(abbreviatedLanguageName(QLocale(name))), code)
            << name;
    }
    // The tests run in the C locale.
    EXPECT_FALSE(systemLanguageCode());
}

TEST(ShippedLanguages, ThePackedFilesOfTheBuildHoldTheSourceTexts) {
    const QString executableFolder = QStringLiteral(CHRONVALE_BINARY_DIR);
    const std::vector<std::string> codes = test::shippedLanguageCodes();
    ASSERT_GE(codes.size(), 8u);
    for (const std::string& code : codes) {
        SCOPED_TRACE(code);
        const auto path = languageFilePath(code, QString(), executableFolder);
        ASSERT_TRUE(path) << "lang/lang_" << code << ".dat is not built";
        const std::optional<std::string> packed = loadPackedTextFile(path->toStdString());
        ASSERT_TRUE(packed);
        std::string crLf;
        for (char c : test::languageSourceText(code)) {
            crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        EXPECT_EQ(*packed, crLf);

        Language language(QString(), executableFolder);
        EXPECT_EQ(language.loadLanguage(code), code);
        EXPECT_NE(language.getText(str::UnableToConnect),
                  QString::fromUtf8(findString(str::UnableToConnect)->text));
        EXPECT_NE(language.getText(str::MenuView), "&View"); // "File" is Italian too
        // Only Arabic is written from right to left.
        EXPECT_EQ(language.layoutDirection(), code == "jo" ? Qt::RightToLeft : Qt::LeftToRight);
    }
}

TEST(ShippedLanguages, TheSystemLocalesFindTheirFiles) {
    // One locale per file: what systemLanguageCode() makes of it names that file.
    const std::pair<const char*, const char*> locales[] = {
        {"de_DE", "de"}, {"fr_FR", "fr"}, {"cs_CZ", "cz"}, {"el_GR", "gr"}, {"zh_CN", "cn"},
        {"zh_TW", "b5"}, {"zh_HK", "b5"}, {"ar_JO", "jo"}, {"ar_EG", "jo"}, {"pt_BR", "pt"},
        {"pt_PT", "pt"}, {"es_ES", "sp"}, {"sv_SE", "se"}, {"ja_JP", "jp"}, {"ko_KR", "kr"},
        {"it_IT", "it"}, {"nl_NL", "nl"},
    };
    const QString executableFolder = QStringLiteral(CHRONVALE_BINARY_DIR);
    const std::vector<std::string> codes = test::shippedLanguageCodes();
    for (const auto& [locale, code] : locales) {
        if (std::find(codes.begin(), codes.end(), code) == codes.end()) {
            continue; // not shipped (yet)
        }
        const auto system = languageCodeFromAbbreviation(abbreviatedLanguageName(QLocale(locale)));
        ASSERT_TRUE(system) << locale;
        Language language(QString(), executableFolder);
        EXPECT_EQ(language.loadLanguage(system), code) << locale;
    }
}

TEST(ShippedLanguages, OnlyArabicIsLaidOutRightToLeft) {
    EXPECT_EQ(layoutDirectionOf(std::string("jo")), Qt::RightToLeft);
    EXPECT_EQ(layoutDirectionOf(std::string("JO")), Qt::RightToLeft);
    EXPECT_EQ(layoutDirectionOf(std::string("de")), Qt::LeftToRight);
    EXPECT_EQ(layoutDirectionOf(std::nullopt), Qt::LeftToRight);
}

} // namespace
} // namespace chronvale
