#pragma once
// Whole files read and written by the tests that use Qt, and file URIs.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QUrl>
#include <gtest/gtest.h>
#include <string>

namespace chronvale::test {

// Writes `content` to `path`, making its folders; a failure fails the test.
inline void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
}

// The bytes of the file; empty when it cannot be read.
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file: URI of a local path, as the desktops store a wallpaper.
inline QString uriOf(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
}

} // namespace chronvale::test
