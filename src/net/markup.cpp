#include "net/markup.h"

#include <cctype>
#include <utility>

namespace chronvale {

namespace {

constexpr size_t kLongTag = 512;        // a tag this long stops honouring quotes
constexpr size_t kReferenceLength = 10; // "&" and at most 9 more characters

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Length of a tag that starts at text[0] == '<'.
size_t tagLength(std::string_view text) {
    bool quoted = false;
    for (size_t i = 1; i < text.size(); ++i) {
        if (i >= kLongTag) {
            const size_t end = text.find('>', i);
            return end == std::string_view::npos ? text.size() : end + 1;
        }
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] == '>' && !quoted) {
            return i + 1;
        }
    }
    return text.size();
}

// Length of a comment that starts at text[0..3] == "<!--".
size_t commentLength(std::string_view text) {
    const size_t dashes = text.find("-->", 4);
    const size_t bang = text.find("-!>", 4);
    const size_t end = dashes < bang ? dashes : bang;
    if (end != std::string_view::npos) {
        return end + 3;
    }
    const size_t close = text.find('>', 4);
    return close == std::string_view::npos ? text.size() : close + 1;
}

// Length of a character reference at text[0] == '&', or 0 when it is not one.
size_t referenceLength(std::string_view text) {
    for (size_t i = 1; i < text.size() && i < kReferenceLength; ++i) {
        if (text[i] == ';') {
            return i + 1;
        }
        if (isSpace(text[i])) {
            return 0;
        }
    }
    return 0;
}

// The part of a tag after its name and before its closing ">".
std::string_view attributeArea(std::string_view tag) {
    size_t i = 1;
    while (i < tag.size() && tag[i] == ' ') {
        ++i;
    }
    while (i < tag.size() && !isSpace(tag[i]) && tag[i] != '>') {
        ++i;
    }
    size_t end = tag.size();
    if (end > i && tag[end - 1] == '>') {
        --end;
    }
    return tag.substr(i, end - i);
}

} // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

size_t findNoCase(std::string_view text, std::string_view needle, size_t from) {
    if (needle.size() > text.size()) {
        return std::string_view::npos;
    }
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        if (equalsNoCase(text.substr(i, needle.size()), needle)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::vector<MarkupItem> readMarkup(std::string_view text) {
    std::vector<MarkupItem> items;
    size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view rest = text.substr(pos);
        MarkupItem item;
        size_t length = 0;
        if (rest[0] == '<') {
            if (rest.substr(0, 4) == "<!--") {
                item.kind = MarkupItem::Kind::Comment;
                length = commentLength(rest);
            } else {
                item.kind = MarkupItem::Kind::Tag;
                length = tagLength(rest);
            }
        } else if (rest[0] == '&' && (length = referenceLength(rest)) > 0) {
            item.kind = MarkupItem::Kind::Reference;
        } else {
            // Text runs to the next "<" or to the next "&" that starts a reference.
            item.kind = MarkupItem::Kind::Text;
            length = 1;
            while (length < rest.size() && rest[length] != '<' &&
                   !(rest[length] == '&' && referenceLength(rest.substr(length)) > 0)) {
                ++length;
            }
        }
        item.text = rest.substr(0, length);
        items.push_back(item);
        pos += length;
    }
    return items;
}

std::optional<std::string> tagName(const MarkupItem& item) {
    if (item.kind != MarkupItem::Kind::Tag) {
        return std::nullopt;
    }
    const std::string_view tag = item.text;
    size_t i = 1;
    while (i < tag.size() && tag[i] == ' ') {
        ++i;
    }
    const size_t start = i;
    while (i < tag.size() && !isSpace(tag[i]) && tag[i] != '>') {
        ++i;
    }
    if (i == start) {
        return std::nullopt;
    }
    return std::string(tag.substr(start, i - start));
}

std::optional<std::string> tagAttribute(const MarkupItem& item, std::string_view name) {
    if (item.kind != MarkupItem::Kind::Tag) {
        return std::nullopt;
    }
    const std::string_view area = attributeArea(item.text);
    size_t i = 0;
    while (i < area.size()) {
        while (i < area.size() && isSpace(area[i])) {
            ++i;
        }
        const size_t nameStart = i;
        while (i < area.size() && !isSpace(area[i]) && area[i] != '=') {
            ++i;
        }
        const std::string_view attribute = area.substr(nameStart, i - nameStart);
        size_t j = i;
        while (j < area.size() && isSpace(area[j])) {
            ++j;
        }
        std::optional<std::string_view> value;
        if (j < area.size() && area[j] == '=') {
            ++j;
            while (j < area.size() && isSpace(area[j])) {
                ++j;
            }
            size_t valueStart = j;
            size_t valueEnd = j;
            if (j < area.size() && (area[j] == '"' || area[j] == '\'')) {
                const char quote = area[j];
                valueStart = j + 1;
                valueEnd = area.find(quote, valueStart);
                if (valueEnd == std::string_view::npos) {
                    valueEnd = area.size();
                    j = area.size();
                } else {
                    j = valueEnd + 1;
                }
            } else {
                while (valueEnd < area.size() && !isSpace(area[valueEnd]) &&
                       area[valueEnd] != '>') {
                    ++valueEnd;
                }
                j = valueEnd;
            }
            value = area.substr(valueStart, valueEnd - valueStart);
            i = j;
        }
        if (!attribute.empty() && equalsNoCase(attribute, name)) {
            return std::string(value ? *value : attribute);
        }
        if (attribute.empty() && !value) {
            ++i; // a stray character such as "=" alone; never loop in place
        }
    }
    return std::nullopt;
}

namespace {

void appendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character of a reference's name (between "&" and ";"); none when unknown.
std::optional<unsigned long> referencedCharacter(std::string_view name) {
    static constexpr std::pair<std::string_view, char> named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [text, character] : named) {
        if (name == text) {
            return static_cast<unsigned char>(character);
        }
    }
    if (name.size() < 2 || name[0] != '#') {
        return std::nullopt;
    }
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 6) {
        return std::nullopt;
    }
    unsigned long code = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
    }
    // No NUL, no surrogate halves, nothing beyond Unicode.
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return std::nullopt;
    }
    return code;
}

} // namespace

std::string decodeCharacterReferences(std::string_view text) {
    constexpr size_t maxNameLength = 9;
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            const size_t end = text.find(';', i + 1);
            if (end != std::string_view::npos && end - i - 1 <= maxNameLength) {
                if (const auto code = referencedCharacter(text.substr(i + 1, end - i - 1))) {
                    appendUtf8(out, *code);
                    i = end + 1;
                    continue;
                }
            }
        }
        out += text[i];
        ++i;
    }
    return out;
}

} // namespace chronvale
