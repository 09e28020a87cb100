#pragma once
// The next time that suits every compared row: from an instant, the first
// stretch of at least a given length in which the working hours of all rows
// that have them overlap. Where none begins within the horizon, the best partial
// overlap: the most rows that do share such a stretch, the earliest of those.
//
// The search works on each row's shifts as intervals of instants (a row's local
// days from the day before the start to the day after the horizon, each shift's
// start and end turned into instants with the row's offset at that clock
// reading, so a change of offset inside a shift gives it its true length). An
// overlap of any set of rows begins where one of them starts a shift, or at the
// search's start, so only those instants are tried.

#include "cityinfo/compare_rows.h"

#include <cstddef>
#include <ctime>
#include <optional>
#include <vector>

namespace chronvale {

struct OverlapQuery {
    std::time_t from = 0;
    int minimumSeconds = 3600;
    int horizonSeconds = 14 * 86400; // the overlap must begin before from + horizon
};

struct Overlap {
    std::time_t start = 0;
    std::time_t end = 0;           // when the first of its rows stops working
    std::vector<std::size_t> rows; // the rows that share it, in row order
    bool complete = false;         // every row that has working hours shares it
};

// One row's shifts as [start, end) instants, in order, touching ones joined,
// covering its local days around from ... from + horizon.
struct Shift {
    std::time_t start = 0;
    std::time_t end = 0;
};
std::vector<Shift> shiftsOfRow(const CompareRow& row, std::time_t from, int horizonSeconds);

// The complete overlap, or the best partial one; none when fewer than two rows
// (or, with one row, not that one) can share a stretch of the minimum length,
// or no row has working hours.
std::optional<Overlap> findOverlap(const std::vector<CompareRow>& rows, const OverlapQuery& query);

} // namespace chronvale
