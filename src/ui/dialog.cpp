#include "ui/dialog.h"

#include "ui/window_geometry.h"

#include <QHideEvent>

namespace chronvale {

Dialog::Dialog(int dialogNumber, QWidget* parent) : QDialog(parent), dialogNumber_(dialogNumber) {}

Dialog::~Dialog() {
    // Destroyed while shown (its owner went first): no hide event comes.
    if (isVisible()) {
        saveWindowGeometry(*this, dialogNumber_);
    }
}

void Dialog::setVisible(bool visible) {
    // Before the first show, so that QDialog neither centres nor sizes it anew
    // when a place is remembered.
    if (visible && !placed_) {
        placed_ = true;
        restoreWindowGeometry(*this, dialogNumber_);
    }
    QDialog::setVisible(visible);
}

void Dialog::hideEvent(QHideEvent* event) {
    saveWindowGeometry(*this, dialogNumber_);
    QDialog::hideEvent(event);
}

} // namespace chronvale
