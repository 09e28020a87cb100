#include "desktop/upgrade.h"

#include "core/product.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace chronvale {

std::string productCode(const LinkConfig& config) {
    // A product code is at most 9 characters; a longer value is cut there.
    constexpr size_t maxCodeLength = 9;
    const std::optional<std::string> code = config.value("code");
    return code && !code->empty() ? code->substr(0, maxCodeLength) : std::string("QCEN");
}

std::optional<UpgradeCommand> upgradeCommand(const LinkConfig& config, bool manualRequest) {
    const std::optional<std::string> path = config.value("path");
    if (!path || path->empty()) {
        return std::nullopt;
    }
    UpgradeCommand command;
    command.program = QString::fromStdString(*path);
    const QString code = QString::fromStdString(productCode(config));
    if (manualRequest) {
        command.arguments << QStringLiteral("-m") << code + QStringLiteral("_M");
    } else {
        command.arguments << code;
    }
    command.arguments << QString::fromUtf8(applicationName.data(),
                                           static_cast<qsizetype>(applicationName.size()));
    return command;
}

QString pendingUpdatePath(const QString& program) {
    const QFileInfo info(program);
    const QString suffix = info.suffix();
    if (suffix.isEmpty() || info.fileName().startsWith(QLatin1Char('.'))) {
        return program + QStringLiteral(".new");
    }
    return program.left(program.size() - suffix.size()) + QStringLiteral("new");
}

bool startUpgradeProgram(const LinkConfig& config, bool manualRequest,
                         const BrowserLauncher& launcher) {
    const std::optional<UpgradeCommand> command = upgradeCommand(config, manualRequest);
    if (!command) {
        return false;
    }
    const QString pending = pendingUpdatePath(command->program);
    if (pending != command->program && QFileInfo(pending).isFile()) {
        // One rename replaces the program, so that no moment leaves it missing;
        // when it fails the update stays pending for the next start.
        std::error_code ignored;
        std::filesystem::rename(QFile::encodeName(pending).toStdString(),
                                QFile::encodeName(command->program).toStdString(), ignored);
    }
    return launcher && launcher(command->program, command->arguments);
}

} // namespace chronvale
