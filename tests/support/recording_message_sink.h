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
        QString copyText; // what the box offers to copy; empty for a plain box
    };
    void messageBox(const QString& caption, const QString& text, Icon icon) override {
        boxes.push_back({caption, text, icon, {}});
    }
    void messageBoxWithCopy(const QString& caption, const QString& text, Icon icon,
                            const QString& copyText, const QString&) override {
        boxes.push_back({caption, text, icon, copyText});
    }
    std::vector<Box> boxes;
};

} // namespace chronvale
