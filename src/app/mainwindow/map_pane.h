#pragma once
// The map pane: the widget that fills the main window below the toolbar. It only
// passes its paint, size and mouse events on; the main window decides what they
// do and paints the map through the map painter.

#include <QWidget>

namespace chronvale {

// What the pane hands its events to (the main window).
class MapPaneOwner {
public:
    virtual ~MapPaneOwner() = default;
    virtual void paintPane(QPaintEvent* event) = 0;
    virtual void paneResized() = 0;
    virtual void paneMouseMoved(QPoint position, QPoint global) = 0;
    virtual void paneMousePressed(Qt::MouseButton button, QPoint position, QPoint global) = 0;
    virtual void paneMouseReleased(Qt::MouseButton button, QPoint position, QPoint global) = 0;
    virtual void paneDoubleClicked(Qt::MouseButton button, QPoint position) = 0;
    // The pointer left the pane (onto the toolbar, out of the window).
    virtual void paneLeft() = 0;
};

class MapPane : public QWidget {
public:
    MapPane(MapPaneOwner& owner, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    MapPaneOwner& owner_;
};

} // namespace chronvale
