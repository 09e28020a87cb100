#include "support/headless_weston.h"

#include "support/files.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace chronvale::test {

namespace {

constexpr std::chrono::seconds kStartBound{30};
constexpr std::chrono::milliseconds kLookAgain{20};

} // namespace

HeadlessWeston::HeadlessWeston(const std::vector<std::string>& outputOptions) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "chronvale-weston-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    runtime_ = pattern; // mkdtemp makes it 0700, as a runtime folder must be
    const std::string socket = runtime_ + "/" + display_;
    const std::string logFile = runtime_ + "/weston.log";
    // Everything the child needs is made before the fork: between fork and exec
    // only async-signal-safe calls are allowed in a process with threads.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("XDG_RUNTIME_DIR=") && !text.starts_with("WAYLAND_DISPLAY=") &&
            !text.starts_with("DISPLAY=")) {
            environment.emplace_back(text);
        }
    }
    environment.push_back("XDG_RUNTIME_DIR=" + runtime_);
    std::vector<std::string> arguments{"weston", "--backend=headless-backend.so",
                                       "--socket=" + display_, "--idle-time=0", "--log=" + logFile};
    arguments.insert(arguments.end(), outputOptions.begin(), outputOptions.end());
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        return;
    }
    if (pid == 0) {
        ::execvpe("weston", argv.data(), envp.data());
        ::_exit(127);
    }
    pid_ = pid;
    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code ignored;
        if (fs::exists(socket, ignored)) {
            return;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0; // weston gave up (missing, or no back end)
            return;
        }
        std::this_thread::sleep_for(kLookAgain);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
}

HeadlessWeston::~HeadlessWeston() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (!runtime_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(runtime_, ignored);
    }
}

std::string HeadlessWeston::log() const {
    return readText(runtime_ + "/weston.log");
}

} // namespace chronvale::test
