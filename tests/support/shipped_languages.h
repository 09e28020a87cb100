#pragma once
// The language files that ship: every lang/<code>.txt of the source tree, found
// on disk rather than listed, so that a file added later is checked as well.

#include "support/files.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace chronvale::test {

inline std::filesystem::path languageSourceFolder() {
    return std::filesystem::path(CHRONVALE_SOURCE_DIR) / "lang";
}

// The codes of the shipped files in alphabetical order ("b5", "cn", "de" ...).
inline std::vector<std::string> shippedLanguageCodes() {
    std::vector<std::string> codes;
    for (const auto& item : std::filesystem::directory_iterator(languageSourceFolder())) {
        const std::string stem = item.path().stem().string();
        if (item.path().extension() == ".txt" && stem.size() == 2) {
            codes.push_back(stem);
        }
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

// The UTF-8 text of lang/<code>.txt.
inline std::string languageSourceText(const std::string& code) {
    return readText(languageSourceFolder() / (code + ".txt"));
}

} // namespace chronvale::test
