// What keeps the session's choices and the lit map true outside the menus: the
// quit signals reach the event loop, a change is saved a short while later, a
// signal saves the window visible or hidden in the tray, and a jump of the wall
// clock renews the lit map.

#include "app/mainwindow/clock_jump.h"
#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/debounced_saver.h"
#include "app/mainwindow/session_life.h"
#include "app/startup/quit_signals.h"
#include "config/program_settings.h"
#include "window_test_support.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <memory>

namespace chronvale {
namespace {

using namespace std::chrono_literals;
using test::waitFor;

// A save timer the test fires by hand.
class HandTimer : public SaveTimer {
public:
    struct State {
        bool active = false;
        int ms = 0;
        std::function<void()> fired;
        void fire() {
            if (active) {
                active = false;
                fired();
            }
        }
    };
    explicit HandTimer(std::shared_ptr<State> state) : state_(std::move(state)) {}
    void start(int ms, std::function<void()> fired) override {
        *state_ = State{true, ms, std::move(fired)};
    }
    void stop() override { state_->active = false; }
    bool active() const override { return state_->active; }

private:
    std::shared_ptr<State> state_;
};

// ---------------------------------------------------------------------------
// The debounce

struct DebounceCase {
    const char* name;
    const char* steps; // c: a change, f: the timer fires, F: flush, x: cancel
    int saves;
    bool pendingAfter;
};

class DebounceTest : public ::testing::TestWithParam<DebounceCase> {};

TEST_P(DebounceTest, SavesOnceAfterTheLastChange) {
    const DebounceCase& c = GetParam();
    auto timer = std::make_shared<HandTimer::State>();
    int saves = 0;
    DebouncedSaver saver([&] { ++saves; }, std::make_unique<HandTimer>(timer));
    for (const char* step = c.steps; *step != '\0'; ++step) {
        switch (*step) {
        case 'c':
            saver.changed();
            break;
        case 'f':
            timer->fire();
            break;
        case 'F':
            saver.flush();
            break;
        case 'x':
            saver.cancel();
            break;
        }
    }
    EXPECT_EQ(saves, c.saves);
    EXPECT_EQ(saver.pending(), c.pendingAfter);
    if (c.pendingAfter) {
        EXPECT_EQ(timer->ms, DebouncedSaver::DelayMs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DebounceTest,
    ::testing::Values(DebounceCase{"nothing", "", 0, false},
                      DebounceCase{"oneChangeWaits", "c", 0, true},
                      DebounceCase{"aBurstSavesOnce", "cccf", 1, false},
                      DebounceCase{"twoBurstsSaveTwice", "ccfcf", 2, false},
                      DebounceCase{"aFireWithoutAChangeSavesNothing", "cff", 1, false},
                      DebounceCase{"flushSavesAWaitingChange", "cF", 1, false},
                      DebounceCase{"flushWithoutAChangeSavesNothing", "F", 0, false},
                      DebounceCase{"cancelDropsTheWait", "cxf", 0, false},
                      DebounceCase{"aChangeAfterCancelWaitsAgain", "cxc", 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The clock jump

struct JumpCase {
    const char* name;
    std::int64_t wallStep;
    std::int64_t monotonicStep;
    bool jump;
};

class ClockJumpTest : public ::testing::TestWithParam<JumpCase> {};

TEST_P(ClockJumpTest, ComparesTheWallClockWithTheMonotonicOne) {
    const JumpCase& c = GetParam();
    std::int64_t wall = 1'765'000'000'000;
    std::int64_t monotonic = 5'000;
    ClockJumpWatcher watcher(Clocks{[&] { return wall; }, [&] { return monotonic; }});
    wall += c.wallStep;
    monotonic += c.monotonicStep;
    EXPECT_EQ(watcher.check(), c.jump);
    // The next comparison starts from here.
    wall += 1000;
    monotonic += 1000;
    EXPECT_FALSE(watcher.check());
}

INSTANTIATE_TEST_SUITE_P(Steps, ClockJumpTest,
                         ::testing::Values(JumpCase{"aSecondTick", 1000, 1000, false},
                                           JumpCase{"aSlowTick", 90'000, 1000, false},
                                           JumpCase{"justUnderTwoMinutes", 121'000, 1000, false},
                                           JumpCase{"justOverTwoMinutes", 121'001, 1000, true},
                                           JumpCase{"aNightAsleep", 8 * 3'600'000, 1000, true},
                                           JumpCase{"setBackAnHour", -3'600'000, 1000, true},
                                           JumpCase{"setBackAMinute", -60'000, 1000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The quit signals

class QuitSignalsTest : public ::testing::TestWithParam<int> {};

TEST_P(QuitSignalsTest, ArriveOnTheEventLoop) {
    test::windowApplication();
    QuitSignals quit;
    ASSERT_TRUE(quit.installed());
    QuitSignals second; // one owner per process
    EXPECT_FALSE(second.installed());
    std::vector<int> seen;
    QObject::connect(&quit, &QuitSignals::quitRequested, [&](int n) { seen.push_back(n); });
    ASSERT_EQ(::raise(GetParam()), 0);
    EXPECT_TRUE(seen.empty()); // not from inside the handler
    ASSERT_TRUE(waitFor([&] { return !seen.empty(); }, 10s));
    EXPECT_EQ(seen, std::vector<int>{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Each, QuitSignalsTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

// ---------------------------------------------------------------------------
// The window

class SessionLifeTest : public test::WindowTest {
protected:
    void TearDown() override {
        life.reset(); // before the window it watches
        WindowTest::TearDown();
    }

    void startLife(std::optional<Clocks> clocks = std::nullopt) {
        life = std::make_unique<SessionLife>(
            *window, *world, SessionLife::Options{clocks, std::make_unique<HandTimer>(timer)});
        QObject::connect(window.get(), &MainWindow::mapComposed, [this] { ++composed; });
    }

    // The marks and the grid as the next start reads them.
    std::pair<std::vector<std::string>, bool> nextStart() {
        life.reset();
        window.reset();
        world.reset();
        World next(Folders{dataFolder, userFolder.path(), false}, messages);
        EXPECT_FALSE(next.firstStart);
        std::vector<std::string> marked;
        for (const CityRecord& city : next.tables().cities) {
            if (city.marked) {
                marked.push_back(city.name);
            }
        }
        return {marked, next.settings.switches.grid};
    }

    std::size_t someCity() const {
        const CityList& cities = world->tables().cities;
        EXPECT_GT(cities.size(), 100u);
        return 100;
    }

    std::shared_ptr<HandTimer::State> timer = std::make_shared<HandTimer::State>();
    std::unique_ptr<SessionLife> life;
    int composed = 0;
};

struct ShutdownCase {
    const char* name;
    int signal;
    bool hidden; // in the tray
};

class SessionShutdownTest : public SessionLifeTest,
                            public ::testing::WithParamInterface<ShutdownCase> {};

TEST_P(SessionShutdownTest, ASignalKeepsTheNewMarkAndSwitch) {
    start();
    startLife();
    const std::size_t city = someCity();
    const std::string name = world->tables().cities[city].name;
    world->markCity(city, true);
    window->runCommand(cmd::Grid);
    ASSERT_TRUE(settings().switches.grid);
    if (GetParam().hidden) {
        window->hide();
    }
    bool closed = false;
    QObject::connect(window.get(), &MainWindow::closed, [&] { closed = true; });
    ASSERT_EQ(::raise(GetParam().signal), 0);
    ASSERT_TRUE(waitFor([&] { return closed; }, 10s));
    EXPECT_FALSE(timer->active); // the close saved; nothing waits
    const auto [marked, grid] = nextStart();
    EXPECT_EQ(marked, std::vector<std::string>{name});
    EXPECT_TRUE(grid);
}

INSTANTIATE_TEST_SUITE_P(Ways, SessionShutdownTest,
                         ::testing::Values(ShutdownCase{"termVisible", SIGTERM, false},
                                           ShutdownCase{"termInTheTray", SIGTERM, true},
                                           ShutdownCase{"interrupt", SIGINT, false},
                                           ShutdownCase{"hangUpInTheTray", SIGHUP, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionLifeTest, AChangeIsOnDiskOnceTheDebounceIsOver) {
    start();
    startLife();
    const std::size_t city = someCity();
    world->markCity(city, true);
    ASSERT_TRUE(timer->active);
    EXPECT_EQ(timer->ms, DebouncedSaver::DelayMs);
    QFile config(QDir(userFolder.path()).filePath(QStringLiteral("config.ini")));
    const auto configText = [&] {
        if (!config.open(QIODevice::ReadOnly)) {
            return QByteArray(); // not written yet
        }
        const QByteArray text = config.readAll();
        config.close();
        return text;
    };
    const QByteArray mark = QByteArray::fromStdString("M=" + world->tables().cities[city].name);
    EXPECT_FALSE(configText().contains(mark));
    timer->fire();
    EXPECT_TRUE(configText().contains(mark));

    window->runCommand(cmd::Grid);
    ASSERT_TRUE(timer->active);
    timer->fire();
    EXPECT_EQ(openProgramSettings()->value(QStringLiteral("grid")).toString(), QStringLiteral("1"));
}

TEST_F(SessionLifeTest, AJumpOfTheWallClockRenewsTheMap) {
    start([](World& w) { w.settings.switches.sunShadow = true; });
    auto offset = std::make_shared<std::int64_t>(0);
    Clocks clocks = Clocks::system();
    clocks.wallMs = [offset, wall = clocks.wallMs] { return wall() + *offset; };
    startLife(clocks);
    const int before = composed;
    *offset = 10 * 60 * 1000; // ten minutes ahead: a resume from a short sleep
    // Within 5 s of the jump: the 1-second tick notices it.
    ASSERT_TRUE(waitFor([&] { return life->renewals() == 1 && composed > before; }, 5s));
    EXPECT_EQ(life->renewals(), 1);
}

// ---------------------------------------------------------------------------
// The resume, as logind announces it on a private bus

class ResumeTest : public ::testing::TestWithParam<std::pair<bool, int>> {
protected:
    void SetUp() override {
        test::windowApplication();
        daemon.setProgram(QStringLiteral("dbus-daemon"));
        daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                             QStringLiteral("--print-address")});
        daemon.start();
        ASSERT_TRUE(daemon.waitForStarted(10000));
        ASSERT_TRUE(waitFor([&] { return daemon.canReadLine(); }, 10s));
        address = QString::fromUtf8(daemon.readLine().trimmed());
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
        QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
        daemon.kill();
        daemon.waitForFinished(10000);
    }

    QProcess daemon;
    QString address;
};

TEST_P(ResumeTest, OnlyTheEndOfASleepIsAResume) {
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("watcher"));
    ASSERT_TRUE(bus.isConnected());
    QDBusConnection logind = QDBusConnection::connectToBus(address, QStringLiteral("logind"));
    ASSERT_TRUE(logind.registerService(QStringLiteral("org.freedesktop.login1")));
    ResumeWatcher watcher(bus);
    ASSERT_TRUE(watcher.listening());
    int resumes = 0;
    QObject::connect(&watcher, &ResumeWatcher::resumed, [&] { ++resumes; });
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << GetParam().first;
    ASSERT_TRUE(logind.send(signal));
    // A second signal that always arrives tells that the first was handled.
    QDBusMessage marker = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    marker << false;
    ASSERT_TRUE(logind.send(marker));
    // In order: once the marker's resume is counted, the first signal was handled.
    ASSERT_TRUE(waitFor([&] { return resumes >= GetParam().second + 1; }, 10s));
    test::drainEvents();
    EXPECT_EQ(resumes, GetParam().second + 1);
}

// Going to sleep is no resume; waking up is one.
INSTANTIATE_TEST_SUITE_P(Sleep, ResumeTest,
                         ::testing::Values(std::pair{true, 0}, std::pair{false, 1}));

} // namespace
} // namespace chronvale
