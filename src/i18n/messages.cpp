#include "i18n/messages.h"

#include "i18n/language.h"
#include "i18n/string_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace chronvale {

namespace {

constexpr int maxWidth = 100;

struct Placeholder {
    std::string flags; // each of "-+ #0" at most once
    int width = -1;
    int precision = -1;
    char conversion = 0;
};

QString asText(const MessageArg& arg) {
    return std::visit(
        [](const auto& value) -> QString {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, QString>) {
                return value;
            } else if constexpr (std::is_same_v<T, long long>) {
                return QString::number(value);
            } else {
                return QString::number(value, 'g', 6);
            }
        },
        arg.value());
}

template <typename T> QString printfOne(const Placeholder& p, const char* length, T value) {
    std::string conversionText = "%";
    for (char flag : p.flags) {
        // "#" is defined only for the octal, hexadecimal and floating conversions.
        if (flag != '#' ||
            std::string_view("oxXeEfgG").find(p.conversion) != std::string_view::npos) {
            conversionText += flag;
        }
    }
    if (p.width >= 0) {
        conversionText += std::to_string(p.width);
    }
    if (p.precision >= 0) {
        conversionText += "." + std::to_string(p.precision);
    }
    conversionText += length;
    conversionText += p.conversion;
    const int size = std::snprintf(nullptr, 0, conversionText.c_str(), value);
    if (size <= 0) {
        return {};
    }
    std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(buffer.data(), buffer.size(), conversionText.c_str(), value);
    buffer.resize(static_cast<std::size_t>(size));
    return QString::fromStdString(buffer);
}

QString padded(const Placeholder& p, QString text) {
    if (p.precision >= 0 && text.size() > p.precision) {
        text.truncate(p.precision);
    }
    if (p.width > text.size()) {
        const bool left = p.flags.find('-') != std::string::npos;
        text = left ? text.leftJustified(p.width) : text.rightJustified(p.width);
    }
    return text;
}

long long asInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double limit = 9.2e18;
    return static_cast<long long>(std::clamp(value, -limit, limit)); // truncates toward zero
}

QString formatOne(const Placeholder& p, const MessageArg* arg) {
    if (arg == nullptr) {
        return {};
    }
    const auto& value = arg->value();
    const auto* text = std::get_if<QString>(&value);
    switch (p.conversion) {
    case 's':
        return padded(p, asText(*arg));
    case 'c':
        if (text) {
            return padded(p, text->left(1));
        } else {
            const long long code = std::holds_alternative<long long>(value)
                                       ? std::get<long long>(value)
                                       : asInteger(std::get<double>(value));
            const bool valid = code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
            const char32_t character = valid ? static_cast<char32_t>(code) : 0;
            return padded(p, valid ? QString::fromUcs4(&character, 1) : QString());
        }
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        if (text) {
            return padded({p.flags, p.width, -1, 's'}, *text);
        }
        const long long number = std::holds_alternative<long long>(value)
                                     ? std::get<long long>(value)
                                     : asInteger(std::get<double>(value));
        if (p.conversion == 'd' || p.conversion == 'i') {
            return printfOne(p, "ll", number);
        }
        // An int of the C library: negative numbers show as their 32-bit pattern.
        const bool fitsInt =
            number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max();
        const unsigned long long bits =
            fitsInt ? static_cast<unsigned int>(number) : static_cast<unsigned long long>(number);
        return printfOne(p, "ll", bits);
    }
    default: { // e E f g G
        if (text) {
            return padded({p.flags, p.width, -1, 's'}, *text);
        }
        const double number = std::holds_alternative<double>(value)
                                  ? std::get<double>(value)
                                  : static_cast<double>(std::get<long long>(value));
        return printfOne(p, "", number);
    }
    }
}

int readCount(const QString& format, qsizetype& at) {
    int value = 0;
    while (at < format.size() && format[at].isDigit() && format[at].unicode() < 128) {
        value = std::min(value * 10 + (format[at].unicode() - '0'), maxWidth);
        ++at;
    }
    return value;
}

} // namespace

QString formatMessage(const QString& format, std::initializer_list<MessageArg> args) {
    static const QString flagChars = QStringLiteral("-+ #0");
    static const QString lengthChars = QStringLiteral("hlLqjzt");
    static const QString conversions = QStringLiteral("diuxXocsfeEgG");
    QString out;
    auto next = args.begin();
    const qsizetype size = format.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (format[i] != u'%') {
            out += format[i];
            continue;
        }
        qsizetype at = i + 1;
        if (at < size && format[at] == u'%') {
            out += u'%';
            i = at;
            continue;
        }
        Placeholder p;
        while (at < size && flagChars.contains(format[at])) {
            const char flag = static_cast<char>(format[at].unicode());
            if (p.flags.find(flag) == std::string::npos) {
                p.flags += flag;
            }
            ++at;
        }
        if (at < size && format[at].isDigit()) {
            p.width = readCount(format, at);
        }
        if (at < size && format[at] == u'.') {
            ++at;
            p.precision = readCount(format, at);
        }
        while (at < size && lengthChars.contains(format[at])) {
            ++at;
        }
        if (at >= size || !conversions.contains(format[at])) {
            // Not a placeholder: show it as written, consume no argument.
            const qsizetype end = std::min(at + 1, size);
            out += format.mid(i, end - i);
            i = end - 1;
            continue;
        }
        p.conversion = static_cast<char>(format[at].unicode());
        const MessageArg* arg = next != args.end() ? &*next++ : nullptr;
        out += formatOne(p, arg);
        i = at;
    }
    return out;
}

void showError(MessageSink& sink, const QString& format, std::initializer_list<MessageArg> args) {
    sink.messageBox(QStringLiteral("Error"), formatMessage(format, args), MessageSink::Icon::None);
}

void showMessage(MessageSink& sink, const QString& caption, const QString& format,
                 std::initializer_list<MessageArg> args, MessageSink::Icon icon) {
    sink.messageBox(caption, formatMessage(format, args), icon);
}

void MessageLoadErrorSink::unableToLoad(std::string_view fileName) {
    showError(sink_, language_.getText(str::UnableToLoadFile), {fileName});
}

} // namespace chronvale
