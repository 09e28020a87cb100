#pragma once
// URL templates: the addresses of the web pages about a city and of the image
// server requests, with placeholders filled in for a city, the map and a time.

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct CityRecord;

// What a template is filled with besides the city and the time.
struct UrlContext {
    std::string languageCode;          // %LANG%; empty when there is none
    std::optional<std::string> cookie; // %ID%, the partner identifier
    std::string clientId;              // $ID
    std::string machineId;             // $MID
    float zoom = 1.0f;                 // the map view's zoom factor, for %SCALE%
    // The city's country through its time zone, for %COUNTRY% and $QUERY.
    std::function<std::string(const CityRecord&)> countryOfCity;
    // Without a city, %LAT% and %LONG% give this point (2 decimals): the
    // application passes the point of the last mouse press on the map.
    float fallbackLatitude = 0.0f;
    float fallbackLongitude = 0.0f;
};

// Fills the placeholders, each over the whole text, left to right, in this
// order: %LANG% (without a language every "/%LANG%" goes first), %ID% (or, when
// the cookie is missing, empty or reads as 1000, every "?id=%ID%" is removed),
// %CITY%, %COUNTRY%, %LAT%, %LONG%, %SCALE%, $YYYY, $MM, $DD, $HH (the UTC hour
// plus 1), $ID, $MID and $QUERY. Inserted text is never searched again for the
// placeholder that inserted it. Dates are those of `now` in UTC.
std::string expandUrlTemplate(std::string_view text, const CityRecord* city, std::time_t now,
                              const UrlContext& context);

// ASCII letters, digits, blank, "*", "-", "." and "_" stay, every other byte
// becomes "%" and two upper-case hex digits, and then blanks become "+".
std::string urlEncode(std::string_view text);

// Replaces every occurrence of `placeholder`, left to right, without searching
// the inserted text again.
std::string replaceAll(std::string_view text, std::string_view placeholder, std::string_view value);

} // namespace chronvale
