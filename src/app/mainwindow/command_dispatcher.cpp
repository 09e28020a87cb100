#include "app/mainwindow/command_dispatcher.h"

#include "app/mainwindow/cloud_animation.h"
#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/map_controller.h"
#include "app/mainwindow/menu_table.h"
#include "app/mainwindow/popup_cities.h"
#include "app/startup/world.h"
#include "desktop/links.h"
#include "desktop/upgrade.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"
#include "net/quake_feed.h"

#include <QDir>
#include <QFileInfo>
#include <QKeySequence>

namespace chronvale {

CommandDispatcher::CommandDispatcher(World& world, MapController& map, CloudService& cloud,
                                     QuakeFeed& quakes, LinkService& links,
                                     CloudAnimation& animation, Hooks hooks)
    : world_(world), map_(map), cloud_(cloud), quakes_(quakes), links_(links),
      animation_(animation), hooks_(std::move(hooks)) {}

void CommandDispatcher::run(int command) {
    if (nearbyCitySlot(cmd::NearbyCityWeather, command) >= 0 ||
        nearbyCitySlot(cmd::NearbyCityHotels, command) >= 0) {
        openNearbyCityLink(command);
        return;
    }
    if (const int slot = nearbyCitySlot(cmd::NearbyCityProperties, command); slot >= 0) {
        hooks_.cityProperties(static_cast<std::size_t>(slot), true);
        return;
    }
    if (findLanguageItem(command) != nullptr) {
        switchLanguage(command);
        return;
    }
    if (applySwitchCommand(DisplaySwitches{}, command, CommandContext{}).handled) {
        runSwitch(command);
        return;
    }
    MapView& view = map_.view();
    switch (command) {
    case cmd::ClearCitySelection:
        clearCitySelection();
        break;
    case cmd::UndoClearCitySelection:
        undoClearCitySelection();
        break;
    case cmd::SelectCity:
        hooks_.selectCity();
        break;
    case cmd::Properties:
        hooks_.cityProperties(0, false);
        break;
    case cmd::ZoomIn:
        view.zoomIn();
        map_.repaint();
        break;
    case cmd::ZoomOut:
        view.zoomOut();
        map_.repaint();
        break;
    case cmd::ActualPixels:
        view.actualPixels();
        map_.repaint();
        break;
    case cmd::FitToScreen:
        view.fitToScreen();
        map_.repaint();
        break;
    case cmd::NextFrame:
        animation_.next();
        break;
    case cmd::PreviousFrame:
        animation_.previous();
        break;
    case cmd::Play:
        animation_.play();
        break;
    case cmd::Stop:
        animation_.stop();
        break;
    case cmd::Refresh:
        cloud_.checkNewestImage();
        break;
    case cmd::SatelliteImage:
        links_.openLink("sat", nullptr, hooks_.now());
        break;
    case cmd::Faq: {
        const CityList& cities = world_.tables().cities;
        const std::optional<std::size_t> under = map_.cityUnderCursor();
        const CityRecord* city = under && *under < cities.size() ? &cities[*under] : nullptr;
        links_.openLink("faq", city, hooks_.now());
        break;
    }
    case cmd::Manual:
        openManual();
        break;
    case cmd::Upgrade:
        hooks_.startUpgrade(false);
        break;
    case cmd::SaveMapAs:
        if (hooks_.saveMapAs) {
            hooks_.saveMapAs();
        }
        break;
    case cmd::Quit:
        hooks_.quit();
        break;
    case cmd::Settings:
        if (hooks_.openPreferences) {
            hooks_.openPreferences();
        }
        break;
    case cmd::About:
        if (hooks_.openAbout) {
            hooks_.openAbout();
        }
        break;
    case cmd::WallpaperMode:
        if (hooks_.toggleWallpaper) {
            hooks_.toggleWallpaper();
            hooks_.syncControls();
        }
        break;
    case cmd::StartWithDesktop:
        if (hooks_.toggleAutostart) {
            hooks_.toggleAutostart();
        }
        break;
    default:
        break;
    }
}

void CommandDispatcher::runSwitch(int command) {
    CommandContext context;
    context.newestFrameCached = cloud_.frames()[0].path.has_value();
    context.quakesLoaded = !quakes_.quakeList().empty();
    context.animationRunning = animation_.running();
    const SwitchOutcome outcome = applySwitchCommand(world_.settings.switches, command, context);
    world_.switchBoard.set(outcome.switches);

    const std::uint32_t effects = outcome.effects;
    if (effects & EffectStopAnimation) {
        animation_.halt();
    }
    if (effects & EffectRebuild) {
        hooks_.compose();
    }
    if (effects & EffectRepaint) {
        map_.repaint();
    }
    if (effects & EffectShowNewestFrame) {
        animation_.showNewest();
    }
    if (effects & EffectRequestQuakes) {
        quakes_.requestQuakes();
    }
    if (effects & EffectSync) {
        hooks_.syncControls();
    }
    if (effects & EffectUpdateAnimation) {
        hooks_.updateButtons();
    }
}

void CommandDispatcher::clearCitySelection() {
    std::vector<std::size_t> marked;
    const CityList& cities = world_.tables().cities;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        if (cities[i].marked) {
            marked.push_back(i);
        }
    }
    world_.clearMarks();
    map_.repaint();
    if (marked.empty()) {
        return; // nothing was lost: an earlier clear stays undoable
    }
    clearedMarks_ = std::move(marked);
    const QString undoKey = QKeySequence(Qt::CTRL | Qt::Key_Z).toString(QKeySequence::NativeText);
    hooks_.notice(formatMessage(world_.language.getText(str::StatusMarksCleared),
                                {static_cast<int>(clearedMarks_.size()), undoKey}));
    hooks_.syncControls();
}

void CommandDispatcher::undoClearCitySelection() {
    if (clearedMarks_.empty()) {
        return;
    }
    for (const std::size_t city : clearedMarks_) {
        world_.markCity(city, true);
    }
    const int restored = static_cast<int>(clearedMarks_.size());
    clearedMarks_.clear();
    map_.repaint();
    hooks_.notice(formatMessage(world_.language.getText(str::StatusMarksRestored), {restored}));
    hooks_.syncControls();
}

void CommandDispatcher::openNearbyCityLink(int command) {
    const bool weather = nearbyCitySlot(cmd::NearbyCityWeather, command) >= 0;
    const int slot = weather ? nearbyCitySlot(cmd::NearbyCityWeather, command)
                             : nearbyCitySlot(cmd::NearbyCityHotels, command);
    const std::vector<PopupCity>& cities = map_.popupCities();
    if (slot < 0 || static_cast<std::size_t>(slot) >= cities.size()) {
        return;
    }
    const CityRecord& city = world_.tables().cities[cities[static_cast<std::size_t>(slot)].index];
    if (weather) {
        links_.openWeather(&city, hooks_.now());
    } else {
        links_.openLink("hotels", &city, hooks_.now());
    }
}

void CommandDispatcher::openManual() {
    const QString inData = QDir(world_.folders.data).filePath(QString::fromUtf8(kManualFileName));
    if (QFileInfo(QString::fromUtf8(kManualFileName)).isFile() || QFileInfo(inData).isFile()) {
        links_.openUrl(kManualFileName);
    } else {
        hooks_.startUpgrade(true);
    }
}

void CommandDispatcher::switchLanguage(int command) {
    const LanguageItem* item = findLanguageItem(command);
    if (item == nullptr) {
        return;
    }
    std::optional<std::string> code;
    if (!item->code.empty()) {
        code = std::string(item->code);
    }
    world_.language.switchLanguage(code, world_.settings);
    hooks_.languageChosen();
}

} // namespace chronvale
