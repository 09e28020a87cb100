#include "render/compositor.h"

#include "core/load_errors.h"
#include "render/layer_blend.h"
#include "render/lit_area.h"

#include <cstring>
#include <utility>

namespace chronvale {

Compositor::Compositor(std::string dataFolder, LoadErrorSink& errors)
    : dataFolder_(std::move(dataFolder)), errors_(errors) {}

bool Compositor::ensureLoaded(ImagePtr& slot, const char* relativeName) {
    if (slot) {
        return true;
    }
    const std::string path =
        dataFolder_.empty() ? std::string(relativeName) : dataFolder_ + "/" + relativeName;
    slot = loadImage(path);
    if (!slot) {
        errors_.unableToLoad(relativeName);
    }
    return slot != nullptr;
}

void Compositor::loadSourceImages(bool withTimeZones) {
    ensureLoaded(day_, kDayImageName);
    if (withTimeZones) {
        ensureLoaded(timeZones_, kTimeZoneImageName);
    }
}

bool Compositor::loadEarthImages(DisplaySwitches& switches, std::time_t now,
                                 ShadowProgress* progress) {
    loadSourceImages(true);
    return composeMap(switches, now, progress);
}

void Compositor::releaseEarthImages() {
    day_.reset();
    night_.reset();
    timeZones_.reset();
    cloud_.reset();
}

void Compositor::copyToLitMap(const EarthImage* source) {
    if (!source) {
        litMap_.reset();
    } else if (litMap_ && litMap_->width() == source->width() &&
               litMap_->height() == source->height() &&
               litMap_->bitsPerPixel() == source->bitsPerPixel() &&
               litMap_->colourCount() == source->colourCount() &&
               litMap_->pixelBytes() == source->pixelBytes() && source->bitsPerPixel() == 24) {
        // Same layout: copy the pixels into the map that is there.
        std::memcpy(litMap_->pixels(), source->pixels(), source->pixelBytes());
    } else {
        litMap_ = cloneImage(source);
    }
}

void Compositor::prepareLitMap(const EarthImage& base) {
    if (!litMap_ || litMap_->width() != base.width() || litMap_->height() != base.height() ||
        litMap_->bitsPerPixel() != 24) {
        litMap_ = cloneImage(&base);
    }
}

void Compositor::composeClouds(const EarthImage* base, const EarthImage* cloud) {
    if (!base || !cloud) {
        copyToLitMap(base);
        return;
    }
    prepareLitMap(*base);
    if (litMap_) {
        blendClouds(*litMap_, *base, *cloud);
    }
}

bool Compositor::composeMap(DisplaySwitches& switches, std::time_t now, ShadowProgress* progress) {
    if (switches.nightMap) {
        ensureLoaded(night_, kNightImageName);
    }

    // Clouds with Sun Shadow: the clouds over both sides, composed with the shadow
    // pixel by pixel.
    if (switches.clouds && switches.cloudsWithShadow && switches.sunShadow && !switches.nightMap &&
        day_ && cloud_ && ensureLoaded(night_, kNightImageName)) {
        LitAreaRequest request;
        request.now = now;
        request.switches = switches;
        if (progress) {
            progress->shadowStarted();
        }
        ImagePtr lit =
            composeLitArea({day_.get(), night_.get(), timeZones_.get(), cloud_.get()}, request);
        if (progress) {
            progress->shadowFinished();
        }
        if (lit) {
            litMap_ = std::move(lit);
            return true;
        }
    }

    // The first rule that applies; a missing source falls back to a copy of an
    // image that is there.
    if (switches.clouds && switches.dayMap) {
        composeClouds(day_.get(), cloud_.get());
    } else if (switches.clouds && switches.nightMap) {
        switches.sunShadow = false;
        if (night_) {
            composeClouds(night_.get(), cloud_.get());
        } else {
            copyToLitMap(day_.get());
        }
    } else if (switches.nightMap) {
        switches.sunShadow = false;
        copyToLitMap(night_ ? night_.get() : day_.get());
    } else if (switches.clouds) {
        // Clouds alone would be white on black, the earth gone: they go over the
        // day image as with Day Map.
        composeClouds(day_.get(), cloud_.get());
    } else if (switches.timeZones && day_ && timeZones_) {
        prepareLitMap(*day_);
        if (litMap_) {
            tintTimeZones(*litMap_, *day_, *timeZones_);
        }
    } else {
        copyToLitMap(day_.get());
    }

    if (switches.sunShadow) {
        // Each shadowed composition tries the night image again until it loads.
        if (ensureLoaded(night_, kNightImageName) && litMap_) {
            applySunShadow(*litMap_, *night_, now, shadowMethod_, progress);
        }
    }
    return litMap_ != nullptr;
}

bool Compositor::composeCloudFrame(const EarthImage& frame, const DisplaySwitches& switches) {
    const EarthImage* base = switches.nightMap && night_ ? night_.get() : day_.get();
    copyToLitMap(day_ ? day_.get() : base);
    if (base && litMap_) {
        prepareLitMap(*base);
        blendClouds(*litMap_, *base, frame);
    }
    return litMap_ != nullptr;
}

bool Compositor::blendClouds(EarthImage& out, const EarthImage& base, const EarthImage& cloud) {
    if (blendBusy_) {
        return false;
    }
    blendBusy_ = true;
    blendCloudLayer(out, base, cloud);
    blendBusy_ = false;
    return true;
}

} // namespace chronvale
