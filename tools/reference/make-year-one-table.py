#!/usr/bin/python3
"""Writes the independent reference for the turn from 1 BC to AD 1: the new
moons and the moments of the sectional terms from October of year -2 to April of year 1, and the new moon of the total solar
eclipse of 17 July 709 BC, all from PyEphem (Debian package python3-ephem),
as civil dates of Beijing time (UT+8, PyEphem's own delta T) in the proleptic
Julian calendar, whose years run ..., -2, -1, 1, 2 without a year 0.

Usage: tools/reference/make-year-one-table.py > tests/data/calendar/year-one-reference.tsv
"""
import importlib.util
import math
import pathlib

import ephem

# The Sun's apparent longitude as the table of the exact moments computes it.
_spec = importlib.util.spec_from_file_location(
    "ephemeris_table", pathlib.Path(__file__).with_name("make-ephemeris-table.py"))
_ephemeris_table = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(_ephemeris_table)
apparent_longitude = _ephemeris_table.apparent_longitude

TERMS = {255: "大雪", 285: "小寒", 315: "立春", 345: "惊蛰"}
DUBLIN = 2415020  # PyEphem counts days from JD 2415020 (1899-12-31 12:00 UT)


def julian_date_of(jd):
    """Proleptic Julian calendar date and time of a Julian date, without a year 0."""
    shifted = jd + 0.5
    day_number = math.floor(shifted)
    seconds = round((shifted - day_number) * 86400)
    c = day_number + 32082
    d = (4 * c + 3) // 1461
    e = c - 1461 * d // 4
    m = (5 * e + 2) // 153
    day = e - (153 * m + 2) // 5 + 1
    month = m + 3 - 12 * (m // 10)
    year = d - 4800 + m // 10
    if year <= 0:
        year -= 1  # astronomical 0 is 1 BC, written -1
    return year, month, day, seconds // 3600, seconds // 60 % 60


def beijing(date):
    y, m, d, hh, mm = julian_date_of(float(date) + DUBLIN + 8 / 24)
    return "%05d-%02d-%02d %02d:%02d" % (y, m, d, hh, mm) if y < 0 else "%04d-%02d-%02d %02d:%02d" % (y, m, d, hh, mm)


def term_moment(longitude, guess):
    def offset(d):
        return (apparent_longitude(d) - longitude + 180) % 360 - 180
    return ephem.Date(ephem.newton(offset, guess, guess + 0.01))


def main():
    print("# Independent reference for the turn from 1 BC to AD 1, made by")
    print("# tools/reference/make-year-one-table.py with PyEphem 4.1.4 (Debian python3-ephem): the new")
    print("# moons and the sectional terms from October of year -2 to April of year 1, and the new moon")
    print("# of the total solar eclipse of 17 July 709 BC, in Beijing time (UT+8, PyEphem's own delta T)")
    print("# as proleptic Julian dates whose years run ..., -2, -1, 1, 2 without a year 0.")
    print("# NEWMOON rows: the date and time of a new moon. TERM rows: the Sun's apparent longitude of")
    print("# date, the term's name, its date and time.")
    start = ephem.Date(1721424.5 - 457 - DUBLIN)  # about 1 October of year -2
    end = ephem.Date(1721424.5 + 90 - DUBLIN)     # about 1 April of year 1
    d = start
    while True:
        d = ephem.next_new_moon(d)
        if d > end:
            break
        print("NEWMOON\t" + beijing(d))
        d = ephem.Date(d + 1)
    for longitude, name in sorted(TERMS.items()):
        t = ephem.Date(start + ((longitude - apparent_longitude(start)) % 360) / 0.9856)
        while t < end:
            moment = term_moment(longitude, t)
            print("TERM\t%d\t%s\t%s" % (longitude, name, beijing(moment)))
            t = ephem.Date(moment + 365.2422)
    # 《春秋》桓公三年“秋七月壬辰朔，日有食之，既”: 17 July 709 BC.
    print("NEWMOON\t" + beijing(ephem.next_new_moon(ephem.Date(1721424.5 - 258775 - DUBLIN))))


if __name__ == "__main__":
    main()
