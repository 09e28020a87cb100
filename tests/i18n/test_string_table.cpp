// The string table against the code that uses it and the language files that
// translate it, so that neither can drift away unnoticed.

#include "i18n/language_file.h"
#include "i18n/string_table.h"
#include "support/files.h"
#include "support/shipped_languages.h"

#include <QString>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace chronvale {
namespace {

namespace fs = std::filesystem;

const fs::path sourceDir = CHRONVALE_SOURCE_DIR;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The accelerator of a menu or dialog text: the character after a single "&",
// lower-cased (Greek and Arabic texts have accelerators of their own script).
std::optional<QChar> accelerator(std::string_view text) {
    const QString s = fromUtf8(text);
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (s[i + 1] != QLatin1Char('&')) {
                return s[i + 1].toLower();
            }
            ++i;
        }
    }
    return std::nullopt;
}

// True for a text in Chinese, Japanese or Korean script.
bool isCjk(std::string_view text) {
    for (const QChar c : fromUtf8(text)) {
        const char16_t u = c.unicode();
        if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) ||
            (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF)) {
            return true;
        }
    }
    return false;
}

// An entry as a language file writes it, to be copied into the file.
std::string asFileLines(const StringEntry& entry) {
    std::string text;
    for (char c : entry.text) {
        text += c == '\t' ? std::string("\\t") : c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return "  <" + std::to_string(entry.context) + " E=" + text + "   (string " +
           std::to_string(entry.id) + ")\n";
}

// The E= and T= texts of a file, pair by pair, as written ("*" included).
std::vector<std::pair<std::string, std::string>> writtenPairs(const std::string& file) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::optional<std::string> english;
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("E=", 0) == 0) {
            english = line.substr(2);
        } else if (line.rfind("T=", 0) == 0 && english) {
            pairs.emplace_back(*english, line.substr(2));
            english.reset();
        }
    }
    return pairs;
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
        namedIds(test::readText(sourceDir / "src/i18n/string_table.h"));
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
        const std::string code = test::readText(item.path());
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
    const auto texts = netTexts(test::readText(sourceDir / "src/net/net_texts.h"));
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

TEST(StringTable, EveryLanguageFileShips) {
    const std::vector<std::string> codes = test::shippedLanguageCodes();
    for (const char* code : {"de", "fr", "gr", "cn", "b5", "jo", "jp", "kr"}) {
        EXPECT_NE(std::find(codes.begin(), codes.end(), code), codes.end()) << code;
    }
    // The others' files are packed as they arrive; a file outside the Language
    // menu would never be offered.
    const std::set<std::string> menu{"de", "fr", "cz", "gr", "cn", "b5", "jo",
                                     "pt", "sp", "se", "jp", "kr", "it", "nl"};
    for (const std::string& code : codes) {
        EXPECT_TRUE(menu.count(code)) << "lang/" << code << ".txt is no language of the menu";
    }
}

TEST(StringTable, ShippedLanguagesTranslateEveryText) {
    for (const std::string& code : test::shippedLanguageCodes()) {
        SCOPED_TRACE("lang/" + code + ".txt");
        const LanguageFile file = parseLanguageFile(test::languageSourceText(code));
        EXPECT_EQ(file.code, code);
        std::string missing;
        int missingCount = 0;
        for (const StringEntry& entry : stringTable()) {
            const std::string* translated = findTranslation(file, entry.text, entry.context);
            if (translated == nullptr) {
                missing += asFileLines(entry);
                ++missingCount;
                continue;
            }
            EXPECT_EQ(placeholders(*translated), placeholders(std::string(entry.text)))
                << "placeholders of string " << entry.id << " in \"" << *translated << "\"";
            // Menu items keep their shortcut text after the TAB, and a text on
            // two lines stays on two lines.
            for (const char kept : {'\t', '\n'}) {
                if (entry.text.find(kept) != std::string_view::npos) {
                    EXPECT_NE(translated->find(kept), std::string::npos)
                        << "string " << entry.id << ": " << *translated;
                }
            }
        }
        EXPECT_EQ(missingCount, 0)
            << "lang/" << code << ".txt lacks " << missingCount << " of " << stringTable().size()
            << " entries (context and English text):\n"
            << missing;
    }
}

TEST(StringTable, ShippedLanguagesHoldTheGermanEntriesAndTranslateMostTexts) {
    const LanguageFile german = parseLanguageFile(test::languageSourceText("de"));
    ASSERT_GT(german.translations.size(), 200u);
    for (const std::string& code : test::shippedLanguageCodes()) {
        SCOPED_TRACE("lang/" + code + ".txt");
        const std::string text = test::languageSourceText(code);
        const LanguageFile file = parseLanguageFile(text);
        std::string missing;
        std::size_t held = 0;
        for (const auto& [key, translation] : german.translations) {
            if (file.translations.count(key)) {
                ++held;
            } else {
                missing += "  " + key + "\n";
            }
        }
        EXPECT_GE(held * 100, german.translations.size() * 95)
            << held << " of the " << german.translations.size()
            << " entries of lang/de.txt; missing:\n"
            << missing;

        // Names and numbers may stay as they are, but not most of the texts.
        const auto pairs = writtenPairs(text);
        std::size_t english = 0;
        for (const auto& [source, translation] : pairs) {
            english += translation == source || translation == "*";
        }
        ASSERT_FALSE(pairs.empty());
        EXPECT_LE(english * 4, pairs.size())
            << english << " of " << pairs.size() << " texts are the English ones";
    }
}

TEST(StringTable, AcceleratorsAreUniqueWithinEachTranslatedMenu) {
    for (const std::string& code : test::shippedLanguageCodes()) {
        SCOPED_TRACE("lang/" + code + ".txt");
        const LanguageFile file = parseLanguageFile(test::languageSourceText(code));
        // Menu items and dialog texts are grouped by the hundreds of their ids:
        // one group per popup menu and per dialog.
        std::map<int, std::map<QChar, std::string>> groups;
        for (const StringEntry& entry : stringTable()) {
            if (entry.context == 0) {
                continue;
            }
            const std::string* translated = findTranslation(file, entry.text, entry.context);
            if (translated == nullptr) {
                continue; // reported by ShippedLanguagesTranslateEveryText
            }
            if (accelerator(entry.text)) {
                EXPECT_TRUE(accelerator(*translated)) << "lost its accelerator: " << *translated;
            }
            const auto key = accelerator(*translated);
            if (!key) {
                continue;
            }
            // Chinese, Japanese and Korean texts take the Latin letter in
            // parentheses after the text: "ファイル(&F)".
            if (isCjk(*translated)) {
                const QString t = fromUtf8(*translated);
                const qsizetype at = t.indexOf(QLatin1String("(&"));
                EXPECT_TRUE(at >= 0 && at + 3 < t.size() && t[at + 2].isLetter() &&
                            t[at + 2].unicode() < 128 && t[at + 3] == QLatin1Char(')'))
                    << "not \"text(&X)\": " << *translated;
            }
            auto& used = groups[entry.id / 100];
            const auto [at, added] = used.emplace(*key, *translated);
            EXPECT_TRUE(added) << "\"" << *translated << "\" and \"" << at->second
                               << "\" share the accelerator " << QString(*key).toStdString();
        }
        EXPECT_GT(groups.size(), 10u);
    }
}

} // namespace
} // namespace chronvale
