#include "infrared_map.h"

#include <algorithm>
#include <cstdio>

namespace chronvale::imaged {

namespace {

std::string percent(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%.0f %%", share * 100);
    return text;
}

} // namespace

uint8_t infraredCloudLevel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    if (alpha < 128) {
        return 0;
    }
    const int low = std::min({red, green, blue});
    const int high = std::max({red, green, blue});
    if (high - low > kGreyTolerance) {
        return 255;
    }
    const int grey = (red + green + blue) / 3;
    if (grey <= kClearGrey) {
        return 0;
    }
    if (grey >= kCloudGrey) {
        return 255;
    }
    return static_cast<uint8_t>((grey - kClearGrey) * 255 / (kCloudGrey - kClearGrey));
}

InfraredCloudMap cloudMapFromInfrared(const QImage& infrared) {
    InfraredCloudMap result;
    if (infrared.isNull()) {
        result.error = "an image that cannot be decoded";
        return result;
    }
    const QImage argb = infrared.convertToFormat(QImage::Format_ARGB32);
    QImage clouds(argb.size(), QImage::Format_Grayscale8);
    long long covered = 0;
    long long full = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* out = clouds.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = in[x];
            const uint8_t alpha = static_cast<uint8_t>(qAlpha(pixel));
            out[x] = infraredCloudLevel(static_cast<uint8_t>(qRed(pixel)),
                                        static_cast<uint8_t>(qGreen(pixel)),
                                        static_cast<uint8_t>(qBlue(pixel)), alpha);
            covered += alpha >= 128;
            full += out[x] == 255;
        }
    }
    const double pixels = static_cast<double>(argb.width()) * argb.height();
    result.coverage = static_cast<double>(covered) / pixels;
    result.fullCloud = covered > 0 ? static_cast<double>(full) / static_cast<double>(covered) : 0;
    if (result.coverage < kMinCoverage) {
        result.error = "an infrared map with data on " + percent(result.coverage) +
                       " of the earth only (a blank or partial reply)";
        return result;
    }
    if (result.fullCloud > kMaxFullCloud) {
        result.error = "an infrared map that is full cloud on " + percent(result.fullCloud) +
                       " of its data (not a grey scale of cloud-top temperature)";
        return result;
    }
    result.clouds = std::move(clouds);
    return result;
}

} // namespace chronvale::imaged
