#include "frame_folder.h"

#include "net/cloud_frame.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <algorithm>

namespace chronvale::imaged {

namespace {

// Time stamps of different lengths compare as if padded with zeros to 14 digits.
std::string sortKey(const std::string& t) {
    return t + std::string(14 - t.size(), '0');
}

} // namespace

std::vector<FrameFile> listFrames(const QString& folder) {
    std::vector<FrameFile> frames;
    const QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.jpg")}, QDir::Files);
    for (const QFileInfo& info : files) {
        const std::string t = info.completeBaseName().toStdString();
        if (info.suffix() != QLatin1String("jpg") || !isFrameTimeStamp(t)) {
            continue;
        }
        frames.push_back({t, info.absoluteFilePath(), info.size(),
                          QFileInfo(hiresFramePath(folder, t)).isFile()});
    }
    std::sort(frames.begin(), frames.end(),
              [](const FrameFile& a, const FrameFile& b) { return sortKey(a.t) > sortKey(b.t); });
    return frames;
}

std::optional<FrameFile> findFrame(const QString& folder, const std::string& t) {
    if (!isFrameTimeStamp(t)) {
        return std::nullopt;
    }
    const QFileInfo info(QDir(folder).filePath(QString::fromStdString(t) + QStringLiteral(".jpg")));
    if (!info.isFile()) {
        return std::nullopt;
    }
    return FrameFile{t, info.absoluteFilePath(), info.size(),
                     QFileInfo(hiresFramePath(folder, t)).isFile()};
}

QString hiresFolder(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("4096"));
}

QString hiresFramePath(const QString& folder, const std::string& t) {
    return QDir(hiresFolder(folder)).filePath(QString::fromStdString(t) + QStringLiteral(".jpg"));
}

std::string hourTimeStamp(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d%H", &parts);
    return text;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QString> ingestImage(const QString& folder, const QString& imagePath,
                                   const std::string& t) {
    if (!isFrameTimeStamp(t)) {
        return QStringLiteral("'%1' is not a time stamp (10 to 14 digits, YYYYMMDDHH)")
            .arg(QString::fromStdString(t));
    }
    QFile source(imagePath);
    if (!source.open(QIODevice::ReadOnly)) {
        return QStringLiteral("cannot read %1: %2").arg(imagePath, source.errorString());
    }
    QByteArray bytes = source.readAll();
    const bool isJpeg = bytes.startsWith("\xFF\xD8\xFF");
    if (!isJpeg) {
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        QImage image = reader.read();
        if (image.isNull()) {
            return QStringLiteral("%1 is not an image that can be read: %2")
                .arg(imagePath, reader.errorString());
        }
        QByteArray jpeg;
        QBuffer out(&jpeg);
        out.open(QIODevice::WriteOnly);
        if (!image.convertToFormat(QImage::Format_RGB888).save(&out, "JPG", 90)) {
            return QStringLiteral("cannot encode %1 as JPEG").arg(imagePath);
        }
        bytes = jpeg;
    }
    if (!QDir().mkpath(folder)) {
        return QStringLiteral("cannot create the folder %1").arg(folder);
    }
    const QString target =
        QDir(folder).filePath(QString::fromStdString(t) + QStringLiteral(".jpg"));
    if (!writeFileAtomically(target, bytes)) {
        return QStringLiteral("cannot write %1").arg(target);
    }
    return std::nullopt;
}

} // namespace chronvale::imaged
