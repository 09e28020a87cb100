#include "config/config_file.h"

#include "core/file_io.h"
#include "core/product.h"
#include "core/text_scan.h"

#include <QFile>
#include <utility>

namespace chronvale {

namespace {

constexpr std::size_t maxLinePiece = 999;

bool hasPrefix(std::string_view line, char letter) {
    return line.size() >= 2 && asciiUpper(line[0]) == letter && line[1] == '=';
}

std::optional<std::string> field(std::string_view text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

void handleLine(std::string_view line, CityList& cities, CloudFrameTable& frames,
                std::size_t& framesRead) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
        line.remove_suffix(1);
    }
    if (line.find(',') == std::string_view::npos) {
        return;
    }
    if (hasPrefix(line, 'C')) {
        if (framesRead < frames.size()) {
            frames[framesRead++] = parseFrameLine(line.substr(2));
        }
    } else if (hasPrefix(line, 'M')) {
        if (CityRecord* city = findMarkedCity(cities, line.substr(2))) {
            city->marked = true;
        }
    } else if (hasPrefix(line, 'L')) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            return;
        }
        if (CityRecord* city = findMarkedCity(cities, line.substr(2, tab - 2))) {
            city->label = storableCityLabel(line.substr(tab + 1));
        }
    }
}

} // namespace

std::string formatMarkedCityLine(const CityRecord& city) {
    return "M=" + city.name + "," + std::to_string(truncateToInt(city.longitude)) + "\n";
}

std::string formatCityLabelLine(const CityRecord& city) {
    const std::string label = storableCityLabel(city.label);
    if (label.empty()) {
        return {};
    }
    return "L=" + city.name + "," + std::to_string(truncateToInt(city.longitude)) + "\t" + label +
           "\n";
}

std::string storableCityLabel(std::string_view text) {
    std::string label;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            label += c;
        }
    }
    const std::size_t first = label.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    label = label.substr(first, label.find_last_not_of(' ') - first + 1);
    if (label.size() > kMaxCityLabelBytes) {
        std::size_t cut = kMaxCityLabelBytes;
        while (cut > 0 && (static_cast<unsigned char>(label[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        label.resize(cut);
    }
    return label;
}

std::string formatFrameLine(const CloudFrame& frame) {
    return "C=" + frame.path.value_or("") + "," + frame.m.value_or("") + "," +
           frame.t.value_or("") + "," + std::to_string(frame.s) + "," + std::to_string(frame.q) +
           "\n";
}

std::string formatConfigFile(const CityList& cities, const CloudFrameTable& frames) {
    std::string text = "version=" + std::string(versionText) + "\n";
    text += "product=" + std::string(applicationName) + "\n";
    for (const CityRecord& city : cities) {
        if (city.marked) {
            text += formatMarkedCityLine(city);
            text += formatCityLabelLine(city);
        }
    }
    for (const CloudFrame& frame : frames) {
        if (frame.t) {
            text += formatFrameLine(frame);
        }
    }
    return text;
}

CityRecord* findMarkedCity(CityList& cities, std::string_view text) {
    const CityRecord* city = findMarkedCity(std::as_const(cities), text);
    return city == nullptr ? nullptr : &cities[static_cast<std::size_t>(city - cities.data())];
}

const CityRecord* findMarkedCity(const CityList& cities, std::string_view text) {
    const std::size_t comma = text.rfind(',');
    if (comma == std::string_view::npos || text.empty()) {
        return nullptr;
    }
    std::size_t pos = 0;
    const int longitude = truncateToInt(readDecimal(text.substr(comma + 1), pos));
    for (const CityRecord& city : cities) {
        const std::string& name = city.name;
        if (truncateToInt(city.longitude) == longitude && !name.empty() &&
            asciiUpper(name[0]) == asciiUpper(text[0]) && name.size() <= text.size() &&
            equalsIgnoringCase(name, text.substr(0, name.size()))) {
            return &city;
        }
    }
    return nullptr;
}

CloudFrame parseFrameLine(std::string_view text) {
    std::array<std::string_view, 5> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    while (count < fields.size()) {
        const std::size_t comma = text.find(',', start);
        fields[count++] =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    CloudFrame frame;
    frame.path = field(fields[0]);
    frame.m = field(fields[1]);
    if (isFrameTimeStamp(fields[2])) {
        frame.t = std::string(fields[2]);
    }
    std::size_t pos = 0;
    frame.s = readInteger(fields[3], pos);
    if (count > 4) {
        pos = 0;
        frame.q = readInteger(fields[4], pos);
    }
    return frame;
}

void readConfigFile(std::string_view text, CityList& cities, CloudFrameTable& frames) {
    std::size_t framesRead = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        // A piece ends after its LF or after 999 characters, whichever comes first.
        const std::size_t lf = text.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
        end = std::min(end, start + maxLinePiece);
        handleLine(text.substr(start, end - start), cities, frames, framesRead);
        start = end;
    }
}

bool replaceFileAtomically(const QString& path, std::string_view bytes,
                           const std::function<bool()>& beforeRename) {
    const std::string target = QFile::encodeName(path).toStdString();
    return writeFileAtomically(target, bytes, {target + ".tmp", beforeRename});
}

} // namespace chronvale
