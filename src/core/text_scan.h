#pragma once
// The small scanning steps that the data-table parsers share.
//
// All four tables are read the same way: a cursor moves through the whole text,
// skips runs of blanks, CR, LF and TAB before a field, and searches for the next
// separator across line ends. Every step stays inside the text it is given; a
// position at or past the end simply means "nothing left".

#include <cstddef>
#include <string_view>

namespace chronvale {

// Blank, CR, LF or TAB: the characters skipped before a field.
constexpr bool isFieldSpace(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// Moves pos past a run of field spaces; returns pos (text.size() at the end).
std::size_t skipFieldSpace(std::string_view text, std::size_t pos);

// Moves pos past the TAB at or after it and the field spaces after that TAB;
// false (pos unchanged) when no TAB is left in the text.
bool moveAfterTab(std::string_view text, std::size_t& pos);

// Position of the next c at or after pos, or std::string_view::npos.
std::size_t findFrom(std::string_view text, char c, std::size_t pos);

// The text from pos up to (not including) the next c, or to the end of the text.
std::string_view textUpTo(std::string_view text, char c, std::size_t pos);

// Reads a decimal number at pos the way strtod does in the "C" locale, whatever
// the process locale: optional sign, digits, optional "." and fraction, optional
// exponent. Stops at the first character that cannot belong to the number and
// moves pos there. No number at pos: 0 and pos unchanged. Hexadecimal, infinity
// and NaN are not numbers here, and a number beyond the range of a double reads
// as 0, so the result is always finite.
double readDecimal(std::string_view text, std::size_t& pos);

// The same reading as a 32-bit float; a value beyond the float range reads as 0.
float readFloat(std::string_view text, std::size_t& pos);

// Reads a decimal integer at pos the way strtol does: optional sign, digits.
// No digits: 0 and pos unchanged. Values beyond the int range saturate.
int readInteger(std::string_view text, std::size_t& pos);

// Truncates toward zero; values beyond the int range saturate.
int truncateToInt(double value);

// ASCII letters compare without regard to case; every other byte must be equal.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The ASCII upper-case form of c; every other byte unchanged.
constexpr char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace chronvale
