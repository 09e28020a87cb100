#pragma once
// Environment variables set for the life of an object and put back after it: the
// local time zone, the zoneinfo folder, the desktop's names.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace chronvale::test {

// Sets `name` (or removes it, given no value) and restores the previous value,
// or its absence, when it goes.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            previous_ = old;
        }
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (previous_) {
            ::setenv(name_.c_str(), previous_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Sets TZ for the life of the object and restores the previous zone (the test
// programs run in UTC); the C library reads the zone again at both ends.
class LocalTimeZone {
public:
    explicit LocalTimeZone(const std::string& zone) {
        variable_.emplace("TZ", zone);
        ::tzset();
    }
    ~LocalTimeZone() {
        variable_.reset();
        ::tzset();
    }
    LocalTimeZone(const LocalTimeZone&) = delete;
    LocalTimeZone& operator=(const LocalTimeZone&) = delete;

private:
    std::optional<ScopedVariable> variable_;
};

} // namespace chronvale::test
