#pragma once
// What the window-layer tests share: one application object for the process
// and a private settings file for each test.

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale::test {

// The process's QApplication, made on first use and kept until exit. Without a
// platform chosen from outside it draws off screen, so no display is needed.
inline QApplication& application() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Gives each test its own empty settings folder, so that tests running side by
// side never share the program's settings file.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        ASSERT_TRUE(folder_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
    }

    // The program's settings file of this test.
    QString settingsFile() const {
        return folder_.path() + QStringLiteral("/QUILLMAR/Chronvale.ini");
    }

private:
    QTemporaryDir folder_;
};

} // namespace chronvale::test
