// The markup reader: how the server's text is cut into items and how tags are read.

#include "net/markup.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace chronvale {
namespace {

using Kind = MarkupItem::Kind;

std::vector<std::string> texts(const std::vector<MarkupItem>& items) {
    std::vector<std::string> out;
    for (const MarkupItem& item : items) {
        out.emplace_back(item.text);
    }
    return out;
}

TEST(Markup, CutsTagsTextCommentsAndReferences) {
    const auto items = readMarkup("<a x=1>one &amp; two<!-- c > d --><b>&bogus text;</b>");
    EXPECT_EQ(texts(items),
              (std::vector<std::string>{"<a x=1>", "one ", "&amp;", " two", "<!-- c > d -->", "<b>",
                                        "&bogus text;", "</b>"}));
    EXPECT_EQ(items[0].kind, Kind::Tag);
    EXPECT_EQ(items[1].kind, Kind::Text);
    EXPECT_EQ(items[2].kind, Kind::Reference);
    EXPECT_EQ(items[4].kind, Kind::Comment);
    // "&bogus text;" has a blank before its ";", so it is text, not a reference.
    EXPECT_EQ(items[6].kind, Kind::Text);
}

TEST(Markup, ReferencesAreAtMostTenCharacters) {
    // "&" and at most 9 more characters, the ";" among them.
    EXPECT_EQ(readMarkup("&12345678;")[0].kind, Kind::Reference);
    const auto long_ = readMarkup("&123456789;");
    ASSERT_EQ(long_.size(), 1u);
    EXPECT_EQ(long_[0].kind, Kind::Text);
}

TEST(Markup, GreaterThanInsideDoubleQuotesDoesNotCloseATag) {
    const auto items = readMarkup("<a t=\"x>y\" u='p>q'>rest");
    // Single quotes do not protect: the tag ends at the ">" inside them.
    EXPECT_EQ(texts(items), (std::vector<std::string>{"<a t=\"x>y\" u='p>", "q'>rest"}));
    EXPECT_EQ(tagAttribute(items[0], "t"), "x>y");
}

TEST(Markup, CommentEndsAtDashBangOrFallsBackToTheNextGreaterThan) {
    EXPECT_EQ(texts(readMarkup("<!-- a -!>b")), (std::vector<std::string>{"<!-- a -!>", "b"}));
    EXPECT_EQ(texts(readMarkup("<!-- a > b")), (std::vector<std::string>{"<!-- a >", " b"}));
    EXPECT_EQ(texts(readMarkup("<!-- open")), (std::vector<std::string>{"<!-- open"}));
}

TEST(Markup, LongTagsStopHonouringQuotes) {
    // An open quote would swallow the rest; after 512 characters the next ">" ends the tag.
    const std::string tag = "<a v=\"" + std::string(600, 'x') + ">";
    const std::string input = tag + "after";
    const auto items = readMarkup(input);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, tag);
    EXPECT_EQ(items[1].text, "after");
}

TEST(Markup, UnterminatedInputStaysInsideTheBuffer) {
    // Each input is copied into a buffer of exactly its size, so AddressSanitizer
    // catches any read past the end.
    for (const std::string input : {"<", "<a", "<a \"", "&", "&x", "&12345678", "<!--", "<!-",
                                    "<a b='", "<a b=", "<a b = ", "< ", "<>", "text<"}) {
        auto copy = std::make_unique<char[]>(input.size());
        std::copy(input.begin(), input.end(), copy.get());
        const std::string_view view(copy.get(), input.size());
        size_t total = 0;
        for (const MarkupItem& item : readMarkup(view)) {
            total += item.text.size();
            (void)tagName(item);
            (void)tagAttribute(item, "b");
            (void)tagAttribute(item, "zz");
        }
        EXPECT_EQ(total, input.size()) << input;
    }
}

TEST(Markup, RandomMarkupIsCutWithoutGapsOrOverlaps) {
    // Short texts of the characters the grammar cares about, in exact-size buffers.
    const std::string alphabet = "<>\"'&;!- =aT\t\n";
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int round = 0; round < 3000; ++round) {
        const size_t size = next() % 40;
        auto buffer = std::make_unique<char[]>(size);
        for (size_t i = 0; i < size; ++i) {
            buffer[i] = alphabet[next() % alphabet.size()];
        }
        const std::string_view text(buffer.get(), size);
        size_t offset = 0;
        for (const MarkupItem& item : readMarkup(text)) {
            ASSERT_EQ(item.text.data(), text.data() + offset);
            ASSERT_FALSE(item.text.empty());
            offset += item.text.size();
            (void)tagName(item);
            (void)tagAttribute(item, "a");
            (void)tagAttribute(item, "T");
        }
        ASSERT_EQ(offset, size);
    }
}

TEST(Markup, TagNames) {
    EXPECT_EQ(tagName(readMarkup("<  image t=1>")[0]), "image");
    EXPECT_EQ(tagName(readMarkup("<ERROR\tn=1>")[0]), "ERROR");
    EXPECT_EQ(tagName(readMarkup("</quakes>")[0]), "/quakes");
    EXPECT_EQ(tagName(readMarkup("<>")[0]), std::nullopt);
    EXPECT_EQ(tagName(readMarkup("text")[0]), std::nullopt);
    EXPECT_EQ(tagName(readMarkup("<!-- x -->")[0]), std::nullopt);
}

TEST(Markup, AttributesInEveryQuotingAndCase) {
    const MarkupItem tag =
        readMarkup("<QUAKE LAT=\"1.5\" Lon='-2.25' m=4.5 depth = 10 checked qt=\"a b\">")[0];
    EXPECT_EQ(tagAttribute(tag, "lat"), "1.5");
    EXPECT_EQ(tagAttribute(tag, "LON"), "-2.25");
    EXPECT_EQ(tagAttribute(tag, "m"), "4.5");
    EXPECT_EQ(tagAttribute(tag, "depth"), "10");
    EXPECT_EQ(tagAttribute(tag, "checked"), "checked");
    EXPECT_EQ(tagAttribute(tag, "qt"), "a b");
    EXPECT_EQ(tagAttribute(tag, "missing"), std::nullopt);
    // The tag's own name is not an attribute; values are not names.
    EXPECT_EQ(tagAttribute(tag, "QUAKE"), std::nullopt);
    EXPECT_EQ(tagAttribute(tag, "a"), std::nullopt);
}

TEST(Markup, UnquotedValueEndsBeforeTheClosingBracket) {
    EXPECT_EQ(tagAttribute(readMarkup("<image t=2024010100>")[0], "t"), "2024010100");
    EXPECT_EQ(tagAttribute(readMarkup("<image t=\"2024010100\"/>")[0], "t"), "2024010100");
    EXPECT_EQ(tagAttribute(readMarkup("<image t=>")[0], "t"), "");
}

TEST(Markup, CaseFreeSearch) {
    EXPECT_TRUE(equalsNoCase("Image", "iMAGE"));
    EXPECT_FALSE(equalsNoCase("image", "images"));
    EXPECT_EQ(findNoCase("xx<IMAGE ", "<image "), 2u);
    EXPECT_EQ(findNoCase("<image", "<image "), std::string_view::npos);
    EXPECT_EQ(findNoCase("ab", "abc"), std::string_view::npos);
}

} // namespace
} // namespace chronvale
