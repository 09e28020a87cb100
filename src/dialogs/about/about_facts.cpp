#include "dialogs/about/about_facts.h"

#include "core/file_io.h"

#include <charconv>
#include <sys/utsname.h>

namespace chronvale {

namespace {

constexpr std::size_t kMaxSystemFile = 64 * 1024;
constexpr std::size_t kMaxCreditText = 2000;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The lines of a text, without their line ends.
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        out.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return out;
}

// An os-release value: quoted ("..." or '...') with backslash escapes, or bare.
std::string osReleaseValue(std::string_view raw) {
    raw = trimmed(raw);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') &&
        raw.back() == raw.front()) {
        const char quote = raw.front();
        raw = raw.substr(1, raw.size() - 2);
        std::string value;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (quote == '"' && raw[i] == '\\' && i + 1 < raw.size()) {
                ++i;
            }
            value += raw[i];
        }
        return value;
    }
    return std::string(raw);
}

// Blanks and line breaks of a text as one blank each, the ends trimmed, cut at limit.
std::string joined(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : trimmed(text)) {
        if (isBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) {
            out += ' ';
        }
        blank = false;
        out += c;
        if (out.size() >= kMaxCreditText) {
            break;
        }
    }
    return out;
}

// The text after `label` up to its first full stop followed by a blank or the
// end, or a ";".
std::string licenceAfter(std::string_view item, std::size_t at) {
    std::size_t end = at;
    while (end < item.size()) {
        const char c = item[end];
        if (c == ';' || (c == '.' && (end + 1 == item.size() || isBlank(item[end + 1])))) {
            break;
        }
        ++end;
    }
    return joined(item.substr(at, end - at));
}

// One "- " item; `licence` carries the last licence named within the package.
void readItem(std::string_view item, CreditSection& section, std::string& licence) {
    static constexpr std::string_view creditLabel = "Credit:";
    static constexpr std::string_view licenceLabel = "Licence:";
    if (item.substr(0, 8) == "Package:") {
        licence.clear(); // a new package
    }
    std::size_t pos = 0;
    while (pos < item.size()) {
        const std::size_t credit = item.find(creditLabel, pos);
        const std::size_t lic = item.find(licenceLabel, pos);
        if (lic != std::string_view::npos && (credit == std::string_view::npos || lic < credit)) {
            licence = licenceAfter(item, lic + licenceLabel.size());
            pos = lic + licenceLabel.size();
            continue;
        }
        if (credit == std::string_view::npos) {
            break;
        }
        const std::size_t open = item.find('"', credit + creditLabel.size());
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = item.find('"', open + 1);
        const std::string_view text = item.substr(
            open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
        section.entries.push_back(CreditEntry{joined(text), licence});
        pos = close == std::string_view::npos ? item.size() : close + 1;
    }
}

std::optional<std::uint64_t> kibValue(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key || line.size() == key.size() || line[key.size()] != ':') {
        return std::nullopt;
    }
    std::string_view rest = trimmed(line.substr(key.size() + 1));
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc() || end == rest.data()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::string> distributionName(std::string_view osRelease) {
    std::optional<std::string> pretty, name, version;
    for (std::string_view line : lines(osRelease)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.substr(0, 1) == "#") {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string value = osReleaseValue(line.substr(eq + 1));
        if (value.empty()) {
            continue;
        }
        if (key == "PRETTY_NAME") {
            pretty = value;
        } else if (key == "NAME") {
            name = value;
        } else if (key == "VERSION") {
            version = value;
        }
    }
    if (pretty) {
        return pretty;
    }
    if (name) {
        return version ? *name + " " + *version : *name;
    }
    return std::nullopt;
}

MemoryFacts memoryFacts(std::string_view meminfo) {
    MemoryFacts facts;
    std::optional<std::uint64_t> available, free;
    for (std::string_view line : lines(meminfo)) {
        if (auto v = kibValue(line, "MemTotal")) {
            facts.totalKiB = v;
        } else if (auto a = kibValue(line, "MemAvailable")) {
            available = a;
        } else if (auto f = kibValue(line, "MemFree")) {
            free = f;
        }
    }
    facts.freeKiB = available ? available : free;
    return facts;
}

std::vector<CreditSection> readCredits(std::string_view text) {
    std::vector<CreditSection> sections;
    std::optional<CreditSection> section;
    std::string item;
    std::string licence;
    const auto endItem = [&] {
        if (section && !item.empty()) {
            readItem(item, *section, licence);
        }
        item.clear();
    };
    const auto endSection = [&] {
        endItem();
        if (section && !section->entries.empty()) {
            sections.push_back(std::move(*section));
        }
        section.reset();
    };
    for (std::string_view line : lines(text)) {
        if (line.substr(0, 3) == "## ") {
            endSection();
            section = CreditSection{joined(line.substr(3)), {}};
            licence.clear();
            continue;
        }
        if (line.substr(0, 2) == "# ") {
            endSection();
            continue;
        }
        if (line.substr(0, 2) == "- ") {
            endItem();
            item = std::string(line.substr(2));
            continue;
        }
        if (!item.empty()) {
            item += '\n';
            item += line;
        }
    }
    endSection();
    return sections;
}

SystemFacts systemFacts() {
    SystemFacts facts;
    struct utsname names {};
    if (::uname(&names) == 0) {
        facts.kernel = std::string(names.sysname) + " " + names.release;
    }
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        if (const auto text = readFileBytes(path, kMaxSystemFile)) {
            facts.distribution = distributionName(*text);
            break;
        }
    }
    if (const auto text = readFileBytes("/proc/meminfo", kMaxSystemFile)) {
        facts.memory = memoryFacts(*text);
    }
    return facts;
}

} // namespace chronvale
