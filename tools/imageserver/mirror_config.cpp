#include "mirror_config.h"

#include <QUrl>
#include <charconv>
#include <map>
#include <string_view>

namespace chronvale::imaged {

namespace {

constexpr std::string_view kGroup = "Mirror/";

// The number of "Mirror/<kind>N", or none when the key is not one.
std::optional<int> sourceNumber(std::string_view key, std::string_view kind) {
    if (!key.starts_with(kGroup)) {
        return std::nullopt;
    }
    key.remove_prefix(kGroup.size());
    if (!key.starts_with(kind)) {
        return std::nullopt;
    }
    const std::string_view digits = key.substr(kind.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return number;
}

std::vector<MirrorSource> sources(const LinkConfig& config, std::string_view kind,
                                  const std::function<void(const QString&)>& log) {
    std::map<int, MirrorSource> numbered;
    for (const auto& [key, value] : config.values) {
        const std::optional<int> number = sourceNumber(key, kind);
        if (!number || value.empty()) {
            continue;
        }
        const QUrl url(QString::fromStdString(value), QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || url.host().isEmpty() ||
            (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
            log(QStringLiteral("[Mirror] %1 = %2 is not an http(s) URL; it is left out")
                    .arg(QString::fromStdString(key.substr(kGroup.size())),
                         QString::fromStdString(value)));
            continue;
        }
        const std::string credit = config.value(key + "_credit").value_or(std::string());
        CloudImageKind picture = CloudImageKind::Clouds;
        if (const std::optional<std::string> named = config.value(key + "_kind");
            kind == "clouds" && named && !named->empty()) {
            const std::optional<CloudImageKind> known = cloudImageKindNamed(*named);
            if (!known) {
                log(QStringLiteral("[Mirror] %1_kind = %2 is neither clouds nor infrared; %1 "
                                   "is left out")
                        .arg(QString::fromStdString(key.substr(kGroup.size())),
                             QString::fromStdString(*named)));
                continue;
            }
            picture = *known;
        }
        numbered[*number] = {value, credit, picture};
    }
    std::vector<MirrorSource> list;
    for (auto& entry : numbered) {
        list.push_back(std::move(entry.second));
    }
    return list;
}

} // namespace

MirrorSources mirrorSourcesFromConfig(const LinkConfig& config,
                                      const std::function<void(const QString&)>& log) {
    return {sources(config, "clouds", log), sources(config, "quakes", log)};
}

} // namespace chronvale::imaged
