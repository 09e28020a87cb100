#pragma once
// The processes that programs a test starts leave behind.
//
// A program may start a child detached from itself (a server left running on
// purpose); once the program has ended, such a child belongs to init and no test
// would see it. While an AdoptedProcesses lives, this test process is the "child
// subreaper" of everything it starts (Linux prctl): every orphaned descendant is
// handed to it instead, so the test can tell what was left and end it by its PID.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace chronvale::test {

struct ChildProcess {
    pid_t pid = 0;
    std::string commandLine; // arguments joined by spaces
};

class AdoptedProcesses {
public:
    AdoptedProcesses();
    ~AdoptedProcesses();
    AdoptedProcesses(const AdoptedProcesses&) = delete;
    AdoptedProcesses& operator=(const AdoptedProcesses&) = delete;

    // Whether this process became the subreaper.
    bool adopting() const { return adopting_; }

    // The living children of this process other than `known` (the ones the test
    // started itself and still runs): what the programs it ran have left behind.
    // Those that are ending by themselves (a compositor's helpers after it) are
    // given up to `bound` to go.
    std::vector<ChildProcess>
    strays(const std::vector<pid_t>& known,
           std::chrono::milliseconds bound = std::chrono::seconds(5)) const;

    // Ends the strays: SIGTERM, SIGKILL after a bounded wait; each is reaped.
    static void end(const std::vector<ChildProcess>& strays);

private:
    bool adopting_ = false;
    bool wasAdopting_ = false;
};

// "pid: command line" per process, for a failure message.
std::string describe(const std::vector<ChildProcess>& processes);

// Adopts what the tests' programs leave for the whole run of the test program,
// and fails the run when anything is left at its end (ctest runs each test
// alone, so the failing test is named); the strays are ended by their PIDs.
// Called once before the tests run (at namespace scope: it returns true).
bool checkForStraysAtTheEnd();

} // namespace chronvale::test
