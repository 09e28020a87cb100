// Options > Start with the desktop: a check item that writes the autostart
// entry below XDG_CONFIG_HOME and removes it again, and says so when it cannot.

#include "app/mainwindow/command_ids.h"
#include "desktop/autostart.h"
#include "window_test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace chronvale {
namespace {

class AutostartWindowTest : public test::WindowTest {
protected:
    // Every test starts without the autostart folder, whatever ran before it in
    // this process, and leaves none behind.
    void SetUp() override {
        removeAutostartFolder();
        test::WindowTest::SetUp();
    }
    void TearDown() override {
        test::WindowTest::TearDown();
        removeAutostartFolder();
    }

    // The autostart folder with what it holds, or a file standing in its place.
    static void removeAutostartFolder() {
        const QString folder = QFileInfo(autostartFilePath()).absolutePath();
        QFile::remove(folder);
        QDir(folder).removeRecursively();
        ASSERT_FALSE(QFileInfo::exists(folder)) << folder.toStdString();
    }

    // The Options menu's items, in order, without separators.
    QStringList optionsItems() const {
        for (QAction* top : window->menuBar()->actions()) {
            if (top->menu() != nullptr && top->menu()->actions().contains(item())) {
                QStringList texts;
                for (QAction* action : top->menu()->actions()) {
                    if (!action->isSeparator()) {
                        texts << action->text();
                    }
                }
                return texts;
            }
        }
        return {};
    }

    QAction* item() const { return window->menuAction(cmd::StartWithDesktop); }
};

TEST_F(AutostartWindowTest, TheCheckItemWritesAndRemovesTheAutostartEntry) {
    start();
    ASSERT_NE(item(), nullptr);
    EXPECT_EQ(optionsItems().value(optionsItems().size() - 1),
              QStringLiteral("Start with the &desktop"));
    EXPECT_TRUE(item()->isCheckable());
    EXPECT_FALSE(item()->isChecked());

    const QString path = autostartFilePath();
    const QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    EXPECT_TRUE(path.startsWith(config + QStringLiteral("/autostart/"))) << path.toStdString();
    ASSERT_FALSE(QFileInfo::exists(path));

    item()->trigger();
    EXPECT_TRUE(item()->isChecked());
    QFile entry(path);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.contains("Exec=" + QCoreApplication::applicationFilePath().toUtf8() +
                              " --minimized\n"))
        << text.toStdString();
    EXPECT_TRUE(messages.boxes.empty());

    item()->trigger();
    EXPECT_FALSE(item()->isChecked());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(AutostartWindowTest, AnEntryWrittenBeforeShowsAsChecked) {
    ASSERT_TRUE(setAutostart(true, QStringLiteral("/usr/bin/chronvale"), autostartFilePath()));
    start();
    ASSERT_NE(item(), nullptr);
    EXPECT_TRUE(item()->isChecked());
    item()->trigger();
    EXPECT_FALSE(QFileInfo::exists(autostartFilePath()));
}

TEST_F(AutostartWindowTest, AnEntryThatCannotBeWrittenIsReportedAndStaysUnchecked) {
    // A file stands where the autostart folder would go.
    const QString folder = QFileInfo(autostartFilePath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).absolutePath()));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    item()->trigger();
    EXPECT_FALSE(item()->isChecked());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text,
              QStringLiteral("Unable to write file '%1'").arg(autostartFilePath()));
}

} // namespace
} // namespace chronvale
