#pragma once
// Pixel blends of the lit map's layers: clouds laid over a base map, and the day
// map tinted with the time-zone colours.
//
// Each walks the pixels that all its images share (the earth images are all
// 1024 x 512; a smaller image only narrows the walk, never lets it read past an
// image's end). Every image must be 24-bit; otherwise nothing is written.

#include "render/earth_image.h"

#include <cstdint>
#include <vector>

namespace chronvale {

// The weight of the grey day image in the time-zone tint; the zone colour gets
// 2 - weight, so that the weights sum to 2.
inline constexpr float kTimeZoneTintWeight = 1.4f;

// out = base with the clouds laid over it. With m and l the channel means of the
// base and cloud pixels: a cloud mean below 10 keeps the base pixel, above 240 takes
// the cloud pixel; between, each channel is (base m/l + cloud l/m + 10) / (m/l + l/m),
// so the brighter pixel dominates by the square of the brightness ratio; a black
// base stays black. Pixels of out beyond the cloud image get the base pixel.
// out may be the same image as base.
void blendCloudLayer(EarthImage& out, const EarthImage& base, const EarthImage& cloud);

// One pixel of the cloud blend (blue, green, red).
void blendCloudPixel(uint8_t* out, const uint8_t* base, const uint8_t* cloud);
// The cloud blend over a row of `count` pixels; out may be base.
void blendCloudRow(uint8_t* out, const uint8_t* base, const uint8_t* cloud, int count);

// out = the day image in grey, tinted by the zone colours: each channel is
// (grey * weight + zone * (2 - weight)) / 2. Pixels of out beyond the zone image
// get the day pixel. out may be the same image as day.
void tintTimeZones(EarthImage& out, const EarthImage& day, const EarthImage& zones,
                   float weight = kTimeZoneTintWeight);

// The tint as a table of 256 x 256 bytes: entry [grey * 256 + zone] is the output
// channel. Every channel of the tint is a function of these two bytes alone.
std::vector<uint8_t> timeZoneTintTable(float weight = kTimeZoneTintWeight);
// The tint over a row of `count` pixels with a table from timeZoneTintTable; out may
// be day.
void tintTimeZoneRow(uint8_t* out, const uint8_t* day, const uint8_t* zones, int count,
                     const uint8_t* table);

} // namespace chronvale
