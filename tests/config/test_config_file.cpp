#include "config/config_file.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

CityRecord city(const char* name, float longitude) {
    CityRecord record;
    record.name = name;
    record.longitude = longitude;
    return record;
}

std::vector<std::string> markedNames(const CityList& cities) {
    std::vector<std::string> names;
    for (const CityRecord& record : cities) {
        if (record.marked) {
            names.push_back(record.name + "@" + std::to_string(record.longitude));
        }
    }
    return names;
}

TEST(ConfigFile, WritesVersionProductMarkedCitiesAndFrames) {
    CityList cities = {city("Springfield", -89.6f), city("Paris", 2.35f),
                       city("Springfield", -72.5f), city("Wellington", 174.78f)};
    cities[0].marked = true;
    cities[3].marked = true;
    CloudFrameTable frames;
    frames[0] = {"/home/u/cache/2024060115.jpg", "1", "2024060115", 5, -2, 0};
    frames[1] = {std::nullopt, std::nullopt, "2024060114", 0, 0, 0}; // never loaded
    frames[2] = {"/x.jpg", "1", std::nullopt, 1, 1, 2};              // no time stamp: not saved
    EXPECT_EQ(formatConfigFile(cities, frames), "version=" CHRONVALE_VERSION_TEXT "\n"
                                                "product=Quillmar Chronvale\n"
                                                "M=Springfield,-89\n"
                                                "M=Wellington,174\n"
                                                "C=/home/u/cache/2024060115.jpg,1,2024060115,5,-2\n"
                                                "C=,,2024060114,0,0\n");
    EXPECT_EQ(std::string(CHRONVALE_VERSION_TEXT), "2.00.001");
}

TEST(ConfigFile, MarkedCitiesMatchNameStartAndWholeDegrees) {
    CityList cities = {city("Springfield", -72.5f), city("springfield", -89.6f),
                       city("Springfield", -89.2f), city("Paris", 2.35f),
                       city("Parisian", 2.9f),      city("", 2.0f)};
    CloudFrameTable frames;
    // The longitude picks the second Springfield (any case), the first whose
    // longitude truncates to -89; the name only has to start the line's text.
    readConfigFile("M=SPRINGFIELD,-89\nM=Parisian,2\nM=Nowhere,5\nm=paris\n", cities, frames);
    EXPECT_EQ(markedNames(cities),
              (std::vector<std::string>{"springfield@-89.599998", "Paris@2.350000"}));

    // A comma inside a name: the longitude is the number after the last comma.
    CityList washington = {city("Washington, D.C.", -77.03f)};
    readConfigFile("M=Washington, D.C.,-77\n", washington, frames);
    EXPECT_TRUE(washington[0].marked);
    // A line must name the city: the first letters are compared too.
    EXPECT_EQ(findMarkedCity(cities, "X,2"), nullptr);
    EXPECT_EQ(findMarkedCity(cities, ",2"), nullptr);
}

TEST(ConfigFile, MarkedCitiesSurviveAWriteAndARead) {
    CityList cities = {city("Springfield", -89.6f), city("Springfield", -72.5f),
                       city("Quito", -78.5f), city("Springfield", -89.9f)};
    cities[0].marked = cities[2].marked = cities[3].marked = true;
    CloudFrameTable frames;
    const std::string text = formatConfigFile(cities, frames);
    for (CityRecord& record : cities) {
        record.marked = false;
    }
    readConfigFile(text, cities, frames);
    // Two marks with the same name and whole degrees come back as the first one.
    EXPECT_TRUE(cities[0].marked);
    EXPECT_FALSE(cities[1].marked);
    EXPECT_TRUE(cities[2].marked);
    EXPECT_FALSE(cities[3].marked);
}

TEST(ConfigFile, FramesComeBackInOrderUpToTwelve) {
    std::string text = "version=9\r\nproduct=x\r\nC=,,2024060100,7\r\n"
                       "c=/p/a.jpg,1,2024060101,2,3   \r\n";
    for (int i = 2; i < 14; ++i) {
        text += "C=/p/" + std::to_string(i) + ".jpg,1," + std::to_string(2024060100 + i) + ",0,0\n";
    }
    CityList cities;
    CloudFrameTable frames;
    readConfigFile(text, cities, frames);
    EXPECT_FALSE(frames[0].path); // written without a path: fetched again
    EXPECT_FALSE(frames[0].m);
    EXPECT_EQ(frames[0].t, "2024060100");
    EXPECT_EQ(frames[0].s, 7);
    EXPECT_EQ(frames[0].q, 0);
    EXPECT_EQ(frames[1].path, "/p/a.jpg");
    EXPECT_EQ(frames[1].m, "1");
    EXPECT_EQ(frames[1].t, "2024060101"); // CR LF and trailing blanks removed
    EXPECT_EQ(frames[1].q, 3);
    EXPECT_EQ(frames[11].t, "2024060111");
    // The 13th and 14th C= lines are ignored.
    for (const CloudFrame& frame : frames) {
        EXPECT_NE(frame.t, "2024060112");
    }

    // A path-less frame written and read again still has no path.
    CloudFrame pathless{std::nullopt, "1", "2024060100", 1, 2, 0};
    EXPECT_EQ(formatFrameLine(pathless), "C=,1,2024060100,1,2\n");
    const CloudFrame back = parseFrameLine(",1,2024060100,1,2");
    EXPECT_FALSE(back.path);
    EXPECT_EQ(back.t, pathless.t);

    // The time stamp names a cache file: anything but 10 to 14 digits is no time stamp.
    EXPECT_FALSE(parseFrameLine("/p/x.jpg,1,../../../etc/passwd,1,2").t);
    EXPECT_FALSE(parseFrameLine(",1,202406,1,2").t);
    EXPECT_EQ(parseFrameLine(",1,20240601153000,1,2").t, "20240601153000");
}

TEST(ConfigFile, CrLfAndLfLinesReadAlike) {
    const std::string lf = "M=Paris,2\nC=/a.jpg,m,2024010100,1,2\n";
    const std::string crLf = "M=Paris,2\r\nC=/a.jpg,m,2024010100,1,2\r\n";
    CityList a = {city("Paris", 2.35f)}, b = a;
    CloudFrameTable fa, fb;
    readConfigFile(lf, a, fa);
    readConfigFile(crLf, b, fb);
    EXPECT_TRUE(a[0].marked && b[0].marked);
    EXPECT_EQ(fa[0].path, fb[0].path);
    EXPECT_EQ(fa[0].t, fb[0].t);
    EXPECT_EQ(fa[0].q, fb[0].q);
}

TEST(ConfigFile, LongLinesAreReadInPiecesOf999) {
    // The second piece of an over-long line is a line of its own.
    const std::string text = std::string(999, 'x') + "M=Paris,2\n";
    CityList cities = {city("Paris", 2.1f)};
    CloudFrameTable frames;
    readConfigFile(text, cities, frames);
    EXPECT_TRUE(cities[0].marked);
    cities[0].marked = false;
    readConfigFile(std::string(998, 'x') + "M=Paris,2\n", cities, frames);
    EXPECT_FALSE(cities[0].marked);
}

std::string fileText(const QString& path) {
    return test::readFile(path).toStdString();
}

TEST(ConfigFile, ReplacingKeepsTheOldFileUntilTheNewOneIsComplete) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("config.ini");
    ASSERT_TRUE(replaceFileAtomically(path, "M=Paris,2\n"));
    EXPECT_EQ(fileText(path), "M=Paris,2\n");

    // A failure after config.ini.tmp is written and before the rename.
    bool tmpWritten = false;
    EXPECT_FALSE(replaceFileAtomically(path, "M=Rome,12\n", [&] {
        tmpWritten = fileText(path + ".tmp") == "M=Rome,12\n";
        return false;
    }));
    EXPECT_TRUE(tmpWritten);
    EXPECT_EQ(fileText(path), "M=Paris,2\n");
    EXPECT_FALSE(QFile::exists(path + ".tmp"));

    // A folder that does not exist cannot take the temporary file.
    EXPECT_FALSE(replaceFileAtomically(folder.filePath("missing/config.ini"), "x"));

    EXPECT_TRUE(replaceFileAtomically(path, "M=Rome,12\n"));
    EXPECT_EQ(fileText(path), "M=Rome,12\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"config.ini"});
}

} // namespace
} // namespace chronvale
