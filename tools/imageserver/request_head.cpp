#include "request_head.h"

namespace chronvale::imaged {

HeadScan scanRequestHead(std::string_view bytes, size_t maxLine, size_t maxHead) {
    size_t start = 0;
    while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n')) {
        ++start;
    }
    const size_t lineEnd = bytes.find('\n', start);
    const size_t lineLength = (lineEnd == std::string_view::npos ? bytes.size() : lineEnd) - start;
    // A CR that ends the bytes so far may be the first half of the line end.
    const bool carriageReturn = lineLength > 0 && bytes[start + lineLength - 1] == '\r';
    if (lineLength - (carriageReturn ? 1 : 0) > maxLine) {
        return {HeadState::LineTooLong, 0};
    }
    if (lineEnd == std::string_view::npos) {
        return {bytes.size() > maxHead ? HeadState::TooLarge : HeadState::Incomplete, 0};
    }
    // The head ends at the first line that is empty (or holds only CR).
    size_t at = lineEnd + 1;
    while (at <= bytes.size()) {
        const size_t next = bytes.find('\n', at);
        if (next == std::string_view::npos) {
            break;
        }
        if (next == at || (next == at + 1 && bytes[at] == '\r')) {
            const size_t length = next + 1;
            if (length > maxHead) {
                return {HeadState::TooLarge, 0};
            }
            return {HeadState::Complete, length};
        }
        at = next + 1;
    }
    return {bytes.size() > maxHead ? HeadState::TooLarge : HeadState::Incomplete, 0};
}

} // namespace chronvale::imaged
