#include "ui_test_support.h"

#include "support/test_application.h"

#include <memory>

namespace chronvale::test {
namespace {

TestApplication<QApplication>& testApplication = TestApplication<QApplication>::install("test_ui");

} // namespace

QApplication& application() {
    return testApplication.application();
}

} // namespace chronvale::test
