#include "dialogs/go_to_time/go_to_time_dialog.h"

#include "i18n/language.h"
#include "i18n/string_table.h"

#include <QDateTime>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeZone>
#include <QVBoxLayout>

namespace chronvale {
namespace {

const QString kFormat = QStringLiteral("yyyy-MM-dd HH:mm");

} // namespace

GoToTimeDialog::GoToTimeDialog(const Language& language, std::time_t initial, QWidget* parent)
    : Dialog(Number, parent), language_(language) {
    setWindowTitle(language.getText(str::GoToTimeTitle));
    editor_ = new QDateTimeEdit(this);
    editor_->setTimeSpec(Qt::LocalTime);
    editor_->setDisplayFormat(kFormat);
    editor_->setCalendarPopup(true);
    editor_->setMinimumDateTime(QDateTime(QDate(1950, 1, 1), QTime(0, 0), QTimeZone::utc()));
    editor_->setMaximumDateTime(QDateTime(QDate(2050, 12, 31), QTime(23, 59), QTimeZone::utc()));
    utc_ = new QLabel(this);

    auto* form = new QFormLayout;
    form->addRow(language.getText(str::GoToTimeLocal), editor_);
    form->addRow(language.getText(str::GoToTimeUtc), utc_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(language.getText(str::GoToTimeOk), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(language.getText(str::GoToTimeCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(editor_, &QDateTimeEdit::dateTimeChanged, this, [this] { updateUtc(); });
    setInstant(initial);
    updateUtc();
}

std::time_t GoToTimeDialog::instant() const {
    return static_cast<std::time_t>(editor_->dateTime().toSecsSinceEpoch());
}

void GoToTimeDialog::setInstant(std::time_t instant) {
    // Whole minutes: the editor shows no seconds.
    const qint64 minutes = static_cast<qint64>(instant) / 60;
    editor_->setDateTime(QDateTime::fromSecsSinceEpoch(minutes * 60).toLocalTime());
}

QString GoToTimeDialog::utcText() const {
    return utc_->text();
}

void GoToTimeDialog::updateUtc() {
    utc_->setText(editor_->dateTime().toUTC().toString(kFormat));
}

} // namespace chronvale
