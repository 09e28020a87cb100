#pragma once
// The high-resolution day and night images (4096 x 2048 JPEG, images/hires/ in the
// data folder), decoded only while something needs them: a zoomed or high-density
// view, a render at a large size, a wallpaper.
//
// An image that is missing, cannot be decoded or has another size is reported once
// to the load error sink by its relative name and not tried again; the composition
// then uses the 1024 x 512 image in its place.

#include "render/earth_image.h"
#include "render/lit_area.h"

#include <string>

namespace chronvale {

class LoadErrorSink;

inline constexpr const char* kDetailedDayImageName = "images/hires/earth_day.jpg";
inline constexpr const char* kDetailedNightImageName = "images/hires/earth_night.jpg";
inline constexpr int kDetailedWidth = 4096;
inline constexpr int kDetailedHeight = 2048;

// Decodes one high-resolution image; none when the file is missing, broken or not
// kDetailedWidth x kDetailedHeight.
ImagePtr loadDetailedImage(const std::string& path);

class DetailedEarth {
public:
    // The sink must outlive this object.
    DetailedEarth(std::string dataFolder, LoadErrorSink& errors);

    // The images a composition needs, decoding them where absent: the night image
    // only when `withNight`. A layer that cannot be used stays empty.
    EarthLayers load(bool withNight);
    // Frees the decoded images (a minimised window, a finished render).
    void release();
    // Whether any image is decoded now.
    bool loaded() const { return day_.image || night_.image; }

private:
    struct Slot {
        const char* name;
        ImagePtr image;
        bool failed = false;
    };
    const EarthImage* ensure(Slot& slot);

    std::string dataFolder_;
    LoadErrorSink& errors_;
    Slot day_{kDetailedDayImageName, nullptr};
    Slot night_{kDetailedNightImageName, nullptr};
};

} // namespace chronvale
