#include "desktop/wallpaper/kde_backend.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QUrl>

namespace chronvale {

namespace {

constexpr int kScriptTimeoutMs = 10000;

QJsonArray lines(const std::string& text) {
    QJsonArray array;
    for (const QString& line : QString::fromStdString(text).split(QLatin1Char('\n'))) {
        array.append(line);
    }
    return array;
}

} // namespace

QString plasmaReadScript() {
    return QStringLiteral(
        "var ds = desktops();\n"
        "var out = [];\n"
        "for (var i = 0; i < ds.length; i++) {\n"
        "  var d = ds[i];\n"
        "  var plugin = d.wallpaperPlugin;\n"
        "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
        "  out.push([plugin, d.readConfig('Image'), d.readConfig('FillMode')].join('\\t'));\n"
        "}\n"
        "print(out.join('\\n'));\n");
}

QString plasmaShowScript(const QString& imageUri) {
    const QString uri =
        QString::fromUtf8(QJsonDocument(QJsonArray{imageUri}).toJson(QJsonDocument::Compact));
    return QStringLiteral("var image = %1[0];\n"
                          "var ds = desktops();\n"
                          "for (var i = 0; i < ds.length; i++) {\n"
                          "  var d = ds[i];\n"
                          "  d.wallpaperPlugin = 'org.kde.image';\n"
                          "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
                          "  d.writeConfig('Image', image);\n"
                          "  d.writeConfig('FillMode', 6);\n"
                          "}\n")
        .arg(uri);
}

QString plasmaRestoreScript(const DesktopWallpaperState& state) {
    const QJsonObject saved{{QStringLiteral("images"), lines(state.file)},
                            {QStringLiteral("fillModes"), lines(state.tile)},
                            {QStringLiteral("plugins"), lines(state.style)}};
    return QStringLiteral("var saved = %1;\n"
                          "var ds = desktops();\n"
                          "for (var i = 0; i < ds.length && i < saved.plugins.length; i++) {\n"
                          "  var d = ds[i];\n"
                          "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
                          "  d.writeConfig('Image', saved.images[i] || '');\n"
                          "  if (saved.fillModes[i]) d.writeConfig('FillMode', "
                          "parseInt(saved.fillModes[i]));\n"
                          "  if (saved.plugins[i]) d.wallpaperPlugin = saved.plugins[i];\n"
                          "}\n")
        .arg(QString::fromUtf8(QJsonDocument(saved).toJson(QJsonDocument::Compact)));
}

std::string KdeBackend::name() const {
    return "KDE Plasma (D-Bus org.kde.plasmashell)";
}

bool KdeBackend::available() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QString::fromLatin1(kPlasmaService)).value();
}

std::optional<QString> KdeBackend::evaluate(const QString& script) const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return std::nullopt;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kPlasmaService), QString::fromLatin1(kPlasmaPath),
        QString::fromLatin1(kPlasmaInterface), QStringLiteral("evaluateScript"));
    call << script;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kScriptTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    // An older shell answers with no value: nothing was printed to read back.
    const QList<QVariant> arguments = reply.arguments();
    return arguments.isEmpty() ? QString() : arguments.first().toString();
}

std::optional<DesktopWallpaperState> KdeBackend::readState() {
    const std::optional<QString> printed = evaluate(plasmaReadScript());
    if (!printed || printed->trimmed().isEmpty()) {
        return std::nullopt;
    }
    QStringList images;
    QStringList fillModes;
    QStringList plugins;
    for (const QString& line : printed->trimmed().split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        plugins << fields.value(0);
        images << fields.value(1);
        fillModes << fields.value(2);
    }
    return DesktopWallpaperState{images.join(QLatin1Char('\n')).toStdString(),
                                 fillModes.join(QLatin1Char('\n')).toStdString(),
                                 plugins.join(QLatin1Char('\n')).toStdString()};
}

bool KdeBackend::show(const std::string& path) {
    const QString uri =
        QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
    return evaluate(plasmaShowScript(uri)).has_value();
}

bool KdeBackend::restore(const DesktopWallpaperState& state) {
    return evaluate(plasmaRestoreScript(state)).has_value();
}

} // namespace chronvale
