#pragma once
// Turns a downloaded world cloud map into a frame of the folder: any size of
// plate-carrée map (twice as wide as high) in JPEG, PNG, GIF or BMP becomes a
// 1024 x 512 JPEG, named by the 3-hour slot of its time; a map at least 4096
// wide also gives a 4096 x 2048 copy for large maps.

#include <QByteArray>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale::imaged {

inline constexpr int kFrameWidth = 1024;
inline constexpr int kFrameHeight = 512;
inline constexpr int kSlotHours = 3;
inline constexpr int kHiresWidth = 4096;
inline constexpr int kHiresHeight = 2048;

// What a source's picture shows: clouds as the frames hold them (white on black,
// taken as they are), or infrared brightness turned into clouds (infrared_map.h).
enum class CloudImageKind { Clouds, Infrared };

// The kind named "clouds" or "infrared" (as [Mirror] cloudsN_kind gives it); none
// for any other name.
std::optional<CloudImageKind> cloudImageKindNamed(std::string_view name);

struct CloudFrameImage {
    QByteArray jpeg;      // the frame, empty when error is set
    QByteArray hiresJpeg; // the 4096 x 2048 copy, when asked for and the map is that wide
    int sourceWidth = 0;
    int sourceHeight = 0;
    std::string error; // why the bytes are not a usable cloud map
};

// Decodes the bytes (the format is told by their first bytes), checks that the
// picture is a whole-earth map (width twice the height, within 2 %), resamples it
// and encodes the result as JPEG. With alsoHires, a map at least kHiresWidth wide
// is also resampled to kHiresWidth x kHiresHeight. An infrared map is turned into
// clouds first, its transparent parts clear.
CloudFrameImage cloudFrameFromImage(const QByteArray& bytes, int width = kFrameWidth,
                                    int height = kFrameHeight, bool alsoHires = false,
                                    CloudImageKind kind = CloudImageKind::Clouds);

// The time stamp YYYYMMDDHH of the UTC 3-hour slot that `when` falls in
// (00, 03, 06 ... 21).
std::string slotTimeStamp(std::time_t when);

} // namespace chronvale::imaged
