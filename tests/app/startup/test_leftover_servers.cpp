// The window program as the process tests start it leaves no server behind: its
// image server is the test's own (support/own_image_server.h), so it starts no
// chronvale-imaged of its own that would stay on 127.0.0.1:8470 and pull from the
// internet after the test. This process adopts whatever the program leaves
// running (support/adopted_processes.h), so a stray is seen and ended here; every
// process test of this program is checked so at its end.

#include "net/link_config.h"
#include "support/adopted_processes.h"
#include "support/environment.h"
#include "support/own_image_server.h"
#include "support/shell_test_support.h"

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <ostream>

namespace chronvale {
namespace {

using namespace std::chrono_literals;

const QString kProgram = QStringLiteral(CHRONVALE_BINARY_DIR "/chronvale");
const QString kData = QStringLiteral(CHRONVALE_SOURCE_DIR "/data");

// Every test of this program is checked for what it leaves running.
[[maybe_unused]] const bool checked = test::checkForStraysAtTheEnd();

struct EndCase {
    const char* name;
    QStringList arguments; // after --data
    bool sigterm;          // ended by SIGTERM once it has asked its server
};

void PrintTo(const EndCase& c, std::ostream* out) {
    *out << c.name;
}

class LeftoverServerTest : public ::testing::TestWithParam<EndCase> {
protected:
    void SetUp() override {
        test::shellApplication();
        ASSERT_TRUE(own.ready()) << own.why().toStdString();
        ASSERT_TRUE(adopted.adopting());
    }

    test::OwnImageServer own;
    test::AdoptedProcesses adopted;
    QTemporaryDir home;
};

TEST_P(LeftoverServerTest, TheProgramAsksTheTestsServerAndLeavesNothingRunning) {
    const EndCase& c = GetParam();
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    own.configure(env);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(home.path()); // where the screenshot goes
    program.start(kProgram, QStringList{QStringLiteral("--data"), kData} + c.arguments);
    ASSERT_TRUE(program.waitForStarted(60000));

    // The first fetches go to the test's server: it is the one configured.
    EXPECT_TRUE(own.server().waitForLog(QStringLiteral(" GET /"), 1, 60000))
        << own.server().log().toStdString();
    if (c.sigterm) {
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    }
    ASSERT_TRUE(test::waitFor([&] { return program.state() == QProcess::NotRunning; }, 60s));
    EXPECT_EQ(program.exitCode(), 0);

    // Nothing but the test's own server is left of what the test started.
    const auto strays = adopted.strays({static_cast<pid_t>(own.pid())});
    EXPECT_TRUE(strays.empty()) << test::describe(strays);
    test::AdoptedProcesses::end(strays);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, LeftoverServerTest,
    ::testing::Values(EndCase{"Screenshot",
                              {QStringLiteral("--screenshot"), QStringLiteral("window.png")},
                              false},
                      EndCase{"Sigterm", {QStringLiteral("--minimized")}, true}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return info.param.name; });

// The override the test's server writes is the one the program reads: the
// installation's server and every mirror source become the loopback server.
TEST(OwnImageServer, ItsOverrideReplacesTheInstallationsServerAndSources) {
    test::OwnImageServer own;
    ASSERT_TRUE(own.ready()) << own.why().toStdString();
    const test::ScopedVariable dirs("XDG_CONFIG_DIRS", own.configFolder().toStdString());
    const LinkConfig config = loadLinkConfig(kData + QStringLiteral("/chronvale.ini"));
    const std::string upstream = "http://" + own.host() + "/";
    const struct {
        const char* key;
        bool loopback; // else empty
    } cases[] = {{"Mirror/clouds1", true}, {"Mirror/clouds2", false}, {"Mirror/quakes1", true}};
    EXPECT_EQ(config.imageServer(), own.host());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string value = config.value(c.key).value_or("<absent>");
        if (c.loopback) {
            EXPECT_TRUE(value.starts_with(upstream)) << value;
        } else {
            EXPECT_EQ(value, "");
        }
    }
}

} // namespace
} // namespace chronvale
