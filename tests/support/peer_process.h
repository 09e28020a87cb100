#pragma once
// A real proxy from a Debian package (tinyproxy, microsocks, danted), started by a
// test on a free loopback port and stopped when the object goes.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace chronvale::test {

class PeerProcess {
public:
    // Makes the command line for a port; may write files into `dir`.
    using Arguments = std::function<QStringList(quint16 port, const QString& dir)>;

    PeerProcess() = default;
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;
    ~PeerProcess();

    // The full path of an installed program (PATH, /usr/sbin, /usr/bin), or empty.
    static QString find(const QString& program);

    // Starts the program and waits until it accepts connections on its port. Another
    // port is tried when the program exits at once (a port taken in the meantime).
    // On failure `error` says why.
    bool start(const QString& program, const Arguments& arguments, QString& error);
    quint16 port() const { return port_; }

private:
    void stop();

    std::unique_ptr<QProcess> process_;
    QTemporaryDir dir_;
    quint16 port_ = 0;
};

} // namespace chronvale::test
