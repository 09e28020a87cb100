// Any bytes as an HTTP response arriving in reads of random sizes: the first bytes
// pick where the reads end, the rest is the response. Each read is stored and the
// header end searched only in what is new, as the client does; the result must be the
// same as a search of the whole text. Then the status and the redirect target are read.

#include "net/http_response.h"
#include "net/response_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t splits = data[0] % 16;
    if (size < 1 + splits) {
        return 0;
    }
    std::vector<std::size_t> reads;
    for (std::size_t i = 0; i < splits; ++i) {
        reads.push_back(1 + data[1 + i] % 64);
    }
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1 + splits,
                                  size - 1 - splits);

    chronvale::ResponseBuffer response(1 << 20);
    std::optional<std::size_t> headerEnd;
    std::size_t searched = 0;
    std::size_t offset = 0;
    std::size_t read = 0;
    while (offset < stream.size()) {
        const std::size_t n = read < reads.size() ? reads[read++] : stream.size() - offset;
        const std::string_view block = stream.substr(offset, n);
        offset += block.size();
        if (response.append(block) != chronvale::ResponseBuffer::AppendResult::Stored) {
            return 0;
        }
        if (!headerEnd) {
            headerEnd = chronvale::findHeaderEnd(response.view(), searched);
            searched = response.size();
        }
    }
    if (response.data()[response.size()] != '\0') {
        __builtin_trap();
    }
    const std::string_view text = response.view();
    if (headerEnd != chronvale::findHeaderEnd(text) || (headerEnd && *headerEnd > text.size())) {
        __builtin_trap();
    }
    (void)chronvale::parseStatus(text);
    const std::string_view headers = headerEnd ? text.substr(0, *headerEnd) : text;
    if (const auto url = chronvale::redirectUrl(headers, "http://h/dir/page.php?a=1")) {
        if (url->empty() || url->size() > 2047) {
            __builtin_trap();
        }
        (void)chronvale::urlScheme(*url);
    }
    return 0;
}
