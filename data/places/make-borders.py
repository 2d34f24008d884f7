#!/usr/bin/env python3
"""Writes borders.bin beside this script from Natural Earth's country borders.

The borders are Natural Earth's Admin 0 countries at 1:10m (public domain),
as the npm package world-atlas redistributes them in TopoJSON, quantised to
a grid of 100,000 by 100,000 steps. Run once, by hand:

    data/places/make-borders.py            # fetches world-atlas with npm pack
    data/places/make-borders.py PACKAGE.tgz

world-atlas names a country by its ISO 3166-1 numeric code; iso-codes
(/usr/share/iso-codes) turns it into the two-letter code the towns use.

borders.bin, all numbers little-endian:
    "GVBORDR1"
    float64 x scale, y scale, x offset, y offset: degrees = step * scale + offset
    uint32 country count, then for each country:
        2 bytes ISO 3166-1 alpha-2 code, uint32 ring count, then for each ring:
            uint32 point count, then per point x and y as zigzag LEB128 steps
            from the point before (the first from 0, 0)
A country's rings together bound it by the even-odd rule: holes are rings
inside rings. A ring that crosses the 180th meridian goes on past it (steps
beyond 360 degrees' worth), so a point is tried a turn east too.
"""

import json
import os
import struct
import subprocess
import sys
import tarfile
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PACKAGE = "world-atlas@2.0.2"
MEMBER = "package/countries-10m.json"
ISO_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"

# Features without an ISO code of their own, by Natural Earth's name: the
# country whose towns they hold. Disputed reefs and the Siachen Glacier are
# left out: no country is right for them.
UNCODED = {
    "Somaliland": "SO", "N. Cyprus": "CY", "Cyprus U.N. Buffer Zone": "CY",
    "Akrotiri": "GB", "Dhekelia": "GB", "Baikonur": "KZ", "USNB Guantanamo Bay": "CU",
    "Kosovo": "XK", "Coral Sea Is.": "AU", "Clipperton I.": "FR",
}
# Parts of a country that ISO and the towns list as places of their own:
# (country, code, west, east, south, north) by a polygon's first point.
OVERSEAS = [
    ("FR", "GF", -55.0, -51.0, 1.5, 6.5), ("FR", "GP", -62.0, -60.8, 15.7, 16.7),
    ("FR", "MQ", -61.4, -60.6, 14.2, 15.0), ("FR", "RE", 55.0, 56.0, -21.6, -20.7),
    ("FR", "YT", 44.8, 45.5, -13.2, -12.4), ("NO", "SJ", 10.0, 35.0, 74.0, 81.5),
    ("NO", "SJ", -9.5, -7.5, 70.5, 71.5), ("NO", "BV", 3.0, 4.0, -54.6, -54.2),
    ("NL", "BQ", -69.0, -62.0, 11.5, 18.0), ("NZ", "TK", -173.0, -171.0, -10.0, -8.0),
    ("Indian Ocean Ter.", "CX", 105.0, 106.0, -11.0, -10.0),
    ("Indian Ocean Ter.", "CC", 96.0, 97.5, -12.8, -11.5),
]


def topology(path):
    if path is None:
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run(["npm", "pack", PACKAGE, "--silent"], cwd=tmp, check=True, stdout=subprocess.DEVNULL)
            (name,) = [n for n in os.listdir(tmp) if n.endswith(".tgz")]
            return topology(os.path.join(tmp, name))
    with tarfile.open(path) as tar:
        return json.load(tar.extractfile(MEMBER))


def decode_arcs(topo):
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x, y))
        arcs.append(points)
    return arcs


def ring_of(arcs, indices):
    points = []
    for i in indices:
        part = arcs[i] if i >= 0 else arcs[~i][::-1]
        points.extend(part if not points else part[1:])
    # Quantising leaves repeated points; a closed ring lists its first point once.
    clean = [p for k, p in enumerate(points) if k == 0 or p != points[k - 1]]
    if len(clean) > 1 and clean[0] == clean[-1]:
        clean.pop()
    return clean


def unwrapped(ring, turn):
    """The ring without jumps across the 180th meridian: a ring that crosses it
    (Chukotka, Fiji) goes on past it, beyond the usual range of steps. A ring
    around the pole (Antarctica) crosses it once and is closed along the map's
    edge, as it was."""
    shift, out = 0, [ring[0]]
    for (x0, _), (x, y) in zip(ring, ring[1:]):
        if abs(x - x0) > turn / 2:
            shift += turn if x < x0 else -turn
        out.append((x + shift, y))
    if shift != 0:
        return ring
    # Most of it in the usual range, so that only the part past the meridian lies beyond.
    middle = sum(x for x, _ in out) / len(out)
    back = turn if middle < 0 else (-turn if middle >= turn else 0)
    return [(x + back, y) for x, y in out]


def twice_area(ring):
    return sum(ring[k - 1][0] * p[1] - p[0] * ring[k - 1][1] for k, p in enumerate(ring))


def countries(topo):
    iso = {c["numeric"]: c["alpha_2"] for c in json.load(open(ISO_JSON, encoding="utf-8"))["3166-1"]}
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = decode_arcs(topo)
    rings = {}
    for g in topo["objects"]["countries"]["geometries"]:
        name = g["properties"]["name"]
        code = iso.get(g.get("id")) or UNCODED.get(name)
        polygons = {"Polygon": [g.get("arcs")], "MultiPolygon": g.get("arcs")}.get(g["type"], [])
        for polygon in polygons:
            x0, y0 = ring_of(arcs, polygon[0])[0]
            lon, lat = x0 * sx + tx, y0 * sy + ty
            owner = code
            for parent, part, west, east, south, north in OVERSEAS:
                if parent in (code, name) and west <= lon <= east and south <= lat <= north:
                    owner = part
            if owner is None:
                continue
            for indices in polygon:
                ring = unwrapped(ring_of(arcs, indices), round(360 / sx))
                # A ring the quantising flattened bounds nothing.
                if len(ring) >= 3 and twice_area(ring) != 0:
                    rings.setdefault(owner, []).append(ring)
    return (sx, sy, tx, ty), rings


def varint(value):
    value = (value << 1) ^ (value >> 63)  # zigzag
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def main():
    transform, rings = countries(topology(sys.argv[1] if len(sys.argv) > 1 else None))
    out = bytearray(b"GVBORDR1")
    out += struct.pack("<4d", *transform)
    out += struct.pack("<I", len(rings))
    for code in sorted(rings):
        out += code.encode("ascii") + struct.pack("<I", len(rings[code]))
        for ring in rings[code]:
            out += struct.pack("<I", len(ring))
            x = y = 0
            for px, py in ring:
                out += varint(px - x) + varint(py - y)
                x, y = px, py
    with open(os.path.join(HERE, "borders.bin"), "wb") as f:
        f.write(out)
    print(f"{len(rings)} countries, {sum(len(r) for r in rings.values())} rings, "
          f"{sum(len(p) for r in rings.values() for p in r)} points, {len(out)} bytes")


if __name__ == "__main__":
    main()
