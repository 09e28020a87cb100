// The installed data folder, read with the program's own loaders: every file
// loads, the tables agree with each other and with the time-zone image, and the
// daylight-saving rules give the right answer for well-known places.

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/area_codes.h"
#include "geo/city.h"
#include "geo/dst.h"
#include "geo/time_zone.h"
#include "geo/zone_colours.h"
#include "render/earth_image.h"
#include "render/hover_pick.h"
#include "render/map_view.h"
#include "support/scratch.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace chronvale {
namespace {

const std::string dataDir = std::string(CHRONVALE_SOURCE_DIR) + "/data/";

// The map pixel at which the program reads a city's offset.
std::pair<int, int> cityPixel(const CityRecord& city) {
    int x = static_cast<int>((city.longitude + 180.0f) / 360.0f * 1024.0f);
    int y = 512 - static_cast<int>((city.latitude + 90.0f) / 180.0f * 512.0f);
    return {x, y};
}

// The offset the program reads from the time-zone image at a pixel.
float offsetAt(const EarthImage& image, int x, int y) {
    const uint8_t* p = pixelAddress(&image, x, y);
    return p == nullptr ? 0.0f : zoneOffsetForColour(p[2], p[1], p[0]);
}

std::string lowered(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

using test::utc;

class InstalledData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RecordingLoadErrorSink errors;
        data = new Tables{loadCityDatabase(dataDir + "location.dat", errors),
                          loadTimeZoneTable(dataDir + "tz_data.dat", errors),
                          loadDstRules(dataDir + "tz_dst.dat", errors),
                          loadAreaCodes(dataDir + "areacode.dat", errors),
                          loadImage(dataDir + "images/earth_tz.bmp"),
                          errors.files};
        std::printf("installed data: %zu cities, %zu zones, %zu DST rules, %zu area codes\n",
                    data->cities.size(), data->zones.size(), data->rules.size(),
                    data->areaCodes.size());
    }
    static void TearDownTestSuite() {
        delete data;
        data = nullptr;
    }

    struct Tables {
        CityList cities;
        ZoneTable zones;
        DstRuleTable rules;
        AreaCodeTable areaCodes;
        ImagePtr tzImage;
        std::vector<std::string> errors;
    };
    static Tables* data;

    static const CityRecord* city(const std::string& name, const std::string& country) {
        for (const CityRecord& c : data->cities) {
            auto trimmed = c.name.substr(0, c.name.find_last_not_of(' ') + 1);
            if (trimmed == name && countryOfCity(c, data->zones) == country) {
                return &c;
            }
        }
        return nullptr;
    }
};

InstalledData::Tables* InstalledData::data = nullptr;

TEST_F(InstalledData, EveryFileLoadsWithoutAMessage) {
    EXPECT_TRUE(data->errors.empty()) << "unable to load " << data->errors.front();
    EXPECT_GE(data->cities.size(), 5000u);
    EXPECT_LE(data->cities.size(), 8000u);
    EXPECT_GT(data->zones.size(), 300u);
    EXPECT_GE(data->rules.size(), 8u);
    EXPECT_GT(data->areaCodes.size(), 200u);
    for (const char* name :
         {"images/earth_day.bmp", "images/earth_night.bmp", "images/earth_tz.bmp"}) {
        ImagePtr image = loadImage(dataDir + name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->width(), 1024) << name;
        EXPECT_EQ(image->height(), 512) << name;
        EXPECT_EQ(image->bitsPerPixel(), 24) << name;
    }
}

TEST_F(InstalledData, TimeZoneImageHoldsOnlyTableColours) {
    ASSERT_NE(data->tzImage, nullptr);
    std::set<std::tuple<int, int, int>> table;
    for (const ZoneColour& row : zoneColourTable()) {
        table.insert({row.red, row.green, row.blue});
    }
    int strange = 0;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const uint8_t* p = pixelAddress(data->tzImage.get(), x, y);
            if (!table.count({p[2], p[1], p[0]})) {
                ADD_FAILURE_AT(__FILE__, __LINE__)
                    << "pixel " << x << "," << y << " is " << int(p[2]) << "," << int(p[1]) << ","
                    << int(p[0]);
                if (++strange == 5) {
                    return;
                }
            }
        }
    }
}

// Every city finds its own zone record (zone keys are unique, so the first match
// is the city's zone), and its country has a country line in areacode.dat
// spelled alike.
TEST_F(InstalledData, EveryCityHasACountryWithADiallingCode) {
    std::set<std::string> keys;
    for (const TimeZoneRecord& zone : data->zones) {
        EXPECT_TRUE(keys.insert(lowered(zone.zoneKey)).second)
            << "zone key twice: " << zone.zoneKey;
        EXPECT_FALSE(areaCodeText(data->areaCodes, zone.country, "", AreaCodeMode::country).empty())
            << "no dialling code for " << zone.country;
    }
    for (const CityRecord& c : data->cities) {
        std::optional<std::string> country = countryOfCity(c, data->zones);
        ASSERT_TRUE(country.has_value() && !country->empty()) << c.name << " has no country";
    }
}

// Marked cities are saved by name and whole-degree longitude.
TEST_F(InstalledData, NoTwoCitiesShareNameAndWholeDegreeLongitude) {
    std::set<std::pair<std::string, int>> seen;
    for (const CityRecord& c : data->cities) {
        EXPECT_TRUE(seen.insert({lowered(c.name), static_cast<int>(c.longitude)}).second)
            << c.name << " at " << c.longitude;
    }
}

// Column 5 of tz_data.dat (not read by the program) records each zone's standard
// offset from tzdata as "UTC+hh:mm"; the image must give it at the city's pixel.
TEST_F(InstalledData, CitiesLieOnTheirZonesStandardOffset) {
    std::optional<std::string> text = loadPackedTextFile(dataDir + "tz_data.dat");
    ASSERT_TRUE(text.has_value());
    std::map<std::string, float> standard;
    std::istringstream lines(*text);
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string f; std::getline(fields, f, '\t');) {
            columns.push_back(f);
        }
        ASSERT_GE(columns.size(), 7u) << line;
        int hh = 0, mm = 0;
        char sign = '+';
        ASSERT_EQ(std::sscanf(columns[4].c_str(), "UTC%c%d:%d", &sign, &hh, &mm), 3) << line;
        float hours = static_cast<float>(hh) + static_cast<float>(mm) / 60.0f;
        std::string key = columns[3].substr(columns[3].rfind('/') + 1);
        standard[lowered(key)] = sign == '-' ? -hours : hours;
    }
    int matching = 0;
    std::vector<std::string> exceptions;
    for (const CityRecord& c : data->cities) {
        auto [x, y] = cityPixel(c);
        float want = standard.at(lowered(c.zoneKey));
        float got = offsetAt(*data->tzImage, x, y);
        if (got == want) {
            ++matching;
        } else if (exceptions.size() < 30) {
            exceptions.push_back(c.name + " " + std::to_string(got) + " h, zone " +
                                 std::to_string(want));
        }
    }
    double share = static_cast<double>(matching) / static_cast<double>(data->cities.size());
    std::printf("installed data: %d of %zu cities on their zone's offset (%.2f %%)\n", matching,
                data->cities.size(), 100.0 * share);
    EXPECT_GE(share, 0.99) << ::testing::PrintToString(exceptions);
}

// Reference: tzdata 2026f (the pinned release). Standard offsets in hours and
// daylight saving in minutes on 15 January and 15 July 2027, 12:00 UTC.
struct Place {
    const char* name;
    const char* country;
    float standardHours;
    int januaryMinutes;
    int julyMinutes;
};

const Place places[] = {
    {"Wellington", "New Zealand", 12.0f, 60, 0},
    {"Suva", "Fiji", 12.0f, 0, 0},
    {"Sydney", "Australia", 10.0f, 60, 0},
    {"Brisbane", "Australia", 10.0f, 0, 0},
    {"Adelaide", "Australia", 9.5f, 60, 0},
    {"Tokyo", "Japan", 9.0f, 0, 0},
    {"Beijing", "China", 8.0f, 0, 0},
    {"Kathmandu", "Nepal", 5.75f, 0, 0},
    {"New Delhi", "India", 5.5f, 0, 0},
    {"Tehran", "Iran", 3.5f, 0, 0},
    {"Moscow", "Russian Federation", 3.0f, 0, 0},
    {"Cairo", "Egypt", 2.0f, 0, 60},
    {"Jerusalem", "Israel", 2.0f, 0, 60},
    {"Paris", "France", 1.0f, 0, 60},
    {"London", "United Kingdom", 0.0f, 0, 60},
    {"Dublin", "Ireland", 0.0f, 0, 60},
    {"Casablanca", "Morocco", 0.0f, 0, 0},
    {"Reykjavík", "Iceland", 0.0f, 0, 0},
    {"Brasília", "Brazil", -3.0f, 0, 0},
    {"Santiago", "Chile", -4.0f, 60, 0},
    {"Gander", "Canada", -3.5f, 0, 60},
    {"New York", "United States", -5.0f, 0, 60},
    {"Winnipeg", "Canada", -5.0f, 0, 0},  // Manitoba: permanent -05 from 2026
    {"Calgary", "Canada", -6.0f, 0, 0},   // Alberta: permanent -06 from 2026
    {"Vancouver", "Canada", -7.0f, 0, 0}, // British Columbia: permanent -07 from 2026
    {"Phoenix", "United States", -7.0f, 0, 0},
    {"Honolulu", "United States", -10.0f, 0, 0},
};

TEST_F(InstalledData, WellKnownPlacesKeepTheirTime) {
    std::time_t january = utc(2027, 1, 15, 12);
    std::time_t july = utc(2027, 7, 15, 12);
    for (const Place& place : places) {
        const CityRecord* c = city(place.name, place.country);
        ASSERT_NE(c, nullptr) << place.name << ", " << place.country << " is missing";
        auto [x, y] = cityPixel(*c);
        EXPECT_EQ(offsetAt(*data->tzImage, x, y), place.standardHours) << place.name;
        EXPECT_EQ(dstOffsetMinutes(*c, data->zones, data->rules, january), place.januaryMinutes)
            << place.name << " in January";
        EXPECT_EQ(dstOffsetMinutes(*c, data->zones, data->rules, july), place.julyMinutes)
            << place.name << " in July";
    }
}

TEST_F(InstalledData, CityAreaCodesUseTheCitysOwnNames) {
    EXPECT_EQ(areaCodeText(data->areaCodes, "Australia", "", AreaCodeMode::country), "61");
    EXPECT_EQ(areaCodeText(data->areaCodes, "Australia", "Sydney", AreaCodeMode::city), " 2");
    EXPECT_EQ(areaCodeText(data->areaCodes, "United Kingdom", "London", AreaCodeMode::city), " 20");
    EXPECT_EQ(areaCodeText(data->areaCodes, "United States", "New York", AreaCodeMode::city),
              " 212, 718");
}

// One line of largest_cities.tsv: name, country, latitude, longitude, population.
struct LargeCity {
    std::string name;
    std::string country;
    float latitude = 0.0f;
    float longitude = 0.0f;
};

std::vector<LargeCity> largestCities() {
    std::vector<LargeCity> list;
    std::ifstream in(std::string(CHRONVALE_SOURCE_DIR) + "/tests/tools/largest_cities.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string part; std::getline(fields, part, '\t');) {
            f.push_back(part);
        }
        if (f.size() >= 4) {
            list.push_back({f[0], f[1], std::strtof(f[2].c_str(), nullptr),
                            std::strtof(f[3].c_str(), nullptr)});
        }
    }
    return list;
}

// Many towns share a big city's pixel at 1:1 (39 km wide); the big city comes
// first in the file, so a double-click on its pixel marks it and hovering it names
// it.
TEST_F(InstalledData, TheLargestCitiesArePickedAtTheirOwnPixel) {
    const std::vector<LargeCity> largest = largestCities();
    ASSERT_EQ(largest.size(), 200u) << "tests/tools/largest_cities.tsv";
    MapView view; // 1:1, no pan: the pane starts at the window's (0, 2)
    view.mapArea = PaneRect{0, 2, 1400, 800};
    std::vector<std::string> wrong;
    for (const LargeCity& want : largest) {
        std::optional<std::size_t> index;
        for (std::size_t i = 0; i < data->cities.size() && !index; ++i) {
            const CityRecord& c = data->cities[i];
            if (c.name.substr(0, c.name.find_last_not_of(' ') + 1) == want.name &&
                std::fabs(c.latitude - want.latitude) < 0.001f &&
                std::fabs(c.longitude - want.longitude) < 0.001f &&
                countryOfCity(c, data->zones) == want.country) {
                index = i;
            }
        }
        if (!index) {
            ADD_FAILURE() << want.name << ", " << want.country << " is not in location.dat";
            continue;
        }
        const Point pane = view.mapToPane(want.longitude, want.latitude);
        const std::optional<CityHit> hit = view.nearestCity(data->cities, pane.x, pane.y);
        const Point window = view.mapToScreen(want.longitude, want.latitude);
        const std::optional<HoverPick> hover = pickHoveredCity(view, data->cities, window);
        if (!hit || hit->index != *index) {
            wrong.push_back(want.name + " marks " + (hit ? data->cities[hit->index].name : "none"));
        }
        if (!hover || hover->index != *index) {
            wrong.push_back(want.name + " hovers " +
                            (hover ? data->cities[hover->index].name : "none"));
        }
    }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

// Hovering a big city names it and the status bar shows its country, also by a
// border where a town of the neighbour shares its pixel.
TEST_F(InstalledData, HoveringABigCityNamesItAndItsCountry) {
    MapView view;
    view.mapArea = PaneRect{0, 2, 1400, 800};
    for (const auto& [name, country] :
         std::vector<std::pair<std::string, std::string>>{{"London", "United Kingdom"},
                                                          {"Lahore", "Pakistan"},
                                                          {"Kathmandu", "Nepal"},
                                                          {"Santiago", "Chile"}}) {
        const CityRecord* c = city(name, country);
        ASSERT_NE(c, nullptr) << name;
        const Point at = view.mapToScreen(c->longitude, c->latitude);
        const std::optional<HoverPick> hover = pickHoveredCity(view, data->cities, at);
        ASSERT_TRUE(hover) << name;
        EXPECT_EQ(&data->cities[hover->index], c) << data->cities[hover->index].name;
        EXPECT_EQ(countryOfCity(data->cities[hover->index], data->zones), country) << name;
        // Around it, another city wins only by being nearer, never by a tie.
        auto distance = [&](Point pointer, const CityRecord& other) {
            const Point p = view.mapToScreen(other.longitude, other.latitude);
            const float dx = static_cast<float>(pointer.x - p.x);
            const float dy = static_cast<float>(pointer.y - p.y);
            return static_cast<int>(std::sqrt(dx * dx + dy * dy));
        };
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                const Point pointer{at.x + dx, at.y + dy};
                const std::optional<HoverPick> near = pickHoveredCity(view, data->cities, pointer);
                ASSERT_TRUE(near) << name;
                const CityRecord& named = data->cities[near->index];
                if (&named != c) {
                    EXPECT_LT(distance(pointer, named), distance(pointer, *c))
                        << named.name << " instead of " << name << " at " << dx << "," << dy;
                }
            }
        }
    }
}

} // namespace
} // namespace chronvale
