#include "app/cli/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace chronvale {

namespace {

bool holdsData(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(QDir(folder).filePath("location.dat")).isFile();
}

QString firstDataFolder(const QString& explicitData) {
    if (!explicitData.isEmpty()) {
        return explicitData;
    }
    const QString fromEnvironment = qEnvironmentVariable("CHRONVALE_DATA");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString installed =
        QDir(executableFolder).filePath(QStringLiteral(CHRONVALE_DATA_FROM_BIN));
    if (QFileInfo(installed).isDir() || !runsFromBuildTree(executableFolder)) {
        return installed;
    }
    return QStringLiteral(CHRONVALE_SOURCE_DATA);
}

} // namespace

bool runsFromBuildTree(const QString& executableFolder) {
    const QString build = QFileInfo(QStringLiteral(CHRONVALE_BUILD_DIR)).canonicalFilePath();
    const QString here = QFileInfo(executableFolder).canonicalFilePath();
    return !build.isEmpty() && !here.isEmpty() &&
           (here == build || here.startsWith(build + QLatin1Char('/')));
}

Folders findFolders(const QString& explicitData, const QString& startFolder) {
    Folders folders;
    if (explicitData.isEmpty() && holdsData(startFolder)) {
        folders.data = startFolder;
        folders.user = startFolder;
        folders.portable = true;
    } else {
        folders.data = firstDataFolder(explicitData);
        folders.user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    folders.data = QDir::cleanPath(QDir(folders.data).absolutePath());
    folders.user = QDir::cleanPath(QDir(folders.user).absolutePath());
    return folders;
}

bool enterUserFolder(const Folders& folders) {
    return QDir().mkpath(folders.user) && QDir::setCurrent(folders.user);
}

} // namespace chronvale
