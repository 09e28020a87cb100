#include "i18n/language.h"

#include "config/settings.h"
#include "core/language_code.h"
#include "core/packed_file.h"
#include "i18n/string_table.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <utility>

namespace chronvale {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<QString> languageFilePath(std::string_view code, const QString& dataFolder,
                                        const QString& executableFolder) {
    if (!isValidLanguageCode(code)) {
        return std::nullopt;
    }
    const QString name = QStringLiteral("lang/lang_%1.dat").arg(fromUtf8(code).toLower());
    for (const QString& folder : {dataFolder, executableFolder}) {
        if (folder.isEmpty()) {
            continue;
        }
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return std::nullopt;
}

std::string abbreviatedLanguageName(const QLocale& locale) {
    if (locale.language() == QLocale::C) {
        return "ENU"; // the C and POSIX locales speak English
    }
    const QString iso = QLocale::languageToCode(locale.language(), QLocale::ISO639Part1);
    if (iso.size() != 2) {
        return {};
    }
    if (locale.language() == QLocale::Chinese) {
        // The system names Chinese after its script: CHS simplified, CHT traditional.
        return locale.script() == QLocale::TraditionalChineseScript ? "CHT" : "CHS";
    }
    const QString territory = QLocale::territoryToCode(locale.territory());
    return (iso + territory.left(1)).toUpper().toStdString();
}

std::optional<std::string> systemLanguageCode() {
    return languageCodeFromAbbreviation(abbreviatedLanguageName(QLocale::system()));
}

Qt::LayoutDirection layoutDirectionOf(const std::optional<std::string>& code) {
    const bool arabic =
        code && fromUtf8(*code).compare(QLatin1String("jo"), Qt::CaseInsensitive) == 0;
    return arabic ? Qt::RightToLeft : Qt::LeftToRight;
}

Language::Language(QString dataFolder, QString executableFolder)
    : dataFolder_(std::move(dataFolder)), executableFolder_(std::move(executableFolder)) {}

std::optional<std::string> Language::loadLanguage(const std::optional<std::string>& code) {
    loadFile(code);
    const std::optional<std::string> shown = loaded_ ? code : std::nullopt;
    applyLanguageLocale(shown);
    qtTexts_.apply(shown);
    countries_.load(languageLocale(shown));
    return current_;
}

void Language::loadFile(const std::optional<std::string>& code) {
    file_ = LanguageFile{};
    current_.reset();
    loaded_ = false;
    if (!code) {
        return;
    }
    const std::optional<QString> path = languageFilePath(*code, dataFolder_, executableFolder_);
    if (!path) {
        return;
    }
    std::optional<std::string> text = loadPackedTextFile(path->toStdString());
    if (!text) {
        return;
    }
    file_ = parseLanguageFile(*text);
    current_ = file_.code;
    loaded_ = true;
}

void Language::switchLanguage(const std::optional<std::string>& code, Settings& settings) {
    if (code || loaded_) {
        loadLanguage(code);
        if (listener_ != nullptr) {
            listener_->languageChanged();
        }
    }
    settings.language = code;
}

QString Language::getText(int id) const {
    const StringEntry* entry = findString(id);
    if (entry == nullptr) {
        return {};
    }
    return translate(entry->text, entry->context);
}

QString Language::translate(std::string_view english, int context) const {
    if (loaded_) {
        if (const std::string* translated = findTranslation(file_, english, context)) {
            return QString::fromStdString(*translated);
        }
    }
    return fromUtf8(english);
}

std::string LanguageTextProvider::text(const NetText& text) {
    const QString translated =
        text.id != 0 ? language_.getText(text.id) : language_.translate(text.english);
    return translated.toStdString();
}

} // namespace chronvale
