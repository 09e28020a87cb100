#include "render/detailed_earth.h"

#include "core/load_errors.h"

#include <utility>

namespace chronvale {

ImagePtr loadDetailedImage(const std::string& path) {
    ImagePtr image = loadImage(path);
    if (!image || image->width() != kDetailedWidth || image->height() != kDetailedHeight ||
        image->bitsPerPixel() != 24) {
        return nullptr;
    }
    return image;
}

DetailedEarth::DetailedEarth(std::string dataFolder, LoadErrorSink& errors)
    : dataFolder_(std::move(dataFolder)), errors_(errors) {}

const EarthImage* DetailedEarth::ensure(Slot& slot) {
    if (!slot.image && !slot.failed) {
        slot.image = loadDetailedImage(dataFolder_.empty() ? std::string(slot.name)
                                                           : dataFolder_ + "/" + slot.name);
        if (!slot.image) {
            // Said once: the standard image serves from now on.
            slot.failed = true;
            errors_.unableToLoad(slot.name);
        }
    }
    return slot.image.get();
}

EarthLayers DetailedEarth::load(bool withNight) {
    EarthLayers layers;
    layers.day = ensure(day_);
    if (withNight) {
        layers.night = ensure(night_);
    }
    return layers;
}

void DetailedEarth::release() {
    day_.image.reset();
    night_.image.reset();
}

} // namespace chronvale
