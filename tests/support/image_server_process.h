#pragma once
// chronvale-imaged started by a test on a free loopback port and stopped with it.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

namespace chronvale::test {

class ImageServerProcess {
public:
    // Starts the server on the folder with the extra options; waits (bounded) for
    // the line that names its address. started() tells whether that worked.
    ImageServerProcess(const QString& folder, const QStringList& options = {});
    ~ImageServerProcess();
    ImageServerProcess(const ImageServerProcess&) = delete;
    ImageServerProcess& operator=(const ImageServerProcess&) = delete;

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    // The process id while it runs, else 0.
    qint64 pid() const { return process_.processId(); }
    // "127.0.0.1:port", the image server host the services are given.
    std::string host() const;
    // Everything the server logged so far (one line per request).
    QString log();
    // How many logged requests contain `text`.
    int requests(const QString& text);
    // Waits (at most timeoutMs) until the log holds `text` `count` times.
    bool waitForLog(const QString& text, int count = 1, int timeoutMs = 20000);
    // Stops the server and waits (bounded) for it to end.
    void stop();

private:
    QProcess process_;
    QString log_;
    int port_ = 0;
};

// The path of the chronvale-imaged program of this build.
QString imageServerProgram();

} // namespace chronvale::test
