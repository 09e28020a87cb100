#pragma once
// Turns an infrared world map (cloud-top brightness temperature shown as grey,
// cold bright) into a cloud map as the frames hold it: white where cloud tops are
// cold, black where ground, sea or warm low cloud shows and where the map has no
// data (outside every satellite's view).

#include <QImage>
#include <cstdint>
#include <string>

namespace chronvale::imaged {

// Grey levels of the ramp: at or below kClearGrey a pixel is clear (about 270 K on
// a linear scale from 330 K black to 163 K white), at or above kCloudGrey it is
// full cloud (about 212 K, deep convection); linear between.
inline constexpr int kClearGrey = 90;
inline constexpr int kCloudGrey = 180;
// Channels further apart than this make a pixel coloured rather than grey.
inline constexpr int kGreyTolerance = 24;
// A map whose data covers less of its area is no picture of the earth's clouds.
inline constexpr double kMinCoverage = 0.3;
// A map saturated over more of its data is no infrared grey scale.
inline constexpr double kMaxFullCloud = 0.5;

// The cloud level (0 clear ... 255 full cloud) of one pixel of an infrared map.
// A pixel less than half opaque has no data: clear. A grey pixel follows the ramp;
// a coloured one is taken for the colours infrared palettes give the coldest tops:
// full cloud.
uint8_t infraredCloudLevel(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

struct InfraredCloudMap {
    QImage clouds;        // Format_Grayscale8, the size of the input; null when error is set
    double coverage = 0;  // the share of pixels with data
    double fullCloud = 0; // the share of the data pixels at full cloud
    std::string error;    // why the picture is no usable infrared map
};

// The cloud map of a decoded infrared picture, its alpha honoured. Refused (with
// the reason) when data covers less than kMinCoverage of it or more than
// kMaxFullCloud of its data is full cloud, so that a blank or false-colour reply
// never becomes a frame of a cloudless or overcast earth.
InfraredCloudMap cloudMapFromInfrared(const QImage& infrared);

} // namespace chronvale::imaged
