#pragma once
// The user-visible texts of the online services, with their string-table numbers.
//
// The services never show anything themselves: they hand texts to their owner.
// Each text is asked for through TextProvider, so the application can translate
// it (its language files are keyed by these numbers) before it is formatted.

#include <string>

namespace chronvale {

struct NetText {
    int id;
    const char* english;
};

inline constexpr NetText kTextDownloadingImage{1417, "Downloading satellite image"};
inline constexpr NetText kTextUnableToConnect{
    1418, "Unable to connect. Check your internet connection and proxy settings in preferences."};
inline constexpr NetText kTextComplete{1419, "Complete"};
inline constexpr NetText kTextConnecting{1420, "Connecting to satellite server..."};
inline constexpr NetText kTextCheckingNewest{1421, "Checking for new satellite data..."};
inline constexpr NetText kTextDownloadingNewest{1422, "Downloading latest satellite image..."};
inline constexpr NetText kTextFileNotFound{1425, "File Not Found (%s)"};
inline constexpr NetText kTextErrorCaption{1429, "Error"};
inline constexpr NetText kTextDownloadingQuakes{1433, "Downloading Earthquake data..."};
// Not in the string table (id 0): shown in English whatever the language.
inline constexpr NetText kTextQuakesRecorded{0, "%i earthquake events recorded in the past 7 days"};
inline constexpr NetText kTextBrowserError{
    1440, "Unable to open the specified Browser. Please check the preference settings."};
inline constexpr NetText kTextBrowserErrorCaption{1442, "Browser Error"};
inline constexpr NetText kTextBrowserAddress{30161, "Address: %s"};
inline constexpr NetText kTextCopyAddress{30162, "&Copy Address"};

class TextProvider {
public:
    virtual ~TextProvider() = default;
    // The text in the user's language; the English text by default.
    virtual std::string text(const NetText& text) { return text.english; }
};

// Replaces the first "%s" (or "%i") of a pattern; patterns come from language
// files, so no printf is used on them.
std::string formatText(const std::string& pattern, const std::string& value);

} // namespace chronvale
