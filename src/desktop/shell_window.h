#pragma once
// What start-up, the tray icon and a second copy of the program ask of the main
// window. The main window implements it; tests implement it with recorders.

namespace chronvale {

class ShellWindow {
public:
    virtual ~ShellWindow() = default;
    // Reloads what minimising released, shows the window restored and puts it in
    // front, also when it was hidden or minimised (tray Restore, a click on the
    // tray icon, a second start of the program).
    virtual void restoreWindow() = 0;
    // Minimises the window without releasing its images (tray Minimize).
    virtual void minimiseWindow() = 0;
    // Ends the program as the Exit command does: the settings are saved.
    virtual void exitProgram() = 0;
    // Whether the window is on screen now: shown and not minimised.
    virtual bool windowOnScreen() const = 0;
    // Takes the window off the screen into the tray (minimises it where the
    // desktop has no tray), as closing it in wallpaper mode does.
    virtual void hideWindow() = 0;
};

} // namespace chronvale
