#include "replies.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <ctime>

namespace chronvale::imaged {

namespace {

constexpr const char* kXmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Fixed-point text that ignores the process locale.
std::string fixed(double value, int decimals) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string utcText(double millisecondsSince1970) {
    const std::time_t when = static_cast<std::time_t>(millisecondsSince1970 / 1000.0);
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace

std::string escapeMarkup(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string frameListMarkup(const std::vector<FrameFile>& frames, int n, const std::string& note) {
    std::string out = kXmlHeader;
    if (!note.empty()) {
        std::string safe = note;
        for (size_t at = safe.find("--"); at != std::string::npos; at = safe.find("--", at)) {
            safe.replace(at, 2, "- ");
        }
        out += "<!-- " + safe + " -->\n";
    }
    out += "<images>\n";
    for (size_t i = 0; i < frames.size() && static_cast<int>(i) < n; ++i) {
        out += "<image t=\"" + frames[i].t + "\" m=\"clouds\" s=\"" +
               std::to_string(frames[i].size) + "\" q=\"1\"" +
               (frames[i].hires ? " w=\"4096\"" : "") + " />\n";
    }
    out += "</images>\n";
    return out;
}

std::string newestMarkup(const std::vector<FrameFile>& frames) {
    std::string out = kXmlHeader;
    if (!frames.empty()) {
        out += "<image t=\"" + frames.front().t + "\" m=\"clouds\" s=\"" +
               std::to_string(frames.front().size) + "\" q=\"1\" />\n";
    }
    return out;
}

std::string sourceMarkup(const std::string& credit, const std::string& problem,
                         std::time_t updated) {
    std::string attributes;
    if (!credit.empty()) {
        attributes += " credit=\"" + escapeMarkup(credit) + "\"";
    }
    if (!problem.empty()) {
        attributes += " problem=\"" + escapeMarkup(problem) + "\"";
    }
    if (updated > 0) {
        attributes += " updated=\"" + std::to_string(static_cast<long long>(updated)) + "\"";
    }
    return attributes.empty() ? std::string() : "<source" + attributes + " />\n";
}

std::string errorMarkup(int n, const std::string& text) {
    return std::string(kXmlHeader) + "<ERROR n=\"" + std::to_string(n) + "\">" +
           escapeMarkup(text) + "</ERROR>\n";
}

std::optional<std::string> quakeMarkupFromGeoJson(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonValue features = document.object().value(QLatin1String("features"));
    if (!features.isArray()) {
        return std::nullopt;
    }
    std::string out = kXmlHeader;
    out += "<quakes>\n";
    for (const QJsonValue& feature : features.toArray()) {
        const QJsonObject properties = feature[QLatin1String("properties")].toObject();
        const QJsonArray coordinates =
            feature[QLatin1String("geometry")][QLatin1String("coordinates")].toArray();
        const QJsonValue magnitude = properties.value(QLatin1String("mag"));
        if (coordinates.size() < 2 || !coordinates[0].isDouble() || !coordinates[1].isDouble() ||
            !magnitude.isDouble()) {
            continue;
        }
        const double depth = coordinates.size() > 2 ? coordinates[2].toDouble() : 0.0;
        out += "<QUAKE lat=\"" + fixed(coordinates[1].toDouble(), 4) + "\" lon=\"" +
               fixed(coordinates[0].toDouble(), 4) + "\" m=\"" + fixed(magnitude.toDouble(), 1) +
               "\" depth=\"" + fixed(depth, 2) + "\" qt=\"" +
               utcText(properties.value(QLatin1String("time")).toDouble()) + "\"";
        // The place, when the feed names one (readers that do not know it pass it over).
        const QJsonValue place = properties.value(QLatin1String("place"));
        if (place.isString() && !place.toString().isEmpty()) {
            out += " place=\"" + escapeMarkup(place.toString().toStdString()) + "\"";
        }
        out += " />\n";
    }
    out += "</quakes>\n";
    return out;
}

std::optional<std::string> quakeReplyFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().startsWith('{')) {
        return quakeMarkupFromGeoJson(bytes);
    }
    return bytes.toStdString();
}

} // namespace chronvale::imaged
