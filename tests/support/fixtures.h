#pragma once
// Small things many tests make: a city record and a file with given bytes.

#include "geo/city.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>
#include <string>

namespace chronvale::test {

inline CityRecord city(const std::string& name, float latitude, float longitude) {
    CityRecord record;
    record.name = name;
    record.latitude = latitude;
    record.longitude = longitude;
    return record;
}

// Writes `content` to `path`, making its folders.
inline void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace chronvale::test
