#include "render_test_support.h"

#include <csetjmp>
#include <cstdlib>
#include <fstream>
#include <gif_lib.h>
#include <png.h>
#include <stdexcept>
#include <turbojpeg.h>

namespace chronvale::test {

namespace {

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

Bytes makeBmp(const BmpFields& f) {
    Bytes header;
    if (f.headerSize == 12) {
        put32(header, 12);
        put16(header, static_cast<uint32_t>(f.width));
        put16(header, static_cast<uint32_t>(f.height));
        put16(header, 1);
        put16(header, f.bitsPerPixel);
    } else {
        put32(header, f.headerSize);
        put32(header, static_cast<uint32_t>(f.width));
        put32(header, static_cast<uint32_t>(f.height));
        put16(header, 1);
        put16(header, f.bitsPerPixel);
        put32(header, f.compression);
        put32(header, static_cast<uint32_t>(f.pixels.size()));
        put32(header, 2835);
        put32(header, 2835);
        put32(header, f.coloursUsed);
        put32(header, 0);
        if (f.headerSize > 40) {
            for (uint32_t mask : f.masks) {
                put32(header, mask);
            }
        }
        if (f.headerSize <= 4096) {
            header.resize(std::max<size_t>(header.size(), f.headerSize), 0);
        }
    }
    if (f.headerSize == 40) {
        for (uint32_t mask : f.masks) {
            put32(header, mask);
        }
    }
    for (const auto& entry : f.table) {
        header.insert(header.end(), entry.begin(), entry.begin() + (f.headerSize == 12 ? 3 : 4));
    }
    const uint32_t offset = f.pixelOffset.value_or(static_cast<uint32_t>(14 + header.size()));
    Bytes file{'B', 'M'};
    put32(file, static_cast<uint32_t>(14 + header.size() + f.pixels.size()));
    put32(file, 0);
    put32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), f.pixels.begin(), f.pixels.end());
    return file;
}

namespace {

void appendPngData(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushPng(png_structp) {}

bool writePng(png_structp png, png_infop info, const PngFields& f, std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, f.width, f.height, f.bitDepth, f.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const auto& c : f.palette) {
        palette.push_back({c[0], c[1], c[2]});
    }
    if (!palette.empty()) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (!f.transparency.empty()) {
        png_set_tRNS(png, info, f.transparency.data(), static_cast<int>(f.transparency.size()),
                     nullptr);
    }
    if (f.gamma) {
        png_set_gAMA(png, info, *f.gamma);
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

} // namespace

Bytes makePng(const PngFields& f) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPngData, flushPng);
    std::vector<Bytes> rowCopies = f.rows;
    std::vector<png_bytep> rows;
    for (Bytes& row : rowCopies) {
        rows.push_back(row.data());
    }
    const bool ok = writePng(png, info, f, rows);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        throw std::runtime_error("cannot encode the PNG fixture");
    }
    return out;
}

Bytes makeJpeg(const EarthImage& image) {
    tjhandle encoder = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int rc =
        tjCompress2(encoder, image.pixels(), image.width(), image.stride(), image.height(),
                    TJPF_BGR, &buffer, &size, TJSAMP_444, 95, TJFLAG_BOTTOMUP);
    Bytes out;
    if (rc == 0) {
        out.assign(buffer, buffer + size);
    }
    tjFree(buffer);
    tjDestroy(encoder);
    if (rc != 0) {
        throw std::runtime_error("cannot encode the JPEG fixture");
    }
    return out;
}

namespace {

int appendGifData(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

ColorMapObject* makeColourMap(const std::vector<std::array<uint8_t, 3>>& colours) {
    if (colours.empty()) {
        return nullptr;
    }
    std::vector<GifColorType> entries;
    for (const auto& c : colours) {
        entries.push_back({c[0], c[1], c[2]});
    }
    return GifMakeMapObject(static_cast<int>(entries.size()), entries.data());
}

} // namespace

Bytes makeGif(const GifFields& f) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendGifData, &error);
    ColorMapObject* global = makeColourMap(f.globalColours);
    ColorMapObject* local = makeColourMap(f.localColours);
    bool ok = gif != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, f.screenWidth, f.screenHeight, 8, 0, global) == GIF_OK;
    }
    if (ok && f.transparentIndex >= 0) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = f.transparentIndex;
        GifByteType block[4];
        const size_t length = EGifGCBToExtension(&control, block);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block) ==
             GIF_OK;
    }
    if (ok) {
        ok = EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, local) == GIF_OK;
    }
    std::vector<int> order;
    if (f.interlace) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < f.height; y += step) {
                order.push_back(y);
            }
        }
    } else {
        for (int y = 0; y < f.height; ++y) {
            order.push_back(y);
        }
    }
    for (int y : order) {
        Bytes line = f.rows[static_cast<size_t>(y)];
        ok = ok && EGifPutLine(gif, line.data(), f.width) == GIF_OK;
    }
    if (gif && EGifCloseFile(gif, &error) != GIF_OK) {
        ok = false;
    }
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    if (!ok) {
        throw std::runtime_error("cannot encode the GIF fixture");
    }
    return out;
}

} // namespace chronvale::test
