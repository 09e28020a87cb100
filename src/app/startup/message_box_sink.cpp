#include "app/startup/message_box_sink.h"

#include <QMessageBox>

namespace chronvale {

void MessageBoxSink::messageBox(const QString& caption, const QString& text, Icon icon) {
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption,
                    text, QMessageBox::Ok, owner_.data());
    box.exec();
}

} // namespace chronvale
