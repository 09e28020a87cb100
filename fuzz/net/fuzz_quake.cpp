// Any body as the earthquake reply: the server-error check and the QUAKE elements, as
// the feed's completion reads them.

#include "net/quake_feed.h"
#include "net/server_error.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class SilentOwner final : public chronvale::QuakeOwner {
public:
    void showStatus(chronvale::ServiceStatus, const std::string&) override {}
    void showErrorBox(const std::string&, const std::string&) override {}
    void serverErrorReported() override {}
    void repaintMap() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    SilentOwner owner;
    (void)chronvale::serverErrorCheck(body, owner);
    const chronvale::QuakeList quakes = chronvale::parseQuakes(body);
    // A QUAKE element takes at least "<quake lat lon>" (15 characters).
    if (quakes.size() > size / 15) {
        __builtin_trap();
    }
    return 0;
}
