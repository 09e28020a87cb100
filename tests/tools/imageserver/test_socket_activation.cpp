// The listening socket handed to chronvale-imaged as systemd hands it over
// (fd 3, LISTEN_FDS=1, LISTEN_PID of the started process): served when it is a
// listening TCP socket, refused with exit status 1 otherwise.

#include "socket_activation.h"
#include "support/image_server_process.h"

#include <QTemporaryDir>
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace chronvale::test {
namespace {

using imaged::checkListeningTcpSocket;

enum class Kind { Listening, BoundNotListening, Udp, Unix, Pipe };

// A descriptor of the kind, on a free loopback port where it has one.
int makeDescriptor(Kind kind) {
    if (kind == Kind::Pipe) {
        int ends[2];
        if (::pipe(ends) != 0) {
            return -1;
        }
        ::close(ends[1]);
        return ends[0];
    }
    if (kind == Kind::Unix) {
        return ::socket(AF_UNIX, SOCK_STREAM, 0);
    }
    const int fd = ::socket(AF_INET, kind == Kind::Udp ? SOCK_DGRAM : SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    if (kind == Kind::Listening && ::listen(fd, 16) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

struct Handed {
    pid_t pid = -1;
    int output = -1; // the server's standard output and error
};

// Starts chronvale-imaged with `fd` as descriptor 3 and the environment of
// socket passing; the descriptor is closed here. LISTEN_PID is the child's own
// unless `otherPid`.
Handed startWithSocket(int fd, const std::string& folder, bool otherPid = false) {
    int out[2];
    if (::pipe(out) != 0) {
        return {};
    }
    const std::string program = imageServerProgram().toStdString();
    const std::string fdsVariable = "LISTEN_FDS=1";
    char pidVariable[64] = "LISTEN_PID=";
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.push_back(*entry);
    }
    environment.push_back(const_cast<char*>(fdsVariable.c_str()));
    environment.push_back(pidVariable);
    environment.push_back(nullptr);
    const char* arguments[] = {program.c_str(), "--port", "0", "--folder", folder.c_str(), nullptr};
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe work from here on: the pid is written by hand.
        char digits[24];
        int n = 0;
        for (long value = otherPid ? 1 : ::getpid(); value > 0; value /= 10) {
            digits[n++] = static_cast<char>('0' + value % 10);
        }
        char* cursor = pidVariable + 11;
        while (n > 0) {
            *cursor++ = digits[--n];
        }
        *cursor = '\0';
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::dup2(fd, 3); // clears close-on-exec on 3
        ::execve(program.c_str(), const_cast<char**>(arguments), environment.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(fd);
    return {pid, out[0]};
}

// Everything the process writes until it ends or `until` appears (bounded).
std::string readOutput(int fd, const std::string& until, int timeoutMs = 15000) {
    std::string text;
    char buffer[4096];
    pollfd wait{fd, POLLIN, 0};
    while (text.find(until) == std::string::npos && ::poll(&wait, 1, timeoutMs) > 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

int waitForExit(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 1500; ++i) { // bounded: 15 s
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        pollfd none{-1, 0, 0};
        ::poll(&none, 0, 10);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -2;
}

int localPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

struct KindCase {
    Kind kind;
    const char* problem; // empty: usable
};

class SocketCheck : public ::testing::TestWithParam<KindCase> {};

TEST_P(SocketCheck, TellsWhatTheDescriptorIs) {
    const int fd = makeDescriptor(GetParam().kind);
    ASSERT_GE(fd, 0);
    const std::string problem = checkListeningTcpSocket(fd);
    ::close(fd);
    EXPECT_NE(problem.find(GetParam().problem), std::string::npos) << problem;
    EXPECT_EQ(problem.empty(), std::string(GetParam().problem).empty()) << problem;
}

INSTANTIATE_TEST_SUITE_P(Kinds, SocketCheck,
                         ::testing::Values(KindCase{Kind::Listening, ""},
                                           KindCase{Kind::BoundNotListening, "not listening"},
                                           KindCase{Kind::Udp, "not a stream"},
                                           KindCase{Kind::Unix, "not an IPv4 or IPv6"},
                                           KindCase{Kind::Pipe, "not a socket"}));

TEST(SocketHandOver, ServesOnTheListeningSocketItIsGiven) {
    QTemporaryDir folder;
    const int fd = makeDescriptor(Kind::Listening);
    ASSERT_GE(fd, 0);
    const int port = localPort(fd);
    const Handed server = startWithSocket(fd, folder.path().toStdString());
    ASSERT_GT(server.pid, 0);
    const std::string output = readOutput(server.output, "\n");
    EXPECT_NE(output.find("http://127.0.0.1:" + std::to_string(port) + "/"), std::string::npos)
        << output;
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(10);
    const auto reply = client.Get("/credits");
    ASSERT_TRUE(reply) << "no answer on the handed socket";
    EXPECT_EQ(reply->status, 200);
    ::kill(server.pid, SIGTERM);
    waitForExit(server.pid);
    ::close(server.output);
}

TEST(SocketHandOver, SaysWhatIsWrongAndExits1ForAnUnusableSocket) {
    QTemporaryDir folder;
    for (const Kind kind : {Kind::BoundNotListening, Kind::Udp, Kind::Pipe}) {
        const int fd = makeDescriptor(kind);
        ASSERT_GE(fd, 0);
        const Handed server = startWithSocket(fd, folder.path().toStdString());
        ASSERT_GT(server.pid, 0);
        const std::string output = readOutput(server.output, "listening TCP socket");
        EXPECT_NE(output.find("the socket handed over (fd 3) is"), std::string::npos) << output;
        EXPECT_EQ(waitForExit(server.pid), 1) << output;
        ::close(server.output);
    }
}

TEST(SocketHandOver, ASocketForAnotherProcessIsLeftAlone) {
    QTemporaryDir folder;
    const int fd = makeDescriptor(Kind::Pipe); // would be refused if taken
    const Handed server = startWithSocket(fd, folder.path().toStdString(), true);
    ASSERT_GT(server.pid, 0);
    const std::string output = readOutput(server.output, "\n");
    EXPECT_NE(output.find("serving"), std::string::npos) << output;
    ::kill(server.pid, SIGTERM);
    EXPECT_NE(waitForExit(server.pid), 1);
    ::close(server.output);
}

} // namespace
} // namespace chronvale::test
