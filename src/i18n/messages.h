#pragma once
// Message boxes with formatted texts, shown through the window that owns them.
//
// The formats come from the string table and may be replaced by a language file,
// so they are not trusted: formatMessage() takes typed arguments and never reads
// an argument that was not given, whatever the placeholders ask for.

#include "core/load_errors.h"

#include <QString>
#include <initializer_list>
#include <string_view>
#include <variant>

namespace chronvale {

class Language;

// One argument of formatMessage().
class MessageArg {
public:
    MessageArg(int value) : value_(static_cast<long long>(value)) {}
    MessageArg(long long value) : value_(value) {}
    MessageArg(double value) : value_(value) {}
    MessageArg(const QString& value) : value_(value) {}
    MessageArg(const char* value) : value_(QString::fromUtf8(value)) {}
    MessageArg(std::string_view value)
        : value_(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()))) {}

    const std::variant<long long, double, QString>& value() const { return value_; }

private:
    std::variant<long long, double, QString> value_;
};

// Fills the %-placeholders of a printf-style format (flags, width, precision and
// the conversions d i u x X o c e E f g G s, and %%) with the arguments in turn.
// An argument of another kind than the placeholder asks for is converted (a text
// where a number is expected is inserted as it is); a placeholder without an
// argument gives nothing. Widths and precisions are capped at 100.
QString formatMessage(const QString& format, std::initializer_list<MessageArg> args = {});

// What the main window implements to show a message box; tests record the calls.
class MessageSink {
public:
    enum class Icon { None, Warning };
    virtual ~MessageSink() = default;
    // A modal box with an OK button.
    virtual void messageBox(const QString& caption, const QString& text, Icon icon) = 0;
    // The same with a second button, `copyLabel`, that puts `copyText` on the
    // clipboard (and closes the box). A sink without it shows the plain box.
    virtual void messageBoxWithCopy(const QString& caption, const QString& text, Icon icon,
                                    const QString& copyText, const QString& copyLabel) {
        (void)copyText;
        (void)copyLabel;
        messageBox(caption, text, icon);
    }
};

// A box with the caption "Error" (never translated).
void showError(MessageSink& sink, const QString& format,
               std::initializer_list<MessageArg> args = {});

// A box with the given caption (empty when none).
void showMessage(MessageSink& sink, const QString& caption, const QString& format,
                 std::initializer_list<MessageArg> args = {},
                 MessageSink::Icon icon = MessageSink::Icon::None);

// Shows the translated "Unable to load file '%s'" for every file a loader could
// not read.
class MessageLoadErrorSink final : public LoadErrorSink {
public:
    MessageLoadErrorSink(const Language& language, MessageSink& sink)
        : language_(language), sink_(sink) {}
    void unableToLoad(std::string_view fileName) override;

private:
    const Language& language_;
    MessageSink& sink_;
};

} // namespace chronvale
