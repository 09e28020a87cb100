// Any text as a markup reply: every item is read, and every tag asked for its name
// and the attributes the services read.

#include "net/markup.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t covered = 0;
    for (const chronvale::MarkupItem& item : chronvale::readMarkup(text)) {
        // Items are consecutive pieces of the text, none empty and none outside it.
        if (item.text.empty() || item.text.data() != text.data() + covered) {
            __builtin_trap();
        }
        covered += item.text.size();
        if (item.kind != chronvale::MarkupItem::Kind::Tag) {
            continue;
        }
        (void)chronvale::tagName(item);
        for (std::string_view name : {"t", "m", "s", "q", "n", "lat", "lon", "depth", "qt", ""}) {
            (void)chronvale::tagAttribute(item, name);
        }
    }
    if (covered != text.size()) {
        __builtin_trap();
    }
    return 0;
}
