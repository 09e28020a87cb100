// The Preferences dialog on its own: the tree and its pages, the stored values
// in the fields, the browser list, the proxy page's enable rules, the refused
// inputs, what OK stores and in which order, Cancel, the remembered place, the
// German texts, and a transfer through a SOCKS 5 proxy set with OK.

#include "config/program_settings.h"
#include "dialogs/preferences/preferences_dialog.h"
#include "i18n/language.h"
#include "net/http_client.h"
#include "support/net_test_support.h"
#include "support/scripted_http_server.h"
#include "support/scripted_socks_server.h"
#include "support/test_application.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace chronvale {
namespace {

test::TestApplication<QApplication>& app =
    test::TestApplication<QApplication>::install("chronvale-test");

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.application();
        ASSERT_TRUE(settingsFolder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        settings.refresh = 10;
        settings.wallpaperWidth = 1920;
        settings.showInfo = true;
        settings.loopClouds = false;
        settings.browser = "firefox";
        settings.proxy.type = 3;
        settings.proxy.host = "proxy.example";
        settings.proxy.port = 1080;
        settings.proxy.userName = "user";
        settings.proxy.password = "secret";
    }

    // The dialog with hooks that record what OK does, in order.
    std::unique_ptr<PreferencesDialog> open(QStringList browsers = {},
                                            std::vector<CentreChoice> centres = {}) {
        PreferencesDialog::Hooks hooks;
        hooks.applyProxy = [this](const ProxySettings& p) {
            calls.push_back("apply");
            applied = p;
        };
        hooks.storeProxy = [this](const ProxySettings& p) {
            calls.push_back("store");
            stored = p;
            storedRefreshAtStore = settings.refresh;
        };
        hooks.browserChosen = [this](const QString& b) {
            calls.push_back("browser");
            browser = b;
        };
        hooks.restartRefreshTimer = [this](int minutes) {
            calls.push_back("timer");
            timerMinutes = minutes;
            storedRefreshAtTimer = settings.refresh;
        };
        hooks.systemZonesChosen = [this](bool on) {
            calls.push_back(on ? "system zones" : "tables");
        };
        return std::make_unique<PreferencesDialog>(settings, language, browsers, std::move(centres),
                                                   hooks);
    }

    static bool okEnabled(const PreferencesDialog& d) { return d.okButton()->isEnabled(); }

    QTemporaryDir settingsFolder;
    Language language{QString(), QString()};
    Settings settings;
    std::vector<std::string> calls;
    ProxySettings applied, stored;
    QString browser;
    int timerMinutes = -99;
    int storedRefreshAtStore = -99;
    int storedRefreshAtTimer = -99;
};

TEST_F(PreferencesTest, TheTreeChoosesOneOfThreePagesFilledWithTheStoredValues) {
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Preferences");
    QTreeWidget* tree = d->tree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Options");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "Settings");
    EXPECT_EQ(tree->topLevelItem(2)->text(0), "Proxy/Firewall");
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_EQ(d->pages()->currentIndex(), 0);
    tree->setCurrentItem(tree->topLevelItem(2));
    EXPECT_EQ(d->pages()->currentIndex(), 2);
    tree->setCurrentItem(tree->topLevelItem(1));
    EXPECT_EQ(d->pages()->currentIndex(), 1);

    EXPECT_EQ(d->refreshEdit()->text(), "10");
    EXPECT_EQ(d->wallpaperWidthEdit()->text(), "1920");
    EXPECT_TRUE(d->infoCheck()->isChecked());
    EXPECT_FALSE(d->loopCheck()->isChecked());
    EXPECT_EQ(d->infoCheck()->text(), "Display Scale && Cloud Date Info");
    EXPECT_TRUE(d->typeButton(3)->isChecked());
    EXPECT_EQ(d->proxyType(), 3);
    EXPECT_EQ(d->hostEdit()->text(), "proxy.example");
    EXPECT_EQ(d->portEdit()->text(), "1080");
    EXPECT_EQ(d->userNameEdit()->text(), "user");
    EXPECT_EQ(d->passwordEdit()->text(), "secret");
    EXPECT_EQ(d->passwordEdit()->echoMode(), QLineEdit::Password); // bullets
    EXPECT_TRUE(d->inputAccepted());
    EXPECT_TRUE(okEnabled(*d));
}

TEST_F(PreferencesTest, TheBrowserListHoldsTheCurrentOneThenEachFoundOnceIgnoringCase) {
    auto d = open({"/usr/bin/chromium", "FIREFOX", "xdg-open", "Xdg-Open"});
    QComboBox* combo = d->browserCombo();
    EXPECT_TRUE(combo->isEditable());
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "firefox");
    EXPECT_EQ(combo->itemText(1), "/usr/bin/chromium");
    EXPECT_EQ(combo->itemText(2), "xdg-open");
    EXPECT_EQ(combo->currentText(), "firefox");

    // Without a current browser the edit stays empty and the found ones are listed.
    settings.browser.reset();
    auto e = open({"xdg-open"});
    EXPECT_EQ(e->browserCombo()->count(), 1);
    EXPECT_EQ(e->browserCombo()->currentText(), "");
}

TEST_F(PreferencesTest, Socks4GreysThePasswordNoneGreysAllFourButTheirTextsAreStored) {
    auto d = open();
    // Socks5 (stored): all four enabled.
    for (QLineEdit* edit : {d->hostEdit(), d->portEdit(), d->userNameEdit(), d->passwordEdit()}) {
        EXPECT_TRUE(edit->isEnabled());
    }
    d->typeButton(2)->click(); // Socks4
    EXPECT_TRUE(d->hostEdit()->isEnabled());
    EXPECT_TRUE(d->portEdit()->isEnabled());
    EXPECT_TRUE(d->userNameEdit()->isEnabled());
    EXPECT_FALSE(d->passwordEdit()->isEnabled());
    d->typeButton(1)->click(); // Proxy Server
    EXPECT_TRUE(d->passwordEdit()->isEnabled());
    d->typeButton(0)->click(); // None
    for (QLineEdit* edit : {d->hostEdit(), d->portEdit(), d->userNameEdit(), d->passwordEdit()}) {
        EXPECT_FALSE(edit->isEnabled());
    }
    d->accept();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(stored.type, 0);
    EXPECT_EQ(stored.host, "proxy.example");
    EXPECT_EQ(stored.port, 1080);
    EXPECT_EQ(stored.userName, "user");
    EXPECT_EQ(stored.password, "secret");
    EXPECT_EQ(settings.proxy.type, 0);
    EXPECT_EQ(settings.proxy.host, "proxy.example");
}

TEST_F(PreferencesTest, OkAppliesAndStoresTheProxyThenTheValuesThenRestartsTheTimer) {
    auto d = open();
    d->refreshEdit()->setText("5");
    d->wallpaperWidthEdit()->setText("2560");
    d->infoCheck()->setChecked(false);
    d->loopCheck()->setChecked(true);
    d->browserCombo()->setEditText("chromium");
    d->typeButton(1)->click();
    d->hostEdit()->setText("cache.local");
    d->portEdit()->setText("3128");
    d->userNameEdit()->setText("");
    d->passwordEdit()->setText("");
    d->accept();

    EXPECT_EQ(calls,
              (std::vector<std::string>{"apply", "store", "browser", "system zones", "timer"}));
    EXPECT_EQ(applied.type, 1);
    EXPECT_EQ(applied.host, "cache.local");
    EXPECT_EQ(applied.port, 3128);
    EXPECT_FALSE(applied.userName); // an empty edit is none
    EXPECT_FALSE(applied.password);
    EXPECT_EQ(stored.host, applied.host);
    // The proxy was stored before the other values.
    EXPECT_EQ(storedRefreshAtStore, 10);
    EXPECT_EQ(storedRefreshAtTimer, 5);
    EXPECT_EQ(timerMinutes, 5);
    EXPECT_EQ(settings.refresh, 5);
    EXPECT_EQ(settings.wallpaperWidth, 2560);
    EXPECT_FALSE(settings.showInfo);
    EXPECT_TRUE(settings.loopClouds);
    EXPECT_EQ(settings.browser, "chromium");
    EXPECT_EQ(browser, "chromium");
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(PreferencesTest, ZeroMinutesAndNumbersReadAsTheirLeadingIntegers) {
    auto d = open();
    d->refreshEdit()->setText("no updates"); // no digits: 0
    d->wallpaperWidthEdit()->setText(" 1280px");
    d->portEdit()->setText("1081 (socks)");
    EXPECT_TRUE(okEnabled(*d));
    d->accept();
    EXPECT_EQ(settings.refresh, 0);
    EXPECT_EQ(timerMinutes, 0); // the owner stops the timer
    EXPECT_EQ(settings.wallpaperWidth, 1280);
    EXPECT_EQ(stored.port, 1081);

    EXPECT_EQ(leadingNumber("+42x"), 42);
    EXPECT_EQ(leadingNumber("-7"), -7);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("99999999999999"), 2147483647); // saturates
}

TEST_F(PreferencesTest, CancelAfterChangingEveryFieldLeavesEverySettingAsItWas) {
    const Settings before = settings;
    auto d = open({"xdg-open"});
    d->refreshEdit()->setText("1");
    d->wallpaperWidthEdit()->setText("800");
    d->infoCheck()->setChecked(false);
    d->loopCheck()->setChecked(true);
    d->browserCombo()->setEditText("xdg-open");
    d->typeButton(2)->click();
    d->hostEdit()->setText("other");
    d->portEdit()->setText("9050");
    d->userNameEdit()->setText("nobody");
    d->passwordEdit()->setText("nothing");
    d->reject();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(settings.refresh, before.refresh);
    EXPECT_EQ(settings.wallpaperWidth, before.wallpaperWidth);
    EXPECT_EQ(settings.showInfo, before.showInfo);
    EXPECT_EQ(settings.loopClouds, before.loopClouds);
    EXPECT_EQ(settings.browser, before.browser);
    EXPECT_EQ(settings.proxy.type, before.proxy.type);
    EXPECT_EQ(settings.proxy.host, before.proxy.host);
    EXPECT_EQ(settings.proxy.port, before.proxy.port);
    EXPECT_EQ(settings.proxy.userName, before.proxy.userName);
    EXPECT_EQ(settings.proxy.password, before.proxy.password);
    // Nothing reached the shared settings file either.
    EXPECT_FALSE(QFileInfo::exists(settingsFolder.filePath("QUILLMAR/Common.ini")));
}

TEST_F(PreferencesTest, RefusedWidthsRefreshAndPortsKeepOkDisabledUntilMended) {
    auto d = open();
    struct Case {
        QLineEdit* edit;
        QString text;
        QLabel* message;
    };
    const std::vector<Case> refused = {
        {d->wallpaperWidthEdit(), "63", d->widthMessage()},
        {d->wallpaperWidthEdit(), "16385", d->widthMessage()},
        {d->wallpaperWidthEdit(), "", d->widthMessage()}, // 0
        {d->refreshEdit(), "-1", d->refreshMessage()},
        {d->portEdit(), "0", d->portMessage()},
        {d->portEdit(), "65536", d->portMessage()},
        {d->portEdit(), "-80", d->portMessage()},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.text.toStdString());
        const QString good = c.edit->text();
        c.edit->setText(c.text);
        EXPECT_FALSE(okEnabled(*d));
        EXPECT_FALSE(c.message->isHidden());
        EXPECT_FALSE(c.message->text().isEmpty());
        d->accept(); // Enter while refused: nothing happens
        EXPECT_TRUE(calls.empty());
        EXPECT_NE(d->result(), QDialog::Accepted);
        c.edit->setText(good);
        EXPECT_TRUE(okEnabled(*d));
        EXPECT_TRUE(c.message->isHidden());
    }
    // The bounds themselves are taken.
    d->wallpaperWidthEdit()->setText("64");
    EXPECT_TRUE(okEnabled(*d));
    d->wallpaperWidthEdit()->setText("16384");
    d->portEdit()->setText("65535");
    EXPECT_TRUE(okEnabled(*d));
    // Without a proxy type the port does not matter.
    d->portEdit()->setText("0");
    EXPECT_FALSE(okEnabled(*d));
    d->typeButton(0)->click();
    EXPECT_TRUE(okEnabled(*d));
    EXPECT_TRUE(d->portMessage()->isHidden());
    d->typeButton(2)->click();
    EXPECT_FALSE(okEnabled(*d));
}

// The wallpaper's width is a cap: unticked none (0), ticked the number typed,
// the desktop's own width included.
TEST_F(PreferencesTest, TheWidthCapIsStoredOnlyWhileTicked) {
    struct Case {
        int stored;
        bool shownTicked;
        QString shownText;
        bool tick;
        QString typed; // empty: as shown
        int storedAfter;
    };
    settings.desktop = QRect(0, 0, 1920, 1080);
    const Case cases[] = {
        {0, false, "1920", false, "", 0},       // no cap stays none
        {0, false, "1920", true, "", 1920},     // the desktop's width offered, taken
        {0, false, "1920", true, "2560", 2560}, //
        {1920, true, "1920", true, "", 1920},   // a cap of the desktop's width stays a cap
        {3000, true, "3000", false, "", 0},     // unticked: no cap
        {3000, true, "3000", false, "10", 0},   // a refused width does not matter unticked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        settings.wallpaperWidth = c.stored;
        auto d = open();
        EXPECT_EQ(d->widthCapCheck()->isChecked(), c.shownTicked);
        EXPECT_EQ(d->wallpaperWidthEdit()->text(), c.shownText);
        EXPECT_EQ(d->wallpaperWidthEdit()->isEnabled(), c.shownTicked);
        d->widthCapCheck()->setChecked(c.tick);
        EXPECT_EQ(d->wallpaperWidthEdit()->isEnabled(), c.tick);
        if (!c.typed.isEmpty()) {
            d->wallpaperWidthEdit()->setText(c.typed);
        }
        EXPECT_TRUE(okEnabled(*d));
        d->accept();
        EXPECT_EQ(settings.wallpaperWidth, c.storedAfter);
    }
}

TEST_F(PreferencesTest, ThePlacementShowsFitOrFillAndStoresTheChoice) {
    struct Case {
        int stored;
        QString shown;
        int choose; // the item chosen before OK
        int storedAfter;
    };
    const Case cases[] = {{0, "Fit", 1, 1}, {1, "Fill", 0, 0}, {1, "Fill", 1, 1}, {7, "Fit", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        settings.wallpaperPlacement = c.stored;
        auto d = open();
        EXPECT_EQ(d->placementCombo()->currentText(), c.shown);
        d->placementCombo()->setCurrentIndex(c.choose);
        d->accept();
        EXPECT_EQ(settings.wallpaperPlacement, c.storedAfter);
    }
}

TEST_F(PreferencesTest, TheCentreShowsWhatTheStoredLongitudeStandsFor) {
    const auto city = [](const char* name, std::optional<std::string> state, float longitude,
                         bool marked) {
        CityRecord record;
        record.name = name;
        record.state = std::move(state);
        record.longitude = longitude;
        record.marked = marked;
        return record;
    };
    const CityList cities{city("Paris ", "Ile-de-France", 2.3522f, true),
                          city("Quito ", std::nullopt, -78.5243f, true),
                          city("Moscow ", std::nullopt, 37.6173f, false)};
    struct Case {
        float stored;
        QString shown;
        int items; // Greenwich, the date line, two cities, and the stored value kept
    };
    const Case cases[] = {
        {0.0f, "Greenwich", 4},
        {180.0f, "Date line", 4},
        {-180.0f, "Date line", 4},
        {2.3522f, "Paris (Ile-de-France)", 4},
        {-78.5243f, "Quito", 4},
        {37.6173f, QStringLiteral("37.62\u00b0"), 5}, // no longer marked: kept as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        settings.wallpaperCentre = c.stored;
        auto d = open({}, centreChoices(cities));
        EXPECT_EQ(d->centreCombo()->currentText(), c.shown);
        EXPECT_EQ(d->centreCombo()->count(), c.items);
        d->accept();
        EXPECT_FLOAT_EQ(settings.wallpaperCentre, c.stored == -180.0f ? 180.0f : c.stored);
    }
    // A choice stores its longitude.
    settings.wallpaperCentre = 0.0f;
    auto d = open({}, centreChoices(cities));
    d->centreCombo()->setCurrentIndex(d->centreCombo()->findText("Quito"));
    d->accept();
    EXPECT_FLOAT_EQ(settings.wallpaperCentre, -78.5243f);
}

TEST_F(PreferencesTest, TimeZonesFromTheSystemAreStoredAndHandedOn) {
    for (const bool stored : {true, false}) {
        SCOPED_TRACE(stored);
        settings.systemZones = stored;
        calls.clear();
        auto d = open();
        EXPECT_EQ(d->systemZonesCheck()->text(), "Time zones from the system");
        EXPECT_EQ(d->systemZonesCheck()->isChecked(), stored);
        d->systemZonesCheck()->setChecked(!stored);
        d->accept();
        EXPECT_EQ(settings.systemZones, !stored);
        EXPECT_NE(std::find(calls.begin(), calls.end(), stored ? "tables" : "system zones"),
                  calls.end());
    }
}

TEST_F(PreferencesTest, RemembersItsPlaceUnderDlgs117) {
    {
        auto d = open();
        d->show();
        d->setGeometry(120, 140, 640, 520);
        d->reject();
    }
    auto program = openProgramSettings();
    EXPECT_EQ(readInteger(*program, "DLGS/117/width"), 640);
    EXPECT_EQ(readInteger(*program, "DLGS/117/height"), 520);
}

TEST_F(PreferencesTest, ShowsItsTextsInGerman) {
    Language german(QStringLiteral(CHRONVALE_BINARY_DIR), QString());
    ASSERT_EQ(german.loadLanguage(std::string("de")), std::optional<std::string>("de"));
    PreferencesDialog d(settings, german, {}, {}, {});
    EXPECT_EQ(d.windowTitle(), "Einstellungen");
    EXPECT_EQ(d.tree()->topLevelItem(0)->text(0), "Optionen");
    EXPECT_EQ(d.typeButton(0)->text(), "Keiner");
    EXPECT_EQ(d.okButton()->text(), "OK");
    d.wallpaperWidthEdit()->setText("10");
    EXPECT_EQ(d.widthMessage()->text(), "Bitte eine Breite von 64 bis 16384 Pixeln eingeben.");
    EXPECT_EQ(d.widthCapCheck()->text(), "Breite des Hintergrundbilds begrenzen auf:");
    EXPECT_EQ(d.placementCombo()->itemText(1), "Ausfüllen");
    EXPECT_EQ(d.centreCombo()->itemText(1), "Datumsgrenze");
    EXPECT_EQ(d.systemZonesCheck()->text(), "Zeitzonen vom System");
}

TEST_F(PreferencesTest, AfterOkATransferGoesThroughTheChosenSocks5Proxy) {
    test::ScriptedHttpServer target([](test::ServerConnection& c) {
        c.send(test::httpResponse(200, "", "via the proxy"));
        c.close();
    });
    test::ScriptedSocksServer socks({});
    test::ClientFixture f;
    auto d = std::make_unique<PreferencesDialog>(
        settings, language, QStringList{}, std::vector<CentreChoice>{},
        PreferencesDialog::Hooks{
            .applyProxy =
                [&f](const ProxySettings& p) {
                    f.client.httpSetProxy(p.type, p.host.value_or(""), p.port,
                                          p.userName.value_or(""), p.password.value_or(""));
                },
            .storeProxy = [](const ProxySettings&) {},
            .browserChosen = {},
            .restartRefreshTimer = {},
            .systemZonesChosen = {},
        });
    d->typeButton(3)->click();
    d->hostEdit()->setText("127.0.0.1");
    d->portEdit()->setText(QString::number(socks.port()));
    d->userNameEdit()->setText("alice");
    d->passwordEdit()->setText("s3cret");
    d->accept();

    ASSERT_NE(f.get(target.url("/clouds/cloudv2.php").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle(std::chrono::seconds(20)));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].body, "via the proxy");
    const std::vector<QByteArray> messages = socks.messages();
    ASSERT_GE(messages.size(), 2u);
    // The user name/password step carries what the dialog was given.
    EXPECT_EQ(messages[1], QByteArray("\x01\x05"
                                      "alice\x06s3cret"));
    ASSERT_EQ(socks.targets().size(), 1u);
    EXPECT_EQ(socks.targets()[0], "127.0.0.1:" + QByteArray::number(target.port()));
}

} // namespace
} // namespace chronvale
