#include "shell_test_support.h"

#include <gtest/gtest.h>
#include <memory>

namespace chronvale::test {
namespace {

std::unique_ptr<QApplication> app;

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_shell";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("QUILLMAR"));
        QCoreApplication::setApplicationName(QStringLiteral("Chronvale"));
    }
    void TearDown() override { app.reset(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

QApplication& shellApplication() {
    return *app;
}

} // namespace chronvale::test
