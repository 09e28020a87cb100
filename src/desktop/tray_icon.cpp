#include "desktop/tray_icon.h"

#include "core/product.h"
#include "desktop/shell_window.h"
#include "i18n/language.h"
#include "i18n/string_table.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace chronvale {

TrayIcon::TrayIcon(ShellWindow& window, const QIcon& icon, const Language& language,
                   QObject* parent)
    : QObject(parent), window_(window), menu_(std::make_unique<QMenu>()) {
    for (const int id : {CommandRestore, CommandMinimize, 0, CommandExit}) {
        if (id == 0) {
            menu_->addSeparator();
            continue;
        }
        QAction* item = menu_->addAction(QString());
        item->setData(id);
        connect(item, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    retranslate(language);

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    icon_ = new QSystemTrayIcon(icon, this);
    icon_->setToolTip(
        QString::fromUtf8(applicationName.data(), static_cast<qsizetype>(applicationName.size())));
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { activate(reason); });
    icon_->show();
}

TrayIcon::~TrayIcon() {
    if (icon_ != nullptr) {
        icon_->hide();
    }
}

bool TrayIcon::shown() const {
    return icon_ != nullptr && icon_->isVisible();
}

QAction* TrayIcon::action(int id) const {
    for (QAction* item : menu_->actions()) {
        if (!item->isSeparator() && item->data().toInt() == id) {
            return item;
        }
    }
    return nullptr;
}

void TrayIcon::retranslate(const Language& language) {
    action(CommandRestore)->setText(language.getText(str::TrayRestore));
    action(CommandMinimize)->setText(language.getText(str::TrayMinimize));
    action(CommandExit)->setText(language.getText(str::TrayExit));
}

bool TrayIcon::runCommand(int id) {
    switch (id) {
    case CommandRestore:
        window_.restoreWindow();
        return true;
    case CommandMinimize:
        window_.minimiseWindow();
        return true;
    case CommandExit:
        window_.exitProgram();
        return true;
    default:
        return false;
    }
}

void TrayIcon::activate(QSystemTrayIcon::ActivationReason reason) {
    const std::optional<TrayAction> action = trayActivation(reason, window_.windowOnScreen());
    if (action == TrayAction::Restore) {
        window_.restoreWindow();
    } else if (action == TrayAction::Hide) {
        window_.hideWindow();
    }
}

std::optional<TrayAction> trayActivation(QSystemTrayIcon::ActivationReason reason,
                                         bool windowOnScreen) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::MiddleClick:
        return windowOnScreen ? TrayAction::Hide : TrayAction::Restore;
    case QSystemTrayIcon::DoubleClick:
        // An X11 tray sends a click before the double-click: the window ends
        // up on the screen either way, as a double-click always left it.
        return TrayAction::Restore;
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::Unknown:
        break;
    }
    return std::nullopt;
}

void hideToTray(QWidget& window, bool trayShown) {
    if (trayShown) {
        window.hide();
    } else {
        window.showMinimized();
    }
}

} // namespace chronvale
