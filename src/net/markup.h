#pragma once
// The markup reader shared by the cloud-image service and the earthquake feed.
//
// The image server answers with a loose, XML-like markup. It is not parsed into a
// tree: the text is cut into a flat list of items (tags, comments, character
// references and text) and callers walk the list, asking a tag for its name and
// attributes. The reader never reads outside the text it is given, whatever the
// input, and it keeps no copies: items are views into the caller's text, valid as
// long as that text is.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

struct MarkupItem {
    enum class Kind {
        Tag,       // "<" up to the closing ">" (">" inside double quotes does not close)
        Comment,   // "<!--" up to and including "-->" or "-!>"
        Reference, // "&" with at most 9 more characters, no blank, up to and including ";"
        Text,      // everything else, up to the next "<" or character reference
    };
    Kind kind = Kind::Text;
    std::string_view text; // the item's characters, delimiters included
};

// Cuts the text into items, left to right. A tag that reaches 512 characters
// without its end runs on to the next ">" regardless of quotes; a tag or comment
// without any end runs to the end of the text.
std::vector<MarkupItem> readMarkup(std::string_view text);

// The name of a tag: after "<" and any blanks, up to the next blank, TAB, CR, LF
// or ">". None for items that are not tags and for tags without a name.
std::optional<std::string> tagName(const MarkupItem& item);

// The value of the tag's attribute `name` (compared without regard to case).
// Values may be in double quotes, single quotes or unquoted; an attribute without
// "=" gives its own name. None when the item is not a tag or lacks the attribute.
std::optional<std::string> tagAttribute(const MarkupItem& item, std::string_view name);

// The text with the references &lt; &gt; &amp; &quot; &apos; and the numeric
// ones (&#NN; &#xHH;) replaced by their characters (UTF-8); any other "&" stays.
std::string decodeCharacterReferences(std::string_view text);

// ASCII comparison without regard to case.
bool equalsNoCase(std::string_view a, std::string_view b);

// Position of `needle` in `text` from `from` on, compared without regard to case;
// npos when absent.
size_t findNoCase(std::string_view text, std::string_view needle, size_t from = 0);

} // namespace chronvale
