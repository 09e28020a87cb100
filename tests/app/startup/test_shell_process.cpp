// The chronvale executable as the user starts it, on Qt's offscreen platform:
// a second start gives way to the first, a lock left by a crash is taken over,
// and a full start paints the lit map.

#include "desktop/single_instance.h"
#include "support/own_image_server.h"
#include "support/shell_test_support.h"
#include "support/shipped_languages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using namespace std::chrono_literals;

const QString kProgram = QStringLiteral(CHRONVALE_BINARY_DIR "/chronvale");
const QString kData = QStringLiteral(CHRONVALE_SOURCE_DIR "/data");

class ShellProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::shellApplication();
        ASSERT_TRUE(imageServer.ready()) << imageServer.why().toStdString();
        ASSERT_TRUE(runtime.isValid()); // made with 0700, as a runtime folder must be
    }

    // The program with its own runtime folder, drawing off screen, with the
    // environment `env` adds to this process's.
    std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments,
                                    const QProcessEnvironment& added = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        imageServer.configure(env);
        for (const QString& name : added.keys()) {
            env.insert(name, added.value(name));
        }
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, arguments);
        return process;
    }

    static bool finished(QProcess& process) {
        return test::waitFor([&] { return process.state() == QProcess::NotRunning; }, 60s);
    }

    // What the running first copy looks like to the program.
    std::unique_ptr<SingleInstance> firstCopy(const QString& executable = kProgram) {
        auto first = std::make_unique<SingleInstance>(SingleInstance::defaultName(), runtime.path(),
                                                      executable);
        EXPECT_EQ(first->claim(), SingleInstance::Role::First);
        QObject::connect(first.get(), &SingleInstance::raiseRequested, [this] { ++raised; });
        return first;
    }

    test::OwnImageServer imageServer;
    QTemporaryDir runtime;
    int raised = 0;
};

TEST_F(ShellProcessTest, ASecondStartAsksTheFirstToComeForwardAndExitsWithZero) {
    const auto first = firstCopy();
    const auto second = start(kProgram, {QStringLiteral("--data"), kData});
    ASSERT_TRUE(finished(*second));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(raised, 1);
}

TEST_F(ShellProcessTest, AStartFromAnotherPathExitsWithZeroWithoutRaising) {
    QTemporaryDir elsewhere;
    // A copy of the program with its window module, as another installation has.
    const QString copy = elsewhere.filePath(QStringLiteral("chronvale"));
    ASSERT_TRUE(QFile::copy(kProgram, copy));
    ASSERT_TRUE(
        QFile::copy(QFileInfo(kProgram).dir().filePath(QStringLiteral("chronvale-window.so")),
                    elsewhere.filePath(QStringLiteral("chronvale-window.so"))));
    const auto first = firstCopy();
    const auto other = start(copy, {QStringLiteral("--data"), kData});
    ASSERT_TRUE(finished(*other));
    EXPECT_EQ(other->exitCode(), 0);
    EXPECT_EQ(raised, 0);
}

TEST_F(ShellProcessTest, TheLockOfACrashedCopyIsTakenOver) {
    const auto running = start(kProgram, {QStringLiteral("--data"), kData});
    // Once the program answers a second start, it holds the lock and listens.
    SingleInstance probe(SingleInstance::defaultName(), runtime.path(), kProgram);
    ASSERT_TRUE(test::waitFor([&] { return QFile::exists(probe.lockPath()); }, 60s));
    ASSERT_EQ(probe.claim(), SingleInstance::Role::Second);
    ASSERT_EQ(probe.askFirstToRaise(60s), std::optional<bool>(true));

    running->kill(); // SIGKILL: nothing is cleaned up
    ASSERT_TRUE(finished(*running));
    ASSERT_TRUE(QFile::exists(probe.lockPath()));

    SingleInstance next(SingleInstance::defaultName(), runtime.path(), kProgram);
    EXPECT_EQ(next.claim(), SingleInstance::Role::First);
}

TEST_F(ShellProcessTest, AFullStartPaintsTheLitMap) {
    QTemporaryDir out;
    const QString shot = out.filePath(QStringLiteral("window.png"));
    const auto program =
        start(kProgram, {QStringLiteral("--data"), kData, QStringLiteral("--screenshot"), shot});
    ASSERT_TRUE(finished(*program));
    EXPECT_EQ(program->exitCode(), 0);
    // Start-up says nothing on standard output (the screenshot's line goes to
    // standard error).
    EXPECT_EQ(program->readAllStandardOutput().toStdString(), "");
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 320);
    EXPECT_GE(image.height(), 250);
    // The day map is painted in the middle of the window: not one flat colour.
    const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
    bool varied = false;
    for (int x = image.width() / 4; x < image.width() * 3 / 4 && !varied; x += 7) {
        varied = image.pixel(x, image.height() / 2) != centre;
    }
    EXPECT_TRUE(varied);
    // The program ran as the only copy and let the lock go.
    SingleInstance next(SingleInstance::defaultName(), runtime.path(), kProgram);
    EXPECT_EQ(next.claim(), SingleInstance::Role::First);
}

TEST_F(ShellProcessTest, AStartUnderEachLocaleTakesItsLanguage) {
    // One locale per shipped language file.
    const std::pair<const char*, const char*> locales[] = {
        {"de_DE.UTF-8", "DE"}, {"fr_FR.UTF-8", "FR"}, {"cs_CZ.UTF-8", "CZ"}, {"el_GR.UTF-8", "GR"},
        {"zh_CN.UTF-8", "CN"}, {"zh_TW.UTF-8", "B5"}, {"ar_JO.UTF-8", "JO"}, {"pt_BR.UTF-8", "PT"},
        {"es_ES.UTF-8", "SP"}, {"sv_SE.UTF-8", "SE"}, {"ja_JP.UTF-8", "JP"}, {"ko_KR.UTF-8", "KR"},
        {"it_IT.UTF-8", "IT"}, {"nl_NL.UTF-8", "NL"},
    };
    const std::vector<std::string> codes = test::shippedLanguageCodes();
    int started = 0;
    for (const auto& [locale, code] : locales) {
        const QString lower = QString::fromLatin1(code).toLower();
        if (std::find(codes.begin(), codes.end(), lower.toStdString()) == codes.end()) {
            continue; // its file is not shipped (yet)
        }
        SCOPED_TRACE(locale);
        // A user who never chose a language, with a home of their own.
        QTemporaryDir home;
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
        for (const char* other : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LC_CTYPE"}) {
            env.insert(QString::fromLatin1(other), QString());
        }
        const auto program = start(kProgram,
                                   {QStringLiteral("--data"), kData, QStringLiteral("--screenshot"),
                                    home.filePath(QStringLiteral("window.png"))},
                                   env);
        ASSERT_TRUE(finished(*program));
        EXPECT_EQ(program->exitCode(), 0);
        ++started;
        // The language it started in is stored as the user's choice; its file
        // is the one the build packed.
        QSettings common(home.filePath(QStringLiteral(".config/QUILLMAR/Common.ini")),
                         QSettings::IniFormat);
        EXPECT_EQ(common.value(QStringLiteral("lang")).toString(), QString::fromLatin1(code));
        EXPECT_TRUE(
            QFileInfo::exists(QStringLiteral(CHRONVALE_BINARY_DIR "/lang/lang_%1.dat").arg(lower)));
    }
    EXPECT_GE(started, 8);
}

} // namespace
} // namespace chronvale
