#!/usr/bin/env python3
"""Independent checks of the program's exports and review page, for the end-to-end tests.

  check_files.py geojson FILE       RFC 7946: a FeatureCollection of Features whose geometries
                                    hold positions [lon, lat(, elevation)] within range, lines
                                    of two positions or more, no "crs" member
  check_files.py page HTML PNG      renders the page in headless Chromium into PNG and checks
                                    that it shows: size, not blank, the phase colours drawn
Prints one line and exits 0 when the file passes, 1 with the reason otherwise.
"""
import json
import os
import struct
import subprocess
import sys
import tempfile
import zlib


def fail(reason):
    print("FAIL: " + reason)
    sys.exit(1)


def check_position(p, where):
    if not isinstance(p, list) or len(p) not in (2, 3):
        fail(f"{where}: a position is two or three numbers: {p!r}")
    if not all(isinstance(v, (int, float)) and not isinstance(v, bool) for v in p):
        fail(f"{where}: a position holds numbers only: {p!r}")
    if not (-180 <= p[0] <= 180 and -90 <= p[1] <= 90):
        fail(f"{where}: longitude, latitude out of range: {p!r}")


def check_geometry(g, where):
    kind = g.get("type")
    coords = g.get("coordinates")
    if kind == "Point":
        check_position(coords, where)
    elif kind == "LineString":
        if not isinstance(coords, list) or len(coords) < 2:
            fail(f"{where}: a LineString has two positions or more")
        for p in coords:
            check_position(p, where)
    else:
        fail(f"{where}: unexpected geometry type {kind!r}")


def geojson(path):
    with open(path, encoding="utf-8") as f:
        doc = json.load(f)
    if doc.get("type") != "FeatureCollection" or "crs" in doc:
        fail("not a FeatureCollection without crs")
    kinds = {}
    for i, feature in enumerate(doc["features"]):
        where = f"feature {i}"
        if feature.get("type") != "Feature" or not isinstance(feature.get("properties"), dict):
            fail(f"{where}: not a Feature with properties")
        check_geometry(feature["geometry"], where)
        kind = feature["geometry"]["type"]
        kinds[kind] = kinds.get(kind, 0) + 1
    print("geojson ok: " + ", ".join(f"{n} {k}" for k, n in sorted(kinds.items())))


def png_pixels(path):
    """Decodes an 8-bit RGB or RGBA, non-interlaced PNG (what Chromium writes)."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("not a PNG")
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                fail("unexpected PNG form")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


def page(html, png):
    with tempfile.TemporaryDirectory() as profile:
        run = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--user-data-dir=" + profile, "--hide-scrollbars",
             "--window-size=1000,1500", "--screenshot=" + png, "file://" + os.path.abspath(html)],
            capture_output=True, timeout=120)
    if not os.path.exists(png):
        fail("chromium wrote no screenshot: " + run.stderr.decode(errors="replace")[-500:])
    width, height, channels, rows = png_pixels(png)
    if (width, height) != (1000, 1500):
        fail(f"screenshot of {width}x{height}")
    colours, inked = set(), 0
    for row in rows[::3]:
        for x in range(0, width * channels, channels * 3):
            pixel = row[x:x + 3]
            colours.add(pixel)
            inked += pixel != b"\xff\xff\xff"
    wanted = {"climb": b"\x2a\x9d\x3a", "descent": b"\xe0\x8a\x00", "level": b"\x1f\x6f\xd1"}
    missing = [name for name, rgb in wanted.items() if rgb not in colours]
    if missing or inked < 20000:
        fail(f"the page looks empty: {inked} inked pixels sampled, missing {missing}")
    print(f"page ok: {width}x{height}, {inked} inked pixels sampled, {len(colours)} colours")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "geojson":
        geojson(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == "page":
        page(sys.argv[2], sys.argv[3])
    else:
        print(__doc__)
        sys.exit(2)
