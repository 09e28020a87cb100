#include "i18n/messages.h"
#include "support/recording_message_sink.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

std::string format(const char* text, std::initializer_list<MessageArg> args = {}) {
    return formatMessage(QString::fromUtf8(text), args).toStdString();
}

TEST(FormatMessage, FillsThePlaceholdersOfTheProgramsTexts) {
    EXPECT_EQ(format("%s (%i)", {"Winsock Error", 10061}), "Winsock Error (10061)");
    EXPECT_EQ(format("Unable to load file '%s'", {"location.dat"}),
              "Unable to load file 'location.dat'");
    EXPECT_EQ(format("Scale: %0.2f km", {39.1359}), "Scale: 39.14 km");
    EXPECT_EQ(format("%02i:%02i:%02i", {7, 5, 0}), "07:05:00");
    EXPECT_EQ(format("%i earthquake events", {-3}), "-3 earthquake events");
    EXPECT_EQ(format("100%% ok, %5s|%-5s|%.2s", {"ab", "cd", "xyz"}), "100% ok,    ab|cd   |xy");
    EXPECT_EQ(format("%x %X %o %c", {255, 255, 8, 0x4E}), "ff FF 10 N");
    EXPECT_EQ(format("%u", {-1}), "4294967295");
    EXPECT_EQ(format("%#x %#i %+d", {255, 5, 5}), "0xff 5 +5");
    EXPECT_EQ(format("Stadt: %s", {QStringLiteral("Zürich")}), "Stadt: Zürich");
}

TEST(FormatMessage, ToleratesFormatsThatDoNotMatchTheirArguments) {
    // A translated format may ask for other arguments than the code gives.
    EXPECT_EQ(format("%i (%s)", {"text", 42}), "text (42)");
    EXPECT_EQ(format("%s %s %s", {"one"}), "one  ");
    EXPECT_EQ(format("%0.2f", {3}), "3.00");
    EXPECT_EQ(format("%d", {2.9}), "2");
    EXPECT_EQ(format("%n%p %", {1}), "%n%p %");
    EXPECT_EQ(format("trailing %-", {}), "trailing %-");
    EXPECT_EQ(format("no placeholders", {1, "x"}), "no placeholders");
    // Absurd widths and precisions are capped instead of filling memory.
    EXPECT_EQ(format("%999999999d", {1}).size(), 100u);
    EXPECT_LE(format("%.999999f", {1.0}).size(), 102u);
}

TEST(MessageBoxes, ErrorsHaveTheCaptionError) {
    RecordingMessageSink sink;
    showError(sink, QStringLiteral("Unable to load file '%s'"), {"tz_data.dat"});
    showMessage(sink, QStringLiteral("Browser Error"), QStringLiteral("Unable to open"), {},
                MessageSink::Icon::Warning);
    ASSERT_EQ(sink.boxes.size(), 2u);
    EXPECT_EQ(sink.boxes[0].caption, "Error");
    EXPECT_EQ(sink.boxes[0].text, "Unable to load file 'tz_data.dat'");
    EXPECT_EQ(sink.boxes[1].caption, "Browser Error");
    EXPECT_EQ(sink.boxes[1].icon, MessageSink::Icon::Warning);
}

} // namespace
} // namespace chronvale
