// The chronvale executable ended by SIGTERM, as a session's end ends it: the
// session's changes (the first start's marks and shadow, the Grid turned on) are
// on disk, and the next start shows them instead of the first-start values.

#include "support/own_image_server.h"
#include "support/shell_test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using namespace std::chrono_literals;

const QString kProgram = QStringLiteral(CHRONVALE_BINARY_DIR "/chronvale");
const QString kData = QStringLiteral(CHRONVALE_SOURCE_DIR "/data");
const QString kGrid = QStringLiteral("40018");

class SessionProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::shellApplication();
        ASSERT_TRUE(imageServer.ready()) << imageServer.why().toStdString();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(data.isValid());
        // The installed data, with first-start values that fetch nothing.
        const QDir installed(kData);
        for (const QString& name :
             installed.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (name != QStringLiteral("chronvale.ini")) {
                ASSERT_TRUE(QFile::link(installed.filePath(name), data.filePath(name)));
            }
        }
        QFile ini(installed.filePath(QStringLiteral("chronvale.ini")));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        QByteArray text = ini.readAll();
        text.replace("quakes=1", "quakes=0");
        QFile copy(data.filePath(QStringLiteral("chronvale.ini")));
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write(text);
    }

    // The program on the user's own home, drawing off screen.
    std::unique_ptr<QProcess> start(const QStringList& extra) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        imageServer.configure(env);
        process->setProcessEnvironment(env);
        process->start(kProgram, QStringList{QStringLiteral("--data"), data.path()} + extra);
        return process;
    }

    static bool finished(QProcess& process) {
        return test::waitFor([&] { return process.state() == QProcess::NotRunning; }, 60s);
    }

    // Waits for a line of standard error that holds `text`.
    static bool said(QProcess& process, const char* text, QByteArray& errors) {
        return test::waitFor(
                   [&] {
                       errors += process.readAllStandardError();
                       return errors.contains(text) || process.state() == QProcess::NotRunning;
                   },
                   60s) &&
               errors.contains(text);
    }

    QString settingsValue(const char* key) const {
        QSettings stored(home.filePath(QStringLiteral(".config/QUILLMAR/Chronvale.ini")),
                         QSettings::IniFormat);
        return stored.value(QString::fromLatin1(key)).toString();
    }

    // The "M=" lines of config.ini.
    QStringList marks() const {
        QDirIterator found(home.path(), {QStringLiteral("config.ini")}, QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        if (!found.hasNext()) {
            return {};
        }
        QFile file(found.next());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("M=")) {
                lines << QString::fromUtf8(line);
            }
        }
        return lines;
    }

    test::OwnImageServer imageServer;
    QTemporaryDir home;
    QTemporaryDir data;
};

TEST_F(SessionProcessTest, SigtermKeepsTheFirstSessionsMarksAndTheGrid) {
    // A first session: the first map is painted, the Grid turned on, and then
    // the session ends long before the screenshot would be taken.
    const auto first =
        start({QStringLiteral("--screenshot"), home.filePath(QStringLiteral("a.png")),
               QStringLiteral("--screenshot-delay"), QStringLiteral("300"),
               QStringLiteral("--screenshot-command"), kGrid});
    QByteArray errors;
    ASSERT_TRUE(said(*first, "first lit map painted", errors)) << errors.toStdString();
    // The Grid command runs once the first transfers are over, which may be after
    // the first map: the signal is sent once the window has taken it (its save
    // after the change says so).
    QElapsedTimer waited;
    waited.start();
    while (settingsValue("grid") != QStringLiteral("1") && waited.elapsed() < 20000) {
        first->waitForReadyRead(100);
    }
    ASSERT_EQ(::kill(static_cast<pid_t>(first->processId()), SIGTERM), 0);
    ASSERT_TRUE(finished(*first));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("a.png"))));

    // Saved whole: the first-start values in force, the Grid on, ten marks.
    EXPECT_EQ(settingsValue("shadow"), QStringLiteral("1"));
    EXPECT_EQ(settingsValue("track"), QStringLiteral("40"));
    EXPECT_EQ(settingsValue("grid"), QStringLiteral("1"));
    EXPECT_EQ(settingsValue("zoom").isEmpty(), false);
    const QStringList saved = marks();
    EXPECT_EQ(saved.size(), 10);
    EXPECT_TRUE(saved.indexOf(QRegularExpression(QStringLiteral("^M=London\\b.*,0$"))) >= 0)
        << saved.join(QLatin1Char('|')).toStdString();

    // The next start takes them (not the first-start values, whose grid is off)
    // and keeps them when it quits.
    const auto second =
        start({QStringLiteral("--screenshot"), home.filePath(QStringLiteral("b.png"))});
    ASSERT_TRUE(finished(*second));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(QFile::exists(home.filePath(QStringLiteral("b.png"))));
    EXPECT_EQ(settingsValue("grid"), QStringLiteral("1"));
    EXPECT_EQ(settingsValue("shadow"), QStringLiteral("1"));
    EXPECT_EQ(marks(), saved);
}

TEST_F(SessionProcessTest, SigtermBeforeTheFirstMapLeavesTheFirstStartValuesInForce) {
    // Ended while still starting, before any save ran or after one: either way
    // the next start shows the shadow and the marks of a first start.
    const auto first = start({QStringLiteral("--minimized")});
    ASSERT_TRUE(test::waitFor(
        [&] {
            return QFile::exists(home.filePath(QStringLiteral(".config/QUILLMAR/Chronvale.ini")));
        },
        60s));
    ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
    ASSERT_TRUE(finished(*first));

    const auto second =
        start({QStringLiteral("--screenshot"), home.filePath(QStringLiteral("b.png"))});
    ASSERT_TRUE(finished(*second));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(settingsValue("shadow"), QStringLiteral("1"));
    EXPECT_EQ(settingsValue("track"), QStringLiteral("40"));
    EXPECT_EQ(marks().size(), 10);
}

} // namespace
} // namespace chronvale
