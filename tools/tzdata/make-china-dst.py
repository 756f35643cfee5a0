#!/usr/bin/env python3
"""Writes data/china-dst.tsv: the periods when mainland China's clocks were
one hour ahead of Beijing standard time, read from the system's time-zone
database (zone Asia/Shanghai) through zdump (Debian package libc-bin).

Usage: tools/tzdata/make-china-dst.py > data/china-dst.tsv
"""
import datetime
import re
import subprocess

LINE = re.compile(r"^\S+\s+\w{3} (\w{3})\s+(\d+) (\d\d):(\d\d):(\d\d) (\d{4}) UT = .* isdst=(\d) gmtoff=(-?\d+)$")
MONTHS = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
STANDARD = datetime.timedelta(hours=8)


def transitions():
    """(moment in Beijing standard time, is daylight saving) at each change."""
    out = subprocess.run(["zdump", "-v", "-c", "1900,2038", "Asia/Shanghai"], capture_output=True, text=True,
                         check=True).stdout
    previous = None
    for line in out.splitlines():
        m = LINE.match(line)
        if not m:
            continue
        mon, day, hh, mm, ss, year, isdst, gmtoff = m.groups()
        ut = datetime.datetime(int(year), MONTHS.index(mon) + 1, int(day), int(hh), int(mm), int(ss))
        state = (isdst == "1", int(gmtoff))
        # zdump prints each change as the second before and the second it takes effect.
        if previous is not None and state != previous and state[1] in (28800, 32400) and previous[1] in (28800, 32400):
            yield ut + STANDARD, state[0]
        previous = state


def main():
    print("# The periods when mainland China's clocks read one hour ahead of Beijing standard time")
    print("# (UTC+8): start and end in Beijing standard time, the period from start up to end.")
    print("# Made by tools/tzdata/make-china-dst.py from the system's time-zone database (zone")
    print("# Asia/Shanghai, tzdata, public domain) through zdump.")
    start = None
    for moment, dst in transitions():
        if dst:
            start = moment
        elif start is not None:
            print("%s\t%s" % (start.strftime("%Y-%m-%d %H:%M"), moment.strftime("%Y-%m-%d %H:%M")))
            start = None


if __name__ == "__main__":
    main()
