#pragma once
// Runs a desktop's command-line tool (gsettings, xfconf-query, feh …) and waits
// for it, with a bound, so that a hanging tool cannot freeze the program.

#include <QString>
#include <QStringList>
#include <optional>

namespace chronvale {

inline constexpr int kToolTimeoutMs = 10000;

// The tool's standard output when it ran and exited with 0; none otherwise (not
// found, failed to start, timed out, other exit code).
std::optional<QString> runTool(const QString& program, const QStringList& arguments);
// The same with variables set in its environment ("NAME=value").
std::optional<QString> runTool(const QString& program, const QStringList& arguments,
                               const QStringList& environment);

// Whether `program` is found in PATH.
bool toolExists(const QString& program);

} // namespace chronvale
