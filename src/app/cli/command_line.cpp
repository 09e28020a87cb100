#include "app/cli/command_line.h"

#include "app/cli/wallpaper_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

namespace chronvale {

namespace {

// The options that only go with --render; they are handed to its parser.
bool isRenderOption(const std::string& arg) {
    static constexpr std::array<std::string_view, 9> kNames = {"--render", "--time",   "--day",
                                                               "--night",  "--shadow", "--zones",
                                                               "--clouds", "--width",  "--size"};
    const std::string_view name = std::string_view(arg).substr(0, arg.find('='));
    return std::find(kNames.begin(), kNames.end(), name) != kNames.end() || name == "--sun-moon" ||
           name == "--twilight";
}

// A decimal number from low to high and nothing else.
std::optional<int> wholeNumber(const std::string& text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

bool takesRenderValue(const std::string& arg) {
    return arg == "--render" || arg == "--time" || arg == "--clouds" || arg == "--width" ||
           arg == "--size";
}

// The value of args[i], given as "--name=value" or as "--name value" (then i moves on
// to the value); none when it is missing or empty.
std::optional<std::string> optionValue(const std::vector<std::string>& args, size_t& i) {
    const std::string& arg = args[i];
    std::optional<std::string> value;
    if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
        value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];
    }
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

// Reads the text of a --time option into `time`; an error text when it is no UTC time.
std::optional<std::string> readUtcTime(const std::optional<std::string>& text,
                                       std::optional<std::time_t>& time) {
    if (!text) {
        return std::nullopt;
    }
    time = parseUtcTime(*text);
    if (!time) {
        return "invalid time '" + *text + "': expected UTC as YYYY-MM-DDTHH:MM:SSZ";
    }
    return std::nullopt;
}

// "City, Local Time" as {"City", "Local Time"}: blanks around each name dropped,
// empty names passed over.
std::vector<std::string> splitFieldNames(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view name = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        while (!name.empty() && name.front() == ' ') {
            name.remove_prefix(1);
        }
        while (!name.empty() && name.back() == ' ') {
            name.remove_suffix(1);
        }
        if (!name.empty()) {
            names.emplace_back(name);
        }
    }
    return names;
}

} // namespace

CommandLineResult parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::optional<int> wallpaperWidth;
    std::optional<std::vector<WallpaperScreen>> wallpaperScreens;
    std::optional<WallpaperPlacement> wallpaperPlacement;
    std::vector<std::string> renderArgs;
    // With --city, --time is the city's instant rather than a render option.
    const bool cityCommand = std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return arg == "--city" || arg.rfind("--city=", 0) == 0;
    });
    std::optional<std::string> cityTimeText;
    // With --compare (and no --city), --time is the compared instant.
    const bool compareCommand =
        !cityCommand && std::any_of(args.begin(), args.end(), [](const std::string& arg) {
            return arg == "--compare" || arg.rfind("--compare=", 0) == 0;
        });
    std::optional<std::string> compareTimeText;
    std::optional<std::string> hoursText;
    bool overlap = false;
    // With --sky (and no --city or --compare), --time is the sky's instant.
    const bool skyCommand = !cityCommand && !compareCommand &&
                            std::find(args.begin(), args.end(), "--sky") != args.end();
    bool sky = false;
    std::optional<std::string> skyTimeText;
    // With --wallpaper, --width is the wallpaper's width.
    const bool wallpaperCommand = std::find(args.begin(), args.end(), "--wallpaper") != args.end();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--sky") {
            sky = true;
            continue;
        }
        if (arg == "--overlap") {
            overlap = true;
            continue;
        }
        if (arg == "--hours" || arg.rfind("--hours=", 0) == 0) {
            hoursText = optionValue(args, i);
            if (!hoursText) {
                return {std::nullopt, "option '--hours' needs a number of hours"};
            }
            continue;
        }
        if (compareCommand && (arg == "--compare" || arg.rfind("--compare=", 0) == 0)) {
            const std::optional<std::string> value = optionValue(args, i);
            const auto names = value ? splitCityNames(*value) : std::nullopt;
            if (!names) {
                return {std::nullopt, "option '--compare' needs city names separated by commas"};
            }
            line.compare = line.compare.value_or(CompareOptions{});
            line.compare->names = *names;
            continue;
        }
        if (compareCommand && (arg == "--time" || arg.rfind("--time=", 0) == 0)) {
            compareTimeText = optionValue(args, i);
            if (!compareTimeText) {
                return {std::nullopt, "option '--time' needs a time"};
            }
            continue;
        }
        if (skyCommand && (arg == "--time" || arg.rfind("--time=", 0) == 0)) {
            skyTimeText = optionValue(args, i);
            if (!skyTimeText) {
                return {std::nullopt, "option '--time' needs a time"};
            }
            continue;
        }
        if (wallpaperCommand && arg == "--wallpaper") {
            line.wallpaper = line.wallpaper.value_or(WallpaperOptions{});
            if (i + 1 < args.size() && (args[i + 1] == "off" || args[i + 1] == "on")) {
                line.wallpaper->off = args[++i] == "off";
            }
        } else if (wallpaperCommand && (arg == "--width" || arg.rfind("--width=", 0) == 0)) {
            const std::optional<std::string> text =
                arg != "--width" ? std::optional(arg.substr(8))
                                 : (i + 1 < args.size() ? std::optional(args[++i]) : std::nullopt);
            const std::optional<int> width =
                text ? wholeNumber(*text, kMinWallpaperWidth, kMaxWallpaperWidth) : std::nullopt;
            if (!width) {
                return {std::nullopt, "option '--width' needs a width from " +
                                          std::to_string(kMinWallpaperWidth) + " to " +
                                          std::to_string(kMaxWallpaperWidth) + " pixels"};
            }
            wallpaperWidth = width;
        } else if (wallpaperCommand && (arg == "--screens" || arg.rfind("--screens=", 0) == 0)) {
            const std::optional<std::string> text = optionValue(args, i);
            const ScreensParse parse = parseScreens(text.value_or(""));
            if (parse.screens.empty()) {
                return {std::nullopt, "option '--screens': " + parse.error +
                                          " (expected WIDTHxHEIGHT+X+Y[,...])"};
            }
            wallpaperScreens = parse.screens;
        } else if (wallpaperCommand &&
                   (arg == "--placement" || arg.rfind("--placement=", 0) == 0)) {
            const std::optional<std::string> text = optionValue(args, i);
            if (text == "fit" || text == "fill") {
                wallpaperPlacement =
                    *text == "fit" ? WallpaperPlacement::Fit : WallpaperPlacement::Fill;
            } else {
                return {std::nullopt, "option '--placement' needs 'fit' or 'fill'"};
            }
        } else if (cityCommand && (arg == "--city" || arg.rfind("--city=", 0) == 0 ||
                                   arg == "--time" || arg.rfind("--time=", 0) == 0)) {
            const bool city = arg.rfind("--city", 0) == 0;
            const std::optional<std::string> value = optionValue(args, i);
            if (!value) {
                return {std::nullopt, city ? "option '--city' needs a city name"
                                           : "option '--time' needs a time"};
            }
            (city ? line.city : cityTimeText) = *value;
        } else if (cityCommand && (arg == "--fields" || arg.rfind("--fields=", 0) == 0)) {
            const std::optional<std::string> value = optionValue(args, i);
            if (!value) {
                return {std::nullopt, "option '--fields' needs field names separated by commas"};
            }
            line.cityFields = splitFieldNames(*value);
            if (line.cityFields.empty()) {
                return {std::nullopt, "option '--fields' needs field names separated by commas"};
            }
        } else if (isRenderOption(arg)) {
            renderArgs.push_back(arg);
            if (takesRenderValue(arg) && i + 1 < args.size()) {
                renderArgs.push_back(args[++i]);
            }
        } else if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
        } else if (arg == "--version") {
            line.action = CommandLine::Action::Version;
        } else if (arg == "--info") {
            line.action = CommandLine::Action::Info;
        } else if (arg == "--data" || arg.rfind("--data=", 0) == 0) {
            std::string value;
            if (arg == "--data") {
                if (i + 1 >= args.size()) {
                    return {std::nullopt, "option '--data' needs a folder"};
                }
                value = args[++i];
            } else {
                value = arg.substr(7);
            }
            if (value.empty()) {
                return {std::nullopt, "option '--data' needs a folder"};
            }
            line.dataFolder = value;
        } else if (arg == "--minimized") {
            line.minimized = true;
        } else if (arg == "--select-city") {
            line.selectCity = true;
        } else if (arg == "--screenshot") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return {std::nullopt, "option '--screenshot' needs a file"};
            }
            line.screenshot = args[++i];
        } else if (arg == "--screenshot-delay" || arg == "--screenshot-command") {
            const bool delay = arg == "--screenshot-delay";
            const std::optional<int> value =
                i + 1 < args.size() ? wholeNumber(args[++i], delay ? 0 : 1, delay ? 3600 : 65535)
                                    : std::nullopt;
            if (!value) {
                return {std::nullopt, delay ? "option '--screenshot-delay' needs seconds from 0 "
                                              "to 3600"
                                            : "option '--screenshot-command' needs a command id"};
            }
            if (delay) {
                line.screenshotDelaySeconds = *value;
            } else {
                line.screenshotCommands.push_back(*value);
            }
        } else {
            return {std::nullopt, "unknown option '" + arg + "'"};
        }
    }
    if ((overlap || hoursText) && !line.compare) {
        return {std::nullopt, std::string("option '") + (overlap ? "--overlap" : "--hours") +
                                  "' needs '--compare'"};
    }
    if (hoursText && !overlap) {
        return {std::nullopt, "option '--hours' needs '--overlap'"};
    }
    if (line.compare && line.action != CommandLine::Action::Help &&
        line.action != CommandLine::Action::Version) {
        if (sky || line.wallpaper || !renderArgs.empty() ||
            line.action != CommandLine::Action::Window) {
            return {std::nullopt, "option '--compare' goes only with '--time', '--overlap', "
                                  "'--hours' and '--data'"};
        }
        if (const auto error = readUtcTime(compareTimeText, line.compare->time)) {
            return {std::nullopt, *error};
        }
        line.compare->overlap = overlap;
        if (hoursText) {
            const std::optional<int> minutes = overlapMinutesOf(*hoursText);
            if (!minutes) {
                return {std::nullopt, "option '--hours' needs hours from 1 minute to 24, such "
                                      "as 1 or 1.5"};
            }
            line.compare->overlapMinutes = *minutes;
        }
        line.action = CommandLine::Action::Compare;
    }
    if (sky && line.action != CommandLine::Action::Help &&
        line.action != CommandLine::Action::Version) {
        if (line.city || !renderArgs.empty() || line.action == CommandLine::Action::Info) {
            return {std::nullopt, "option '--sky' goes only with '--time' and '--data'"};
        }
        if (const auto error = readUtcTime(skyTimeText, line.skyTime)) {
            return {std::nullopt, *error};
        }
        line.action = CommandLine::Action::Sky;
    }
    if (line.wallpaper && line.action != CommandLine::Action::Help &&
        line.action != CommandLine::Action::Version) {
        if (line.city || !renderArgs.empty() || line.action != CommandLine::Action::Window) {
            return {std::nullopt,
                    "option '--wallpaper' goes with '--width', '--screens', '--placement' and "
                    "'--data' only"};
        }
        line.wallpaper->width = wallpaperWidth;
        line.wallpaper->screens = wallpaperScreens;
        line.wallpaper->placement = wallpaperPlacement;
        line.action = CommandLine::Action::Wallpaper;
    }
    if (line.city && !renderArgs.empty()) {
        return {std::nullopt, "option '--city' does not go with '--render'"};
    }
    if (line.city && line.action != CommandLine::Action::Help &&
        line.action != CommandLine::Action::Version) {
        if (line.action == CommandLine::Action::Info) {
            return {std::nullopt, "option '--city' does not go with '--info'"};
        }
        if (cityTimeText && cityTimeText->front() == '@') {
            line.cityTimesFile = cityTimeText->substr(1);
            if (line.cityTimesFile->empty()) {
                return {std::nullopt, "option '--time' needs a file name after '@'"};
            }
        } else if (const auto error = readUtcTime(cityTimeText, line.cityTime)) {
            return {std::nullopt, *error};
        }
        line.action = CommandLine::Action::City;
    }
    if (!renderArgs.empty() && line.action != CommandLine::Action::Help &&
        line.action != CommandLine::Action::Version) {
        // A render option without --render: name the option the user gave.
        const bool haveRender =
            std::any_of(renderArgs.begin(), renderArgs.end(), [](const std::string& arg) {
                return arg == "--render" || arg.rfind("--render=", 0) == 0;
            });
        if (!haveRender) {
            const std::string& first = renderArgs.front();
            const std::string name = first.substr(0, first.find('='));
            return {std::nullopt, name == "--time"
                                      ? "option '--time' needs '--render', '--city' or '--sky'"
                                      : "option '" + name + "' needs '--render'"};
        }
        if (line.action == CommandLine::Action::Info) {
            return {std::nullopt, "option '--info' does not go with '--render'"};
        }
        RenderParseResult render = parseRenderArguments(renderArgs);
        if (!render.options) {
            return {std::nullopt, render.error};
        }
        line.action = CommandLine::Action::Render;
        line.render = std::move(render.options);
    }
    if ((line.screenshot || line.screenshotDelaySeconds != 0 || !line.screenshotCommands.empty()) &&
        line.action != CommandLine::Action::Window && line.action != CommandLine::Action::Help &&
        line.action != CommandLine::Action::Version) {
        return {std::nullopt, "option '--screenshot' needs the window"};
    }
    if ((line.minimized || line.selectCity) && line.action != CommandLine::Action::Window &&
        line.action != CommandLine::Action::Help && line.action != CommandLine::Action::Version) {
        return {std::nullopt, std::string("option '") +
                                  (line.minimized ? "--minimized" : "--select-city") +
                                  "' needs the window"};
    }
    if (line.minimized && line.selectCity) {
        return {std::nullopt, "option '--minimized' does not go with '--select-city'"};
    }
    return {line, {}};
}

std::string commandLineHelp() {
    return std::string(
               "Usage: chronvale [OPTION]...\n"
               "A world clock on a map of the earth lit as it is lit now.\n"
               "Without --info, --render, --city, --compare, --sky or --wallpaper it opens the\n"
               "window (one copy per user: starting it again brings the running window to the\n"
               "front).\n"
               "\n"
               "  --info         print the folders, the data tables and the earth images it "
               "loads\n"
               "  --data DIR     use DIR as the data folder (default: $CHRONVALE_DATA, the\n"
               "                 installed share/chronvale, or the source tree's data/)\n"
               "  --city NAME    print the properties of the city NAME and exit: country,\n"
               "                 dialling codes, local time, sunrise and sunset (in the "
               "city's\n"
               "                 civil time), position, daylight-saving period. Case and\n"
               "                 accents do not count; \"London (Westminster)\" or \"London,\n"
               "                 Westminster\" picks the state; equally good matches are all\n"
               "                 printed. No such city: exit status 1. Local times come "
               "from\n"
               "                 the system's time-zone database ($TZDIR or\n"
               "                 /usr/share/zoneinfo) where it has the city's zone\n"
               "  --city @FILE   the same for every name of FILE, one a line\n"
               "    --time T       the instant as 2027-01-15T12:00:00Z (default: now); always\n"
               "                   UTC, also without the Z or the seconds\n"
               "    --time @FILE   each instant of FILE (one a line) in turn, all the cities\n"
               "                   at each\n"
               "    --fields \"A,B\"  only the fields labelled A and B (\"City,Local Time\"),\n"
               "                   one line a city, the values separated by tabs\n"
               "  --compare \"A,B,...\"  print the cities side by side and exit: local date\n"
               "                 and time, offset from UTC, day, twilight or night, and\n"
               "                 whether each is within working hours (09:00-17:00 Monday to\n"
               "                 Friday). A name that matches no city: exit status 1\n"
               "    --time T       the instant, as for --city (default: now)\n"
               "    --overlap      also the next stretch within 14 days when all of them are\n"
               "                   at work, or else the one that suits the most of them\n"
               "    --hours H      the least length of that stretch in hours (default: 1)\n"
               "  --sky          print where the sun and the moon stand overhead (latitude "
               "and\n"
               "                 longitude, north and east positive) and how much of the moon\n"
               "                 is lit, and exit; the years 1950 to 2050\n"
               "    --time T       the instant, as for --city (default: now)\n"
               "  --wallpaper [off]  make the lit map the desktop wallpaper and exit: the\n"
               "                 first run saves the desktop's own wallpaper and turns "
               "Wallpaper\n"
               "                 Mode on, later runs renew the map (for a timer, see the\n"
               "                 chronvale-wallpaper.timer user unit); 'off' gives the "
               "desktop\n"
               "                 its own wallpaper back and turns the mode off. Exit status 1\n"
               "                 when no desktop interface works or the file cannot be "
               "written\n"
               "    --screens WxH+X+Y[,...]  the monitors, in device pixels (default: the\n"
               "                   session's, else those the window saw last, else 1920x1080)\n"
               "    --placement fit|fill  the whole earth with dark bars (fit, the default),\n"
               "                   or the screen covered, poles or edges cut (fill)\n"
               "    --width W      the widest a monitor's picture is made, 64 to 16384\n"
               "                   (default: the monitor's own width)\n"
               "  --minimized    start in the notification area with the window hidden (on a\n"
               "                 desktop without one, minimised); the autostart entry of\n"
               "                 Options > Start with the desktop uses it\n"
               "  --select-city  open the window with the city selector (a running copy\n"
               "                 comes forward and opens it)\n"
               "  --help         show this help and exit\n"
               "  --version      show the version and exit\n"
               "\n") +
           renderOptionsHelp();
}

} // namespace chronvale
