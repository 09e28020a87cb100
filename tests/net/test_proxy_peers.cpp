// The client through real proxies from Debian packages, started on free loopback
// ports: tinyproxy (HTTP proxy with Basic authentication), microsocks (SOCKS 5 with
// user name and password) and danted (SOCKS 4). They are part of every run; a
// missing program is a failure, not a skip.

#include "net/http_client.h"
#include "support/net_test_support.h"
#include "support/peer_process.h"
#include "support/qt_files.h"
#include "support/scripted_http_server.h"

#include <QFile>
#include <gtest/gtest.h>

namespace chronvale::test {
namespace {

std::function<void(ServerConnection&)> answerWithPath() {
    return [](ServerConnection& c) {
        c.send(httpResponse(200, "", c.request.left(c.request.indexOf("\r\n"))));
        c.close();
    };
}

PeerProcess::Arguments tinyproxyArguments() {
    return [](quint16 port, const QString& dir) {
        const QString config = dir + "/tinyproxy.conf";
        writeFile(config, "Port " + QByteArray::number(port) +
                              "\n"
                              "Listen 127.0.0.1\n"
                              "Timeout 30\n"
                              "MaxClients 10\n"
                              "Allow 127.0.0.1\n"
                              "BasicAuth user secret\n"
                              "DisableViaHeader Yes\n"
                              "LogLevel Error\n");
        return QStringList{"-d", "-c", config};
    };
}

PeerProcess::Arguments microsocksArguments() {
    return [](quint16 port, const QString&) {
        return QStringList{"-i", "127.0.0.1", "-p", QString::number(port),
                           "-u", "user",      "-P", "secret"};
    };
}

PeerProcess::Arguments dantedArguments() {
    return [](quint16 port, const QString& dir) {
        const QString config = dir + "/danted.conf";
        writeFile(config, "logoutput: stderr\n"
                          "internal: 127.0.0.1 port = " +
                              QByteArray::number(port) +
                              "\n"
                              "external: 127.0.0.1\n"
                              "clientmethod: none\n"
                              "socksmethod: none\n"
                              "user.privileged: root\n"
                              "user.unprivileged: nobody\n"
                              "client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                              "socks pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n"
                              "  command: connect\n  protocol: tcp\n"
                              "  proxyprotocol: socks_v4\n}\n");
        return QStringList{"-f", config, "-N", "1", "-p", dir + "/danted.pid"};
    };
}

TEST(ProxyPeers, TinyproxyAsksForCredentialsAndTheClientRetriesOnce) {
    ScriptedHttpServer target(answerWithPath());
    PeerProcess tinyproxy;
    QString error;
    ASSERT_TRUE(tinyproxy.start("tinyproxy", tinyproxyArguments(), error)) << error.toStdString();
    ClientFixture f;
    f.client.httpSetProxy(1, "127.0.0.1", tinyproxy.port(), "user", "secret");
    ASSERT_NE(f.get(target.url("/via-tinyproxy").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle(std::chrono::seconds(30)));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "GET /via-tinyproxy HTTP/1.0");
    EXPECT_EQ(f.completions[0].restarts, 1);
    const auto sent = f.sink.texts(EventSent);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].find("Proxy-Authorization"), std::string::npos);
    EXPECT_NE(sent[1].find("Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"), std::string::npos);
}

TEST(ProxyPeers, MicrosocksRelaysWithUserNameAndPassword) {
    ScriptedHttpServer target(answerWithPath());
    PeerProcess microsocks;
    QString error;
    ASSERT_TRUE(microsocks.start("microsocks", microsocksArguments(), error))
        << error.toStdString();
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", microsocks.port(), "user", "secret");
    ASSERT_NE(f.get(target.url("/via-microsocks").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle(std::chrono::seconds(30)));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body,
              "GET " + target.url("/via-microsocks").toStdString() + " HTTP/1.0");

    // A wrong password: the proxy refuses and closes, the transfer fails.
    ClientFixture g;
    g.client.httpSetProxy(3, "127.0.0.1", microsocks.port(), "user", "wrong");
    ASSERT_NE(g.get(target.url("/refused").toStdString()), nullptr);
    ASSERT_TRUE(g.waitIdle(std::chrono::seconds(30)));
    ASSERT_EQ(g.completions.size(), 1u);
    EXPECT_EQ(g.completions[0].flags & (HttpRequest::Failed | HttpRequest::Succeeded),
              HttpRequest::Failed);
    EXPECT_EQ(target.connectionCount(), 1u);
}

TEST(ProxyPeers, DantedRelaysSocks4) {
    ScriptedHttpServer target(answerWithPath());
    PeerProcess danted;
    QString error;
    ASSERT_TRUE(danted.start("danted", dantedArguments(), error)) << error.toStdString();
    ClientFixture f;
    f.client.httpSetProxy(2, "127.0.0.1", danted.port(), "", "");
    ASSERT_NE(f.get("http://localhost:" + std::to_string(target.port()) + "/via-danted"), nullptr);
    ASSERT_TRUE(f.waitIdle(std::chrono::seconds(30)));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body,
              "GET http://localhost:" + std::to_string(target.port()) + "/via-danted HTTP/1.0");
}

} // namespace
} // namespace chronvale::test
