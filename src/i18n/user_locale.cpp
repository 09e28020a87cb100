#include "i18n/user_locale.h"

#include "geo/date_pattern.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <array>
#include <string_view>

namespace chronvale {

namespace {

struct CodeLocale {
    std::string_view code;
    QLocale::Language language;
    QLocale::Script script;
    QLocale::Territory territory; // the language's own main country
};

// The codes of the Language menu; the file names are lower case, the stored
// codes may not be.
constexpr std::array kCodes{
    CodeLocale{"jo", QLocale::Arabic, QLocale::AnyScript, QLocale::Jordan},
    CodeLocale{"cn", QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China},
    CodeLocale{"b5", QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan},
    CodeLocale{"cz", QLocale::Czech, QLocale::AnyScript, QLocale::Czechia},
    CodeLocale{"nl", QLocale::Dutch, QLocale::AnyScript, QLocale::Netherlands},
    CodeLocale{"fr", QLocale::French, QLocale::AnyScript, QLocale::France},
    CodeLocale{"de", QLocale::German, QLocale::AnyScript, QLocale::Germany},
    CodeLocale{"gr", QLocale::Greek, QLocale::AnyScript, QLocale::Greece},
    CodeLocale{"it", QLocale::Italian, QLocale::AnyScript, QLocale::Italy},
    CodeLocale{"jp", QLocale::Japanese, QLocale::AnyScript, QLocale::Japan},
    CodeLocale{"kr", QLocale::Korean, QLocale::AnyScript, QLocale::SouthKorea},
    CodeLocale{"pt", QLocale::Portuguese, QLocale::AnyScript, QLocale::Portugal},
    CodeLocale{"sp", QLocale::Spanish, QLocale::AnyScript, QLocale::Spain},
    CodeLocale{"se", QLocale::Swedish, QLocale::AnyScript, QLocale::Sweden},
};

const CodeLocale* findCode(const std::optional<std::string>& code) {
    if (!code) {
        return nullptr;
    }
    const QByteArray lower = QByteArray::fromStdString(*code).toLower();
    for (const CodeLocale& entry : kCodes) {
        if (lower == QByteArray(entry.code.data(), static_cast<qsizetype>(entry.code.size()))) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

QLocale localeOfLanguage(const std::optional<std::string>& code, const QLocale& system) {
    const CodeLocale* entry = findCode(code);
    if (entry == nullptr) {
        return system; // English (or a code of no menu item): as the system writes
    }
    const QLocale::Language language = entry->language;
    const QLocale::Script script = entry->script;
    if (system.language() == language &&
        (script == QLocale::AnyScript || system.script() == script)) {
        return system;
    }
    // The pair of the language and the system's country, when Qt has it.
    const QLocale paired(language, script, system.territory());
    if (paired.language() == language && paired.territory() == system.territory() &&
        (script == QLocale::AnyScript || paired.script() == script)) {
        return paired;
    }
    return QLocale(entry->language, entry->script, entry->territory);
}

std::optional<QLocale> languageLocale(const std::optional<std::string>& code) {
    const CodeLocale* entry = findCode(code);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return QLocale(entry->language, entry->script, entry->territory);
}

std::string shortDatePattern(const QLocale& locale) {
    // The C locale (no LANG set) has no user's habit to follow; its "d MMM yyyy"
    // would read "9 12 2026". The program's own month-first dates stand in.
    if (locale.language() == QLocale::C) {
        return std::string(kMonthFirstDatePattern);
    }
    return locale.dateFormat(QLocale::ShortFormat).toStdString();
}

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
    }
}

bool QtTranslations::apply(const std::optional<std::string>& code) {
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    const std::optional<QLocale> locale = languageLocale(code);
    if (!locale) {
        return false; // English: Qt's texts are English already
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(*locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    translator_ = std::move(translator);
    return true;
}

void applyLanguageLocale(const std::optional<std::string>& code) {
    QLocale::setDefault(localeOfLanguage(code, QLocale::system()));
}

} // namespace chronvale
