#include "i18n/language_file.h"

#include "core/product.h"
#include "core/text_scan.h"
#include "i18n/string_table.h"

#include <array>
#include <cctype>
#include <utility>

namespace chronvale {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string withoutBraces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '{' && c != '}') {
            out += c;
        }
    }
    return out;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// The number at the start of a text; 0 without digits.
int leadingNumber(std::string_view text) {
    std::size_t pos = 0;
    return readInteger(text, pos);
}

class Parser {
public:
    void line(std::string_view raw) {
        std::string unescaped;
        if (raw.find('\\') != std::string_view::npos) {
            unescaped = unescapeLanguageLine(raw);
            raw = unescaped;
        }
        if (raw.empty() || raw[0] == ';') {
            return;
        }
        if (raw[0] == '<') {
            context_ = leadingNumber(raw.substr(1));
        } else if (startsWith(raw, "E=")) {
            english(raw.substr(2));
        } else if (startsWith(raw, "T=")) {
            translation(raw.substr(2));
        } else if (startsWith(raw, "F_FACE=")) {
            file_.fontFace = std::string(raw.substr(7));
        } else if (startsWith(raw, "F_WIDTH=")) {
            file_.fontWidth = leadingNumber(raw.substr(8));
        } else if (startsWith(raw, "F_HEIGHT=")) {
            file_.fontHeight = leadingNumber(raw.substr(9));
        } else if (startsWith(raw, "lang=")) {
            file_.code = lowerAscii(raw.substr(5));
        }
    }

    LanguageFile take() { return std::move(file_); }

private:
    void english(std::string_view text) {
        std::string key(text);
        if (const auto at = key.find("%PRODUCT%"); at != std::string::npos) {
            key.replace(at, 9, applicationName);
        }
        key = withoutBraces(key);
        bareLength_ = key.size();
        if (context_ != 0) {
            key += ':' + std::to_string(context_);
        }
        key_ = std::move(key);
    }

    void translation(std::string_view text) {
        if (!key_ || key_->empty()) {
            return;
        }
        if (text != "*") {
            std::string translated = file_.code == "jp" ? std::string(text) : withoutBraces(text);
            // The bare text of a context entry does not replace an entry that was
            // written without a context: that one is the string table's own.
            if (key_->size() != bareLength_) {
                file_.translations.try_emplace(key_->substr(0, bareLength_), translated);
            }
            file_.translations.insert_or_assign(*key_, std::move(translated));
        }
        key_->clear();
    }

    LanguageFile file_;
    int context_ = 0;
    std::optional<std::string> key_;
    std::size_t bareLength_ = 0; // the key's length without its ":context"
};

} // namespace

std::string unescapeLanguageLine(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            const char next = line[i + 1];
            const char replacement = next == 'r'   ? '\r'
                                     : next == 'n' ? '\n'
                                     : next == 't' ? '\t'
                                                   : 0;
            if (replacement != 0) {
                out += replacement;
                ++i;
                continue;
            }
        }
        out += line[i];
    }
    return out;
}

LanguageFile parseLanguageFile(std::string_view text) {
    Parser parser;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        parser.line(text.substr(start, end - start));
        start = end;
        while (start < text.size() && (text[start] == '\r' || text[start] == '\n')) {
            ++start;
        }
    }
    return parser.take();
}

const std::string* findTranslation(const LanguageFile& file, std::string_view english,
                                   int context) {
    const auto& table = file.translations;
    if (context != 0) {
        std::string key(english);
        key += ':' + std::to_string(context);
        if (const auto found = table.find(key); found != table.end()) {
            return &found->second;
        }
        if (isMenuContext(context)) {
            return nullptr;
        }
    }
    const auto found = table.find(english);
    return found != table.end() ? &found->second : nullptr;
}

std::optional<std::string> languageCodeFromAbbreviation(std::string_view abbreviation) {
    if (abbreviation.size() < 2) {
        return std::nullopt;
    }
    std::string code;
    for (char c : abbreviation.substr(0, 2)) {
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    // Traditional Chinese ("CHT") has a file of its own; the other Chinese
    // names ("CHS", simplified) share "CN".
    if (code == "CH" && abbreviation.size() >= 3 &&
        std::toupper(static_cast<unsigned char>(abbreviation[2])) == 'T') {
        return "B5";
    }
    // The names of the system map to the codes the language files are named by.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 13> mapping{{
        {"EN", "EN"},
        {"DA", "DK"},
        {"GE", "DE"},
        {"SV", "SE"},
        {"SW", "SE"},
        {"CH", "CN"},
        {"JA", "JP"},
        {"JP", "JP"},
        {"ES", "SP"},
        {"KO", "KR"},
        {"CS", "CZ"},
        {"EL", "GR"},
        {"AR", "JO"},
    }};
    for (const auto& [from, to] : mapping) {
        if (code == from) {
            code = to;
            break;
        }
    }
    if (code == "EN") {
        return std::nullopt;
    }
    return code;
}

} // namespace chronvale
