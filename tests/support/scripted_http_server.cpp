#include "support/scripted_http_server.h"

#include "support/net_test_support.h"

namespace chronvale::test {

namespace {

constexpr qint64 streamChunk = 64 * 1024;
constexpr qint64 streamBacklog = 512 * 1024;

} // namespace

char streamByte(qint64 offset) {
    return static_cast<char>('a' + offset % 23);
}

QByteArray httpResponse(int status, const QByteArray& headers, const QByteArray& body) {
    return "HTTP/1.0 " + QByteArray::number(status) + " X\r\n" + headers + "\r\n" + body;
}

void ServerConnection::send(const QByteArray& bytes) {
    if (socket_) {
        socket_->write(bytes);
    }
}

void ServerConnection::sendByteByByte(const QByteArray& bytes, bool closeAfter) {
    pending_ = bytes;
    closeAfterPending_ = closeAfter;
    writeNextByte();
}

void ServerConnection::writeNextByte() {
    if (!socket_) {
        return;
    }
    if (pending_.isEmpty()) {
        if (closeAfterPending_) {
            closeAfterPending_ = false;
            socket_->disconnectFromHost();
        }
        return;
    }
    socket_->write(pending_.left(1));
    pending_.remove(0, 1);
}

void ServerConnection::streamBody(const QByteArray& head, qint64 bodySize) {
    streamLeft_ = bodySize;
    send(head);
    writeNextChunk();
}

void ServerConnection::writeNextChunk() {
    if (!socket_) {
        return;
    }
    while (streamLeft_ > 0 && socket_->bytesToWrite() < streamBacklog) {
        const qint64 n = std::min(streamChunk, streamLeft_);
        QByteArray chunk(n, '\0');
        for (qint64 i = 0; i < n; ++i) {
            chunk[i] = streamByte(streamed_ + i);
        }
        socket_->write(chunk);
        streamed_ += n;
        streamLeft_ -= n;
    }
    if (streamLeft_ == 0 && streamed_ > 0) {
        socket_->disconnectFromHost();
    }
}

void ServerConnection::close() {
    if (socket_) {
        socket_->disconnectFromHost();
    }
}

ScriptedHttpServer::ScriptedHttpServer(Handler handler, const QHostAddress& address)
    : handler_(std::move(handler)) {
    ensureApplication();
    server_.listen(address, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connections_.push_back(std::make_unique<ServerConnection>(socket));
            ServerConnection* c = connections_.back().get();
            connect(socket, &QTcpSocket::readyRead, this, [this, c, socket] {
                c->request += socket->readAll();
                if (!c->answered_ && c->request.contains("\r\n\r\n")) {
                    c->answered_ = true;
                    if (handler_) {
                        handler_(*c);
                    }
                }
            });
            connect(socket, &QTcpSocket::bytesWritten, this, [c] {
                if (!c->pending_.isEmpty() || c->closeAfterPending_) {
                    c->writeNextByte();
                }
                if (c->streamLeft_ > 0) {
                    c->writeNextChunk();
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

ScriptedHttpServer::~ScriptedHttpServer() {
    // The sockets' handlers refer to the connections: silence and free the sockets first.
    for (const auto& c : connections_) {
        if (c->socket_) {
            c->socket_->disconnect();
            delete c->socket_.data();
        }
    }
}

QByteArray ScriptedHttpServer::url(const QByteArray& path) const {
    const QHostAddress address = server_.serverAddress();
    const QByteArray host = address.protocol() == QAbstractSocket::IPv6Protocol
                                ? "[" + address.toString().toUtf8() + "]"
                                : address.toString().toUtf8();
    return "http://" + host + ":" + QByteArray::number(port()) + path;
}

std::vector<QByteArray> ScriptedHttpServer::requests() const {
    std::vector<QByteArray> all;
    for (const auto& c : connections_) {
        all.push_back(c->request);
    }
    return all;
}

} // namespace chronvale::test
