// Any bytes as a language file's text: it is parsed, and every entry's English
// text is looked up again under each context, as the window does when it
// translates its menus and dialogs.

#include "i18n/language_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const chronvale::LanguageFile file = chronvale::parseLanguageFile(text);
    (void)chronvale::unescapeLanguageLine(text);
    for (const std::string_view english : {"", "&File", "E=", "%s", "Exit"}) {
        for (const int context : {0, 1, 101, 117, -1}) {
            (void)chronvale::findTranslation(file, english, context);
        }
    }
    (void)chronvale::languageCodeFromAbbreviation(text.substr(0, 3));
    return 0;
}
