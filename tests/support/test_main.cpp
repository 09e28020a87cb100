// The main function of every test program. It pins the environment before any
// test or Qt object runs: the time zone, the C locale, Qt's offscreen platform,
// and a fresh home and settings folder of this process's own (CTest runs the
// cases of one program in parallel processes), so that tests never read or write
// the user's files nor each other's.

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "chronvale-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return 2;
    }
    const std::string home = pattern;
    std::error_code ignored;
    for (const char* sub : {"/config", "/data", "/cache", "/run"}) {
        fs::create_directories(home + sub, ignored);
    }
    // Qt insists on a runtime folder that only its owner can enter.
    fs::permissions(home + "/run", fs::perms::owner_all, fs::perm_options::replace, ignored);
    ::setenv("TZ", "UTC", 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
    ::tzset();

    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    fs::remove_all(home, ignored);
    return result;
}
