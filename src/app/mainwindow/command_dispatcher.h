#pragma once
// Runs the commands of the menus, the toolbar and the context menu by their ids:
// the display switches through their rules (command_rules.h) and the work after
// them, the view's zooms, the cloud animation, the links and the languages.

#include "app/mainwindow/command_rules.h"

#include <cstddef>
#include <ctime>
#include <functional>
#include <vector>

class QString;

namespace chronvale {

class CloudAnimation;
class CloudService;
class LinkService;
class MapController;
class QuakeFeed;
class World;
struct CityRecord;

class CommandDispatcher {
public:
    // What a command asks of the window beyond the parts it is given.
    struct Hooks {
        std::function<std::time_t()> now;
        std::function<void()> compose;        // compose the lit map again (repaints)
        std::function<void()> syncControls;   // check marks and buttons follow the switches
        std::function<void()> updateButtons;  // the animation buttons' enable states
        std::function<void()> quit;           // Exit: close the window for good
        std::function<void()> languageChosen; // the Language menu's check mark follows
        std::function<void(bool manual)> startUpgrade; // the upgrade program (or the manual)
        std::function<void()> openPreferences;         // the modal Preferences dialog
        std::function<void()> openAbout;               // the about box
        std::function<void()> toggleWallpaper;         // Wallpaper Mode on or off
        std::function<void()> saveMapAs;               // the file dialog, then the PNG
        std::function<void()> selectCity; // the city selector, created or brought forward
        std::function<void()>
            toggleAutostart; // Start with the desktop: the autostart entry on or off
        // The properties of the context menu's nearby city `slot`: modal, or in
        // the one shared modeless window.
        std::function<void(std::size_t slot, bool modal)> cityProperties;
        // A command's outcome for the status bar's message field.
        std::function<void(const QString& text)> notice;
    };

    CommandDispatcher(World& world, MapController& map, CloudService& cloud, QuakeFeed& quakes,
                      LinkService& links, CloudAnimation& animation, Hooks hooks);

    // Runs command `command` (a cmd:: id); unknown ids do nothing.
    void run(int command);

    // Whether Undo Clear City Selection has marks to give back.
    bool canUndoClear() const { return !clearedMarks_.empty(); }

private:
    void runSwitch(int command);
    void openNearbyCityLink(int command);
    void openManual();
    void switchLanguage(int command);
    void clearCitySelection();
    void undoClearCitySelection();

    World& world_;
    MapController& map_;
    CloudService& cloud_;
    QuakeFeed& quakes_;
    LinkService& links_;
    CloudAnimation& animation_;
    Hooks hooks_;
    // The cities the last Clear City Selection unmarked, until Undo gives them back.
    std::vector<std::size_t> clearedMarks_;
};

} // namespace chronvale
