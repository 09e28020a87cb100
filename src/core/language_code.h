#pragma once
// Language codes as they are stored and as they name files.

#include <string_view>

namespace chronvale {

// A language code names a file (lang/lang_<code>.dat), so only short codes of
// ASCII letters and digits are accepted; anything else could leave the folder.
bool isValidLanguageCode(std::string_view code);

} // namespace chronvale
