#include "net/machine_id.h"

#include <QUuid>

namespace chronvale {

std::string machineIdentifier(QSettings& settings) {
    const QString key = QStringLiteral("mid");
    QString id = settings.value(key).toString();
    if (id.isEmpty()) {
        id = QUuid::createUuid().toString(QUuid::Id128);
        settings.setValue(key, id);
        settings.sync();
    }
    return id.toStdString();
}

} // namespace chronvale
