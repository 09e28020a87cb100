// Two copies in one process: each SingleInstance stands for one running program.
// (The lock is an flock on a file, which two open files in one process contend
// for just as two processes do.)

#include "desktop/single_instance.h"
#include "support/shell_test_support.h"

#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace chronvale {
namespace {

using namespace std::chrono_literals;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::shellApplication();
        ASSERT_TRUE(folder.isValid());
    }
    QTemporaryDir folder;
    const QString name = QStringLiteral("Globarin2-test");
    const QString program = QStringLiteral("/opt/chronvale/bin/chronvale");
};

TEST_F(SingleInstanceTest, TheSecondCopyOfTheSameProgramRaisesTheFirst) {
    SingleInstance first(name, folder.path(), program);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&raised] { ++raised; });

    SingleInstance second(name, folder.path(), program);
    ASSERT_EQ(second.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(second.askFirstToRaise(20s), std::optional<bool>(true));
    EXPECT_EQ(raised, 1);

    // And again: the first copy keeps answering.
    SingleInstance third(name, folder.path(), program);
    ASSERT_EQ(third.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(third.askFirstToRaise(20s), std::optional<bool>(true));
    EXPECT_EQ(raised, 2);
}

// The desktop entry's Select City action started while a copy runs: that copy
// comes forward and opens its selector; a plain second start does not.
TEST_F(SingleInstanceTest, ASecondCopyMayAskForTheCitySelector) {
    SingleInstance first(name, folder.path(), program);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    std::vector<std::string> heard;
    QObject::connect(&first, &SingleInstance::raiseRequested,
                     [&heard] { heard.push_back("raise"); });
    QObject::connect(&first, &SingleInstance::selectCityRequested,
                     [&heard] { heard.push_back("select"); });

    SingleInstance second(name, folder.path(), program);
    ASSERT_EQ(second.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(second.askFirstToRaise(20s, true), std::optional<bool>(true));
    EXPECT_EQ(heard, (std::vector<std::string>{"raise", "select"}));

    heard.clear();
    EXPECT_EQ(second.askFirstToRaise(20s), std::optional<bool>(true));
    EXPECT_EQ(heard, std::vector<std::string>{"raise"});

    // A copy from elsewhere asking for it changes nothing.
    heard.clear();
    SingleInstance other(name, folder.path(), QStringLiteral("/home/user/old/chronvale"));
    ASSERT_EQ(other.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(other.askFirstToRaise(20s, true), std::optional<bool>(false));
    EXPECT_TRUE(heard.empty());
}

TEST_F(SingleInstanceTest, ACopyFromAnotherPathGivesWayWithoutRaising) {
    SingleInstance first(name, folder.path(), program);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&raised] { ++raised; });

    SingleInstance other(name, folder.path(), QStringLiteral("/home/user/old/chronvale"));
    ASSERT_EQ(other.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(other.askFirstToRaise(20s), std::optional<bool>(false));
    EXPECT_EQ(raised, 0);
}

TEST_F(SingleInstanceTest, PathsAreComparedAfterResolvingLinks) {
    // The same installed file reached through a link is the same program.
    const QString real = folder.filePath("chronvale");
    const QString link = folder.filePath("link-to-chronvale");
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(real, link));

    SingleInstance first(name, folder.path(), real);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    SingleInstance second(name, folder.path(), link);
    ASSERT_EQ(second.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(second.askFirstToRaise(20s), std::optional<bool>(true));
}

TEST_F(SingleInstanceTest, ReleasingTheLockLetsTheNextCopyBeFirst) {
    SingleInstance first(name, folder.path(), program);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    first.release();
    EXPECT_FALSE(QFile::exists(first.lockPath()));

    SingleInstance next(name, folder.path(), program);
    EXPECT_EQ(next.claim(), SingleInstance::Role::First);
}

TEST_F(SingleInstanceTest, ALeftOverSocketFileDoesNotStopTheFirstCopy) {
    // A copy that crashed leaves its socket file behind; the next first copy
    // listens there anyway and is reachable.
    const QByteArray path = QFile::encodeName(folder.filePath(name));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd); // the file stays, as after a crash
    ASSERT_TRUE(QFile::exists(folder.filePath(name)));

    SingleInstance first(name, folder.path(), program);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    SingleInstance second(name, folder.path(), program);
    ASSERT_EQ(second.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(second.askFirstToRaise(20s), std::optional<bool>(true));
}

TEST_F(SingleInstanceTest, AFirstCopyThatNeverAnswersDoesNotHoldTheSecondForever) {
    // The lock is held, but nobody listens (a first copy stuck before its loop).
    QLockFile held(folder.filePath(name + ".lock"));
    ASSERT_TRUE(held.tryLock(0));
    SingleInstance second(name, folder.path(), program);
    ASSERT_EQ(second.claim(), SingleInstance::Role::Second);
    EXPECT_EQ(second.askFirstToRaise(300ms), std::nullopt);
}

TEST_F(SingleInstanceTest, DefaultNameIsAfterGlobarin2AndTheUser) {
    EXPECT_TRUE(SingleInstance::defaultName().startsWith(QStringLiteral("Globarin2-")));
    EXPECT_GT(SingleInstance::defaultName().size(), 10);
    EXPECT_FALSE(SingleInstance::defaultFolder().isEmpty());
}

} // namespace
} // namespace chronvale
