#include "core/language_code.h"

#include <cctype>

namespace chronvale {

bool isValidLanguageCode(std::string_view code) {
    if (code.empty() || code.size() > 8) {
        return false;
    }
    for (char c : code) {
        if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 127) {
            return false;
        }
    }
    return true;
}

} // namespace chronvale
