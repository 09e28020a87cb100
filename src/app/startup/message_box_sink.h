#pragma once
// Message boxes on the screen: the MessageSink of the running program.

#include "i18n/messages.h"

#include <QPointer>
#include <QWidget>

namespace chronvale {

class MessageBoxSink final : public MessageSink {
public:
    // Boxes belong to the owner window; with none they stand alone (start-up
    // shows its load errors before the main window exists).
    explicit MessageBoxSink(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    // A modal box with an OK button; returns when the user has closed it.
    void messageBox(const QString& caption, const QString& text, Icon icon) override;
    void messageBoxWithCopy(const QString& caption, const QString& text, Icon icon,
                            const QString& copyText, const QString& copyLabel) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace chronvale
