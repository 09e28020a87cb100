#pragma once
// The desktop's style, with the accelerator underline left out of right-to-left
// texts.
//
// Qt draws the underlined letter of "&ملف" as a text run of its own, which
// breaks the joining of Arabic letters: the word falls apart into isolated
// forms. Without the underline the word is shaped whole; the accelerator still
// works (as on Windows, where the underline only shows while Alt is held).

#include <QProxyStyle>

namespace chronvale {

class MnemonicStyle final : public QProxyStyle {
public:
    // A proxy of the style named `baseKey` (QStyleFactory's keys; empty: the
    // desktop's default).
    explicit MnemonicStyle(const QString& baseKey = {});

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Makes the application's style a MnemonicStyle over the one it has.
void installMnemonicStyle();

} // namespace chronvale
