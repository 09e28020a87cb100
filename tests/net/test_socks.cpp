// The SOCKS negotiation against scripted SOCKS 4 and SOCKS 5 proxies that check the
// bytes the client sends.

#include "net/http_client.h"
#include "support/net_test_support.h"
#include "support/scripted_http_server.h"
#include "support/scripted_socks_server.h"

#include <QSysInfo>
#include <gtest/gtest.h>

namespace chronvale::test {
namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

QByteArray portBytes(quint16 port) {
    return bytes({port >> 8, port & 0xff});
}

std::function<void(ServerConnection&)> answerOnce(QByteArray response) {
    return [response](ServerConnection& c) {
        c.send(response);
        c.close();
    };
}

TEST(Socks5, AuthenticatesConnectsAndRelays) {
    ScriptedHttpServer target(answerOnce(httpResponse(200, "", "through socks 5")));
    ScriptedSocksServer proxy({});
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "secret");
    ASSERT_NE(f.get(target.url("/s5#frag").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());

    const std::vector<QByteArray> expected = {
        bytes({0x05, 0x01, 0x02}),
        bytes({0x01, 4}) + "user" + bytes({6}) + "secret",
        bytes({0x05, 0x01, 0x00, 0x01, 127, 0, 0, 1}) + portBytes(target.port()),
    };
    EXPECT_EQ(proxy.messages(), expected);
    // Over SOCKS the request still names the whole URL and closes the connection.
    ASSERT_EQ(target.requests().size(), 1u);
    EXPECT_TRUE(target.requests()[0].startsWith("GET " + target.url("/s5") + " HTTP/1.0\r\n"));
    EXPECT_TRUE(target.requests()[0].contains("Connection: close\r\n"));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "through socks 5");
}

TEST(Socks5, SendsTheLengthByteOfAnEmptyPassword) {
    ScriptedHttpServer target(answerOnce(httpResponse(200, "", "ok")));
    ScriptedSocksServer proxy({});
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "");
    ASSERT_NE(f.get(target.url("/e").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(proxy.messages().size(), 3u);
    EXPECT_EQ(proxy.messages()[1], bytes({0x01, 4}) + "user" + bytes({0}));
    EXPECT_EQ(f.completions.at(0).flags, HttpRequest::Succeeded);
}

TEST(Socks5, SkipsAuthenticationWhenTheProxyChoosesMethodZero) {
    ScriptedHttpServer target(answerOnce(httpResponse(200, "", "open proxy")));
    ScriptedSocksServer::Options options;
    options.method = 0x00;
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "secret");
    // A target name goes to the proxy as it stands (address type 3): the proxy
    // resolves it, the client makes no lookup of its own.
    ASSERT_NE(f.get("http://localhost:" + std::to_string(target.port()) + "/m0"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    const std::vector<QByteArray> expected = {
        bytes({0x05, 0x01, 0x02}),
        bytes({0x05, 0x01, 0x00, 0x03, 9}) + "localhost" + portBytes(target.port()),
    };
    EXPECT_EQ(proxy.messages(), expected);
    EXPECT_EQ(f.completions.at(0).body, "open proxy");
}

TEST(Socks5, ReassemblesRepliesThatArriveByteByByte) {
    ScriptedHttpServer target(answerOnce(httpResponse(200, "", "slow proxy")));
    ScriptedSocksServer::Options options;
    options.repliesByteByByte = true;
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "u", "p");
    ASSERT_NE(f.get(target.url("/slow").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());
    EXPECT_EQ(proxy.messages().size(), 3u);
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "slow proxy");
}

TEST(Socks5, KeepsResponseBytesThatCameWithTheConnectReply) {
    ScriptedSocksServer::Options options;
    options.answerWithReply = httpResponse(200, "", "early bytes");
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "secret");
    ASSERT_NE(f.get("http://10.9.8.7/early"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].response, httpResponse(200, "", "early bytes").toStdString());
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_TRUE(proxy.afterNegotiation().startsWith("GET http://10.9.8.7/early HTTP/1.0\r\n"));
}

TEST(Socks5, FailsWhenTheProxyRefuses) {
    struct Case {
        const char* name;
        ScriptedSocksServer::Options options;
        std::size_t messages;
        int received;
    };
    ScriptedSocksServer::Options badPassword;
    badPassword.authStatus = 0x01;
    ScriptedSocksServer::Options noMethod;
    noMethod.method = 0xff;
    ScriptedSocksServer::Options refused;
    refused.replyCode = 0x05;
    // A refused authentication leaves its reply as the (meaningless) response.
    const std::vector<Case> cases = {
        {"bad password", badPassword, 2, 2},
        {"no acceptable method", noMethod, 1, 0},
        {"connection refused", refused, 3, 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScriptedSocksServer proxy(test.options);
        ClientFixture f;
        f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "wrong");
        ASSERT_NE(f.get("http://10.0.0.1/x"), nullptr);
        ASSERT_TRUE(f.waitIdle());
        EXPECT_EQ(proxy.messages().size(), test.messages);
        ASSERT_EQ(f.completions.size(), 1u);
        EXPECT_EQ(f.completions[0].flags, HttpRequest::Failed);
        EXPECT_EQ(f.completions[0].received, test.received);
    }
}

TEST(Socks4, SendsPortAddressAndHostNameAndKeepsEarlyResponseBytes) {
    ScriptedSocksServer::Options options;
    options.version = 4;
    options.answerWithReply = httpResponse(200, "", "socks 4 answer");
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(2, "127.0.0.1", proxy.port(), "", "");
    ASSERT_NE(f.get("http://10.1.2.3/x.jpg"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    const QByteArray hostName = QSysInfo::machineHostName().toUtf8().left(90);
    ASSERT_EQ(proxy.messages().size(), 1u);
    EXPECT_EQ(proxy.messages()[0],
              bytes({0x04, 0x01, 0x00, 0x50, 10, 1, 2, 3}) + hostName + bytes({0}));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "socks 4 answer");
}

TEST(Socks4, ResolvesTheTargetAndRelaysWithRepliesInPieces) {
    ScriptedHttpServer target(answerOnce(httpResponse(200, "", "relayed by socks 4")));
    ScriptedSocksServer::Options options;
    options.version = 4;
    options.repliesByteByByte = true;
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(2, "127.0.0.1", proxy.port(), "", "");
    ASSERT_NE(f.get("http://localhost:" + std::to_string(target.port()) + "/r"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(proxy.messages().size(), 1u);
    EXPECT_EQ(proxy.messages()[0].mid(0, 8),
              bytes({0x04, 0x01}) + portBytes(target.port()) + bytes({127, 0, 0, 1}));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "relayed by socks 4");
}

// A name only the proxy can resolve: the client neither looks it up nor fails with
// "Host Not Found"; the proxy is asked for it and answers.
TEST(Socks5, LeavesTheLookupOfTheTargetToTheProxy) {
    ScriptedSocksServer::Options options;
    options.answerWithReply = httpResponse(200, "", "resolved by the proxy");
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "secret");
    ASSERT_NE(f.get("http://no..such..host:8080/"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    EXPECT_EQ(proxy.targets(), std::vector<QByteArray>{"no..such..host:8080"});
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "resolved by the proxy");
    EXPECT_EQ(f.sink.count(EventResolved), 0);
}

// The connect reply is as long as its bound address: a name or an IPv6 address makes
// it longer than 10 bytes, and none of it may become response data.
TEST(Socks5, ReadsConnectRepliesWithANameOrAnIpv6BoundAddress) {
    for (const std::uint8_t type : {0x03, 0x04}) {
        for (const bool byteByByte : {false, true}) {
            SCOPED_TRACE(std::to_string(type) + (byteByByte ? " byte by byte" : " whole"));
            ScriptedSocksServer::Options options;
            options.boundAddressType = type;
            options.repliesByteByByte = byteByByte;
            options.answerWithReply = httpResponse(200, "", "after a long reply");
            ScriptedSocksServer proxy(options);
            ClientFixture f;
            f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "secret");
            ASSERT_NE(f.get("http://10.9.8.7/long"), nullptr);
            ASSERT_TRUE(f.waitIdle());
            ASSERT_EQ(f.completions.size(), 1u);
            EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
            EXPECT_EQ(f.completions[0].response,
                      httpResponse(200, "", "after a long reply").toStdString());
        }
    }
}

// A proxy whose reply is no SOCKS 5 reply (another version, an unknown address type)
// ends the transfer at once with a message, instead of reading on into the stream.
TEST(Socks5, FailsAtOnceOnAReplyThatIsNotSocks) {
    const QByteArray replies[] = {
        bytes({0x04, 0x00, 0x00, 0x01, 1, 2, 3, 4, 0, 80}),
        bytes({0x05, 0x00, 0x00, 0x07, 1, 2, 3, 4, 0, 80}),
    };
    for (const QByteArray& reply : replies) {
        SCOPED_TRACE(reply.toHex().toStdString());
        ScriptedSocksServer::Options options;
        options.connectReply = reply;
        options.answerWithReply = httpResponse(200, "", "never read");
        ScriptedSocksServer proxy(options);
        ClientFixture f;
        f.client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
        f.client.httpSetProxy(3, "127.0.0.1", proxy.port(), "user", "secret");
        ASSERT_NE(f.get("http://10.9.8.7/lie"), nullptr);
        ASSERT_TRUE(f.waitIdle());
        ASSERT_EQ(f.completions.size(), 1u);
        EXPECT_EQ(f.completions[0].flags, HttpRequest::Failed);
        EXPECT_EQ(f.completions[0].received, 0);
        EXPECT_EQ(f.sink.texts(EventMessage),
                  std::vector<std::string>{" The proxy's answer is not SOCKS"});
    }
}

// SOCKS 4 resolves the target itself; a name that does not resolve here goes to the
// proxy as SOCKS 4a (address 0.0.0.1, the name after the user id).
TEST(Socks4, AsksTheProxyToResolveANameThatDoesNotResolveHere) {
    ScriptedSocksServer::Options options;
    options.version = 4;
    options.answerWithReply = httpResponse(200, "", "socks 4a answer");
    ScriptedSocksServer proxy(options);
    ClientFixture f;
    f.client.httpSetProxy(2, "127.0.0.1", proxy.port(), "", "");
    ASSERT_NE(f.get("http://no..such..host/4a"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    const QByteArray hostName = QSysInfo::machineHostName().toUtf8().left(90);
    ASSERT_EQ(proxy.messages().size(), 1u);
    EXPECT_EQ(proxy.messages()[0], bytes({0x04, 0x01, 0x00, 0x50, 0, 0, 0, 1}) + hostName +
                                       bytes({0}) + "no..such..host" + bytes({0}));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "socks 4a answer");
}

} // namespace
} // namespace chronvale::test
