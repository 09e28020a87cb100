#include "app/mainwindow/map_pane.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace chronvale {

MapPane::MapPane(MapPaneOwner& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    // The pane paints every pixel itself: no background fill before each paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void MapPane::paintEvent(QPaintEvent* event) {
    owner_.paintPane(event);
}

void MapPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    owner_.paneResized();
}

void MapPane::mouseMoveEvent(QMouseEvent* event) {
    owner_.paneMouseMoved(event->position().toPoint(), event->globalPosition().toPoint());
}

void MapPane::mousePressEvent(QMouseEvent* event) {
    owner_.paneMousePressed(event->button(), event->position().toPoint(),
                            event->globalPosition().toPoint());
}

void MapPane::mouseReleaseEvent(QMouseEvent* event) {
    owner_.paneMouseReleased(event->button(), event->position().toPoint(),
                             event->globalPosition().toPoint());
}

void MapPane::mouseDoubleClickEvent(QMouseEvent* event) {
    owner_.paneDoubleClicked(event->button(), event->position().toPoint());
}

void MapPane::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    owner_.paneLeft();
}

void MapPane::wheelEvent(QWheelEvent* event) {
    event->accept(); // the wheel does nothing on the map
}

} // namespace chronvale
