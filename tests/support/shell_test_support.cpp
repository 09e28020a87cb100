#include "support/shell_test_support.h"

#include "support/test_application.h"

#include <gtest/gtest.h>
#include <memory>

namespace chronvale::test {
namespace {

TestApplication<QApplication>& testApplication =
    TestApplication<QApplication>::install("chronvale-test");

} // namespace

QApplication& shellApplication() {
    return testApplication.application();
}

} // namespace chronvale::test
