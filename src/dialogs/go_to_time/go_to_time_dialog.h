#pragma once
// Go to Time (dialog 131): a date and time in the user's local time, with the same
// instant in UTC read out below it as it is edited. The years are those the sun
// and the moon are computed for, 1950 to 2050.

#include "ui/dialog.h"

#include <QString>
#include <ctime>

class QDateTimeEdit;
class QLabel;

namespace chronvale {

class Language;

class GoToTimeDialog : public Dialog {
    Q_OBJECT
public:
    static constexpr int Number = 131;

    // Opens on `initial` (the instant the map shows).
    GoToTimeDialog(const Language& language, std::time_t initial, QWidget* parent = nullptr);

    // The instant in the editor.
    std::time_t instant() const;
    void setInstant(std::time_t instant);

    QDateTimeEdit* editor() const { return editor_; }
    // "UTC: 2027-03-20 12:00".
    QString utcText() const;

private:
    void updateUtc();

    const Language& language_;
    QDateTimeEdit* editor_ = nullptr;
    QLabel* utc_ = nullptr;
};

} // namespace chronvale
