#pragma once
// A status bar of fixed fields, addressed by number, one of which may be an
// activity indicator for network transfers. Temporary messages (menu status
// tips) do not cover the fields.

#include "ui/activity_indicator.h"

#include <QList>
#include <QStatusBar>
#include <QString>
#include <vector>

class QLabel;

namespace chronvale {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    // One field per entry of fieldWidths, left to right: a width in pixels, or
    // 0 (or less) for a field that takes a share of the room left over.
    // activityField is the number of the field that shows the activity
    // indicator, or -1 for none.
    StatusBar(const QList<int>& fieldWidths, int activityField, QWidget* parent = nullptr);

    int fieldCount() const { return static_cast<int>(fields_.size()); }

    // The text of a field; empty for the activity field or a number outside the bar.
    QString statusText(int part) const;

    // The activity field's indicator, or null when the bar has none.
    ActivityIndicator* activityIndicator() const { return activity_; }

public slots:
    // Sets the text of a field. The activity field and numbers outside the bar
    // are left alone.
    void showStatus(const QString& text, int part);

    // One network tick: the indicator lights its next block.
    void stepActivity();
    // The transfers are over: the indicator goes blank.
    void clearActivity();

private:
    std::vector<QLabel*> fields_; // by field number; null for the activity field
    ActivityIndicator* activity_ = nullptr;
};

} // namespace chronvale
