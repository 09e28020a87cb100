// The autostart entry of Options > Start with the desktop: where it goes, what
// it runs, and that switching it off removes it.

#include "desktop/autostart.h"
#include "support/qt_files.h"
#include "support/shell_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace chronvale;

TEST(Autostart, TheEntryGoesIntoTheAutostartFolderOfXdgConfigHome) {
    test::shellApplication();
    const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(autostartFilePath(),
              QDir(config).filePath(QStringLiteral("autostart/net.chronvale.Chronvale.desktop")));
}

TEST(Autostart, SwitchingOnWritesTheEntryAndOffRemovesIt) {
    test::shellApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The folder does not exist yet: it is made.
    const QString path = dir.filePath(QStringLiteral("autostart/chronvale.desktop"));
    EXPECT_FALSE(autostartEnabled(path));

    ASSERT_TRUE(setAutostart(true, QStringLiteral("/usr/bin/chronvale"), path));
    EXPECT_TRUE(autostartEnabled(path));
    const QByteArray entry = test::readFile(path);
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nExec=/usr/bin/chronvale --minimized\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nIcon=net.chronvale.Chronvale\n"));
    // No temporary file stays beside it.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // On again replaces it with the new executable.
    ASSERT_TRUE(setAutostart(true, QStringLiteral("/opt/chronvale/bin/chronvale"), path));
    EXPECT_TRUE(test::readFile(path).contains("\nExec=/opt/chronvale/bin/chronvale --minimized\n"));

    ASSERT_TRUE(setAutostart(false, QString(), path));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(autostartEnabled(path));
    // Off when it is off already is no failure.
    EXPECT_TRUE(setAutostart(false, QString(), path));
}

TEST(Autostart, AnEntryHiddenByTheDesktopCountsAsOff) {
    test::shellApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("chronvale.desktop"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nExec=chronvale --minimized\nHidden=true\n");
    file.close();
    EXPECT_FALSE(autostartEnabled(path));
    ASSERT_TRUE(setAutostart(true, QStringLiteral("/usr/bin/chronvale"), path));
    EXPECT_TRUE(autostartEnabled(path));
}

// An executable path with blanks, quotes, a dollar and a percent sign is quoted
// as desktop entries quote, and the desktop's own checker accepts the entry.
TEST(Autostart, AnOddExecutablePathIsQuoted) {
    test::shellApplication();
    const QByteArray entry = autostartEntry(QStringLiteral("/home/a b/it's \"$x\" 100%/chronvale"));
    EXPECT_TRUE(entry.contains(
        "\nExec=\"/home/a b/it's \\\\\"\\\\$x\\\\\" 100%%/chronvale\" --minimized\n"))
        << entry.toStdString();

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty())
        << "desktop-file-validate is not installed (scripts/install-deps.sh installs "
           "desktop-file-utils)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& executable : {QStringLiteral("/usr/bin/chronvale"),
                                      QStringLiteral("/home/a b/it's \"$x\" 100%/chronvale")}) {
        const QString path = dir.filePath(QStringLiteral("net.chronvale.Chronvale.desktop"));
        ASSERT_TRUE(setAutostart(true, executable, path));
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(validator, {path});
        ASSERT_TRUE(check.waitForFinished(60000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
    }
}

TEST(Autostart, AFolderThatCannotBeMadeIsAFailure) {
    test::shellApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A file stands where the autostart folder would go.
    QFile blocker(dir.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath(QStringLiteral("autostart/chronvale.desktop"));
    EXPECT_FALSE(setAutostart(true, QStringLiteral("/usr/bin/chronvale"), path));
    EXPECT_FALSE(autostartEnabled(path));
}

} // namespace
