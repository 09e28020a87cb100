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

// A saved field holds one value per desktop as a JSON array of texts. A field
// saved as lines, one per desktop, is read as well.
QJsonArray savedValues(const std::string& field) {
    const QString text = QString::fromStdString(field);
    if (text.startsWith(QLatin1Char('['))) {
        const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
        if (document.isArray()) {
            return document.array();
        }
    }
    QJsonArray array;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        array.append(line);
    }
    return array;
}

std::string savedField(const QStringList& values) {
    return QJsonDocument(QJsonArray::fromStringList(values))
        .toJson(QJsonDocument::Compact)
        .toStdString();
}

} // namespace

QString plasmaReadScript() {
    return QStringLiteral(
        "function text(v) { return v === undefined || v === null ? '' : String(v); }\n"
        "var ds = desktops();\n"
        "var out = [];\n"
        "for (var i = 0; i < ds.length; i++) {\n"
        "  var d = ds[i];\n"
        "  var plugin = d.wallpaperPlugin;\n"
        "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
        "  out.push([text(plugin), text(d.readConfig('Image')), text(d.readConfig('FillMode'))]);\n"
        "}\n"
        "print(JSON.stringify(out));\n");
}

QString plasmaShowScript(const QStringList& imageUris) {
    const QString uris = QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(imageUris)).toJson(QJsonDocument::Compact));
    return QStringLiteral("var images = %1;\n"
                          "var ds = desktops();\n"
                          "for (var i = 0; i < ds.length; i++) {\n"
                          "  var d = ds[i];\n"
                          "  var image = images[d.screen] !== undefined ? images[d.screen] : "
                          "images[0];\n"
                          "  d.wallpaperPlugin = 'org.kde.image';\n"
                          "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
                          "  d.writeConfig('Image', image);\n"
                          "  d.writeConfig('FillMode', 2);\n"
                          "}\n")
        .arg(uris);
}

QString plasmaRestoreScript(const DesktopWallpaperState& state) {
    const QJsonObject saved{{QStringLiteral("images"), savedValues(state.file)},
                            {QStringLiteral("fillModes"), savedValues(state.tile)},
                            {QStringLiteral("plugins"), savedValues(state.style)}};
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

std::string KdeBackend::key() const {
    return kPlasmaService;
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
    if (!printed) {
        return std::nullopt;
    }
    // One [plugin, image, fill mode] per desktop, as JSON: a name may hold any
    // character, a tab or a line break included.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(printed->trimmed().toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() ||
        document.array().isEmpty()) {
        return std::nullopt;
    }
    QStringList images;
    QStringList fillModes;
    QStringList plugins;
    for (const QJsonValue& desktop : document.array()) {
        const QJsonArray fields = desktop.toArray();
        if (fields.size() != 3) {
            return std::nullopt;
        }
        plugins << fields[0].toString();
        images << fields[1].toString();
        fillModes << fields[2].toString();
    }
    return DesktopWallpaperState{savedField(images), savedField(fillModes), savedField(plugins)};
}

bool KdeBackend::show(const WallpaperFiles& files) {
    QStringList uris;
    for (const MonitorFile& file : files) {
        uris << QUrl::fromLocalFile(QString::fromStdString(file.path)).toString(QUrl::FullyEncoded);
    }
    return !uris.isEmpty() && evaluate(plasmaShowScript(uris)).has_value();
}

bool KdeBackend::restore(const DesktopWallpaperState& state) {
    return evaluate(plasmaRestoreScript(state)).has_value();
}

} // namespace chronvale
