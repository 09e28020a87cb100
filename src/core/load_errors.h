#pragma once
// How the data and image loaders tell the user that a file could not be read.
//
// The libraries never show UI. A loader that fails calls unableToLoad() with the
// bare name of the file ("location.dat", "images/earth_day.bmp"); the application
// turns that into the translated "Unable to load file '%s'" message box, the
// command-line tools print it.

#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

class LoadErrorSink {
public:
    virtual ~LoadErrorSink() = default;
    virtual void unableToLoad(std::string_view fileName) = 0;
};

// The English message for a file that could not be loaded.
std::string unableToLoadText(std::string_view fileName);

// Writes the English message to standard error.
class StderrLoadErrorSink final : public LoadErrorSink {
public:
    void unableToLoad(std::string_view fileName) override;
};

// Keeps the names it was given, in order; for tools that report at the end and for tests.
class RecordingLoadErrorSink final : public LoadErrorSink {
public:
    void unableToLoad(std::string_view fileName) override { files.emplace_back(fileName); }
    std::vector<std::string> files;
};

} // namespace chronvale
