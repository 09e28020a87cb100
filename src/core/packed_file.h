#pragma once
// The packed data file: the container of every data table and language file.
//
// Layout, little-endian: a 4-byte magic 0x01E76A1A (bytes 1A 6A E7 01), the
// signed 32-bit length of the inflated text, then one zlib stream (with header
// and trailer) that inflates to that text. The text is 8-bit, lines end in CR LF.

#include "core/load_errors.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

inline constexpr std::uint32_t packedFileMagic = 0x01E76A1Au;
inline constexpr std::size_t packedHeaderSize = 8;

// The largest inflated text accepted. The real tables are a few hundred
// kilobytes; the bound keeps a damaged length field from allocating gigabytes.
inline constexpr std::int32_t maxPackedTextLength = 64 * 1024 * 1024;

// The text of a packed file held in memory; none for a short header, a wrong
// magic, a negative or too large length, or a zlib stream that is damaged or
// inflates to more than the stated length. A stream that inflates to fewer bytes
// ends the text there. The text also ends at its first NUL byte, because every
// reader of these files treats it as a NUL-terminated string.
std::optional<std::string> parsePackedText(std::string_view bytes);

// Reads and unpacks the file at path; none on any failure (see parsePackedText).
std::optional<std::string> loadPackedTextFile(const std::string& path);

// A table loaded from a packed file: the parse of its text, or an empty table
// when the file cannot be read, with fileName (the bare name the user knows)
// reported to the sink.
template <typename Table>
Table loadPackedTable(const std::string& path, std::string_view fileName, LoadErrorSink& errors,
                      Table (*parse)(std::string_view)) {
    const std::optional<std::string> text = loadPackedTextFile(path);
    if (!text) {
        errors.unableToLoad(fileName);
        return {};
    }
    return parse(*text);
}

// The packed file for the text (header and zlib stream at the best compression);
// an empty string when the text is longer than maxPackedTextLength.
std::string packText(std::string_view text);

// Packs the text and replaces the file at path atomically; false on any failure.
bool savePackedTextFile(const std::string& path, std::string_view text);

} // namespace chronvale
