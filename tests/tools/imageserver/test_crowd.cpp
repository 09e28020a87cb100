// chronvale-imaged under a crowd and under clients that misbehave: many
// connections at once, slow and half-open clients, oversized requests, kept-alive
// and pipelined requests; and the replies built once per change of the folder.

#include "credits.h"
#include "folder_replies.h"
#include "frame_folder.h"
#include "request_head.h"
#include "support/image_server_process.h"
#include "support/jpeg_frame.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utime.h>

namespace chronvale::imaged {
namespace {

using Clock = std::chrono::steady_clock;

// chronvale-imaged on a free loopback port, its request log thrown away: a crowd's
// log would fill a pipe nobody reads and stall the server.
class QuietServer {
public:
    QuietServer(const QString& folder, const QStringList& options) {
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start(test::imageServerProgram(),
                       QStringList{"--port", "0", "--folder", folder} + options);
        QByteArray output;
        while (!output.contains('\n') && process_.waitForReadyRead(15000)) {
            output += process_.readAllStandardOutput();
        }
        const auto match =
            QRegularExpression("http://127\\.0\\.0\\.1:(\\d+)/").match(QString::fromUtf8(output));
        port_ = match.hasMatch() ? match.captured(1).toInt() : 0;
    }
    ~QuietServer() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool started() const { return port_ > 0; }
    int port() const { return port_; }

private:
    QProcess process_;
    int port_ = 0;
};

// --- the request head scanner -------------------------------------------------

struct HeadCase {
    const char* name;
    std::string bytes;
    HeadState state;
    size_t length;
};

TEST(RequestHead, FindsTheEndAndHoldsTheLimits) {
    const std::string line8k = "GET /" + std::string(8192 - 14, 'a') + " HTTP/1.1";
    ASSERT_EQ(line8k.size(), 8192u);
    const HeadCase cases[] = {
        {"whole", "GET / HTTP/1.1\r\nHost: a\r\n\r\nnext", HeadState::Complete, 27},
        {"bare LF", "GET / HTTP/1.1\nHost: a\n\n", HeadState::Complete, 24},
        {"blank lines first", "\r\n\r\nGET / HTTP/1.1\r\n\r\n", HeadState::Complete, 22},
        {"no blank line yet", "GET / HTTP/1.1\r\nHost: a\r\n", HeadState::Incomplete, 0},
        {"half a line", "GET /abc", HeadState::Incomplete, 0},
        {"line of 8 KiB", line8k + "\r\n\r\n", HeadState::Complete, 8196},
        {"line of 8 KiB, CR come", line8k + "\r", HeadState::Incomplete, 0},
        {"line over 8 KiB", line8k + "a\r\n\r\n", HeadState::LineTooLong, 0},
        {"unended line over 8 KiB", std::string(8193, 'a'), HeadState::LineTooLong, 0},
        {"head too large",
         "GET / HTTP/1.1\r\n" + std::string(20000, 'h') + "\r\n" + std::string(20000, 'h') +
             "\r\n\r\n",
         HeadState::TooLarge, 0},
        {"unended head too large",
         "GET / HTTP/1.1\r\n" + std::string(20000, 'h') + "\r\n" + std::string(20000, 'h'),
         HeadState::TooLarge, 0},
    };
    for (const HeadCase& c : cases) {
        const HeadScan scan = scanRequestHead(c.bytes, 8192, 32 * 1024);
        EXPECT_EQ(scan.state, c.state) << c.name;
        EXPECT_EQ(scan.length, c.length) << c.name;
    }
}

// --- replies built once per change of the folder -------------------------------

void writeFile(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(writeFileAtomically(path, bytes));
}

// Dates the folder and its files an hour back, as a folder that has not changed
// for a while.
void ageFolder(const QString& folder) {
    const time_t hourAgo = time(nullptr) - 3600;
    const utimbuf times{hourAgo, hourAgo};
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        ::utime(QFile::encodeName(QDir(folder).filePath(name)).constData(), &times);
    }
    ::utime(QFile::encodeName(folder).constData(), &times);
}

std::string quakesFeed(double magnitude) {
    return R"({"type":"FeatureCollection","features":[{"properties":{"mag":)" +
           std::to_string(magnitude) +
           R"(,"time":1709600000000},"geometry":{"coordinates":[10,20,5]}}]})";
}

struct ChangeCase {
    const char* name;
    std::function<void(const QString& folder)> change;
    std::function<bool(const FolderSnapshot&)> shows;
};

TEST(FolderRepliesCache, BuildsOncePerStateAndAgainAfterEachChange) {
    const ChangeCase cases[] = {
        {"a new frame",
         [](const QString& folder) {
             ASSERT_EQ(ingestImage(folder, QDir(folder).filePath("in.jpg"), "2024030512"),
                       std::nullopt);
         },
         [](const FolderSnapshot& s) {
             return s.list(12, "")->find("2024030512") != std::string::npos &&
                    s.newest.find("2024030512") != std::string::npos;
         }},
        {"a new earthquake feed",
         [](const QString& folder) {
             writeFile(QDir(folder).filePath("quakes.geojson"),
                       QByteArray::fromStdString(quakesFeed(6.5)));
         },
         [](const FolderSnapshot& s) {
             return s.quakes.body.find("m=\"6.5\"") != std::string::npos;
         }},
        {"a new credit",
         [](const QString& folder) {
             ASSERT_TRUE(recordCredit(folder, DataKind::Quakes, "http://q", "Quakes by Q"));
         },
         [](const FolderSnapshot& s) {
             return s.credits.body.find("Quakes by Q") != std::string::npos;
         }},
        {"a frame removed",
         [](const QString& folder) { QFile::remove(QDir(folder).filePath("2024030509.jpg")); },
         [](const FolderSnapshot& s) { return s.frames.size() == 0; }},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.path();
        writeFile(QDir(folder).filePath("2024030509.jpg"), test::jpeg(16));
        writeFile(QDir(folder).filePath("quakes.geojson"),
                  QByteArray::fromStdString(quakesFeed(5)));
        writeFile(QDir(folder).filePath("in.jpg"), test::jpeg(32));
        ageFolder(folder);
        std::shared_mutex lock;
        FolderReplies replies(folder, {}, lock, time(nullptr));
        const auto first = replies.current();
        EXPECT_EQ(replies.current(), first);
        EXPECT_EQ(first->list(12, ""), first->list(12, "")) << "a list is built once";
        EXPECT_EQ(replies.builds(), 1);
        EXPECT_FALSE(c.shows(*first));
        c.change(folder);
        const auto after = replies.current();
        EXPECT_NE(after, first);
        EXPECT_TRUE(c.shows(*after));
        EXPECT_FALSE(c.shows(*first)) << "a snapshot handed out stays as it was";
    }
}

// --- the server under a crowd and under misbehaving clients --------------------

constexpr auto kBound = std::chrono::seconds(20);

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

// Reads until the peer closes or `until` is true of what came, within the bound.
// `closed` tells whether the peer closed (or reset) the connection.
std::string readUntil(int fd, const std::function<bool(const std::string&)>& until, bool& closed,
                      std::chrono::milliseconds bound = kBound) {
    std::string in;
    closed = false;
    const auto deadline = Clock::now() + bound;
    while (!until(in) && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&p, 1, static_cast<int>(std::max<long>(left.count(), 1))) <= 0) {
            continue;
        }
        char buffer[65536];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed = true;
            break;
        }
        in.append(buffer, static_cast<size_t>(n));
    }
    return in;
}

// How many whole replies `in` holds (heads with their Content-Length of body).
int wholeReplies(const std::string& in) {
    int count = 0;
    size_t at = 0;
    for (;;) {
        const size_t end = in.find("\r\n\r\n", at);
        if (end == std::string::npos) {
            return count;
        }
        const size_t length = in.find("Content-Length: ", at);
        const size_t body = length < end ? std::strtoull(in.c_str() + length + 16, nullptr, 10) : 0;
        if (in.size() < end + 4 + body) {
            return count;
        }
        ++count;
        at = end + 4 + body;
    }
}

std::string get(const std::string& target, const std::string& extra = {}) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n";
}

class Crowd : public ::testing::Test {
protected:
    void SetUp() override {
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ASSERT_TRUE(dir.isValid());
        for (const char* t : {"2024030509", "2024030512"}) {
            writeFile(QDir(dir.path()).filePath(QString(t) + ".jpg"), test::jpeg(64));
        }
        server = std::make_unique<QuietServer>(
            dir.path(), QStringList{"--request-timeout", "2", "--keep-alive-timeout", "1"});
        ASSERT_TRUE(server->started());
    }

    QTemporaryDir dir;
    std::unique_ptr<QuietServer> server;
};

TEST_F(Crowd, ListensWithTheBacklogTheSystemAllows) {
    // ss shows a listening socket's backlog in its Send-Q column.
    QProcess ss;
    ss.start("ss", {"-Hltn", QString("sport = :%1").arg(server->port())});
    ASSERT_TRUE(ss.waitForFinished(10000)) << "ss (iproute2) is needed";
    const QStringList columns =
        QString::fromUtf8(ss.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    ASSERT_GE(columns.size(), 3);
    QFile somaxconn("/proc/sys/net/core/somaxconn");
    ASSERT_TRUE(somaxconn.open(QIODevice::ReadOnly));
    EXPECT_EQ(columns[2].toInt(), somaxconn.readAll().trimmed().toInt());
}

TEST_F(Crowd, ManyConnectionsOpenedAtOnceAllGetWholeAnswers) {
    // More than the backlog of 128 or 511 that small servers listen with, and
    // well over the number of workers.
    constexpr int kClients = 1500;
    std::vector<int> fds;
    for (int i = 0; i < kClients; ++i) {
        const int fd = connectTo(server->port());
        ASSERT_GE(fd, 0) << "connection " << i;
        fds.push_back(fd);
    }
    const std::string list = get("/clouds/cloudv2.php?checkonly=1&n=12&s=1&i=2");
    for (const int fd : fds) {
        ASSERT_TRUE(sendAll(fd, list));
    }
    std::string first;
    int whole = 0;
    for (const int fd : fds) {
        bool closed = false;
        const std::string reply = readUntil(
            fd, [](const std::string& in) { return wholeReplies(in) == 1; }, closed);
        if (first.empty()) {
            first = reply;
        }
        whole += wholeReplies(reply) == 1 && reply.rfind("HTTP/1.1 200", 0) == 0 &&
                 reply.size() == first.size();
        ::close(fd);
    }
    EXPECT_EQ(whole, kClients);
    EXPECT_NE(first.find("2024030512"), std::string::npos);
}

TEST_F(Crowd, KeptAliveAndPipelinedRequestsAreAnsweredInOrder) {
    const int fd = connectTo(server->port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sendAll(fd, get("/credits") + get("/clouds/cloudv2.php?checkonly=1")));
    bool closed = false;
    std::string in = readUntil(
        fd, [](const std::string& s) { return wholeReplies(s) == 2; }, closed);
    EXPECT_EQ(wholeReplies(in), 2);
    EXPECT_LT(in.find("text/plain"), in.find("text/xml"));
    ASSERT_TRUE(sendAll(fd, get("/credits", "Connection: close\r\n")));
    in = readUntil(
        fd, [](const std::string&) { return false; }, closed);
    EXPECT_TRUE(closed);
    EXPECT_EQ(wholeReplies(in), 1);
    EXPECT_NE(in.find("Connection: close"), std::string::npos);
    ::close(fd);
}

struct MisbehaviourCase {
    const char* name;
    std::string first;    // sent at once
    bool trickle;         // then a byte every 100 ms, never ending the head
    const char* expected; // the status line's start, or "" for none
};

// Each connection ends within the time-outs (2 s for a head, 1 s idle), and
// meanwhile twenty such connections, more than there are workers, keep no one
// else waiting.
TEST_F(Crowd, SlowHalfOpenAndOversizedClientsAreCutOffWithoutHoldingOthers) {
    const std::string longLine = "GET /credits?x=" + std::string(8200, 'a') + " HTTP/1.1\r\n";
    const MisbehaviourCase cases[] = {
        {"half-open: connects and sends nothing", "", false, ""},
        {"slow: a byte at a time", "GET /cre", true, "HTTP/1.1 408"},
        {"idle after a kept-alive reply", get("/credits"), false, "HTTP/1.1 200"},
        {"request line over 8 KiB", longLine + "Host: a\r\n\r\n", false, "HTTP/1.1 414"},
        {"request line over 8 KiB, still coming", longLine, true, "HTTP/1.1 414"},
        {"head over 32 KiB", "GET /credits HTTP/1.1\r\nX: " + std::string(40000, 'h'), true,
         "HTTP/1.1 431"},
    };
    for (const MisbehaviourCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> crowd;
        for (int i = 0; i < 20; ++i) {
            const int fd = connectTo(server->port());
            ASSERT_GE(fd, 0);
            ASSERT_TRUE(c.first.empty() || sendAll(fd, c.first));
            crowd.push_back(fd);
        }
        // A well-behaved client is answered while they are all still connected.
        const int good = connectTo(server->port());
        ASSERT_TRUE(sendAll(good, get("/clouds/cloudv2.php?checkonly=1&n=2")));
        bool closed = false;
        const std::string answer = readUntil(
            good, [](const std::string& in) { return wholeReplies(in) == 1; }, closed);
        EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u);
        ::close(good);
        // Then each is cut off, however it goes on.
        int cutOff = 0;
        for (const int fd : crowd) {
            std::string in;
            const auto deadline = Clock::now() + std::chrono::seconds(10);
            closed = false;
            while (!closed && Clock::now() < deadline) {
                if (c.trickle && !sendAll(fd, "x")) {
                    closed = true;
                    break;
                }
                in += readUntil(
                    fd, [](const std::string&) { return false; }, closed,
                    std::chrono::milliseconds(100));
            }
            cutOff += closed;
            EXPECT_EQ(in.rfind(c.expected, 0), 0u) << in.substr(0, 40);
            ::close(fd);
        }
        EXPECT_EQ(cutOff, 20);
    }
}

} // namespace
} // namespace chronvale::imaged
