#include "ui/mnemonic_style.h"

#include <QApplication>
#include <QStyleOption>
#include <QWidget>

namespace chronvale {

MnemonicStyle::MnemonicStyle(const QString& baseKey) : QProxyStyle(baseKey) {}

int MnemonicStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    if (hint == SH_UnderlineShortcut) {
        const Qt::LayoutDirection direction = widget != nullptr ? widget->layoutDirection()
                                              : option != nullptr
                                                  ? option->direction
                                                  : QGuiApplication::layoutDirection();
        if (direction == Qt::RightToLeft) {
            return 0;
        }
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void installMnemonicStyle() {
    if (dynamic_cast<const MnemonicStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new MnemonicStyle(QApplication::style()->name()));
    }
}

} // namespace chronvale
