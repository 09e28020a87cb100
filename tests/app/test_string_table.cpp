// The string table against the code that uses it and the language files that
// translate it, so that neither can drift away unnoticed.

#include "app/language_file.h"
#include "app/string_table.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
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

// The printf placeholders of a text, in order.
std::vector<std::string> placeholders(const std::string& text) {
    static const std::regex placeholder(R"(%[-+ #0]*[0-9]*(\.[0-9]+)?[a-zA-Z%])");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it) {
        found.push_back(it->str());
    }
    return found;
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
    const std::string header = readText(sourceDir / "src/app/string_table.h");
    static const std::regex named(R"((\w+) = (\d+),)");
    std::set<std::string> names;
    for (std::sregex_iterator it(header.begin(), header.end(), named), end; it != end; ++it) {
        names.insert((*it)[1]);
        EXPECT_NE(findString(std::stoi((*it)[2])), nullptr) << (*it)[1];
    }
    ASSERT_GT(names.size(), 150u);

    // ... and every getText(<number>) and str::<name> of the sources.
    static const std::regex byNumber(R"(getText\(\s*(\d+)\s*\))");
    static const std::regex byName(R"(\bstr::(\w+))");
    int files = 0;
    for (const auto& item : fs::recursive_directory_iterator(sourceDir / "src")) {
        const auto extension = item.path().extension();
        if (extension != ".cpp" && extension != ".h") {
            continue;
        }
        ++files;
        const std::string code = readText(item.path());
        for (std::sregex_iterator it(code.begin(), code.end(), byNumber), end; it != end; ++it) {
            EXPECT_NE(findString(std::stoi((*it)[1])), nullptr)
                << item.path() << " uses string " << (*it)[1];
        }
        for (std::sregex_iterator it(code.begin(), code.end(), byName), end; it != end; ++it) {
            EXPECT_TRUE(names.count((*it)[1])) << item.path() << " uses str::" << (*it)[1];
        }
    }
    EXPECT_GT(files, 0);
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
