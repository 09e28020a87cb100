#include "cloud_map.h"

#include "frame_folder.h"
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

} // namespace

CloudFrameImage cloudFrameFromImage(const QByteArray& bytes, int width, int height,
                                    bool alsoHires) {
    CloudFrameImage result;
    const std::optional<ImageKind> kind = sniffImageKind(bytes);
    if (!kind) {
        result.error = describe(bytes);
        return result;
    }
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<size_t>(bytes.size()));
    const ImagePtr source = decodeImage(data, *kind);
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
    std::string error;
    result.jpeg = encodeResampled(*source, width, height, error);
    if (result.jpeg.isEmpty()) {
        result.error = error;
        return result;
    }
    if (alsoHires && source->width() >= kHiresWidth) {
        // A copy that cannot be made costs the large maps their sharpness only.
        result.hiresJpeg = encodeResampled(*source, kHiresWidth, kHiresHeight, error);
    }
    return result;
}

std::string slotTimeStamp(std::time_t when) {
    const std::time_t slot = kSlotHours * 3600;
    const std::time_t start = when - ((when % slot) + slot) % slot;
    return hourTimeStamp(start);
}

} // namespace chronvale::imaged
