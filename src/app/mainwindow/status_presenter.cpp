#include "app/mainwindow/status_presenter.h"

#include "i18n/language.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"
#include "ui/status_bar.h"

#include <QApplication>

namespace chronvale {

StatusPresenter::StatusPresenter(StatusBar& bar, const Language& language)
    : bar_(bar), language_(language) {}

void StatusPresenter::show(Field field, const QString& text) {
    if (field == Message) {
        pointerCity_.reset();
    }
    bar_.showStatus(text, field);
}

void StatusPresenter::showPointerCity(const std::optional<QString>& text) {
    if (downloadShowing()) {
        return;
    }
    if (text) {
        bar_.showStatus(*text, Message);
        pointerCity_ = text;
    } else if (pointerCity_) {
        if (bar_.statusText(Message) == *pointerCity_) {
            bar_.showStatus(QString(), Message);
        }
        pointerCity_.reset();
    }
}

void StatusPresenter::showServiceStatus(ServiceStatus kind, const QString& text) {
    switch (kind) {
    case ServiceStatus::Transfer:
        show(Message, text);
        return;
    case ServiceStatus::NewestImageCheck:
        show(Latitude, text);
        return;
    }
}

bool StatusPresenter::downloadShowing() const {
    const ActivityIndicator* activity = bar_.activityIndicator();
    return activity != nullptr && activity->isActive();
}

void StatusPresenter::httpEvent(HttpEvent event, HttpRequest&, std::string_view text, int code) {
    switch (event) {
    case EventTick:
        bar_.stepActivity();
        break;
    case EventMessage:
    case EventNoMemory:
        if (!text.empty()) {
            // The client's messages are English; they start with one blank.
            const bool blank = text.front() == ' ';
            const QString message = language_.translate(blank ? text.substr(1) : text);
            show(Message, blank ? QStringLiteral(" ") + message : message);
        }
        break;
    case EventIdle:
        bar_.clearActivity();
        if (idle_) {
            idle_();
        }
        break;
    case EventWinsockError:
        show(Message, formatMessage(QStringLiteral("%s (%i)"),
                                    {language_.getText(str::WinsockError), code}));
        break;
    default:
        break; // the other events show nothing
    }
}

void StatusPresenter::shadowStarted() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!downloadShowing()) {
        show(Message, language_.getText(str::StatusCalculatingShadow));
        bar_.repaint(); // the pass blocks the event loop for a moment
    }
}

void StatusPresenter::shadowFinished() {
    QApplication::restoreOverrideCursor();
    if (!downloadShowing()) {
        show(Message, QString());
    }
}

} // namespace chronvale
