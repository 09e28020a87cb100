#pragma once
// Attribution of the mirrored data: the credit of each source that delivered is
// kept in CREDITS.txt beside the frames and served with them.

#include <QByteArray>
#include <QString>
#include <string>

namespace chronvale::imaged {

inline constexpr const char* kCreditsFile = "CREDITS.txt";

// NASA GIBS's map service: one plate-carrée map of the infrared images (10.3 um,
// band 13) of Himawari, GOES-West and GOES-East at each layer's default time (no
// TIME given), transparent where none of them sees the earth.
inline constexpr const char* kGibsInfraredUrl =
    "https://gibs.earthdata.nasa.gov/wms/epsg4326/best/wms.cgi?SERVICE=WMS&REQUEST=GetMap"
    "&VERSION=1.3.0&LAYERS=Himawari_AHI_Band13_Clean_Infrared,"
    "GOES-West_ABI_Band13_Clean_Infrared,GOES-East_ABI_Band13_Clean_Infrared&STYLES="
    "&CRS=EPSG:4326&BBOX=-90,-180,90,180&WIDTH=2048&HEIGHT=1024&FORMAT=image/png"
    "&TRANSPARENT=TRUE";
// Its credit: the satellites' operators and the service first (what the map's
// corner has room for), then the acknowledgement GIBS asks of its users.
inline constexpr const char* kGibsInfraredCredit =
    "Clouds from infrared images of GOES (NOAA) and Himawari (JMA), modified, served by NASA "
    "GIBS. We acknowledge the use of imagery provided by services from NASA's Global Imagery "
    "Browse Services (GIBS), part of NASA's Earth Observing System Data and Information System "
    "(EOSDIS).";

enum class DataKind { Clouds, Quakes };

// The credit the data of a known public source must carry; for other sources,
// a line naming the URL.
std::string defaultCredit(const std::string& url, DataKind kind);

// Records that the data of `kind` now comes from url with this credit, replacing
// the earlier line of that kind. False when the file cannot be written.
bool recordCredit(const QString& folder, DataKind kind, const std::string& url,
                  const std::string& credit);

// The credit recorded for the data of `kind` (without its source URL); empty
// when none is recorded.
std::string recordedCredit(const QString& folder, DataKind kind);

// The credits text served: the stored lines, and a line saying which data is
// made up when the folder holds demo content.
QByteArray creditsText(const QString& folder, bool demoFrames, bool demoQuakes);

} // namespace chronvale::imaged
