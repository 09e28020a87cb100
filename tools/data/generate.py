#!/usr/bin/env python3
"""Builds the installed data folder from open sources.

Inputs (prepared by generate.sh in its work folder):
  root/      the pinned Debian packages unpacked: tzdata, iso-codes,
             xplanet-images, python3-phonenumbers
  export.json, grid.bin   what export.cjs took from the npm packages

Outputs in the data folder: location.dat, tz_data.dat, tz_dst.dat, areacode.dat,
images/earth_day.bmp, images/earth_night.bmp, images/earth_tz.bmp and SOURCES.md;
and for local times from the system's time-zone database the IANA zone of each
city (city_zones.dat) and of each map pixel (zone_map.dat).
Every output depends only on the inputs: running it twice gives the same bytes.
"""

import argparse
import collections
import json
import math
import os
import re
import struct
import subprocess
import sys
import unicodedata
import zlib

import tzrules
import zonecolours

WIDTH, HEIGHT = 1024, 512
PACK_MAGIC = 0x01E76A1A
EARTH_RADIUS_KM = 6371.0
# A GeoNames place restores a city's accented name only this close to it.
ACCENT_MATCH_KM = 25.0
LARGEST_LISTED = 200  # cities in the work folder's list of the largest
NO_RULE = "-"  # the rule name of zones without daylight saving; names no rule


def log(*args):
    print("data:", *args, file=sys.stderr)


# ---------------------------------------------------------------- text helpers

_FOLD_EXTRA = str.maketrans(
    {"ø": "o", "Ø": "O", "đ": "d", "Đ": "D", "ð": "d", "Ð": "D", "ł": "l", "Ł": "L",
     "ı": "i", "æ": "ae", "Æ": "AE", "œ": "oe", "Œ": "OE", "ß": "ss", "þ": "th", "Þ": "Th",
     "ʻ": "'", "’": "'", "‘": "'", "`": "'"})


def fold(text):
    """Text without accents, in lower case: 'Zürich' and 'Zurich' fold alike."""
    decomposed = unicodedata.normalize("NFKD", text.translate(_FOLD_EXTRA))
    return "".join(c for c in decomposed if not unicodedata.combining(c)).casefold()


def non_ascii_count(text):
    return sum(1 for c in text if ord(c) > 127)


# Province texts whose letters were lost on the way into city-timezones.
PROVINCE_FIXES = {
    "Ãstfold": "Østfold",
    "?li Bayramli": "Əli Bayramlı",
    "S?ki": "Şəki",
    "Z?ngilan": "Zəngilan",
    "Ðakovica": "Đakovica",
}


def repair_text(text):
    """Undoes UTF-8 read as Windows-1252 (mojibake) and the known lost letters."""
    text = text.strip()
    if text in PROVINCE_FIXES:
        return PROVINCE_FIXES[text]
    if re.search("[ÃÂÅ][\u0080-\u00bf\u0152-\u2122]", text):
        try:
            text = text.encode("cp1252").decode("utf-8")
        except (UnicodeEncodeError, UnicodeDecodeError):
            pass
    if "?" in text or "\ufffd" in text:
        raise SystemExit(f"data: unrepaired text {text!r}: add it to PROVINCE_FIXES")
    return text


def clean_name(text):
    """A city name fit for the data files: no TAB, comma or bracket (the city name
    ends at "(" in location.dat and at "," in areacode.dat)."""
    text = re.sub(r"\s*,\s*", " ", text)
    text = text.replace("(", "").replace(")", "")
    return " ".join(text.split())


def clean_state(text):
    """A state fit for the " (state)" suffix: no brackets of its own."""
    text = re.sub(r"\s*\(([^)]*)\)", r" / \1", text)
    text = text.replace("(", "").replace(")", "")
    return " ".join(text.split())


def distance_km(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dp, dl = p2 - p1, math.radians(lon2 - lon1)
    a = math.sin(dp / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(dl / 2) ** 2
    return 2 * EARTH_RADIUS_KM * math.asin(min(1.0, math.sqrt(a)))


def float32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def coordinate_text(x):
    text = f"{x:.4f}"
    return "0.0000" if text == "-0.0000" else text


def city_pixel(latitude, longitude):
    """The map pixel of a city, as the program computes it from the stored floats."""
    lat, lon = float32(latitude), float32(longitude)
    x = math.trunc(float32(float32(float32(lon + 180.0) / 360.0) * 1024.0))
    y = 512 - math.trunc(float32(float32(float32(lat + 90.0) / 180.0) * 512.0))
    return x, y


# ---------------------------------------------------------------- sources


class ZoneTab:
    """zone.tab: zone -> country and position, and each country's zones in file order."""

    def __init__(self, zoneinfo_dir):
        self.country = {}
        self.position = {}
        self.zones_of = collections.defaultdict(list)
        with open(os.path.join(zoneinfo_dir, "zone.tab"), encoding="utf-8") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                code, coords, name = line.rstrip("\n").split("\t")[:3]
                self.country[name] = code
                self.position[name] = self._coords(coords)
                self.zones_of[code].append(name)
        # Links (old and alias names) from the compiled source, for zones that a
        # boundary data set names differently.
        self.link = {}
        with open(os.path.join(zoneinfo_dir, "tzdata.zi"), encoding="utf-8") as f:
            for line in f:
                if line.startswith("L "):
                    _, target, name = line.split()
                    self.link[name] = target

    @staticmethod
    def _coords(text):
        m = re.fullmatch(r"([+-]\d+)([+-]\d+)", text)

        def degrees(part, deg_digits):
            sign = -1 if part[0] == "-" else 1
            digits = part[1:]
            d = int(digits[:deg_digits])
            mnt = int(digits[deg_digits:deg_digits + 2])
            sec = int(digits[deg_digits + 2:] or 0)
            return sign * (d + mnt / 60 + sec / 3600)

        return degrees(m.group(1), 2), degrees(m.group(2), 3)

    def resolve(self, name):
        """The zone.tab name for a zone name, following links; None for sea zones."""
        seen = set()
        while name not in self.country and name in self.link and name not in seen:
            seen.add(name)
            name = self.link[name]
        return name if name in self.country else None


def country_names(iso_codes_dir):
    """English country names by ISO code, without commas (areacode.dat splits at
    commas): the common name where iso-codes has one."""
    overrides = {
        "BQ": "Caribbean Netherlands",
        "CD": "Democratic Republic of the Congo",
        "FM": "Micronesia",
        "PS": "Palestine",
        "SH": "Saint Helena",
        "VG": "British Virgin Islands",
        "VI": "U.S. Virgin Islands",
    }
    with open(os.path.join(iso_codes_dir, "json", "iso_3166-1.json"), encoding="utf-8") as f:
        entries = json.load(f)["3166-1"]
    names = {}
    for e in entries:
        code = e["alpha_2"]
        name = overrides.get(code) or e.get("common_name") or e["name"]
        if "," in name or "\t" in name:
            raise SystemExit(f"data: country name with a comma: {code} {name}")
        names[code] = name
    return names


# ---------------------------------------------------------------- cities


def build_cities(export, zonetab, names, exceptions):
    places = collections.defaultdict(list)
    for p in export["places"]:
        places[(p["country"], fold(p["name"]))].append(p)

    cities = []
    dropped = collections.Counter()
    restored = 0
    remapped = []
    for c in export["cities"]:
        lat, lon, iso2 = c["lat"], c["lng"], c["iso2"]
        if not (isinstance(lat, (int, float)) and isinstance(lon, (int, float))
                and -90 <= lat <= 90 and -180 <= lon <= 180 and (lat, lon) != (0, 0)):
            dropped["broken coordinates"] += 1
            continue
        if not iso2 or iso2 not in names or iso2 not in zonetab.zones_of:
            dropped["no country"] += 1
            continue

        name = c["city"].strip()
        best = None
        for key in {fold(name), fold(c["cityAscii"])}:
            for p in places.get((iso2, key), ()):
                d = distance_km(lat, lon, p["lat"], p["lng"])
                if d <= ACCENT_MATCH_KM and (best is None or d < best[0]):
                    best = (d, p["name"])
        if best and best[1] != name and non_ascii_count(best[1]) > non_ascii_count(name):
            name = best[1]
            restored += 1
        name = clean_name(repair_text(name))
        state = clean_state(repair_text(c["province"] or ""))

        zone = choose_zone(c, iso2, zonetab, remapped)
        if zone is None:
            dropped["no zone of its country"] += 1
            exceptions.append(f"dropped {name} ({names[iso2]}): no zone of its country")
            continue
        cities.append({"name": name, "state": state, "lat": lat, "lon": lon,
                       "pop": c["pop"], "iso2": iso2, "zone": zone,
                       "stateAnsi": c["stateAnsi"]})

    # Marked cities are found again by name and whole-degree longitude alone, so
    # no two cities may share both; the larger one stays.
    cities.sort(key=lambda c: (-c["pop"], c["name"], c["lat"], c["lon"]))
    seen = set()
    unique = []
    for c in cities:
        c["latText"], c["lonText"] = coordinate_text(c["lat"]), coordinate_text(c["lon"])
        key = (c["name"].casefold(), math.trunc(float32(float(c["lonText"]))))
        if key in seen:
            dropped["same name and whole-degree longitude"] += 1
            continue
        seen.add(key)
        unique.append(c)
    unique.sort(key=lambda c: (names[c["iso2"]], c["name"].casefold(), c["name"], c["lat"], c["lon"]))

    log(f"cities: {len(export['cities'])} read, {len(unique)} kept, {restored} accented names restored")
    for reason, n in sorted(dropped.items()):
        log(f"cities: {n} dropped, {reason}")
    for line in remapped:
        exceptions.append(line)
    return unique


# Capitals that countries-list and city-timezones spell too differently for
# capital_key to match.
CAPITAL_NAMES = {
    "Andorra la Vella": "Andorra",
    "Hagåtña": "Agana",
    "Ngerulmud": "Melekeok",
    "South Tarawa": "Tarawa",
    "Ulan Bator": "Ulaanbaatar",
}


def capital_key(name):
    """A name as capitals are matched: folded, "City of X" and "X City" as X,
    "St." as Saint, without blanks and punctuation ("Port of Spain" meets
    "Port-of-Spain", "Sana'a" meets "Sanaa")."""
    key = fold(name)
    key = re.sub(r"^city of ", "", key)
    key = re.sub(r" city$", "", key)
    key = re.sub(r"^st\.?[ -]", "saint ", key)
    return re.sub(r"[\W_]", "", key)


def by_importance(cities, capitals):
    """The cities in the order of location.dat: the most important first, so that
    where several share a map pixel (39 km wide at 1:1) or lie equally near the
    pointer, the program's first-wins rule picks the one a user means. Within each
    zone the capital of the country comes first, then the others by population;
    across zones the larger city comes first (a capital counts with the population
    of its zone's largest city, so it keeps its place ahead of it)."""
    capital = set()
    unmatched = []
    for iso2, name in sorted(capitals.items()):
        if not name:
            continue
        want = capital_key(CAPITAL_NAMES.get(name, name))
        matches = [c for c in cities if c["iso2"] == iso2 and capital_key(c["name"]) == want]
        if matches:
            capital.add(id(max(matches, key=lambda c: (c["pop"], c["name"]))))
        else:
            unmatched.append(f"{name} ({iso2})")
    largest = collections.defaultdict(float)
    for c in cities:
        largest[c["zone"]] = max(largest[c["zone"]], c["pop"])

    def key(c):
        is_capital = id(c) in capital
        weight = largest[c["zone"]] if is_capital else c["pop"]
        return (-weight, not is_capital, -c["pop"], c["name"].casefold(), c["name"], c["lat"],
                c["lon"])

    log(f"cities: {len(capital)} capitals first in their zones; not among the cities: "
        f"{', '.join(unmatched) or 'none'}")
    return sorted(cities, key=key)


def choose_zone(c, iso2, zonetab, remapped):
    """The city's zone from its coordinates, as a zone.tab zone of its own country."""
    found = [zonetab.resolve(z) or z for z in c["geoZones"]]
    for z in found:
        if zonetab.country.get(z) == iso2:
            return z
    own = zonetab.zones_of[iso2]
    # The coordinates fall into another country's zone (a border town, a coastal
    # point at sea): take the zone of its own country that keeps the same time,
    # the nearest if several do, else the nearest of its own country.
    same = [z for z in own if found and tzrules.signature(z) == tzrules.signature(found[0])]
    if not same and found and found[0] not in zonetab.country:
        # At sea or on unclaimed land (Etc/UTC in Antarctica) with no zone of its
        # own country that keeps that time: no zone fits.
        return None
    pool = same or own
    best = min(pool, key=lambda z: (distance_km(c["lat"], c["lng"], *zonetab.position[z]), z))
    how = "same time" if same else "NOT the same time, nearest"
    remapped.append(f"zone of {c['city']} ({iso2}): {found[0] if found else 'none'} -> {best} ({how})")
    return best


# ---------------------------------------------------------------- zones and rules

# Readable names for the rules, by a zone that follows them; other rules are
# named after the country of their first zone.
RULE_NAMES = {
    "America/New_York": "US",
    "Europe/Paris": "EU",
    "Australia/Sydney": "AU-SE",
    "Australia/Lord_Howe": "LordHowe",
    "Pacific/Auckland": "NZ",
    "America/Santiago": "Chile",
    "Asia/Jerusalem": "Israel",
    "Asia/Gaza": "Palestine",
    "Africa/Cairo": "Egypt",
    "America/Havana": "Cuba",
    "Antarctica/Troll": "Troll",
}


def build_rules(zone_list, zoneinfo_dir, names, zonetab):
    """One DST rule per distinct ongoing rule, named readably. Returns the rules
    in name order and the rule name of each zone."""
    by_rule = collections.defaultdict(list)
    for z in zone_list:
        rule = tzrules.parse_rule(tzrules.read_footer(os.path.join(zoneinfo_dir, z)))
        if rule is not None:
            by_rule[rule].append(z)
    rule_of = {}
    named = {}
    for rule, zones in sorted(by_rule.items(), key=lambda item: item[1]):
        name = next((n for z, n in RULE_NAMES.items() if z in zones), None)
        if name is None:
            name = re.sub(r"[^A-Za-z]", "", names[zonetab.country[zones[0]]])
        base, n = name, 2
        while name in named or name == NO_RULE:
            name, n = f"{base}-{n}", n + 1
        named[name] = rule
        for z in zones:
            rule_of[z] = name
    return sorted(named.items()), rule_of


def offset_text(hours):
    sign = "-" if hours < 0 else "+"
    minutes = round(abs(hours) * 60)
    return f"UTC{sign}{minutes // 60:02d}:{minutes % 60:02d}"


def tz_data_text(zone_list, zonetab, names, rule_of):
    lines = ["Country\tLatitude\tLongitude\tZone\tStandard\tCode\tRule\t"]
    for z in zone_list:
        code = zonetab.country[z]
        lat, lon = zonetab.position[z]
        lines.append("\t".join([names[code], f"{lat:.4f}", f"{lon:.4f}", z,
                                offset_text(tzrules.standard_offset(z)), code,
                                rule_of.get(z, NO_RULE), ""]))
    return "\r\n".join(lines) + "\r\n"


def hours_text(h):
    return f"{h:g}"


def tz_dst_text(rules):
    lines = []
    for name, rule in rules:
        for part, sw, hours in (("start", rule.start, rule.save), ("end", rule.end, 0)):
            lines.append("\t".join([name, part, str(sw.weekday), str(sw.day), str(sw.month),
                                    hours_text(hours), sw.describe()]))
    return "\r\n".join(lines) + "\r\n"


def name_field(c):
    return c["name"] + (f" ({c['state']})" if c["state"] else "")


def location_text(cities):
    lines = []
    for c in cities:
        lines.append("\t".join([c["zone"].rsplit("/", 1)[-1], c["latText"], c["lonText"],
                                name_field(c)]))
    return "\r\n".join(lines) + "\r\n"


def city_zones_text(cities):
    """city_zones.dat: each city's IANA zone and its name field, in location.dat's order."""
    return "".join(f"{c['zone']}\t{name_field(c)}\r\n" for c in cities)


def zone_map_text(export, grid_path, zonetab):
    """zone_map.dat: the IANA zone at the centre of every map pixel, from the same
    geo-tz look-ups as the time-zone image (without its repainted city pixels): the
    zone names, then each row as runs "INDEX*LENGTH". Link names are resolved to
    the zone.tab zone; the sea's Etc/GMT zones are kept."""
    with open(grid_path, "rb") as f:
        grid = f.read()
    resolved = [zonetab.resolve(z) or z for z in export["gridZones"]]
    names = sorted(set(resolved))
    index_of = {z: i for i, z in enumerate(names)}
    remap = [index_of[z] for z in resolved]
    lines = [f"{WIDTH}\t{HEIGHT}\t{len(names)}"] + names
    for y in range(HEIGHT):
        runs = []
        row = [remap[struct.unpack_from("<H", grid, (y * WIDTH + x) * 2)[0]] for x in range(WIDTH)]
        start = 0
        for x in range(1, WIDTH + 1):
            if x == WIDTH or row[x] != row[start]:
                n = x - start
                runs.append(f"{row[start]}*{n}" if n > 1 else f"{row[start]}")
                start = x
        lines.append(" ".join(runs))
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------- images


def bmp_bytes(width, height, rgb_rows):
    """An uncompressed 24-bit BMP, rows stored bottom-up and padded to 4 bytes."""
    stride = (width * 3 + 3) & ~3
    pad = bytes(stride - width * 3)
    body = bytearray()
    for row in reversed(rgb_rows):
        bgr = bytearray(row)
        bgr[0::3], bgr[2::3] = row[2::3], row[0::3]
        body += bgr + pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def earth_image(jpeg_path):
    """A 2048 x 1024 NASA image reduced to 1024 x 512 by averaging 2 x 2 blocks."""
    from PIL import Image

    with Image.open(jpeg_path) as im:
        im = im.convert("RGB")
        if im.size != (2 * WIDTH, 2 * HEIGHT):
            raise SystemExit(f"data: {jpeg_path} is {im.size}, not 2048 x 1024")
        small = im.reduce(2)
        raw = small.tobytes()
    return [raw[y * WIDTH * 3:(y + 1) * WIDTH * 3] for y in range(HEIGHT)]


def tz_image(export, grid_path, zonetab, cities, exceptions):
    """Every pixel the table colour of the standard offset of the zone at its centre,
    except the pixels of the cities: a pixel is 39 km wide, and the program reads a
    city's offset at its pixel, so a coastal or border city's pixel whose centre
    lies at sea or across the border gets the colour of the city's own zone (the
    larger city wins where two with different offsets share a pixel)."""
    with open(grid_path, "rb") as f:
        grid = f.read()
    zones = export["gridZones"]
    colours = []
    for z in zones:
        hours = tzrules.standard_offset(z)
        colours.append(zonecolours.colour_of(hours, at_sea=z.startswith("Etc/")))
    rows = []
    for y in range(HEIGHT):
        row = bytearray()
        for x in range(WIDTH):
            (i,) = struct.unpack_from("<H", grid, (y * WIDTH + x) * 2)
            row += bytes(colours[i])
        rows.append(bytes(row))
    painted = {}
    overridden = 0
    for c in sorted(cities, key=lambda c: (-c["pop"], c["name"])):
        x, y = city_pixel(float(c["latText"]), float(c["lonText"]))
        if not (0 <= x < WIDTH and 0 <= y < HEIGHT):
            continue
        colour = bytes(zonecolours.colour_of(tzrules.standard_offset(c["zone"])))
        if (x, y) in painted:
            if painted[(x, y)][0] != colour:
                exceptions.append(f"pixel {x},{y}: {c['name']} shares it with "
                                  f"{painted[(x, y)][1]}, which keeps another offset")
            continue
        painted[(x, y)] = (colour, c["name"])
        row = rows[y]
        if row[x * 3:x * 3 + 3] != colour:
            rows[y] = row[:x * 3] + colour + row[x * 3 + 3:]
            overridden += 1
    log(f"time-zone image: {overridden} city pixels repainted with their city's zone")
    land = sorted({zonetab.resolve(z) for z in zones if not z.startswith("Etc/")} - {None})
    unknown = sorted(z for z in zones if not z.startswith("Etc/") and zonetab.resolve(z) is None)
    for z in unknown:
        exceptions.append(f"image zone {z} has no zone.tab entry; not listed in tz_data.dat")
    return rows, land


# ---------------------------------------------------------------- packing


def pack_bytes(text):
    data = text.encode("utf-8")
    return struct.pack("<Ii", PACK_MAGIC, len(data)) + zlib.compress(data, 9)


def write_packed(path, text, pack_tool):
    data = pack_bytes(text)
    if pack_tool:
        tmp = path + ".txt"
        with open(tmp, "wb") as f:
            f.write(text.encode("utf-8"))
        subprocess.run([pack_tool, "pack", tmp, path], check=True)
        os.remove(tmp)
        with open(path, "rb") as f:
            if f.read() != data:
                raise SystemExit(f"data: {pack_tool} and the generator disagree on {path}")
    else:
        write_file(path, data)


def write_file(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


# ---------------------------------------------------------------- main


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--work", required=True, help="the generator's work folder")
    ap.add_argument("--out", required=True, help="the data folder to write")
    ap.add_argument("--pack", help="chronvale-pack executable (else packed here, byte-identical)")
    ap.add_argument("--versions", required=True, help="JSON file of the pinned source versions")
    args = ap.parse_args()

    args.work = os.path.abspath(args.work)
    root = os.path.join(args.work, "root")
    zoneinfo_dir = os.path.join(root, "usr/share/zoneinfo")
    tzrules.open_zones(zoneinfo_dir)
    with open(os.path.join(args.work, "export.json"), encoding="utf-8") as f:
        export = json.load(f)
    zonetab = ZoneTab(zoneinfo_dir)
    names = country_names(os.path.join(root, "usr/share/iso-codes"))
    exceptions = []

    cities = build_cities(export, zonetab, names, exceptions)
    rows_tz, image_zones = tz_image(export, os.path.join(args.work, "grid.bin"), zonetab, cities,
                                     exceptions)
    zone_list = sorted({c["zone"] for c in cities} | set(image_zones),
                       key=lambda z: (names[zonetab.country[z]], z))
    keys = collections.Counter(z.rsplit("/", 1)[-1].casefold() for z in zone_list)
    clash = [k for k, n in keys.items() if n > 1]
    if clash:
        raise SystemExit(f"data: zone keys used by two zones: {clash}")
    rules, rule_of = build_rules(zone_list, zoneinfo_dir, names, zonetab)

    sys.path.insert(0, os.path.join(root, "usr/lib/python3/dist-packages"))
    import areacodes

    area_lines, area_report = areacodes.build(cities, zone_list, zonetab, names, export["phones"])

    os.makedirs(os.path.join(args.out, "images"), exist_ok=True)
    cities = by_importance(cities, export["capitals"])
    write_packed(os.path.join(args.out, "location.dat"), location_text(cities), args.pack)
    write_packed(os.path.join(args.out, "tz_data.dat"),
                 tz_data_text(zone_list, zonetab, names, rule_of), args.pack)
    write_packed(os.path.join(args.out, "tz_dst.dat"), tz_dst_text(rules), args.pack)
    write_packed(os.path.join(args.out, "areacode.dat"), "\r\n".join(area_lines) + "\r\n", args.pack)
    write_packed(os.path.join(args.out, "city_zones.dat"), city_zones_text(cities), args.pack)
    write_packed(os.path.join(args.out, "zone_map.dat"),
                 zone_map_text(export, os.path.join(args.work, "grid.bin"), zonetab), args.pack)
    images = os.path.join(root, "usr/share/xplanet/images")
    write_file(os.path.join(args.out, "images/earth_day.bmp"),
               bmp_bytes(WIDTH, HEIGHT, earth_image(os.path.join(images, "earth.jpg"))))
    write_file(os.path.join(args.out, "images/earth_night.bmp"),
               bmp_bytes(WIDTH, HEIGHT, earth_image(os.path.join(images, "night.jpg"))))
    write_file(os.path.join(args.out, "images/earth_tz.bmp"), bmp_bytes(WIDTH, HEIGHT, rows_tz))

    # What the checks compare the files with: each city's own country and zone.
    with open(os.path.join(args.work, "cities.json"), "w", encoding="utf-8") as f:
        json.dump([{"name": c["name"], "country": names[c["iso2"]], "iso2": c["iso2"],
                    "zone": c["zone"]}
                   for c in cities], f, ensure_ascii=False)

    # The largest cities, for the test that each one is picked at its own pixel
    # (tests/tools/largest_cities.tsv is a copy). A city whose pixel a capital
    # holds cannot be picked there; it is named in the header and passed over.
    holder = {}
    for c in cities:
        holder.setdefault(city_pixel(float(c["latText"]), float(c["lonText"])), c)
    largest, shadowed = [], []
    for c in sorted(cities, key=lambda c: (-c["pop"], c["name"])):
        if len(largest) == LARGEST_LISTED:
            break
        first = holder[city_pixel(float(c["latText"]), float(c["lonText"]))]
        (largest if first is c else shadowed).append((c, first))
    with open(os.path.join(args.work, "largest_cities.tsv"), "w", encoding="utf-8") as f:
        f.write(f"# The {LARGEST_LISTED} largest cities of location.dat by the population of "
                "city-timezones,\n# as tools/data/generate.sh writes them to its work folder. "
                "Passed over, as their\n# map pixel at 1:1 is the capital's:\n")
        for c, first in shadowed:
            f.write(f"#   {c['name']} ({names[c['iso2']]}): {first['name']}\n")
        f.write("# name\tcountry\tlatitude\tlongitude\tpopulation\n")
        for c, _ in largest:
            f.write(f"{c['name']}\t{names[c['iso2']]}\t{c['latText']}\t{c['lonText']}\t"
                    f"{c['pop']:.0f}\n")

    with open(args.versions, encoding="utf-8") as f:
        versions = json.load(f)
    import sources

    write_file(os.path.join(args.out, "SOURCES.md"), sources.text(versions).encode("utf-8"))

    log(f"written: {len(cities)} cities, {len(zone_list)} zones, {len(rules)} DST rules, "
        f"{len(area_lines)} area-code lines")
    for line in area_report:
        log(line)
    for line in exceptions:
        log("exception:", line)


if __name__ == "__main__":
    main()
