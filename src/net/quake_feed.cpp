#include "net/quake_feed.h"

#include "net/http_client.h"
#include "net/markup.h"
#include "net/server_error.h"

#include <charconv>

namespace chronvale {

std::optional<float> parseDecimalFloat(std::string_view text) {
    size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    if (i < text.size() && text[i] == '+') {
        ++i; // from_chars takes "-" but not "+"
        if (i < text.size() && text[i] == '-') {
            return std::nullopt;
        }
    }
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error != std::errc()) {
        return std::nullopt;
    }
    return value;
}

QuakeList parseQuakes(std::string_view body) {
    QuakeList quakes;
    for (const MarkupItem& item : readMarkup(body)) {
        const std::optional<std::string> name = tagName(item);
        if (!name || !equalsNoCase(*name, "QUAKE")) {
            continue;
        }
        auto number = [&item](const char* attribute) -> std::optional<float> {
            const std::optional<std::string> text = tagAttribute(item, attribute);
            return text ? parseDecimalFloat(*text) : std::nullopt;
        };
        const std::optional<float> lat = number("lat");
        const std::optional<float> lon = number("lon");
        if (!lat || !lon) {
            continue;
        }
        QuakeRecord record;
        record.lat = *lat;
        record.lon = *lon;
        record.m = number("m").value_or(0.0f);
        record.depth = number("depth").value_or(0.0f);
        record.qt = tagAttribute(item, "qt");
        if (const std::optional<std::string> place = tagAttribute(item, "place")) {
            record.place = decodeCharacterReferences(*place);
        }
        quakes.push_back(std::move(record));
    }
    return quakes;
}

QuakeFeed::QuakeFeed(HttpClient& http, QuakeOwner& owner, std::string imageServer,
                     UrlContext context, std::function<std::time_t()> clock)
    : http_(http), owner_(owner), imageServer_(std::move(imageServer)),
      context_(std::move(context)), clock_(std::move(clock)) {}

bool QuakeFeed::requestQuakes() {
    if (http_.transferCount() > 0) {
        return false;
    }
    const std::string url = expandUrlTemplate("http://" + imageServer_ + "/earthquake.cgi", nullptr,
                                              clock_(), context_);
    // The status goes first: a transfer that ends while it starts shows its own text.
    owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextDownloadingQuakes));
    http_.httpGet(url, 0, [this](HttpRequest& request, std::intptr_t userData) {
        return onQuakeReply(request, userData);
    });
    return true;
}

int QuakeFeed::onQuakeReply(HttpRequest& request, std::intptr_t) {
    if (request.flags & HttpRequest::Redirected) {
        return HttpFollowRedirect;
    }
    if (request.flags & HttpRequest::Failed) {
        owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextUnableToConnect));
        return 0;
    }
    const std::string_view body = request.body();
    size_t count = 0;
    if (serverErrorCheck(body, owner_) == 0) {
        source_ = readDataSource(body).value_or(DataSource{});
        QuakeList received = parseQuakes(body);
        count = received.size();
        for (QuakeRecord& record : received) {
            quakes_.push_back(std::move(record));
        }
    }
    owner_.repaintMap();
    owner_.showStatus(ServiceStatus::Transfer,
                      formatText(owner_.text(kTextQuakesRecorded), std::to_string(count)));
    return 1;
}

} // namespace chronvale
