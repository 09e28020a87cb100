#include "support/own_image_server.h"

#include <QDir>
#include <QFile>

namespace chronvale::test {

OwnImageServer::OwnImageServer() {
    if (!folder_.isValid() || !QDir(folder_.path()).mkpath(QStringLiteral("frames")) ||
        !QDir(configFolder()).mkpath(QStringLiteral("QUILLMAR"))) {
        why_ = QStringLiteral("cannot make the test's folders");
        return;
    }
    // No --mirror and no --demo: the server serves its empty folder and pulls nothing.
    server_ = std::make_unique<ImageServerProcess>(folder_.filePath(QStringLiteral("frames")));
    if (!server_->started()) {
        why_ = QStringLiteral("%1 did not start: %2").arg(imageServerProgram(), server_->log());
        return;
    }
    const QString host = QString::fromStdString(server_->host());
    QFile file(QDir(configFolder()).filePath(QStringLiteral("QUILLMAR/Chronvale.conf")));
    if (!file.open(QIODevice::WriteOnly)) {
        why_ = QStringLiteral("cannot write %1").arg(file.fileName());
        return;
    }
    // The shipped sources after the first are emptied; the first ones are paths
    // the server does not have (it answers 404).
    const QString text = QStringLiteral("[General]\n"
                                        "server=\"%1\"\n"
                                        "[Mirror]\n"
                                        "clouds1=\"http://%1/no-upstream/clouds.jpg\"\n"
                                        "clouds2=\"\"\n"
                                        "clouds3=\"\"\n"
                                        "quakes1=\"http://%1/no-upstream/feed.geojson\"\n"
                                        "quakes2=\"\"\n")
                             .arg(host);
    ready_ = file.write(text.toUtf8()) > 0 && file.flush();
    if (!ready_) {
        why_ = QStringLiteral("cannot write %1").arg(file.fileName());
    }
}

void OwnImageServer::configure(QProcessEnvironment& environment) const {
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), configFolder());
}

} // namespace chronvale::test
