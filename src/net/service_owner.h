#pragma once
// What the image-server services (cloud frames, earthquakes) need from the
// window that owns them. Nothing in src/net knows the main window: it implements
// these interfaces, and the tests implement them with recorders.

#include "net/net_texts.h"

#include <string>

namespace chronvale {

class ServiceOwner : public TextProvider {
public:
    // A text in part `part` of the status bar (0 is the message part).
    virtual void showStatus(int part, const std::string& text) = 0;
    // A message box owned by the main window, with an OK button.
    virtual void showErrorBox(const std::string& text, const std::string& caption) = 0;
    // Whether the cloud animation timer runs.
    virtual bool animationRunning() = 0;
    // Stops the animation timer and updates the animation buttons.
    virtual void stopAnimationTimer() = 0;
};

} // namespace chronvale
