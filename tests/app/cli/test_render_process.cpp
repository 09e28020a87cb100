// The headless render as the user runs it: the chronvale executable with --render,
// in an environment without any display.

#include "render/earth_image.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string errors;
};

// Runs the built executable with the arguments, without DISPLAY, WAYLAND_DISPLAY
// or QT_QPA_PLATFORM, and collects its standard error.
Outcome runChronvale(const std::vector<std::string>& args) {
    const fs::path home = std::getenv("HOME");
    const std::string errorFile = (home / "render-stderr.txt").string();
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0) {
            env.push_back(entry);
        }
    }
    const std::string program = std::string(CHRONVALE_BINARY_DIR) + "/chronvale";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    Outcome outcome;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
            outcome.exitCode = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(errorFile);
    std::ostringstream text;
    text << in.rdbuf();
    outcome.errors = text.str();
    return outcome;
}

TEST(RenderProcess, WritesTheLitMapWithoutADisplay) {
    const std::string out = (fs::path(std::getenv("HOME")) / "lit.png").string();
    const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data";
    if (!fs::exists(data + "/images/earth_day.bmp")) {
        GTEST_SKIP() << "no installed earth images in " << data;
    }
    const Outcome ok = runChronvale({"--render", out, "--data", data, "--shadow", "--time",
                                     "2026-03-20T12:00:00Z", "--width", "512"});
    ASSERT_EQ(ok.exitCode, 0) << ok.errors;
    chronvale::ImagePtr map = chronvale::loadImage(out);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width(), 512);
    EXPECT_EQ(map->height(), 256);
}

TEST(RenderProcess, FailsWithAMessage) {
    const std::string out = (fs::path(std::getenv("HOME")) / "never.bmp").string();
    const Outcome missing =
        runChronvale({"--render", out, "--data", "/nonexistent-chronvale-data"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("Unable to load file 'images/earth_day.bmp'"), std::string::npos)
        << missing.errors;
    EXPECT_FALSE(fs::exists(out));

    const Outcome badTime = runChronvale({"--render", out, "--time", "2026-03-20T25:00:00Z"});
    EXPECT_EQ(badTime.exitCode, 2);
    EXPECT_NE(badTime.errors.find("invalid time"), std::string::npos) << badTime.errors;
}

} // namespace
