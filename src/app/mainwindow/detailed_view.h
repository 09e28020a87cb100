#pragma once
// The map pane at device resolution: when the pane shows more device pixels than
// map pixels (zoomed in, or a screen scale above 1), the visible part of the map is
// composed for every device pixel from the high-resolution images, with the sun
// shadow of the shown instant, the clouds and the time-zone tint of the lit map.
//
// Composed on demand when the view, the device size or the lit map changed, and
// kept for the next paints. The high-resolution images are decoded only while such
// a view is shown and freed with release() (a minimised window) or when the view
// falls back to the map's own pixels. A high-resolution image that cannot be used
// is named once in the status bar; the 1024 x 512 image serves in its place.

#include "render/detailed_earth.h"
#include "render/lit_area.h"
#include "render/map_view.h"

#include <QImage>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace chronvale {

class Compositor;

class DetailedView {
public:
    // `notify` shows a file that could not be used (its relative name).
    DetailedView(std::string dataFolder, std::function<void(const std::string&)> notify);
    ~DetailedView();
    DetailedView(const DetailedView&) = delete;
    DetailedView& operator=(const DetailedView&) = delete;

    // The request for the pane's filled part at device resolution; none when the
    // pane shows no more device pixels than map pixels (the lit map's crop serves).
    static std::optional<LitAreaRequest> requestFor(const MapView& view, double devicePixelRatio);

    // The device-resolution image of the view (its devicePixelRatio set), composed
    // again when the request, the lit map or the cloud frame changed; null when not
    // needed, or no image could be composed. Where the clouds are shown (the output
    // is then denser than the 1024 x 512 frames), `largeCloud` is asked for the
    // shown frame's 4096 copy (none: the compositor's frame serves).
    const QImage& update(const MapView& view, double devicePixelRatio,
                         const DisplaySwitches& switches, std::time_t instant,
                         const Compositor& compositor, bool litMapChanged,
                         const std::function<const EarthImage*()>& largeCloud = {});

    // Frees the composed image and the high-resolution images.
    void release();

private:
    class Errors;
    std::function<void(const std::string&)> notify_;
    std::unique_ptr<Errors> errors_;
    DetailedEarth detailed_;
    std::optional<LitAreaRequest> key_;
    const EarthImage* cloudOf_ = nullptr;
    QImage image_;
};

} // namespace chronvale
