// The main window in every shipped language: the Language submenu offers each
// one, choosing it retranslates the window at once, Arabic mirrors the window
// but not the map, and the menu texts of every script are drawn with real
// glyphs of the installed fonts, never with a font's missing-glyph box.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/menu_table.h"
#include "i18n/language_file.h"
#include "i18n/string_table.h"
#include "i18n/user_locale.h"
#include "support/shipped_languages.h"
#include "ui/status_bar.h"
#include "window_test_support.h"

#include <QAction>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTextLayout>
#include <QToolBar>
#include <algorithm>

namespace chronvale {
namespace {

// A data folder like the installed one with every language file of the build.
class LanguagesWindowTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(data.isValid());
        const auto error = test::makeDataFolderWithLanguages(data.path(), codes);
        ASSERT_FALSE(error) << *error;
        dataFolder = data.path();
    }

    void TearDown() override {
        WindowTest::TearDown();
        // The direction belongs to the application: no later test inherits it.
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    }

    bool shipped(std::string_view code) const {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }

    // The text a language file gives a string-table entry.
    static QString translated(const LanguageFile& file, int id) {
        const StringEntry* entry = findString(id);
        const std::string* text = findTranslation(file, entry->text, entry->context);
        return text != nullptr ? QString::fromStdString(*text) : QString();
    }

    const std::vector<std::string> codes = test::shippedLanguageCodes();
    QTemporaryDir data;
};

// Every item of a menu and its submenus, submenu titles included.
void collectActions(const QMenu& menu, std::vector<const QAction*>& actions) {
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            continue;
        }
        actions.push_back(action);
        if (const QMenu* sub = action->menu()) {
            collectActions(*sub, actions);
        }
    }
}

// The text a menu draws for an item: without its "&" marks and without the
// shortcut after the TAB (drawn on its own).
QString drawnText(QString text) {
    text = text.section(QLatin1Char('\t'), 0, 0);
    QString drawn;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        drawn += text[i];
    }
    return drawn;
}

// How many glyphs of `text` the font and its fallbacks draw as the
// missing-glyph box: glyph 0 of the font chosen for them, its notdef glyph.
int boxedGlyphs(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int boxed = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        boxed += static_cast<int>(std::count(glyphs.begin(), glyphs.end(), 0u));
    }
    return boxed;
}

TEST_F(LanguagesWindowTest, EveryShippedLanguageIsOfferedAndRetranslatesTheWindowAtOnce) {
    start([](World& w) { w.settings.language.reset(); });
    std::vector<int> offered;
    for (const LanguageItem& item : languageItems()) {
        if (item.code.empty() || shipped(item.code)) {
            offered.push_back(item.command);
        }
    }
    // English and one item per file: fifteen once all fourteen files ship.
    EXPECT_EQ(window->languageCommands(), offered);
    EXPECT_EQ(offered.size(), codes.size() + 1);

    for (const LanguageItem& item : languageItems()) {
        if (item.code.empty() || !shipped(item.code)) {
            continue;
        }
        const std::string code(item.code);
        SCOPED_TRACE(code);
        const LanguageFile file = parseLanguageFile(test::languageSourceText(code));
        ASSERT_NE(window->menuAction(item.command), nullptr);
        window->menuAction(item.command)->trigger();
        EXPECT_EQ(settings().language, std::optional<std::string>(code));
        EXPECT_TRUE(window->menuAction(item.command)->isChecked());
        EXPECT_EQ(window->menuAction(cmd::DayMap)->text(), translated(file, str::MenuDayMap));
        EXPECT_EQ(window->menuAction(cmd::Quit)->text(), translated(file, str::MenuQuit));
        EXPECT_EQ(window->toolbarAction(cmd::DayMap)->toolTip(), translated(file, str::TipDayMap));
        EXPECT_EQ(window->menuBar()->actions().front()->text(), translated(file, str::MenuFile));
        EXPECT_EQ(window->menuAction(item.command)->text(), translated(file, item.textId));

        // Arabic mirrors the menus, the toolbar and the status bar; the map
        // keeps west on the left.
        const Qt::LayoutDirection direction = code == "jo" ? Qt::RightToLeft : Qt::LeftToRight;
        EXPECT_EQ(window->layoutDirection(), direction);
        EXPECT_EQ(window->menuBar()->layoutDirection(), direction);
        EXPECT_EQ(window->toolBar()->layoutDirection(), direction);
        EXPECT_EQ(window->statusBarFields()->layoutDirection(), direction);
        EXPECT_EQ(window->mapPane()->layoutDirection(), Qt::LeftToRight);
    }

    window->runCommand(cmd::English);
    EXPECT_EQ(window->menuAction(cmd::DayMap)->text(), "&Day Map");
    EXPECT_EQ(window->layoutDirection(), Qt::LeftToRight);
}

TEST_F(LanguagesWindowTest, ArabicStoredAtStartLaysTheWindowOutRightToLeft) {
    ASSERT_TRUE(shipped("jo"));
    start([](World& w) { w.settings.language = "jo"; });
    EXPECT_EQ(window->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(window->mapPane()->layoutDirection(), Qt::LeftToRight);
    // The toolbar's first button sits at its right end.
    test::drainEvents();
    const QList<QAction*> buttons = window->toolBar()->actions();
    const QWidget* first = window->toolBar()->widgetForAction(buttons.front());
    const QWidget* last = window->toolBar()->widgetForAction(buttons.back());
    ASSERT_TRUE(first != nullptr && last != nullptr);
    EXPECT_GT(first->x(), last->x());

    window->menuAction(1193)->trigger(); // German
    test::drainEvents();
    EXPECT_EQ(window->layoutDirection(), Qt::LeftToRight);
    EXPECT_LT(first->x(), last->x());
}

// Qt's own texts follow the language: a German menu names the control key
// "Strg", as German keyboards do, and the dates follow the German order.
TEST_F(LanguagesWindowTest, AGermanWindowSaysStrgAndWritesGermanDates) {
    ASSERT_TRUE(shipped("de"));
    start([](World& w) { w.settings.language = "de"; });
    const auto shortcut = [this](int command) {
        return window->menuAction(command)->shortcut().toString(QKeySequence::NativeText);
    };
    EXPECT_EQ(shortcut(cmd::HourBack), QStringLiteral("Strg+Links"));
    EXPECT_EQ(shortcut(cmd::UndoClearCitySelection), QStringLiteral("Strg+Z"));
    EXPECT_EQ(QLocale().language(), QLocale::German);
    EXPECT_EQ(shortDatePattern(QLocale()), "dd.MM.yy");

    window->runCommand(cmd::English);
    EXPECT_EQ(shortcut(cmd::HourBack), QStringLiteral("Ctrl+Left"));
    EXPECT_EQ(QLocale(), QLocale::system());
}

TEST_F(LanguagesWindowTest, MenuTextsOfEveryScriptAreDrawnWithRealGlyphs) {
    // Latin, Greek, Chinese, Japanese, Korean and Arabic.
    for (const char* code : {"de", "gr", "cn", "b5", "jp", "kr", "jo"}) {
        EXPECT_TRUE(shipped(code)) << code;
    }
    start([](World& w) { w.settings.language.reset(); });
    // The detector itself: a character no font has is drawn as the box.
    const QFont menuFont = window->menuBar()->actions().front()->menu()->font();
    EXPECT_EQ(boxedGlyphs(QString::fromUcs4(U"\U0010FFFD"), menuFont), 1);

    for (const LanguageItem& item : languageItems()) {
        if (item.code.empty() || !shipped(item.code)) {
            continue;
        }
        SCOPED_TRACE(std::string(item.code));
        window->menuAction(item.command)->trigger();
        int texts = 0;
        for (const QAction* top : window->menuBar()->actions()) {
            std::vector<const QAction*> actions{top};
            collectActions(*top->menu(), actions);
            const QFont font = top->menu()->font();
            for (const QAction* action : actions) {
                const QString text = drawnText(action->text());
                EXPECT_EQ(boxedGlyphs(text, font), 0)
                    << "\"" << text.toStdString() << "\" draws boxes in "
                    << font.family().toStdString();
                ++texts;
            }
        }
        EXPECT_GT(texts, 40);
        const QFont tipFont = QApplication::font("QToolTip");
        for (const QAction* button : window->toolBar()->actions()) {
            EXPECT_EQ(boxedGlyphs(button->toolTip(), tipFont), 0)
                << button->toolTip().toStdString();
        }
    }
}

} // namespace
} // namespace chronvale
