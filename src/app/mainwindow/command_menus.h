#pragma once
// The main window's menu bar, toolbar and map context menu, built from the menu
// tables: every item and button carries its command id and runs it through one
// handler. Keeps the texts so that a language switch retranslates them, and the
// check marks and enable states that follow the display switches.

#include "app/mainwindow/command_rules.h"
#include "app/mainwindow/popup_cities.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QToolBar;

namespace chronvale {

class IconStrip;
class Language;
struct MenuItem;

// What the animation buttons can do at the moment.
struct AnimationButtonStates {
    bool previous = false;
    bool next = false;
    bool play = false;
    bool stop = false;
    bool sunShadow = false;
};

class CommandMenus final : public QObject {
public:
    // `run` is called with the command of a triggered item; `dataFolder` is
    // where the language files are looked for.
    CommandMenus(QMainWindow& window, const Language& language, const IconStrip& icons,
                 QString dataFolder, std::function<void(int)> run);

    // Adds the toolbar, then the menu bar, to the window.
    void build();

    // The map's context menu with the ten nearest cities (their names from
    // `names`, in slot order), check marks as `switches` say.
    std::unique_ptr<QMenu> makeContextMenu(QWidget* parent, std::span<const PopupCity> cities,
                                           std::span<const QString> names,
                                           const DisplaySwitches& switches);

    // Every translated text in the current language; the current language checked.
    void retranslate();
    void checkCurrentLanguage();
    // Check marks and pressed buttons follow the switches and wallpaper mode.
    void syncCheckStates(const DisplaySwitches& switches, bool wallpaperMode);
    void setAnimationButtons(const AnimationButtonStates& states);

    QToolBar* toolBar() const { return toolbar_; }
    // The toolbar button or main menu item of a command; none when there is none.
    QAction* toolbarAction(int command) const;
    QAction* menuAction(int command) const;
    // The language items that stayed in the Language submenu.
    std::vector<int> languageCommands() const;

private:
    void buildMenu(QMenu& menu, std::span<const MenuItem> items, bool mainMenu,
                   std::span<const PopupCity> cities = {}, std::span<const QString> names = {});
    QAction* addCommandAction(QMenu& menu, int command, int textId, bool mainMenu);
    void buildToolbar();
    void buildMenuBar();

    QMainWindow& window_;
    const Language& language_;
    const IconStrip& icons_;
    QString dataFolder_;
    std::function<void(int)> run_;

    QToolBar* toolbar_ = nullptr;
    QActionGroup* languageGroup_ = nullptr;
    std::map<int, QAction*> toolbarActions_;
    std::map<int, QAction*> menuActions_; // main menu items
    // Every translated text: the action or menu and the string id of its text.
    std::vector<std::pair<QAction*, int>> texts_;
    std::vector<std::pair<QAction*, int>> tips_;
};

} // namespace chronvale
