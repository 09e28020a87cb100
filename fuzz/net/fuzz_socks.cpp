// Any bytes as the replies of a SOCKS proxy, split over reads as they may arrive. The
// first byte picks the reply kind, the next ones where the reads end; the rest is the
// stream. Each reply is read as the client reads it: the bytes collected so far are
// scanned after every read, and a complete reply must be the same however the bytes
// were split.

#include "net/socks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using chronvale::SocksReply;
using chronvale::SocksReplyScan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static constexpr SocksReply kinds[] = {SocksReply::Socks4, SocksReply::Socks5Method,
                                           SocksReply::Socks5Auth, SocksReply::Socks5Connect};
    const SocksReply kind = kinds[data[0] % 4];
    const std::size_t splits = data[1] % 8;
    if (size < 2 + splits) {
        return 0;
    }
    std::vector<std::size_t> reads;
    for (std::size_t i = 0; i < splits; ++i) {
        reads.push_back(1 + data[2 + i] % 16);
    }
    const std::string_view stream(reinterpret_cast<const char*>(data) + 2 + splits,
                                  size - 2 - splits);
    const SocksReplyScan whole = chronvale::scanSocksReply(kind, stream);

    std::size_t offset = 0;
    std::size_t read = 0;
    while (offset < stream.size()) {
        const std::size_t n = read < reads.size() ? reads[read++] : stream.size() - offset;
        offset += std::min(n, stream.size() - offset);
        // An exact copy on the heap, so that a read past it is seen.
        const std::unique_ptr<char[]> copy(new char[offset]);
        std::copy_n(stream.data(), offset, copy.get());
        const SocksReplyScan scan = chronvale::scanSocksReply(kind, {copy.get(), offset});
        if (scan.status == SocksReplyScan::Status::Incomplete) {
            continue;
        }
        if (scan.status != whole.status || scan.size != whole.size || scan.code != whole.code ||
            scan.size > offset || scan.size > chronvale::socks5LongestConnectReply) {
            __builtin_trap();
        }
        break;
    }
    return 0;
}
