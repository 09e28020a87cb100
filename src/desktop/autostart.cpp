#include "desktop/autostart.h"

#include "core/file_io.h"
#include "core/product.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace chronvale {

namespace {

// An entry larger than this is not one we wrote; it counts as hidden.
constexpr std::size_t kMaxEntryBytes = 64 * 1024;

// One argument of an Exec line: in double quotes when it holds a reserved
// character, with `"`, `` ` ``, `$` and `\` escaped by a backslash; then, as in
// every string value of a desktop entry, each backslash doubled; `%` is `%%`.
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument) {
        quote = quote || reserved.contains(c);
    }
    QString text;
    for (const QChar c : argument) {
        if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) {
            text += u'\\';
        }
        text += c;
    }
    if (quote) {
        text = u'"' + text + u'"';
    }
    return text.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("%%"));
}

} // namespace

QString autostartFilePath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(
        QStringLiteral("autostart/%1.desktop")
            .arg(QString::fromUtf8(desktopId.data(), static_cast<qsizetype>(desktopId.size()))));
}

QByteArray autostartEntry(const QString& executable) {
    QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Chronvale\n"
                       "Comment=World clock, started with the desktop in the tray\n"
                       "Icon=%1\n"
                       "Exec=%2 --minimized\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(QString::fromUtf8(desktopId.data(), static_cast<qsizetype>(desktopId.size())),
                 execArgument(executable));
    return text.toUtf8();
}

bool autostartEnabled(const QString& path) {
    const std::optional<std::string> bytes = readFileBytes(path.toStdString(), kMaxEntryBytes);
    if (!bytes) {
        return false;
    }
    for (const QByteArray& line : QByteArray::fromStdString(*bytes).split('\n')) {
        if (line.trimmed() == "Hidden=true") {
            return false;
        }
    }
    return true;
}

bool setAutostart(bool enabled, const QString& executable, const QString& path) {
    if (!enabled) {
        return !QFileInfo::exists(path) || QFile::remove(path);
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    const QByteArray entry = autostartEntry(executable);
    return writeFileAtomically(
        path.toStdString(), std::string_view(entry.constData(), static_cast<size_t>(entry.size())));
}

} // namespace chronvale
