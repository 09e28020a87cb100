#include "render/lit_area.h"

#include "render/layer_blend.h"
#include "render/sun_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace chronvale {
namespace {

constexpr double kStandardWidth = 1024.0;
constexpr double kStandardHeight = 512.0;

// How dark the night lights get under the thickest cloud (Clouds with Sun Shadow):
// the remaining share of their brightness.
constexpr int kLightsUnderCloud = 64; // of 256
// Cloud means below this leave the lights alone; the full dimming is reached at
// kThickCloud.
constexpr int kThinCloud = 10;
constexpr int kThickCloud = 200;

// One axis of a sampling: for every output coordinate the two neighbouring source
// coordinates and the weight of the second, in 1/256.
struct Axis {
    std::vector<uint32_t> first;
    std::vector<uint32_t> second;
    std::vector<uint16_t> weight;
    bool identity = false; // output i is source first[0] + i exactly
};

// The source coordinate of output centre i: the output spans [origin, origin + span)
// of the 1024 x 512 map over `count` pixels; the image has `size` pixels over
// `mapSize` map pixels.
Axis makeAxis(double origin, double span, int count, int size, double mapSize, bool smooth) {
    Axis axis;
    axis.first.resize(static_cast<size_t>(count));
    axis.second.resize(static_cast<size_t>(count));
    axis.weight.resize(static_cast<size_t>(count));
    const double step = span / count * size / mapSize;
    const double start = origin * size / mapSize - 0.5;
    bool identity = true;
    for (int i = 0; i < count; ++i) {
        const double s = start + (i + 0.5) * step;
        int a = 0;
        int b = 0;
        int w = 0;
        if (smooth) {
            const double f = std::floor(s);
            a = static_cast<int>(f);
            b = a + 1;
            w = static_cast<int>(std::lround((s - f) * 256.0));
            if (w == 256) {
                a = b;
                w = 0;
            }
        } else {
            a = b = static_cast<int>(std::floor(s + 0.5));
        }
        a = std::clamp(a, 0, size - 1);
        b = std::clamp(b, 0, size - 1);
        axis.first[static_cast<size_t>(i)] = static_cast<uint32_t>(a);
        axis.second[static_cast<size_t>(i)] = static_cast<uint32_t>(b);
        axis.weight[static_cast<size_t>(i)] = static_cast<uint16_t>(w);
        identity = identity && w == 0 && a == static_cast<int>(axis.first[0]) + i;
    }
    axis.identity = identity;
    return axis;
}

// Samples one image onto the output grid, row by row.
class Sampler {
public:
    Sampler(const EarthImage& image, const LitAreaRequest& request, bool smooth)
        : image_(image), columns_(makeAxis(request.area.x, request.area.width, request.width,
                                           image.width(), kStandardWidth, smooth)),
          rows_(makeAxis(request.area.y, request.area.height, request.height, image.height(),
                         kStandardHeight, smooth)),
          smooth_(smooth), lastByte_(static_cast<uint32_t>(image.width()) * 3) {
        for (uint32_t& x : columns_.first) {
            x *= 3;
        }
        for (uint32_t& x : columns_.second) {
            x *= 3;
        }
    }

    // Output pixels [from, to) of output row y into out (the whole row's buffer).
    void sampleRow(int y, uint8_t* out, size_t from, size_t to) const {
        const size_t r = static_cast<size_t>(y);
        const uint8_t* top = image_.row(static_cast<int>(rows_.first[r]));
        const uint32_t fy = rows_.weight[r];
        if (columns_.identity && fy == 0) {
            std::memcpy(out + from * 3, top + columns_.first[0] + from * 3, (to - from) * 3);
            return;
        }
        if (!smooth_ || (fy == 0 && allColumnsExact())) {
            // Four bytes at a time, the fourth overwritten by the next pixel; the last
            // pixel (whose fourth byte may lie past the row or the image) by bytes.
            const uint32_t* first = columns_.first.data();
            size_t x = from;
            if (to > from) {
                for (; x + 1 < to; ++x) {
                    const uint8_t* p = top + first[x];
                    if (first[x] + 3 >= lastByte_) {
                        break;
                    }
                    uint32_t pixel;
                    std::memcpy(&pixel, p, 4);
                    std::memcpy(out + x * 3, &pixel, 4);
                }
            }
            for (; x < to; ++x) {
                const uint8_t* p = top + first[x];
                out[x * 3] = p[0];
                out[x * 3 + 1] = p[1];
                out[x * 3 + 2] = p[2];
            }
            return;
        }
        const uint8_t* bottom = image_.row(static_cast<int>(rows_.second[r]));
        const uint32_t gy = 256 - fy;
        for (size_t x = from; x < to; ++x) {
            const uint32_t fx = columns_.weight[x];
            const uint32_t gx = 256 - fx;
            const uint8_t* a = top + columns_.first[x];
            const uint8_t* b = top + columns_.second[x];
            const uint8_t* c = bottom + columns_.first[x];
            const uint8_t* d = bottom + columns_.second[x];
            for (int k = 0; k < 3; ++k) {
                const uint32_t upper = a[k] * gx + b[k] * fx;
                const uint32_t lower = c[k] * gx + d[k] * fx;
                out[x * 3 + static_cast<size_t>(k)] =
                    static_cast<uint8_t>((upper * gy + lower * fy + 32768) >> 16);
            }
        }
    }

private:
    bool allColumnsExact() const {
        if (!exactKnown_) {
            exact_ = std::all_of(columns_.weight.begin(), columns_.weight.end(),
                                 [](uint16_t w) { return w == 0; });
            exactKnown_ = true;
        }
        return exact_;
    }

    const EarthImage& image_;
    Axis columns_;
    Axis rows_;
    bool smooth_;
    uint32_t lastByte_; // the row's pixel bytes: a 4-byte load must end within them
    mutable bool exactKnown_ = false;
    mutable bool exact_ = false;
};

bool usable(const EarthImage* image) {
    return image && image->bitsPerPixel() == 24 && image->width() > 0 && image->height() > 0;
}

// Output pixels per image pixel along x: above 1 the image is magnified.
double magnification(const EarthImage& image, const LitAreaRequest& request) {
    return request.width / (request.area.width * image.width() / kStandardWidth);
}

std::optional<Sampler> samplerFor(const EarthImage* image, const LitAreaRequest& request,
                                  bool smoothAlways) {
    if (!usable(image)) {
        return std::nullopt;
    }
    return Sampler(*image, request, smoothAlways || magnification(*image, request) > 1.0);
}

// The base of the composition: which layers make the lit pixels before the shadow.
enum class Base { DayWithClouds, NightWithClouds, Night, TimeZones, Day };

// Dims the night lights under thick cloud: the cloud mean decides how much of the
// lights is kept.
void dimUnderClouds(uint8_t* night, const uint8_t* cloud, size_t from, size_t to) {
    for (size_t x = from; x < to; ++x) {
        const int mean = (cloud[x * 3] + cloud[x * 3 + 1] + cloud[x * 3 + 2]) / 3;
        if (mean <= kThinCloud) {
            continue;
        }
        const int thickness = std::min(256, (mean - kThinCloud) * 256 / (kThickCloud - kThinCloud));
        const int keep = 256 - ((256 - kLightsUnderCloud) * thickness >> 8);
        for (size_t k = x * 3; k < x * 3 + 3; ++k) {
            night[k] = static_cast<uint8_t>(night[k] * keep >> 8);
        }
    }
}

} // namespace

bool denserThanMap(const LitAreaRequest& request) {
    return request.area.width > 0.0 && request.width / request.area.width > 1.0;
}

EarthLayers chooseLayers(const EarthLayers& standard, const EarthLayers& detailed,
                         const LitAreaRequest& request) {
    EarthLayers layers = standard;
    if (denserThanMap(request)) {
        if (usable(detailed.day)) {
            layers.day = detailed.day;
        }
        if (usable(detailed.night)) {
            layers.night = detailed.night;
        }
    }
    return layers;
}

ImagePtr composeLitArea(const EarthLayers& layers, const LitAreaRequest& request) {
    if (request.width <= 0 || request.height <= 0) {
        return nullptr;
    }
    ImagePtr out = createImage(request.width, request.height, 24, 256);
    if (!out || !composeLitAreaInto(layers, request, *out, 0, 0)) {
        return nullptr;
    }
    return out;
}

bool composeLitAreaInto(const EarthLayers& layers, const LitAreaRequest& request,
                        EarthImage& target, int left, int top) {
    return composeLitAreaRowsInto(layers, request, target, left, top, 0, request.height);
}

bool composeLitAreaRowsInto(const EarthLayers& layers, const LitAreaRequest& request,
                            EarthImage& target, int left, int top, int firstRow, int endRow) {
    if (firstRow < 0 || endRow > request.height || firstRow > endRow || request.width <= 0 ||
        request.height <= 0 || !(request.area.width > 0.0) || !(request.area.height > 0.0) ||
        target.bitsPerPixel() != 24 || left < 0 || top < 0 ||
        left + request.width > target.width() || top + request.height > target.height()) {
        return false;
    }
    const DisplaySwitches& s = request.switches;
    const bool haveDay = usable(layers.day);
    const bool haveNight = usable(layers.night);
    const bool haveCloud = usable(layers.cloud);
    const bool haveZones = usable(layers.timeZones);

    // The compositor's rules, in its order; a missing source falls back as there.
    Base base = Base::Day;
    bool shadow = s.sunShadow;
    if (s.clouds && s.dayMap) {
        base = haveCloud ? Base::DayWithClouds : Base::Day;
    } else if (s.clouds && s.nightMap) {
        shadow = false;
        base = !haveNight ? Base::Day : haveCloud ? Base::NightWithClouds : Base::Night;
    } else if (s.nightMap) {
        shadow = false;
        base = haveNight ? Base::Night : Base::Day;
    } else if (s.clouds) {
        // Clouds alone go over the day image, as with Day Map.
        base = haveCloud ? Base::DayWithClouds : Base::Day;
    } else if (s.timeZones && haveDay && haveZones) {
        base = Base::TimeZones;
    }
    const bool needsDay =
        base == Base::Day || base == Base::DayWithClouds || base == Base::TimeZones;
    if (needsDay && !haveDay) {
        return false;
    }
    const std::optional<SunAngles> sun =
        shadow && haveNight ? sunAnglesAt(request.now) : std::nullopt;
    const bool cloudyNight = sun && s.clouds && s.cloudsWithShadow && haveCloud;

    const std::optional<Sampler> day = samplerFor(layers.day, request, false);
    const std::optional<Sampler> night = samplerFor(layers.night, request, false);
    // Like the day and night images: blended between neighbours only where the
    // output is denser than the frame (a 1024 frame on a large map); a 4096 copy
    // reduced for a 4K wallpaper takes the nearest pixel, at a third of the cost.
    const std::optional<Sampler> cloud = samplerFor(layers.cloud, request, false);
    // The zones are flat colours: never blended between neighbours.
    const std::optional<Sampler> zones =
        haveZones ? std::optional<Sampler>(Sampler(*layers.timeZones, request, false))
                  : std::nullopt;

    const size_t columns = static_cast<size_t>(request.width);
    std::vector<uint8_t> cloudRow;
    std::vector<uint8_t> layerRow;
    std::vector<uint8_t> tintTable;
    if (base == Base::DayWithClouds || base == Base::NightWithClouds || cloudyNight) {
        cloudRow.resize(columns * 3);
    }
    if (base == Base::TimeZones || sun) {
        layerRow.resize(columns * 3);
    }
    if (base == Base::TimeZones) {
        tintTable = timeZoneTintTable();
    }

    // The shadow's column factors, from each output column's longitude by the 1024
    // map's arithmetic: the output is a window onto a whole map `fullWidth` wide.
    std::vector<float> cosHourAngle;
    std::vector<float> cosZenith;
    std::optional<ShadowRowShader> shader;
    const double pixelsPerMapX = request.width / request.area.width;
    const double pixelsPerMapY = request.height / request.area.height;
    const double fullWidth = kStandardWidth * pixelsPerMapX;
    const double fullHeight = kStandardHeight * pixelsPerMapY;
    if (sun) {
        cosHourAngle.resize(columns);
        cosZenith.resize(columns);
        shader.emplace(columns);
        const double firstColumn = request.area.x * pixelsPerMapX;
        for (size_t x = 0; x < columns; ++x) {
            // As shadowColumnLongitude(column, width), for a column and width that
            // may be fractional.
            const double fromRight = fullWidth - 1.0 - (firstColumn + static_cast<double>(x));
            const float longitude =
                180.0f - static_cast<float>(fromRight) * 360.0f / static_cast<float>(fullWidth);
            cosHourAngle[x] = sun->cosHourAngle(longitude);
        }
    }

    for (int y = firstRow; y < endRow; ++y) {
        uint8_t* row = target.row(top + y) + static_cast<size_t>(left) * 3;
        switch (base) {
        case Base::Day:
        case Base::DayWithClouds:
            day->sampleRow(y, row, 0, columns);
            break;
        case Base::Night:
        case Base::NightWithClouds:
            night->sampleRow(y, row, 0, columns);
            break;
        case Base::TimeZones:
            day->sampleRow(y, row, 0, columns);
            zones->sampleRow(y, layerRow.data(), 0, columns);
            tintTimeZoneRow(row, row, layerRow.data(), request.width, tintTable.data());
            break;
        }
        if (!cloudRow.empty()) {
            cloud->sampleRow(y, cloudRow.data(), 0, columns);
            if (base == Base::DayWithClouds || base == Base::NightWithClouds) {
                blendCloudRow(row, row, cloudRow.data(), request.width);
            }
        }
        if (!sun) {
            continue;
        }
        // As shadowRowLatitude(row, height), for a fractional row and height.
        const double rowIndex = request.area.y * pixelsPerMapY + y;
        const float latitude =
            90.0f - static_cast<float>(rowIndex) * 180.0f / static_cast<float>(fullHeight);
        sun->rowCosZenith(latitude, cosHourAngle.data(), cosZenith.data(), columns);
        // The night image only over the runs of pixels that are not fully lit.
        size_t x = 0;
        while (x < columns) {
            if (ShadowRowShader::fullyLit(cosZenith[x])) {
                ++x;
                continue;
            }
            size_t end = x + 1;
            while (end < columns && !ShadowRowShader::fullyLit(cosZenith[end])) {
                ++end;
            }
            night->sampleRow(y, layerRow.data(), x, end);
            if (cloudyNight) {
                dimUnderClouds(layerRow.data(), cloudRow.data(), x, end);
            }
            shader->shade(row + x * 3, layerRow.data() + x * 3, cosZenith.data() + x, end - x);
            x = end;
        }
    }
    return true;
}

} // namespace chronvale
