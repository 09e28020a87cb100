#include "net/data_source.h"

#include "net/markup.h"

#include <charconv>

namespace chronvale {

namespace {

std::optional<long long> number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Markup text with the five entities the server writes turned back.
std::string unescaped(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            if (text.substr(i, entity.size()) == entity) {
                out += c;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += text[i++];
        }
    }
    return out;
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10)) +
           static_cast<char>('0' + value % 10);
}

} // namespace

std::optional<DataSource> readDataSource(std::string_view body) {
    for (const MarkupItem& item : readMarkup(body)) {
        const std::optional<std::string> name = tagName(item);
        if (!name || !equalsNoCase(*name, "source")) {
            continue;
        }
        DataSource source;
        source.credit = unescaped(tagAttribute(item, "credit").value_or(std::string()));
        source.problem = unescaped(tagAttribute(item, "problem").value_or(std::string()));
        const std::optional<long long> updated =
            number(tagAttribute(item, "updated").value_or(std::string()));
        source.updated = updated && *updated > 0 ? static_cast<std::time_t>(*updated) : 0;
        return source;
    }
    return std::nullopt;
}

std::optional<std::time_t> frameTime(std::string_view t) {
    if (t.size() < 10 || t.size() > 14 || t.size() % 2 != 0 || !number(t)) {
        return std::nullopt;
    }
    std::tm parts{};
    parts.tm_year = static_cast<int>(*number(t.substr(0, 4))) - 1900;
    parts.tm_mon = static_cast<int>(*number(t.substr(4, 2))) - 1;
    parts.tm_mday = static_cast<int>(*number(t.substr(6, 2)));
    parts.tm_hour = static_cast<int>(*number(t.substr(8, 2)));
    parts.tm_min = t.size() >= 12 ? static_cast<int>(*number(t.substr(10, 2))) : 0;
    parts.tm_sec = t.size() >= 14 ? static_cast<int>(*number(t.substr(12, 2))) : 0;
    if (parts.tm_mon < 0 || parts.tm_mon > 11 || parts.tm_mday < 1 || parts.tm_mday > 31 ||
        parts.tm_hour > 23 || parts.tm_min > 59 || parts.tm_sec > 60) {
        return std::nullopt;
    }
    return timegm(&parts);
}

std::optional<std::string> ageText(std::time_t when, std::time_t now, TextProvider& texts) {
    std::tm parts{};
    if (gmtime_r(&when, &parts) == nullptr) {
        return std::nullopt;
    }
    const std::string clock = twoDigits(parts.tm_hour) + ":" + twoDigits(parts.tm_min);
    const long long seconds = now > when ? static_cast<long long>(now - when) : 0;
    if (seconds < 3600) {
        return formatText(formatText(texts.text(kTextAgeMinutes), clock),
                          std::to_string(seconds / 60));
    }
    return formatText(formatText(texts.text(kTextAgeHours), clock), std::to_string(seconds / 3600));
}

std::optional<std::string> oldDataText(const NetText& oldText, std::time_t when,
                                       const std::string& problem, std::time_t now,
                                       TextProvider& texts) {
    if (when <= 0 || now - when <= kOldDataSeconds) {
        return std::nullopt;
    }
    std::string text = formatText(texts.text(oldText), std::to_string((now - when) / 3600));
    if (!problem.empty()) {
        text += " " + formatText(texts.text(kTextServerSays), problem);
    }
    return text;
}

std::optional<std::string> missingDataText(const NetText& missingText, const std::string& problem,
                                           TextProvider& texts) {
    if (problem.empty()) {
        return std::nullopt;
    }
    return std::string(texts.text(missingText)) + " " +
           formatText(texts.text(kTextServerSays), problem);
}

} // namespace chronvale
