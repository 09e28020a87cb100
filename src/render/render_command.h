#pragma once
// The headless render: `chronvale --render FILE [--time 2026-03-20T12:00:00Z]
// [--day | --night] [--shadow] [--zones] [--clouds IMAGE] [--sun-moon] [--twilight]
// [--width W | --size WxH]` composes the lit map for one instant from the data folder's earth
// images, draws the sky overlays asked for, and writes it as a BMP or PNG file. It
// needs no display and no Qt. At a size other than 1024 x 512 every output pixel is
// composed at that size, from the high-resolution images where the output is denser
// than the 1024 x 512 map.

#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace chronvale {

inline constexpr int kMaxRenderWidth = 16384;
inline constexpr int kMaxRenderHeight = 8192;

struct RenderOptions {
    std::string outputPath;                // .bmp or .png, by extension
    std::optional<std::time_t> time;       // none: the instant the command runs
    bool nightMap = false;                 // --night (else the day map)
    bool sunShadow = false;                // --shadow
    bool timeZones = false;                // --zones
    std::optional<std::string> cloudImage; // --clouds IMAGE
    std::optional<int> width;              // --width W (W x W/2) or --size WxH
    std::optional<int> height;             // set together with width
    bool sunMoon = false;                  // --sun-moon: the sun and moon symbols
    bool twilight = false;                 // --twilight: the three twilight lines
};

struct RenderParseResult {
    std::optional<RenderOptions> options; // none: the arguments were not understood
    std::string error;                    // why not, for the user
};

// Parses the render options: "--render FILE" and the options after the synopsis
// above, in any order ("--opt value" or "--opt=value"). Arguments that are not
// render options are an error.
RenderParseResult parseRenderArguments(const std::vector<std::string>& args);

// Parses "WxH" (digits, one x or X, digits), each side from 1 up to
// kMaxRenderWidth x kMaxRenderHeight; none otherwise.
std::optional<std::pair<int, int>> parseRenderSize(const std::string& text);

// Parses "YYYY-MM-DDTHH:MM[:SS][Z]" (also with a space for the T) as UTC.
std::optional<std::time_t> parseUtcTime(const std::string& text);

// The help text of the render options, for --help.
std::string renderOptionsHelp();

// Composes and writes the map; `now` is used when the options give no time.
// Returns 0 on success; 1 after writing a message to err when an image that the
// map needs cannot be loaded or the file cannot be written; 2, like a bad option,
// when the sun shadow is asked for a year outside 1950 to 2050.
int runRenderCommand(const RenderOptions& options, const std::string& dataFolder, std::ostream& err,
                     std::time_t now);

} // namespace chronvale
