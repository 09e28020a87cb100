#pragma once
// An HTTP server for the tests, on a free loopback port. It records every byte each
// connection sends and, once a request's blank line has arrived, hands the
// connection to the test's handler, which answers as the case needs: in one block,
// byte by byte, in parts, with a huge body, with garbage, or not at all.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <vector>

namespace chronvale::test {

class ServerConnection {
public:
    explicit ServerConnection(QTcpSocket* socket) : socket_(socket) {}

    // Writes the bytes at once.
    void send(const QByteArray& bytes);
    // Writes one byte at a time, each once the previous one has gone out; then closes
    // when `closeAfter`.
    void sendByteByByte(const QByteArray& bytes, bool closeAfter = true);
    // Writes `head`, then `bodySize` bytes of a repeating pattern, a little at a time as
    // the client takes them, then closes.
    void streamBody(const QByteArray& head, qint64 bodySize);
    // Closes after everything written has gone out.
    void close();
    // The connection has ended, from either side.
    bool closed() const { return !socket_ || socket_->state() != QAbstractSocket::ConnectedState; }
    qint64 bytesStreamed() const { return streamed_; }

    QByteArray request; // every byte received on this connection

private:
    friend class ScriptedHttpServer;
    void writeNextByte();
    void writeNextChunk();

    QPointer<QTcpSocket> socket_;
    QByteArray pending_;
    bool closeAfterPending_ = false;
    qint64 streamLeft_ = 0;
    qint64 streamed_ = 0;
    bool answered_ = false;
};

// The pattern byte of a streamed body at `offset`.
char streamByte(qint64 offset);

// "HTTP/1.0 <status> X\r\n" + headers + "\r\n" + body; `headers` lines end in CR LF.
QByteArray httpResponse(int status, const QByteArray& headers, const QByteArray& body);

class ScriptedHttpServer : public QObject {
public:
    using Handler = std::function<void(ServerConnection&)>;
    // Listens on 127.0.0.1 unless told another loopback address (::1).
    explicit ScriptedHttpServer(
        Handler handler, const QHostAddress& address = QHostAddress(QHostAddress::LocalHost));
    bool listening() const { return server_.isListening(); }
    ~ScriptedHttpServer() override;

    quint16 port() const { return server_.serverPort(); }
    QByteArray url(const QByteArray& path) const;
    // The requests of every connection so far, in the order the connections came.
    std::vector<QByteArray> requests() const;
    std::size_t connectionCount() const { return connections_.size(); }
    ServerConnection& connection(std::size_t i) { return *connections_.at(i); }
    void setHandler(Handler handler) { handler_ = std::move(handler); }

private:
    QTcpServer server_;
    Handler handler_;
    std::vector<std::unique_ptr<ServerConnection>> connections_;
};

} // namespace chronvale::test
