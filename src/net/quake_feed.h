#pragma once
// The earthquakes of the past seven days, downloaded once per run from the image
// server when the user first switches the earthquake display on.

#include "net/data_source.h"
#include "net/service_owner.h"
#include "net/url_template.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace chronvale {

class HttpClient;
class HttpRequest;

struct QuakeRecord {
    std::optional<std::string> qt; // the event's time as the server wrote it
    float lon = 0.0f;              // degrees east
    float lat = 0.0f;              // degrees north
    float m = 0.0f;                // magnitude
    float depth = 0.0f;            // in the server's unit
    // Where it happened, as the server's feed names it; none from servers that
    // do not pass it.
    std::optional<std::string> place;
};

// In the order of the reply.
using QuakeList = std::vector<QuakeRecord>;

class QuakeOwner : public ServiceOwner {
public:
    // The map must be drawn again (the earthquake markers changed).
    virtual void repaintMap() = 0;
};

// The QUAKE elements of a reply body (names without regard to case), in order.
// Elements without lat or lon are left out; a missing m or depth reads as 0.
// Attributes other than lat, lon, m, depth, qt and place are passed over, so a
// server may add more.
QuakeList parseQuakes(std::string_view body);

// A decimal floating-point number ("-12.5", "+3", "1e2") read without regard to
// the locale; leading blanks are skipped and trailing text ignored. None when
// there is no number.
std::optional<float> parseDecimalFloat(std::string_view text);

class QuakeFeed {
public:
    // imageServer is "host" or "host:port"; context fills $ID and $MID.
    QuakeFeed(
        HttpClient& http, QuakeOwner& owner, std::string imageServer, UrlContext context,
        std::function<std::time_t()> clock = [] { return std::time(nullptr); });

    // Starts the download unless a transfer is active; shows "Downloading
    // Earthquake data...". True when it was started.
    bool requestQuakes();

    // The completion function of the download.
    int onQuakeReply(HttpRequest& request, std::intptr_t userData);

    const QuakeList& quakeList() const { return quakes_; }
    // What the server said about the list with it (credit, problem, stored at).
    const DataSource& source() const { return source_; }

private:
    HttpClient& http_;
    QuakeOwner& owner_;
    std::string imageServer_;
    UrlContext context_;
    std::function<std::time_t()> clock_;
    QuakeList quakes_;
    DataSource source_;
};

} // namespace chronvale
