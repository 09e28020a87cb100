#include "ui_test_support.h"

#include <memory>

namespace chronvale::test {
namespace {

std::unique_ptr<QApplication> app;

// Without a platform chosen from outside the tests draw off screen, so no
// display is needed.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "test_ui";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

QApplication& application() {
    return *app;
}

} // namespace chronvale::test
