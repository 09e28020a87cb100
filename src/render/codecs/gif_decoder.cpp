// GIF files through giflib, read from memory: the first frame, composited onto a
// white canvas of the logical screen's size.

#include "render/codecs/decoders.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace chronvale::codecs {

namespace {

struct GifSource {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    if (length <= 0) {
        return 0;
    }
    const size_t count = std::min(static_cast<size_t>(length), source->size - source->position);
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// Reads the extension blocks of one extension record; the transparent colour
// index of a graphics control block is kept for the frame that follows.
bool readExtension(GifFileType* gif, int& transparentIndex) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
        return false;
    }
    if (code == GRAPHICS_EXT_FUNC_CODE && block) {
        GraphicsControlBlock control;
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
            transparentIndex = control.TransparentColor;
        }
    }
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
            return false;
        }
    }
    return true;
}

ImagePtr readFirstFrame(GifFileType* gif, int transparentIndex) {
    if (DGifGetImageDesc(gif) == GIF_ERROR) {
        return nullptr;
    }
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colours || frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0 ||
        uint64_t{static_cast<uint32_t>(frame.Width)} * static_cast<uint32_t>(frame.Height) >
            kMaxImageBytes) {
        return nullptr;
    }
    // A zero logical screen (some writers leave it out) takes the frame's extent.
    const int canvasWidth = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
    const int canvasHeight = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
    ImagePtr image = createImage(canvasWidth, canvasHeight, 24, 256);
    if (!image) {
        return nullptr;
    }
    std::memset(image->pixels(), 0xFF, image->pixelBytes());

    std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
    auto drawLine = [&](int y) {
        const int row = frame.Top + y;
        const int visible = std::min(frame.Width, canvasWidth - frame.Left);
        if (row >= canvasHeight || visible <= 0) {
            return;
        }
        uint8_t* out = image->row(row) + static_cast<size_t>(frame.Left) * 3;
        for (int x = 0; x < visible; ++x, out += 3) {
            const int index = line[static_cast<size_t>(x)];
            if (index == transparentIndex) {
                continue;
            }
            if (index >= colours->ColorCount) {
                out[0] = out[1] = out[2] = 0;
                continue;
            }
            const GifColorType& colour = colours->Colors[index];
            out[0] = colour.Blue;
            out[1] = colour.Green;
            out[2] = colour.Red;
        }
    };
    if (frame.Interlace) {
        // The four passes of an interlaced frame: every 8th row from 0, every 8th
        // from 4, every 4th from 2, every 2nd from 1.
        constexpr int kStart[] = {0, 4, 2, 1};
        constexpr int kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = kStart[pass]; y < frame.Height; y += kStep[pass]) {
                if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
                    return nullptr;
                }
                drawLine(y);
            }
        }
    } else {
        for (int y = 0; y < frame.Height; ++y) {
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) {
                return nullptr;
            }
            drawLine(y);
        }
    }
    return image;
}

} // namespace

ImagePtr decodeGif(std::span<const uint8_t> bytes) {
    GifSource source{bytes.data(), bytes.size(), 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readFromMemory, &error));
    if (!gif) {
        return nullptr;
    }
    int transparentIndex = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
            return nullptr;
        }
        switch (type) {
        case EXTENSION_RECORD_TYPE:
            if (!readExtension(gif.get(), transparentIndex)) {
                return nullptr;
            }
            break;
        case IMAGE_DESC_RECORD_TYPE:
            return readFirstFrame(gif.get(), transparentIndex);
        default:
            return nullptr; // the end of the file before any frame
        }
    }
}

} // namespace chronvale::codecs
