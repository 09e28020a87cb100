// The launcher of the image server: it starts the server once when nothing
// answers on this computer's configured port, never when something does, never
// for another computer, and two launchers at once start one server.

#include "desktop/image_server_launcher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <csignal>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace chronvale {
namespace {

// A loopback socket on a free port; listening when asked.
struct LoopbackPort {
    explicit LoopbackPort(bool listen) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        if (listen) {
            ::listen(fd, 4);
        } else {
            ::close(fd); // free again: nothing answers there
            fd = -1;
        }
    }
    ~LoopbackPort() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    std::string server() const { return "127.0.0.1:" + std::to_string(port); }
    int fd = -1;
    int port = 0;
};

// Runs the event loop until `done` (bounded).
bool waitUntil(const bool& done, int timeoutMs = 15000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done;
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A stand-in for chronvale-imaged: counts its starts, then serves the
        // port it is given, as the real server does.
        script = dir.filePath("imaged");
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral("#!/bin/sh\necho \"$@\" >> '%1'\nexec '%2' --folder '%3' \"$@\"\n")
                .arg(dir.filePath("starts"),
                     QStringLiteral(CHRONVALE_BINARY_DIR "/chronvale-imaged"),
                     dir.filePath("frames"))
                .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        for (const qint64 pid : started) {
            ::kill(static_cast<pid_t>(pid), SIGTERM);
        }
    }

    ImageServerLauncher::Settings settings() const {
        ImageServerLauncher::Settings s;
        s.program = script;
        s.arguments = {"--mirror",
                       "--clouds-url",
                       "http://127.0.0.1:1/none",
                       "--quakes-url",
                       "http://127.0.0.1:1/none",
                       "--retry-after",
                       "3600"};
        s.lockPath = dir.filePath("lock");
        s.logPath = dir.filePath("log");
        s.answerTimeoutMs = 15000;
        s.pollMs = 20;
        return s;
    }

    QStringList starts() const {
        QFile file(dir.filePath("starts"));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString script;
    std::vector<qint64> started;
};

TEST_F(Launcher, StartsTheServerOnceWhenNothingAnswers) {
    const LoopbackPort free(false);
    ImageServerLauncher first(settings());
    bool ready = false;
    QObject::connect(&first, &ImageServerLauncher::ready, [&ready] { ready = true; });
    ASSERT_EQ(first.ensureRunning(free.server()), ImageServerLauncher::Outcome::Starting)
        << first.error().toStdString();
    started.push_back(first.startedPid());

    // The wallpaper timer asks while the window's server is still starting.
    ImageServerLauncher second(settings());
    bool secondReady = false;
    QObject::connect(&second, &ImageServerLauncher::ready, [&secondReady] { secondReady = true; });
    const auto outcome = second.ensureRunning(free.server());
    EXPECT_TRUE(outcome == ImageServerLauncher::Outcome::Waiting ||
                outcome == ImageServerLauncher::Outcome::Answering);

    ASSERT_TRUE(waitUntil(ready)) << first.error().toStdString();
    EXPECT_TRUE(answersOnLoopback(free.server()));
    if (outcome == ImageServerLauncher::Outcome::Waiting) {
        EXPECT_TRUE(waitUntil(secondReady));
    }
    // And later: it answers, nothing more is started.
    ImageServerLauncher third(settings());
    EXPECT_EQ(third.ensureRunning(free.server()), ImageServerLauncher::Outcome::Answering);
    EXPECT_TRUE(third.ensureRunningAndWait(free.server()));
    ASSERT_EQ(starts().size(), 1);
    EXPECT_TRUE(starts()[0].endsWith(QStringLiteral("--bind 127.0.0.1 --port %1").arg(free.port)))
        << starts()[0].toStdString();
}

TEST_F(Launcher, StartsNothingWhenSomethingAnswersOrTheServerIsElsewhere) {
    const LoopbackPort listening(true);
    struct Case {
        std::string server;
        ImageServerLauncher::Outcome outcome;
    };
    for (const Case& c :
         {Case{listening.server(), ImageServerLauncher::Outcome::Answering},
          Case{"localhost:" + std::to_string(listening.port),
               ImageServerLauncher::Outcome::Answering},
          Case{"images.example.com:8470", ImageServerLauncher::Outcome::NotThisComputer},
          Case{"10.1.2.3:8470", ImageServerLauncher::Outcome::NotThisComputer}}) {
        ImageServerLauncher launcher(settings());
        EXPECT_EQ(launcher.ensureRunning(c.server), c.outcome) << c.server;
    }
    EXPECT_TRUE(starts().isEmpty());
}

TEST_F(Launcher, AMissingProgramIsSaidPlainly) {
    const LoopbackPort free(false);
    ImageServerLauncher::Settings s = settings();
    s.program = dir.filePath("no-such-program");
    ImageServerLauncher launcher(s);
    EXPECT_EQ(launcher.ensureRunning(free.server()), ImageServerLauncher::Outcome::Failed);
    EXPECT_TRUE(launcher.error().contains("chronvale-imaged is not installed"));
    EXPECT_FALSE(launcher.ensureRunningAndWait(free.server()));
}

TEST(ThisComputer, TellsLoopbackNamesFromOthers) {
    for (const char* local : {"127.0.0.1:8470", "localhost:8470", "127.0.0.1", "[::1]:8470",
                              "localhost", "127.1.2.3:80"}) {
        EXPECT_TRUE(isThisComputer(local)) << local;
    }
    for (const char* other :
         {"example.com:8470", "10.0.0.1:8470", "localhost.example:1", "", "128.0.0.1:8470"}) {
        EXPECT_FALSE(isThisComputer(other)) << other;
    }
}

} // namespace
} // namespace chronvale
