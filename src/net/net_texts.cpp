#include "net/net_texts.h"

namespace chronvale {

std::string formatText(const std::string& pattern, const std::string& value) {
    for (size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] == '%' && (pattern[i + 1] == 's' || pattern[i + 1] == 'i')) {
            return pattern.substr(0, i) + value + pattern.substr(i + 2);
        }
    }
    return pattern;
}

} // namespace chronvale
