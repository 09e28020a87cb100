#include "app/mainwindow/detailed_view.h"

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/qt/device_bitmap.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace chronvale {

// Passes a file that could not be used on to the window.
class DetailedView::Errors final : public LoadErrorSink {
public:
    explicit Errors(std::function<void(const std::string&)>& notify) : notify_(notify) {}
    void unableToLoad(std::string_view fileName) override {
        if (notify_) {
            notify_(std::string(fileName));
        }
    }

private:
    std::function<void(const std::string&)>& notify_;
};

DetailedView::DetailedView(std::string dataFolder, std::function<void(const std::string&)> notify)
    : notify_(std::move(notify)), errors_(std::make_unique<Errors>(notify_)),
      detailed_(std::move(dataFolder), *errors_) {}

DetailedView::~DetailedView() = default;

std::optional<LitAreaRequest> DetailedView::requestFor(const MapView& view,
                                                       double devicePixelRatio) {
    const double scale = view.scale;
    if (!(scale * devicePixelRatio > 1.0) || view.mapArea.width <= 0 || view.mapArea.height <= 0) {
        return std::nullopt;
    }
    // The pane pixels the crop fills: pixel i shows map pixel offX + i / scale.
    const int columns = std::min<int>(
        view.mapArea.width, static_cast<int>(std::ceil((kMapWidth - view.offX()) * scale)));
    const int rows = std::min<int>(view.mapArea.height,
                                   static_cast<int>(std::ceil((kMapHeight - view.offY()) * scale)));
    if (columns <= 0 || rows <= 0) {
        return std::nullopt;
    }
    LitAreaRequest request;
    request.area = MapArea{static_cast<double>(view.offX()), static_cast<double>(view.offY()),
                           columns / scale, rows / scale};
    request.width = static_cast<int>(std::lround(columns * devicePixelRatio));
    request.height = static_cast<int>(std::lround(rows * devicePixelRatio));
    return request;
}

const QImage& DetailedView::update(const MapView& view, double devicePixelRatio,
                                   const DisplaySwitches& switches, std::time_t instant,
                                   const Compositor& compositor, bool litMapChanged,
                                   const std::function<const EarthImage*()>& largeCloud) {
    std::optional<LitAreaRequest> request = requestFor(view, devicePixelRatio);
    if (!request) {
        // Back at the map's own pixels: nothing needs the high-resolution images.
        release();
        return image_;
    }
    request->now = instant;
    request->switches = switches;
    const EarthImage* cloud = compositor.cloudImage();
    // Denser than the 1024 x 512 frames: their 4096 copies are sharper.
    if (switches.clouds && cloud != nullptr && largeCloud && denserThanMap(*request)) {
        if (const EarthImage* large = largeCloud()) {
            cloud = large;
        }
    }
    const bool same = key_ && key_->area == request->area && key_->width == request->width &&
                      key_->height == request->height && key_->now == request->now &&
                      key_->switches == request->switches && cloudOf_ == cloud;
    if (same && !litMapChanged && !image_.isNull()) {
        return image_;
    }
    const EarthLayers standard{compositor.dayImage(), compositor.nightImage(),
                               compositor.timeZoneImage(), cloud};
    const bool withNight = (switches.sunShadow || switches.nightMap) && standard.night != nullptr;
    const EarthLayers layers = chooseLayers(standard, detailed_.load(withNight), *request);
    const ImagePtr composed = composeLitArea(layers, *request);
    image_ = toDeviceBitmap(composed.get());
    image_.setDevicePixelRatio(devicePixelRatio);
    key_ = request;
    cloudOf_ = cloud;
    return image_;
}

void DetailedView::release() {
    image_ = QImage();
    key_.reset();
    cloudOf_ = nullptr;
    detailed_.release();
}

} // namespace chronvale
