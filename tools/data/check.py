#!/usr/bin/env python3
"""Checks the generated data folder by reading it the way the program does.

Reads the packed files (magic, length, zlib stream), parses the four tables with
the program's rules (whitespace runs before fields, first match wins), and the
BMP images; compares them with tzdata and with the generator's record of each
city (cities.json in the work folder). Prints the counts and the exceptions;
exits non-zero when a check fails.
"""

import argparse
import calendar
import datetime
import json
import math
import os
import struct
import sys
import zlib

import tzrules
import zonecolours
from generate import city_pixel, float32

PACK_MAGIC = 0x01E76A1A
# The instants of the daylight-saving check, read with TZ=UTC.
DST_INSTANTS = [datetime.datetime(2027, 1, 15, 12, tzinfo=datetime.timezone.utc),
                datetime.datetime(2027, 7, 15, 12, tzinfo=datetime.timezone.utc)]
MIN_SHARE = 0.99

failures = []


def fail(text):
    failures.append(text)
    print("check: FAILED:", text)


def unpack(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, length = struct.unpack_from("<Ii", data)
    if magic != PACK_MAGIC or length < 0:
        raise SystemExit(f"check: {path}: not a packed data file")
    text = zlib.decompress(data[8:])
    if len(text) != length:
        raise SystemExit(f"check: {path}: length {length} but {len(text)} bytes inflated")
    text = text.decode("utf-8")
    if "\n" in text.replace("\r\n", "") or "\r" in text.replace("\r\n", ""):
        fail(f"{path}: a line does not end in CR LF")
    return text


def lines_of(text):
    return [line for line in text.split("\r\n") if line.strip(" \t")]


def fields(line, sep="\t"):
    """Fields as the program reads them: whitespace after a separator is skipped,
    so an empty field cannot exist."""
    parts = line.split(sep)
    for p in parts[1:-1] if sep == "\t" else []:
        if not p.strip():
            fail(f"empty field in {line!r}")
    return parts


def read_cities(text):
    cities = []
    for line in lines_of(text):
        key, lat, lon, raw = fields(line)
        if "(" in raw:
            state = raw[raw.index("(") + 1:].split(")")[0]
            name = raw[:raw.rindex("(")]
        else:
            state, name = None, raw
        cities.append({"key": key, "lat": float32(float(lat)), "lon": float32(float(lon)),
                       "name": name, "state": state})
    return cities


def read_zones(text):
    zones = []
    for line in lines_of(text)[1:]:
        f = fields(line)
        if len(f) < 8 or f[7] != "":
            fail(f"tz_data.dat line without its closing TAB: {line!r}")
        zones.append({"country": f[0], "zone": f[3], "key": f[3].rsplit("/", 1)[-1], "rule": f[6]})
    return zones


def read_rules(text):
    lines = lines_of(text)
    if len(lines) % 2:
        fail("tz_dst.dat has an odd number of lines")
    rules = {}
    for start, end in zip(lines[0::2], lines[1::2]):
        s, e = fields(start), fields(end)
        if s[0] != e[0] or len(s) < 7 or len(e) < 7:
            fail(f"tz_dst.dat rule lines do not pair: {start!r} {end!r}")
        if s[0] in rules:
            fail(f"tz_dst.dat names the rule {s[0]} twice")
        rules[e[0]] = ((int(s[2]), int(s[3]), int(s[4])), (int(e[2]), int(e[3]), int(e[4])),
                       math.trunc(float(s[5])) * 60)
    return rules


def read_area_codes(text):
    entries, country = [], ""
    for line in lines_of(text):
        first, _, rest = line.partition(",")
        if first.startswith(("*", "+")):
            city, _, code = rest.partition(",")
            entries.append((country, city, code))
        else:
            country = first
            entries.append((country, None, rest))
        if not entries[-1][2].strip():
            fail(f"areacode.dat line without a code: {line!r}")
    return entries


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if (width, abs(height), bits) != (1024, 512, 24):
        fail(f"{path}: {width} x {height}, {bits} bits, not 1024 x 512, 24 bits")
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):  # y = 0 is the top row
        row = height - 1 - y if height > 0 else y
        i = offset + row * stride + x * 3
        return data[i + 2], data[i + 1], data[i]

    return pixel, width, abs(height)


def switch_time(year, weekday, day, month):
    """00:00 UTC of the switch day (the checks run with TZ=UTC)."""
    if day == 0:
        last = calendar.monthrange(year, month)[1]
        d = max(x for x in range(last - 6, last + 1)
                if (calendar.weekday(year, month, x) + 1) % 7 == weekday)
    elif 0 <= weekday <= 6:
        d = day
        while (calendar.weekday(year, month, d) + 1) % 7 != weekday:
            d += 1
    else:
        d = day
    return datetime.datetime(year, month, d, tzinfo=datetime.timezone.utc)


def dst_minutes(rule, now):
    if rule is None:
        return 0
    (sw, sd, sm), (ew, ed, em), minutes = rule
    start = switch_time(now.year, sw, sd, sm)
    end = switch_time(now.year, ew, ed, em)
    if em < sm:  # southern summer: from the start to the year's end, and into the next
        inside = now >= start or now < end
    else:
        inside = start <= now < end
    return minutes if inside else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--work", required=True)
    ap.add_argument("--data", required=True)
    args = ap.parse_args()
    tzrules.open_zones(os.path.join(os.path.abspath(args.work), "root/usr/share/zoneinfo"))
    with open(os.path.join(args.work, "cities.json"), encoding="utf-8") as f:
        expected = json.load(f)
    with open(os.path.join(args.work, "export.json"), encoding="utf-8") as f:
        capitals = json.load(f)["capitals"]

    cities = read_cities(unpack(os.path.join(args.data, "location.dat")))
    zones = read_zones(unpack(os.path.join(args.data, "tz_data.dat")))
    rules = read_rules(unpack(os.path.join(args.data, "tz_dst.dat")))
    areas = read_area_codes(unpack(os.path.join(args.data, "areacode.dat")))
    print(f"check: {len(cities)} cities, {len(zones)} zones, {len(rules)} DST rules, "
          f"{len(areas)} area-code entries "
          f"({sum(1 for a in areas if a[1] is None)} countries)")
    if not 5000 <= len(cities) <= 8000:
        fail(f"{len(cities)} cities, not 5,000 to 8,000")
    if len(cities) != len(expected):
        raise SystemExit("check: location.dat and cities.json disagree")

    pixel, _, _ = read_bmp(os.path.join(args.data, "images/earth_tz.bmp"))
    for name in ("earth_day.bmp", "earth_night.bmp"):
        read_bmp(os.path.join(args.data, "images", name))
    table = {colour for colour, _ in zonecolours.TABLE}
    strange = {pixel(x, y) for y in range(512) for x in range(1024)} - table
    if strange:
        fail(f"earth_tz.bmp holds colours not in the table: {sorted(strange)[:5]}")

    def zone_of_city(city):  # countryOfCity and dstRuleOfCity: first match, any case
        return next((z for z in zones if z["key"].casefold() == city["key"].casefold()), None)

    def offset_at(x, y):
        if not (0 <= x < 1024 and 0 <= y < 512):
            return 0
        return zonecolours.offset_of(pixel(x, y))

    seen = set()
    offset_bad, dst_bad = [], []
    for city, exp in zip(cities, expected):
        z = zone_of_city(city)
        if z is None or z["country"] != exp["country"]:
            fail(f"{exp['name']}: country {z and z['country']}, not {exp['country']}")
            continue
        key = (city["name"].casefold(), math.trunc(city["lon"]))
        if key in seen:
            fail(f"two cities named {city['name']} at whole-degree longitude {key[1]}")
        seen.add(key)
        std = tzrules.standard_offset(z["zone"])
        got = offset_at(*city_pixel(city["lat"], city["lon"]))
        if got != std:
            offset_bad.append(f"{exp['name']} ({exp['country']}, {z['zone']}): "
                              f"image {got:+g} h, tzdata {std:+g} h")
        for now in DST_INSTANTS:
            want = math.trunc(tzrules.dst_hours(z["zone"], now)) * 60
            have = dst_minutes(rules.get(z["rule"]), now)
            if want != have:
                dst_bad.append(f"{exp['name']} ({z['zone']}) {now:%Y-%m-%d}: "
                               f"rule {z['rule']} gives {have} min, tzdata {want} min")

    n = len(cities)
    print(f"check: zone offset at the city's pixel matches tzdata for {n - len(offset_bad)} "
          f"of {n} cities ({100 * (n - len(offset_bad)) / n:.2f} %)")
    for line in offset_bad:
        print("check: offset exception:", line)
    if len(offset_bad) > (1 - MIN_SHARE) * n:
        fail("fewer than 99 % of the cities lie on their zone's offset")
    checks = 2 * n
    print(f"check: daylight saving matches tzdata for {checks - len(dst_bad)} of {checks} "
          f"city-dates ({100 * (checks - len(dst_bad)) / checks:.2f} %)")
    for line in dst_bad:
        print("check: DST exception:", line)
    if len(dst_bad) > (1 - MIN_SHARE) * checks:
        fail("daylight saving differs from tzdata for more than 1 % of the cities")

    country_lines = {a[0].casefold() for a in areas if a[1] is None}
    for z in zones:
        if z["country"].casefold() not in country_lines:
            fail(f"no areacode.dat country line for {z['country']}")

    # Each country's capital lies on its country's standard offset.
    capital_of = {}
    for city, exp in zip(cities, expected):
        if city["name"].strip().casefold() == (capitals.get(exp["iso2"]) or "").casefold():
            capital_of.setdefault(exp["iso2"], (city, exp))
    checked = len(capital_of)
    for code, (city, exp) in sorted(capital_of.items()):
        want = tzrules.standard_offset(exp["zone"])
        got = offset_at(*city_pixel(city["lat"], city["lon"]))
        if got != want:
            fail(f"capital {city['name']} ({exp['country']}): image {got:+g} h, its zone {want:+g} h")
    print(f"check: {checked} capitals checked against their zone's standard offset")

    if failures:
        print(f"check: {len(failures)} checks failed")
        sys.exit(1)
    print("check: all checks passed")


if __name__ == "__main__":
    main()
