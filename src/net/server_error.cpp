#include "net/server_error.h"

#include "net/markup.h"

#include <charconv>
#include <limits>

namespace chronvale {

int parseDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int>::max()) {
            value = std::numeric_limits<int>::max();
        }
    }
    return static_cast<int>(negative ? -value : value);
}

int serverErrorCheck(std::string_view body, ServiceOwner& owner) {
    const std::vector<MarkupItem> items = readMarkup(body);
    int result = 0;
    for (size_t i = 0; i < items.size() && result == 0; ++i) {
        const std::optional<std::string> name = tagName(items[i]);
        if (!name || !equalsNoCase(*name, "ERROR")) {
            continue;
        }
        owner.serverErrorReported();
        result = parseDecimal(tagAttribute(items[i], "n").value_or(std::string()));
        if (i + 1 < items.size()) {
            owner.showErrorBox(std::string(items[i + 1].text), owner.text(kTextErrorCaption));
        }
    }
    return result;
}

} // namespace chronvale
