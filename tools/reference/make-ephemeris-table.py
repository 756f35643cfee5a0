#!/usr/bin/python3
"""Writes the independent reference for the exact birth moment: the moment of
every solar term 1900-2100 and the equation of time on the 1st and 15th of
every month, both from PyEphem (Debian package python3-ephem), which shares no
code with the ERFA routines the program uses.

Usage: tools/reference/make-ephemeris-table.py > tests/data/moment/ephemeris-reference.tsv
"""
import math
import sys

import ephem

TERM_NAMES = ["小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
              "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"]


def apparent_longitude(date):
    """The Sun's apparent geocentric ecliptic longitude of date, in degrees."""
    sun = ephem.Sun()
    sun.compute(date)
    ecliptic = ephem.Ecliptic(ephem.Equatorial(sun.ra, sun.dec, epoch=date), epoch=date)
    return math.degrees(ecliptic.lon)


def term_moment(year, longitude):
    guess = ephem.Date(f"{year}/1/1") + ((longitude - 280.5) % 360) / 0.98565

    def offset(d):
        return (apparent_longitude(d) - longitude + 180) % 360 - 180

    return ephem.Date(ephem.newton(offset, guess, guess + 0.01))


def format_beijing(date):
    y, m, d, hh, mm, ss = ephem.Date(date + 8 * ephem.hour + 0.5 * ephem.second).tuple()
    return "%04d-%02d-%02d %02d:%02d:%02d" % (y, m, d, hh, mm, int(ss))


def equation_of_time(date):
    """Apparent minus mean solar time at Greenwich, in seconds."""
    observer = ephem.Observer()
    observer.lon, observer.lat, observer.elevation = "0", "0", 0
    observer.date = date
    sun = ephem.Sun()
    sun.compute(date)
    hour_angle = float(observer.sidereal_time()) - float(sun.ra)
    y, m, d, hh, mm, ss = ephem.Date(date).tuple()
    mean = (hh + mm / 60 + ss / 3600 - 12) / 12 * math.pi
    eot = (hour_angle - mean + math.pi) % (2 * math.pi) - math.pi
    return eot * 43200 / math.pi


def main():
    print("# Independent reference for the exact birth moment, made by")
    print("# tools/reference/make-ephemeris-table.py with PyEphem %s (Debian python3-ephem)." % ephem.__version__)
    print("# TERM rows: year, index (0 = 小寒 .. 23 = 冬至), name, longitude in degrees, and the moment")
    print("#   the Sun's apparent geocentric ecliptic longitude of date reaches it, Beijing time (UT+8,")
    print("#   PyEphem's own delta T), to the second.")
    print("# EOT rows: a moment in UT (12:00 on the 1st and 15th of each month) and the equation of")
    print("#   time there in seconds (apparent minus mean solar time), from the apparent sidereal time")
    print("#   and the Sun's apparent right ascension of date.")
    for year in range(1900, 2101):
        for index, name in enumerate(TERM_NAMES):
            longitude = (285 + 15 * index) % 360
            print("TERM\t%d\t%d\t%s\t%d\t%s" % (year, index, name, longitude,
                                                format_beijing(term_moment(year, longitude))))
    for year in range(1900, 2101):
        for month in range(1, 13):
            for day in (1, 15):
                date = ephem.Date((year, month, day, 12, 0, 0))
                print("EOT\t%04d-%02d-%02d 12:00:00\t%.1f" % (year, month, day, equation_of_time(date)))


if __name__ == "__main__":
    main()
