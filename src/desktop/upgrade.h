#pragma once
// The maker's external upgrade program: Upgrade starts it to look for a newer
// version, Manual asks it to fetch the manual when none is installed. Its path is
// the value `path` of chronvale.ini; without it both do nothing.

#include "desktop/browser.h"
#include "net/link_config.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace chronvale {

struct UpgradeCommand {
    QString program;
    QStringList arguments;
};

// The product code the upgrade program is told: the installation's `code`, else
// "QCEN".
std::string productCode(const LinkConfig& config);

// The program and its arguments: the product code (with "-m" before it and "_M"
// after it for the manual), then the application name. None without a `path`.
std::optional<UpgradeCommand> upgradeCommand(const LinkConfig& config, bool manualRequest);

// The file an update left beside the program: the path with ".new" in place of
// its extension (or added, when it has none).
QString pendingUpdatePath(const QString& program);

// When an update is pending, puts it in the program's place; then starts the
// program detached. False without a `path` or when it could not be started; the
// result is not reported to the user.
bool startUpgradeProgram(const LinkConfig& config, bool manualRequest,
                         const BrowserLauncher& launcher);

// The manual of the installation, an HTML file of the data folder.
inline constexpr const char* kManualFileName = "manual.html";

} // namespace chronvale
