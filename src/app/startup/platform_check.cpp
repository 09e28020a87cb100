#include "app/startup/platform_check.h"

#include <QDir>
#include <QLibraryInfo>
#include <QtGlobal>

namespace chronvale {

QStringList forcedPlatforms(const QString& environmentValue) {
    QStringList names;
    for (const QString& part : environmentValue.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        // "xcb:option=value": the options follow the name.
        const QString name = part.section(QLatin1Char(':'), 0, 0).trimmed();
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return names;
}

QStringList platformPluginFolders(const QString& executableFolder) {
    QStringList folders;
    const QString direct = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!direct.isEmpty()) {
        folders << direct;
    }
    for (const QString& entry :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        folders << entry + QStringLiteral("/platforms");
    }
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    folders << executableFolder + QStringLiteral("/platforms");
    return folders;
}

bool platformPluginPresent(const QString& name, const QStringList& folders) {
    const QString exact = QStringLiteral("libq") + name + QStringLiteral(".so");
    const QString variant = QStringLiteral("libq") + name + QLatin1Char('-');
    for (const QString& folder : folders) {
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Readable);
        for (const QString& file : files) {
            if (file == exact ||
                (file.startsWith(variant) && file.endsWith(QStringLiteral(".so")))) {
                return true;
            }
        }
    }
    return false;
}

std::optional<QString> missingPlatform(const QStringList& names, const QStringList& folders) {
    for (const QString& name : names) {
        if (platformPluginPresent(name, folders)) {
            return std::nullopt;
        }
    }
    if (names.isEmpty()) {
        return std::nullopt;
    }
    return names.first();
}

QString missingPlatformMessage(const QString& name) {
    QString text =
        QStringLiteral("chronvale: Qt's platform plugin \"%1\" is not installed").arg(name);
    if (name.startsWith(QStringLiteral("wayland"))) {
        text += QStringLiteral(" (package qt6-wayland)");
    }
    return text + QStringLiteral("; unset QT_QPA_PLATFORM or choose another platform");
}

} // namespace chronvale
