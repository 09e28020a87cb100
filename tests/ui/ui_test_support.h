#pragma once
// What the window-layer tests share: one application object for the process
// and a private settings file for each test.

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale::test {

// The process's QApplication: made before the first test, destroyed after the
// last (ui_test_support.cpp).
QApplication& application();

// Gives each test its own empty settings folder, so that tests running side by
// side never share the program's settings file.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
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
