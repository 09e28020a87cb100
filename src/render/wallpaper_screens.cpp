#include "render/wallpaper_screens.h"

#include <charconv>

namespace chronvale {

namespace {

// Reads an unsigned decimal number of up to 6 digits at `pos`.
std::optional<int> readNumber(std::string_view text, std::size_t& pos) {
    std::size_t end = pos;
    while (end < text.size() && end - pos < 7 && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    if (end == pos || end - pos > 6) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(text.data() + pos, text.data() + end, value);
    pos = end;
    return value;
}

// "+N", "-N" or "+-N" at `pos`.
std::optional<int> readOffset(std::string_view text, std::size_t& pos) {
    if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) {
        return std::nullopt;
    }
    bool negative = text[pos] == '-';
    ++pos;
    if (!negative && pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    const std::optional<int> value = readNumber(text, pos);
    if (!value) {
        return std::nullopt;
    }
    return negative ? -*value : *value;
}

std::optional<WallpaperScreen> readScreen(std::string_view item, std::string& error) {
    std::size_t pos = 0;
    int width = 0;
    int height = 0;
    int x = 0;
    int y = 0;
    const auto read = [&]() {
        const std::optional<int> w = readNumber(item, pos);
        if (!w || pos >= item.size() || (item[pos] != 'x' && item[pos] != 'X')) {
            return false;
        }
        ++pos;
        const std::optional<int> h = readNumber(item, pos);
        const std::optional<int> left = h ? readOffset(item, pos) : std::nullopt;
        const std::optional<int> top = left ? readOffset(item, pos) : std::nullopt;
        if (!top || pos != item.size()) {
            return false;
        }
        width = *w;
        height = *h;
        x = *left;
        y = *top;
        return true;
    };
    const std::string quoted = "'" + std::string(item) + "'";
    if (!read()) {
        error = quoted + " is not WIDTHxHEIGHT+X+Y";
        return std::nullopt;
    }
    if (width < 1 || height < 1 || width > kMaxScreenSide || height > kMaxScreenSide) {
        error = quoted + ": each side must be 1 to " + std::to_string(kMaxScreenSide) + " pixels";
        return std::nullopt;
    }
    if (x < -kMaxScreenOffset || x > kMaxScreenOffset || y < -kMaxScreenOffset ||
        y > kMaxScreenOffset) {
        error = quoted + ": the offsets must lie within " + std::to_string(kMaxScreenOffset);
        return std::nullopt;
    }
    return WallpaperScreen{x, y, width, height, {}};
}

} // namespace

ScreensParse parseScreens(std::string_view text) {
    ScreensParse parse;
    if (text.empty()) {
        parse.error = "no monitor given";
        return parse;
    }
    std::vector<WallpaperScreen> screens;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (screens.size() == kMaxScreens) {
            parse.error = "more than " + std::to_string(kMaxScreens) + " monitors";
            return parse;
        }
        const std::optional<WallpaperScreen> screen = readScreen(item, parse.error);
        if (!screen) {
            return parse;
        }
        screens.push_back(*screen);
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    parse.screens = std::move(screens);
    return parse;
}

std::string formatScreens(const std::vector<WallpaperScreen>& screens) {
    std::string text;
    const auto offset = [](int value) {
        return (value < 0 ? "-" : "+") + std::to_string(value < 0 ? -value : value);
    };
    for (const WallpaperScreen& screen : screens) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(screen.width) + "x" + std::to_string(screen.height) +
                offset(screen.x) + offset(screen.y);
    }
    return text;
}

WallpaperScreen defaultScreen() {
    return WallpaperScreen{0, 0, 1920, 1080, {}};
}

} // namespace chronvale
