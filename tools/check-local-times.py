#!/usr/bin/env python3
"""Checks the local times chronvale shows against the system's zoneinfo.

For every city of the data folder and every day of a year at 12:00 UTC, runs
`chronvale --city @NAMES --time @INSTANTS --fields City,Latitude,Longitude,Local Time`
once (every city at every instant, a line each) and compares each city's local
time with what Python's zoneinfo (the same /usr/share/zoneinfo, or $TZDIR)
gives for the city's zone in city_zones.dat. Also lists the border towns whose map pixel the time-zone image
gives to another standard offset (a town across the border holds it), which the
shipped tables alone would show at the wrong time, with the zone the raster
(zone_map.dat) has there.

Usage: tools/check-local-times.py [--chronvale build/chronvale] [--data data]
                                  [--year 2027] [--days N]
Exit status 0 when every time agrees.
"""

import argparse
import collections
import datetime
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib
import zoneinfo

PACK_MAGIC = 0x01E76A1A


def unpack(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, length = struct.unpack_from("<Ii", data)
    if magic != PACK_MAGIC:
        raise SystemExit(f"{path}: not a packed data file")
    return zlib.decompress(data[8:]).decode("utf-8")[:length]


def float32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def city_pixel(lat, lon):
    """The map pixel of a city, as the program computes it from its stored floats."""
    x = int(float32(float32(float32(float32(lon) + 180.0) / 360.0) * 1024.0))
    y = 512 - int(float32(float32(float32(float32(lat) + 90.0) / 180.0) * 512.0))
    return x, y


def read_cities(data):
    """(name, state, lat, lon, zone) of each city, in file order."""
    cities = []
    zones = [line.split("\t", 1)[0] for line in unpack(os.path.join(data, "city_zones.dat")).split("\r\n") if line]
    rows = [line for line in unpack(os.path.join(data, "location.dat")).split("\r\n") if line]
    if len(rows) != len(zones):
        raise SystemExit("city_zones.dat and location.dat differ in length")
    for row, zone in zip(rows, zones):
        _, lat, lon, field = row.split("\t")
        name, state = (field[: field.rfind("(")].rstrip(), field[field.find("(") + 1: field.find(")")]) \
            if "(" in field else (field, "")
        cities.append((name, state, float(lat), float(lon), zone))
    return cities


def read_raster(data):
    lines = unpack(os.path.join(data, "zone_map.dat")).split("\r\n")
    width, height, count = map(int, lines[0].split("\t"))
    names = lines[1: 1 + count]
    rows = []
    for line in lines[1 + count: 1 + count + height]:
        row = []
        for run in line.split(" "):
            index, _, length = run.partition("*")
            row += [int(index)] * int(length or 1)
        rows.append(row)
    return names, rows


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, _ = struct.unpack_from("<iiHH", data, 18)
    stride = (width * 3 + 3) & ~3

    def pixel(x, y):  # y = 0 is the top row
        row = height - 1 - y if height > 0 else y
        i = offset + row * stride + x * 3
        return data[i + 2], data[i + 1], data[i]

    return pixel


FIELDS = "City,Latitude,Longitude,Local Time"


def run_days(chronvale, data, names_file, days):
    """The lines chronvale prints (name, latitude, longitude, local time; every city at
    the first day, then at the next ...) and how many there are a day."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("".join(f"{day.isoformat()}T12:00:00Z\n" for day in days))
        instants_file = f.name
    try:
        out = subprocess.run([chronvale, "--data", data, "--city", "@" + names_file, "--time",
                              "@" + instants_file, "--fields", FIELDS],
                             capture_output=True, text=True, check=False)
        if out.returncode != 0:
            raise SystemExit(f"chronvale failed ({out.returncode}): {out.stderr.strip()[:300]}")
        lines = out.stdout.splitlines()
    finally:
        os.unlink(instants_file)
    if len(lines) % len(days):
        raise SystemExit(f"{len(lines)} lines for {len(days)} days: output not in the expected form")
    return lines, len(lines) // len(days)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--chronvale", default=os.path.join(here, "..", "build", "chronvale"))
    ap.add_argument("--data", default=os.path.join(here, "..", "data"))
    ap.add_argument("--year", type=int, default=2027)
    ap.add_argument("--days", type=int, default=366, help="only the first DAYS days of the year")
    args = ap.parse_args()
    started = time.monotonic()

    cities = read_cities(args.data)
    by_key = collections.defaultdict(set)
    for name, state, lat, lon, zone in cities:
        # As the program prints the stored floats.
        by_key[(name, f"{float32(lat):.2f}", f"{float32(lon):.2f}")].add(zone)
    queries = sorted({f"{name} ({state})" if state else name for name, state, *_ in cities})
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("\n".join(queries) + "\n")
        names_file = f.name

    days = []
    d = datetime.date(args.year, 1, 1)
    while d.year == args.year and len(days) < args.days:
        days.append(d)
        d += datetime.timedelta(days=1)

    checked = wrong = unknown = 0
    examples = []
    try:
        lines, per_day = run_days(args.chronvale, args.data, names_file, days)
    finally:
        os.unlink(names_file)
    # The cities of one day's lines (the same each day), the same city printed
    # for two queries counted once, and the zones each may have.
    first = [line.rpartition("\t") for line in lines[:per_day]]
    prefixes = [ident + "\t" for ident, _, _ in first]
    identity = [tuple(ident.split("\t")) for ident, _, _ in first]
    if any(len(key) != 3 for key in identity):
        raise SystemExit("output not in the expected form")
    zones_of = [sorted(z for z in by_key.get(key, ()) if z) for key in identity]
    counted = [False] * per_day  # the first line of each known city
    seen = set()
    for j, key in enumerate(identity):
        if key in seen:
            continue
        seen.add(key)
        if key not in by_key:
            unknown += 1
        else:
            counted[j] = True
    # Held here: zoneinfo keeps only a few zones alive between calls of its own.
    tz = {z: zoneinfo.ZoneInfo(z) for z in sorted({z for zones in zones_of for z in zones})}
    for d, day in enumerate(days):
        instant = datetime.datetime(day.year, day.month, day.day, 12, tzinfo=datetime.timezone.utc)
        # One answer of zoneinfo per zone and day.
        of_zone = {z: instant.astimezone(info).strftime("%m/%d/%y %H:%M:%S") for z, info in tz.items()}
        chunk = lines[d * per_day:(d + 1) * per_day]
        # The day's lines as they should be (a city of several zones: its first);
        # only the lines that differ are looked at one by one.
        expected = [prefix + (of_zone[zones[0]] if zones else "") for prefix, zones in zip(prefixes, zones_of)]
        checked += sum(counted)
        if chunk == expected:
            continue
        for j in [j for j, (got, want) in enumerate(zip(chunk, expected)) if got != want]:
            ident, _, shown = chunk[j].rpartition("\t")
            if ident + "\t" != prefixes[j]:
                raise SystemExit(f"{day}: line {j + 1} names {ident!r}, not {prefixes[j]!r}")
            if not counted[j] or any(of_zone[z] == shown for z in zones_of[j]):
                continue
            wrong += 1
            if len(examples) < 10:
                examples.append(f"{day} {identity[j][0]}: shown {shown}, zoneinfo "
                                f"{sorted(of_zone[z] for z in zones_of[j])}")

    # Border towns: the colour of the city's pixel is another zone's offset.
    sys.path.insert(0, os.path.join(here, "data"))
    import zonecolours

    pixel = read_bmp(os.path.join(args.data, "images", "earth_tz.bmp"))
    names, rows = read_raster(args.data)
    probe = datetime.datetime(args.year, 1, 15, 12, tzinfo=datetime.timezone.utc)
    border = []
    for name, state, lat, lon, zone in cities:
        x, y = city_pixel(lat, lon)
        if not (0 <= x < 1024 and 0 <= y < 512) or not zone:
            continue
        local = probe.astimezone(zoneinfo.ZoneInfo(zone))
        # Negative saving (Dublin's winter) counts as the standard time the tables use.
        saving = max(local.dst(), datetime.timedelta(0))
        standard = (local.utcoffset() - saving).total_seconds() / 3600
        shown = zonecolours.offset_of(pixel(x, y))
        if shown != standard:
            border.append(f"{name}{f' ({state})' if state else ''}: {zone} (UTC{standard:+g}), "
                          f"pixel {x},{y} coloured UTC{shown:+g}, raster {names[rows[y][x]]}")

    elapsed = time.monotonic() - started
    print(f"cities: {len(cities)}; days: {len(days)}; city-days checked: {checked}; "
          f"wrong: {wrong}; not matched to a city: {unknown}; {elapsed:.1f} s")
    for line in examples:
        print("  wrong:", line)
    print(f"border towns whose pixel the time-zone image colours with another offset: {len(border)}")
    for line in border:
        print("  ", line)
    return 0 if wrong == 0 and unknown == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
