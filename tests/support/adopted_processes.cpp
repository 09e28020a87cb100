#include "support/adopted_processes.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace chronvale::test {

namespace {

using namespace std::chrono_literals;

// The state letter and the parent of /proc/PID/stat; false when it is gone.
bool readStat(pid_t pid, char& state, pid_t& parent) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces and parentheses itself.
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return false;
    }
    std::istringstream rest(text.substr(close + 1));
    long ppid = 0;
    if (!(rest >> state >> ppid)) {
        return false;
    }
    parent = static_cast<pid_t>(ppid);
    return true;
}

std::string commandLine(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::replace(text.begin(), text.end(), '\0', ' ');
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

// Reaps `pid` (a child of this process), waiting at most `bound`.
bool reaped(pid_t pid, std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
}

// The children of this process that run, but those of `known`.
std::vector<ChildProcess> livingChildren(const std::vector<pid_t>& known) {
    std::vector<ChildProcess> found;
    const pid_t self = ::getpid();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) {
            continue;
        }
        const auto pid = static_cast<pid_t>(std::stol(name));
        char state = 0;
        pid_t parent = 0;
        // An ended child waiting to be reaped no longer runs: not a stray.
        if (!readStat(pid, state, parent) || parent != self || state == 'Z') {
            continue;
        }
        if (std::find(known.begin(), known.end(), pid) == known.end()) {
            found.push_back({pid, commandLine(pid)});
        }
    }
    return found;
}

class NoStrays final : public ::testing::Environment {
public:
    void SetUp() override { adopted_ = std::make_unique<AdoptedProcesses>(); }
    void TearDown() override {
        const auto strays = adopted_->strays({});
        EXPECT_TRUE(strays.empty()) << "left running by the tests:\n" << describe(strays);
        AdoptedProcesses::end(strays);
        adopted_.reset();
    }

private:
    std::unique_ptr<AdoptedProcesses> adopted_;
};

} // namespace

AdoptedProcesses::AdoptedProcesses() {
    int before = 0;
    ::prctl(PR_GET_CHILD_SUBREAPER, &before, 0, 0, 0);
    wasAdopting_ = before != 0;
    adopting_ = ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0;
}

AdoptedProcesses::~AdoptedProcesses() {
    // An enclosing one (a whole run's) goes on adopting.
    if (adopting_ && !wasAdopting_) {
        ::prctl(PR_SET_CHILD_SUBREAPER, 0, 0, 0, 0);
    }
}

std::vector<ChildProcess> AdoptedProcesses::strays(const std::vector<pid_t>& known,
                                                   std::chrono::milliseconds bound) const {
    const auto until = std::chrono::steady_clock::now() + bound;
    std::vector<ChildProcess> found = livingChildren(known);
    while (!found.empty() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(20ms);
        found = livingChildren(known);
    }
    return found;
}

void AdoptedProcesses::end(const std::vector<ChildProcess>& strays) {
    for (const ChildProcess& child : strays) {
        ::kill(child.pid, SIGTERM);
    }
    for (const ChildProcess& child : strays) {
        if (!reaped(child.pid, 5s)) {
            ::kill(child.pid, SIGKILL);
            reaped(child.pid, 5s);
        }
    }
}

std::string describe(const std::vector<ChildProcess>& processes) {
    std::string text;
    for (const ChildProcess& child : processes) {
        text += std::to_string(child.pid) + ": " + child.commandLine + "\n";
    }
    return text;
}

bool checkForStraysAtTheEnd() {
    ::testing::AddGlobalTestEnvironment(new NoStrays); // owned by gtest
    return true;
}

} // namespace chronvale::test
