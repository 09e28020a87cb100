#include "cityinfo/city_search.h"

#include <QString>
#include <algorithm>

namespace chronvale {

namespace {

// Letters that no Unicode decomposition takes apart, as they are written in
// plain Latin letters.
const char* plainSpelling(char16_t c) {
    switch (c) {
    case u'ø':
    case u'Ø':
        return "o";
    case u'ł':
    case u'Ł':
        return "l";
    case u'đ':
    case u'Đ':
    case u'ð':
    case u'Ð':
        return "d";
    case u'ß':
    case u'ẞ':
        return "ss";
    case u'æ':
    case u'Æ':
        return "ae";
    case u'œ':
    case u'Œ':
        return "oe";
    case u'þ':
    case u'Þ':
        return "th";
    case u'ı':
        return "i";
    case u'ħ':
    case u'Ħ':
        return "h";
    default:
        return nullptr;
    }
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0;
}

// Valid UTF-8 as such, anything else byte by byte as Latin-1.
QString decode(std::string_view text) {
    const QString utf8 = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (!utf8.contains(QChar::ReplacementCharacter)) {
        return utf8;
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

} // namespace

std::string foldForSearch(std::string_view text) {
    // Plain ASCII (most city names): fold the case here, without Qt.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string out;
        out.reserve(text.size());
        for (char c : text) {
            const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
            if (blank) {
                if (!out.empty() && out.back() != ' ') {
                    out.push_back(' ');
                }
                continue;
            }
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        }
        if (!out.empty() && out.back() == ' ') {
            out.pop_back();
        }
        return out;
    }

    const QString decomposed =
        decode(text).normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar ch : decomposed) {
        const char16_t c = ch.unicode();
        if (ch.isMark()) {
            continue;
        }
        if (isBlank(c)) {
            if (!folded.isEmpty() && !folded.endsWith(QLatin1Char(' '))) {
                folded.append(QLatin1Char(' '));
            }
            continue;
        }
        if (const char* plain = plainSpelling(c)) {
            folded.append(QLatin1String(plain));
        } else {
            folded.append(ch);
        }
    }
    if (folded.endsWith(QLatin1Char(' '))) {
        folded.chop(1);
    }
    return folded.toUtf8().toStdString();
}

CitySearch::CitySearch(const CityList& cities) {
    names_.reserve(cities.size());
    states_.reserve(cities.size());
    for (const CityRecord& city : cities) {
        names_.push_back(foldForSearch(city.name));
        states_.push_back(city.state ? foldForSearch(*city.state) : std::string());
        exact_[names_.back()].push_back(names_.size() - 1);
    }
}

const std::vector<std::size_t>* CitySearch::exactly(const std::string& folded) const {
    const auto it = folded.empty() ? exact_.end() : exact_.find(folded);
    return it == exact_.end() ? nullptr : &it->second;
}

std::vector<CityMatch> CitySearch::find(std::string_view query) const {
    const std::string q = foldForSearch(query);
    std::vector<CityMatch> matches;
    if (q.empty()) {
        return matches;
    }
    // One pass sorts each hit into its group; the groups keep file order.
    std::vector<CityMatch> prefix;
    std::vector<CityMatch> substring;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const std::string& name = names_[i];
        const std::size_t at = name.find(q);
        if (at == std::string::npos) {
            continue;
        }
        if (at != 0) {
            substring.push_back({i, MatchRank::Substring});
        } else if (name.size() == q.size()) {
            matches.push_back({i, MatchRank::Exact});
        } else {
            prefix.push_back({i, MatchRank::Prefix});
        }
    }
    matches.insert(matches.end(), prefix.begin(), prefix.end());
    matches.insert(matches.end(), substring.begin(), substring.end());
    return matches;
}

std::vector<std::size_t> CitySearch::bestOf(const std::vector<CityMatch>& matches) const {
    std::vector<std::size_t> best;
    for (const CityMatch& match : matches) {
        if (match.rank != matches.front().rank) {
            break;
        }
        best.push_back(match.index);
    }
    std::sort(best.begin(), best.end());
    return best;
}

std::vector<std::size_t> CitySearch::findBest(std::string_view nameAndState) const {
    // "Name (State)" or "Name, State".
    std::string name;
    std::string state;
    if (const std::size_t open = nameAndState.find('('); open != std::string_view::npos) {
        name = trimmed(nameAndState.substr(0, open));
        std::string_view rest = nameAndState.substr(open + 1);
        state = trimmed(rest.substr(0, rest.find(')')));
    } else if (const std::size_t comma = nameAndState.rfind(','); comma != std::string_view::npos) {
        name = trimmed(nameAndState.substr(0, comma));
        state = trimmed(nameAndState.substr(comma + 1));
    }
    const std::string foldedState = foldForSearch(state);
    if (!name.empty() && !foldedState.empty()) {
        // Cities of exactly that name and state are the best there can be.
        if (const std::vector<std::size_t>* same = exactly(foldForSearch(name))) {
            std::vector<std::size_t> withState;
            for (const std::size_t index : *same) {
                if (states_[index] == foldedState) {
                    withState.push_back(index);
                }
            }
            if (!withState.empty()) {
                return withState;
            }
        }
        std::vector<CityMatch> matches = find(name);
        // The state must be the city's, or begin it.
        for (bool exactState : {true, false}) {
            std::vector<CityMatch> withState;
            for (const CityMatch& match : matches) {
                const std::string& s = states_[match.index];
                if (exactState ? s == foldedState : s.rfind(foldedState, 0) == 0) {
                    withState.push_back(match);
                }
            }
            if (!withState.empty()) {
                return bestOf(withState);
            }
        }
    }
    // No state given, or none that fits: the whole text is a name (a name may
    // hold a comma).
    if (const std::vector<std::size_t>* same = exactly(foldForSearch(nameAndState))) {
        return *same;
    }
    const std::vector<CityMatch> matches = find(nameAndState);
    return matches.empty() ? std::vector<std::size_t>{} : bestOf(matches);
}

} // namespace chronvale
