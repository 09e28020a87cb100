#pragma once
// The image server of a test that starts the chronvale window program.
//
// The window reads its image server from the installation's chronvale.ini
// (127.0.0.1:8470) and, when nothing answers there, starts `chronvale-imaged
// --mirror` itself and leaves it running. Started by a test, that server would
// outlive the test on the shared port and pull from the internet. An
// OwnImageServer runs an empty chronvale-imaged on a free loopback port for the
// life of the test and names it in an override Chronvale.conf of its own
// XDG_CONFIG_DIRS folder; the window finds it answering and starts no server.
// Its [Mirror] sources point at the same loopback server, so that even a mirror
// started from this configuration never reaches a real upstream.

#include "support/image_server_process.h"

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace chronvale::test {

class OwnImageServer {
public:
    OwnImageServer();
    OwnImageServer(const OwnImageServer&) = delete;
    OwnImageServer& operator=(const OwnImageServer&) = delete;

    // Whether the server answers and the override file is written; why() says
    // what failed otherwise.
    bool ready() const { return ready_; }
    QString why() const { return why_; }

    // Points a program's environment at this server (XDG_CONFIG_DIRS).
    void configure(QProcessEnvironment& environment) const;
    // The folder XDG_CONFIG_DIRS names.
    QString configFolder() const { return folder_.filePath(QStringLiteral("xdg")); }

    // "127.0.0.1:port"; empty before ready().
    std::string host() const { return ready_ ? server_->host() : std::string(); }
    // The server's process id, 0 when it does not run.
    qint64 pid() const { return server_ ? server_->pid() : 0; }
    // Its log, for the requests the program made. Only when ready().
    ImageServerProcess& server() { return *server_; }

private:
    QTemporaryDir folder_;
    std::unique_ptr<ImageServerProcess> server_;
    bool ready_ = false;
    QString why_;
};

} // namespace chronvale::test
