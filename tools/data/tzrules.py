"""Time-zone facts the data files need, read from a pinned tzdata copy.

Offsets come from Python's zoneinfo over the pinned zoneinfo folder; the ongoing
daylight-saving rule of a zone comes from the POSIX TZ string at the end of its
TZif file, which describes the transitions after the last listed one.
"""

import calendar
import datetime
import math
import re
import zoneinfo
from dataclasses import dataclass

UTC = datetime.timezone.utc

# The year whose offsets decide a zone's standard offset and daylight saving.
RULE_YEAR = 2027


def open_zones(zoneinfo_dir):
    """Points zoneinfo at the pinned copy; every ZoneInfo afterwards comes from there."""
    zoneinfo.reset_tzpath(to=[zoneinfo_dir])
    zoneinfo.ZoneInfo.clear_cache()


def zone(name):
    return zoneinfo.ZoneInfo(name)


def _year_instants(year, step_hours=6):
    t = datetime.datetime(year, 1, 1, tzinfo=UTC)
    end = datetime.datetime(year + 1, 1, 1, tzinfo=UTC)
    while t < end:
        yield t
        t += datetime.timedelta(hours=step_hours)


def hours_at(name, instant):
    return zone(name).utcoffset(instant).total_seconds() / 3600


def standard_offset(name, year=RULE_YEAR):
    """The lowest UTC offset of the year in hours: Europe/Dublin gives 0, not +1."""
    tz = zone(name)
    return min(tz.utcoffset(t).total_seconds() for t in _year_instants(year)) / 3600


def dst_hours(name, instant, year=RULE_YEAR):
    """Daylight saving in force at an instant: the offset above the standard offset."""
    return hours_at(name, instant) - standard_offset(name, year)


def signature(name, first_year=2026, last_year=2028):
    """The offsets of a zone over a few years; zones with equal signatures keep the same time."""
    tz = zone(name)
    return tuple(
        tz.utcoffset(t).total_seconds()
        for y in range(first_year, last_year + 1)
        for t in _year_instants(y, 12)
    )


def read_footer(path):
    """The POSIX TZ string that ends a version 2+ TZif file ("" when there is none)."""
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(b"TZif") or data[4:5] < b"2":
        raise ValueError(f"{path}: not a version 2+ TZif file")
    if data.endswith(b"\n\n"):
        return ""
    return data.rstrip(b"\n").rsplit(b"\n", 1)[1].decode("ascii")


_NAME = r"(?:<[^>]*>|[A-Za-z]+)"
_OFFSET = r"[+-]?\d{1,3}(?::\d{2}){0,2}"
_TZ = re.compile(rf"({_NAME})({_OFFSET})(?:({_NAME})({_OFFSET})?(?:,([^,]+),([^,]+))?)?")


def _hours(text):
    sign = -1 if text.startswith("-") else 1
    parts = [int(p) for p in text.lstrip("+-").split(":")]
    parts += [0] * (3 - len(parts))
    return sign * (parts[0] + parts[1] / 60 + parts[2] / 3600)


@dataclass(frozen=True)
class Switch:
    """One switch of a rule in the data file's terms."""

    weekday: int  # 0 = Sunday ... 6 = Saturday; -1 = the fixed day
    day: int  # 0 = the last such weekday; else that day, or the first such weekday on or after it
    month: int

    def describe(self):
        month = calendar.month_name[self.month]
        if self.weekday < 0:
            return f"{self.day} {month}"
        wd = calendar.day_name[(self.weekday - 1) % 7]
        if self.day == 0:
            return f"last {wd} of {month}"
        return f"{wd} on or after {self.day} {month}"


@dataclass(frozen=True)
class Rule:
    start: Switch
    end: Switch
    save: float  # hours of daylight saving


def _switch(posix_date, local_hours):
    """Turns a POSIX date (Mm.w.d or Jn) whose transition happens local_hours after
    the start of that day (in local standard time) into a Switch on the day whose
    midnight lies nearest the transition: the program switches at 00:00."""
    shift = math.floor((local_hours + 12) / 24)
    m = re.fullmatch(r"M(\d+)\.(\d)\.(\d)", posix_date)
    if m:
        month, week, weekday = (int(g) for g in m.groups())
        if week == 5 and shift == 0:
            return Switch(weekday, 0, month)
        if week == 5:
            if month == 2:
                raise ValueError(f"cannot shift a last weekday of February: {posix_date}")
            first = calendar.monthrange(2001, month)[1] - 6
        else:
            first = 1 + 7 * (week - 1)
        day = first + shift
        if day < 1:
            raise ValueError(f"switch falls into the month before: {posix_date}")
        return Switch((weekday + shift) % 7, day, month)
    m = re.fullmatch(r"J(\d+)", posix_date)
    if m:
        date = datetime.date(2001, 1, 1) + datetime.timedelta(days=int(m.group(1)) - 1 + shift)
        return Switch(-1, date.day, date.month)
    raise ValueError(f"unsupported POSIX date {posix_date}")


def parse_rule(footer):
    """The ongoing daylight-saving rule of a POSIX TZ string, with the standard
    offset as the lower of the two; None when the zone keeps one offset."""
    m = _TZ.fullmatch(footer)
    if not m:
        raise ValueError(f"unreadable TZ string {footer!r}")
    _, std_text, dst_name, dst_text, start_text, end_text = m.groups()
    if not dst_name:
        return None
    std = -_hours(std_text)
    dst = -_hours(dst_text) if dst_text else std + 1
    if not start_text:
        raise ValueError(f"TZ string without switch dates {footer!r}")

    def split(text):
        date, _, time = text.partition("/")
        return date, _hours(time) if time else 2.0

    start_date, start_time = split(start_text)
    end_date, end_time = split(end_text)
    save = dst - std
    # The start time is local standard time, the end time local daylight time.
    start_std = start_time
    end_std = end_time - save
    if save < 0:
        # Negative saving (Irish summer time is the standard): the lower offset is
        # the standard one, and the rule runs from the other switch.
        save = -save
        start_date, end_date = end_date, start_date
        start_std, end_std = end_time, start_time - save
    return Rule(_switch(start_date, start_std), _switch(end_date, end_std), save)
