#include "geo/tzif.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace chronvale {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int32_t kMaxOffset = 25 * 3600;      // offsets of the footer rule
constexpr std::int32_t kMaxSwitchTime = 167 * 3600; // times of day of its switches
constexpr std::uint32_t kMaxLeapRecords = 1024;
constexpr std::size_t kHeaderSize = 44;

// --------------------------------------------------------------- calendar

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = floorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::int64_t yearOfDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = floorDiv(days, 146097);
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    return yoe + era * 400 + (month <= 2 ? 1 : 0);
}

bool isLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(std::int64_t y, int m) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

// Days since 1970-01-01 of the day a switch names in year y.
std::int64_t switchDay(const PosixSwitch& s, std::int64_t y) {
    const std::int64_t jan1 = daysFromCivil(y, 1, 1);
    switch (s.kind) {
    case PosixSwitch::Kind::Julian1:
        return jan1 + s.day - 1 + (isLeap(y) && s.day >= 60 ? 1 : 0);
    case PosixSwitch::Kind::Julian0:
        return jan1 + s.day;
    case PosixSwitch::Kind::MonthWeekDay:
        break;
    }
    const std::int64_t first = daysFromCivil(y, s.month, 1);
    // 1970-01-01 was a Thursday (weekday 4).
    const int firstWeekday = static_cast<int>(((first + 4) % 7 + 7) % 7);
    int day = 1 + (s.weekday - firstWeekday + 7) % 7 + (s.week - 1) * 7;
    while (day > daysInMonth(y, s.month)) {
        day -= 7;
    }
    return first + day - 1;
}

// --------------------------------------------------------------- the POSIX rule

class RuleScanner {
public:
    explicit RuleScanner(std::string_view text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    bool take(char c) {
        if (peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }

    // "EST" (three or more letters) or "<+0530>" (letters, digits, signs).
    std::optional<std::string> name() {
        std::string out;
        if (take('<')) {
            while (!atEnd() && peek() != '>') {
                const char c = text_[pos_++];
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-') {
                    return std::nullopt;
                }
                out += c;
            }
            if (!take('>') || out.size() < 3) {
                return std::nullopt;
            }
            return out;
        }
        while (!atEnd() && std::isalpha(static_cast<unsigned char>(peek()))) {
            out += text_[pos_++];
        }
        return out.size() >= 3 ? std::optional<std::string>(out) : std::nullopt;
    }

    // [+-]hh[:mm[:ss]] as seconds, hh at most maxHours.
    std::optional<std::int32_t> time(int maxHours) {
        int sign = 1;
        if (take('-')) {
            sign = -1;
        } else {
            take('+');
        }
        std::array<int, 3> parts{0, 0, 0};
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i > 0 && !take(':')) {
                break;
            }
            int digits = 0;
            while (std::isdigit(static_cast<unsigned char>(peek())) && digits < 3) {
                parts[i] = parts[i] * 10 + (text_[pos_++] - '0');
                ++digits;
            }
            if (digits == 0 || (i > 0 && (digits != 2 || parts[i] > 59))) {
                return std::nullopt;
            }
        }
        if (parts[0] > maxHours) {
            return std::nullopt;
        }
        return sign * (parts[0] * 3600 + parts[1] * 60 + parts[2]);
    }

    std::optional<int> number(int low, int high) {
        int value = 0;
        int digits = 0;
        while (std::isdigit(static_cast<unsigned char>(peek())) && digits < 3) {
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        if (digits == 0 || value < low || value > high) {
            return std::nullopt;
        }
        return value;
    }

    std::optional<PosixSwitch> switchRule() {
        PosixSwitch s;
        if (take('M')) {
            const auto month = number(1, 12);
            const auto week = month && take('.') ? number(1, 5) : std::nullopt;
            const auto weekday = week && take('.') ? number(0, 6) : std::nullopt;
            if (!weekday) {
                return std::nullopt;
            }
            s.month = *month;
            s.week = *week;
            s.weekday = *weekday;
        } else if (take('J')) {
            const auto day = number(1, 365);
            if (!day) {
                return std::nullopt;
            }
            s.kind = PosixSwitch::Kind::Julian1;
            s.day = *day;
        } else {
            const auto day = number(0, 365);
            if (!day) {
                return std::nullopt;
            }
            s.kind = PosixSwitch::Kind::Julian0;
            s.day = *day;
        }
        if (take('/')) {
            const auto seconds = time(167);
            if (!seconds || *seconds > kMaxSwitchTime || *seconds < -kMaxSwitchTime) {
                return std::nullopt;
            }
            s.seconds = *seconds;
        }
        return s;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// --------------------------------------------------------------- the file

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool skip(std::uint64_t n) {
        if (n > remaining()) {
            return false;
        }
        pos_ += static_cast<std::size_t>(n);
        return true;
    }
    std::string_view take(std::size_t n) {
        const std::string_view out = bytes_.substr(pos_, n);
        pos_ += n;
        return out;
    }
    // Big-endian, of `width` bytes (1, 4 or 8); the caller has checked the length.
    std::uint64_t unsignedValue(int width) {
        std::uint64_t v = 0;
        for (int i = 0; i < width; ++i) {
            v = (v << 8) | static_cast<unsigned char>(bytes_[pos_++]);
        }
        return v;
    }
    std::int64_t signedValue(int width) {
        const std::uint64_t v = unsignedValue(width);
        if (width == 4) {
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        }
        return static_cast<std::int64_t>(v);
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

struct Counts {
    std::uint32_t isUt = 0, isStd = 0, leap = 0, time = 0, type = 0, chars = 0;
};

std::optional<Counts> readHeader(ByteReader& in, char& version) {
    if (in.remaining() < kHeaderSize) {
        return std::nullopt;
    }
    const std::string_view magic = in.take(4);
    version = in.take(1)[0];
    in.skip(15);
    if (magic != "TZif" || (version != '\0' && (version < '2' || version > '4'))) {
        return std::nullopt;
    }
    Counts c;
    c.isUt = static_cast<std::uint32_t>(in.unsignedValue(4));
    c.isStd = static_cast<std::uint32_t>(in.unsignedValue(4));
    c.leap = static_cast<std::uint32_t>(in.unsignedValue(4));
    c.time = static_cast<std::uint32_t>(in.unsignedValue(4));
    c.type = static_cast<std::uint32_t>(in.unsignedValue(4));
    c.chars = static_cast<std::uint32_t>(in.unsignedValue(4));
    if (c.type == 0 || c.type > maxTzifTypes || c.time > maxTzifTransitions || c.chars == 0 ||
        c.chars > 4 * maxTzifTypes || c.leap > kMaxLeapRecords ||
        (c.isUt != 0 && c.isUt != c.type) || (c.isStd != 0 && c.isStd != c.type)) {
        return std::nullopt;
    }
    return c;
}

std::uint64_t blockSize(const Counts& c, int timeWidth) {
    return std::uint64_t{c.time} * static_cast<std::uint64_t>(timeWidth + 1) +
           std::uint64_t{c.type} * 6 + c.chars +
           std::uint64_t{c.leap} * static_cast<std::uint64_t>(timeWidth + 4) + c.isStd + c.isUt;
}

std::optional<TzifZone> readBlock(ByteReader& in, const Counts& c, int timeWidth) {
    if (blockSize(c, timeWidth) > in.remaining()) {
        return std::nullopt;
    }
    TzifZone zone;
    zone.transitions.reserve(c.time);
    for (std::uint32_t i = 0; i < c.time; ++i) {
        const std::int64_t t = in.signedValue(timeWidth);
        if (!zone.transitions.empty() && t <= zone.transitions.back()) {
            return std::nullopt;
        }
        zone.transitions.push_back(t);
    }
    for (std::uint32_t i = 0; i < c.time; ++i) {
        const auto index = static_cast<std::uint8_t>(in.unsignedValue(1));
        if (index >= c.type) {
            return std::nullopt;
        }
        zone.typeOfTransition.push_back(index);
    }
    std::vector<std::uint8_t> abbreviationIndex;
    for (std::uint32_t i = 0; i < c.type; ++i) {
        TzifType type;
        const std::int64_t offset = in.signedValue(4);
        const std::uint64_t dst = in.unsignedValue(1);
        abbreviationIndex.push_back(static_cast<std::uint8_t>(in.unsignedValue(1)));
        if (offset <= -kMaxOffset - 24 * 3600 || offset >= kMaxOffset + 24 * 3600 || dst > 1 ||
            abbreviationIndex.back() >= c.chars) {
            return std::nullopt;
        }
        type.utcOffset = static_cast<std::int32_t>(offset);
        type.isDst = dst == 1;
        zone.types.push_back(type);
    }
    const std::string_view chars = in.take(c.chars);
    for (std::uint32_t i = 0; i < c.type; ++i) {
        const std::size_t end = chars.find('\0', abbreviationIndex[i]);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        zone.types[i].abbreviation =
            std::string(chars.substr(abbreviationIndex[i], end - abbreviationIndex[i]));
    }
    in.skip(std::uint64_t{c.leap} * static_cast<std::uint64_t>(timeWidth + 4) + c.isStd + c.isUt);
    return zone;
}

// --------------------------------------------------------------- civil time

struct Change {
    std::int64_t at = 0;
    const TzifType* type = nullptr; // into the zone's types or its rule
};

// The rule's two switches of year y, in time order.
std::array<Change, 2> ruleChanges(const PosixRule& rule, std::int64_t y) {
    const TzifType& daylight = *rule.daylight;
    const Change start{
        switchDay(rule.start, y) * kDay + rule.start.seconds - rule.standard.utcOffset, &daylight};
    const Change end{switchDay(rule.end, y) * kDay + rule.end.seconds - daylight.utcOffset,
                     &rule.standard};
    if (end.at < start.at) {
        return {end, start};
    }
    return {start, end};
}

std::int64_t yearOf(std::int64_t instant) {
    return yearOfDays(floorDiv(instant, kDay));
}

// Transitions of the table on either side of the instant that a question about
// it needs: several years of switches, far fewer than a long table holds.
constexpr std::ptrdiff_t kTableWindow = 12;

// The zone's changes around the instant: those of its table near it and, when
// the table ends near it, those of its rule for the years around it. `initial`
// is the type before the first change listed.
std::vector<Change> changesAround(const TzifZone& zone, std::int64_t instant,
                                  const TzifType*& initial) {
    std::vector<Change> changes;
    const auto n = static_cast<std::ptrdiff_t>(zone.transitions.size());
    const std::ptrdiff_t k =
        std::upper_bound(zone.transitions.begin(), zone.transitions.end(), instant) -
        zone.transitions.begin();
    const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(0, k - kTableWindow);
    const std::ptrdiff_t hi = std::min(n, k + kTableWindow);
    initial = lo == 0 ? &zone.types[0]
                      : &zone.types[zone.typeOfTransition[static_cast<std::size_t>(lo - 1)]];
    for (std::ptrdiff_t i = lo; i < hi; ++i) {
        const auto u = static_cast<std::size_t>(i);
        changes.push_back({zone.transitions[u], &zone.types[zone.typeOfTransition[u]]});
    }
    if (!zone.rule || hi < n) {
        return changes;
    }
    if (n == 0) {
        initial = &zone.rule->standard;
    }
    if (!zone.rule->daylight) {
        // After the table, standard time for good.
        if (n > 0 && instant >= zone.transitions.back()) {
            changes.push_back({zone.transitions.back(), &zone.rule->standard});
        }
        return changes;
    }
    const std::int64_t y = yearOf(instant);
    const std::int64_t last = n == 0 ? INT64_MIN : zone.transitions.back();
    const std::int64_t from = n == 0 ? y - 2 : std::max(y - 2, yearOf(last));
    for (std::int64_t year = from; year <= y + 2; ++year) {
        for (const Change& c : ruleChanges(*zone.rule, year)) {
            if (c.at > last) {
                changes.push_back(c);
            }
        }
    }
    return changes;
}

// Index of the last change at or before the instant; -1 when none.
std::ptrdiff_t changeIndexAt(const std::vector<Change>& changes, std::int64_t instant) {
    const auto it = std::upper_bound(changes.begin(), changes.end(), instant,
                                     [](std::int64_t t, const Change& c) { return t < c.at; });
    return (it - changes.begin()) - 1;
}

const TzifType& typeAt(const std::vector<Change>& changes, const TzifType* initial,
                       std::ptrdiff_t index) {
    return index < 0 ? *initial : *changes[static_cast<std::size_t>(index)].type;
}

} // namespace

std::optional<PosixRule> parsePosixRule(std::string_view text) {
    RuleScanner in(text);
    PosixRule rule;
    const auto stdName = in.name();
    const auto stdOffset = stdName ? in.time(24) : std::nullopt;
    if (!stdOffset) {
        return std::nullopt;
    }
    rule.standard = {-*stdOffset, false, *stdName};
    if (in.atEnd()) {
        return rule;
    }
    const auto dstName = in.name();
    if (!dstName) {
        return std::nullopt;
    }
    std::int32_t dstOffset = rule.standard.utcOffset + 3600;
    if (in.peek() != ',' && !in.atEnd()) {
        const auto offset = in.time(24);
        if (!offset) {
            return std::nullopt;
        }
        dstOffset = -*offset;
    }
    rule.daylight = TzifType{dstOffset, true, *dstName};
    // Without switches the C library takes the United States' rule.
    rule.start = {PosixSwitch::Kind::MonthWeekDay, 3, 2, 0, 0, 7200};
    rule.end = {PosixSwitch::Kind::MonthWeekDay, 11, 1, 0, 0, 7200};
    if (in.take(',')) {
        const auto start = in.switchRule();
        const auto end = start && in.take(',') ? in.switchRule() : std::nullopt;
        if (!end) {
            return std::nullopt;
        }
        rule.start = *start;
        rule.end = *end;
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return rule;
}

std::optional<TzifZone> parseTzif(std::string_view bytes) {
    if (bytes.size() > maxTzifBytes) {
        return std::nullopt;
    }
    ByteReader in(bytes);
    char version = 0;
    const auto first = readHeader(in, version);
    if (!first) {
        return std::nullopt;
    }
    if (version == '\0') {
        return readBlock(in, *first, 4);
    }
    if (!in.skip(blockSize(*first, 4))) {
        return std::nullopt;
    }
    char version2 = 0;
    const auto second = readHeader(in, version2);
    if (!second || version2 != version) {
        return std::nullopt;
    }
    std::optional<TzifZone> zone = readBlock(in, *second, 8);
    if (!zone) {
        return std::nullopt;
    }
    // The footer: a rule between two newlines (empty when the table covers all time).
    const std::string_view rest = in.take(in.remaining());
    if (rest.size() < 2 || rest.front() != '\n') {
        return std::nullopt;
    }
    const std::size_t close = rest.find('\n', 1);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view footer = rest.substr(1, close - 1);
    if (!footer.empty()) {
        zone->rule = parsePosixRule(footer);
        if (!zone->rule) {
            return std::nullopt;
        }
    }
    return zone;
}

ZoneTime zoneTimeAt(const TzifZone& zone, std::int64_t instant) {
    const TzifType* initial = nullptr;
    const std::vector<Change> changes = changesAround(zone, instant, initial);
    const std::ptrdiff_t index = changeIndexAt(changes, instant);
    ZoneTime out;
    out.type = typeAt(changes, initial, index);
    if (out.type.isDst) {
        // The standard offset is that of the nearest standard time before, else after.
        std::optional<std::int32_t> standard;
        for (std::ptrdiff_t i = index; i >= -1 && !standard; --i) {
            const TzifType& t = typeAt(changes, initial, i);
            if (!t.isDst) {
                standard = t.utcOffset;
            }
        }
        for (std::size_t i = static_cast<std::size_t>(index + 1); i < changes.size() && !standard;
             ++i) {
            if (!changes[i].type->isDst) {
                standard = changes[i].type->utcOffset;
            }
        }
        if (!standard && zone.rule) {
            standard = zone.rule->standard.utcOffset;
        }
        out.savingSeconds = standard ? out.type.utcOffset - *standard : 0;
    }
    return out;
}

std::optional<SavingPeriod> savingPeriodAt(const TzifZone& zone, std::int64_t instant) {
    const TzifType* initial = nullptr;
    const std::vector<Change> changes = changesAround(zone, instant, initial);
    const auto n = static_cast<std::ptrdiff_t>(changes.size());
    const auto entersSaving = [&](std::ptrdiff_t i) {
        return changes[static_cast<std::size_t>(i)].type->isDst &&
               !typeAt(changes, initial, i - 1).isDst;
    };
    const auto periodFrom = [&](std::ptrdiff_t i) -> std::optional<SavingPeriod> {
        for (std::ptrdiff_t j = i + 1; j < n; ++j) {
            if (!changes[static_cast<std::size_t>(j)].type->isDst) {
                return SavingPeriod{changes[static_cast<std::size_t>(i)].at,
                                    changes[static_cast<std::size_t>(j)].at,
                                    typeAt(changes, initial, i - 1).utcOffset,
                                    changes[static_cast<std::size_t>(i)].type->utcOffset};
            }
        }
        return std::nullopt;
    };
    const std::ptrdiff_t index = changeIndexAt(changes, instant);
    if (typeAt(changes, initial, index).isDst) {
        for (std::ptrdiff_t i = index; i >= 0; --i) {
            if (entersSaving(i)) {
                return periodFrom(i);
            }
        }
        return std::nullopt;
    }
    const std::int64_t year = yearOf(instant);
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        if (yearOf(changes[static_cast<std::size_t>(i)].at) == year && entersSaving(i)) {
            return periodFrom(i);
        }
    }
    return std::nullopt;
}

bool isRealAbbreviation(std::string_view abbreviation) {
    return !abbreviation.empty() &&
           std::all_of(abbreviation.begin(), abbreviation.end(),
                       [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
}

} // namespace chronvale
