#pragma once
// `chronvale --info`: what the program finds and loads at start-up, as text.

#include <string>

namespace chronvale {

struct Folders;

struct InfoReport {
    std::string text;
    bool allLoaded = true; // every table and image was loaded
};

// Loads the four tables and the three earth images from the data folder in the
// start-up order and describes the folders, the counts, the image sizes and every
// file that could not be loaded ("Unable to load file '%s'"). A missing file is
// reported, not fatal: the program runs on with that table empty; allLoaded tells
// the caller, so that `--info` can exit non-zero.
InfoReport infoReport(const Folders& folders);

} // namespace chronvale
