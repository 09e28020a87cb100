#include "app/mainwindow/save_map.h"

#include "app/mainwindow/status_presenter.h"
#include "app/startup/world.h"
#include "i18n/string_table.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

namespace chronvale {

void saveMapAs(QWidget& pane, World& world, StatusPresenter& status, const ChooseMapFile& choose) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString suggested = QDir(folder.isEmpty() ? QDir::homePath() : folder)
                                  .filePath(QStringLiteral("chronvale-map.png"));
    const Language& language = world.language;
    QString path =
        choose ? choose(suggested)
               : QFileDialog::getSaveFileName(pane.window(), language.getText(str::SaveMapTitle),
                                              suggested, language.getText(str::SaveMapFilter));
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".png");
    }
    saveMapImage(pane, path, world, status);
}

bool saveMapImage(QWidget& pane, const QString& path, World& world, StatusPresenter& status) {
    const QImage image = pane.grab().toImage();
    QSaveFile file(path);
    const bool saved = !image.isNull() && file.open(QIODevice::WriteOnly) &&
                       image.save(&file, "PNG") && file.commit();
    const QString shown = QDir::toNativeSeparators(path);
    if (!saved) {
        QString reason = file.errorString();
        if (reason.isEmpty() || reason == QStringLiteral("Unknown error")) {
            reason = QStringLiteral("PNG");
        }
        file.cancelWriting();
        showError(world.messages, world.language.getText(str::SaveMapFailed), {shown, reason});
        return false;
    }
    status.showNotice(formatMessage(world.language.getText(str::StatusMapSaved), {shown}));
    return true;
}

} // namespace chronvale
