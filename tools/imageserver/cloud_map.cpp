#include "cloud_map.h"

#include "frame_folder.h"
#include "infrared_map.h"
#include "render/earth_image.h"

#include <QBuffer>
#include <QImage>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>

namespace chronvale::imaged {

namespace {

std::optional<ImageKind> sniffImageKind(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xD8\xFF")) {
        return ImageKind::Jpeg;
    }
    if (bytes.startsWith("\x89PNG\r\n\x1A\n")) {
        return ImageKind::Png;
    }
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) {
        return ImageKind::Gif;
    }
    if (bytes.startsWith("BM")) {
        return ImageKind::Bmp;
    }
    return std::nullopt;
}

// What the body looks like when it is no image, for the log.
std::string describe(const QByteArray& bytes) {
    const QByteArray start = bytes.left(64).trimmed().toLower();
    if (start.startsWith("<!doctype html") || start.startsWith("<html")) {
        return "an HTML page";
    }
    if (start.startsWith("<?xml") || start.startsWith("<serviceexceptionreport")) {
        return "an XML document (such as a map service's error report), not an image";
    }
    if (bytes.isEmpty()) {
        return "an empty body";
    }
    return "not a JPEG, PNG, GIF or BMP image";
}

// The source resampled to width x height as JPEG; empty (with the reason) when
// that fails.
QByteArray encodeResampled(const EarthImage& source, int width, int height, std::string& error) {
    const ImagePtr frame = resampleImage(&source, width, height);
    if (!frame) {
        error = "an image that cannot be resampled";
        return {};
    }
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = frame->row(y); // blue, green, red
        uchar* out = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 90)) {
        error = "the frame cannot be encoded as JPEG";
        return {};
    }
    return jpeg;
}

// The grey cloud map as a 24-bit image for the resampler.
ImagePtr earthImageFromGrey(const QImage& grey) {
    ImagePtr image = createImage(grey.width(), grey.height(), 24, 256);
    if (!image) {
        return nullptr;
    }
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* in = grey.constScanLine(y);
        uint8_t* out = image->row(y);
        for (int x = 0; x < grey.width(); ++x) {
            out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = in[x];
        }
    }
    return image;
}

} // namespace

std::optional<CloudImageKind> cloudImageKindNamed(std::string_view name) {
    if (name == "clouds") {
        return CloudImageKind::Clouds;
    }
    if (name == "infrared") {
        return CloudImageKind::Infrared;
    }
    return std::nullopt;
}

CloudFrameImage cloudFrameFromImage(const QByteArray& bytes, int width, int height, bool alsoHires,
                                    CloudImageKind kind) {
    CloudFrameImage result;
    const std::optional<ImageKind> format = sniffImageKind(bytes);
    if (!format) {
        result.error = describe(bytes);
        return result;
    }
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<size_t>(bytes.size()));
    const ImagePtr source = decodeImage(data, *format);
    if (!source) {
        result.error = "an image that cannot be decoded (broken or cut short)";
        return result;
    }
    result.sourceWidth = source->width();
    result.sourceHeight = source->height();
    if (std::abs(source->width() - 2 * source->height()) * 50 > source->width()) {
        result.error = "a " + std::to_string(source->width()) + " x " +
                       std::to_string(source->height()) +
                       " picture, not a world map twice as wide as high";
        return result;
    }
    ImagePtr converted;
    if (kind == CloudImageKind::Infrared) {
        // Decoded again by Qt for the alpha channel, which marks where the map has
        // no data; the first decoding has refused broken files.
        const InfraredCloudMap map = cloudMapFromInfrared(QImage::fromData(bytes));
        if (!map.error.empty()) {
            result.error = map.error;
            return result;
        }
        converted = earthImageFromGrey(map.clouds);
        if (!converted) {
            result.error = "an infrared map too large to convert";
            return result;
        }
    }
    const EarthImage& picture = converted ? *converted : *source;
    std::string error;
    result.jpeg = encodeResampled(picture, width, height, error);
    if (result.jpeg.isEmpty()) {
        result.error = error;
        return result;
    }
    if (alsoHires && source->width() >= kHiresWidth) {
        // A copy that cannot be made costs the large maps their sharpness only.
        result.hiresJpeg = encodeResampled(picture, kHiresWidth, kHiresHeight, error);
    }
    return result;
}

std::string slotTimeStamp(std::time_t when) {
    const std::time_t slot = kSlotHours * 3600;
    const std::time_t start = when - ((when % slot) + slot) % slot;
    return hourTimeStamp(start);
}

} // namespace chronvale::imaged
