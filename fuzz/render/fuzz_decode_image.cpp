// Feeds arbitrary bytes to one decoder (chosen at build time) as a whole file.
// Any input must yield an image or none, without reading outside the bytes.

#include "render/earth_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace chronvale;
    ImagePtr image = decodeImage({data, size}, ImageKind::CHRONVALE_FUZZ_KIND);
    if (image) {
        // Touch the corners so that a wrong row table shows up at once.
        getPixel(image.get(), 0, 0);
        getPixel(image.get(), image->width() - 1, image->height() - 1);
    }
    return 0;
}
