// gettext catalogs read from bytes made here: both byte orders, what is left
// out, and catalogs that lie about their tables.

#include "core/mo_catalog.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace chronvale {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

void put(std::string& out, std::size_t at, std::uint32_t value, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> shift) & 0xFF);
    }
}

// A catalog as msgfmt writes it: header, the two tables, then the strings.
std::string makeCatalog(const Pairs& entries, bool bigEndian = false) {
    const std::size_t n = entries.size();
    const std::size_t originals = 28;
    const std::size_t translations = originals + 8 * n;
    std::string out(translations + 8 * n, '\0');
    put(out, 0, 0x950412DEu, bigEndian);
    put(out, 8, static_cast<std::uint32_t>(n), bigEndian);
    put(out, 12, static_cast<std::uint32_t>(originals), bigEndian);
    put(out, 16, static_cast<std::uint32_t>(translations), bigEndian);
    for (std::size_t i = 0; i < n; ++i) {
        for (const auto& [table, text] :
             {std::pair{originals, entries[i].first}, std::pair{translations, entries[i].second}}) {
            put(out, table + 8 * i, static_cast<std::uint32_t>(text.size()), bigEndian);
            put(out, table + 8 * i + 4, static_cast<std::uint32_t>(out.size()), bigEndian);
            out += text;
            out += '\0';
        }
    }
    return out;
}

const Pairs kEntries{
    {"", "Content-Type: text/plain; charset=UTF-8\n"}, // the header
    {"Germany", "Deutschland"},
    {"Japan", "\xE6\x97\xA5\xE6\x9C\xAC"},
    {"ctx\x04Germany", "Kontext"}, // with a context: left out
    {std::string("Island\0Islands", 14), std::string("Insel\0Inseln", 12)}, // plural
    {"Untranslated", ""},
};

TEST(MoCatalog, ReadsBothByteOrdersAndLeavesOutHeaderContextsAndEmptyTexts) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        const std::optional<MoCatalog> catalog = parseMoCatalog(makeCatalog(kEntries, bigEndian));
        ASSERT_TRUE(catalog);
        EXPECT_EQ(*catalog, (MoCatalog{{"Germany", "Deutschland"},
                                       {"Japan", "\xE6\x97\xA5\xE6\x9C\xAC"},
                                       {"Island", "Insel"}}));
    }
}

struct BadCase {
    const char* what;
    std::size_t offset; // a word of the made catalog to change
    std::uint32_t value;
    std::size_t keep; // bytes kept (0: all)
};

class BadMoCatalog : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadMoCatalog, IsRefusedWithoutReadingOutside) {
    const BadCase& c = GetParam();
    std::string bytes = makeCatalog(kEntries);
    if (c.offset + 4 <= bytes.size()) {
        put(bytes, c.offset, c.value, false);
    }
    if (c.keep != 0) {
        bytes.resize(c.keep);
    }
    EXPECT_FALSE(parseMoCatalog(bytes)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Lies, BadMoCatalog,
                         ::testing::Values(BadCase{"not a catalog", 0, 0x12345678u, 0},
                                           BadCase{"shorter than its header", 1000, 0, 20},
                                           BadCase{"more entries than bytes", 8, 0xFFFFFFFFu, 0},
                                           BadCase{"a table past the end", 12, 0xFFFFFFF0u, 0},
                                           BadCase{"a string past the end", 28 + 8 + 4, 0xFFFFFF00u,
                                                   0},
                                           BadCase{"a length past the end", 28 + 8, 0x7FFFFFFFu, 0},
                                           BadCase{"cut in the strings", 1000, 0, 120}));

TEST(MoCatalog, AnEmptyCatalogIsAnEmptyTable) {
    const std::optional<MoCatalog> catalog = parseMoCatalog(makeCatalog({}));
    ASSERT_TRUE(catalog);
    EXPECT_TRUE(catalog->empty());
}

} // namespace
} // namespace chronvale
