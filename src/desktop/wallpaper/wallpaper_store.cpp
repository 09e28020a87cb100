#include "desktop/wallpaper/wallpaper_store.h"

#include <QSettings>
#include <algorithm>

namespace chronvale {

namespace {

constexpr const char* kSwitchKey = "wallpaper";
constexpr const char* kFileKey = "wallpaperfile";
constexpr const char* kTileKey = "wallpapertile";
constexpr const char* kStyleKey = "wallpaperstyle";
// The desktop interface that saved the state; absent in states saved before it was kept.
constexpr const char* kBackendKey = "wallpaperbackend";
constexpr const char* kScreensKey = "wallpaperscreens";
// Every back end's state, when more than one back end saved one.
constexpr const char* kStatesArray = "wallpaperstates";
constexpr const char* kStateBackend = "backend";
constexpr const char* kStateFile = "file";
constexpr const char* kStateTile = "tile";
constexpr const char* kStateStyle = "style";
// More entries than any user has desktops means a damaged file: the rest is left.
constexpr int kMaxStates = 64;

// A saved state holds a line per desktop, monitor or workspace and can outgrow the
// 999 bytes read back of other texts; cut to empty, it would lose the user's own
// wallpaper. Up to this size it is read back whole.
constexpr std::size_t kMaxStateText = 64 * 1024;

QString key(const char* name) {
    return QString::fromLatin1(name);
}

// Texts longer than the limit read as empty.
std::string storedText(const QSettings& program, const char* name) {
    const QByteArray bytes = program.value(key(name)).toString().toUtf8();
    return static_cast<std::size_t>(bytes.size()) > kMaxStateText ? std::string()
                                                                  : bytes.toStdString();
}

SavedDesktopState readState(const QSettings& program, const char* backend, const char* file,
                            const char* tile, const char* style) {
    return {storedText(program, backend),
            {storedText(program, file), storedText(program, tile), storedText(program, style)}};
}

void writeState(QSettings& program, const SavedDesktopState& saved, const char* backend,
                const char* file, const char* tile, const char* style) {
    program.setValue(key(backend), QString::fromStdString(saved.backend));
    program.setValue(key(file), QString::fromStdString(saved.state.file));
    program.setValue(key(tile), QString::fromStdString(saved.state.tile));
    program.setValue(key(style), QString::fromStdString(saved.state.style));
}

bool holdsAnything(const SavedDesktopState& saved) {
    return !saved.backend.empty() || saved.state != DesktopWallpaperState{};
}

} // namespace

StoredWallpaper::StoredWallpaper(bool on_, const DesktopWallpaperState& state,
                                 const std::string& backend)
    : on(on_) {
    if (SavedDesktopState one{backend, state}; holdsAnything(one)) {
        saved.push_back(std::move(one));
    }
}

const SavedDesktopState* StoredWallpaper::savedFor(const std::string& backend) const {
    const SavedDesktopState* unknown = nullptr;
    for (const SavedDesktopState& state : saved) {
        if (state.backend == backend) {
            return &state;
        }
        if (state.backend.empty()) {
            unknown = &state;
        }
    }
    return unknown;
}

void StoredWallpaper::keep(const std::string& backend, const DesktopWallpaperState& state) {
    forget(backend);
    saved.push_back({backend, state});
}

void StoredWallpaper::forget(const std::string& backend) {
    std::erase_if(saved, [&](const SavedDesktopState& s) { return s.backend == backend; });
}

std::vector<WallpaperScreen> readLastScreens(const QSettings& program) {
    const std::string text = program.value(key(kScreensKey)).toString().toStdString();
    return text.size() > 1024 ? std::vector<WallpaperScreen>{} : parseScreens(text).screens;
}

bool writeLastScreens(QSettings& program, const std::vector<WallpaperScreen>& screens) {
    const QString text = QString::fromStdString(formatScreens(screens));
    if (program.value(key(kScreensKey)).toString() == text) {
        return true;
    }
    program.setValue(key(kScreensKey), text);
    program.sync();
    return program.status() == QSettings::NoError;
}

StoredWallpaper readStoredWallpaper(const QSettings& program) {
    StoredWallpaper stored;
    bool number = false;
    stored.on = program.value(key(kSwitchKey)).toString().trimmed().toInt(&number) != 0 && number;
    // The array as QSettings writes it: wallpaperstates/size and, from 1 on,
    // wallpaperstates/<n>/backend, file, tile and style.
    const QString array = key(kStatesArray);
    const int count = std::min(
        program.value(array + QStringLiteral("/size")).toString().trimmed().toInt(), kMaxStates);
    for (int n = 1; n <= count; ++n) {
        const auto entry = [&](const char* name) {
            return (array + QStringLiteral("/%1/").arg(n) + key(name)).toStdString();
        };
        const SavedDesktopState one =
            readState(program, entry(kStateBackend).c_str(), entry(kStateFile).c_str(),
                      entry(kStateTile).c_str(), entry(kStateStyle).c_str());
        if (holdsAnything(one)) {
            stored.keep(one.backend, one.state);
        }
    }
    // The single keys: the state saved last, or the only one.
    const SavedDesktopState last = readState(program, kBackendKey, kFileKey, kTileKey, kStyleKey);
    if (holdsAnything(last)) {
        stored.keep(last.backend, last.state);
    }
    return stored;
}

bool writeStoredWallpaper(QSettings& program, const StoredWallpaper& stored) {
    program.setValue(key(kSwitchKey), QString::number(stored.on ? 1 : 0));
    writeState(program, stored.saved.empty() ? SavedDesktopState{} : stored.saved.back(),
               kBackendKey, kFileKey, kTileKey, kStyleKey);
    program.remove(key(kStatesArray));
    if (stored.saved.size() > 1) {
        program.beginWriteArray(key(kStatesArray), static_cast<int>(stored.saved.size()));
        for (std::size_t i = 0; i < stored.saved.size(); ++i) {
            program.setArrayIndex(static_cast<int>(i));
            writeState(program, stored.saved[i], kStateBackend, kStateFile, kStateTile,
                       kStateStyle);
        }
        program.endArray();
    }
    program.sync();
    return program.status() == QSettings::NoError;
}

WallpaperStore::WallpaperStore(QSettings& program) : program_(program) {
    current_ = readStoredWallpaper(program_);
}

const StoredWallpaper& WallpaperStore::load() {
    program_.sync();
    current_ = readStoredWallpaper(program_);
    return current_;
}

bool WallpaperStore::save(const StoredWallpaper& stored) {
    if (!writeStoredWallpaper(program_, stored)) {
        return false;
    }
    current_ = stored;
    return true;
}

QString WallpaperStore::fileName() const {
    return program_.fileName();
}

} // namespace chronvale
