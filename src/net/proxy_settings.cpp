#include "net/proxy_settings.h"

#include "core/product.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <array>
#include <cctype>

namespace chronvale {

namespace {

constexpr std::size_t maxProxyHost = 256;

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// One environment value as "host[:port]", or empty when it cannot be used.
std::string environmentEntry(std::string_view value) {
    value = trimmed(value);
    if (const std::size_t scheme = value.find("://"); scheme != std::string_view::npos) {
        if (lowerCase(value.substr(0, scheme)) != "http") {
            return {};
        }
        value.remove_prefix(scheme + 3);
    }
    value = value.substr(0, value.find('/'));
    if (const std::size_t at = value.rfind('@'); at != std::string_view::npos) {
        value.remove_prefix(at + 1);
    }
    if (value.empty() || value.front() == '[' || value.find_first_of(";= \t") != value.npos) {
        return {};
    }
    return std::string(value);
}

std::optional<std::string> environmentValue(const char* name) {
    if (!qEnvironmentVariableIsSet(name)) {
        return std::nullopt;
    }
    return qEnvironmentVariable(name).toStdString();
}

QSettings commonSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QString::fromLatin1(organisationName),
                     QString::fromLatin1(sharedSettingsApplication));
}

void readInt(const QSettings& store, const char* key, int& field) {
    if (!store.contains(key)) {
        return;
    }
    bool ok = false;
    const int value = store.value(key).toString().trimmed().toInt(&ok);
    if (ok) {
        field = value;
    }
}

void readText(const QSettings& store, const char* key, std::optional<std::string>& field) {
    if (store.contains(key)) {
        field = store.value(key).toString().toStdString();
    }
}

void writeText(QSettings& store, const char* key, const std::optional<std::string>& field) {
    if (field) {
        store.setValue(key, QString::fromStdString(*field));
    } else {
        store.remove(key);
    }
}

} // namespace

ProxyEnvironment readProxyEnvironment() {
    return {environmentValue("http_proxy"), environmentValue("HTTP_PROXY"),
            environmentValue("all_proxy")};
}

std::optional<std::string> proxyServerText(const ProxyEnvironment& environment) {
    const std::array<std::pair<const std::optional<std::string>*, std::string_view>, 3> sources{{
        {&environment.httpProxy, "http="},
        {&environment.httpProxyUpper, "http="},
        {&environment.allProxy, ""},
    }};
    std::string text;
    for (const auto& [value, prefix] : sources) {
        if (!*value) {
            continue;
        }
        const std::string entry = environmentEntry(**value);
        if (entry.empty()) {
            continue;
        }
        if (!text.empty()) {
            text += ';';
        }
        text += prefix;
        text += entry;
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

bool importProxyServerText(std::string_view protocol, std::string_view proxyServer,
                           ProxySettings& settings) {
    static constexpr std::array<std::string_view, 4> knownProtocols{"ftp", "gopher", "http",
                                                                    "https"};
    const std::string wanted = lowerCase(protocol);
    while (!proxyServer.empty()) {
        const std::size_t end = proxyServer.find(';');
        std::string_view entry = proxyServer.substr(0, end);
        proxyServer =
            end == std::string_view::npos ? std::string_view{} : proxyServer.substr(end + 1);

        std::optional<std::string> name;
        if (const std::size_t equals = entry.find('='); equals != std::string_view::npos) {
            name = lowerCase(trimmed(entry.substr(0, equals)));
            entry.remove_prefix(equals + 1);
        }
        std::string_view host = entry;
        std::optional<int> port;
        if (const std::size_t colon = entry.find(':'); colon != std::string_view::npos) {
            host = entry.substr(0, colon);
            int value = 0;
            std::size_t digits = 0;
            for (std::size_t i = colon + 1; i < entry.size() && value <= 65535; ++i) {
                const char c = entry[i];
                if (c < '0' || c > '9') {
                    break;
                }
                value = value * 10 + (c - '0');
                ++digits;
            }
            if (digits > 0 && value <= 65535) {
                port = value;
            }
        }
        host = trimmed(host);
        if (name && std::find(knownProtocols.begin(), knownProtocols.end(), *name) ==
                        knownProtocols.end()) {
            continue; // a protocol this importer does not know applies to nothing
        }
        if ((name && *name != wanted) || host.empty()) {
            continue;
        }
        settings.host = std::string(host.substr(0, maxProxyHost));
        if (port) {
            settings.port = *port;
        }
        return true;
    }
    return false;
}

bool importSystemProxy(std::string_view protocol, ProxySettings& settings) {
    return importSystemProxy(protocol, settings, readProxyEnvironment());
}

bool importSystemProxy(std::string_view protocol, ProxySettings& settings,
                       const ProxyEnvironment& environment) {
    const std::optional<std::string> text = proxyServerText(environment);
    return text && importProxyServerText(protocol, *text, settings);
}

bool loadProxySettings(ProxySettings& settings) {
    return loadProxySettings(settings, readProxyEnvironment());
}

bool loadProxySettings(ProxySettings& settings, const ProxyEnvironment& environment) {
    const QSettings store = commonSettings();
    if (!store.contains("proxy")) {
        // The program follows the system's proxy: host and port come from there, the
        // chosen type from the file.
        readInt(store, "type", settings.type);
        return importSystemProxy("http", settings, environment);
    }
    settings.host = store.value("proxy").toString().toStdString().substr(0, maxProxyHost);
    readInt(store, "port", settings.port);
    readText(store, "username", settings.userName);
    readText(store, "password", settings.password);
    readInt(store, "type", settings.type);
    return true;
}

void saveProxySettings(const ProxySettings& settings) {
    saveProxySettings(settings, readProxyEnvironment());
}

void saveProxySettings(const ProxySettings& settings, const ProxyEnvironment& environment) {
    QSettings store = commonSettings();
    const QString fileName = store.fileName();
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    // Create the file private before the password goes into it; rewrites keep the mode.
    if (!QFileInfo::exists(fileName)) {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly, ownerOnly)) {
            file.close();
        }
    }
    if (!store.isWritable()) {
        return;
    }
    ProxySettings system;
    const bool followsSystem = importSystemProxy("http", system, environment) &&
                               settings.host == system.host && settings.port == system.port &&
                               !settings.userName;
    if (followsSystem) {
        store.remove("proxy");
    } else {
        writeText(store, "proxy", settings.host);
    }
    store.setValue("port", QString::number(settings.port));
    store.setValue("type", QString::number(settings.type));
    writeText(store, "username", settings.userName);
    writeText(store, "password", settings.password);
    store.sync();
    QFile::setPermissions(fileName, ownerOnly);
}

} // namespace chronvale
