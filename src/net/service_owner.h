#pragma once
// What the image-server services (cloud frames, earthquakes) need from the
// window that owns them. Nothing in src/net knows the main window: it implements
// these interfaces, and the tests implement them with recorders.

#include "net/net_texts.h"

#include <string>

namespace chronvale {

// What a status text is about; the owner decides where each kind is shown.
enum class ServiceStatus {
    // The progress and outcome of a transfer ("Connecting...", "Complete").
    Transfer,
    // The hourly look for the newest satellite image and its download.
    NewestImageCheck,
};

class ServiceOwner : public TextProvider {
public:
    // A status text of the given kind.
    virtual void showStatus(ServiceStatus kind, const std::string& text) = 0;
    // A message box owned by the main window, with an OK button.
    virtual void showErrorBox(const std::string& text, const std::string& caption) = 0;
    // The server answered with an error element: the cloud animation must not go
    // on (its timer stops when it runs). The error box follows when the element has
    // a text.
    virtual void serverErrorReported() = 0;
};

} // namespace chronvale
