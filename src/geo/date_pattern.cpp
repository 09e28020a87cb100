#include "geo/date_pattern.h"

#include <cstdio>

namespace chronvale {

namespace {

constexpr std::size_t kMaxOutput = 256;

std::string number(int value, int minDigits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*d", minDigits, value);
    return text;
}

// The field a run of `count` letters `letter` stands for.
std::string field(char letter, std::size_t count, int year, int month, int day) {
    switch (letter) {
    case 'd':
        return number(day, count == 1 ? 1 : 2);
    case 'M':
        return number(month, count == 1 ? 1 : 2);
    default: // 'y'
        if (count == 2) {
            return number(((year % 100) + 100) % 100, 2);
        }
        return number(year, 4);
    }
}

} // namespace

std::string formatDatePattern(std::string_view pattern, int year, int month, int day) {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size() && out.size() < kMaxOutput) {
        const char c = pattern[i];
        if (c == 'd' || c == 'M' || c == 'y') {
            std::size_t run = 1;
            while (i + run < pattern.size() && pattern[i + run] == c) {
                ++run;
            }
            out += field(c, run, year, month, day);
            i += run;
        } else if (c == '\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                out += '\'';
                i += 2;
                continue;
            }
            // Quoted text up to the closing quote (or the end).
            ++i;
            while (i < pattern.size() && pattern[i] != '\'') {
                out += pattern[i++];
            }
            ++i;
        } else {
            out += c;
            ++i;
        }
    }
    if (out.size() > kMaxOutput) {
        // Not inside a UTF-8 character.
        std::size_t size = kMaxOutput;
        while (size > 0 && (static_cast<unsigned char>(out[size]) & 0xC0u) == 0x80u) {
            --size;
        }
        out.resize(size);
    }
    return out;
}

std::string formatUtcDateTimeIn(std::time_t instant, std::string_view datePattern) {
    std::tm utc{};
    if (instant == 0 || gmtime_r(&instant, &utc) == nullptr) {
        utc = std::tm{};
        utc.tm_year = -1900;
        utc.tm_mon = -1;
    }
    char clock[32];
    std::snprintf(clock, sizeof clock, " %02i:%02i:%02i", utc.tm_hour, utc.tm_min, utc.tm_sec);
    return formatDatePattern(datePattern, utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday) + clock;
}

} // namespace chronvale
