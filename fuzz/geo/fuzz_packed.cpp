// Any bytes as a packed data file: the reader must refuse or return text, never
// read or write outside its buffers.

#include "core/packed_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<std::string> text = chronvale::parsePackedText(bytes);
    if (text && text->find('\0') != std::string::npos) {
        __builtin_trap(); // the text ends at its first NUL
    }
    // What is packed comes back unchanged (up to a NUL).
    std::string_view plain = bytes.substr(0, bytes.find('\0'));
    std::optional<std::string> again = chronvale::parsePackedText(chronvale::packText(plain));
    if (!again || *again != plain) {
        __builtin_trap();
    }
    return 0;
}
