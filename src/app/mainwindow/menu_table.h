#pragma once
// The main window's menus and toolbar as tables: the window builds its QMenus and
// QToolBar from them, so adding a command later is one row. Texts are string ids
// (app/string_table.h), icons positions in the icon strip (ui/icon_index.h).
//
// Commands whose dialog or action does not exist yet have no row: a menu shows no
// item that does nothing.

#include <optional>
#include <span>
#include <string_view>

namespace chronvale {

enum class MenuItemKind {
    Command,      // one item: `command`, text `textId`
    Separator,    //
    Submenu,      // text `textId`, items `items`
    Languages,    // the languages whose file exists (see languageItems())
    NearbyCities, // the ten cities nearest the click, commands `command` + slot
};

struct MenuItem {
    MenuItemKind kind = MenuItemKind::Separator;
    int command = 0;
    int textId = 0;
    std::span<const MenuItem> items = {};
};

// The menu bar: its items are the top-level submenus.
std::span<const MenuItem> mainMenuTable();
// The map's context menu.
std::span<const MenuItem> contextMenuTable();

struct ToolbarButton {
    int command = 0; // 0: a separator
    int icon = 0;
    int tipId = 0;
};

// Left to right.
std::span<const ToolbarButton> toolbarTable();

struct LanguageItem {
    int command = 0;
    std::string_view code; // empty for English, the built-in texts
    int textId = 0;
};

// In menu order: English first, then the others alphabetically by English name.
std::span<const LanguageItem> languageItems();
// The language of a language command; none for other commands.
const LanguageItem* findLanguageItem(int command);

// The icon beside a menu item; none for items without one.
std::optional<int> menuIconOf(int command);

// The keys of a main menu command (Qt's portable text, "Ctrl+Left"); none for
// commands without.
std::optional<std::string_view> menuShortcutOf(int command);

// Commands shown as checked items and pressed buttons: the display switches.
bool isCheckableCommand(int command);

} // namespace chronvale
