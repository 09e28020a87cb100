#pragma once
// Finding cities by name as a user types it: case and accents do not count
// ("sao" finds São Paulo, "zurich" Zürich), and the best matches come first: the
// names equal to the query, then those that begin with it, then those that
// contain it, each group in file order.

#include "geo/city.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace chronvale {

// The text as the search compares it: UTF-8, case folded, accents and other
// combining marks removed, letters without a decomposition spelled in plain
// Latin (ø o, ł l, ß ss, æ ae ...), blanks at either end removed and runs of
// blanks made one. Invalid UTF-8 is taken as Latin-1.
std::string foldForSearch(std::string_view text);

enum class MatchRank { Exact = 0, Prefix = 1, Substring = 2 };

struct CityMatch {
    std::size_t index = 0; // position in the city list
    MatchRank rank = MatchRank::Substring;
};

class CitySearch {
public:
    // Folds every city's name and state once; the list must outlive the search
    // only for the indices to keep their meaning (nothing of it is kept).
    explicit CitySearch(const CityList& cities);

    std::size_t size() const { return names_.size(); }

    // Every city whose folded name contains the folded query, best first; none
    // for a query that folds to nothing.
    std::vector<CityMatch> find(std::string_view query) const;

    // The cities a typed name stands for: "London", "London (Westminster)" or
    // "London, Westminster" (the state picks among cities of the same name).
    // Only the best rank found is returned, all its cities in file order; empty
    // when nothing matches.
    std::vector<std::size_t> findBest(std::string_view nameAndState) const;

private:
    std::vector<std::size_t> bestOf(const std::vector<CityMatch>& matches) const;

    // The cities whose folded name is exactly the text, in file order; none when
    // no name is. Where it finds some they are the best matches (a batch of
    // thousands of names need not scan the list for each).
    const std::vector<std::size_t>* exactly(const std::string& folded) const;

    std::vector<std::string> names_;  // folded names, by city
    std::vector<std::string> states_; // folded states, empty when none
    std::unordered_map<std::string, std::vector<std::size_t>> exact_; // folded name: cities
};

} // namespace chronvale
