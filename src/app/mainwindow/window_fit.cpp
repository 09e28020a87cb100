// The window's size and the map's scale: the map fitted to the pane after a
// resize, and the window sized so that the fitted map meets the status bar.

#include "app/mainwindow/main_window.h"
#include "app/mainwindow/map_controller.h"
#include "app/mainwindow/map_fit.h"

#include <QLayout>
#include <QScreen>
#include <limits>

namespace chronvale {

void MainWindow::fitAfterResize() {
    map_->view().fitToScreen();
    repaintMap();
}

void MainWindow::sizeWindowForMap() {
    if (isMaximized() || isFullScreen() || isMinimized() || centralWidget() == nullptr) {
        return;
    }
    if (QLayout* frame = layout()) {
        frame->activate(); // the pane's size, also before the first show
    }
    const QWidget* pane = centralWidget();
    const QScreen* screen = this->screen();
    const int frameExtra = frameGeometry().height() - height();
    const int maxHeight = screen != nullptr ? screen->availableGeometry().height() - frameExtra
                                            : std::numeric_limits<int>::max();
    const std::optional<WindowSize> fitted =
        windowSizeForMap(WindowSize{width(), height()}, WindowSize{pane->width(), pane->height()},
                         maxHeight, WindowSize{minimumWidth(), minimumHeight()});
    if (fitted && (fitted->width != width() || fitted->height != height())) {
        resize(fitted->width, fitted->height);
    }
}

} // namespace chronvale
