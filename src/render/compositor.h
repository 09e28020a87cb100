#pragma once
// The compositor makes the lit map: the one image of the whole earth that the view
// crops into the window and the wallpaper export writes to the desktop, combined
// from the day, night, time-zone and cloud images according to the display
// switches, with the sun shadow of the present instant.
//
// It owns the source images and the lit map. The earth images come from the data
// folder ("images/earth_day.bmp" ...); one that cannot be loaded is reported by its
// relative name to the load error sink, and the composition goes on without it.
// After a composition the caller marks the view dirty and repaints.

#include "render/display_switches.h"
#include "render/earth_image.h"
#include "render/sun_shadow.h"

#include <ctime>
#include <string>
#include <utility>

namespace chronvale {

class LoadErrorSink;

// Relative names of the earth images in the data folder.
inline constexpr const char* kDayImageName = "images/earth_day.bmp";
inline constexpr const char* kNightImageName = "images/earth_night.bmp";
inline constexpr const char* kTimeZoneImageName = "images/earth_tz.bmp";

class Compositor {
public:
    // The sink must outlive the compositor.
    Compositor(std::string dataFolder, LoadErrorSink& errors);

    // Loads the day and time-zone images where absent (reporting each that fails),
    // then composes. Returns whether there is a lit map.
    bool loadEarthImages(DisplaySwitches& switches, std::time_t now,
                         ShadowProgress* progress = nullptr);
    // Only the loading part: the day image, and the time-zone image when asked (a
    // one-off render that shows no zones does without it).
    void loadSourceImages(bool withTimeZones = true);
    // Frees the day, night, time-zone and cloud images; the lit map stays. For a
    // minimised window (the caller frees the view image too).
    void releaseEarthImages();
    // Frees the lit map as well (a wallpaper renewal while minimised).
    void releaseLitMap() { litMap_.reset(); }

    // Rebuilds the lit map from the switches for the instant `now`. Loads the night
    // image when a switch needs it; turns Sun Shadow off (in `switches`) when the
    // night map is shown. Do not call while the window is minimised. Returns whether
    // there is a lit map.
    bool composeMap(DisplaySwitches& switches, std::time_t now, ShadowProgress* progress = nullptr);

    // One frame of the cloud animation: the frame blended over the night image (Night
    // Map on) or the day image; no shadow, no time-zone tint. The caller keeps the frame.
    bool composeCloudFrame(const EarthImage& frame, const DisplaySwitches& switches);

    // out = base with clouds laid over it, unless a blend is already under way
    // (then nothing happens and false is returned).
    bool blendClouds(EarthImage& out, const EarthImage& base, const EarthImage& cloud);
    // The controller skips animation ticks that arrive while this is set.
    bool blendBusy() const { return blendBusy_; }

    // Replaces (and frees) the current cloud image; none clears it.
    void setCloudImage(ImagePtr cloud) { cloud_ = std::move(cloud); }

    void setShadowMethod(ShadowMethod method) { shadowMethod_ = method; }

    const EarthImage* dayImage() const { return day_.get(); }
    const EarthImage* nightImage() const { return night_.get(); }
    const EarthImage* timeZoneImage() const { return timeZones_.get(); }
    const EarthImage* cloudImage() const { return cloud_.get(); }
    const EarthImage* litMap() const { return litMap_.get(); }

private:
    // Loads one earth image into `slot` if absent; reports a failure. Returns
    // whether the image is there afterwards.
    bool ensureLoaded(ImagePtr& slot, const char* relativeName);
    // Makes the lit map a copy of `source` (none when there is no source).
    void copyToLitMap(const EarthImage* source);
    // Makes sure the lit map exists with the size of `base`, for the blends that
    // write into it.
    void prepareLitMap(const EarthImage& base);
    // Blends the cloud image over `base` into the lit map; falls back to a copy of
    // `base` when there is no cloud image.
    void composeClouds(const EarthImage* base, const EarthImage* cloud);

    std::string dataFolder_;
    LoadErrorSink& errors_;
    ImagePtr day_;
    ImagePtr night_;
    ImagePtr timeZones_;
    ImagePtr cloud_;
    ImagePtr litMap_;
    bool blendBusy_ = false;
    ShadowMethod shadowMethod_ = ShadowMethod::Fast;
};

} // namespace chronvale
