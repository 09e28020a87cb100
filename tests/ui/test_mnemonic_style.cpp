// The style that leaves the accelerator underline out of right-to-left texts,
// so that Arabic menu items are shaped as whole words.

#include "ui/mnemonic_style.h"
#include "ui_test_support.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QStyleFactory>

namespace chronvale {
namespace {

// The menu with one item of that text, as drawn.
QImage drawnMenu(QStyle& style, Qt::LayoutDirection direction, const QString& text) {
    QMenu menu;
    menu.setStyle(&style);
    menu.setLayoutDirection(direction);
    menu.addAction(text);
    menu.adjustSize();
    return menu.grab().toImage();
}

TEST(MnemonicStyle, UnderlinesAcceleratorsOnlyLeftToRight) {
    test::application();
    MnemonicStyle style(QStringLiteral("fusion"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    ASSERT_NE(fusion, nullptr);
    QWidget leftToRight;
    QWidget rightToLeft;
    rightToLeft.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(style.styleHint(QStyle::SH_UnderlineShortcut, nullptr, &leftToRight),
              fusion->styleHint(QStyle::SH_UnderlineShortcut, nullptr, &leftToRight));
    EXPECT_EQ(style.styleHint(QStyle::SH_UnderlineShortcut, nullptr, &rightToLeft), 0);
    // Other hints are the base style's.
    EXPECT_EQ(style.styleHint(QStyle::SH_Menu_SubMenuPopupDelay, nullptr, &rightToLeft),
              fusion->styleHint(QStyle::SH_Menu_SubMenuPopupDelay, nullptr, &rightToLeft));
}

TEST(MnemonicStyle, AnArabicItemWithAnAcceleratorIsDrawnAsTheWholeWord) {
    test::application();
    MnemonicStyle style(QStringLiteral("fusion"));
    const QString word = QString::fromUtf8("ملف");
    const QString marked = QString::fromUtf8("&ملف");
    EXPECT_TRUE(drawnMenu(style, Qt::RightToLeft, marked) ==
                drawnMenu(style, Qt::RightToLeft, word));
    // Left to right the underline is drawn.
    EXPECT_FALSE(drawnMenu(style, Qt::LeftToRight, QStringLiteral("&File")) ==
                 drawnMenu(style, Qt::LeftToRight, QStringLiteral("File")));
}

TEST(MnemonicStyle, IsInstalledOverTheApplicationsStyleOnce) {
    test::application();
    const QString base = QApplication::style()->name();
    installMnemonicStyle();
    const auto* installed = dynamic_cast<const MnemonicStyle*>(QApplication::style());
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->baseStyle()->name(), base);
    installMnemonicStyle();
    EXPECT_EQ(QApplication::style(), installed);
}

} // namespace
} // namespace chronvale
