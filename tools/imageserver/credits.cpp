#include "credits.h"

#include "frame_folder.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QUrl>
#include <cstring>

namespace chronvale::imaged {

namespace {

const char* prefix(DataKind kind) {
    return kind == DataKind::Clouds ? "Cloud maps: " : "Earthquakes: ";
}

QByteArray readCredits(const QString& folder) {
    QFile file(QDir(folder).filePath(QLatin1String(kCreditsFile)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

std::string defaultCredit(const std::string& url, DataKind kind) {
    const std::string host = QUrl(QString::fromStdString(url)).host().toLower().toStdString();
    if (kind == DataKind::Clouds &&
        (host == "clouds.matteason.co.uk" || host == "matteason.github.io")) {
        return "Contains modified EUMETSAT data. Cloud map by Matt Eason's Live cloud maps "
               "(CC0).";
    }
    if (kind == DataKind::Clouds && host == "gibs.earthdata.nasa.gov") {
        return kGibsInfraredCredit;
    }
    if (kind == DataKind::Clouds && host == "realearth.ssec.wisc.edu") {
        return "Global infrared composite of geostationary satellites (GOES, Meteosat, "
               "Himawari) from SSEC RealEarth, University of Wisconsin-Madison.";
    }
    if (kind == DataKind::Quakes && host == "earthquake.usgs.gov") {
        return "U.S. Geological Survey, Earthquake Hazards Program (public domain).";
    }
    return kind == DataKind::Clouds ? "Cloud map from " + host + "."
                                    : "Earthquake feed from " + host + ".";
}

bool recordCredit(const QString& folder, DataKind kind, const std::string& url,
                  const std::string& credit) {
    const QByteArray line = QByteArray(prefix(kind)) + QByteArray::fromStdString(credit) +
                            " Source: " + QByteArray::fromStdString(url);
    QByteArray out;
    bool replaced = false;
    for (const QByteArray& old : readCredits(folder).split('\n')) {
        if (old.isEmpty()) {
            continue;
        }
        if (old.startsWith(prefix(kind))) {
            if (old == line) {
                return true;
            }
            out += line + '\n';
            replaced = true;
        } else {
            out += old + '\n';
        }
    }
    if (!replaced) {
        out += line + '\n';
    }
    return writeFileAtomically(QDir(folder).filePath(QLatin1String(kCreditsFile)), out);
}

std::string recordedCredit(const QString& folder, DataKind kind) {
    for (const QByteArray& line : readCredits(folder).split('\n')) {
        if (line.startsWith(prefix(kind))) {
            QByteArray credit = line.mid(static_cast<qsizetype>(std::strlen(prefix(kind))));
            const qsizetype source = credit.lastIndexOf(" Source: ");
            return (source >= 0 ? credit.left(source) : credit).toStdString();
        }
    }
    return {};
}

QByteArray creditsText(const QString& folder, bool demoFrames, bool demoQuakes) {
    QByteArray out;
    for (const QByteArray& line : readCredits(folder).split('\n')) {
        const bool madeUp = (demoFrames && line.startsWith(prefix(DataKind::Clouds))) ||
                            (demoQuakes && line.startsWith(prefix(DataKind::Quakes)));
        if (!line.isEmpty() && !madeUp) {
            out += line + '\n';
        }
    }
    if (demoFrames) {
        out += "Cloud maps: DEMO, procedural clouds made up by chronvale-imaged, not satellite "
               "images.\n";
    }
    if (demoQuakes) {
        out += "Earthquakes: DEMO, invented by chronvale-imaged, not real events.\n";
    }
    if (out.isEmpty()) {
        out = "No mirrored data yet.\n";
    }
    return out;
}

} // namespace chronvale::imaged
