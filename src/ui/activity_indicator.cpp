#include "ui/activity_indicator.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace chronvale {

namespace {
constexpr int kBlockWidth = 6;
constexpr int kGap = 2;
constexpr int kMargin = 2;
} // namespace

ActivityIndicator::ActivityIndicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize ActivityIndicator::sizeHint() const {
    return QSize(2 * kMargin + kBlocks * kBlockWidth + (kBlocks - 1) * kGap,
                 fontMetrics().height());
}

QSize ActivityIndicator::minimumSizeHint() const {
    return sizeHint();
}

void ActivityIndicator::step() {
    lit_ = lit_ % kBlocks + 1;
    update();
}

void ActivityIndicator::clear() {
    if (lit_ != 0) {
        lit_ = 0;
        update();
    }
}

void ActivityIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.frameShape = QFrame::StyledPanel;
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = 1;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);

    const QRect inner = rect().adjusted(kMargin, kMargin + 1, -kMargin, -kMargin - 1);
    const QColor colour = palette().color(QPalette::Highlight);
    for (int block = 0; block < lit_; ++block) {
        painter.fillRect(QRect(inner.left() + block * (kBlockWidth + kGap), inner.top(),
                               kBlockWidth, inner.height()),
                         colour);
    }
}

} // namespace chronvale
