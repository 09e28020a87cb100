#include "net/link_config.h"

#include "core/product.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <charconv>

namespace chronvale {

namespace {

void readInto(LinkConfig& config, const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return;
    }
    QSettings file(path, QSettings::IniFormat);
    for (const QString& key : file.allKeys()) {
        const QVariant value = file.value(key);
        // QSettings splits an unquoted value at its commas; a URL keeps them.
        const QString text = value.typeId() == QMetaType::QStringList
                                 ? value.toStringList().join(QLatin1Char(','))
                                 : value.toString();
        config.values[key.toStdString()] = text.toStdString();
    }
}

} // namespace

std::optional<std::string> LinkConfig::value(std::string_view key) const {
    const auto it = values.find(key);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string LinkConfig::imageServer() const {
    return value("server").value_or(std::string());
}

std::string LinkConfig::clientId() const {
    return value("id").value_or(std::string());
}

QString defaultSystemConfigPath() {
    return QStringLiteral("/etc/xdg/%1/%2.conf")
        .arg(QString::fromLatin1(organisationName), QString::fromLatin1(settingsApplication));
}

LinkConfig loadLinkConfig(const QString& dataIniPath, const QString& systemConfigPath) {
    LinkConfig config;
    readInto(config, dataIniPath);
    readInto(config, systemConfigPath);
    return config;
}

int hostPort(std::string_view hostAndPort) {
    const size_t colon = hostAndPort.rfind(':');
    if (colon == std::string_view::npos) {
        return 80;
    }
    const std::string_view digits = hostAndPort.substr(colon + 1);
    int port = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (error != std::errc() || end != digits.data() + digits.size() || port < 1 || port > 65535) {
        return 80;
    }
    return port;
}

} // namespace chronvale
