#pragma once
// Where a request head ends in the bytes received so far, and whether it stays
// within the limits, told before the head is parsed.

#include <cstddef>
#include <string_view>

namespace chronvale::imaged {

enum class HeadState {
    Incomplete,  // the blank line that ends the head has not arrived yet
    Complete,    // the head ends `length` bytes in
    LineTooLong, // the request line is longer than allowed (414)
    TooLarge,    // the head as a whole is larger than allowed (431)
};

struct HeadScan {
    HeadState state = HeadState::Incomplete;
    size_t length = 0; // bytes of the head with its blank line, when Complete
};

// Scans bytes received for one request head: the request line (without its line
// end) may have maxLine bytes, the head with its blank line maxHead. Empty lines
// before the request line are taken as part of the head, as HTTP allows. Lines
// may end with CR LF or LF alone.
HeadScan scanRequestHead(std::string_view bytes, size_t maxLine, size_t maxHead);

} // namespace chronvale::imaged
