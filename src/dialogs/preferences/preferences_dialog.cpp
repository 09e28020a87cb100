#include "dialogs/preferences/preferences_dialog.h"

#include "core/text_scan.h"
#include "i18n/language.h"
#include "i18n/string_table.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <string>

namespace chronvale {

namespace {

// The page index a tree item shows (the item's data).
constexpr int kPageRole = Qt::UserRole;

std::optional<std::string> textOrNone(const QString& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return text.toStdString();
}

QString textOf(const std::optional<std::string>& text) {
    return text ? QString::fromStdString(*text) : QString();
}

// A message beside a field: shown only while the field is refused.
QLabel* refusalLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setStyleSheet(QStringLiteral("color: #b00020;"));
    label->hide();
    return label;
}

} // namespace

int leadingNumber(const QString& text) {
    const std::string bytes = text.trimmed().toStdString();
    std::size_t pos = 0;
    return readInteger(bytes, pos);
}

PreferencesDialog::PreferencesDialog(Settings& settings, const Language& language,
                                     QStringList browsers, std::vector<CentreChoice> centres,
                                     Hooks hooks, QWidget* parent)
    : Dialog(Number, parent), settings_(settings), language_(language),
      browsers_(std::move(browsers)), centres_(std::move(centres)), hooks_(std::move(hooks)) {
    if (centres_.empty()) {
        centres_ = centreChoices(CityList{});
    }
    setWindowTitle(language_.getText(str::PreferencesTitle));
    setModal(true);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("tree1774"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pages_ = new QStackedWidget(this); // stands in for the invisible tab control 1785
    pages_->addWidget(makeOptionsPage());
    pages_->addWidget(makeBrowserPage());
    pages_->addWidget(makeProxyPage());
    const int texts[] = {str::PageOptions, str::PageSettings, str::PageProxy};
    for (int page = 0; page < 3; ++page) {
        auto* item = new QTreeWidgetItem(tree_, QStringList{language_.getText(texts[page])});
        item->setData(0, kPageRole, page);
    }
    // As wide as the longest text of the language.
    int widest = 0;
    for (int page = 0; page < tree_->topLevelItemCount(); ++page) {
        widest = std::max(
            widest, tree_->fontMetrics().horizontalAdvance(tree_->topLevelItem(page)->text(0)));
    }
    tree_->setFixedWidth(widest + 2 * tree_->frameWidth() + 24);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) {
            pages_->setCurrentIndex(item->data(0, kPageRole).toInt());
        }
    });

    buttons_ = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons_->addButton(language_.getText(str::PreferencesOk), QDialogButtonBox::AcceptRole);
    buttons_->addButton(language_.getText(str::PreferencesCancel), QDialogButtonBox::RejectRole);
    connect(buttons_, &QDialogButtonBox::accepted, this, &PreferencesDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &PreferencesDialog::reject);

    auto* body = new QHBoxLayout;
    body->addWidget(tree_);
    body->addWidget(pages_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons_);

    fill();
    tree_->setCurrentItem(tree_->topLevelItem(0));
    ok->setDefault(true);
    ok->setFocus();
}

PreferencesDialog::~PreferencesDialog() = default;

QWidget* PreferencesDialog::makeOptionsPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(language_.getText(str::OptionsGroup), page);
    refresh_ = new QLineEdit(group);
    refresh_->setObjectName(QStringLiteral("edit1918"));
    refresh_->setMaximumWidth(90);
    connect(refresh_, &QLineEdit::textChanged, this, &PreferencesDialog::validate);
    refreshMessage_ = refusalLabel(group);
    info_ = new QCheckBox(language_.getText(str::OptionsScaleInfo), group);
    info_->setObjectName(QStringLiteral("check1034"));
    loop_ = new QCheckBox(language_.getText(str::OptionsLoopAnimation), group);
    loop_->setObjectName(QStringLiteral("check1035"));
    systemZones_ = new QCheckBox(language_.getText(str::OptionsSystemZones), group);
    systemZones_->setObjectName(QStringLiteral("checkSystemZones"));

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(language_.getText(str::OptionsShadowUpdate), group), 0, 0);
    grid->addWidget(refresh_, 0, 1);
    grid->addWidget(new QLabel(language_.getText(str::OptionsShadowUpdateUnit), group), 0, 2);
    grid->addWidget(refreshMessage_, 1, 1, 1, 2);
    grid->addWidget(info_, 2, 0, 1, 3);
    grid->addWidget(loop_, 3, 0, 1, 3);
    grid->addWidget(systemZones_, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(makeWallpaperGroup(page));
    layout->addStretch(1);
    return page;
}

QGroupBox* PreferencesDialog::makeWallpaperGroup(QWidget* page) {
    auto* group = new QGroupBox(language_.getText(str::OptionsWallpaperGroup), page);
    // The width is a cap on each picture: unticked, every monitor gets its own
    // resolution.
    widthCap_ = new QCheckBox(language_.getText(str::OptionsWidthCap), group);
    widthCap_->setObjectName(QStringLiteral("checkWidthCap"));
    wallpaperWidth_ = new QLineEdit(group);
    wallpaperWidth_->setObjectName(QStringLiteral("edit1919"));
    wallpaperWidth_->setMaximumWidth(90);
    connect(wallpaperWidth_, &QLineEdit::textChanged, this, &PreferencesDialog::validate);
    connect(widthCap_, &QCheckBox::toggled, this, [this](bool on) {
        wallpaperWidth_->setEnabled(on);
        validate();
    });
    widthMessage_ = refusalLabel(group);

    placement_ = new QComboBox(group);
    placement_->setObjectName(QStringLiteral("comboPlacement"));
    placement_->addItem(language_.getText(str::OptionsPlacementFit), 0);
    placement_->addItem(language_.getText(str::OptionsPlacementFill), 1);
    centre_ = new QComboBox(group);
    centre_->setObjectName(QStringLiteral("comboCentre"));
    centre_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* grid = new QGridLayout(group);
    grid->addWidget(widthCap_, 0, 0);
    grid->addWidget(wallpaperWidth_, 0, 1);
    grid->addWidget(new QLabel(language_.getText(str::OptionsWallpaperWidthUnit), group), 0, 2);
    grid->addWidget(widthMessage_, 1, 1, 1, 2);
    grid->addWidget(new QLabel(language_.getText(str::OptionsPlacement), group), 2, 0);
    grid->addWidget(placement_, 2, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(language_.getText(str::OptionsCentre), group), 3, 0);
    grid->addWidget(centre_, 3, 1, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    return group;
}

void PreferencesDialog::fillCentres() {
    const float stored = settings_.wallpaperCentre;
    std::optional<std::size_t> chosen = centreChoiceOf(stored, centres_);
    if (!chosen && std::isfinite(stored)) {
        // A longitude none of the choices stands for stays as it is.
        centres_.push_back({CentreChoice::Kind::Other, {}, stored});
        chosen = centres_.size() - 1;
    }
    for (const CentreChoice& choice : centres_) {
        QString text;
        switch (choice.kind) {
        case CentreChoice::Kind::Greenwich:
            text = language_.getText(str::OptionsCentreGreenwich);
            break;
        case CentreChoice::Kind::DateLine:
            text = language_.getText(str::OptionsCentreDateLine);
            break;
        case CentreChoice::Kind::City:
            text = QString::fromStdString(choice.name);
            break;
        case CentreChoice::Kind::Other:
            text = QStringLiteral("%1\u00b0").arg(static_cast<double>(choice.longitude), 0, 'f', 2);
            break;
        }
        centre_->addItem(text, static_cast<double>(choice.longitude));
    }
    centre_->setCurrentIndex(chosen ? static_cast<int>(*chosen) : 0);
}

QWidget* PreferencesDialog::makeBrowserPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(language_.getText(str::BrowserGroup), page);
    browser_ = new QComboBox(group);
    browser_->setObjectName(QStringLiteral("combo1023"));
    browser_->setEditable(true);
    browser_->setInsertPolicy(QComboBox::NoInsert);
    browser_->setMinimumWidth(260);
    // In the resource, but without a function: hidden and disabled.
    auto* newWindow = new QCheckBox(language_.getText(str::BrowserNewWindow), group);
    newWindow->setObjectName(QStringLiteral("check1909"));
    newWindow->setEnabled(false);
    newWindow->hide();

    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(language_.getText(str::BrowserLabel), group), 0, 0);
    grid->addWidget(browser_, 0, 1);
    grid->addWidget(newWindow, 1, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* PreferencesDialog::makeProxyPage() {
    auto* page = new QWidget;
    auto* typeGroup = new QGroupBox(language_.getText(str::ProxyTypeGroup), page);
    auto* typeLayout = new QVBoxLayout(typeGroup);
    auto* buttonGroup = new QButtonGroup(this);
    const int texts[] = {str::ProxyNone, str::ProxyServer, str::ProxySocks4, str::ProxySocks5};
    for (int type = 0; type < 4; ++type) {
        types_[type] = new QRadioButton(language_.getText(texts[type]), typeGroup);
        types_[type]->setObjectName(QStringLiteral("radio%1").arg(1974 + type));
        buttonGroup->addButton(types_[type], type);
        typeLayout->addWidget(types_[type]);
    }
    connect(buttonGroup, &QButtonGroup::idClicked, this, [this] {
        updateProxyEnableStates();
        validate();
    });

    auto* fieldGroup = new QGroupBox(language_.getText(str::ProxySettingsGroup), page);
    host_ = new QLineEdit(fieldGroup);
    host_->setObjectName(QStringLiteral("edit1788"));
    port_ = new QLineEdit(fieldGroup);
    port_->setObjectName(QStringLiteral("edit1789"));
    port_->setMaximumWidth(90);
    userName_ = new QLineEdit(fieldGroup);
    userName_->setObjectName(QStringLiteral("edit1786"));
    password_ = new QLineEdit(fieldGroup);
    password_->setObjectName(QStringLiteral("edit1787"));
    password_->setEchoMode(QLineEdit::Password);
    portMessage_ = refusalLabel(fieldGroup);
    connect(host_, &QLineEdit::textChanged, this, &PreferencesDialog::updateProxyEnableStates);
    connect(port_, &QLineEdit::textChanged, this, &PreferencesDialog::validate);

    auto* form = new QFormLayout(fieldGroup);
    form->addRow(language_.getText(str::ProxyHost), host_);
    form->addRow(language_.getText(str::ProxyPort), port_);
    form->addRow(QString(), portMessage_);
    form->addRow(language_.getText(str::ProxyUserName), userName_);
    form->addRow(language_.getText(str::ProxyPassword), password_);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(typeGroup, 0, Qt::AlignTop);
    layout->addWidget(fieldGroup, 1, Qt::AlignTop);
    return page;
}

void PreferencesDialog::fill() {
    refresh_->setText(QString::number(settings_.refresh));
    // Without a cap the edit offers the desktop's width, greyed, for when the
    // cap is ticked.
    const bool capped = settings_.wallpaperWidth > 0;
    wallpaperWidth_->setText(
        QString::number(capped ? settings_.wallpaperWidth : settings_.desktop.width()));
    widthCap_->setChecked(capped);
    wallpaperWidth_->setEnabled(capped);
    // A stored placement other than fill shows as fit, the default.
    placement_->setCurrentIndex(settings_.wallpaperPlacement == 1 ? 1 : 0);
    fillCentres();
    info_->setChecked(settings_.showInfo);
    loop_->setChecked(settings_.loopClouds);
    systemZones_->setChecked(settings_.systemZones);

    // The current browser first, then each one found that is not listed yet.
    const QString current = textOf(settings_.browser);
    if (!current.isEmpty()) {
        browser_->addItem(current);
    }
    for (const QString& found : browsers_) {
        if (browser_->findText(found, Qt::MatchFixedString) < 0) { // ignoring case
            browser_->addItem(found);
        }
    }
    browser_->setEditText(current);

    const ProxySettings& proxy = settings_.proxy;
    setProxyType(proxy.type);
    host_->setText(textOf(proxy.host));
    userName_->setText(textOf(proxy.userName));
    password_->setText(textOf(proxy.password));
    port_->setText(QString::number(proxy.port));
    updateProxyEnableStates();
    validate();
}

QRadioButton* PreferencesDialog::typeButton(int type) const {
    return type >= 0 && type < 4 ? types_[type] : nullptr;
}

int PreferencesDialog::proxyType() const {
    if (types_[1]->isChecked()) {
        return 1;
    }
    if (types_[2]->isChecked()) {
        return 2;
    }
    return types_[3]->isChecked() ? 3 : 0;
}

void PreferencesDialog::setProxyType(int type) {
    // A stored type that is none of the four shows as None.
    types_[type >= 0 && type < 4 ? type : 0]->setChecked(true);
    updateProxyEnableStates();
    validate();
}

void PreferencesDialog::updateProxyEnableStates() {
    if (host_ == nullptr) {
        return; // still being built
    }
    const int type = proxyType();
    host_->setEnabled(type != 0);
    port_->setEnabled(type != 0);
    userName_->setEnabled(type != 0);
    password_->setEnabled(type == 1 || type == 3); // SOCKS 4 has no password
}

bool PreferencesDialog::inputAccepted() const {
    return refreshMessage_->isHidden() && widthMessage_->isHidden() && portMessage_->isHidden();
}

QPushButton* PreferencesDialog::okButton() const {
    for (QAbstractButton* button : buttons_->buttons()) {
        if (buttons_->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            return static_cast<QPushButton*>(button);
        }
    }
    return nullptr;
}

void PreferencesDialog::validate() {
    if (buttons_ == nullptr || port_ == nullptr || refresh_ == nullptr || widthCap_ == nullptr) {
        return; // still being built
    }
    const int refresh = leadingNumber(refresh_->text());
    refreshMessage_->setText(language_.getText(str::OptionsRefreshRefused));
    refreshMessage_->setVisible(refresh < 0);

    const int width = leadingNumber(wallpaperWidth_->text());
    widthMessage_->setText(language_.getText(str::OptionsWidthRefused));
    widthMessage_->setVisible(widthCap_->isChecked() &&
                              (width < MinWallpaperWidth || width > MaxWallpaperWidth));

    const int port = leadingNumber(port_->text());
    portMessage_->setText(language_.getText(str::ProxyPortRefused));
    portMessage_->setVisible(proxyType() != 0 && (port < 1 || port > 65535));

    if (QPushButton* ok = okButton()) {
        ok->setEnabled(inputAccepted());
    }
}

void PreferencesDialog::accept() {
    validate();
    if (!inputAccepted()) {
        return;
    }
    // 1. Options, held aside until the proxy is handled.
    const int refresh = leadingNumber(refresh_->text());
    const int wallpaperWidth =
        widthCap_->isChecked() ? leadingNumber(wallpaperWidth_->text()) : 0; // 0: no cap
    const int placement = placement_->currentData().toInt();
    const float centre = static_cast<float>(centre_->currentData().toDouble());
    const bool info = info_->isChecked();
    const bool loop = loop_->isChecked();
    const bool systemZones = systemZones_->isChecked();
    // 2. Browser.
    const QString browser = browser_->currentText().trimmed();
    // 3. Proxy; the texts of disabled edits count too.
    ProxySettings proxy;
    proxy.host = textOrNone(host_->text().trimmed());
    proxy.userName = textOrNone(userName_->text());
    proxy.password = textOrNone(password_->text());
    proxy.port = leadingNumber(port_->text());
    proxy.type = proxyType();

    // 4. The client first, then the settings file.
    if (hooks_.applyProxy) {
        hooks_.applyProxy(proxy);
    }
    settings_.proxy = proxy;
    if (hooks_.storeProxy) {
        hooks_.storeProxy(proxy);
    } else {
        saveProxySettings(proxy);
    }
    // 5. The other values.
    settings_.browser = textOrNone(browser);
    if (hooks_.browserChosen) {
        hooks_.browserChosen(browser);
    }
    settings_.refresh = refresh;
    settings_.wallpaperWidth = wallpaperWidth;
    settings_.wallpaperPlacement = placement;
    settings_.wallpaperCentre = centre;
    settings_.showInfo = info;
    settings_.loopClouds = loop;
    settings_.systemZones = systemZones;
    if (hooks_.systemZonesChosen) {
        hooks_.systemZonesChosen(systemZones);
    }
    // 6. The shadow's timer.
    if (hooks_.restartRefreshTimer) {
        hooks_.restartRefreshTimer(refresh);
    }
    // 7.
    Dialog::accept();
}

} // namespace chronvale
