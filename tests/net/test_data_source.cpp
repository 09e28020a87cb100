// What the image server says about its data and the age texts made from it.

#include "net/data_source.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

constexpr std::time_t kNow = 1709629200; // 2024-03-05 09:00:00 UTC

struct SourceCase {
    const char* name;
    const char* body;
    bool found;
    const char* credit;
    const char* problem;
    std::time_t updated;
};

class ReadSource : public ::testing::TestWithParam<SourceCase> {};

TEST_P(ReadSource, ReadsTheElementAfterTheListAndPassesOverTheRest) {
    const SourceCase& c = GetParam();
    const std::optional<DataSource> source = readDataSource(c.body);
    ASSERT_EQ(source.has_value(), c.found);
    if (source) {
        EXPECT_EQ(source->credit, c.credit);
        EXPECT_EQ(source->problem, c.problem);
        EXPECT_EQ(source->updated, c.updated);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSource,
    ::testing::Values(
        SourceCase{"OldServer", "<images>\n<image t=\"2024030506\" m=\"clouds\" /></images>", false,
                   "", "", 0},
        SourceCase{"CreditOnly",
                   "<image t=\"2024030506\" /><source credit=\"Contains modified EUMETSAT "
                   "data.\" />",
                   true, "Contains modified EUMETSAT data.", "", 0},
        SourceCase{"ProblemAndTime",
                   "<quakes></quakes><SOURCE problem=\"no earthquake feed has answered since "
                   "03:00 UTC\" updated=\"1709600000\"/>",
                   true, "", "no earthquake feed has answered since 03:00 UTC", 1709600000},
        SourceCase{"EntitiesAndBadTime",
                   "<source credit=\"A &amp; B &quot;maps&quot; &lt;x&gt;\" updated=\"soon\" />",
                   true, "A & B \"maps\" <x>", "", 0},
        SourceCase{"FirstOfTwo", "<source credit=\"one\"/><source credit=\"two\"/>", true, "one",
                   "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct TimeCase {
    const char* t;
    std::optional<std::time_t> when;
};

class FrameTimes : public ::testing::TestWithParam<TimeCase> {};

TEST_P(FrameTimes, ReadTheUtcTimeOfAStamp) {
    EXPECT_EQ(frameTime(GetParam().t), GetParam().when) << GetParam().t;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameTimes,
    ::testing::Values(TimeCase{"2024030506", 1709618400}, TimeCase{"202403050630", 1709620200},
                      TimeCase{"20240305063015", 1709620215}, TimeCase{"202403050", std::nullopt},
                      TimeCase{"20240305063", std::nullopt}, TimeCase{"2024130506", std::nullopt},
                      TimeCase{"2024030525", std::nullopt}, TimeCase{"20240305x6", std::nullopt},
                      TimeCase{"", std::nullopt}));

struct AgeCase {
    std::time_t when;
    const char* text;
};

class Ages : public ::testing::TestWithParam<AgeCase> {};

TEST_P(Ages, SayTheUtcTimeAndHowLongAgo) {
    TextProvider english;
    EXPECT_EQ(ageText(GetParam().when, kNow, english), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, Ages,
                         ::testing::Values(AgeCase{kNow - 3 * 3600 - 1800, "05:30 UTC, 3 h ago"},
                                           AgeCase{kNow - 59 * 60, "08:01 UTC, 59 min ago"},
                                           AgeCase{kNow, "09:00 UTC, 0 min ago"},
                                           AgeCase{kNow + 600, "09:10 UTC, 0 min ago"},
                                           AgeCase{kNow - 50 * 3600, "07:00 UTC, 50 h ago"}));

struct OldCase {
    const char* name;
    std::time_t age;
    const char* problem;
    std::optional<std::string> text;
};

class OldData : public ::testing::TestWithParam<OldCase> {};

TEST_P(OldData, IsSaidPlainlyAfterSixHoursWithTheReason) {
    TextProvider english;
    EXPECT_EQ(oldDataText(kTextCloudsOld, kNow - GetParam().age, GetParam().problem, kNow, english),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OldData,
    ::testing::Values(OldCase{"Fresh", 3600, "", std::nullopt},
                      OldCase{"SixHoursExactly", 6 * 3600, "whatever", std::nullopt},
                      OldCase{"Old", 8 * 3600, "", "Clouds 8 h old."},
                      OldCase{"OldWithReason", 9 * 3600 + 59,
                              "no cloud source has answered since 00:00 UTC",
                              "Clouds 9 h old. Server: no cloud source has answered since 00:00 "
                              "UTC"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OldData, AnUnknownTimeIsNotOld) {
    TextProvider english;
    EXPECT_EQ(oldDataText(kTextQuakesOld, 0, "down", kNow, english), std::nullopt);
}

// With no data at all, a failing source is said as soon as the server names the
// problem, in the language's words.
TEST(MissingData, IsSaidWhenTheServerNamesAProblem) {
    struct German : TextProvider {
        std::string text(const NetText& text) override {
            return text.id == kTextCloudsMissing.id ? "Noch keine Wolken."
                   : text.id == kTextServerSays.id  ? "Server: %s"
                                                    : text.english;
        }
    };
    TextProvider english;
    German german;
    const struct {
        const NetText& missing;
        const char* problem;
        TextProvider& texts;
        std::optional<std::string> text;
    } cases[] = {
        {kTextCloudsMissing, "", english, std::nullopt},
        {kTextCloudsMissing, "no cloud source has answered since 09:00 UTC", english,
         "No clouds yet. Server: no cloud source has answered since 09:00 UTC"},
        {kTextQuakesMissing, "no earthquake feed has answered since 09:00 UTC", english,
         "No earthquake list yet. Server: no earthquake feed has answered since 09:00 UTC"},
        {kTextCloudsMissing, "down", german, "Noch keine Wolken. Server: down"},
    };
    for (const auto& [missing, problem, texts, text] : cases) {
        EXPECT_EQ(missingDataText(missing, problem, texts), text) << problem;
    }
}

} // namespace
} // namespace chronvale
