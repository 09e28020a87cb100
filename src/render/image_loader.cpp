// loadImage: the extension picks the decoder, the file is read whole into memory.
//
// The natural size of a picture is its pixel size. (A decoder that reports a
// physical size would have it converted back at the screen's resolution; with
// pixel-based decoders that arithmetic gives the pixel size again.)

#include "render/codecs/decoders.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

namespace chronvale {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file; none when it cannot be read or is larger than any image we take.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        if (got > kMaxImageBytes - bytes.size()) {
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<ImageKind> imageKindOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".jpg" || extension == ".jpeg") {
        return ImageKind::Jpeg;
    }
    if (extension == ".gif") {
        return ImageKind::Gif;
    }
    if (extension == ".bmp") {
        return ImageKind::Bmp;
    }
    if (extension == ".png") {
        return ImageKind::Png;
    }
    return std::nullopt;
}

ImagePtr decodeImage(std::span<const uint8_t> bytes, ImageKind kind) {
    switch (kind) {
    case ImageKind::Jpeg:
        return codecs::decodeJpeg(bytes);
    case ImageKind::Gif:
        return codecs::decodeGif(bytes);
    case ImageKind::Bmp:
        return codecs::decodeBmp(bytes);
    case ImageKind::Png:
        return codecs::decodePng(bytes);
    }
    return nullptr;
}

ImagePtr loadImage(const std::string& path) {
    const std::optional<ImageKind> kind = imageKindOfPath(path);
    if (!kind) {
        return nullptr;
    }
    const std::optional<std::vector<uint8_t>> bytes = readWholeFile(path);
    if (!bytes) {
        return nullptr;
    }
    return decodeImage(*bytes, *kind);
}

} // namespace chronvale
