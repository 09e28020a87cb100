#include "app/startup/message_box_sink.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace chronvale {

void MessageBoxSink::messageBox(const QString& caption, const QString& text, Icon icon) {
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
                    text, QMessageBox::Ok, owner_.data());
    box.exec();
}

void MessageBoxSink::messageBoxWithCopy(const QString& caption, const QString& text, Icon icon,
                                        const QString& copyText, const QString& copyLabel) {
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
                    text, QMessageBox::Ok, owner_.data());
    const QPushButton* copy = box.addButton(copyLabel, QMessageBox::ActionRole);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    if (box.clickedButton() == copy) {
        QGuiApplication::clipboard()->setText(copyText);
    }
}

} // namespace chronvale
