#pragma once
// A SOCKS 4 or SOCKS 5 proxy for the tests, on a free loopback port. It keeps every
// negotiation message the client sends, byte for byte, answers as the options say
// and then relays to the requested target, or answers for it.

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <cstdint>
#include <memory>
#include <vector>

namespace chronvale::test {

class ScriptedSocksServer : public QObject {
public:
    struct Options {
        int version = 5;
        std::uint8_t method = 0x02;     // the SOCKS 5 method chosen
        std::uint8_t authStatus = 0x00; // the SOCKS 5 authentication status
        std::uint8_t replyCode = 0x00;  // the SOCKS 5 connect reply code
        bool repliesByteByByte = false; // each reply byte in its own write
        // When set, sent in the same write as the connect reply, instead of relaying.
        QByteArray answerWithReply;
        // The SOCKS 5 connect reply's bound address: 1 IPv4, 3 a name, 4 IPv6.
        std::uint8_t boundAddressType = 0x01;
        // When set, the whole connect reply, as the proxy sends it (lies included).
        QByteArray connectReply;
    };

    explicit ScriptedSocksServer(Options options);
    ~ScriptedSocksServer() override;

    quint16 port() const { return server_.serverPort(); }
    // Greeting, credentials and connect request of every connection, in order.
    std::vector<QByteArray> messages() const;
    // What the client sent after the negotiation (its HTTP request).
    QByteArray afterNegotiation() const;
    // The targets asked for, as "host:port" ("[v6]:port" for IPv6), in order.
    std::vector<QByteArray> targets() const;

    struct Session; // one client connection

private:
    Options options_;
    QTcpServer server_;
    std::vector<std::unique_ptr<Session>> sessions_;
};

} // namespace chronvale::test
