#include "app/mainwindow/autostart_item.h"

#include "app/startup/world.h"
#include "desktop/autostart.h"
#include "i18n/string_table.h"

#include <QAction>
#include <QCoreApplication>

namespace chronvale {

void prepareAutostartItem(QAction& item) {
    item.setCheckable(true);
    item.setChecked(autostartEnabled());
}

void toggleAutostart(QAction* item, World& world) {
    const QString path = autostartFilePath();
    if (!setAutostart(!autostartEnabled(path), QCoreApplication::applicationFilePath(), path)) {
        showError(world.messages, world.language.getText(str::UnableToWriteFile), {path});
    }
    if (item != nullptr) {
        item->setChecked(autostartEnabled(path));
    }
}

} // namespace chronvale
