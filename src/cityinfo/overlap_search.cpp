#include "cityinfo/overlap_search.h"

#include <algorithm>
#include <utility>

namespace chronvale {

namespace {

constexpr std::int64_t kDay = 86400;

// The shift of `shifts` that holds the instant; nullptr when none does.
const Shift* shiftAt(const std::vector<Shift>& shifts, std::time_t instant) {
    auto after = std::upper_bound(shifts.begin(), shifts.end(), instant,
                                  [](std::time_t t, const Shift& s) { return t < s.start; });
    if (after == shifts.begin()) {
        return nullptr;
    }
    --after;
    return instant < after->end ? &*after : nullptr;
}

} // namespace

std::vector<Shift> shiftsOfRow(const CompareRow& row, std::time_t from, int horizonSeconds) {
    std::vector<Shift> shifts;
    if (!row.hours || !row.offset) {
        return shifts;
    }
    const WorkingHours& hours = *row.hours;
    const std::int64_t firstDay =
        dayOfLocalSeconds(static_cast<std::int64_t>(from) + row.offset(from)) - 1;
    const std::int64_t lastDay = firstDay + horizonSeconds / kDay + 3;
    for (std::int64_t day = firstDay; day <= lastDay; ++day) {
        if ((hours.days & (1u << weekdayOfDay(day))) == 0) {
            continue;
        }
        const std::int64_t startLocal = day * kDay + hours.startMinute * 60;
        const std::int64_t endLocal = startLocal + shiftMinutes(hours) * 60;
        Shift shift{instantOfLocal(row.offset, startLocal), instantOfLocal(row.offset, endLocal)};
        if (shift.end <= shift.start) {
            continue; // a shift swallowed by a change of offset
        }
        if (!shifts.empty() && shift.start <= shifts.back().end) {
            shifts.back().end = std::max(shifts.back().end, shift.end);
        } else {
            shifts.push_back(shift);
        }
    }
    return shifts;
}

std::optional<Overlap> findOverlap(const std::vector<CompareRow>& rows, const OverlapQuery& query) {
    std::vector<std::size_t> working; // the rows that have hours
    std::vector<std::vector<Shift>> shifts;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].hours && rows[i].offset) {
            working.push_back(i);
            shifts.push_back(shiftsOfRow(rows[i], query.from, query.horizonSeconds));
        }
    }
    if (working.empty()) {
        return std::nullopt;
    }
    const std::time_t last = query.from + query.horizonSeconds; // starts before this
    std::vector<std::time_t> candidates{query.from};
    for (const std::vector<Shift>& row : shifts) {
        for (const Shift& shift : row) {
            if (shift.start > query.from && shift.start < last) {
                candidates.push_back(shift.start);
            }
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    std::optional<Overlap> best;
    std::vector<std::pair<std::time_t, std::size_t>> ends; // end of the shift in progress, row
    for (const std::time_t start : candidates) {
        ends.clear();
        for (std::size_t r = 0; r < shifts.size(); ++r) {
            if (const Shift* shift = shiftAt(shifts[r], start)) {
                ends.emplace_back(shift->end, working[r]);
            }
        }
        // The rows that stay longest go together: the k latest ends share
        // [start, k-th latest end).
        std::sort(ends.begin(), ends.end(), [](const auto& a, const auto& b) {
            return a.first > b.first || (a.first == b.first && a.second < b.second);
        });
        std::size_t count = 0;
        while (count < ends.size() && ends[count].first - start >= query.minimumSeconds) {
            ++count;
        }
        if (count == 0 || (best && count <= best->rows.size())) {
            continue;
        }
        Overlap found;
        found.start = start;
        found.end = ends[count - 1].first;
        for (std::size_t k = 0; k < count; ++k) {
            found.rows.push_back(ends[k].second);
        }
        std::sort(found.rows.begin(), found.rows.end());
        found.complete = count == working.size();
        best = std::move(found);
        if (best->complete) {
            break;
        }
    }
    if (best && !best->complete && best->rows.size() < 2) {
        return std::nullopt;
    }
    return best;
}

} // namespace chronvale
