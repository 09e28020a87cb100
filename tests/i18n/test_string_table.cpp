// The string table against the code that uses it and the language files that
// translate it, so that neither can drift away unnoticed.

#include "i18n/language_file.h"
#include "i18n/string_table.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace chronvale {
namespace {

namespace fs = std::filesystem;

const fs::path sourceDir = CHRONVALE_SOURCE_DIR;
const char* const shippedLanguages[] = {"de", "fr"};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The accelerator of a menu or dialog text: the character after a single "&".
std::optional<char> accelerator(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&') {
                return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
            }
            ++i;
        }
    }
    return std::nullopt;
}

bool isIdentifier(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::size_t skipWhile(const std::string& text, std::size_t pos, int (*test)(int)) {
    while (pos < text.size() && test(static_cast<unsigned char>(text[pos]))) {
        ++pos;
    }
    return pos;
}

// The printf placeholders of a text, in order.
std::vector<std::string> placeholders(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        std::size_t end = at + 1;
        while (end < text.size() &&
               std::string_view("-+ #0").find(text[end]) != std::string_view::npos) {
            ++end;
        }
        end = skipWhile(text, end, isdigit);
        if (end < text.size() && text[end] == '.') {
            end = skipWhile(text, end + 1, isdigit);
        }
        found.push_back(text.substr(at, end + 1 - at));
        at = end + 1;
    }
    return found;
}

// Every "Name = 1234," of the header's enumeration.
std::map<std::string, int> namedIds(const std::string& header) {
    std::map<std::string, int> ids;
    std::istringstream lines(header);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = skipWhile(line, 0, isspace);
        const std::size_t nameEnd = line.find(" = ", start);
        if (nameEnd == std::string::npos || nameEnd == start) {
            continue;
        }
        const std::size_t digits = nameEnd + 3;
        const std::size_t digitsEnd = skipWhile(line, digits, isdigit);
        if (digitsEnd > digits && digitsEnd < line.size() && line[digitsEnd] == ',') {
            ids[line.substr(start, nameEnd - start)] = std::stoi(line.substr(digits));
        }
    }
    return ids;
}

// The numbers of every "getText(1234)" of a source text.
std::vector<int> numberedLookups(const std::string& code) {
    std::vector<int> numbers;
    for (std::size_t at = code.find("getText("); at != std::string::npos;
         at = code.find("getText(", at + 1)) {
        const std::size_t digits = skipWhile(code, at + 8, isspace);
        const std::size_t end = skipWhile(code, digits, isdigit);
        if (end > digits && skipWhile(code, end, isspace) < code.size() &&
            code[skipWhile(code, end, isspace)] == ')') {
            numbers.push_back(std::stoi(code.substr(digits, end - digits)));
        }
    }
    return numbers;
}

// The names of every "str::Name" of a source text.
std::vector<std::string> namedLookups(const std::string& code) {
    std::vector<std::string> names;
    for (std::size_t at = code.find("str::"); at != std::string::npos;
         at = code.find("str::", at + 1)) {
        if (at > 0 && (isIdentifier(code[at - 1]) || code[at - 1] == ':')) {
            continue;
        }
        std::size_t end = at + 5;
        while (end < code.size() && isIdentifier(code[end])) {
            ++end;
        }
        names.push_back(code.substr(at + 5, end - at - 5));
    }
    return names;
}

TEST(StringTable, IdsFindTheirEntries) {
    EXPECT_EQ(findString(str::UnableToLoadFile)->text, "Unable to load file '%s'");
    EXPECT_EQ(findString(1391)->text, "Zoom In");
    EXPECT_EQ(findString(1041)->text, "Winsock Error");
    EXPECT_EQ(findString(str::MenuQuit)->context, mainMenuContext);
    EXPECT_EQ(findString(str::PropertiesCity)->context, 104);
    EXPECT_EQ(findString(1392), nullptr);
    EXPECT_EQ(findString(0), nullptr);
    for (const StringEntry& entry : stringTable()) {
        EXPECT_EQ(findString(entry.id), &entry);
        EXPECT_FALSE(entry.text.empty()) << entry.id;
    }
}

TEST(StringTable, EveryIdTheSourcesUseExists) {
    // The named ids of the header, each of which must be in the table ...
    const std::map<std::string, int> names =
        namedIds(readText(sourceDir / "src/i18n/string_table.h"));
    for (const auto& [name, id] : names) {
        EXPECT_NE(findString(id), nullptr) << name;
    }
    ASSERT_GT(names.size(), 150u);

    // ... and every getText(<number>) and str::<name> of the sources.
    int files = 0;
    for (const auto& item : fs::recursive_directory_iterator(sourceDir / "src")) {
        const auto extension = item.path().extension();
        if (extension != ".cpp" && extension != ".h") {
            continue;
        }
        ++files;
        const std::string code = readText(item.path());
        for (int id : numberedLookups(code)) {
            EXPECT_NE(findString(id), nullptr) << item.path() << " uses string " << id;
        }
        for (const std::string& name : namedLookups(code)) {
            EXPECT_TRUE(names.count(name)) << item.path() << " uses str::" << name;
        }
    }
    EXPECT_GT(files, 0);
    EXPECT_EQ(numberedLookups("getText(1423) getText( 7 ) getText(id) getText(12, x)"),
              (std::vector<int>{1423, 7}));
    EXPECT_EQ(namedLookups("str::ZoomIn; std::str::x; mystr::y"),
              (std::vector<std::string>{"ZoomIn"}));
}

// The {id, "English"} pairs of the online services' texts (net/net_texts.h).
std::vector<std::pair<int, std::string>> netTexts(const std::string& header) {
    std::vector<std::pair<int, std::string>> texts;
    for (std::size_t at = header.find("NetText k"); at != std::string::npos;
         at = header.find("NetText k", at + 1)) {
        const std::size_t brace = header.find('{', at);
        const std::size_t digits = skipWhile(header, brace + 1, isspace);
        const std::size_t comma = skipWhile(header, digits, isdigit);
        const std::size_t open = header.find('"', comma);
        const std::size_t close = header.find('"', open + 1);
        if (brace == std::string::npos || comma == digits || close == std::string::npos) {
            continue;
        }
        texts.emplace_back(std::stoi(header.substr(digits, comma - digits)),
                           header.substr(open + 1, close - open - 1));
    }
    return texts;
}

TEST(StringTable, TheOnlineServicesUseTheTablesIdsAndTexts) {
    const auto texts = netTexts(readText(sourceDir / "src/net/net_texts.h"));
    EXPECT_GE(texts.size(), 12u);
    for (const auto& [id, english] : texts) {
        if (id != 0) {
            ASSERT_NE(findString(id), nullptr) << english;
            EXPECT_EQ(findString(id)->text, english) << id;
        } else {
            // Without an id the English text itself is the key of its translation.
            EXPECT_TRUE(std::any_of(stringTable().begin(), stringTable().end(),
                                    [&](const StringEntry& entry) {
                                        return entry.context == 0 && entry.text == english;
                                    }))
                << english;
        }
    }
}

TEST(StringTable, ShippedLanguagesTranslateEveryText) {
    for (const char* code : shippedLanguages) {
        SCOPED_TRACE(code);
        const LanguageFile file =
            parseLanguageFile(readText(sourceDir / "lang" / (std::string(code) + ".txt")));
        EXPECT_EQ(file.code, code);
        for (const StringEntry& entry : stringTable()) {
            const std::string* translated = findTranslation(file, entry.text, entry.context);
            if (translated == nullptr) {
                ADD_FAILURE() << "no translation of string " << entry.id << " \"" << entry.text
                              << "\" under context " << entry.context;
                continue;
            }
            EXPECT_EQ(placeholders(*translated), placeholders(std::string(entry.text)))
                << "placeholders of string " << entry.id << " in \"" << *translated << "\"";
            // Menu items keep their shortcut text after the TAB.
            const auto tab = entry.text.find('\t');
            if (tab != std::string_view::npos) {
                EXPECT_NE(translated->find('\t'), std::string::npos) << *translated;
            }
        }
    }
}

TEST(StringTable, AcceleratorsAreUniqueWithinEachTranslatedMenu) {
    for (const char* code : shippedLanguages) {
        SCOPED_TRACE(code);
        const LanguageFile file =
            parseLanguageFile(readText(sourceDir / "lang" / (std::string(code) + ".txt")));
        // Menu items and dialog texts are grouped by the hundreds of their ids:
        // one group per popup menu and per dialog.
        std::map<int, std::map<char, std::string>> groups;
        for (const StringEntry& entry : stringTable()) {
            if (entry.context == 0) {
                continue;
            }
            const std::string* translated = findTranslation(file, entry.text, entry.context);
            ASSERT_NE(translated, nullptr) << entry.text;
            if (accelerator(entry.text)) {
                EXPECT_TRUE(accelerator(*translated)) << "lost its accelerator: " << *translated;
            }
            if (const auto key = accelerator(*translated)) {
                auto& used = groups[entry.id / 100];
                const auto [at, added] = used.emplace(*key, *translated);
                EXPECT_TRUE(added) << "\"" << *translated << "\" and \"" << at->second
                                   << "\" share the accelerator " << *key;
            }
        }
        EXPECT_GT(groups.size(), 10u);
    }
}

} // namespace
} // namespace chronvale
