#pragma once
// The one Qt application object of a test program: made before the first test and
// destroyed after the last, while Qt's own statics still exist (destroying it at
// exit crashes Qt when a name lookup is still running). The test main has chosen
// the offscreen platform.

#include "core/product.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace chronvale::test {

template <typename Application> class TestApplication final : public ::testing::Environment {
public:
    // Registers the environment with GoogleTest, which owns it.
    static TestApplication& install(const char* programName) {
        auto* environment = new TestApplication(programName);
        ::testing::AddGlobalTestEnvironment(environment);
        return *environment;
    }

    void SetUp() override {
        app_ = std::make_unique<Application>(argc_, argv_);
        QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
        QCoreApplication::setApplicationName(QString::fromLatin1(settingsApplication));
    }
    void TearDown() override { app_.reset(); }

    Application& application() { return *app_; }

private:
    explicit TestApplication(const char* programName)
        : argv_{const_cast<char*>(programName), nullptr} {}

    int argc_ = 1;
    char* argv_[2];
    std::unique_ptr<Application> app_;
};

} // namespace chronvale::test
