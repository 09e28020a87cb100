// The window program under Wayland: a headless weston as the compositor, Qt's
// Wayland platform forced. It runs without a word on standard error, a second
// start hands over to the first and exits with 0, and a forced platform whose
// plugin is missing ends with one line and exit code 1 instead of an abort.

#include "app/startup/platform_check.h"
#include "desktop/single_instance.h"
#include "support/headless_weston.h"
#include "support/own_image_server.h"
#include "support/shell_test_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using namespace std::chrono_literals;

const QString kProgram = QStringLiteral(CHRONVALE_BINARY_DIR "/chronvale");
const QString kData = QStringLiteral(CHRONVALE_SOURCE_DIR "/data");

// The lines of standard error that are not the program's own reports.
QStringList foreignLines(const QByteArray& errors) {
    QStringList lines;
    for (const QString& line : QString::fromLocal8Bit(errors).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QStringLiteral("chronvale: "))) {
            lines << line;
        }
    }
    return lines;
}

class WaylandProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::shellApplication();
        ASSERT_TRUE(weston.running()) << "weston (scripts/install-deps.sh): " << weston.log();
        ASSERT_TRUE(imageServer.ready()) << imageServer.why().toStdString();
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromStdString(weston.display()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        env.remove(QStringLiteral("DISPLAY"));
        imageServer.configure(env);
        process->setProcessEnvironment(env);
        process->start(kProgram, arguments);
        return process;
    }

    QString runtime() const { return QString::fromStdString(weston.runtimeFolder()); }

    static bool finished(QProcess& process) {
        return test::waitFor([&] { return process.state() == QProcess::NotRunning; }, 60s);
    }

    test::HeadlessWeston weston;
    test::OwnImageServer imageServer;
};

TEST_F(WaylandProcessTest, TheWindowPaintsTheMapWithoutAWarning) {
    QTemporaryDir out;
    const QString shot = out.filePath(QStringLiteral("window.png"));
    const auto program =
        start({QStringLiteral("--data"), kData, QStringLiteral("--screenshot"), shot});
    ASSERT_TRUE(finished(*program));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_EQ(foreignLines(program->readAllStandardError()), QStringList());
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 320);
}

TEST_F(WaylandProcessTest, ASecondStartHandsOverToTheFirstAndExitsWithZero) {
    const auto first = start({QStringLiteral("--data"), kData});
    SingleInstance probe(SingleInstance::defaultName(), runtime(), kProgram);
    ASSERT_TRUE(test::waitFor([&] { return QFile::exists(probe.lockPath()); }, 60s))
        << first->readAllStandardError().toStdString();

    const auto second = start({QStringLiteral("--data"), kData});
    ASSERT_TRUE(finished(*second));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(foreignLines(second->readAllStandardError()), QStringList());
    // The first is still the running copy: it answered and raised its window.
    EXPECT_EQ(first->state(), QProcess::Running);
    ASSERT_EQ(probe.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(probe.askFirstToRaise(60s), std::optional<bool>(true));

    first->terminate();
    ASSERT_TRUE(finished(*first));
    EXPECT_EQ(foreignLines(first->readAllStandardError()), QStringList());
}

struct MissingCase {
    const char* platform; // QT_QPA_PLATFORM
    const char* named;    // the plugin the line names
};

class MissingPlatformTest : public ::testing::TestWithParam<MissingCase> {
protected:
    void SetUp() override { test::shellApplication(); }
};

TEST_P(MissingPlatformTest, SaysSoInOneLineAndExitsWithOne) {
    const MissingCase& c = GetParam();
    QTemporaryDir empty;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(c.platform));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), empty.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH"), empty.path());
    program.setProcessEnvironment(env);
    program.start(kProgram, {QStringLiteral("--data"), kData});
    ASSERT_TRUE(test::waitFor([&] { return program.state() == QProcess::NotRunning; }, 60s));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit); // no abort
    EXPECT_EQ(program.exitCode(), 1);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(errors.count(QLatin1Char('\n')), 1) << errors.toStdString();
    EXPECT_TRUE(errors.startsWith(
        QStringLiteral("chronvale: Qt's platform plugin \"%1\"").arg(QLatin1String(c.named))))
        << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Forced, MissingPlatformTest,
                         ::testing::Values(MissingCase{"nosuchplatform", "nosuchplatform"},
                                           MissingCase{"nosuchplatform;alsonone:option",
                                                       "nosuchplatform"}));

// Where Qt looks for a platform's plugin, with folders made for the case.
struct PresenceCase {
    QStringList files; // in the one folder
    const char* name;  // asked for
    bool present;
};

class PluginPresenceTest : public ::testing::TestWithParam<PresenceCase> {};

TEST_P(PluginPresenceTest, FindsTheNameOrAVariantOfIt) {
    const PresenceCase& c = GetParam();
    QTemporaryDir folder;
    for (const QString& file : c.files) {
        QFile made(folder.filePath(file));
        ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    }
    const QStringList folders{QStringLiteral("/nonexistent"), folder.path()};
    EXPECT_EQ(platformPluginPresent(QString::fromLatin1(c.name), folders), c.present);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PluginPresenceTest,
    ::testing::Values(PresenceCase{{"libqwayland-generic.so"}, "wayland", true},
                      PresenceCase{{"libqwayland-egl.so"}, "wayland-egl", true},
                      PresenceCase{{"libqxcb.so", "libqoffscreen.so"}, "wayland", false},
                      PresenceCase{{"libqwayland-generic.so.debug"}, "wayland", false},
                      PresenceCase{{"libqwaylandish.so"}, "wayland", false},
                      PresenceCase{{"libqxcb.so"}, "xcb", true}, PresenceCase{{}, "xcb", false}));

TEST(ForcedPlatforms, NamesInOrderWithoutTheirOptions) {
    EXPECT_EQ(forcedPlatforms(QStringLiteral("wayland:option=1; offscreen")),
              (QStringList{QStringLiteral("wayland"), QStringLiteral("offscreen")}));
    EXPECT_EQ(forcedPlatforms(QStringLiteral("wayland;;xcb")),
              (QStringList{QStringLiteral("wayland"), QStringLiteral("xcb")}));
    EXPECT_EQ(forcedPlatforms(QString()), QStringList());
    // A forced list whose later name is there lets Qt start.
    EXPECT_EQ(missingPlatform({QStringLiteral("none"), QStringLiteral("offscreen")},
                              platformPluginFolders(QString())),
              std::nullopt);
}

} // namespace
} // namespace chronvale
