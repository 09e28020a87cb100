#include "support/scripted_socks_server.h"

#include "support/net_test_support.h"

#include <QPointer>
#include <QTcpSocket>
#include <functional>

namespace chronvale::test {

struct ScriptedSocksServer::Session {
    enum class Phase { Greeting, Credentials, Connect, Answered, Relaying, Closing };

    QPointer<QTcpSocket> client;
    QPointer<QTcpSocket> target;
    Phase phase = Phase::Greeting;
    QByteArray input;
    std::vector<QByteArray> messages;
    QByteArray after;
    QByteArray toTarget;
    QByteArray slowReply;
    std::function<void()> afterSlowReply;
    std::vector<QByteArray> targets;
};

namespace {

using Session = ScriptedSocksServer::Session;

// The length of the first message in `input` for this phase, or 0 when incomplete.
qsizetype messageLength(int version, Session::Phase phase, const QByteArray& input) {
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(input[i]); };
    if (version == 4) {
        const qsizetype nul = input.indexOf('\0', 8);
        if (input.size() < 9 || nul < 8) {
            return 0;
        }
        // SOCKS 4a: the address 0.0.0.x (x not 0) and the name after the user id.
        const bool named = at(4) == 0 && at(5) == 0 && at(6) == 0 && at(7) != 0;
        if (!named) {
            return nul + 1;
        }
        const qsizetype end = input.indexOf('\0', nul + 1);
        return end > nul ? end + 1 : 0;
    }
    switch (phase) {
    case Session::Phase::Greeting:
        return input.size() >= 2 && input.size() >= 2 + at(1) ? 2 + at(1) : 0;
    case Session::Phase::Credentials: {
        if (input.size() < 2) {
            return 0;
        }
        const qsizetype userEnd = 2 + at(1);
        if (input.size() < userEnd + 1) {
            return 0;
        }
        const qsizetype end = userEnd + 1 + at(userEnd);
        return input.size() >= end ? end : 0;
    }
    case Session::Phase::Connect: {
        if (input.size() < 5) {
            return 0;
        }
        const qsizetype length = at(3) == 0x03 ? 4 + 1 + at(4) + 2 : at(3) == 0x04 ? 22 : 10;
        return input.size() >= length ? length : 0;
    }
    default:
        return 0;
    }
}

struct Target {
    QString host;
    quint16 port = 0;
};

// The target of a connect request. SOCKS 4: 04 01 port address [user 00 [name 00]];
// SOCKS 5: 05 01 00 type address port, the address 4 bytes, 16 bytes or a name.
Target requestedTarget(int version, const QByteArray& request) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(request[i]); };
    const auto portAt = [&](qsizetype i) {
        return static_cast<quint16>((byte(i) << 8) | byte(i + 1));
    };
    const auto ipv4At = [&](qsizetype i) {
        return QHostAddress((quint32{byte(i)} << 24) | (quint32{byte(i + 1)} << 16) |
                            (quint32{byte(i + 2)} << 8) | quint32{byte(i + 3)})
            .toString();
    };
    if (version == 4) {
        Target target{ipv4At(4), portAt(2)};
        if (byte(4) == 0 && byte(5) == 0 && byte(6) == 0 && byte(7) != 0) {
            const qsizetype nameStart = request.indexOf('\0', 8) + 1;
            target.host = QString::fromUtf8(request.mid(nameStart, request.size() - nameStart - 1));
        }
        return target;
    }
    switch (byte(3)) {
    case 0x03:
        return {QString::fromUtf8(request.mid(5, byte(4))), portAt(5 + byte(4))};
    case 0x04: {
        Q_IPV6ADDR raw{};
        for (int i = 0; i < 16; ++i) {
            raw[i] = static_cast<quint8>(byte(4 + i));
        }
        return {QHostAddress(raw).toString(), portAt(20)};
    }
    default:
        return {ipv4At(4), portAt(8)};
    }
}

} // namespace

ScriptedSocksServer::ScriptedSocksServer(Options options) : options_(std::move(options)) {
    ensureApplication();
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            sessions_.push_back(std::make_unique<Session>());
            Session* s = sessions_.back().get();
            s->client = socket;
            if (options_.version == 4) {
                s->phase = Session::Phase::Connect;
            }

            // Writes a reply whole or a byte at a time, then goes on with `next`.
            auto reply = [this, s](const QByteArray& bytes, std::function<void()> next) {
                if (!options_.repliesByteByByte) {
                    s->client->write(bytes);
                    if (next) {
                        next();
                    }
                    return;
                }
                s->slowReply = bytes.mid(1);
                s->afterSlowReply = std::move(next);
                s->client->write(bytes.left(1));
            };
            connect(socket, &QTcpSocket::bytesWritten, this, [s] {
                if (!s->slowReply.isEmpty()) {
                    s->client->write(s->slowReply.left(1));
                    s->slowReply.remove(0, 1);
                } else if (s->afterSlowReply) {
                    auto next = std::move(s->afterSlowReply);
                    s->afterSlowReply = nullptr;
                    next();
                }
            });

            auto startRelay = [this, s](const QByteArray& request) {
                if (!options_.answerWithReply.isEmpty()) {
                    s->phase = Session::Phase::Answered;
                    return;
                }
                s->phase = Session::Phase::Relaying;
                const Target target = requestedTarget(options_.version, request);
                s->target = new QTcpSocket(this);
                connect(s->target, &QTcpSocket::connected, this, [s] {
                    s->target->write(s->toTarget);
                    s->toTarget.clear();
                });
                connect(s->target, &QTcpSocket::readyRead, this, [s] {
                    if (s->client) {
                        s->client->write(s->target->readAll());
                    }
                });
                connect(s->target, &QTcpSocket::disconnected, this, [s] {
                    if (s->client) {
                        s->client->disconnectFromHost();
                    }
                });
                s->target->connectToHost(target.host, target.port);
            };

            connect(socket, &QTcpSocket::readyRead, this, [this, s, reply, startRelay] {
                s->input += s->client->readAll();
                while (true) {
                    if (s->phase == Session::Phase::Relaying ||
                        s->phase == Session::Phase::Answered) {
                        s->after += s->input;
                        if (s->phase == Session::Phase::Relaying) {
                            if (s->target &&
                                s->target->state() == QAbstractSocket::ConnectedState) {
                                s->target->write(s->input);
                            } else {
                                s->toTarget += s->input;
                            }
                        } else if (s->after.contains("\r\n\r\n")) {
                            s->client->disconnectFromHost();
                        }
                        s->input.clear();
                        return;
                    }
                    const qsizetype length = messageLength(options_.version, s->phase, s->input);
                    if (length == 0 || s->phase == Session::Phase::Closing) {
                        return;
                    }
                    const QByteArray message = s->input.left(length);
                    s->input.remove(0, length);
                    s->messages.push_back(message);
                    if (s->phase == Session::Phase::Connect) {
                        const Target target = requestedTarget(options_.version, message);
                        s->targets.push_back((target.host.contains(':')
                                                  ? "[" + target.host.toUtf8() + "]"
                                                  : target.host.toUtf8()) +
                                             ":" + QByteArray::number(target.port));
                    }
                    if (options_.version == 4) {
                        QByteArray answer("\x00\x5a", 2);
                        answer += message.mid(2, 6);
                        startRelay(message);
                        reply(answer + options_.answerWithReply, nullptr);
                        continue;
                    }
                    switch (s->phase) {
                    case Session::Phase::Greeting: {
                        const char method = static_cast<char>(options_.method);
                        s->phase = options_.method == 0x02   ? Session::Phase::Credentials
                                   : options_.method == 0x00 ? Session::Phase::Connect
                                                             : Session::Phase::Closing;
                        reply(QByteArray("\x05", 1) + method, [s] {
                            if (s->phase == Session::Phase::Closing) {
                                s->client->disconnectFromHost();
                            }
                        });
                        break;
                    }
                    case Session::Phase::Credentials: {
                        const bool accepted = options_.authStatus == 0;
                        s->phase = accepted ? Session::Phase::Connect : Session::Phase::Closing;
                        reply(QByteArray("\x01", 1) + static_cast<char>(options_.authStatus), [s] {
                            if (s->phase == Session::Phase::Closing) {
                                s->client->disconnectFromHost();
                            }
                        });
                        break;
                    }
                    case Session::Phase::Connect: {
                        QByteArray answer("\x05\x00\x00\x01\x7f\x00\x00\x01\x04\x38", 10);
                        if (options_.boundAddressType == 0x03) {
                            const QByteArray name = "bound.example.test";
                            answer = QByteArray("\x05\x00\x00\x03", 4) +
                                     static_cast<char>(name.size()) + name +
                                     QByteArray("\x04\x38", 2);
                        } else if (options_.boundAddressType == 0x04) {
                            answer = QByteArray("\x05\x00\x00\x04", 4) + QByteArray(15, '\0') +
                                     QByteArray("\x01\x04\x38", 3);
                        }
                        if (!options_.connectReply.isEmpty()) {
                            answer = options_.connectReply;
                        }
                        answer[1] = static_cast<char>(options_.replyCode);
                        if (options_.replyCode != 0) {
                            s->phase = Session::Phase::Closing;
                            reply(answer, [s] { s->client->disconnectFromHost(); });
                            break;
                        }
                        startRelay(message);
                        reply(answer + options_.answerWithReply, nullptr);
                        break;
                    }
                    default:
                        return;
                    }
                }
            });
            connect(socket, &QTcpSocket::disconnected, this, [s] {
                if (s->target) {
                    s->target->disconnectFromHost();
                }
            });
        }
    });
}

ScriptedSocksServer::~ScriptedSocksServer() {
    // The sockets' handlers refer to the sessions: silence and free the sockets first.
    for (const auto& s : sessions_) {
        for (QTcpSocket* socket : {s->client.data(), s->target.data()}) {
            if (socket) {
                socket->disconnect();
                delete socket;
            }
        }
    }
}

std::vector<QByteArray> ScriptedSocksServer::messages() const {
    std::vector<QByteArray> all;
    for (const auto& s : sessions_) {
        all.insert(all.end(), s->messages.begin(), s->messages.end());
    }
    return all;
}

std::vector<QByteArray> ScriptedSocksServer::targets() const {
    std::vector<QByteArray> all;
    for (const auto& s : sessions_) {
        all.insert(all.end(), s->targets.begin(), s->targets.end());
    }
    return all;
}

QByteArray ScriptedSocksServer::afterNegotiation() const {
    QByteArray all;
    for (const auto& s : sessions_) {
        all += s->after;
    }
    return all;
}

} // namespace chronvale::test
