// chronvale-icons: renders the icon strip.
//   --sheet FILE     a contact sheet of all icons with their positions (PNG)
//   --desktop DIR NAME  the program icon as DIR/<n>x<n>/apps/NAME.png at the sizes
//                       of the desktop's icon theme, n = 16 ... 256

#include "ui/icon_strip.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

namespace {

using chronvale::IconStrip;

// One cell per icon: the 16 pixel rendering enlarged three times without
// smoothing (to judge the pixels), the 32 pixel rendering, the 16 pixel one at
// its own size, each on a light and a dark ground, and the position with the
// source name.
bool writeSheet(const IconStrip& strip, const QString& file) {
    constexpr int kColumns = 4;
    constexpr int kCellWidth = 300;
    constexpr int kCellHeight = 64;
    const int rows = (strip.count() + kColumns - 1) / kColumns;
    QImage sheet(kColumns * kCellWidth, rows * kCellHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xef, 0xf0, 0xf1));
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (int i = 0; i < strip.count(); ++i) {
        const int x = (i % kColumns) * kCellWidth;
        const int y = (i / kColumns) * kCellHeight;
        painter.fillRect(x + 132, y + 4, 56, 56, QColor(0x31, 0x36, 0x3b));
        painter.fillRect(x + 2, y + 4, 56, 56, Qt::white);
        const QImage small = strip.image(i, IconStrip::kIconSize);
        painter.drawImage(QRect(x + 6, y + 8, 48, 48), small);
        painter.drawImage(x + 60, y + 16, strip.image(i, 2 * IconStrip::kIconSize));
        painter.drawImage(x + 96, y + 24, small);
        painter.drawImage(x + 136, y + 16, strip.image(i, 2 * IconStrip::kIconSize));
        painter.drawImage(x + 170, y + 24, small);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x + 192, y + 4, kCellWidth - 194, 56), Qt::AlignVCenter,
                         QStringLiteral("%1\n%2").arg(i).arg(IconStrip::sourceFileName(i)));
    }
    painter.end();
    return sheet.save(file, "PNG");
}

bool writeDesktopIcons(const IconStrip& strip, const QString& dir, const QString& name) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(dir).arg(size);
        if (!QDir().mkpath(folder) ||
            !strip.image(chronvale::IconProgram, size)
                 .save(QStringLiteral("%1/%2.png").arg(folder, name), "PNG")) {
            std::fprintf(stderr, "chronvale-icons: cannot write %s\n", qPrintable(folder));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool sheet = args.size() == 3 && args[1] == "--sheet";
    const bool desktop = args.size() == 4 && args[1] == "--desktop";
    if (!sheet && !desktop) {
        std::fputs("usage: chronvale-icons --sheet FILE.png | --desktop DIR NAME\n", stderr);
        return 2;
    }
    const IconStrip strip;
    const bool ok = sheet ? writeSheet(strip, args[2]) : writeDesktopIcons(strip, args[2], args[3]);
    return ok ? 0 : 1;
}
