#pragma once
// The desktops that keep their wallpaper in GSettings, through the gsettings tool:
// GNOME (and Unity, Budgie, Pantheon) in org.gnome.desktop.background, Cinnamon in
// org.cinnamon.desktop.background, MATE in org.mate.background.
//
// Saved state: file = the picture key's value, tile = picture-options, style = the
// dark style's picture (picture-uri-dark, where the schema has it), each as the
// text gsettings prints (a GVariant), so that restoring sets exactly what was read.
// A key that holds its default value is saved empty and reset on restore: set to
// the default, it would stay pinned there when the system's default changes.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <QString>
#include <QStringList>

namespace chronvale {

struct GsettingsSchema {
    QString desktop; // "GNOME"
    QString schema;  // "org.gnome.desktop.background"
    QString fileKey; // "picture-uri" or "picture-filename"
    QString darkKey; // "picture-uri-dark" where the schema may have it (GNOME 42 on), else empty
    bool fileIsUri;  // the picture is a file:// URI, else a plain path
};

GsettingsSchema gnomeBackgroundSchema();
GsettingsSchema cinnamonBackgroundSchema();
GsettingsSchema mateBackgroundSchema();

// `text` as a GVariant string literal, as gsettings set takes it.
QString gvariantString(const QString& text);
// The text of a GVariant string literal as gsettings prints it; none for another value.
std::optional<QString> gvariantText(const QString& literal);

class GsettingsBackend final : public WallpaperBackend {
public:
    explicit GsettingsBackend(GsettingsSchema schema);

    std::string name() const override;
    std::string key() const override;
    bool available() const override;
    std::optional<DesktopWallpaperState> readState() override;
    // One picture spanning the monitors ('spanned').
    MonitorPictures monitorPictures() const override { return MonitorPictures::Spanned; }
    bool show(const WallpaperFiles& files) override;
    std::optional<std::vector<std::string>> shownPictures() override;
    bool restore(const DesktopWallpaperState& state) override;

private:
    std::optional<QString> get(const QString& key) const;
    // The key's value, or empty text when it holds the schema's default.
    std::optional<QString> getSaved(const QString& key) const;
    bool set(const QString& key, const QString& value) const;
    bool reset(const QString& key) const;
    // Sets key to value, or resets it when value is empty.
    bool put(const QString& key, const std::string& value) const;
    // The schema's keys, listed once; empty (and asked again next time) when
    // gsettings cannot list them.
    const QStringList& keys() const;
    // The dark style's key when this schema has it, else empty.
    QString darkKey() const;

    GsettingsSchema schema_;
    mutable QStringList keys_;
};

} // namespace chronvale
