#include "ui/status_bar.h"

#include <QLabel>
#include <algorithm>

namespace chronvale {

StatusBar::StatusBar(const QList<int>& fieldWidths, int activityField, QWidget* parent)
    : QStatusBar(parent) {
    setSizeGripEnabled(true);
    for (int part = 0; part < fieldWidths.size(); ++part) {
        const int width = fieldWidths[part];
        const int stretch = width > 0 ? 0 : 1;
        QWidget* field = nullptr;
        if (part == activityField) {
            activity_ = new ActivityIndicator(this);
            fields_.push_back(nullptr);
            field = activity_;
        } else {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setContentsMargins(3, 0, 3, 0);
            // A long text is cut off rather than widening the window: the
            // stretching field ignores its text's width, the others are fixed.
            label->setSizePolicy(width > 0 ? QSizePolicy::Fixed : QSizePolicy::Ignored,
                                 QSizePolicy::Preferred);
            label->setMinimumWidth(width > 0 ? width : 1);
            fields_.push_back(label);
            field = label;
        }
        if (width > 0) {
            field->setFixedWidth(std::max(width, field->minimumSizeHint().width()));
        }
        // Permanent widgets stay visible under temporary messages.
        addPermanentWidget(field, stretch);
    }
}

QString StatusBar::statusText(int part) const {
    if (part < 0 || part >= fieldCount() || fields_[part] == nullptr) {
        return {};
    }
    return fields_[part]->text();
}

void StatusBar::showStatus(const QString& text, int part) {
    if (part < 0 || part >= fieldCount() || fields_[part] == nullptr) {
        return;
    }
    fields_[part]->setText(text);
}

void StatusBar::stepActivity() {
    if (activity_ != nullptr) {
        activity_->step();
    }
}

void StatusBar::clearActivity() {
    if (activity_ != nullptr) {
        activity_->clear();
    }
}

} // namespace chronvale
