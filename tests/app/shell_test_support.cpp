#include "shell_test_support.h"

#include "support/test_application.h"

#include <gtest/gtest.h>
#include <memory>

namespace chronvale::test {
namespace {

TestApplication<QApplication>& testApplication =
    TestApplication<QApplication>::install("test_shell");

} // namespace

QApplication& shellApplication() {
    return testApplication.application();
}

} // namespace chronvale::test
