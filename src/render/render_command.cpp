#include "render/render_command.h"

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/detailed_earth.h"
#include "render/earth_image.h"
#include "render/lit_area.h"
#include "render/png_writer.h"
#include "render/sky_drawing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace chronvale {
namespace {

// The output is written as BMP or PNG, by the file name's extension.
std::optional<ImageKind> outputKindOf(const std::string& path) {
    const std::optional<ImageKind> kind = imageKindOfPath(path);
    if (kind == ImageKind::Bmp || kind == ImageKind::Png) {
        return kind;
    }
    return std::nullopt;
}

// Reads exactly `digits` decimal digits at text[pos].
std::optional<int> readNumber(std::string_view text, size_t pos, size_t digits) {
    if (pos + digits > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (size_t i = pos; i < pos + digits; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// A whole number of digits only, from 1 to limit.
std::optional<int> parseBounded(std::string_view text, int limit) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front()))) {
        return std::nullopt;
    }
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 1 || value > limit) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseWidth(const std::string& text) {
    return parseBounded(text, kMaxRenderWidth);
}

// Whether the requested map cannot do without an earth image that failed to load.
// Only the images the map uses are loaded; the day image is loaded in any case and
// is not needed for the night map.
bool imageNeeded(const std::string& name, const RenderOptions& options, bool nightMissing) {
    if (name == kDayImageName) {
        return !options.nightMap || nightMissing;
    }
    return true;
}

} // namespace

std::optional<std::pair<int, int>> parseRenderSize(const std::string& text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) {
        return std::nullopt;
    }
    const std::string_view all = text;
    const std::optional<int> width = parseBounded(all.substr(0, x), kMaxRenderWidth);
    const std::optional<int> height = parseBounded(all.substr(x + 1), kMaxRenderHeight);
    if (!width || !height) {
        return std::nullopt;
    }
    return std::pair{*width, *height};
}

std::optional<std::time_t> parseUtcTime(const std::string& text) {
    // YYYY-MM-DDTHH:MM[:SS][Z]
    const std::string_view t = text;
    if (t.size() < 16 || t[4] != '-' || t[7] != '-' || (t[10] != 'T' && t[10] != ' ') ||
        t[13] != ':') {
        return std::nullopt;
    }
    const auto year = readNumber(t, 0, 4);
    const auto month = readNumber(t, 5, 2);
    const auto day = readNumber(t, 8, 2);
    const auto hour = readNumber(t, 11, 2);
    const auto minute = readNumber(t, 14, 2);
    std::optional<int> second = 0;
    size_t pos = 16;
    if (pos < t.size() && t[pos] == ':') {
        second = readNumber(t, pos + 1, 2);
        pos += 3;
    }
    if (pos < t.size() && t[pos] == 'Z') {
        ++pos;
    }
    if (pos != t.size() || !year || !month || !day || !hour || !minute || !second) {
        return std::nullopt;
    }
    if (*year < 1 || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month) ||
        *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    std::tm fields{};
    fields.tm_year = *year - 1900;
    fields.tm_mon = *month - 1;
    fields.tm_mday = *day;
    fields.tm_hour = *hour;
    fields.tm_min = *minute;
    fields.tm_sec = *second;
    return timegm(&fields);
}

RenderParseResult parseRenderArguments(const std::vector<std::string>& args) {
    RenderOptions options;
    bool haveOutput = false;
    bool dayMap = false;
    bool haveWidth = false;
    bool haveSize = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const bool takesValue = name == "--render" || name == "--time" || name == "--clouds" ||
                                name == "--width" || name == "--size";
        if (!takesValue && inlineValue) {
            return {std::nullopt, "option '" + name + "' takes no value"};
        }
        std::string value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            }
            if (value.empty()) {
                return {std::nullopt, "option '" + name + "' needs a value"};
            }
        }

        if (name == "--render") {
            if (!outputKindOf(value)) {
                return {std::nullopt,
                        "cannot write '" + value + "': the file name must end in .bmp or .png"};
            }
            options.outputPath = value;
            haveOutput = true;
        } else if (name == "--time") {
            options.time = parseUtcTime(value);
            if (!options.time) {
                return {std::nullopt,
                        "invalid time '" + value + "': expected UTC as YYYY-MM-DDTHH:MM:SSZ"};
            }
        } else if (name == "--clouds") {
            options.cloudImage = value;
        } else if (name == "--width") {
            if (haveSize) {
                return {std::nullopt, "options '--width' and '--size' exclude each other"};
            }
            options.width = parseWidth(value);
            if (!options.width) {
                return {std::nullopt, "invalid width '" + value +
                                          "': expected a whole number from 1 to " +
                                          std::to_string(kMaxRenderWidth)};
            }
            options.height = std::max(1, *options.width / 2);
            haveWidth = true;
        } else if (name == "--size") {
            if (haveWidth) {
                return {std::nullopt, "options '--width' and '--size' exclude each other"};
            }
            const std::optional<std::pair<int, int>> size = parseRenderSize(value);
            if (!size) {
                return {std::nullopt, "invalid --size '" + value + "': expected WxH, W from 1 to " +
                                          std::to_string(kMaxRenderWidth) + " and H from 1 to " +
                                          std::to_string(kMaxRenderHeight)};
            }
            options.width = size->first;
            options.height = size->second;
            haveSize = true;
        } else if (name == "--day") {
            dayMap = true;
        } else if (name == "--night") {
            options.nightMap = true;
        } else if (name == "--shadow") {
            options.sunShadow = true;
        } else if (name == "--zones") {
            options.timeZones = true;
        } else if (name == "--sun-moon") {
            options.sunMoon = true;
        } else if (name == "--twilight") {
            options.twilight = true;
        } else {
            return {std::nullopt, "unknown option '" + args[i] + "'"};
        }
    }
    if (!haveOutput) {
        return {std::nullopt, "option '--render' needs a file"};
    }
    if (dayMap && options.nightMap) {
        return {std::nullopt, "options '--day' and '--night' exclude each other"};
    }
    return {options, {}};
}

std::string renderOptionsHelp() {
    return "  --render FILE  write the lit map to FILE (.bmp or .png) and exit; no window\n"
           "    --time T       the instant as 2026-03-20T12:00:00Z (default: now); always\n"
           "                   UTC, also without the Z or the seconds\n"
           "    --day          the day map (default)\n"
           "    --night        the night map (draws no sun shadow)\n"
           "    --shadow       the sun shadow of the instant\n"
           "    --zones        the day map tinted with the time-zone colours\n"
           "    --clouds IMAGE a cloud image laid over the map\n"
           "    --sun-moon     the sun and the moon (with its phase) where they are overhead\n"
           "    --twilight     the civil, nautical and astronomical twilight lines\n"
           "    --size WxH     compose at W x H pixels (up to 16384x8192), from the\n"
           "                   high-resolution images where the map gets denser\n"
           "    --width W      the same as --size Wx(W/2)\n";
}

int runRenderCommand(const RenderOptions& options, const std::string& dataFolder, std::ostream& err,
                     std::time_t now) {
    const std::time_t instant = options.time.value_or(now);
    RecordingLoadErrorSink errors;
    Compositor compositor(dataFolder, errors);

    DisplaySwitches switches;
    switches.dayMap = !options.nightMap;
    switches.nightMap = options.nightMap;
    switches.timeZones = options.timeZones;
    switches.sunShadow = options.sunShadow;
    if (options.cloudImage) {
        ImagePtr cloud = loadImage(*options.cloudImage);
        if (!cloud) {
            err << unableToLoadText(*options.cloudImage) << "\n";
            return 1;
        }
        compositor.setCloudImage(std::move(cloud));
        switches.clouds = true;
    }
    bool sky = options.sunMoon || options.twilight;
    if ((options.sunShadow && !options.nightMap) || sky) {
        std::tm utc{};
        if (!gmtime_r(&instant, &utc) || utc.tm_year + 1900 < 1950 || utc.tm_year + 1900 > 2050) {
            // A bad time, like any other: exit 2.
            err << (sky ? "The sun and moon can be computed for the years 1950 to 2050 only\n"
                        : "The sun shadow can be computed for the years 1950 to 2050 only\n");
            return 2;
        }
    }

    // The zone image only where the zone rule can apply (the composition's rules
    // put clouds and the night map first).
    compositor.loadSourceImages(options.timeZones && !options.nightMap && !options.cloudImage);
    compositor.composeMap(switches, instant);

    const bool nightMissing = compositor.nightImage() == nullptr;
    bool failed = false;
    for (const std::string& name : errors.files) {
        if (imageNeeded(name, options, nightMissing)) {
            err << unableToLoadText(name) << " (data folder '" << dataFolder << "')\n";
            failed = true;
        }
    }
    const EarthImage* lit = compositor.litMap();
    if (failed || !lit) {
        return 1;
    }
    if (options.sunShadow && !switches.sunShadow) {
        err << "note: the sun shadow is not drawn over the night map\n";
    }

    // Larger than the lit map: every pixel is composed at that size, the shadow's edge
    // as exact as at 1024 x 512. Smaller: the lit map is averaged down.
    ImagePtr sized;
    LitAreaRequest request;
    request.width = options.width.value_or(lit->width());
    request.height = options.height.value_or(lit->height());
    request.now = instant;
    request.switches = switches;
    if (denserThanMap(request)) {
        const EarthLayers standard{compositor.dayImage(), compositor.nightImage(),
                                   compositor.timeZoneImage(), compositor.cloudImage()};
        RecordingLoadErrorSink detailedErrors;
        DetailedEarth detailed(dataFolder, detailedErrors);
        const EarthLayers layers =
            chooseLayers(standard, detailed.load(compositor.nightImage() != nullptr), request);
        for (const std::string& name : detailedErrors.files) {
            err << "note: " << unableToLoadText(name) << "; the 1024 x 512 image is used\n";
        }
        sized = composeLitArea(layers, request);
        if (!sized) {
            err << "Unable to compose the map at " << request.width << " x " << request.height
                << " pixels (too large for memory)\n";
            return 1;
        }
        detailed.release();
        compositor.releaseEarthImages();
        lit = sized.get();
    } else if (request.width != lit->width() || request.height != lit->height()) {
        sized = resampleImage(lit, request.width, request.height);
        if (!sized) {
            err << "Unable to resample the map to " << request.width << " x " << request.height
                << " pixels\n";
            return 1;
        }
        lit = sized.get();
    }

    ImagePtr withSky;
    if (sky && sized) {
        drawSkyMarks(*sized, skyMarksAt(instant, options.sunMoon, options.twilight));
        sky = false;
    }
    if (sky) {
        withSky = cloneImage(lit);
        if (!withSky) {
            err << "Unable to copy the map to draw the sun and moon\n";
            return 1;
        }
        drawSkyMarks(*withSky, skyMarksAt(instant, options.sunMoon, options.twilight));
        lit = withSky.get();
    }

    const bool written = outputKindOf(options.outputPath) == ImageKind::Png
                             ? savePngFile(lit, options.outputPath)
                             : saveBmpFile(lit, options.outputPath);
    if (!written) {
        err << "Unable to write file '" << options.outputPath << "'\n";
        return 1;
    }
    return 0;
}

} // namespace chronvale
