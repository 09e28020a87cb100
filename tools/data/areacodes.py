"""areacode.dat: country dialling codes and the area codes of the cities.

Country codes come from countries-list; city area codes from the geocoding
prefixes of python3-phonenumbers (libphonenumber's data), kept only where a
prefix's English place name is the city's name and nothing else. The matches
are noisy, so the largest cities are checked by hand: CITY_CODES fixes them.
"""

import collections
import re

import phonenumbers
import phonenumbers.geodata

from generate import fold

# Checked by hand for the largest cities: (ISO country, city name) -> area codes
# (empty: the city gets none, the country has no area codes or the match is wrong).
CITY_CODES = {
    ("MX", "Mexico City"): ["55"],
    ("BR", "São Paulo"): ["11"],
    ("US", "New York"): ["212", "718"],
    ("AR", "Buenos Aires"): ["11"],
    ("IN", "Delhi"): ["11"],
    ("RU", "Moscow"): ["495", "499"],
    ("TR", "Istanbul"): ["212", "216"],
    ("EG", "Cairo"): ["2"],
    ("ID", "Jakarta"): ["21"],
    ("IR", "Tehran"): ["21"],
    ("PE", "Lima"): ["1"],
    ("PH", "Manila"): ["2"],
    ("CD", "Kinshasa"): [],
    ("IN", "Bengaluru"): ["80"],
    ("TH", "Bangkok"): ["2"],
    ("HK", "Hong Kong"): [],
    ("IQ", "Baghdad"): ["1"],
    ("IN", "Hyderabad"): ["40"],
    ("TW", "Taipei"): ["2"],
    ("CA", "Toronto"): ["416", "647"],
    ("IN", "Ahmedabad"): ["79"],
    ("SA", "Riyadh"): ["11"],
    ("SG", "Singapore"): [],
    ("CN", "Shenyeng"): ["24"],
    ("CN", "Chengdu"): ["28"],
    ("RU", "St. Petersburg"): ["812"],
    ("BR", "Belo Horizonte"): ["31"],
    ("MM", "Rangoon"): ["1"],
    ("BR", "Rio de Janeiro"): ["21"],
}

# The largest cities are listed in the report so that they can be checked.
REPORT_LARGEST = 60
MAX_CODES_PER_CITY = 3


def _calling_code(prefix):
    for k in (1, 2, 3):
        cc = int(prefix[:k])
        if cc in phonenumbers.COUNTRY_CODE_TO_REGION_CODE:
            return cc, prefix[k:]
    return None, None


def _sample_number(cc, nsn_prefix):
    """A valid number that starts with the prefix, or None."""
    for length in range(max(len(nsn_prefix), 4), 14):
        for pad in "0519":
            digits = nsn_prefix + pad * (length - len(nsn_prefix))
            number = phonenumbers.PhoneNumber(country_code=cc, national_number=int(digits))
            if phonenumbers.is_valid_number(number):
                return number
    return None


def _area_code(cc, nsn_prefix, iso2):
    number = _sample_number(cc, nsn_prefix)
    if number is None or phonenumbers.region_code_for_number(number) != iso2:
        return None
    length = phonenumbers.length_of_geographical_area_code(number)
    if length == 0 or length > len(nsn_prefix):
        return None
    return phonenumbers.national_significant_number(number)[:length]


def _place_index():
    """(calling code, folded place name) -> [(prefix without the code, region suffix)]."""
    index = collections.defaultdict(list)
    for prefix, texts in phonenumbers.geodata.GEOCODE_DATA.items():
        desc = texts.get("en")
        if not desc:
            continue
        cc, nsn = _calling_code(prefix)
        if cc is None or not nsn:
            continue
        place, _, region = desc.partition(", ")
        index[(cc, fold(place))].append((nsn, region))
    return index


def _state_codes(cities):
    """US and Canadian state abbreviations by state name, as the prefixes give them."""
    abbrev = {}
    for c in cities:
        if c["stateAnsi"] and c["state"]:
            abbrev[(c["iso2"], c["state"])] = c["stateAnsi"]
    return abbrev


def city_codes(cities):
    """(iso2, name) -> sorted area codes, for the cities whose name matches unambiguously."""
    index = _place_index()
    abbrev = _state_codes(cities)
    names = collections.Counter((c["iso2"], fold(c["name"])) for c in cities)
    found = {}
    for c in cities:
        iso2, name = c["iso2"], c["name"]
        if (iso2, name) in CITY_CODES:
            found[(iso2, name)] = list(CITY_CODES[(iso2, name)])
            continue
        if names[(iso2, fold(name))] > 1:
            continue  # two cities of that name in the country: ambiguous
        cc = phonenumbers.country_code_for_region(iso2)
        if not cc:
            continue
        state = abbrev.get((iso2, c["state"]), "")
        codes = set()
        for nsn, region in index.get((cc, fold(name)), ()):
            # "Springfield, IL": the region must be the city's own state.
            if region and re.fullmatch(r"[A-Z]{2}", region) and region != state:
                continue
            code = _area_code(cc, nsn, iso2)
            if code:
                codes.add(code)
        if 0 < len(codes) <= MAX_CODES_PER_CITY:
            found[(iso2, name)] = sorted(codes)
    return {k: v for k, v in found.items() if v}


def build(cities, zone_list, zonetab, names, phones):
    """The lines of areacode.dat (country line, then its city lines, by country
    name) and a report of the largest cities' codes."""
    codes = city_codes(cities)
    countries = sorted({zonetab.country[z] for z in zone_list}, key=lambda c: names[c])
    by_country = collections.defaultdict(list)
    for c in cities:
        if (c["iso2"], c["name"]) in codes:
            by_country[c["iso2"]].append(c["name"])
    lines = []
    missing = []
    for iso2 in countries:
        dial = phones.get(iso2) or []
        if not dial:
            missing.append(names[iso2])
        lines.append(f"{names[iso2]},{'/'.join(str(d) for d in dial)}")
        for city in sorted(set(by_country[iso2]), key=lambda n: (n.casefold(), n)):
            for code in codes[(iso2, city)]:
                lines.append(f"*,{city},{code}")
    report = [f"area codes: {len(codes)} cities have area codes"]
    if missing:
        report.append(f"area codes: no dialling code for {', '.join(missing)}")
    largest = sorted(cities, key=lambda c: -c["pop"])[:REPORT_LARGEST]
    for c in largest:
        report.append(f"area codes: {c['name']} ({c['iso2']}, {c['pop']:.0f}): "
                      f"{' '.join(codes.get((c['iso2'], c['name']), [])) or '-'}")
    return lines, report
