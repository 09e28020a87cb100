#include "core/packed_file.h"

#include "core/file_io.h"

#include <memory>
#include <zlib.h>

namespace chronvale {

namespace {

std::uint32_t readLittleEndian32(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    }
    return value;
}

void appendLittleEndian32(std::string& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

// The largest packed file worth reading: the header plus the worst-case zlib
// stream for the largest accepted text.
std::size_t maxPackedFileSize() {
    return packedHeaderSize + compressBound(static_cast<uLong>(maxPackedTextLength));
}

} // namespace

std::optional<std::string> parsePackedText(std::string_view bytes) {
    if (bytes.size() < packedHeaderSize || readLittleEndian32(bytes, 0) != packedFileMagic) {
        return std::nullopt;
    }
    auto length = static_cast<std::int32_t>(readLittleEndian32(bytes, 4));
    if (length < 0 || length > maxPackedTextLength) {
        return std::nullopt;
    }
    std::string_view stream = bytes.substr(packedHeaderSize);
    if (stream.size() > maxPackedFileSize()) {
        return std::nullopt;
    }
    // Inflate into exactly `length` bytes: a stream that would produce more does
    // not fit and is refused (Z_BUF_ERROR) instead of running past the buffer.
    // The buffer is left uninitialised; only the produced bytes are copied out.
    auto buffer =
        std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(length) + 1);
    uLongf produced = static_cast<uLongf>(length);
    int status = uncompress(buffer.get(), &produced, reinterpret_cast<const Bytef*>(stream.data()),
                            static_cast<uLong>(stream.size()));
    if (status != Z_OK || produced > static_cast<uLongf>(length)) {
        return std::nullopt;
    }
    std::string_view text(reinterpret_cast<const char*>(buffer.get()), produced);
    return std::string(text.substr(0, text.find('\0')));
}

std::optional<std::string> loadPackedTextFile(const std::string& path) {
    std::optional<std::string> bytes = readFileBytes(path, maxPackedFileSize());
    if (!bytes) {
        return std::nullopt;
    }
    return parsePackedText(*bytes);
}

std::string packText(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(maxPackedTextLength)) {
        return {};
    }
    uLongf streamSize = compressBound(static_cast<uLong>(text.size()));
    std::string bytes;
    bytes.reserve(packedHeaderSize + streamSize);
    appendLittleEndian32(bytes, packedFileMagic);
    appendLittleEndian32(bytes, static_cast<std::uint32_t>(text.size()));
    bytes.resize(packedHeaderSize + streamSize);
    int status = compress2(reinterpret_cast<Bytef*>(bytes.data() + packedHeaderSize), &streamSize,
                           reinterpret_cast<const Bytef*>(text.data()),
                           static_cast<uLong>(text.size()), Z_BEST_COMPRESSION);
    if (status != Z_OK) {
        return {};
    }
    bytes.resize(packedHeaderSize + streamSize);
    return bytes;
}

bool savePackedTextFile(const std::string& path, std::string_view text) {
    std::string bytes = packText(text);
    return !bytes.empty() && writeFileAtomically(path, bytes);
}

} // namespace chronvale
