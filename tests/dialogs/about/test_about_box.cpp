// The about box: the version text and build, the computer's facts, the links
// through the caller's link service, the credits of SOURCES.md in English and
// German; and the readers of os-release, meminfo and SOURCES.md.

#include "dialogs/about/about_box.h"
#include "dialogs/about/about_facts.h"
#include "i18n/language.h"
#include "support/shipped_languages.h"
#include "support/test_application.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

test::TestApplication<QApplication>& app =
    test::TestApplication<QApplication>::install("chronvale-test");

const QString kSources = QStringLiteral(CHRONVALE_SOURCE_DIR "/data/SOURCES.md");

AboutBox::Content sampleContent() {
    AboutBox::Content content;
    content.system.kernel = "Linux 6.1.0-18-amd64";
    content.system.distribution = "Debian GNU/Linux 12 (bookworm)";
    content.system.memory.totalKiB = 16u * 1024 * 1024;
    content.system.memory.freeKiB = 3u * 1024 * 1024 + 512;
    content.sourcesFile = kSources;
    content.homeLink = "https://home.example/";
    content.supportLink = "faq.html";
    return content;
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { app.application(); }
    Language english{QString(), QString()};
    std::vector<std::string> opened;
};

TEST_F(AboutBoxTest, ShowsTheProductVersionBuildSystemAndMemory) {
    AboutBox box(english, sampleContent(), [this](const std::string& l) { opened.push_back(l); });
    EXPECT_EQ(box.windowTitle(), "About Quillmar Chronvale");
    EXPECT_TRUE(box.productLabel()->text().contains("Quillmar Chronvale"));
    EXPECT_TRUE(box.versionLabel()->text().startsWith("Version 2.00.001  Build "));
    EXPECT_FALSE(AboutBox::buildText().isEmpty());
    const QString system = box.systemLabel()->text();
    EXPECT_TRUE(system.contains("Linux 6.1.0-18-amd64, Debian GNU/Linux 12 (bookworm)"));
    EXPECT_TRUE(system.contains("16384 MB"));
    EXPECT_TRUE(system.contains("3072 MB"));
}

TEST_F(AboutBoxTest, UnknownFactsSayUnknown) {
    AboutBox::Content content;
    AboutBox box(english, content, {});
    EXPECT_EQ(box.systemLabel()->text().count("unknown"), 3);
    EXPECT_TRUE(box.creditsView()->toPlainText().isEmpty()); // no SOURCES.md
    EXPECT_TRUE(box.linksLabel()->text().isEmpty());
}

TEST_F(AboutBoxTest, TheLinksOpenTheirTargetsThroughTheLinkService) {
    AboutBox box(english, sampleContent(), [this](const std::string& l) { opened.push_back(l); });
    EXPECT_TRUE(box.linksLabel()->text().contains(">Home page<"));
    EXPECT_TRUE(box.linksLabel()->text().contains(">Support<"));
    emit box.linksLabel()->linkActivated("home");
    emit box.linksLabel()->linkActivated("support");
    emit box.linksLabel()->linkActivated("elsewhere");
    EXPECT_EQ(opened, (std::vector<std::string>{"https://home.example/", "faq.html"}));
}

TEST_F(AboutBoxTest, ShowsTheCreditsOfTheDataWithTheirLicences) {
    AboutBox box(english, sampleContent(), {});
    const QString credits = box.creditsView()->toPlainText();
    for (const char* text :
         {"NASA Visible Earth images", "Earth images courtesy of NASA Visible Earth",
          "Licence: not copyrighted", "City list from city-timezones (c) Kevin Roberts",
          "City names from GeoNames (www.geonames.org), CC BY 4.0.",
          "Time-zone boundaries from timezone-boundary-builder",
          "Time zone data from the IANA Time Zone Database (tz). (Licence: public domain)",
          "Country names from the iso-codes project. (Licence: LGPL-2.1-or-later)",
          "Area codes from libphonenumber (c) Google Inc., Apache License 2.0. (Licence: "
          "Apache-2.0)"}) {
        EXPECT_TRUE(credits.contains(QString::fromUtf8(text))) << text;
    }
}

TEST_F(AboutBoxTest, ShowsEveryTextAndTheCreditsInGerman) {
    Language german(QStringLiteral(CHRONVALE_BINARY_DIR), QString());
    ASSERT_EQ(german.loadLanguage(std::string("de")), std::optional<std::string>("de"));
    AboutBox box(german, sampleContent(), {});
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Über Quillmar Chronvale"));
    EXPECT_TRUE(box.versionLabel()->text().startsWith("Version 2.00.001"));
    EXPECT_TRUE(box.systemLabel()->text().contains("Betriebssystem:"));
    EXPECT_TRUE(box.linksLabel()->text().contains(">Startseite<"));
    const QString credits = box.creditsView()->toPlainText();
    EXPECT_TRUE(credits.contains(QString::fromUtf8("Städteliste aus city-timezones")));
    EXPECT_TRUE(credits.contains("Lizenz: gemeinfrei"));
    EXPECT_TRUE(credits.contains("Zeitzonengrenzen"));
    // Every credit of the shipped SOURCES.md has its German text.
    EXPECT_FALSE(credits.contains("courtesy"));
    EXPECT_FALSE(credits.contains(" from "));
}

TEST_F(AboutBoxTest, EveryShippedLanguageTranslatesTheCredits) {
    QFile file(kSources);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<CreditSection> sections = readCredits(file.readAll().toStdString());
    ASSERT_GE(sections.size(), 6u);
    for (const std::string& code : test::shippedLanguageCodes()) {
        SCOPED_TRACE(code);
        Language language(QStringLiteral(CHRONVALE_BINARY_DIR), QString());
        ASSERT_EQ(language.loadLanguage(code), code);
        const auto expectTranslated = [&](const std::string& english) {
            EXPECT_NE(language.translate(english, AboutBox::Number).toStdString(), english)
                << "lang/" << code << ".txt has no <1110 E=" << english;
        };
        for (const CreditSection& section : sections) {
            expectTranslated(section.heading);
            for (const CreditEntry& entry : section.entries) {
                expectTranslated(entry.credit);
                // Licence names stay; the two licences in words are translated.
                if (entry.licence == "not copyrighted" || entry.licence == "public domain") {
                    expectTranslated(entry.licence);
                }
            }
        }
    }
}

TEST(AboutFacts, DistributionNameFromOsRelease) {
    EXPECT_EQ(distributionName("NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n"
                               "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(distributionName("# comment\nNAME=Fedora\r\nVERSION='39 (Workstation)'\n"),
              "Fedora 39 (Workstation)");
    EXPECT_EQ(distributionName("PRETTY_NAME=\"Say \\\"hi\\\"\"\n"), "Say \"hi\"");
    EXPECT_EQ(distributionName("ID=arch\n"), std::nullopt);
    EXPECT_EQ(distributionName(""), std::nullopt);
}

TEST(AboutFacts, MemoryFromMeminfo) {
    const MemoryFacts m = memoryFacts("MemTotal:       16308200 kB\nMemFree:  100 kB\n"
                                      "MemAvailable:   9000000 kB\nBuffers: 1 kB\n");
    EXPECT_EQ(m.totalKiB, 16308200u);
    EXPECT_EQ(m.freeKiB, 9000000u);
    // An older kernel without MemAvailable: MemFree.
    EXPECT_EQ(memoryFacts("MemTotal: 2048 kB\nMemFree: 512 kB\n").freeKiB, 512u);
    // Garbage reads as unknown.
    const MemoryFacts bad = memoryFacts("MemTotal: lots\nMemTotalX: 5 kB\n");
    EXPECT_FALSE(bad.totalKiB);
    EXPECT_FALSE(bad.freeKiB);
}

TEST(AboutFacts, CreditsAreReadPerSectionWithTheLicenceOfTheirPackage) {
    const auto sections =
        readCredits("# Title\nIntro. Credit: \"not in a section\"\n"
                    "## Images\n- Package: a. Licence: free; really.\n"
                    "- Credit: \"Pictures by\n  somebody.\"\n"
                    "## Empty\nNothing here.\n"
                    "## Data\n- Package: b. Licence: MIT.\n  Credit: \"B data.\"\n"
                    "- Package: c. Credit: \"C data.\"\n"
                    "- Package: d. Credit: \"never closed\n");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].heading, "Images");
    ASSERT_EQ(sections[0].entries.size(), 1u);
    EXPECT_EQ(sections[0].entries[0].credit, "Pictures by somebody.");
    EXPECT_EQ(sections[0].entries[0].licence, "free");
    EXPECT_EQ(sections[1].heading, "Data");
    ASSERT_EQ(sections[1].entries.size(), 3u);
    EXPECT_EQ(sections[1].entries[0].licence, "MIT");
    EXPECT_EQ(sections[1].entries[1].credit, "C data.");
    EXPECT_EQ(sections[1].entries[1].licence, ""); // a new package has none yet
    EXPECT_EQ(sections[1].entries[2].credit, "never closed");
}

TEST(AboutFacts, ThisComputerHasAKernelAndMemory) {
    const SystemFacts facts = systemFacts();
    EXPECT_TRUE(facts.kernel.starts_with("Linux ")) << facts.kernel;
    ASSERT_TRUE(facts.memory.totalKiB);
    ASSERT_TRUE(facts.memory.freeKiB);
    EXPECT_LE(*facts.memory.freeKiB, *facts.memory.totalKiB);
}

} // namespace
} // namespace chronvale
