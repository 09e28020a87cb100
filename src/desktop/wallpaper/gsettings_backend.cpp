#include "desktop/wallpaper/gsettings_backend.h"

#include "desktop/wallpaper/tool_process.h"

#include <QUrl>

namespace chronvale {

namespace {

const QString kGsettings = QStringLiteral("gsettings");
const QString kOptionsKey = QStringLiteral("picture-options");

} // namespace

GsettingsSchema gnomeBackgroundSchema() {
    return {QStringLiteral("GNOME"), QStringLiteral("org.gnome.desktop.background"),
            QStringLiteral("picture-uri"), QStringLiteral("picture-uri-dark"), true};
}

GsettingsSchema cinnamonBackgroundSchema() {
    return {QStringLiteral("Cinnamon"), QStringLiteral("org.cinnamon.desktop.background"),
            QStringLiteral("picture-uri"), QString(), true};
}

GsettingsSchema mateBackgroundSchema() {
    return {QStringLiteral("MATE"), QStringLiteral("org.mate.background"),
            QStringLiteral("picture-filename"), QString(), false};
}

std::optional<QString> gvariantText(const QString& literal) {
    const QString text = literal.trimmed();
    if (text.size() < 2 || text.front() != text.back() ||
        (text.front() != QLatin1Char('\'') && text.front() != QLatin1Char('"'))) {
        return std::nullopt;
    }
    QString plain;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 2 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

QString gvariantString(const QString& text) {
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += QLatin1Char('\'');
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\'')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted += QLatin1Char('\'');
    return quoted;
}

GsettingsBackend::GsettingsBackend(GsettingsSchema schema) : schema_(std::move(schema)) {}

std::string GsettingsBackend::name() const {
    return QStringLiteral("%1 (gsettings %2)").arg(schema_.desktop, schema_.schema).toStdString();
}

std::string GsettingsBackend::key() const {
    return schema_.schema.toStdString();
}

const QStringList& GsettingsBackend::keys() const {
    if (keys_.isEmpty()) {
        if (const std::optional<QString> listed =
                runTool(kGsettings, {QStringLiteral("list-keys"), schema_.schema})) {
            keys_ = listed->split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        }
    }
    return keys_;
}

QString GsettingsBackend::darkKey() const {
    // GNOME before 42 has no dark style; asking for its key would fail every read.
    if (schema_.darkKey.isEmpty() || !keys().contains(schema_.darkKey)) {
        return QString();
    }
    return schema_.darkKey;
}

bool GsettingsBackend::available() const {
    return toolExists(kGsettings) && keys().contains(schema_.fileKey);
}

std::optional<QString> GsettingsBackend::get(const QString& key) const {
    const std::optional<QString> value =
        runTool(kGsettings, {QStringLiteral("get"), schema_.schema, key});
    if (!value) {
        return std::nullopt;
    }
    return value->trimmed();
}

std::optional<QString> GsettingsBackend::getSaved(const QString& key) const {
    const std::optional<QString> value = get(key);
    if (!value) {
        return std::nullopt;
    }
    // The memory store holds nothing of the user's: it answers with the default.
    const std::optional<QString> fallback =
        runTool(kGsettings, {QStringLiteral("get"), schema_.schema, key},
                {QStringLiteral("GSETTINGS_BACKEND=memory")});
    return fallback && fallback->trimmed() == *value ? QString() : *value;
}

bool GsettingsBackend::set(const QString& key, const QString& value) const {
    return runTool(kGsettings, {QStringLiteral("set"), schema_.schema, key, value}).has_value();
}

bool GsettingsBackend::reset(const QString& key) const {
    return runTool(kGsettings, {QStringLiteral("reset"), schema_.schema, key}).has_value();
}

bool GsettingsBackend::put(const QString& key, const std::string& value) const {
    return value.empty() ? reset(key) : set(key, QString::fromStdString(value));
}

std::optional<DesktopWallpaperState> GsettingsBackend::readState() {
    const std::optional<QString> file = getSaved(schema_.fileKey);
    const std::optional<QString> options = getSaved(kOptionsKey);
    if (!file || !options) {
        return std::nullopt;
    }
    DesktopWallpaperState state;
    state.file = file->toStdString();
    state.tile = options->toStdString();
    if (const QString dark = darkKey(); !dark.isEmpty()) {
        const std::optional<QString> darkPicture = getSaved(dark);
        if (!darkPicture) {
            return std::nullopt;
        }
        state.style = darkPicture->toStdString();
    }
    return state;
}

bool GsettingsBackend::show(const WallpaperFiles& files) {
    if (files.empty()) {
        return false;
    }
    const QString local = QString::fromStdString(files.front().path);
    const QString picture = gvariantString(
        schema_.fileIsUri ? QUrl::fromLocalFile(local).toString(QUrl::FullyEncoded) : local);
    // The picture is as large as the monitors' bounding box, each monitor's
    // region in its place.
    bool ok = set(kOptionsKey, gvariantString(QStringLiteral("spanned")));
    ok = set(schema_.fileKey, picture) && ok;
    if (const QString dark = darkKey(); !dark.isEmpty()) {
        // A dark style would go on showing the old picture otherwise.
        ok = set(dark, picture) && ok;
    }
    return ok;
}

bool GsettingsBackend::restore(const DesktopWallpaperState& state) {
    bool ok = put(kOptionsKey, state.tile);
    ok = put(schema_.fileKey, state.file) && ok;
    if (const QString dark = darkKey(); !dark.isEmpty()) {
        ok = put(dark, state.style) && ok;
    }
    return ok;
}

std::optional<std::vector<std::string>> GsettingsBackend::shownPictures() {
    const std::optional<QString> value = get(schema_.fileKey);
    const std::optional<QString> text = value ? gvariantText(*value) : std::nullopt;
    if (!text) {
        return std::nullopt;
    }
    const QString path = schema_.fileIsUri ? QUrl(*text).toLocalFile() : *text;
    return std::vector<std::string>{path.toStdString()};
}

} // namespace chronvale
