#include "render/jpeg_writer.h"

#include "core/file_io.h"

#include <memory>
#include <turbojpeg.h>

namespace chronvale {

namespace {

struct TurboJpegCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

struct TurboJpegBuffer {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

} // namespace

std::optional<std::string> encodeJpeg(const EarthImage* image, int quality) {
    if (image == nullptr || image->bitsPerPixel() != 24 || quality < 1 || quality > 100) {
        return std::nullopt;
    }
    std::unique_ptr<void, TurboJpegCloser> encoder(tjInitCompress());
    if (!encoder) {
        return std::nullopt;
    }
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    // The pixel block is stored bottom row first, blue, green, red.
    const int failed = tjCompress2(encoder.get(), image->pixels(), image->width(), image->stride(),
                                   image->height(), TJPF_BGR, &bytes, &size, TJSAMP_444, quality,
                                   TJFLAG_BOTTOMUP | TJFLAG_FASTDCT);
    const std::unique_ptr<unsigned char, TurboJpegBuffer> owned(bytes);
    if (failed != 0 || bytes == nullptr) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(bytes), size);
}

bool saveJpegFile(const EarthImage* image, const std::string& path, int quality) {
    const std::optional<std::string> encoded = encodeJpeg(image, quality);
    return encoded && writeFileAtomically(path, *encoded);
}

} // namespace chronvale
