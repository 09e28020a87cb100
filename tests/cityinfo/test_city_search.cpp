// The city search: folding of case and accents, the ranking, and the names with
// a state that the command line takes.

#include "cityinfo/city_search.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

TEST(CitySearch, FoldsCaseAccentsAndBlanks) {
    EXPECT_EQ(foldForSearch("São Paulo "), "sao paulo");
    EXPECT_EQ(foldForSearch("ZÜRICH"), "zurich");
    EXPECT_EQ(foldForSearch("Tromsø"), "tromso");
    EXPECT_EQ(foldForSearch("Łódź"), "lodz");
    EXPECT_EQ(foldForSearch("Straße"), "strasse");
    EXPECT_EQ(foldForSearch("  New \t York  "), "new york");
    EXPECT_EQ(foldForSearch("Z\xfcrich"), "zurich"); // Latin-1, not UTF-8
    EXPECT_EQ(foldForSearch(""), "");
    EXPECT_EQ(foldForSearch("   "), "");
}

CityList cities(std::initializer_list<std::pair<const char*, const char*>> names) {
    CityList list;
    for (const auto& [name, state] : names) {
        CityRecord& c = list.emplace_back();
        c.name = name;
        if (state != nullptr) {
            c.state = state;
        }
    }
    return list;
}

std::vector<std::size_t> indices(const std::vector<CityMatch>& matches) {
    std::vector<std::size_t> result;
    for (const CityMatch& m : matches) {
        result.push_back(m.index);
    }
    return result;
}

TEST(CitySearch, ExactThenPrefixThenSubstringEachInFileOrder) {
    const CitySearch search(cities({{"East London ", "Eastern Cape"},
                                    {"Londonderry ", "Derry"},
                                    {"London ", "Ontario"},
                                    {"Paris ", nullptr},
                                    {"London ", "Westminster"},
                                    {"Londrina ", "Paraná"}}));
    const std::vector<CityMatch> matches = search.find("LONDON");
    EXPECT_EQ(indices(matches), (std::vector<std::size_t>{2, 4, 1, 0}));
    EXPECT_EQ(matches[0].rank, MatchRank::Exact);
    EXPECT_EQ(matches[2].rank, MatchRank::Prefix);
    EXPECT_EQ(matches[3].rank, MatchRank::Substring);

    EXPECT_EQ(indices(search.find("lond")), (std::vector<std::size_t>{1, 2, 4, 5, 0}));
    EXPECT_TRUE(search.find("").empty());
    EXPECT_TRUE(search.find("tokyo").empty());
}

TEST(CitySearch, AccentsAndCaseDoNotCountEitherWay) {
    const CitySearch search(cities({{"São Paulo ", "São Paulo"}, {"Zürich ", "Zürich"}}));
    EXPECT_EQ(indices(search.find("sao")), (std::vector<std::size_t>{0}));
    EXPECT_EQ(indices(search.find("zurich")), (std::vector<std::size_t>{1}));
    EXPECT_EQ(indices(search.find("ZÜRI")), (std::vector<std::size_t>{1}));
}

TEST(CitySearch, BestMatchesWithAState) {
    const CitySearch search(cities({{"London ", "Ontario"},
                                    {"Londonderry ", "Derry"},
                                    {"London ", "Westminster"},
                                    {"Sydney ", "New South Wales"},
                                    {"Sydney ", "Nova Scotia"}}));
    EXPECT_EQ(search.findBest("London (Westminster)"), (std::vector<std::size_t>{2}));
    EXPECT_EQ(search.findBest("london, ontario"), (std::vector<std::size_t>{0}));
    EXPECT_EQ(search.findBest("Sydney (Nova"), (std::vector<std::size_t>{4}));
    // Equally good matches all come, in file order; a better rank hides worse ones.
    EXPECT_EQ(search.findBest("London"), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(search.findBest("Londo"), (std::vector<std::size_t>{0, 1, 2}));
    // A state that fits no such city: the text is taken as a name.
    EXPECT_TRUE(search.findBest("London (Texas)").empty());
    EXPECT_TRUE(search.findBest("Atlantis").empty());
}

} // namespace
} // namespace chronvale
