// The packed data file: round trips, atomic saving, and every kind of damaged input.

#include "core/packed_file.h"
#include "support/scratch.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <zlib.h>

namespace chronvale {
namespace {

// Parses a copy held in an allocation of exactly the input's size, so that the
// address sanitizer catches any read past the end.
std::optional<std::string> parseExact(const std::string& bytes) {
    std::unique_ptr<char[]> copy(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    return parsePackedText(std::string_view(copy.get(), bytes.size()));
}

// A header with any magic and length in front of any stream.
std::string withHeader(std::uint32_t magic, std::uint32_t length, const std::string& stream) {
    std::string bytes;
    for (std::uint32_t value : {magic, length}) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    }
    return bytes + stream;
}

std::string zlibStream(const std::string& text) {
    return packText(text).substr(packedHeaderSize);
}

const std::string sampleText = "Sydney\t-33.87\t151.21\tSydney (NSW)\r\n"
                               "Paris\t48.85\t2.35\tParis\r\n";

TEST(PackedFile, PackWritesMagicAndLengthLittleEndian) {
    std::string bytes = packText(sampleText);
    ASSERT_GT(bytes.size(), packedHeaderSize);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x1A\x6A\xE7\x01", 4));
    EXPECT_EQ(bytes.substr(4, 4), std::string("\x3B\x00\x00\x00", 4)); // 59 bytes of text
    EXPECT_EQ(parseExact(bytes), sampleText);
}

TEST(PackedFile, EmptyTextRoundTrips) {
    EXPECT_EQ(parseExact(packText("")), "");
}

TEST(PackedFile, TextEndsAfterTheBytesActuallyProduced) {
    // The length field is an upper bound; a shorter stream ends the text.
    EXPECT_EQ(parseExact(withHeader(packedFileMagic, 1000, zlibStream("abc"))), "abc");
}

TEST(PackedFile, TextEndsAtItsFirstNul) {
    std::string text("abc\0def", 7);
    EXPECT_EQ(parseExact(packText(text)), "abc");
}

TEST(PackedFile, SaveThenLoadReplacesTheFileAndLeavesNoTemporary) {
    test::ScratchDir dir;
    const std::string path = dir.file("location.dat");
    ASSERT_TRUE(savePackedTextFile(path, "old"));
    ASSERT_TRUE(savePackedTextFile(path, sampleText));
    EXPECT_EQ(loadPackedTextFile(path), sampleText);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(PackedFile, SaveIntoAMissingFolderFailsAndLoadOfMissingFileGivesNone) {
    test::ScratchDir dir;
    EXPECT_FALSE(savePackedTextFile(dir.file("no/such/folder/x.dat"), "text"));
    EXPECT_FALSE(loadPackedTextFile(dir.file("missing.dat")));
    EXPECT_FALSE(loadPackedTextFile(dir.path().string())); // a folder, not a file
}

TEST(PackedFileHostile, EveryTruncationGivesNone) {
    const std::string bytes = packText(sampleText);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(parseExact(bytes.substr(0, size))) << "truncated to " << size << " bytes";
    }
}

TEST(PackedFileHostile, WrongMagicGivesNone) {
    const std::string bytes = packText(sampleText);
    for (std::size_t i = 0; i < 4; ++i) {
        std::string damaged = bytes;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x40);
        EXPECT_FALSE(parseExact(damaged)) << "magic byte " << i;
    }
    // The magic read big-endian is not accepted either.
    EXPECT_FALSE(parseExact(withHeader(0x1A6AE701u, 59, zlibStream(sampleText))));
}

TEST(PackedFileHostile, NegativeOrHugeLengthGivesNone) {
    const std::string stream = zlibStream(sampleText);
    for (std::uint32_t length :
         {0xFFFFFFFFu, 0x80000000u, static_cast<std::uint32_t>(maxPackedTextLength) + 1u}) {
        EXPECT_FALSE(parseExact(withHeader(packedFileMagic, length, stream))) << length;
    }
}

TEST(PackedFileHostile, StreamLongerThanTheLengthGivesNone) {
    // One byte more than announced: no room is left, so the text is refused
    // rather than written past the buffer.
    const std::string stream = zlibStream(sampleText);
    EXPECT_FALSE(parseExact(withHeader(packedFileMagic, sampleText.size() - 1, stream)));
    EXPECT_FALSE(parseExact(withHeader(packedFileMagic, 0, stream)));
    EXPECT_EQ(parseExact(withHeader(packedFileMagic, sampleText.size(), stream)), sampleText);
}

TEST(PackedFileHostile, DamagedStreamGivesNone) {
    const std::string good = packText(sampleText);
    std::string badHeader = good;
    badHeader[packedHeaderSize] = 0x00; // not a zlib header
    EXPECT_FALSE(parseExact(badHeader));

    std::string badChecksum = good;
    badChecksum.back() = static_cast<char>(badChecksum.back() ^ 0x01);
    EXPECT_FALSE(parseExact(badChecksum));

    EXPECT_FALSE(parseExact(withHeader(packedFileMagic, 10, "not a zlib stream at all")));
    EXPECT_FALSE(parseExact(withHeader(packedFileMagic, 10, "")));
}

TEST(PackedFileHostile, RawDeflateWithoutZlibWrapperGivesNone) {
    // A bare deflate stream (no zlib header and trailer) is not the format.
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(256, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(sampleText.data()));
    z.avail_in = static_cast<uInt>(sampleText.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    EXPECT_FALSE(parseExact(withHeader(packedFileMagic, sampleText.size(), out)));
}

} // namespace
} // namespace chronvale
