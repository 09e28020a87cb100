// JPEG files through the TurboJPEG API.

#include "render/codecs/decoders.h"

#include <memory>
#include <turbojpeg.h>

namespace chronvale::codecs {

namespace {

struct TurboJpegCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

} // namespace

ImagePtr decodeJpeg(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > kMaxImageBytes) {
        return nullptr;
    }
    std::unique_ptr<void, TurboJpegCloser> decoder(tjInitDecompress());
    if (!decoder) {
        return nullptr;
    }
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(decoder.get(), bytes.data(), size, &width, &height, &subsampling,
                            &colourspace) != 0) {
        return nullptr;
    }
    // The size guard of createImage runs before TurboJPEG allocates anything big.
    ImagePtr image = createImage(width, height, 24, 256);
    if (!image) {
        return nullptr;
    }
    // Bottom-up output matches the image's storage order, so the rows land in
    // place. A warning (a truncated or corrupt stream) stops the decode: a half
    // picture is never returned. The scan limit bounds progressive files.
    const int flags = TJFLAG_BOTTOMUP | TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(decoder.get(), bytes.data(), size, image->pixels(), width, image->stride(),
                      height, TJPF_BGR, flags) != 0) {
        return nullptr;
    }
    return image;
}

} // namespace chronvale::codecs
