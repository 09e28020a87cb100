#include "geo/system_zones.h"

#include "core/file_io.h"

#include <cctype>
#include <cstdlib>

namespace chronvale {

namespace {

// tzdata.zi is about 100 KiB; its version line is the first.
constexpr std::size_t kMaxTzdataBytes = 4 * 1024 * 1024;

bool isZoneNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '+' || c == '-';
}

} // namespace

std::string systemZoneinfoFolder() {
    const char* tzdir = std::getenv("TZDIR");
    if (tzdir != nullptr && *tzdir != '\0') {
        return tzdir;
    }
    return "/usr/share/zoneinfo";
}

bool isSafeZoneName(std::string_view name) {
    if (name.empty() || name.size() > 255) {
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        const std::string_view part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        for (const char c : part) {
            if (!isZoneNameChar(c)) {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

std::optional<std::string> tzdataVersionOf(std::string_view text) {
    constexpr std::string_view prefix = "# version ";
    std::size_t start = 0;
    // The line is the first; a few lines of slack for a hand-edited file.
    for (int line = 0; line < 8 && start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view row = text.substr(start, end - start);
        if (!row.empty() && row.back() == '\r') {
            row.remove_suffix(1);
        }
        if (row.substr(0, prefix.size()) == prefix) {
            std::string version(row.substr(prefix.size()));
            if (!version.empty() && version.size() <= 32) {
                return version;
            }
            return std::nullopt;
        }
        start = end + 1;
    }
    return std::nullopt;
}

SystemZones::SystemZones(std::string folder) : folder_(std::move(folder)) {}

const TzifZone* SystemZones::zone(std::string_view name) {
    if (const auto it = zones_.find(name); it != zones_.end()) {
        return it->second.get();
    }
    std::unique_ptr<TzifZone> loaded;
    if (isSafeZoneName(name)) {
        const std::optional<std::string> bytes =
            readFileBytes(folder_ + "/" + std::string(name), maxTzifBytes);
        if (bytes) {
            if (std::optional<TzifZone> parsed = parseTzif(*bytes)) {
                loaded = std::make_unique<TzifZone>(std::move(*parsed));
            }
        }
    }
    const TzifZone* out = loaded.get();
    zones_.emplace(std::string(name), std::move(loaded));
    return out;
}

std::optional<std::string> SystemZones::version() const {
    const std::optional<std::string> text = readFileBytes(folder_ + "/tzdata.zi", kMaxTzdataBytes);
    return text ? tzdataVersionOf(*text) : std::nullopt;
}

bool SystemZones::available() {
    return zone("UTC") != nullptr || zone("Etc/UTC") != nullptr;
}

} // namespace chronvale
