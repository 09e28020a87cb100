#include "desktop/single_instance.h"

#include "core/product.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <pwd.h>
#include <unistd.h>

namespace chronvale {

namespace {

// A path longer than this is not a path we sent; the connection is dropped.
constexpr qint64 kMaxRequest = 8192;
// A second copy that connects and then says nothing is dropped after this.
constexpr int kRequestTimeoutMs = 10000;
// Pause between connection attempts while the first copy is not listening yet.
constexpr int kRetryMs = 50;
// What a second copy may ask for after its path.
constexpr QByteArrayView kSelectCityRequest = "\tselect-city";

QString comparablePath(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

QString SingleInstance::defaultName() {
    QString user;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_name) {
        user = QString::fromLocal8Bit(entry->pw_name);
    }
    if (user.isEmpty()) {
        user = QString::number(::getuid());
    }
    return QString::fromLatin1(singleInstancePrefix) + user;
}

QString SingleInstance::defaultFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

SingleInstance::SingleInstance(QString name, QString folder, QString executablePath,
                               QObject* parent)
    : QObject(parent), name_(std::move(name)), folder_(std::move(folder)),
      executablePath_(comparablePath(executablePath)) {}

SingleInstance::~SingleInstance() {
    release();
}

QString SingleInstance::serverPath() const {
    return QDir(folder_).filePath(name_);
}

QString SingleInstance::lockPath() const {
    return QDir(folder_).filePath(name_ + ".lock");
}

SingleInstance::Role SingleInstance::claim() {
    if (!QDir().mkpath(folder_)) {
        return Role::Alone;
    }
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Held for the whole run: never stale by age, only when its process is gone.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        const bool held = lock_->error() == QLockFile::LockFailedError;
        lock_.reset();
        return held ? Role::Second : Role::Alone;
    }
    // We hold the lock, so a socket file left here belongs to a copy that is gone.
    QLocalServer::removeServer(serverPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    if (!server_->listen(serverPath())) {
        // Still the only copy; later copies give way without bringing it forward.
        qWarning("chronvale: cannot listen on %s: %s", qPrintable(serverPath()),
                 qPrintable(server_->errorString()));
    }
    return Role::First;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
        if (socket->canReadLine()) {
            answer(socket);
        }
    }
}

void SingleInstance::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequest) {
            socket->abort();
        }
        return;
    }
    QByteArray line = socket->readLine(kMaxRequest);
    if (!line.endsWith('\n')) {
        socket->abort();
        return;
    }
    line.chop(1);
    const bool selectCity = line.endsWith(kSelectCityRequest);
    if (selectCity) {
        line.chop(kSelectCityRequest.size());
    }
    const bool same = comparablePath(QString::fromUtf8(line)) == executablePath_;
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(same ? "1\n" : "0\n");
    socket->flush();
    socket->disconnectFromServer();
    if (same) {
        Q_EMIT raiseRequested();
        if (selectCity) {
            Q_EMIT selectCityRequested();
        }
    }
}

std::optional<bool> SingleInstance::askFirstToRaise(std::chrono::milliseconds bound,
                                                    bool selectCity) {
    QLocalSocket socket;
    QEventLoop loop;
    QElapsedTimer elapsed;
    elapsed.start();
    std::optional<bool> result;
    QByteArray reply;

    const auto readReply = [&] {
        if (socket.bytesAvailable() > 0) {
            reply += socket.readAll();
        }
        const qsizetype end = reply.indexOf('\n');
        if (end >= 0) {
            result = reply.left(end) == "1";
            loop.quit();
        } else if (reply.size() > kMaxRequest) {
            loop.quit();
        }
    };
    const auto attempt = [&] { socket.connectToServer(serverPath()); };

    QObject::connect(&socket, &QLocalSocket::connected, &loop, [&] {
        QByteArray request = executablePath_.toUtf8();
        if (selectCity) {
            request += kSelectCityRequest;
        }
        socket.write(request + '\n');
    });
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, readReply);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, [&] {
        readReply();
        loop.quit();
    });
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop,
                     [&](QLocalSocket::LocalSocketError error) {
                         const bool notListening = error == QLocalSocket::ServerNotFoundError ||
                                                   error == QLocalSocket::ConnectionRefusedError;
                         if (!notListening) {
                             return; // the disconnect that follows ends the wait
                         }
                         if (elapsed.elapsed() + kRetryMs >= bound.count()) {
                             loop.quit();
                         } else {
                             QTimer::singleShot(kRetryMs, &loop, attempt);
                         }
                     });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(bound);

    QTimer::singleShot(0, &loop, attempt);
    loop.exec();
    socket.abort();
    return result;
}

void SingleInstance::release() {
    if (server_ != nullptr) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
}

} // namespace chronvale
