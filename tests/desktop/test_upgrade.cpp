// Starting the maker's upgrade program from Upgrade and Manual.

#include "desktop/upgrade.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

struct Launch {
    QString program;
    QStringList arguments;
};

BrowserLauncher recorder(std::vector<Launch>& launches) {
    return [&launches](const QString& program, const QStringList& arguments) {
        launches.push_back({program, arguments});
        return true;
    };
}

TEST(Upgrade, WithoutAPathNothingStarts) {
    std::vector<Launch> launches;
    LinkConfig config;
    config.values["code"] = "CV2";
    EXPECT_FALSE(startUpgradeProgram(config, false, recorder(launches)));
    config.values["path"] = "";
    EXPECT_FALSE(startUpgradeProgram(config, true, recorder(launches)));
    EXPECT_TRUE(launches.empty());
}

TEST(Upgrade, ArgumentsForUpgradeAndManual) {
    std::vector<Launch> launches;
    LinkConfig config;
    config.values["path"] = "/opt/quillmar/upgrade";
    EXPECT_TRUE(startUpgradeProgram(config, false, recorder(launches)));
    config.values["code"] = "CV2";
    EXPECT_TRUE(startUpgradeProgram(config, true, recorder(launches)));
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].program, "/opt/quillmar/upgrade");
    EXPECT_EQ(launches[0].arguments, (QStringList{"QCEN", "Quillmar Chronvale"}));
    EXPECT_EQ(launches[1].arguments, (QStringList{"-m", "CV2_M", "Quillmar Chronvale"}));
}

TEST(Upgrade, TheProductCodeIsAtMostNineCharacters) {
    LinkConfig config;
    EXPECT_EQ(productCode(config), "QCEN");
    config.values["code"] = "ABCDEFGHIJK";
    EXPECT_EQ(productCode(config), "ABCDEFGHI");
}

TEST(Upgrade, APendingUpdateReplacesTheProgramFirst) {
    EXPECT_EQ(pendingUpdatePath("/a/Upgrade.exe"), "/a/Upgrade.new");
    EXPECT_EQ(pendingUpdatePath("/a/upgrade"), "/a/upgrade.new");
    EXPECT_EQ(pendingUpdatePath("/a.b/.upgrade"), "/a.b/.upgrade.new");

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("upgrade.sh");
    test::writeFile(program, "old");
    test::writeFile(folder.filePath("upgrade.new"), "new");

    std::vector<Launch> launches;
    LinkConfig config;
    config.values["path"] = program.toStdString();
    EXPECT_TRUE(startUpgradeProgram(config, false, recorder(launches)));
    EXPECT_EQ(test::readFile(program), "new");
    EXPECT_FALSE(QFile::exists(folder.filePath("upgrade.new")));
    ASSERT_EQ(launches.size(), 1u);

    // A launcher that fails is reported as a failure.
    EXPECT_FALSE(startUpgradeProgram(config, false,
                                     [](const QString&, const QStringList&) { return false; }));
}

} // namespace
} // namespace chronvale
