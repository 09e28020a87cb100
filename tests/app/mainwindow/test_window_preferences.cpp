// The window with the Preferences dialog and the about box, as the Settings and
// About commands open them: the refresh timer after OK, the proxy of the next
// cloud transfer through the real microsocks, the about box's links; and the
// first start, which shows the installation's [Defaults], and the second, which
// does not.

#include "app/mainwindow/command_ids.h"
#include "dialogs/about/about_box.h"
#include "dialogs/preferences/preferences_dialog.h"
#include "net/http_client.h"
#include "support/image_server_process.h"
#include "support/peer_process.h"
#include "support/scratch.h"
#include "support/zic_folder.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace chronvale {
namespace {

using test::drainEvents;
using test::waitFor;

class PreferencesWindowTest : public test::WindowTest {
protected:
    // Runs `command`, which opens a modal dialog, and hands that dialog to `use`
    // once it is shown; `use` closes it.
    template <typename DialogType>
    bool withModal(int command, const std::function<void(DialogType&)>& use) {
        bool seen = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<DialogType*>(QApplication::activeModalWidget());
            if (dialog != nullptr && dialog->isVisible() && !seen) {
                seen = true;
                poll.stop();
                use(*dialog);
            }
        });
        poll.start();
        window->runCommand(command);
        return seen;
    }

    // Share of sampled map points that the pane shows clearly darker than the
    // day image (the night side of the sun's shadow).
    double darkerShare() {
        const QImage pane = window->mapPane()->grab().toImage();
        const EarthImage* day = world->compositor.dayImage();
        int samples = 0;
        int darker = 0;
        for (int my = 16; my < 512; my += 32) {
            for (int mx = 16; mx < 1024; mx += 32) {
                const float lon = mx * 360.0f / 1024.0f - 180.0f;
                const float lat = 90.0f - my * 180.0f / 512.0f;
                const Point p = window->view().mapToScreen(lon, lat);
                if (!pane.rect().contains(p.x, p.y)) {
                    continue;
                }
                const QColor shown = pane.pixelColor(p.x, p.y);
                const uint8_t* bgr = pixelAddress(day, mx, my);
                const int dayBrightness = bgr[0] + bgr[1] + bgr[2];
                const int shownBrightness = shown.red() + shown.green() + shown.blue();
                ++samples;
                darker += shownBrightness + 60 < dayBrightness ? 1 : 0;
            }
        }
        return samples == 0 ? 0.0 : static_cast<double>(darker) / samples;
    }

    // Green pixels of the marked-city box drawn at the city's place.
    int markBoxPixels(const QImage& pane, const CityRecord& city) {
        const Point p = window->view().mapToScreen(city.longitude, city.latitude);
        int green = 0;
        for (int y = p.y - 2; y < p.y + 4; ++y) {
            for (int x = p.x - 2; x < p.x + 4; ++x) {
                if (pane.rect().contains(x, y) && pane.pixelColor(x, y) == QColor(0, 255, 0)) {
                    ++green;
                }
            }
        }
        return green;
    }

    std::vector<std::string> markedNames() const {
        std::vector<std::string> names;
        for (const CityRecord& city : world->tables().cities) {
            if (city.marked) {
                std::string name = city.name;
                while (!name.empty() && name.back() == ' ') {
                    name.pop_back(); // the blank before the state
                }
                names.push_back(name);
            }
        }
        return names;
    }
};

TEST_F(PreferencesWindowTest, FiveMinutesRestartTheRefreshTimerAtThreeHundredThousandMs) {
    start();
    EXPECT_EQ(window->refreshTimer().interval(), 600000); // 10 minutes at start
    const bool opened = withModal<PreferencesDialog>(cmd::Settings, [](PreferencesDialog& d) {
        EXPECT_EQ(d.dialogNumber(), 117);
        EXPECT_EQ(d.refreshEdit()->text(), "10");
        d.refreshEdit()->setText("5");
        d.okButton()->click();
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(settings().refresh, 5);
    EXPECT_TRUE(window->refreshTimer().isActive());
    EXPECT_EQ(window->refreshTimer().interval(), 300000);
}

TEST_F(PreferencesWindowTest, ZeroStopsTheTimerAndTheNextStartHasTen) {
    start();
    {
        auto d = window->makePreferencesDialog();
        d->refreshEdit()->setText("0");
        d->accept();
    }
    EXPECT_FALSE(window->refreshTimer().isActive());
    EXPECT_EQ(settings().refresh, 0);
    window.reset(); // saves
    world.reset();
    start();
    EXPECT_EQ(settings().refresh, 10);
    EXPECT_EQ(window->refreshTimer().interval(), 600000);
    EXPECT_TRUE(window->refreshTimer().isActive());
}

TEST_F(PreferencesWindowTest, CancelFromTheMenuChangesNothing) {
    start();
    const int refresh = settings().refresh;
    const bool opened = withModal<PreferencesDialog>(cmd::Settings, [](PreferencesDialog& d) {
        d.refreshEdit()->setText("1");
        d.typeButton(3)->click();
        d.hostEdit()->setText("127.0.0.1");
        d.portEdit()->setText("1");
        d.reject();
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(settings().refresh, refresh);
    EXPECT_EQ(settings().proxy.type, 0);
    EXPECT_EQ(window->refreshTimer().interval(), refresh * 60000);
}

// The acceptance test: a SOCKS 5 proxy with user and password chosen in the
// dialog carries the next cloud transfer (the real microsocks).
TEST_F(PreferencesWindowTest, TheNextCloudTransferGoesThroughTheMicrosocksChosenOnOk) {
    QTemporaryDir serverFolder;
    test::ImageServerProcess server(serverFolder.path(), {QStringLiteral("--demo")});
    ASSERT_TRUE(server.started());
    test::PeerProcess microsocks;
    QString error;
    ASSERT_TRUE(microsocks.start(
        "microsocks",
        [](quint16 port, const QString&) {
            return QStringList{"-i", "127.0.0.1", "-p", QString::number(port),
                               "-u", "user",      "-P", "secret"};
        },
        error))
        << error.toStdString();
    start([&server](World& w) { w.installation.values["server"] = server.host(); });
    ASSERT_TRUE(waitFor([this] { return world->http.transferCount() == 0; }));
    const int before = server.requests("cloudv2.php");

    const auto chooseSocks5 = [&](const char* password) {
        auto d = window->makePreferencesDialog();
        d->typeButton(3)->click();
        d->hostEdit()->setText("127.0.0.1");
        d->portEdit()->setText(QString::number(microsocks.port()));
        d->userNameEdit()->setText("user");
        d->passwordEdit()->setText(password);
        ASSERT_TRUE(d->okButton()->isEnabled());
        d->accept();
    };

    // A wrong password: the proxy refuses, nothing reaches the server.
    chooseSocks5("wrong");
    window->runCommand(cmd::Refresh);
    ASSERT_TRUE(waitFor([this] { return world->http.transferCount() == 0; }));
    EXPECT_EQ(server.requests("cloudv2.php"), before);

    // The right one: the newest-image check arrives through microsocks.
    chooseSocks5("secret");
    EXPECT_EQ(settings().proxy.type, 3);
    EXPECT_EQ(settings().proxy.password, "secret");
    window->runCommand(cmd::Refresh);
    ASSERT_TRUE(waitFor([&] { return server.requests("cloudv2.php") > before; }));
    ASSERT_TRUE(waitFor([this] { return world->http.transferCount() == 0; }));

    // Stored at once: the next start hands the same proxy to the client.
    ProxySettings reread;
    loadProxySettings(reread);
    EXPECT_EQ(reread.type, 3);
    EXPECT_EQ(reread.port, microsocks.port());
    EXPECT_EQ(reread.userName, "user");
}

TEST_F(PreferencesWindowTest, TheAboutBoxShowsTheVersionCreditsAndOpensItsLinks) {
    start();
    const bool opened = withModal<AboutBox>(cmd::About, [this](AboutBox& box) {
        EXPECT_TRUE(box.versionLabel()->text().contains("2.00.001"));
        EXPECT_TRUE(box.creditsView()->toPlainText().contains("Kevin Roberts"));
        EXPECT_TRUE(box.systemLabel()->text().contains("Linux"));
        emit box.linksLabel()->linkActivated("home");
        box.accept();
    });
    ASSERT_TRUE(opened);
    ASSERT_EQ(launches.size(), 1u);
    ASSERT_EQ(launches[0].arguments.size(), 1);
    EXPECT_TRUE(launches[0].arguments[0].endsWith("faq.html"))
        << launches[0].arguments[0].toStdString();
}

TEST_F(PreferencesWindowTest, AFirstStartShowsTheShadowAndTheTenMarkedCapitals) {
    asFirstStart = true;
    start();
    EXPECT_TRUE(world->firstStart);
    EXPECT_EQ(settings().switches.sunShadow, 1);
    EXPECT_EQ(settings().switches.allCities, 1);
    EXPECT_EQ(settings().switches.cityNames, 40);
    EXPECT_EQ(settings().switches.markedCities, 1);
    EXPECT_EQ(settings().switches.earthquakes, 1);
    EXPECT_EQ(settings().switches.grid, 0);
    EXPECT_EQ(settings().switches.clouds, 0);
    EXPECT_EQ(settings().refresh, 10); // the record's own defaults stay
    const std::vector<std::string> names = markedNames();
    EXPECT_EQ(names.size(), 10u);
    for (const char* capital : {"London", "New York", "Los Angeles", "São Paulo", "Moscow", "Dubai",
                                "New Delhi", "Beijing", "Tokyo", "Sydney"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), std::string(capital)), 1) << capital;
    }
    // London is the one in England, Sydney the one in Australia.
    for (const CityRecord& city : world->tables().cities) {
        if (city.marked && (city.name.starts_with("London") || city.name.starts_with("Sydney"))) {
            EXPECT_EQ(city.state,
                      city.name.starts_with("London") ? "Westminster" : "New South Wales");
        }
    }
    EXPECT_TRUE(window->menuAction(cmd::SunShadow)->isChecked());
    EXPECT_TRUE(window->menuAction(cmd::CitySelection)->isChecked());

    // Painted: a night side darker than the day image, and a box at every capital.
    drainEvents();
    EXPECT_GT(darkerShare(), 0.2);
    const QImage pane = window->mapPane()->grab().toImage();
    for (const CityRecord& city : world->tables().cities) {
        if (city.marked) {
            EXPECT_GE(markBoxPixels(pane, city), 8) << city.name;
        }
    }
}

TEST_F(PreferencesWindowTest, ASecondStartWithASettingsFileIgnoresTheDefaults) {
    asFirstStart = true;
    start();
    ASSERT_EQ(settings().switches.sunShadow, 1);
    window->runCommand(cmd::SunShadow); // off
    window->runCommand(cmd::ClearCitySelection);
    ASSERT_EQ(settings().switches.sunShadow, 0);
    window.reset(); // writes the settings file
    world.reset();

    start();
    EXPECT_FALSE(world->firstStart);
    EXPECT_EQ(settings().switches.sunShadow, 0);
    EXPECT_TRUE(markedNames().empty());
    EXPECT_EQ(settings().switches.allCities, 1);   // kept from the first run, as stored
    EXPECT_EQ(settings().switches.earthquakes, 1); // remembered from the first run
    drainEvents();
    EXPECT_LT(darkerShare(), 0.1); // only the city dots
}

} // namespace
} // namespace chronvale

namespace chronvale {
namespace {

// Names a zoneinfo folder in TZDIR while it lives.
class ZoneFolder {
public:
    explicit ZoneFolder(const std::string& text) {
        compiled_ = test::compileZones(scratch_, text);
        if (const char* old = std::getenv("TZDIR")) {
            previous_ = old;
        }
        ::setenv("TZDIR", scratch_.file("zoneinfo").c_str(), 1);
    }
    ~ZoneFolder() {
        if (previous_) {
            ::setenv("TZDIR", previous_->c_str(), 1);
        } else {
            ::unsetenv("TZDIR");
        }
    }
    bool compiled() const { return compiled_; }

private:
    test::ScratchDir scratch_;
    bool compiled_ = false;
    std::optional<std::string> previous_;
};

// "Time zones from the system" off: a city whose time the system database gives
// otherwise (Vancouver's pixel lies in the tables' UTC-7 zone) shows the shipped
// tables' time at once and after the next start; the
// wallpaper's choices and the browser survive the restart too.
TEST_F(PreferencesWindowTest, TheOptionsSurviveARestartAndLocalTimesFollowAtOnce) {
    const ZoneFolder zones(std::string(test::kTestTzdata) + test::kVancouverBefore);
    ASSERT_TRUE(zones.compiled());
    start();
    const auto vancouver = [this]() -> const CityRecord& {
        for (const CityRecord& city : world->tables().cities) {
            if (city.name.rfind("Vancouver", 0) == 0 && city.state == "British Columbia") {
                return city;
            }
        }
        throw std::runtime_error("no Vancouver");
    };
    const std::time_t t = 1797364800; // 2026-12-15 20:00 UTC
    struct Expected {
        const char* shown;
        bool fromSystem;
    };
    const auto expectTime = [&](const Expected& e) {
        const LocalTime local = world->localClock.cityTime(vancouver(), t);
        EXPECT_EQ(local.text(), e.shown);
        EXPECT_EQ(local.fromSystem, e.fromSystem);
    };
    expectTime({"12/15/26 12:00:00", true}); // PST
    {
        auto d = window->makePreferencesDialog();
        EXPECT_TRUE(d->systemZonesCheck()->isChecked());
        d->systemZonesCheck()->setChecked(false);
        d->widthCapCheck()->setChecked(true);
        d->wallpaperWidthEdit()->setText("2560");
        d->placementCombo()->setCurrentIndex(1);
        d->centreCombo()->setCurrentIndex(1); // the date line
        d->browserCombo()->setEditText(QStringLiteral("chromium"));
        d->accept();
    }
    expectTime({"12/15/26 13:00:00", false}); // the tables' UTC-7
    window.reset();                           // saves
    world.reset();
    start();
    // The tables' offsets come from the time-zone image, loaded after the window.
    ASSERT_TRUE(waitFor([this] { return world->compositor.timeZoneImage() != nullptr; }));
    EXPECT_FALSE(settings().systemZones);
    EXPECT_FALSE(world->localClock.useSystemDatabase());
    expectTime({"12/15/26 13:00:00", false});
    EXPECT_EQ(settings().wallpaperWidth, 2560);
    EXPECT_EQ(settings().wallpaperPlacement, 1);
    EXPECT_FLOAT_EQ(settings().wallpaperCentre, 180.0f);
    EXPECT_EQ(settings().browser, "chromium");
    // And back: the system's time at once.
    window->useSystemZones(true);
    expectTime({"12/15/26 12:00:00", true});
}

} // namespace
} // namespace chronvale
