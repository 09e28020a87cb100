#pragma once
// The twelve frames of the cloud animation: frame 0 is the newest image, higher
// indexes are older. The table is filled from the image server's list reply and
// saved in config.ini by the settings store.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct CloudFrame {
    std::optional<std::string> path; // the cached image file once it has been loaded
    std::optional<std::string> m;    // attribute "m" of the list reply; tested for presence only
    std::optional<std::string> t;    // the image's time stamp YYYYMMDDHH[MM[SS]], its cache name
    int32_t s = 0;                   // attribute "s", kept and saved only
    int32_t q = 0;                   // attribute "q", kept and saved only
    int32_t failures = 0;            // failed downloads; kNotFound after a 404
};

inline constexpr int kCloudFrameCount = 12;
// failures of a frame the server does not have; such a frame is not tried again.
inline constexpr int32_t kNotFound = 404;

using CloudFrameTable = std::array<CloudFrame, kCloudFrameCount>;

// True for a time stamp of 10 to 14 ASCII digits. The time stamp names a file in
// the cache folder and comes from the network, so nothing else is accepted.
bool isFrameTimeStamp(std::string_view t);

} // namespace chronvale
