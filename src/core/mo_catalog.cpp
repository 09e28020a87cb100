#include "core/mo_catalog.h"

#include <cstdint>

namespace chronvale {

namespace {

constexpr std::uint32_t kMagic = 0x950412DEu;
constexpr std::uint32_t kMagicSwapped = 0xDE120495u;
constexpr std::size_t kHeaderBytes = 28;

class Reader {
public:
    Reader(std::string_view bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

    // The 32-bit word at offset, none past the end.
    std::optional<std::uint32_t> word(std::size_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < 4) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<unsigned char>(bytes_[offset + (bigEndian_ ? i : 3 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

    // The string of a table's entry i (its length and offset), none outside.
    std::optional<std::string_view> string(std::size_t table, std::size_t i) const {
        const std::size_t at = table + i * 8;
        const std::optional<std::uint32_t> length = word(at);
        const std::optional<std::uint32_t> offset = word(at + 4);
        if (!length || !offset || *offset > bytes_.size() || bytes_.size() - *offset < *length) {
            return std::nullopt;
        }
        return bytes_.substr(*offset, *length);
    }

private:
    std::string_view bytes_;
    bool bigEndian_;
};

} // namespace

std::optional<MoCatalog> parseMoCatalog(std::string_view bytes) {
    if (bytes.size() < kHeaderBytes) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> magic = Reader(bytes, false).word(0);
    if (magic != kMagic && magic != kMagicSwapped) {
        return std::nullopt;
    }
    const Reader in(bytes, magic == kMagicSwapped);
    const std::uint32_t count = in.word(8).value_or(0);
    const std::uint32_t originals = in.word(12).value_or(0);
    const std::uint32_t translations = in.word(16).value_or(0);
    // Each entry takes 8 bytes in both tables: a count beyond the file is a lie.
    if (count > bytes.size() / 8) {
        return std::nullopt;
    }
    MoCatalog catalog;
    catalog.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<std::string_view> original = in.string(originals, i);
        const std::optional<std::string_view> translated = in.string(translations, i);
        if (!original || !translated) {
            return std::nullopt;
        }
        // The singular of a plural entry, the first of its translations.
        const std::string_view key = original->substr(0, original->find('\0'));
        const std::string_view text = translated->substr(0, translated->find('\0'));
        if (key.empty() || text.empty() || key.find('\x04') != std::string_view::npos) {
            continue;
        }
        catalog.emplace(std::string(key), std::string(text));
    }
    return catalog;
}

} // namespace chronvale
