#include "app/mainwindow/command_menus.h"

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/menu_table.h"
#include "i18n/language.h"
#include "ui/icon_strip.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace chronvale {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CommandMenus::CommandMenus(QMainWindow& window, const Language& language, const IconStrip& icons,
                           QString dataFolder, std::function<void(int)> run)
    : QObject(&window), window_(window), language_(language), icons_(icons),
      dataFolder_(std::move(dataFolder)), run_(std::move(run)) {}

void CommandMenus::build() {
    buildToolbar();
    buildMenuBar();
}

QAction* CommandMenus::addCommandAction(QMenu& menu, int command, int textId, bool mainMenu) {
    QAction* action = menu.addAction(language_.getText(textId));
    action->setData(command);
    action->setCheckable(isCheckableCommand(command));
    if (const std::optional<int> icon = menuIconOf(command)) {
        action->setIcon(icons_.icon(*icon));
    }
    connect(action, &QAction::triggered, this, [this, command] { run_(command); });
    if (mainMenu) {
        if (const std::optional<std::string_view> keys = menuShortcutOf(command)) {
            action->setShortcut(QKeySequence(QString::fromLatin1(keys->data(), keys->size())));
        }
        menuActions_[command] = action;
        texts_.emplace_back(action, textId);
    }
    return action;
}

void CommandMenus::buildMenu(QMenu& menu, std::span<const MenuItem> items, bool mainMenu,
                             std::span<const PopupCity> cities, std::span<const QString> names) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItemKind::Command:
            addCommandAction(menu, item.command, item.textId, mainMenu);
            break;
        case MenuItemKind::Separator:
            menu.addSeparator();
            break;
        case MenuItemKind::Submenu: {
            QMenu* sub = menu.addMenu(language_.getText(item.textId));
            if (mainMenu) {
                texts_.emplace_back(sub->menuAction(), item.textId);
            }
            buildMenu(*sub, item.items, mainMenu, cities, names);
            break;
        }
        case MenuItemKind::Languages: {
            // English always; another language only when its file exists.
            languageGroup_ = new QActionGroup(this);
            languageGroup_->setExclusive(true);
            for (const LanguageItem& language : languageItems()) {
                if (!language.code.empty() &&
                    !languageFilePath(language.code, dataFolder_,
                                      QCoreApplication::applicationDirPath())) {
                    continue;
                }
                QAction* action = addCommandAction(menu, language.command, language.textId, true);
                action->setCheckable(true);
                languageGroup_->addAction(action);
                if (language.code.empty()) {
                    menu.addSeparator();
                }
            }
            break;
        }
        case MenuItemKind::NearbyCities:
            for (std::size_t slot = 0; slot < cities.size() && slot < names.size(); ++slot) {
                // A city name is no mnemonic: "&" stays a character.
                const QString name = QString(names[slot]).replace(QLatin1Char('&'), "&&");
                addCommandAction(menu, nearbyCityCommand(item.command, slot, cities[slot].distance),
                                 0, false)
                    ->setText(name);
            }
            break;
        }
    }
}

void CommandMenus::buildMenuBar() {
    for (const MenuItem& top : mainMenuTable()) {
        QMenu* menu = window_.menuBar()->addMenu(language_.getText(top.textId));
        texts_.emplace_back(menu->menuAction(), top.textId);
        buildMenu(*menu, top.items, true);
    }
}

void CommandMenus::buildToolbar() {
    toolbar_ = window_.addToolBar(QString());
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->toggleViewAction()->setVisible(false);
    window_.setContextMenuPolicy(Qt::NoContextMenu); // no toolbar menu on a right click
    for (const ToolbarButton& button : toolbarTable()) {
        if (button.command == 0) {
            toolbar_->addSeparator();
            continue;
        }
        const int command = button.command;
        QAction* action =
            toolbar_->addAction(icons_.icon(button.icon), language_.getText(button.tipId));
        action->setData(command);
        action->setToolTip(language_.getText(button.tipId));
        action->setCheckable(isCheckableCommand(command));
        connect(action, &QAction::triggered, this, [this, command] { run_(command); });
        toolbarActions_[command] = action;
        tips_.emplace_back(action, button.tipId);
    }
}

std::unique_ptr<QMenu> CommandMenus::makeContextMenu(QWidget* parent,
                                                     std::span<const PopupCity> cities,
                                                     std::span<const QString> names,
                                                     const DisplaySwitches& switches) {
    auto menu = std::make_unique<QMenu>(parent);
    buildMenu(*menu, contextMenuTable(), false, cities, names);
    const std::function<void(QMenu&)> mark = [&](QMenu& m) {
        for (QAction* action : m.actions()) {
            if (QMenu* sub = action->menu()) {
                mark(*sub);
                continue;
            }
            const int command = action->data().toInt();
            if (command == cmd::SunShadow) {
                action->setCheckable(false); // no check mark in this menu
                action->setEnabled(!switches.nightMap);
            } else if (action->isCheckable()) {
                action->setChecked(isSwitchOn(switches, command));
            }
        }
    };
    mark(*menu);
    return menu;
}

void CommandMenus::retranslate() {
    for (const auto& [action, textId] : texts_) {
        action->setText(language_.getText(textId));
    }
    for (const auto& [action, tipId] : tips_) {
        action->setText(language_.getText(tipId));
        action->setToolTip(language_.getText(tipId));
    }
    checkCurrentLanguage();
}

void CommandMenus::checkCurrentLanguage() {
    const std::optional<std::string>& current = language_.current();
    for (const LanguageItem& language : languageItems()) {
        QAction* action = menuAction(language.command);
        if (action == nullptr) {
            continue;
        }
        const bool chosen = current ? QString::fromStdString(*current).compare(
                                          fromUtf8(language.code), Qt::CaseInsensitive) == 0
                                    : language.code.empty();
        if (chosen) {
            action->setChecked(true);
        }
    }
}

void CommandMenus::syncCheckStates(const DisplaySwitches& switches, bool wallpaperMode) {
    for (const auto& [command, action] : menuActions_) {
        if (command == cmd::WallpaperMode) {
            action->setChecked(wallpaperMode);
        } else if (isCheckableCommand(command)) {
            action->setChecked(isSwitchOn(switches, command));
        }
    }
    for (const auto& [command, action] : toolbarActions_) {
        if (isCheckableCommand(command)) {
            action->setChecked(isSwitchOn(switches, command));
        }
    }
}

void CommandMenus::setAnimationButtons(const AnimationButtonStates& states) {
    const auto enable = [this](int command, bool enabled) {
        if (QAction* action = toolbarAction(command)) {
            action->setEnabled(enabled);
        }
    };
    enable(cmd::PreviousFrame, states.previous);
    enable(cmd::NextFrame, states.next);
    enable(cmd::Play, states.play);
    enable(cmd::Stop, states.stop);
    enable(cmd::SunShadow, states.sunShadow);
}

QAction* CommandMenus::toolbarAction(int command) const {
    const auto found = toolbarActions_.find(command);
    return found == toolbarActions_.end() ? nullptr : found->second;
}

QAction* CommandMenus::menuAction(int command) const {
    const auto found = menuActions_.find(command);
    return found == menuActions_.end() ? nullptr : found->second;
}

std::vector<int> CommandMenus::languageCommands() const {
    std::vector<int> commands;
    if (languageGroup_ != nullptr) {
        for (const QAction* action : languageGroup_->actions()) {
            commands.push_back(action->data().toInt());
        }
    }
    return commands;
}

} // namespace chronvale
