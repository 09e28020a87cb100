#pragma once
// Scratch folders, calendar times and UTC instants for the tests.

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace chronvale::test {

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "chronvale-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch folder");
        }
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The path of `name` inside the folder.
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The fields of a calendar time (month 1 to 12), as std::tm holds them.
inline std::tm calendarFields(int year, int month, int day, int hour = 0, int minute = 0,
                              int second = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return fields;
}

// The instant of a UTC calendar time.
inline std::time_t utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm fields = calendarFields(year, month, day, hour, minute, second);
    return ::timegm(&fields);
}

} // namespace chronvale::test
