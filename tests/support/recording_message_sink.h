#pragma once
// Keeps the message boxes the code under test shows.

#include "i18n/messages.h"

#include <vector>

namespace chronvale {

class RecordingMessageSink final : public MessageSink {
public:
    struct Box {
        QString caption;
        QString text;
        Icon icon;
    };
    void messageBox(const QString& caption, const QString& text, Icon icon) override {
        boxes.push_back({caption, text, icon});
    }
    std::vector<Box> boxes;
};

} // namespace chronvale
