#include "support/peer_process.h"

#include "support/net_test_support.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpSocket>

namespace chronvale::test {

namespace {

// True once something accepts connections on the port.
bool accepts(quint16 port) {
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    const bool connected = probe.waitForConnected(500);
    probe.abort();
    return connected;
}

} // namespace

PeerProcess::~PeerProcess() {
    stop();
}

QString PeerProcess::find(const QString& program) {
    QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        path = QStandardPaths::findExecutable(program, {"/usr/sbin", "/usr/bin", "/sbin"});
    }
    return path;
}

bool PeerProcess::start(const QString& program, const Arguments& arguments, QString& error) {
    ensureApplication();
    const QString path = find(program);
    if (path.isEmpty()) {
        error = program + " is not installed (scripts/install-deps.sh installs it)";
        return false;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        stop();
        port_ = freePort();
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->start(path, arguments(port_, dir_.path()));
        if (!process_->waitForStarted(10000)) {
            error = program + " did not start: " + process_->errorString();
            return false;
        }
        const bool listening =
            waitFor([this] { return process_->state() != QProcess::Running || accepts(port_); },
                    std::chrono::seconds(15));
        if (listening && process_->state() == QProcess::Running) {
            return true;
        }
        error = program + " did not listen on port " + QString::number(port_) + ": " +
                QString::fromLocal8Bit(process_->readAll());
    }
    return false;
}

void PeerProcess::stop() {
    if (!process_) {
        return;
    }
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    process_.reset();
}

} // namespace chronvale::test
