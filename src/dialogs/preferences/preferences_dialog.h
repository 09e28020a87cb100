#pragma once
// The Preferences dialog (117): what the menus do not offer. A tree on the left
// chooses one of three pages on the right:
//   Options         minutes between shadow updates, the scale/cloud-date info,
//                   the looping of the cloud animation, local times from the
//                   system's time-zone database or the shipped tables; the
//                   wallpaper's optional width cap, its placement (fit or fill)
//                   and the longitude in its middle (Greenwich, the date line
//                   or a marked city)
//   Settings        the browser that opens links (the current one and the
//                   browsers found on the system)
//   Proxy/Firewall  None, Proxy Server, Socks4 or Socks5 with host, port, user
//                   name and password
//
// Nothing changes until OK. OK applies the proxy to the HTTP client and stores
// it at once, then stores the other values into the Settings record (they reach
// the settings file when the main window saves) and restarts the refresh timer.
// Cancel stores nothing.
//
// Input that can only fail is refused where it is typed: a negative refresh, a
// wallpaper width cap (when the cap is ticked) below 64 or above 16384 pixels,
// and with a proxy type chosen a
// port outside 1 to 65535 show a message beside their field, and OK stays
// disabled until they are mended. Otherwise a number is the leading decimal
// integer of its text (optional sign, digits), 0 when there are none.

#include "config/settings.h"
#include "dialogs/preferences/centre_choices.h"
#include "net/proxy_settings.h"
#include "ui/dialog.h"

#include <QString>
#include <QStringList>
#include <functional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;

namespace chronvale {

class Language;

class PreferencesDialog : public Dialog {
    Q_OBJECT
public:
    static constexpr int Number = 117;
    // The widest and narrowest wallpaper the export can make.
    static constexpr int MinWallpaperWidth = 64;
    static constexpr int MaxWallpaperWidth = 16384;

    // What OK asks of the program, in this order.
    struct Hooks {
        // Hands the proxy to the HTTP client.
        std::function<void(const ProxySettings&)> applyProxy;
        // Stores the proxy at once; none: saveProxySettings.
        std::function<void(const ProxySettings&)> storeProxy;
        // The browser that opens links from now on (empty: the default one).
        std::function<void(const QString&)> browserChosen;
        // Restarts the refresh timer: `refresh` minutes, 0 stops it for this run.
        std::function<void(int refresh)> restartRefreshTimer;
        // Local times from the system's database (true) or the shipped tables;
        // called on every OK, after the value is stored.
        std::function<void(bool systemZones)> systemZonesChosen;
    };

    // `browsers`: the programs the browser search found on the system;
    // `centres`: the wallpaper's possible middles (centreChoices); empty gives
    // Greenwich and the date line.
    PreferencesDialog(Settings& settings, const Language& language, QStringList browsers,
                      std::vector<CentreChoice> centres, Hooks hooks, QWidget* parent = nullptr);
    ~PreferencesDialog() override;

    // OK: stores everything (see above) and closes. Does nothing while a field
    // is refused.
    void accept() override;

    // The proxy type the radio buttons show: 0 None ... 3 Socks5.
    int proxyType() const;
    void setProxyType(int type);
    // False while a field is refused.
    bool inputAccepted() const;

    // The parts, for the tests and for the look of the pages.
    QTreeWidget* tree() const { return tree_; }
    QStackedWidget* pages() const { return pages_; }
    QLineEdit* refreshEdit() const { return refresh_; }
    QCheckBox* widthCapCheck() const { return widthCap_; }
    QLineEdit* wallpaperWidthEdit() const { return wallpaperWidth_; }
    QComboBox* placementCombo() const { return placement_; }
    // Each item's data is its longitude.
    QComboBox* centreCombo() const { return centre_; }
    QCheckBox* infoCheck() const { return info_; }
    QCheckBox* loopCheck() const { return loop_; }
    QCheckBox* systemZonesCheck() const { return systemZones_; }
    QComboBox* browserCombo() const { return browser_; }
    QRadioButton* typeButton(int type) const;
    QLineEdit* hostEdit() const { return host_; }
    QLineEdit* portEdit() const { return port_; }
    QLineEdit* userNameEdit() const { return userName_; }
    QLineEdit* passwordEdit() const { return password_; }
    QLabel* refreshMessage() const { return refreshMessage_; }
    QLabel* widthMessage() const { return widthMessage_; }
    QLabel* portMessage() const { return portMessage_; }
    QPushButton* okButton() const;

private:
    QWidget* makeOptionsPage();
    QGroupBox* makeWallpaperGroup(QWidget* page);
    void fillCentres();
    QWidget* makeBrowserPage();
    QWidget* makeProxyPage();
    void fill();
    void updateProxyEnableStates();
    void validate();

    Settings& settings_;
    const Language& language_;
    QStringList browsers_;
    std::vector<CentreChoice> centres_;
    Hooks hooks_;

    QTreeWidget* tree_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QLineEdit* refresh_ = nullptr;
    QCheckBox* widthCap_ = nullptr;
    QLineEdit* wallpaperWidth_ = nullptr;
    QComboBox* placement_ = nullptr;
    QComboBox* centre_ = nullptr;
    QCheckBox* info_ = nullptr;
    QCheckBox* loop_ = nullptr;
    QCheckBox* systemZones_ = nullptr;
    QComboBox* browser_ = nullptr;
    QRadioButton* types_[4] = {};
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QLineEdit* userName_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLabel* refreshMessage_ = nullptr;
    QLabel* widthMessage_ = nullptr;
    QLabel* portMessage_ = nullptr;
};

// The leading decimal integer of an edit's text (optional sign, digits; leading
// blanks skipped); 0 without digits. Values beyond the int range saturate.
int leadingNumber(const QString& text);

} // namespace chronvale
