#pragma once
// The icon in the desktop's notification area (tray), from which the main window
// is restored, minimised or the program ended. Where the desktop has no tray the
// program runs without one; then the window must never be hidden, or the user
// could not get it back (see hideToTray).

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class QAction;
class QIcon;
class QMenu;
class QWidget;

namespace chronvale {

class Language;
class ShellWindow;

class TrayIcon : public QObject {
    Q_OBJECT

public:
    // Command ids of the tray menu.
    static constexpr int CommandRestore = 40033;
    static constexpr int CommandMinimize = 40034;
    static constexpr int CommandExit = 414;

    // Adds the icon with the tip "Quillmar Chronvale" and the menu Restore,
    // Minimize, Exit (texts from the language) when the desktop has a tray;
    // otherwise nothing is shown and shown() is false.
    TrayIcon(ShellWindow& window, const QIcon& icon, const Language& language,
             QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the icon is in the tray.
    bool shown() const;

    // Sets the menu texts again after a change of language.
    void retranslate(const Language& language);

    // What the menu items do: 40033 restores, 40034 minimises, 414 ends the
    // program. Other ids do nothing. Returns whether it was handled.
    bool runCommand(int id);

    // What an activation of the icon does (see trayActivation).
    void activate(QSystemTrayIcon::ActivationReason reason);

    // The menu (for tests and for desktops that show it themselves).
    QMenu* menu() const { return menu_.get(); }
    QAction* action(int id) const;

private:
    ShellWindow& window_;
    std::unique_ptr<QMenu> menu_;
    QSystemTrayIcon* icon_ = nullptr; // child of this; none without a tray
};

// What activating the tray icon does to the window.
enum class TrayAction { Restore, Hide };

// A click or a middle click on the icon (the StatusNotifier host's Activate and
// SecondaryActivate: KDE and GNOME send a single activation, never a
// double-click) brings a window that is off the screen back and puts one that
// is on it away; a double-click always brings it back; the context menu's
// request (and anything unknown) does nothing.
std::optional<TrayAction> trayActivation(QSystemTrayIcon::ActivationReason reason,
                                         bool windowOnScreen);

// Hides the window when the tray icon is there to bring it back; otherwise
// minimises it to the task bar, so that the only window never disappears.
void hideToTray(QWidget& window, bool trayShown);

} // namespace chronvale
