// The HTTP client against the scripted server: the request bytes, the ways a response
// can arrive, redirects, proxy authentication, failures, timeouts and cancelling.

#include "net/http_client.h"
#include "support/net_test_support.h"
#include "support/scripted_http_server.h"

#include <QHostInfo>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace chronvale::test {
namespace {

const QByteArray acceptLines =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/vnd.ms-powerpoint, application/vnd.ms-excel, application/msword, "
    "application/x-shockwave-flash, */*\r\n"
    "Accept-Charset: iso-8859-1,*,utf-8\r\n";

std::function<void(ServerConnection&)> answerOnce(QByteArray response) {
    return [response](ServerConnection& c) {
        c.send(response);
        c.close();
    };
}

TEST(HttpClient, SendsTheRequestByteForByteAndDeliversTheResponse) {
    ScriptedHttpServer server(
        answerOnce(httpResponse(200, "Content-Type: text/plain\r\n", "hello")));
    ClientFixture f;
    const std::string url = server.url("/clouds/cloudv2.php?q=1#part").toStdString();
    HttpRequest* r = f.get(url);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->url, url);
    ASSERT_TRUE(f.waitIdle());

    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /clouds/cloudv2.php?q=1 HTTP/1.0\r\n" + acceptLines +
                                        "User-Agent: Quillmar Chronvale\r\n"
                                        "Host: 127.0.0.1\r\n\r\n");
    ASSERT_EQ(f.completions.size(), 1u);
    const Completion& c = f.completions[0];
    EXPECT_EQ(c.flags, HttpRequest::Succeeded);
    EXPECT_EQ(c.status, 200);
    EXPECT_EQ(c.body, "hello");
    EXPECT_EQ(c.response.substr(0, static_cast<std::size_t>(c.headerLength)),
              "HTTP/1.0 200 X\r\nContent-Type: text/plain\r\n\r\n");
    EXPECT_EQ(c.received, static_cast<int>(c.response.size()));
    EXPECT_TRUE(c.terminated);

    // The owner saw the start, the request's header text, data, and the list emptying.
    EXPECT_EQ(f.sink.count(EventResolving), 1);
    EXPECT_EQ(f.sink.count(EventConnecting), 1);
    ASSERT_EQ(f.sink.texts(EventSent).size(), 1u);
    EXPECT_EQ(f.sink.texts(EventSent)[0].substr(0, 10), "HTTP/1.0\r\n");
    EXPECT_GE(f.sink.count(EventData), 1);
    EXPECT_EQ(f.sink.count(EventRemoved), 1);
    EXPECT_EQ(f.sink.count(EventIdle), 1);
    EXPECT_EQ(f.sink.events.back().event, EventIdle);
}

TEST(HttpClient, ResolvesNamesAndAsksForTheRootWhenThereIsNoPath) {
    ScriptedHttpServer server(answerOnce(httpResponse(200, "", "root")));
    ClientFixture f;
    f.client.httpInit(&f.sink, "");
    ASSERT_NE(f.get("http://localhost:" + std::to_string(server.port())), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(server.requests().size(), 1u);
    // No agent: no User-Agent line. The Host line never carries the port.
    EXPECT_EQ(server.requests()[0], "GET / HTTP/1.0\r\n" + acceptLines + "Host: localhost\r\n\r\n");
    EXPECT_EQ(f.sink.count(EventResolved), 1);
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
}

TEST(HttpClient, RefusesWhatItCannotFetch) {
    ensureApplication();
    HttpClient client;
    RecordingSink sink;
    EXPECT_FALSE(client.httpInit(nullptr, "x"));
    EXPECT_EQ(client.httpGet("http://127.0.0.1/", 0, nullptr), nullptr); // no owner yet
    ASSERT_TRUE(client.httpInit(&sink, "x"));
    EXPECT_EQ(client.httpGet("", 0, nullptr), nullptr);
    EXPECT_EQ(client.httpGet("ftp://127.0.0.1/", 0, nullptr), nullptr);
    EXPECT_EQ(client.transferCount(), 0u);
    EXPECT_TRUE(sink.events.empty());
}

TEST(HttpClient, ReadsResponsesHoweverTheyArrive) {
    struct Case {
        const char* name;
        std::function<void(ServerConnection&)> answer;
        std::string body;
        int status;
    };
    // The first blank line ends the headers, whichever form it takes.
    const QByteArray lfOnly = "HTTP/1.0 200 OK\nServer: x\n\nbody\r\n\r\nmore";
    const std::vector<Case> cases = {
        {"byte by byte",
         [](ServerConnection& c) { c.sendByteByByte(httpResponse(200, "A: b\r\n", "slow body")); },
         "slow body", 200},
        {"headers ending in LF LF", answerOnce(lfOnly), "body\r\n\r\nmore", 200},
        {"no reason phrase, blanks", answerOnce("HTTP/1.1   404\r\n\r\nnot here"), "not here", 404},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScriptedHttpServer server(test.answer);
        ClientFixture f;
        ASSERT_NE(f.get(server.url("/x").toStdString()), nullptr);
        ASSERT_TRUE(f.waitIdle());
        ASSERT_EQ(f.completions.size(), 1u);
        EXPECT_EQ(f.completions[0].status, test.status);
        EXPECT_EQ(f.completions[0].body, test.body);
        EXPECT_EQ(f.completions[0].flags,
                  test.status == 200 ? HttpRequest::Succeeded : HttpRequest::Failed);
    }
}

TEST(HttpClient, FindsAHeaderEndSplitOverTwoReads) {
    ScriptedHttpServer server([](ServerConnection& c) { c.send("HTTP/1.0 200 OK\r\nA: b\r\n\r"); });
    ClientFixture f;
    HttpRequest* r = f.get(server.url("/split").toStdString());
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(waitFor([&] { return r->received == 24; }));
    EXPECT_FALSE(r->headersComplete);
    EXPECT_EQ(r->status, 0);
    server.connection(0).send("\nbody");
    ASSERT_TRUE(waitFor([&] { return r->received == 29; }));
    EXPECT_TRUE(r->headersComplete);
    EXPECT_EQ(r->headerLength, 25);
    EXPECT_EQ(r->status, 200);
    server.connection(0).close();
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].body, "body");
}

TEST(HttpClient, ReportsEveryStatusButTwoHundredAsFailedAndKeepsTheResponse) {
    ScriptedHttpServer server(answerOnce(httpResponse(404, "", "<error>missing</error>")));
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/none").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Failed);
    EXPECT_EQ(f.completions[0].status, 404);
    EXPECT_EQ(f.completions[0].body, "<error>missing</error>");
}

TEST(HttpClient, SurvivesGarbageAndEarlyCloses) {
    QByteArray garbage(3000, '\0');
    for (int i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 7919) % 256);
    }
    struct Case {
        const char* name;
        std::function<void(ServerConnection&)> answer;
        int received;
    };
    const std::vector<Case> cases = {
        {"binary garbage", answerOnce(garbage), 3000},
        {"closed before a byte", [](ServerConnection& c) { c.close(); }, 0},
        {"closed inside the headers", answerOnce("HTTP/1.0 200 OK\r\nContent-"), 25},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScriptedHttpServer server(test.answer);
        ClientFixture f;
        ASSERT_NE(f.get(server.url("/g").toStdString()), nullptr);
        ASSERT_TRUE(f.waitIdle());
        ASSERT_EQ(f.completions.size(), 1u);
        EXPECT_EQ(f.completions[0].flags, HttpRequest::Failed);
        EXPECT_EQ(f.completions[0].received, test.received);
        EXPECT_TRUE(f.completions[0].terminated);
    }
}

TEST(HttpClient, CarriesABodyOfManyMegabytes) {
    const qint64 size = 24 << 20;
    ScriptedHttpServer server([size](ServerConnection& c) {
        c.streamBody(httpResponse(200, "Content-Type: image/jpeg\r\n", ""), size);
    });
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/big.jpg").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle(std::chrono::seconds(60)));
    ASSERT_EQ(f.completions.size(), 1u);
    const Completion& c = f.completions[0];
    EXPECT_EQ(c.flags, HttpRequest::Succeeded);
    ASSERT_EQ(c.body.size(), static_cast<std::size_t>(size));
    for (qint64 i = 0; i < size; i += 4093) {
        ASSERT_EQ(c.body[static_cast<std::size_t>(i)], streamByte(i)) << "at " << i;
    }
    EXPECT_EQ(c.body.back(), streamByte(size - 1));
    EXPECT_TRUE(c.terminated);
}

TEST(HttpClient, FailsAResponseBeyondSixtyFourMebibytes) {
    const qint64 limit = qint64{64} << 20;
    ScriptedHttpServer server([limit](ServerConnection& c) {
        const QByteArray head = httpResponse(200, "", "");
        c.streamBody(head, limit - head.size() + 1);
    });
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/huge").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle(std::chrono::seconds(120)));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Failed);
    EXPECT_EQ(f.completions[0].status, 200);
    // The block that would pass the limit is not stored.
    EXPECT_LE(f.completions[0].received, limit);
    EXPECT_GT(f.completions[0].received, limit - 4096);
    ASSERT_EQ(f.sink.texts(EventMessage).size(), 1u);
    EXPECT_EQ(f.sink.texts(EventMessage)[0], " Response too large (more than 64 MiB)");
}

// Redirects: each attempt reaches the completion function; returning 2 follows it.
TEST(HttpClient, FollowsAbsoluteAndRelativeRedirects) {
    ScriptedHttpServer server(nullptr);
    server.setHandler([&server](ServerConnection& c) {
        const QByteArray line = c.request.left(c.request.indexOf("\r\n"));
        if (line == "GET /a/start HTTP/1.0") {
            c.send(httpResponse(301, "Location: " + server.url("/b/abs") + "\r\n", ""));
        } else if (line == "GET /b/abs HTTP/1.0") {
            c.send(httpResponse(302, "location:   /c/root\r\n", ""));
        } else if (line == "GET /c/root HTTP/1.0") {
            c.send(httpResponse(302, "Location: sibling.txt\r\n", ""));
        } else if (line == "GET /c/sibling.txt HTTP/1.0") {
            // No blank after the colon; the body names another page, which is ignored.
            c.send(httpResponse(302, "LOCATION:" + server.url("/d/found") + "\r\n",
                                "moved to " + server.url("/e/body") + "\n"));
        } else {
            c.send(httpResponse(200, "", line));
        }
        c.close();
    });
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/a/start").toStdString(), true), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.completions[i].flags, HttpRequest::Redirected | HttpRequest::Failed);
        EXPECT_EQ(f.completions[i].restarts, i);
    }
    EXPECT_EQ(f.completions[4].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[4].url, server.url("/d/found").toStdString());
    EXPECT_EQ(f.completions[4].body, "GET /d/found HTTP/1.0");
    // The first address step is announced once, not after restarts.
    EXPECT_EQ(f.sink.count(EventResolving), 1);
    EXPECT_EQ(f.sink.count(EventIdle), 1);
}

TEST(HttpClient, StopsRedirectingAfterFiveRestartsOrAtTheSameUrl) {
    ScriptedHttpServer server(nullptr);
    int hop = 0;
    server.setHandler([&](ServerConnection& c) {
        c.send(httpResponse(302, "Location: /hop" + QByteArray::number(++hop) + "\r\n", ""));
        c.close();
    });
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/hop0").toStdString(), true), nullptr);
    ASSERT_TRUE(f.waitIdle());
    EXPECT_EQ(server.connectionCount(), 6u);
    ASSERT_EQ(f.completions.size(), 6u);
    EXPECT_EQ(f.completions.back().restarts, 5);
    EXPECT_EQ(f.completions.back().flags, HttpRequest::Redirected | HttpRequest::Failed);

    ScriptedHttpServer loop(nullptr);
    loop.setHandler([&loop](ServerConnection& c) {
        c.send(httpResponse(301, "Location: " + loop.url("/self") + "\r\n", ""));
        c.close();
    });
    ClientFixture g;
    ASSERT_NE(g.get(loop.url("/self").toStdString(), true), nullptr);
    ASSERT_TRUE(g.waitIdle());
    EXPECT_EQ(loop.connectionCount(), 1u);
    ASSERT_EQ(g.completions.size(), 1u);
}

// Only a redirect status with a Location header is followed. A body that names a URL
// is never a redirect, whatever the completion function returns: an image server's
// error element <ERROR n="2"> makes the cloud service return 2.
TEST(HttpClient, FollowsNothingButTheLocationOfARedirectStatus) {
    ScriptedHttpServer server(nullptr);
    server.setHandler([&server](ServerConnection& c) {
        const QByteArray line = c.request.left(c.request.indexOf("\r\n"));
        const QByteArray elsewhere = server.url("/elsewhere");
        if (line == "GET /error HTTP/1.0") {
            c.send(httpResponse(200, "Content-Type: text/xml\r\n",
                                "<?xml version=\"1.0\"?><ERROR n=\"2\">Moved to " + elsewhere +
                                    "</ERROR>"));
        } else if (line == "GET /no-location HTTP/1.0") {
            c.send(httpResponse(302, "", "<a href=\"" + elsewhere + "\">" + elsewhere + "</a>"));
        } else if (line == "GET /location-in-body HTTP/1.0") {
            c.send(httpResponse(301, "", "Location: " + elsewhere + "\r\n"));
        } else {
            c.send(httpResponse(200, "", line));
        }
        c.close();
    });
    for (const char* path : {"/error", "/no-location", "/location-in-body"}) {
        SCOPED_TRACE(path);
        ClientFixture f;
        ASSERT_NE(f.client.httpGet(server.url(path).toStdString(), 0,
                                   [&f](HttpRequest& r, std::intptr_t) {
                                       f.completions.push_back(snapshot(r));
                                       return HttpFollowRedirect;
                                   }),
                  nullptr);
        ASSERT_TRUE(f.waitIdle());
        ASSERT_EQ(f.completions.size(), 1u);
        EXPECT_EQ(f.completions[0].restarts, 0);
    }
    for (const QByteArray& request : server.requests()) {
        EXPECT_FALSE(request.startsWith("GET /elsewhere")) << request.toStdString();
    }
}

// The client speaks plain HTTP only: a Location of another scheme is refused with a
// message instead of being fetched in clear text.
TEST(HttpClient, RefusesARedirectToASchemeItDoesNotSpeak) {
    ScriptedHttpServer server(nullptr);
    server.setHandler([&server](ServerConnection& c) {
        const QByteArray line = c.request.left(c.request.indexOf("\r\n"));
        if (line == "GET /secure HTTP/1.0") {
            c.send(httpResponse(302,
                                "Location: https://127.0.0.1:" + QByteArray::number(server.port()) +
                                    "/tls\r\n",
                                ""));
        } else if (line == "GET /ftp HTTP/1.0") {
            c.send(httpResponse(301, "Location: FTP://127.0.0.1/file\r\n", ""));
        } else {
            c.send(httpResponse(200, "", line));
        }
        c.close();
    });
    const std::pair<const char*, const char*> cases[] = {
        {"/secure", " Redirect to https: refused (only http: is supported)"},
        {"/ftp", " Redirect to ftp: refused (only http: is supported)"},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        ClientFixture f;
        ASSERT_NE(f.get(server.url(path).toStdString(), true), nullptr);
        ASSERT_TRUE(f.waitIdle());
        ASSERT_EQ(f.completions.size(), 1u);
        EXPECT_EQ(f.completions[0].flags, HttpRequest::Redirected | HttpRequest::Failed);
        EXPECT_EQ(f.sink.texts(EventMessage), std::vector<std::string>{message});
    }
    EXPECT_EQ(server.connectionCount(), 2u);
}

// IPv6: an address in brackets is connected to as it stands, and its Host header
// keeps the brackets.
TEST(HttpClient, ConnectsToAnIpv6Address) {
    ScriptedHttpServer server(answerOnce(httpResponse(200, "", "over IPv6")),
                              QHostAddress(QHostAddress::LocalHostIPv6));
    // Debian gives the loopback interface ::1; only a kernel or container with
    // IPv6 switched off lacks it, and there the test has nothing to connect to.
    if (!server.listening()) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/six").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "over IPv6");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(server.requests()[0].contains("\r\nHost: [::1]\r\n"));
}

// A name with IPv4 and IPv6 addresses: each is tried in the resolver's order until one
// answers, so a server on ::1 alone is reached through "localhost".
TEST(HttpClient, TriesEveryAddressOfANameInOrder) {
    // A name with two addresses, whatever /etc/hosts says: nothing listens on the
    // first.
    ScriptedHttpServer server(answerOnce(httpResponse(200, "", "found on ::1")),
                              QHostAddress(QHostAddress::LocalHostIPv6));
    ASSERT_TRUE(server.listening());
    ClientFixture f;
    QStringList asked;
    f.client.setResolver([&asked](const QString& name) {
        asked << name;
        return QList<QHostAddress>{QHostAddress(QHostAddress::LocalHost),
                                   QHostAddress(QHostAddress::LocalHostIPv6)};
    });
    ASSERT_NE(f.get("http://localhost:" + std::to_string(server.port()) + "/"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
    EXPECT_EQ(f.completions[0].body, "found on ::1");
    EXPECT_EQ(asked, QStringList{"localhost"});
}

// The scripted server plays an HTTP proxy here: it sees what a proxy would see.
TEST(HttpClient, SpeaksToAnHttpProxyWithTheAbsoluteUrl) {
    ScriptedHttpServer proxy(answerOnce(httpResponse(200, "", "via proxy")));
    ClientFixture f;
    f.client.httpSetProxy(1, "127.0.0.1", proxy.port(), "", "");
    ASSERT_NE(f.get("http://images.example.invalid"), nullptr);
    ASSERT_NE(f.get("http://images.example.invalid:8080/path/a.jpg#frag"), nullptr);
    ASSERT_NE(f.get("http://images.example.invalid/"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(proxy.requests().size(), 3u);
    const QByteArray tail = "Connection: close\r\nUser-Agent: Quillmar Chronvale\r\n"
                            "Host: images.example.invalid\r\n\r\n";
    EXPECT_EQ(proxy.requests()[0],
              "GET http://images.example.invalid/ HTTP/1.0\r\n" + acceptLines + tail);
    EXPECT_EQ(proxy.requests()[1],
              "GET http://images.example.invalid:8080/path/a.jpg HTTP/1.0\r\n" + acceptLines +
                  tail);
    EXPECT_EQ(proxy.requests()[2],
              "GET http://images.example.invalid/ HTTP/1.0\r\n" + acceptLines + tail);
    ASSERT_EQ(f.completions.size(), 3u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
}

TEST(HttpClient, TypeZeroWithAHostMeansNoProxy) {
    ScriptedHttpServer server(answerOnce(httpResponse(200, "", "direct")));
    ClientFixture f;
    f.client.httpSetProxy(0, "127.0.0.1", 1, "user", "pass");
    ASSERT_NE(f.get(server.url("/d").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(server.requests()[0].startsWith("GET /d HTTP/1.0\r\n"));
    EXPECT_FALSE(server.requests()[0].contains("Connection: close"));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Succeeded);
}

TEST(HttpClient, RetriesA407OnceWithTheBasicTokenAndKeepsIt) {
    ScriptedHttpServer proxy(answerOnce(httpResponse(407, "Proxy-Authenticate: Basic\r\n", "")));
    ClientFixture f;
    f.client.httpSetProxy(1, "127.0.0.1", proxy.port(), "user", "pass");
    ASSERT_NE(f.get("http://example.invalid/a"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(proxy.requests().size(), 2u);
    EXPECT_FALSE(proxy.requests()[0].contains("Proxy-Authorization"));
    EXPECT_TRUE(proxy.requests()[1].endsWith("Proxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n"));
    // The second 407 goes to the completion function, once.
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Failed);
    EXPECT_EQ(f.completions[0].status, 407);
    EXPECT_EQ(f.completions[0].restarts, 1);

    // The token stays for later transfers while the settings stay the same.
    f.client.httpSetProxy(1, "127.0.0.1", proxy.port(), "user", "pass");
    ASSERT_NE(f.get("http://example.invalid/b"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(proxy.requests().size(), 3u);
    EXPECT_TRUE(proxy.requests()[2].contains("Proxy-Authorization: Basic dXNlcjpwYXNz\r\n"));
    EXPECT_EQ(f.completions.size(), 2u);
}

// Changed proxy settings drop the token: the old credentials never go to another proxy,
// and other credentials get a token of their own at the next 407.
TEST(HttpClient, DropsTheBasicTokenWhenTheProxyChanges) {
    ScriptedHttpServer first(answerOnce(httpResponse(407, "Proxy-Authenticate: Basic\r\n", "")));
    ScriptedHttpServer second(answerOnce(httpResponse(407, "Proxy-Authenticate: Basic\r\n", "")));
    ClientFixture f;
    f.client.httpSetProxy(1, "127.0.0.1", first.port(), "user", "pass");
    ASSERT_NE(f.get("http://example.invalid/a"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(first.requests().size(), 2u);

    f.client.httpSetProxy(1, "127.0.0.1", second.port(), "user", "pass");
    ASSERT_NE(f.get("http://example.invalid/b"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(second.requests().size(), 2u);
    EXPECT_FALSE(second.requests()[0].contains("Proxy-Authorization"));
    EXPECT_TRUE(second.requests()[1].contains("Proxy-Authorization: Basic dXNlcjpwYXNz\r\n"));

    f.client.httpSetProxy(1, "127.0.0.1", second.port(), "other", "secret");
    ASSERT_NE(f.get("http://example.invalid/c"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(second.requests().size(), 4u);
    EXPECT_FALSE(second.requests()[2].contains("Proxy-Authorization"));
    EXPECT_TRUE(second.requests()[3].contains("Proxy-Authorization: Basic b3RoZXI6c2VjcmV0\r\n"));

    // No proxy, then the same proxy again: still a change, the token is gone.
    f.client.httpSetProxy(0, "", 0, "", "");
    f.client.httpSetProxy(1, "127.0.0.1", second.port(), "other", "secret");
    ASSERT_NE(f.get("http://example.invalid/d"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(second.requests().size(), 6u);
    EXPECT_FALSE(second.requests()[4].contains("Proxy-Authorization"));
}

TEST(HttpClient, DeliversA407AtOnceWithoutAUserName) {
    ScriptedHttpServer proxy(answerOnce(httpResponse(407, "", "")));
    ClientFixture f;
    f.client.httpSetProxy(1, "127.0.0.1", proxy.port(), "", "pass");
    ASSERT_NE(f.get("http://example.invalid/a"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    EXPECT_EQ(proxy.requests().size(), 1u);
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].status, 407);
}

TEST(HttpClient, ReportsRefusedConnectionsAndUnknownHosts) {
    const quint16 closedPort = freePort();
    ClientFixture f;
    ASSERT_NE(f.get("http://127.0.0.1:" + std::to_string(closedPort) + "/"), nullptr);
    ASSERT_TRUE(f.waitIdle());
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::SocketError | HttpRequest::Failed);
    EXPECT_EQ(f.sink.count(EventWinsockError), 1);

    ClientFixture g;
    // Not a name any resolver can answer: empty labels.
    ASSERT_NE(g.get("http://no..such..host/x"), nullptr);
    ASSERT_TRUE(g.waitIdle());
    ASSERT_EQ(g.completions.size(), 1u);
    EXPECT_EQ(g.completions[0].flags,
              HttpRequest::HostNotFound | HttpRequest::SocketError | HttpRequest::Failed);
    EXPECT_EQ(g.sink.texts(EventMessage), std::vector<std::string>{" Host Not Found"});
}

// The timeouts are driven tick by tick: the timers are set far beyond any test and
// each tick is run by hand once the event it follows has happened.
TEST(HttpClient, StallsOnABadAddressAndFailsAtTheTimeout) {
    ClientFixture f;
    f.client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
    HttpRequest* r = f.get("http://300.1.2.3/");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->state, HttpState::Stalled);
    EXPECT_EQ(f.sink.texts(EventMessage), std::vector<std::string>{" Address Translation Error"});
    f.client.timeoutTick();
    EXPECT_TRUE(f.completions.empty());
    f.client.timeoutTick();
    EXPECT_EQ(f.client.transferCount(), 0u);
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::TimedOut | HttpRequest::Failed);
}

TEST(HttpClient, TimesOutAStalledServer) {
    // Connected and sent, but no answer: fails on the second timeout tick.
    ScriptedHttpServer server([](ServerConnection&) {});
    ClientFixture f;
    f.client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
    ASSERT_NE(f.get(server.url("/stall").toStdString()), nullptr);
    ASSERT_TRUE(waitFor([&] { return server.connectionCount() == 1; }));
    f.client.progressTick();
    EXPECT_EQ(f.sink.count(EventTick), 1);
    f.client.timeoutTick();
    EXPECT_TRUE(f.completions.empty());
    f.client.timeoutTick();
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::TimedOut | HttpRequest::Failed);
    EXPECT_EQ(f.client.transferCount(), 0u);
    EXPECT_TRUE(waitFor([&] { return server.connection(0).closed(); }));

    // Receiving a response keeps a transfer alive for ten ticks without data; a
    // timed-out partial 200 response is no success. The record is watched through the
    // owner's events only: it is freed when the transfer ends.
    ScriptedHttpServer slow([](ServerConnection& c) { c.send("HTTP/1.0 200 OK\r\n\r\npart"); });
    ClientFixture g;
    g.client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
    ASSERT_NE(g.get(slow.url("/slow").toStdString()), nullptr);
    ASSERT_TRUE(waitFor([&] {
        for (const RecordedEvent& e : g.sink.events) {
            if (e.event == EventData && e.request->received == 23) {
                return true;
            }
        }
        return false;
    }));
    for (int tick = 1; tick <= 10; ++tick) {
        g.client.timeoutTick();
    }
    EXPECT_TRUE(g.completions.empty());
    g.client.timeoutTick();
    ASSERT_EQ(g.completions.size(), 1u);
    EXPECT_EQ(g.completions[0].flags, HttpRequest::TimedOut | HttpRequest::Failed);
    EXPECT_EQ(g.completions[0].status, 200);
    EXPECT_EQ(g.completions[0].body, "part");
}

// Two transfers time out each on its own turn, and a tick that visits a stalled
// transfer drops that transfer's partial response, not another's.
TEST(HttpClient, TicksTimeOutAndClearTheTransferTheyVisit) {
    ScriptedHttpServer server([](ServerConnection&) {});
    ClientFixture f;
    f.client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
    HttpRequest* a = f.get(server.url("/a").toStdString());
    HttpRequest* b = f.get(server.url("/b").toStdString());
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(waitFor([&] { return server.connectionCount() == 2; }));
    // Both stalled with bytes kept, as after a failed step.
    const std::string partial = "HTTP/1.0 200 OK\r\n";
    for (HttpRequest* r : {a, b}) {
        r->state = HttpState::Stalled;
        ASSERT_EQ(r->response.append(partial), ResponseBuffer::AppendResult::Stored);
        r->received = static_cast<int>(partial.size());
    }
    f.client.progressTick(); // visits a
    EXPECT_EQ(a->received, 0);
    EXPECT_EQ(b->received, static_cast<int>(partial.size()));
    EXPECT_EQ(b->responseText(), partial);
    f.client.progressTick(); // visits b
    EXPECT_EQ(b->received, 0);

    // Timeout ticks take a and b in turn: each fails on its second visit.
    f.client.timeoutTick(); // a: 1
    f.client.timeoutTick(); // b: 1
    EXPECT_TRUE(f.completions.empty());
    f.client.timeoutTick(); // a: 2, times out
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].url, server.url("/a").toStdString());
    EXPECT_EQ(f.client.transferCount(), 1u);
    f.client.timeoutTick(); // b: 2, times out
    ASSERT_EQ(f.completions.size(), 2u);
    EXPECT_EQ(f.completions[1].url, server.url("/b").toStdString());
    EXPECT_EQ(f.completions[1].flags, HttpRequest::TimedOut | HttpRequest::Failed);
    EXPECT_EQ(f.client.transferCount(), 0u);
}

TEST(HttpClient, TimerTicksAndStaleSocketsDoNothingWithAnEmptyList) {
    ClientFixture f;
    f.client.timeoutTick();
    f.client.progressTick();
    EXPECT_TRUE(f.sink.events.empty());

    // A cancelled transfer's socket may still hear from its server: nobody listens.
    ScriptedHttpServer server([](ServerConnection&) {});
    HttpRequest* r = f.get(server.url("/late").toStdString());
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(
        waitFor([&] { return server.connectionCount() == 1 && !server.requests()[0].isEmpty(); }));
    f.client.httpCancelAll();
    EXPECT_EQ(f.client.transferCount(), 0u);
    const std::size_t seen = f.sink.events.size();
    server.connection(0).send(httpResponse(200, "", "too late"));
    server.connection(0).close();
    ASSERT_TRUE(waitFor([&] { return server.connection(0).closed(); }));
    f.client.timeoutTick();
    f.client.progressTick();
    EXPECT_EQ(f.sink.events.size(), seen);
    EXPECT_FALSE(f.client.timersActive());
}

TEST(HttpClient, VisitsTransfersInTurnOnEachTick) {
    ScriptedHttpServer server([](ServerConnection&) {});
    ClientFixture f;
    f.client.setTimerPeriods(std::chrono::hours(1), std::chrono::hours(1));
    HttpRequest* a = f.get(server.url("/a").toStdString());
    HttpRequest* b = f.get(server.url("/b").toStdString());
    ASSERT_TRUE(a && b);
    f.sink.events.clear();
    for (int i = 0; i < 4; ++i) {
        f.client.progressTick();
    }
    ASSERT_EQ(f.sink.events.size(), 4u);
    EXPECT_EQ(f.sink.events[0].request, a);
    EXPECT_EQ(f.sink.events[1].request, b);
    EXPECT_EQ(f.sink.events[2].request, a);
    EXPECT_EQ(f.sink.events[3].request, b);
    f.client.httpCancelAll();
}

TEST(HttpClient, CancelsEveryTransferOnceAndIgnoresANestedCancel) {
    ScriptedHttpServer server([](ServerConnection&) {});
    ClientFixture f;
    int calls = 0;
    std::vector<std::uint16_t> flags;
    auto onComplete = [&](HttpRequest& r, std::intptr_t userData) {
        ++calls;
        flags.push_back(r.flags);
        EXPECT_EQ(userData, 7);
        f.client.httpCancelAll(); // returns at once: a cancel is running
        return 0;
    };
    ASSERT_NE(f.client.httpGet(server.url("/1").toStdString(), 7, onComplete), nullptr);
    ASSERT_NE(f.client.httpGet("http://localhost:1/2", 7, onComplete), nullptr); // resolving
    f.client.httpCancelAll();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(flags, (std::vector<std::uint16_t>{HttpRequest::Cancelled | HttpRequest::Failed,
                                                 HttpRequest::Cancelled | HttpRequest::Failed}));
    EXPECT_EQ(f.client.transferCount(), 0u);
    EXPECT_EQ(f.sink.count(EventRemoved), 2);
    EXPECT_EQ(f.sink.count(EventIdle), 1);
}

TEST(HttpClient, CancelFromInsideACompletionEndsTheOthersWithoutCallingItTwice) {
    ScriptedHttpServer quick(answerOnce(httpResponse(200, "", "first")));
    ScriptedHttpServer stalled([](ServerConnection&) {});
    ClientFixture f;
    std::vector<std::string> order;
    HttpRequest* first =
        f.client.httpGet(quick.url("/q").toStdString(), 1, [&](HttpRequest& r, std::intptr_t) {
            order.push_back("first " + std::to_string(r.flags));
            f.client.httpCancelAll();
            // A new transfer may start from here.
            f.get(quick.url("/again").toStdString());
            return 0;
        });
    HttpRequest* second =
        f.client.httpGet(stalled.url("/s").toStdString(), 2, [&](HttpRequest& r, std::intptr_t) {
            order.push_back("second " + std::to_string(r.flags));
            return 0;
        });
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(waitFor([&] { return !order.empty(); }));
    ASSERT_TRUE(f.waitIdle());
    EXPECT_EQ(order, (std::vector<std::string>{"first " + std::to_string(HttpRequest::Succeeded),
                                               "second " + std::to_string(HttpRequest::Cancelled |
                                                                          HttpRequest::Failed)}));
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].body, "first");
    EXPECT_TRUE(f.client.timersActive());
}

TEST(HttpClient, ReturnsNoneForATransferCancelledWhileItStarts) {
    ScriptedHttpServer server([](ServerConnection&) {});
    ClientFixture f;
    f.sink.onEvent = [&](HttpEvent event, HttpRequest&) {
        if (event == EventConnecting) {
            f.client.httpCancelAll();
        }
    };
    EXPECT_EQ(f.get(server.url("/x").toStdString()), nullptr);
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Cancelled | HttpRequest::Failed);
    EXPECT_EQ(f.client.transferCount(), 0u);
}

TEST(HttpClient, ShutdownCancelsAndForgetsTheOwner) {
    ScriptedHttpServer server([](ServerConnection&) {});
    ClientFixture f;
    ASSERT_NE(f.get(server.url("/x").toStdString()), nullptr);
    f.client.httpShutdown();
    ASSERT_EQ(f.completions.size(), 1u);
    EXPECT_EQ(f.completions[0].flags, HttpRequest::Cancelled | HttpRequest::Failed);
    EXPECT_EQ(f.client.httpGet(server.url("/y").toStdString(), 0, nullptr), nullptr);
    // A new owner starts afresh, without the old proxy.
    f.client.httpSetProxy(1, "127.0.0.1", 1, "", "");
    ASSERT_TRUE(f.client.httpInit(&f.sink, ""));
    ScriptedHttpServer direct(answerOnce(httpResponse(200, "", "ok")));
    ASSERT_NE(f.get(direct.url("/z").toStdString()), nullptr);
    ASSERT_TRUE(f.waitIdle());
    EXPECT_EQ(f.completions.back().flags, HttpRequest::Succeeded);
}

} // namespace
} // namespace chronvale::test
