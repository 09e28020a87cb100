#include "core/load_errors.h"

#include <cstdio>

namespace chronvale {

std::string unableToLoadText(std::string_view fileName) {
    std::string text = "Unable to load file '";
    text += fileName;
    text += "'";
    return text;
}

void StderrLoadErrorSink::unableToLoad(std::string_view fileName) {
    std::fprintf(stderr, "%s\n", unableToLoadText(fileName).c_str());
}

} // namespace chronvale
