#include "app/mainwindow/title_clock.h"

#include "core/product.h"

#include <QWidget>
#include <array>
#include <cstdio>

namespace chronvale {

namespace {

std::string number(int value, bool twoDigits) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), twoDigits ? "%02i" : "%i", value);
    return buffer.data();
}

std::tm localTimeOf(std::time_t now) {
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        local = std::tm{};
    }
    return local;
}

} // namespace

std::string formatTimePattern(std::string_view pattern, const std::tm& local) {
    const int year = local.tm_year + 1900;
    std::string out;
    out.reserve(pattern.size() + 8);
    size_t i = 0;
    while (i < pattern.size()) {
        const std::string_view rest = pattern.substr(i);
        if (rest.starts_with("YYYY")) {
            out += number(year, false);
            i += 4;
        } else if (rest.starts_with("YY")) {
            out += number(year - 2000, false);
            i += 2;
        } else if (rest.starts_with("MM")) {
            out += number(local.tm_mon + 1, false);
            i += 2;
        } else if (rest.starts_with("DD")) {
            out += number(local.tm_mday, false);
            i += 2;
        } else if (rest.starts_with("HH")) {
            out += number(local.tm_hour, true);
            i += 2;
        } else if (rest.starts_with("MI")) {
            out += number(local.tm_min, true);
            i += 2;
        } else if (rest.starts_with("SS") || rest.starts_with("SE")) {
            out += number(local.tm_sec, true);
            i += 2;
        } else {
            out += pattern[i];
            ++i;
        }
    }
    return out;
}

QString titleClockText(std::time_t now, bool minimised) {
    const std::tm local = localTimeOf(now);
    if (minimised) {
        return QString::fromStdString(formatTimePattern("HH:MI", local));
    }
    return QString::fromUtf8(applicationName.data(),
                             static_cast<qsizetype>(applicationName.size())) +
           QStringLiteral(" - ") + QString::fromStdString(formatTimePattern("HH:MI:SS", local));
}

void updateTitleClock(QWidget& window, std::time_t now) {
    window.setWindowTitle(titleClockText(now, window.isMinimized()));
}

} // namespace chronvale
