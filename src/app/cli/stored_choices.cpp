#include "app/cli/stored_choices.h"

#include "core/product.h"
#include "core/text_scan.h"

#include <QSettings>
#include <string>

namespace chronvale {

bool storedSystemZones() {
    const QSettings program(QSettings::IniFormat, QSettings::UserScope,
                            QString::fromLatin1(organisationName),
                            QString::fromLatin1(settingsApplication));
    // The key and reading of the settings store: the leading decimal integer
    // (0 without digits), anything but 0 on; an absent value, or one too long to
    // be a number, leaves the default.
    const QString key = QStringLiteral("systemzones");
    const std::string text = program.value(key).toString().toStdString();
    if (!program.contains(key) || text.size() > 29) {
        return true;
    }
    std::size_t pos = 0;
    return readInteger(text, pos) != 0;
}

} // namespace chronvale
