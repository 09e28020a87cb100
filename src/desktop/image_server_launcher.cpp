#include "desktop/image_server_launcher.h"

#include "net/link_config.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace chronvale {

namespace {

std::string_view hostOf(std::string_view imageServer) {
    if (imageServer.starts_with('[')) { // [::1]:8470
        const size_t end = imageServer.find(']');
        return end == std::string_view::npos ? imageServer : imageServer.substr(1, end - 1);
    }
    const size_t colon = imageServer.rfind(':');
    // More than one colon without brackets: a bare IPv6 address, no port.
    if (colon != std::string_view::npos && imageServer.find(':') == colon) {
        return imageServer.substr(0, colon);
    }
    return imageServer;
}

QString runtimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime;
    }
    return QDir::tempPath();
}

} // namespace

bool isThisComputer(std::string_view imageServer) {
    const std::string_view host = hostOf(imageServer);
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

bool answersOnLoopback(std::string_view imageServer) {
    if (!isThisComputer(imageServer)) {
        return false;
    }
    const bool six = hostOf(imageServer) == "::1";
    const int port = hostPort(imageServer);
    const int fd = ::socket(six ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    int result = -1;
    if (six) {
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_addr = in6addr_loopback;
        address.sin6_port = htons(static_cast<uint16_t>(port));
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } else {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        const std::string host(hostOf(imageServer));
        // "localhost" is the loopback address; 127.x.y.z are taken as written.
        if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        }
        address.sin_port = htons(static_cast<uint16_t>(port));
        // A loopback connection is accepted or refused at once.
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ::close(fd);
    return result == 0;
}

ImageServerLauncher::ImageServerLauncher(QObject* parent)
    : ImageServerLauncher(Settings{}, parent) {}

ImageServerLauncher::ImageServerLauncher(Settings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {
    if (settings_.arguments.isEmpty()) {
        settings_.arguments = {QStringLiteral("--mirror")};
    }
    if (settings_.lockPath.isEmpty()) {
        settings_.lockPath =
            QDir(runtimeFolder())
                .filePath(QStringLiteral("chronvale-imaged-%1.lock").arg(::getuid()));
    }
    timer_.setInterval(settings_.pollMs);
    connect(&timer_, &QTimer::timeout, this, &ImageServerLauncher::poll);
}

ImageServerLauncher::~ImageServerLauncher() {
    releaseLock();
}

QString ImageServerLauncher::defaultProgram() {
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("chronvale-imaged"));
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QStandardPaths::findExecutable(QStringLiteral("chronvale-imaged"));
}

bool ImageServerLauncher::takeLock() {
    if (lockFd_ >= 0) {
        return true;
    }
    const int fd =
        ::open(settings_.lockPath.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return true; // no lock can be made: start anyway, the port decides
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

void ImageServerLauncher::releaseLock() {
    if (lockFd_ >= 0) {
        ::flock(lockFd_, LOCK_UN);
        ::close(lockFd_);
        lockFd_ = -1;
    }
}

bool ImageServerLauncher::start(const std::string& imageServer) {
    const QString program = settings_.program.isEmpty() ? defaultProgram() : settings_.program;
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        error_ = QStringLiteral("chronvale-imaged is not installed beside %1")
                     .arg(QCoreApplication::applicationDirPath());
        return false;
    }
    const std::string_view host = hostOf(imageServer);
    QStringList arguments = settings_.arguments;
    arguments << QStringLiteral("--bind")
              << (host == "localhost" ? QStringLiteral("127.0.0.1")
                                      : QString::fromUtf8(host.data(), qsizetype(host.size())))
              << QStringLiteral("--port") << QString::number(hostPort(imageServer));
    QString log = settings_.logPath;
    if (log.isEmpty()) {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/chronvale-imaged");
        QDir().mkpath(folder);
        log = QDir(folder).filePath(QStringLiteral("server.log"));
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(log, QIODevice::Append);
    process.setStandardErrorFile(log, QIODevice::Append);
    if (!process.startDetached(&pid_)) {
        error_ = QStringLiteral("cannot start %1").arg(program);
        return false;
    }
    return true;
}

ImageServerLauncher::Outcome ImageServerLauncher::ensureRunning(const std::string& imageServer) {
    server_ = imageServer;
    error_.clear();
    if (!isThisComputer(imageServer)) {
        return Outcome::NotThisComputer;
    }
    if (answersOnLoopback(imageServer)) {
        return Outcome::Answering;
    }
    waited_.start();
    if (!takeLock()) {
        timer_.start(); // another caller is starting it
        return Outcome::Waiting;
    }
    // The holder before may have started it just now.
    if (answersOnLoopback(imageServer)) {
        releaseLock();
        return Outcome::Answering;
    }
    if (!start(imageServer)) {
        releaseLock();
        return (settings_.program.isEmpty() ? defaultProgram() : settings_.program).isEmpty()
                   ? Outcome::NoProgram
                   : Outcome::Failed;
    }
    timer_.start();
    return Outcome::Starting;
}

void ImageServerLauncher::poll() {
    if (answersOnLoopback(server_)) {
        timer_.stop();
        releaseLock();
        emit ready();
    } else if (waited_.elapsed() > settings_.answerTimeoutMs) {
        timer_.stop();
        releaseLock();
        error_ = QStringLiteral("no image server answers at %1 after %2 s")
                     .arg(QString::fromStdString(server_))
                     .arg(settings_.answerTimeoutMs / 1000);
        emit gaveUp(error_);
    }
}

bool ImageServerLauncher::ensureRunningAndWait(const std::string& imageServer) {
    const Outcome outcome = ensureRunning(imageServer);
    if (outcome == Outcome::Answering) {
        return true;
    }
    if (outcome != Outcome::Starting && outcome != Outcome::Waiting) {
        return false;
    }
    const QDeadlineTimer deadline(settings_.answerTimeoutMs);
    while (!deadline.hasExpired()) {
        if (answersOnLoopback(imageServer)) {
            timer_.stop();
            releaseLock();
            return true;
        }
        QThread::msleep(static_cast<unsigned long>(settings_.pollMs));
    }
    timer_.stop();
    releaseLock();
    return false;
}

} // namespace chronvale
