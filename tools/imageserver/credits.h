#pragma once
// Attribution of the mirrored data: the credit of each source that delivered is
// kept in CREDITS.txt beside the frames and served with them.

#include <QByteArray>
#include <QString>
#include <string>

namespace chronvale::imaged {

inline constexpr const char* kCreditsFile = "CREDITS.txt";

enum class DataKind { Clouds, Quakes };

// The credit the data of a known public source must carry; for other sources,
// a line naming the URL.
std::string defaultCredit(const std::string& url, DataKind kind);

// Records that the data of `kind` now comes from url with this credit, replacing
// the earlier line of that kind. False when the file cannot be written.
bool recordCredit(const QString& folder, DataKind kind, const std::string& url,
                  const std::string& credit);

// The credit recorded for the data of `kind` (without its source URL); empty
// when none is recorded.
std::string recordedCredit(const QString& folder, DataKind kind);

// The credits text served: the stored lines, and a line saying which data is
// made up when the folder holds demo content.
QByteArray creditsText(const QString& folder, bool demoFrames, bool demoQuakes);

} // namespace chronvale::imaged
