#!/usr/bin/python3
"""Writes an independent reference for births abroad: random local birth
times in twenty cities of the place list, turned into universal time by the
system's tz database through Python's zoneinfo, and true solar time, the
solar year and the month's branch from PyEphem (Debian package
python3-ephem); neither shares code with the program.

Usage: tools/reference/make-world-births.py data/places.tsv > tests/data/moment/world-births.tsv
"""
import datetime
import importlib.util
import math
import os
import random
import sys
import zoneinfo

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))
source = importlib.util.spec_from_file_location("ephemeris", os.path.join(HERE, "make-ephemeris-table.py"))
ephemeris = importlib.util.module_from_spec(source)
source.loader.exec_module(ephemeris)

CITIES = ["纽约（美国）", "伦敦（英国）", "悉尼（澳大利亚）", "新加坡（新加坡）", "东京（日本）", "巴黎（法国）",
          "洛杉矶（美国）", "温哥华（加拿大）", "多伦多（加拿大）", "首尔（韩国）", "吉隆坡（马来西亚）",
          "莫斯科（俄罗斯）", "开罗（埃及）", "孟买（印度）", "加德满都（尼泊尔）", "圣保罗（巴西）",
          "布宜诺斯艾利斯（阿根廷）", "奥克兰（新西兰）", "香港特别行政区", "台北市"]
BIRTHS_PER_CITY = 10


def places(path):
    """name or name（country） -> (longitude, zone), as the program names them."""
    found = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("#"):
            continue
        f = line.rstrip("\n").split("\t")
        key = f"{f[0]}（{f[1]}）" if f[3] == "3" else f[0]
        found.setdefault(key, (float(f[4]), f[6] or "Asia/Shanghai"))
    return found


def solar_year(utc):
    """The year whose 立春 (the Sun at 315°) the moment has passed."""
    year = (utc + datetime.timedelta(hours=8)).year
    spring = ephemeris.term_moment(year, 315)
    return year if ephem.Date(utc) >= spring else year - 1


def main(path):
    known = places(path)
    rng = random.Random(20261208)
    print("# Independent reference for births abroad, made by tools/reference/make-world-births.py:")
    print("# random local times (seed 20261208) in twenty cities of data/places.tsv, turned into UTC by")
    print("# Python %s zoneinfo over the system's tz database (tzdata %s; a repeated time is its first"
          % (sys.version.split()[0], open("/usr/share/zoneinfo/tzdata.zi").readline().split()[-1]))
    print("# occurrence, skipped times left out), and PyEphem %s for the rest: true solar time = UT +"
          % ephem.__version__)
    print("# longitude / 15 h + the equation of time, the solar year from 立春's moment (the Sun's apparent")
    print("# longitude 315°) and the month's branch from the Sun's apparent longitude (0 = 子 .. 11 = 亥).")
    print("# Columns: place, local time, UTC, UTC offset, true solar time, solar year, month branch,")
    print("# degrees from the nearest sectional term (a row nearer than 0.001° leaves the month unchecked).")
    for city in CITIES:
        longitude, zone = known[city]
        tz = zoneinfo.ZoneInfo(zone)
        written = 0
        while written < BIRTHS_PER_CITY:
            local = datetime.datetime(rng.randint(1900, 2040), rng.randint(1, 12), rng.randint(1, 28),
                                      rng.randint(0, 23), rng.randint(0, 59), tzinfo=tz)
            utc = local.astimezone(datetime.timezone.utc)
            if utc.astimezone(tz).replace(tzinfo=None) != local.replace(tzinfo=None):
                continue  # a local time the zone skipped
            naive = utc.replace(tzinfo=None)
            date = ephem.Date(naive)
            solar = naive + datetime.timedelta(hours=longitude / 15, seconds=ephemeris.equation_of_time(date))
            sun = ephemeris.apparent_longitude(date)
            branch = (int(((sun - 315) % 360) // 30) + 2) % 12
            to_term = min(abs((sun - 15 * k + 180) % 360 - 180) for k in range(1, 25, 2))
            offset = int(utc.astimezone(tz).utcoffset().total_seconds())
            minutes = abs(offset) // 60  # a local mean time's seconds are left off
            print("\t".join([city, local.strftime("%Y-%m-%d %H:%M"), naive.strftime("%Y-%m-%dT%H:%MZ"),
                             "%s%02d:%02d" % ("-" if offset < 0 else "+", minutes // 60, minutes % 60),
                             solar.strftime("%Y-%m-%d %H:%M:%S"), str(solar_year(naive)), str(branch),
                             "%.4f" % to_term]))
            written += 1


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
