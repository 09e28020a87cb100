#include "app/wallpaper/wallpaper_painter.h"

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/detailed_earth.h"
#include "render/qt/wallpaper_credit.h"
#include "render/qt/wallpaper_overlays.h"
#include "render/wallpaper_earth.h"

#include <algorithm>
#include <memory>

namespace chronvale {

namespace {

// The images of one renewal, decoded where first needed.
class PainterImages {
public:
    PainterImages(WallpaperOrder order, std::shared_ptr<std::vector<std::string>> failed)
        : order_(std::move(order)), failed_(std::move(failed)),
          detailed_(order_.dataFolder, errors_) {}
    ~PainterImages() { detailed_.release(); }

    bool paint(const MapRegion& region, EarthImage& picture, const PixelRect& rect) {
        const DisplaySwitches& s = order_.switches;
        const bool denser = rect.width > region.lonSpan * 1024.0 / 360.0;
        const EarthLayers standard{
            earth(day_, kDayImageName), earth(night_, kNightImageName),
            s.timeZones && !s.clouds ? earth(zones_, kTimeZoneImageName) : nullptr,
            s.clouds ? cloud(wantsLarger(rect) && !order_.largeCloudFile.empty()) : nullptr};
        const EarthLayers detailed = denser ? detailed_.load(true) : EarthLayers{};
        report();
        if (!composeWallpaperRegion(standard, detailed, region, order_.now, s, picture, rect)) {
            return false;
        }
        drawWallpaperOverlays(picture, rect, region, s.grid, order_.marks);
        if (s.clouds) {
            drawWallpaperCredit(picture, rect, order_.cloudCredit);
        }
        return true;
    }

private:
    static bool wantsLarger(const PixelRect& rect) {
        return rect.width > 1024 || rect.height > 512;
    }

    const EarthImage* earth(ImagePtr& slot, const char* name) {
        if (!slot) {
            slot = usable(loadImage(order_.dataFolder + "/" + name));
            if (!slot) {
                errors_.unableToLoad(name);
            }
        }
        return slot.get();
    }
    const EarthImage* cloud(bool large) {
        ImagePtr& slot = large ? largeCloud_ : cloud_;
        if (!slot) {
            slot = usable(loadImage(large ? order_.largeCloudFile : order_.cloudFile));
        }
        // A large copy that cannot be decoded: the frame itself.
        return slot ? slot.get() : large ? cloud(false) : nullptr;
    }
    static ImagePtr usable(ImagePtr image) {
        if (image && image->bitsPerPixel() != 24) {
            image = convertTo24Bit(image.get());
        }
        return image;
    }
    void report() {
        if (failed_) {
            for (const std::string& name : errors_.files) {
                if (std::find(failed_->begin(), failed_->end(), name) == failed_->end()) {
                    failed_->push_back(name);
                }
            }
        }
    }

    WallpaperOrder order_;
    std::shared_ptr<std::vector<std::string>> failed_;
    RecordingLoadErrorSink errors_;
    DetailedEarth detailed_;
    ImagePtr day_;
    ImagePtr night_;
    ImagePtr zones_;
    ImagePtr cloud_;
    ImagePtr largeCloud_;
};

} // namespace

EarthPainter wallpaperPainter(const WallpaperOrder& order,
                              std::shared_ptr<std::vector<std::string>> failed) {
    auto images = std::make_shared<PainterImages>(order, std::move(failed));
    return [images](const MapRegion& region, EarthImage& picture, const PixelRect& rect) {
        return images->paint(region, picture, rect);
    };
}

} // namespace chronvale
