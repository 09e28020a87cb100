#pragma once
// The values the installation provides: link templates, the partner cookie, the
// product code, the image server host and the client identifier.
//
// They live in chronvale.ini in the data folder (read-only, shipped with the
// program); an administrator may override any of them in
// /etc/xdg/QUILLMAR/Chronvale.conf. The program only reads them.

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct LinkConfig {
    // Every value by its key ("hotels", "weather", "books", "sat", "faq", "cookie",
    // "code", "server", "id", "path"), as UTF-8 text.
    std::map<std::string, std::string, std::less<>> values;

    // The value of a key; none when it is absent.
    std::optional<std::string> value(std::string_view key) const;

    // The image server as "host" or "host:port"; empty when not configured.
    std::string imageServer() const;
    // The client identifier ($ID of the server requests); may be empty.
    std::string clientId() const;
};

// /etc/xdg/QUILLMAR/Chronvale.conf.
QString defaultSystemConfigPath();

// The override files, most important first: QUILLMAR/Chronvale.conf in every
// folder of XDG_CONFIG_DIRS (/etc/xdg when it is unset or empty).
QStringList systemConfigPaths();

// Reads the data folder's chronvale.ini, then lets the system file override any
// key. A missing file contributes nothing. Values written without quotes that
// contain commas are kept whole. Keys of a group other than [General] are named
// "Group/key".
LinkConfig loadLinkConfig(const QString& dataIniPath, const QString& systemConfigPath);

// The same with every override file of systemConfigPaths(), the most important
// one read last.
LinkConfig loadLinkConfig(const QString& dataIniPath);

// The port of a "host:port" text; 80 when there is none or it is not a number
// from 1 to 65535.
int hostPort(std::string_view hostAndPort);

} // namespace chronvale
