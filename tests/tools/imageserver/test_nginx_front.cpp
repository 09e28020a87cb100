// The documented front for many users, run for real: nginx with the shipped
// configuration (paths and ports put in) caching two chronvale-imaged servers on
// one folder, one of them mirroring a stand-in upstream on loopback.

#include "frame_folder.h"
#include "http_date.h"
#include "support/image_server_process.h"
#include "support/upstream_server.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace chronvale::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMaxAge = 2; // seconds the servers let lists be kept, for the test

// 4096 wide, so that each frame also has its large copy.
QByteArray cloudMap(int grey) {
    QImage image(4096, 2048, QImage::Format_Grayscale8);
    image.fill(grey);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

// A loopback port nothing listens on at the moment of the call.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// Replaces `from` (which must occur) by `to` everywhere in text.
bool substitute(std::string& text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at == std::string::npos) {
        return false;
    }
    for (; at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return true;
}

template <typename Condition> bool waitUntil(Condition condition, std::chrono::milliseconds bound) {
    const auto deadline = Clock::now() + bound;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

class NginxFront : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        folder = root.filePath("frames");
        ASSERT_TRUE(QDir().mkpath(folder));
        // The stand-in upstream: an old map first, a new one once `renewed`.
        const std::time_t now = std::time(nullptr);
        auto oldMap = serveFile(cloudMap(60), "image/jpeg", imaged::httpDate(now - 6 * 3600));
        auto newMap = serveFile(cloudMap(200), "image/jpeg", imaged::httpDate(now));
        upstream.routes().Get(
            "/clouds.jpg", [this, oldMap, newMap](const httplib::Request& q, httplib::Response& r) {
                (renewed ? newMap : oldMap)(q, r);
            });
        upstream.routes().Get("/feed.geojson",
                              serveFile(R"({"type":"FeatureCollection","features":[]})",
                                        "application/json", imaged::httpDate(now)));
        ASSERT_TRUE(upstream.start());
        oldFrame = imaged::hourTimeStamp(now - 6 * 3600 - (now - 6 * 3600) % (3 * 3600));
        newFrame = imaged::hourTimeStamp(now - now % (3 * 3600));
        const QString maxAge = QString::number(kMaxAge);
        mirror = std::make_unique<ImageServerProcess>(
            folder, QStringList{"--mirror", "--pull-period", "12", "--quake-period", "3600",
                                "--retry-after", "1", "--max-age", maxAge, "--clouds-url",
                                QString::fromStdString(upstream.url("/clouds.jpg")), "--quakes-url",
                                QString::fromStdString(upstream.url("/feed.geojson"))});
        plain = std::make_unique<ImageServerProcess>(folder, QStringList{"--max-age", maxAge});
        ASSERT_TRUE(mirror->started() && plain->started());
        ASSERT_TRUE(waitUntil([&] { return hasFrame(oldFrame); }, std::chrono::seconds(20)))
            << "the mirror stored no frame";
        startNginx();
    }

    void TearDown() override {
        if (nginx.state() != QProcess::NotRunning) {
            nginx.terminate();
            if (!nginx.waitForFinished(5000)) {
                nginx.kill();
                nginx.waitForFinished(5000);
            }
        }
    }

    bool hasFrame(const std::string& t) const { return imaged::findFrame(folder, t).has_value(); }

    // nginx in the foreground, one process (no user to switch to, also as root),
    // with the shipped server block included.
    void startNginx() {
        const QString program = QStandardPaths::findExecutable(
            "nginx", {"/usr/sbin", "/usr/local/sbin", "/usr/bin", "/usr/local/bin"});
        ASSERT_FALSE(program.isEmpty()) << "nginx not found: scripts/install-deps.sh installs it";
        QFile shipped(QStringLiteral(CHRONVALE_SOURCE_DIR "/docs/nginx-chronvale-imaged.conf"));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        std::string conf = shipped.readAll().toStdString();
        port = freePort();
        const std::string at = root.path().toStdString();
        ASSERT_TRUE(substitute(conf, "/var/cache/nginx/chronvale", at + "/cache"));
        ASSERT_TRUE(
            substitute(conf, "listen 80;", "listen 127.0.0.1:" + std::to_string(port) + ";"));
        ASSERT_TRUE(substitute(conf, "127.0.0.1:8471", mirror->host()));
        ASSERT_TRUE(substitute(conf, "127.0.0.1:8472", plain->host()));
        std::string main = "daemon off;\nmaster_process off;\npid " + at + "/nginx.pid;\n" +
                           "error_log " + at + "/error.log info;\nevents {}\nhttp {\n" +
                           "  access_log off;\n";
        for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
            main += std::string("  ") + kind + "_temp_path " + at + "/" + kind + ";\n";
        }
        main += "  include " + at + "/chronvale.conf;\n}\n";
        for (const auto& [name, text] : {std::pair{"chronvale.conf", conf}, {"nginx.conf", main}}) {
            QFile file(root.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(text));
        }
        nginx.setProcessChannelMode(QProcess::MergedChannels);
        nginx.start(program, {"-p", root.path(), "-c", root.filePath("nginx.conf"), "-e",
                              root.filePath("error.log")});
        ASSERT_TRUE(nginx.waitForStarted(10000));
        const bool up = waitUntil(
            [&] {
                httplib::Client client("127.0.0.1", port);
                return static_cast<bool>(client.Get("/credits"));
            },
            std::chrono::seconds(15));
        QFile log(root.filePath("error.log"));
        log.open(QIODevice::ReadOnly);
        ASSERT_TRUE(up) << "nginx did not answer: " << nginx.readAll().toStdString()
                        << log.readAll().toStdString();
    }

    httplib::Result get(const std::string& target) const {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(10);
        return client.Get(target.c_str());
    }

    std::string list(const std::string& ids) const {
        const auto reply = get("/clouds/cloudv2.php?checkonly=1&n=12&" + ids);
        return reply && reply->status == 200 ? reply->body : std::string();
    }

    QTemporaryDir root;
    QString folder;
    std::atomic<bool> renewed{false};
    UpstreamServer upstream;
    std::string oldFrame, newFrame;
    std::unique_ptr<ImageServerProcess> mirror, plain;
    QProcess nginx;
    int port = 0;
};

TEST_F(NginxFront, ServesFramesFromItsCacheWhateverTheClientIdentifiers) {
    const std::string frame = "/clouds/cloudv2.php?f=1&t=" + oldFrame;
    const auto first = get(frame + "&s=1&i=first-client");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 200);
    EXPECT_EQ(first->get_header_value("X-Cache-Status"), "MISS");
    // Other clients, other identifiers, in either order: the same cached frame.
    for (const char* ids : {"&s=2&i=second-client", "&i=third&s=3", ""}) {
        const auto again = get(frame + ids);
        ASSERT_TRUE(again) << ids;
        EXPECT_EQ(again->get_header_value("X-Cache-Status"), "HIT") << ids;
        EXPECT_EQ(again->body, first->body) << ids;
    }
    // The backends were asked once between them (their logs read with a short bound).
    const QString asked = QString::fromStdString("t=" + oldFrame);
    mirror->waitForLog(asked, 2, 300);
    plain->waitForLog(asked, 2, 300);
    EXPECT_EQ(mirror->requests(asked) + plain->requests(asked), 1);
    const auto missing = get("/clouds/cloudv2.php?f=1&t=1999010100&s=1");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    const auto elsewhere = get("/elsewhere");
    ASSERT_TRUE(elsewhere);
    EXPECT_EQ(elsewhere->status, 404);
}

// A frame and its large copy are two cache entries: whichever is asked first,
// each client gets the width it asked for.
TEST_F(NginxFront, KeepsAFrameAndItsLargeCopyApartInItsCache) {
    const std::string frame = "/clouds/cloudv2.php?f=1&t=" + oldFrame;
    const auto width = [](const httplib::Result& reply) {
        return reply ? QImage::fromData(QByteArray::fromStdString(reply->body), "JPG").width() : -1;
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto& [query, expected] :
             {std::pair{"&w=4096&s=1&i=a", 4096}, {"&s=2&i=b", 1024}, {"&i=c&w=4096", 4096}}) {
            const auto reply = get(frame + query);
            ASSERT_TRUE(reply) << query;
            EXPECT_EQ(reply->status, 200) << query;
            EXPECT_EQ(width(reply), expected) << query << " round " << round;
            if (round == 1) {
                EXPECT_EQ(reply->get_header_value("X-Cache-Status"), "HIT") << query;
            }
        }
    }
}

TEST_F(NginxFront, ANewFramePulledByTheMirrorReachesClientsWithinTheListsMaxAge) {
    const std::string before = list("s=1&i=a");
    ASSERT_NE(before.find(oldFrame), std::string::npos);
    EXPECT_EQ(before.find(newFrame), std::string::npos);
    renewed = true;
    ASSERT_TRUE(waitUntil([&] { return hasFrame(newFrame); }, std::chrono::seconds(20)))
        << "the mirror did not pull the new map";
    // From here the cached list may be at most max-age old; a second more for
    // nginx to renew it in the background.
    EXPECT_TRUE(waitUntil([&] { return list("s=2&i=b").find(newFrame) != std::string::npos; },
                          std::chrono::seconds(kMaxAge + 1)));
    const auto frame = get("/clouds/cloudv2.php?f=1&t=" + newFrame + "&s=5&i=e");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->status, 200);
}

} // namespace
} // namespace chronvale::test
