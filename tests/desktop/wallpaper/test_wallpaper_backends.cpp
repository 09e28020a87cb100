// The wallpaper back ends against the desktops' real settings stores where they run
// headless (gsettings on its keyfile store with the installed schemas, xfconfd on a
// private session bus) and against a scripted Plasma shell: switching the mode on,
// renewing twice and switching it off gives the desktop back exactly what it had.

#include "desktop/wallpaper/backend_choice.h"
#include "desktop/wallpaper/command_backend.h"
#include "desktop/wallpaper/gsettings_backend.h"
#include "desktop/wallpaper/kde_backend.h"
#include "desktop/wallpaper/tool_process.h"
#include "desktop/wallpaper/wallpaper_lock.h"
#include "desktop/wallpaper/wallpaper_mode.h"
#include "desktop/wallpaper/xfce_backend.h"
#include "render/wallpaper_image.h"
#include "render/wallpaper_layout.h"
#include "session_bus.h"
#include "support/fake_desktop.h"
#include "support/qt_files.h"
#include "support/scratch.h"
#include "support/wait_for.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSysInfo>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace chronvale {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::uriOf;

test::SessionBus* bus = nullptr;

// Before any test: the keyfile store of GSettings (in this process's own
// XDG_CONFIG_HOME), the private session bus, then the application object.
class WallpaperEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
        bus = new test::SessionBus;
        static int argc = 1;
        static char name[] = "test_wallpaper";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override {
        app_.reset();
        delete bus;
        bus = nullptr;
    }

private:
    std::unique_ptr<QCoreApplication> app_;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new WallpaperEnvironment);

// Two monitors side by side, one picture each or one spanning both.
const WallpaperRequest kTwoScreens{{{0, 0, 96, 54, "HDMI-1"}, {96, 0, 64, 48, "eDP-1"}},
                                   {WallpaperPlacement::Fit, 0.0, 0}};

bool paint(const MapRegion&, EarthImage&, const PixelRect&) {
    return true;
}

// Records what the mode persists.
struct Persisted {
    std::vector<StoredWallpaper> writes;
    bool works = true; // false: the settings file cannot be written
    PersistWallpaper callback() {
        return [this](const StoredWallpaper& s) {
            if (works) {
                writes.push_back(s);
            }
            return works;
        };
    }
};

// One user's wallpaper mode on a back end: the user folder, the lit map, the stored
// state and what the mode persisted.
struct ModeRun {
    WallpaperApplied apply(WallpaperBackend& backend) {
        return applyWallpaper(backend, kTwoScreens, paint, folder, stored, persisted.callback());
    }
    WallpaperRenewal refresh(WallpaperBackend& backend) {
        return refreshWallpaper(backend, kTwoScreens, paint, folder);
    }
    bool restore(WallpaperBackend& backend) {
        return restoreWallpaper(backend, stored, folder, persisted.callback()) ==
               WallpaperRestoreResult::Restored;
    }
    fs::path file(const char* name) const { return dir.path() / name; }

    ScratchDir dir;
    const std::string folder = dir.path().string();
    StoredWallpaper stored;
    Persisted persisted;
};

// ---------------------------------------------------------------------------
// gsettings

QString gsettingsGet(const QString& schema, const QString& key) {
    return runTool(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, key})
        .value_or(QStringLiteral("<failed>"))
        .trimmed();
}

void gsettingsSet(const QString& schema, const QString& key, const QString& value) {
    ASSERT_TRUE(runTool(QStringLiteral("gsettings"), {QStringLiteral("set"), schema, key, value}))
        << schema.toStdString() << " " << key.toStdString();
}

} // namespace

// Test names and messages show the desktop.
void PrintTo(const GsettingsSchema& schema, std::ostream* out) {
    *out << schema.desktop.toStdString();
}

namespace {

class GsettingsRoundTrip : public ::testing::TestWithParam<GsettingsSchema> {};

TEST_P(GsettingsRoundTrip, OnRenewTwiceAndOffGiveBackWhatTheUserHad) {
    const GsettingsSchema schema = GetParam();
    GsettingsBackend backend(schema);
    ASSERT_TRUE(backend.available()) << "gsettings or the schema " << schema.schema.toStdString()
                                     << " is not installed (scripts/install-deps.sh installs them)";
    // The user's own wallpaper, scaled, with a name that needs quoting.
    const QString own = schema.fileIsUri
                            ? QStringLiteral("file:///usr/share/backgrounds/it's%20sea.jpg")
                            : QStringLiteral("/usr/share/backgrounds/it's sea.jpg");
    gsettingsSet(schema.schema, schema.fileKey, gvariantString(own));
    gsettingsSet(schema.schema, QStringLiteral("picture-options"), QStringLiteral("'scaled'"));
    if (!schema.darkKey.isEmpty()) {
        gsettingsSet(schema.schema, schema.darkKey,
                     gvariantString(QStringLiteral("file:///usr/share/backgrounds/night.jpg")));
    }
    const QString ownFile = gsettingsGet(schema.schema, schema.fileKey);
    const QString ownDark =
        schema.darkKey.isEmpty() ? QString() : gsettingsGet(schema.schema, schema.darkKey);

    ModeRun run;
    const WallpaperApplied applied = run.apply(backend);
    ASSERT_TRUE(applied.renewal.shown);
    EXPECT_TRUE(applied.stateReadBack);
    ASSERT_EQ(run.persisted.writes.size(), 1u);
    EXPECT_TRUE(run.persisted.writes[0].on);
    EXPECT_EQ(run.persisted.writes[0].saved.back().state.file, ownFile.toStdString());
    EXPECT_EQ(run.persisted.writes[0].saved.back().state.tile, "'scaled'");

    const auto shows = [&](const char* name) {
        const QString path = QString::fromStdString(run.file(name).string());
        const QString expected =
            gvariantString(schema.fileIsUri ? uriOf(path.toStdString()) : path);
        EXPECT_EQ(gsettingsGet(schema.schema, schema.fileKey), expected);
        if (!schema.darkKey.isEmpty()) {
            EXPECT_EQ(gsettingsGet(schema.schema, schema.darkKey), expected);
        }
        EXPECT_EQ(gsettingsGet(schema.schema, QStringLiteral("picture-options")),
                  QStringLiteral("'spanned'"));
        // One picture as large as both monitors side by side.
        const ImagePtr image = loadImage(path.toStdString());
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), 160);
        EXPECT_EQ(image->height(), 54);
    };
    shows("Wallpaper-a.jpg");
    ASSERT_TRUE(run.refresh(backend).shown);
    shows("Wallpaper-b.jpg");
    ASSERT_TRUE(run.refresh(backend).shown);
    shows("Wallpaper-a.jpg");
    EXPECT_EQ(run.persisted.writes.size(), 1u); // renewals leave the saved state alone

    ASSERT_TRUE(run.restore(backend));
    EXPECT_EQ(gsettingsGet(schema.schema, schema.fileKey), ownFile);
    EXPECT_EQ(gsettingsGet(schema.schema, QStringLiteral("picture-options")),
              QStringLiteral("'scaled'"));
    if (!schema.darkKey.isEmpty()) {
        EXPECT_EQ(gsettingsGet(schema.schema, schema.darkKey), ownDark);
    }
    EXPECT_FALSE(run.stored.on);
    EXPECT_FALSE(run.persisted.writes.back().on);
    EXPECT_FALSE(fs::exists(run.file("Wallpaper-a.jpg")));
}

INSTANTIATE_TEST_SUITE_P(Desktops, GsettingsRoundTrip,
                         ::testing::Values(gnomeBackgroundSchema(), cinnamonBackgroundSchema(),
                                           mateBackgroundSchema()),
                         [](const auto& info) { return info.param.desktop.toStdString(); });

TEST(GsettingsBackend, SwitchingOnAgainAfterACrashKeepsTheUsersState) {
    GsettingsBackend backend(gnomeBackgroundSchema());
    ASSERT_TRUE(backend.available()) << "gsettings or org.gnome.desktop.background is not "
                                        "installed (scripts/install-deps.sh installs them)";
    const QString schema = gnomeBackgroundSchema().schema;
    gsettingsSet(schema, QStringLiteral("picture-uri"), QStringLiteral("'file:///own.png'"));
    ModeRun run;
    run.apply(backend);
    // The mode's own picture is on the desktop; switching on again must not save it.
    run.stored.on = false;
    run.apply(backend);
    EXPECT_EQ(run.stored.saved.back().state.file, "'file:///own.png'");
    run.restore(backend);
    EXPECT_EQ(gsettingsGet(schema, QStringLiteral("picture-uri")),
              QStringLiteral("'file:///own.png'"));
}

TEST(GsettingsBackend, AnEmptySavedValueResetsTheKey) {
    GsettingsBackend backend(mateBackgroundSchema());
    ASSERT_TRUE(backend.available())
        << "gsettings or org.mate.background is not installed (scripts/install-deps.sh "
           "installs mate-desktop-common)";
    const QString schema = mateBackgroundSchema().schema;
    const QString fresh = gsettingsGet(schema, QStringLiteral("picture-filename"));
    ASSERT_TRUE(backend.show({{"/tmp/x.bmp", {}}}));
    ASSERT_TRUE(backend.restore({}));
    EXPECT_EQ(gsettingsGet(schema, QStringLiteral("picture-filename")), fresh);
}

TEST(GsettingsBackend, KeysAtTheirDefaultAreResetNotPinned) {
    GsettingsBackend backend(gnomeBackgroundSchema());
    ASSERT_TRUE(backend.available());
    const QString schema = gnomeBackgroundSchema().schema;
    const auto reset = [&](const char* key) {
        ASSERT_TRUE(runTool(QStringLiteral("gsettings"),
                            {QStringLiteral("reset"), schema, QString::fromLatin1(key)}));
    };
    reset("picture-uri-dark");
    reset("picture-options");
    gsettingsSet(schema, QStringLiteral("picture-uri"), QStringLiteral("'file:///own.png'"));
    ModeRun run;
    ASSERT_EQ(run.apply(backend).result, WallpaperApplyResult::Shown);
    EXPECT_EQ(run.stored.saved.back().state.file, "'file:///own.png'");
    EXPECT_EQ(run.stored.saved.back().state.tile, "");  // at the default
    EXPECT_EQ(run.stored.saved.back().state.style, ""); // unset
    ASSERT_TRUE(run.restore(backend));
    // The user's store holds no value for them again: they follow the defaults.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::ifstream store(
        (config != nullptr ? std::string(config) : QDir::homePath().toStdString() + "/.config") +
        "/glib-2.0/settings/keyfile");
    ASSERT_TRUE(store.good());
    const std::string text((std::istreambuf_iterator<char>(store)), {});
    EXPECT_NE(text.find("picture-uri='file:///own.png'"), std::string::npos) << text;
    EXPECT_EQ(text.find("picture-uri-dark"), std::string::npos) << text;
    EXPECT_EQ(text.find("picture-options"), std::string::npos) << text;
}

TEST(GsettingsBackend, ASchemaWithoutTheDarkStyleStillRoundTrips) {
    // GNOME before 42 has no picture-uri-dark: Cinnamon's schema lacks it the same way.
    GsettingsSchema old = cinnamonBackgroundSchema();
    old.desktop = QStringLiteral("GNOME 41");
    old.darkKey = QStringLiteral("picture-uri-dark");
    GsettingsBackend backend(old);
    ASSERT_TRUE(backend.available())
        << "gsettings or org.cinnamon.desktop.background is not installed "
           "(scripts/install-deps.sh installs cinnamon-desktop-data)";
    gsettingsSet(old.schema, old.fileKey, QStringLiteral("'file:///own41.png'"));
    ModeRun run;
    ASSERT_EQ(run.apply(backend).result, WallpaperApplyResult::Shown);
    EXPECT_EQ(run.stored.saved.back().state.file, "'file:///own41.png'");
    ASSERT_TRUE(run.restore(backend));
    EXPECT_EQ(gsettingsGet(old.schema, old.fileKey), QStringLiteral("'file:///own41.png'"));
}

TEST(GsettingsBackend, QuotesTextsForGVariant) {
    EXPECT_EQ(gvariantString(QStringLiteral("a'b\\c")), QStringLiteral("'a\\'b\\\\c'"));
}

// ---------------------------------------------------------------------------
// XFCE

QString xfconf(const QStringList& arguments) {
    return runTool(QStringLiteral("xfconf-query"),
                   QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} << arguments)
        .value_or(QStringLiteral("<absent>"))
        .trimmed();
}

TEST(XfceBackend, EveryMonitorAndWorkspaceIsSetAndGivenBack) {
    ASSERT_TRUE(bus != nullptr && bus->running() && toolExists(QStringLiteral("xfconf-query")))
        << "dbus-daemon or xfconf-query is missing (scripts/install-deps.sh installs dbus and "
           "xfconf)";
    const QString base = QStringLiteral("/backdrop/screen0/monitor%1/workspace%2/");
    // Two monitors with two workspaces each; the last has no placement of its own.
    struct Own {
        QString folder;
        QString image;
        QString style;
    };
    const std::vector<Own> own{
        {base.arg("HDMI-1").arg(0), QStringLiteral("/home/u/a.jpg"), QStringLiteral("5")},
        {base.arg("HDMI-1").arg(1), QStringLiteral("/home/u/b c.jpg"), QStringLiteral("3")},
        {base.arg("eDP-1").arg(0), QStringLiteral("/home/u/d.png"), QStringLiteral("2")},
        {base.arg("eDP-1").arg(1), QStringLiteral("/home/u/e.png"), QString()},
    };
    for (const Own& o : own) {
        xfconf({QStringLiteral("-p"), o.folder + "last-image", QStringLiteral("-n"),
                QStringLiteral("-t"), QStringLiteral("string"), QStringLiteral("-s"), o.image});
        if (!o.style.isEmpty()) {
            xfconf({QStringLiteral("-p"), o.folder + "image-style", QStringLiteral("-n"),
                    QStringLiteral("-t"), QStringLiteral("int"), QStringLiteral("-s"), o.style});
        }
    }
    XfceBackend backend;
    ASSERT_TRUE(backend.available());

    ModeRun run;
    const WallpaperApplied applied = run.apply(backend);
    ASSERT_TRUE(applied.renewal.shown);
    // Each monitor its own picture of its own size, on every workspace.
    const auto shows = [&](char letter) {
        for (const Own& o : own) {
            const bool hdmi = o.folder.contains(QLatin1String("HDMI-1"));
            const std::string name =
                std::string("Wallpaper-") + letter + (hdmi ? "-1" : "-2") + ".jpg";
            EXPECT_EQ(xfconf({QStringLiteral("-p"), o.folder + "last-image"}),
                      QString::fromStdString(run.file(name.c_str()).string()));
            EXPECT_EQ(xfconf({QStringLiteral("-p"), o.folder + "image-style"}),
                      QStringLiteral("5"));
            const ImagePtr image = loadImage(run.file(name.c_str()).string());
            ASSERT_TRUE(image);
            EXPECT_EQ(image->width(), hdmi ? 96 : 64);
            EXPECT_EQ(image->height(), hdmi ? 54 : 48);
        }
    };
    shows('a');
    run.refresh(backend);
    shows('b');
    run.refresh(backend);
    shows('a');

    ASSERT_TRUE(run.restore(backend));
    for (const Own& o : own) {
        EXPECT_EQ(xfconf({QStringLiteral("-p"), o.folder + "last-image"}), o.image);
        EXPECT_EQ(xfconf({QStringLiteral("-p"), o.folder + "image-style"}),
                  o.style.isEmpty() ? QStringLiteral("<absent>") : o.style);
    }
}

TEST(XfceBackend, APropertyThatIsListedButCannotBeReadFailsTheRead) {
    // An xfconf-query that lists a picture and then fails to give it: saving it
    // as absent would delete it when the mode goes off.
    ScratchDir tools;
    const fs::path script = tools.path() / "xfconf-query";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\n"
               "if [ \"$*\" = \"-c xfce4-desktop -l\" ]; then\n"
               "  echo /backdrop/screen0/monitor0/workspace0/last-image\n"
               "  exit 0\n"
               "fi\n"
               "exit 1\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (tools.path().string() + ":" + path).c_str(), 1);
    XfceBackend backend;
    const bool available = backend.available();
    const std::optional<DesktopWallpaperState> state = backend.readState();
    ::setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(available);
    EXPECT_FALSE(state);
}

// ---------------------------------------------------------------------------
// KDE Plasma, through a scripted shell on the private bus

class ScriptedPlasmaShell {
public:
    ScriptedPlasmaShell(const fs::path& folder, const QString& printed) : folder_(folder) {
        process_.start(QStringLiteral(CHRONVALE_FAKE_PLASMASHELL),
                       {QString::fromStdString(folder.string()), printed});
    }
    ~ScriptedPlasmaShell() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    bool ready() {
        // The shell may be on the bus before QProcess has seen it start: wait for
        // that first, or a quick shell would read as not running.
        if (!process_.waitForStarted(30000)) {
            return false;
        }
        QDBusConnectionInterface* names = QDBusConnection::sessionBus().interface();
        return names != nullptr && test::waitFor([&] {
                   return names->isServiceRegistered(QString::fromLatin1(kPlasmaService)).value() ||
                          process_.state() == QProcess::NotRunning;
               }) &&
               process_.state() == QProcess::Running;
    }
    // The scripts given so far, in order.
    std::vector<QString> scripts() const {
        std::vector<QString> all;
        for (int n = 1;; ++n) {
            QFile file(QString::fromStdString(
                (folder_ / ("script-" + std::to_string(n) + ".js")).string()));
            if (!file.open(QIODevice::ReadOnly)) {
                return all;
            }
            all.push_back(QString::fromUtf8(file.readAll()));
        }
    }

private:
    fs::path folder_;
    QProcess process_;
};

TEST(KdeBackend, EveryDesktopShowsTheMapCentredAndGetsItsOwnBack) {
    ASSERT_TRUE(bus != nullptr && bus->running())
        << "dbus-daemon is missing (scripts/install-deps.sh installs dbus)";
    ScratchDir scripts;
    // Two desktops: a picture whose name holds a tab and a line break, and a plain
    // colour of another plugin.
    const QString lake = QStringLiteral("file:///home/u/Pictures/lake\tat\nnight.jpg");
    const QString printed =
        QString::fromUtf8(QJsonDocument(QJsonArray{QJsonArray{"org.kde.image", lake, "2"},
                                                   QJsonArray{"org.kde.color", "", "1"}})
                              .toJson(QJsonDocument::Compact)) +
        QLatin1Char('\n');
    ScriptedPlasmaShell shell(scripts.path(), printed);
    ASSERT_TRUE(shell.ready());
    KdeBackend backend;
    ASSERT_TRUE(backend.available());

    ModeRun run;
    ASSERT_TRUE(run.apply(backend).renewal.shown);
    run.refresh(backend);
    run.refresh(backend);
    ASSERT_TRUE(run.restore(backend));

    const std::vector<QString> given = shell.scripts();
    ASSERT_EQ(given.size(), 5u); // read, show, show, show, restore
    EXPECT_EQ(given[0], plasmaReadScript());
    const char letters[] = {'a', 'b', 'a'};
    for (int i = 0; i < 3; ++i) {
        const std::string first = std::string("Wallpaper-") + letters[i] + "-1.jpg";
        const std::string second = std::string("Wallpaper-") + letters[i] + "-2.jpg";
        EXPECT_EQ(given[static_cast<std::size_t>(i) + 1],
                  plasmaShowScript({uriOf(run.file(first.c_str()).string()),
                                    uriOf(run.file(second.c_str()).string())}));
    }
    EXPECT_TRUE(given[1].contains(QLatin1String("d.writeConfig('FillMode', 2)")));
    EXPECT_TRUE(given[1].contains(QLatin1String("d.wallpaperPlugin = 'org.kde.image'")));

    // The restore script carries exactly what was read.
    const QString restore = given[4];
    const qsizetype start = restore.indexOf(QLatin1String("var saved = ")) + 12;
    const QJsonObject saved =
        QJsonDocument::fromJson(
            restore.mid(start, restore.indexOf(QLatin1Char('\n')) - start - 1).toUtf8())
            .object();
    EXPECT_EQ(saved[QStringLiteral("images")].toArray(), (QJsonArray{lake, QString()}));
    EXPECT_EQ(saved[QStringLiteral("fillModes")].toArray(),
              (QJsonArray{QStringLiteral("2"), QStringLiteral("1")}));
    EXPECT_EQ(saved[QStringLiteral("plugins")].toArray(),
              (QJsonArray{QStringLiteral("org.kde.image"), QStringLiteral("org.kde.color")}));
}

TEST(KdeBackend, AStateSavedAsLinesIsGivenBackToo) {
    // The saved fields of an earlier version: one line per desktop.
    const QString script = plasmaRestoreScript(
        {"file:///a.jpg\nfile:///b.jpg", "2\n6", "org.kde.image\norg.kde.image"});
    EXPECT_TRUE(script.contains(QLatin1String(R"("images":["file:///a.jpg","file:///b.jpg"])")))
        << script.toStdString();
}

TEST(KdeBackend, IsNotAvailableWithoutTheShell) {
    ASSERT_TRUE(bus != nullptr && bus->running())
        << "dbus-daemon is missing (scripts/install-deps.sh installs dbus)";
    EXPECT_FALSE(KdeBackend().available());
    EXPECT_FALSE(KdeBackend().readState());
}

// ---------------------------------------------------------------------------
// The mode's safeguards, over a desktop that does what the test says

TEST(WallpaperMode, TheDesktopChangesOnlyOnceItsOwnStateIsStored) {
    {
        test::FakeDesktop desktop;
        desktop.log().readable = false;
        ModeRun run;
        EXPECT_EQ(run.apply(desktop).result, WallpaperApplyResult::StateUnreadable);
        EXPECT_TRUE(desktop.log().shown.empty());
        EXPECT_TRUE(run.persisted.writes.empty());
        EXPECT_FALSE(run.stored.on);
        EXPECT_FALSE(fs::exists(run.file("Wallpaper-a.jpg")));
    }
    {
        test::FakeDesktop desktop;
        ModeRun run;
        run.persisted.works = false;
        EXPECT_EQ(run.apply(desktop).result, WallpaperApplyResult::NotPersisted);
        EXPECT_TRUE(desktop.log().shown.empty());
        EXPECT_FALSE(run.stored.on);
        EXPECT_TRUE(run.stored.saved.empty());
    }
    {
        // A desktop that can never tell its wallpaper goes on, and says so.
        test::FakeDesktop desktop;
        desktop.log().keepsState = false;
        desktop.log().readable = false;
        ModeRun run;
        const WallpaperApplied applied = run.apply(desktop);
        EXPECT_EQ(applied.result, WallpaperApplyResult::Shown);
        EXPECT_FALSE(applied.stateReadBack);
        EXPECT_EQ(desktop.log().shown.size(), 1u);
        EXPECT_EQ(run.stored.saved.back().backend, "fake");
    }
}

TEST(WallpaperMode, WhatTheDesktopShowsAfterwardsIsReadBack) {
    const struct {
        std::optional<std::vector<std::string>> readsBack;
        bool shown;
    } cases[] = {{std::nullopt, true},
                 {std::vector<std::string>{}, true},
                 {std::vector<std::string>{"/home/u/Pictures/Wallpaper-a.jpg"}, false}};
    for (const auto& c : cases) {
        test::FakeDesktop desktop;
        desktop.log().readsBack = c.readsBack;
        ModeRun run;
        const WallpaperRenewal renewal = run.apply(desktop).renewal;
        EXPECT_EQ(renewal.shown, c.shown);
        EXPECT_EQ(renewal.otherShown, !c.shown);
    }
}

TEST(WallpaperMode, OnlyOurOwnFilesByTheirWholePathAreTakenForTheMap) {
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const std::string ours = (dir.path() / "Wallpaper-b-2.jpg").string();
    const struct {
        DesktopWallpaperState state;
        bool ours;
    } cases[] = {
        {{"'file://" + ours + "'", "'zoom'", ""}, true},
        {{"/backdrop/screen0/monitor0/workspace0/last-image\t" + ours, "", ""}, true},
        {{R"(["file://)" + ours + R"("])", "", ""}, true},
        {{"'file:///home/u/Wallpaper-a.bmp'", "", ""}, false},
        {{"'file://" + folder + "/My-Wallpaper-a.jpg'", "", ""}, false},
        {{"'file://" + ours + ".png'", "", ""}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showsOwnFile(c.state, folder), c.ours) << c.state.file;
    }
}

TEST(WallpaperMode, ARefusedRestoreKeepsTheModeOnToBeTriedAgain) {
    test::FakeDesktop desktop;
    const DesktopWallpaperState own = desktop.log().desktop;
    ModeRun run;
    run.apply(desktop);
    desktop.log().restores = false;
    EXPECT_EQ(restoreWallpaper(desktop, run.stored, run.folder, run.persisted.callback()),
              WallpaperRestoreResult::Refused);
    EXPECT_TRUE(run.stored.on);
    EXPECT_TRUE(fs::exists(run.file("Wallpaper-a.jpg")));
    desktop.log().restores = true;
    run.persisted.works = false;
    EXPECT_EQ(restoreWallpaper(desktop, run.stored, run.folder, run.persisted.callback()),
              WallpaperRestoreResult::NotPersisted);
    EXPECT_TRUE(run.stored.on);
    run.persisted.works = true;
    EXPECT_TRUE(run.restore(desktop));
    EXPECT_FALSE(run.stored.on);
    EXPECT_EQ(desktop.log().restored.back(), own);
}

TEST(WallpaperMode, AStateIsGivenBackOnlyToTheDesktopThatSavedIt) {
    test::FakeDesktop desktop;
    ModeRun run;
    run.stored = {true,
                  {"/backdrop/screen0/monitor0/workspace0/last-image\t/a.jpg", "", ""},
                  "xfce4-desktop"};
    EXPECT_FALSE(savedThrough(run.stored, desktop));
    EXPECT_EQ(restoreWallpaper(desktop, run.stored, run.folder, run.persisted.callback()),
              WallpaperRestoreResult::OtherDesktop);
    EXPECT_TRUE(desktop.log().restored.empty());
    EXPECT_FALSE(run.stored.on);
    EXPECT_EQ(run.stored.saved.back().backend, "xfce4-desktop"); // kept for that desktop
    // A state of a version that did not say who saved it is given back as before.
    run.stored.saved.back().backend.clear();
    EXPECT_TRUE(savedThrough(run.stored, desktop));
}

// ---------------------------------------------------------------------------
// The lock shared by the window and `chronvale --wallpaper`

TEST(WallpaperLock, ALiveOwnersLockIsNeverTakenHoweverOld) {
    ScratchDir dir;
    const WallpaperLock owner(dir.path().string(), 0);
    ASSERT_TRUE(owner.held());
    // Held for two minutes by an owner that still runs (this process): a desktop
    // tool may take that long; the lock is not stale for it.
    fs::last_write_time(dir.path() / kWallpaperLockName,
                        fs::file_time_type::clock::now() - std::chrono::minutes(2));
    const WallpaperLock other(dir.path().string(), 300);
    EXPECT_FALSE(other.held());
}

TEST(WallpaperLock, ALockLeftByAProcessThatIsGoneIsTakenOver) {
    ScratchDir dir;
    // A shell that prints its process id and ends.
    const std::optional<QString> pid =
        runTool(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")});
    ASSERT_TRUE(pid);
    {
        std::ofstream lock(dir.path() / kWallpaperLockName);
        lock << pid->trimmed().toStdString() << "\nsh\n"
             << QSysInfo::machineHostName().toStdString() << "\n";
    }
    const WallpaperLock taker(dir.path().string(), 5000);
    EXPECT_TRUE(taker.held());
}

TEST(CommandBackend, QuotesThePathForSwaymsg) {
    EXPECT_EQ(quotedCommandPath(QStringLiteral(R"(/home/u/a b,c;"d\.bmp)")),
              QStringLiteral(R"("/home/u/a b,c;\"d\\.bmp")"));
}

// ---------------------------------------------------------------------------
// Which back end

TEST(WallpaperBackendChoice, FollowsTheDesktopTheSessionNames) {
    using D = WallpaperDesktop;
    const auto desktops = [](std::string current, std::string session = {}, std::string sway = {},
                             std::string display = {}) {
        return wallpaperDesktops(
            {std::move(current), std::move(session), std::move(sway), std::move(display)});
    };
    EXPECT_EQ(desktops("GNOME"), std::vector{D::Gnome});
    EXPECT_EQ(desktops("ubuntu:GNOME"), std::vector{D::Gnome});
    EXPECT_EQ(desktops("Budgie:GNOME"), std::vector{D::Gnome});
    EXPECT_EQ(desktops("Unity"), std::vector{D::Gnome});
    EXPECT_EQ(desktops("Pantheon"), std::vector{D::Gnome});
    EXPECT_EQ(desktops("X-Cinnamon"), std::vector{D::Cinnamon});
    EXPECT_EQ(desktops("MATE"), std::vector{D::Mate});
    EXPECT_EQ(desktops("KDE"), std::vector{D::Kde});
    EXPECT_EQ(desktops("XFCE"), std::vector{D::Xfce});
    EXPECT_EQ(desktops("LXQt"), std::vector{D::Lxqt});
    EXPECT_EQ(desktops("sway", "", "/run/user/1000/sway-ipc.sock"), std::vector{D::Sway});
    // DESKTOP_SESSION when XDG_CURRENT_DESKTOP says nothing known.
    EXPECT_EQ(desktops("", "plasma"), std::vector{D::Kde});
    EXPECT_EQ(desktops("", "/usr/share/xsessions/xfce"), std::vector{D::Xfce});
    // A plain window manager on X11: feh, else xwallpaper.
    EXPECT_EQ(desktops("i3", "i3", "", ":0"), (std::vector{D::Feh, D::Xwallpaper}));
    EXPECT_TRUE(desktops("", "", "", "").empty());
}

TEST(WallpaperBackendChoice, NamesWhatItLookedForWhenNothingWorks) {
    // Nothing that exists here: the KDE shell is not on the bus (or there is no bus).
    const BackendChoice none = chooseWallpaperBackend({"KDE", "", "", ""});
    EXPECT_FALSE(none.backend);
    ASSERT_EQ(none.lookedFor.size(), 1u);
    EXPECT_EQ(none.lookedFor[0], KdeBackend().name());
    EXPECT_TRUE(chooseWallpaperBackend({}).lookedFor.empty());
}

} // namespace
} // namespace chronvale
