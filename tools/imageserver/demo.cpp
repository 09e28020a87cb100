#include "demo.h"

#include "frame_folder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace chronvale::imaged {

namespace {

// A well-mixed 32-bit hash of a lattice point.
uint32_t hash(int32_t x, int32_t y, int32_t z) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 static_cast<uint32_t>(z) * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

float lattice(int32_t x, int32_t y, int32_t z) {
    return static_cast<float>(hash(x, y, z) & 0xffffffu) / static_cast<float>(0x1000000);
}

float fade(float t) {
    return t * t * (3.0f - 2.0f * t);
}

float mix(float a, float b, float t) {
    return a + (b - a) * t;
}

// Value noise in [0, 1) that repeats every `period` cells along x.
float valueNoise(float x, float y, float z, int period) {
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const float tx = fade(x - fx), ty = fade(y - fy), tz = fade(z - fz);
    const int32_t x0 = ((static_cast<int32_t>(fx) % period) + period) % period;
    const int32_t x1 = (x0 + 1) % period;
    const int32_t y0 = static_cast<int32_t>(fy), z0 = static_cast<int32_t>(fz);
    const float a = mix(lattice(x0, y0, z0), lattice(x1, y0, z0), tx);
    const float b = mix(lattice(x0, y0 + 1, z0), lattice(x1, y0 + 1, z0), tx);
    const float c = mix(lattice(x0, y0, z0 + 1), lattice(x1, y0, z0 + 1), tx);
    const float d = mix(lattice(x0, y0 + 1, z0 + 1), lattice(x1, y0 + 1, z0 + 1), tx);
    return mix(mix(a, b, ty), mix(c, d, ty), tz);
}

float bump(float value, float centre, float width) {
    const float d = (value - centre) / width;
    return std::exp(-d * d);
}

// How cloudy a latitude tends to be: the tropical rain belt and the storm tracks
// of the middle latitudes, with the dry subtropics between them.
float latitudeWeight(float latitude) {
    const float a = std::fabs(latitude);
    return 0.09f * bump(latitude, 5.0f, 7.0f) + 0.14f * bump(a, 55.0f, 14.0f) -
           0.12f * bump(a, 25.0f, 9.0f);
}

bool writeMarker(const QString& folder, const QStringList& names) {
    QByteArray listing = "Files made by chronvale-imaged --demo: procedural clouds and invented\n"
                         "earthquakes, not real data. A later --demo renews them.\n";
    for (const QString& name : names) {
        listing += name.toUtf8() + '\n';
    }
    return writeFileAtomically(QDir(folder).filePath(QLatin1String(kDemoMarker)), listing);
}

} // namespace

QImage demoCloudImage(long hoursSince1970, int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    constexpr int kOctaves = 6;
    constexpr int kBaseCells = 8; // cells across the map at the coarsest octave
    const float z = static_cast<float>(hoursSince1970 % 100000) / 9.0f;
    // Pixels east; whole turns of the map are dropped first, so the float stays exact.
    const float drift = static_cast<float>((hoursSince1970 * 3 / 2) % width);
    for (int row = 0; row < height; ++row) {
        uchar* line = image.scanLine(row);
        const float latitude = 90.0f - (static_cast<float>(row) + 0.5f) * 180.0f / height;
        const float weight = latitudeWeight(latitude);
        for (int x = 0; x < width; ++x) {
            float px = std::fmod(static_cast<float>(x) - drift, static_cast<float>(width));
            if (px < 0.0f) {
                px += static_cast<float>(width);
            }
            float sum = 0.0f, amplitude = 0.5f, total = 0.0f;
            int cells = kBaseCells;
            for (int o = 0; o < kOctaves; ++o) {
                const float scale = static_cast<float>(cells) / width;
                sum +=
                    amplitude * valueNoise(px * scale, row * scale, z * (1.0f + o * 0.5f), cells);
                total += amplitude;
                amplitude *= 0.5f;
                cells *= 2;
            }
            const float cover = sum / total + weight;
            const float v = std::clamp((cover - 0.5f) / 0.2f, 0.0f, 1.0f);
            const auto grey = static_cast<uchar>(std::pow(v, 1.3f) * 240.0f);
            line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = grey;
        }
    }
    return image;
}

QByteArray demoQuakeGeoJson(std::time_t now) {
    struct Event {
        const char* place;
        double lon, lat, depth, magnitude;
        int hoursAgo;
    };
    // Places along plate boundaries; the events themselves are invented.
    static const Event kEvents[] = {
        {"Demo event near the coast of central Chile", -71.6, -33.0, 35.0, 5.4, 6},
        {"Demo event in the Tonga region", -174.8, -20.5, 120.0, 5.9, 14},
        {"Demo event near the east coast of Honshu, Japan", 142.4, 38.3, 30.0, 6.1, 27},
        {"Demo event in the Banda Sea", 129.6, -6.7, 150.0, 4.9, 33},
        {"Demo event in southern Alaska", -151.2, 60.1, 60.0, 4.6, 41},
        {"Demo event on the Mid-Atlantic Ridge", -29.8, 0.9, 10.0, 4.8, 55},
        {"Demo event in the Hindu Kush, Afghanistan", 70.8, 36.5, 200.0, 5.2, 62},
        {"Demo event near the coast of Guerrero, Mexico", -100.0, 16.9, 25.0, 5.0, 77},
        {"Demo event in central Italy", 13.2, 42.7, 9.0, 4.5, 90},
        {"Demo event in the Kermadec Islands", -177.9, -29.9, 40.0, 5.6, 104},
        {"Demo event in northern Sumatra, Indonesia", 95.9, 3.3, 25.0, 6.4, 118},
        {"Demo event in the Aegean Sea", 26.1, 38.9, 12.0, 4.7, 131},
        {"Demo event in the Andreanof Islands, Alaska", -176.0, 51.5, 35.0, 5.1, 149},
        {"Demo event off the coast of Oregon", -127.2, 44.0, 10.0, 4.6, 160},
    };
    QJsonArray features;
    int index = 0;
    for (const Event& e : kEvents) {
        const double time = (static_cast<double>(now) - e.hoursAgo * 3600.0) * 1000.0;
        QJsonObject properties{
            {QStringLiteral("mag"), e.magnitude},
            {QStringLiteral("place"), QString::fromUtf8(e.place)},
            {QStringLiteral("time"), time},
            {QStringLiteral("type"), QStringLiteral("earthquake")},
            {QStringLiteral("title"), QStringLiteral("M %1 - %2")
                                          .arg(e.magnitude, 0, 'f', 1)
                                          .arg(QString::fromUtf8(e.place))},
        };
        QJsonObject geometry{{QStringLiteral("type"), QStringLiteral("Point")},
                             {QStringLiteral("coordinates"), QJsonArray{e.lon, e.lat, e.depth}}};
        features.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("Feature")},
                                    {QStringLiteral("properties"), properties},
                                    {QStringLiteral("geometry"), geometry},
                                    {QStringLiteral("id"), QStringLiteral("demo%1").arg(++index)}});
    }
    QJsonObject metadata{{QStringLiteral("generated"), static_cast<double>(now) * 1000.0},
                         {QStringLiteral("title"),
                          QStringLiteral("Chronvale demo earthquakes (made up, not real events)")},
                         {QStringLiteral("count"), static_cast<int>(features.size())}};
    const QJsonObject feed{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                           {QStringLiteral("metadata"), metadata},
                           {QStringLiteral("features"), features}};
    return QJsonDocument(feed).toJson(QJsonDocument::Indented);
}

bool makeDemoContent(const QString& folder, std::time_t now,
                     const std::function<void(const QString&)>& log, int width, int height) {
    if (!QDir().mkpath(folder)) {
        log(QStringLiteral("cannot create the folder %1").arg(folder));
        return false;
    }
    QDir dir(folder);
    const QString markerPath = dir.filePath(QLatin1String(kDemoMarker));
    const QString quakeName = QLatin1String(kQuakeFeedFile);
    // The marker names the files an earlier --demo made; only those are renewed.
    const QStringList oldDemo = demoFiles(folder);
    QStringList made;
    int ownFrames = 0;
    for (const FrameFile& frame : listFrames(folder)) {
        if (!oldDemo.contains(QString::fromStdString(frame.t) + QStringLiteral(".jpg"))) {
            ++ownFrames;
        }
    }
    if (ownFrames > 0) {
        log(QStringLiteral("%1 holds %2 frames of its own; no demo frames made")
                .arg(folder)
                .arg(ownFrames));
    } else {
        for (const QString& name : oldDemo) {
            if (name.endsWith(QLatin1String(".jpg"))) {
                dir.remove(name);
            }
        }
        const long newestHour = static_cast<long>(now / 3600);
        for (int i = 0; i < kDemoFrameCount; ++i) {
            const long hour = newestHour - static_cast<long>(i) * kDemoFrameHours;
            const std::string t = hourTimeStamp(static_cast<std::time_t>(hour) * 3600);
            QByteArray jpeg;
            QBuffer out(&jpeg);
            out.open(QIODevice::WriteOnly);
            const QString name = QString::fromStdString(t) + QStringLiteral(".jpg");
            if (!demoCloudImage(hour, width, height).save(&out, "JPG", 85) ||
                !writeFileAtomically(dir.filePath(name), jpeg)) {
                log(QStringLiteral("cannot write the demo frame %1").arg(dir.filePath(name)));
                return false;
            }
            made << name;
        }
        log(QStringLiteral("DEMO: made %1 procedural cloud frames (not satellite images), %2 hours "
                           "apart, the newest at %3 UTC")
                .arg(kDemoFrameCount)
                .arg(kDemoFrameHours)
                .arg(QString::fromStdString(hourTimeStamp(now))));
    }
    const bool hasQuakes = dir.exists(quakeName) || dir.exists(QStringLiteral("quakes.xml"));
    if (!hasQuakes || oldDemo.contains(quakeName)) {
        if (!writeFileAtomically(dir.filePath(quakeName), demoQuakeGeoJson(now))) {
            log(QStringLiteral("cannot write the demo earthquake file"));
            return false;
        }
        made << quakeName;
        log(QStringLiteral("DEMO: made %1 with invented earthquakes (not real events)")
                .arg(dir.filePath(quakeName)));
    }
    if (made.isEmpty()) {
        return true;
    }
    if (!writeMarker(folder, made)) {
        log(QStringLiteral("cannot write %1").arg(markerPath));
        return false;
    }
    return true;
}

bool hasDemoFrames(const QStringList& demo) {
    return std::any_of(demo.begin(), demo.end(),
                       [](const QString& name) { return name.endsWith(QLatin1String(".jpg")); });
}

QStringList demoFiles(const QString& folder) {
    QStringList names;
    QFile marker(QDir(folder).filePath(QLatin1String(kDemoMarker)));
    if (marker.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : marker.readAll().split('\n')) {
            if (line.endsWith(".jpg") || line == kQuakeFeedFile) {
                names << QString::fromUtf8(line);
            }
        }
    }
    return names;
}

bool retireDemoContent(const QString& folder, bool frames, bool quakes) {
    const QStringList old = demoFiles(folder);
    QDir dir(folder);
    QStringList kept;
    bool ok = true;
    for (const QString& name : old) {
        const bool isFrame = name.endsWith(QLatin1String(".jpg"));
        if (isFrame && frames) {
            ok = (dir.remove(name) || !dir.exists(name)) && ok;
        } else if (!(name == QLatin1String(kQuakeFeedFile) && quakes)) {
            kept << name;
        }
    }
    if (kept.size() == old.size()) {
        return ok;
    }
    if (kept.isEmpty()) {
        return dir.remove(QLatin1String(kDemoMarker)) && ok;
    }
    return writeMarker(folder, kept) && ok;
}

} // namespace chronvale::imaged
