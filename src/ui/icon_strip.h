#pragma once
// The program's icon strip: 56 small icons drawn as SVG and compiled into the
// program, addressed by their fixed position (ui/icon_index.h). Each icon is
// drawn for 16 x 16 pixels and renders crisply at twice that size.

#include "ui/icon_index.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

class QSvgRenderer;

namespace chronvale {

class IconStrip {
public:
    static constexpr int kIconSize = 16;

    // Loads every icon from the compiled-in resources. Needs a QGuiApplication
    // for the QIcon and QPixmap results.
    IconStrip();
    ~IconStrip();
    IconStrip(const IconStrip&) = delete;
    IconStrip& operator=(const IconStrip&) = delete;

    int count() const { return IconCount; }

    // The icon with 16 and 32 pixel pixmaps (32 serves screens at twice the
    // density); a null icon for a position outside the strip.
    QIcon icon(int index) const;

    // The icon drawn into a size x size pixmap; null outside the strip or for a
    // size below 1.
    QPixmap pixmap(int index, int size) const;

    // The same as an ARGB image (premultiplied), usable without a screen.
    QImage image(int index, int size) const;

    // The resource path of the icon's SVG source (":/icons/…svg"), or empty
    // outside the strip.
    static QString sourcePath(int index);

    // The file name of the icon's SVG source, as kept in resources/icons/.
    static QString sourceFileName(int index);

private:
    std::vector<std::unique_ptr<QSvgRenderer>> renderers_; // by position
    std::vector<QIcon> icons_;                             // built once, by position
};

} // namespace chronvale
