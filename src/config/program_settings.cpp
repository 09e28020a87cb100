#include "config/program_settings.h"

#include "core/product.h"

namespace chronvale {

std::unique_ptr<QSettings> openProgramSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QString::fromLatin1(organisationName),
                                       QString::fromLatin1(settingsApplication));
}

QString dialogSettingsGroup(int dialogNumber) {
    return QStringLiteral("DLGS/%1").arg(dialogNumber);
}

QString listSettingsGroup(int dialogNumber, int controlNumber) {
    return QStringLiteral("DLGS/%1/%2").arg(dialogNumber).arg(controlNumber);
}

std::optional<int> readInteger(const QSettings& settings, const QString& key) {
    const QVariant value = settings.value(key);
    if (!value.isValid()) {
        return std::nullopt;
    }
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(number) : std::nullopt;
}

} // namespace chronvale
