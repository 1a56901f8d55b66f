#!/usr/bin/env python3
"""Writes a small LAS point cloud (GDAL has no LAS writer):
  make_las.py OUT --version 1.2 --epsg 32633 BOUNDS...      GeoTIFF keys
  make_las.py OUT --version 1.4 --wkt-file F BOUNDS...      WKT record
BOUNDS are MINX MINY MAXX MAXY; the points lie on a grid over them, heights
0 to 99. --laz marks the point format as compressed and adds the LASzip
record, as a .laz header reads; the points themselves stay uncompressed.
The same bytes on every run."""
import argparse
import struct

GEOGRAPHIC_MIN, GEOGRAPHIC_MAX = 4000, 4999  # EPSG codes of geographic systems


def record(user, rid, payload, description=b""):
    return struct.pack("<H16sHH32s", 0, user, rid, len(payload), description) + payload


def geokeys(epsg):
    if GEOGRAPHIC_MIN <= epsg <= GEOGRAPHIC_MAX:
        keys = [(1024, 0, 1, 2), (2048, 0, 1, epsg), (2054, 0, 1, 9102)]
    else:
        keys = [(1024, 0, 1, 1), (3072, 0, 1, epsg), (3076, 0, 1, 9001)]
    values = [1, 1, 0, len(keys)] + [v for k in keys for v in k]
    return record(b"LASF_Projection", 34735, struct.pack("<%dH" % len(values), *values))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--version", choices=["1.2", "1.4"], required=True)
    ap.add_argument("--epsg", type=int)
    ap.add_argument("--wkt-file")
    ap.add_argument("--laz", action="store_true")
    ap.add_argument("--grid", type=int, default=10)
    ap.add_argument("bounds", type=float, nargs=4)
    a = ap.parse_args()
    minx, miny, maxx, maxy = a.bounds
    minor = 2 if a.version == "1.2" else 4
    header_size = 227 if minor == 2 else 375
    point_format = 1 if minor == 2 else 6
    record_length = 28 if minor == 2 else 30

    records = b""
    if a.epsg:
        records += geokeys(a.epsg)
    if a.wkt_file:
        with open(a.wkt_file, "rb") as f:
            records += record(b"LASF_Projection", 2112, f.read().strip() + b"\0")
    if a.laz:
        # Compressor 2 (point-wise chunked), version 2.2; one item list.
        laszip = struct.pack("<HHBBHIIqqH", 2, 0, 2, 2, 0, 0, 50000, -1, -1, 0)
        records += record(b"laszip encoded", 22204, laszip)
    record_count = records.count(b"LASF_Projection") + records.count(b"laszip encoded")

    scale = 0.01
    offset = (minx, miny, 0.0)
    points = []
    n = a.grid
    for j in range(n):
        for i in range(n):
            x = minx + (maxx - minx) * i / (n - 1)
            y = miny + (maxy - miny) * j / (n - 1)
            z = float((i * n + j) % 100)
            points.append((x, y, z))
    xs, ys, zs = zip(*points)
    # The bounds are those of the stored (scaled) coordinates.
    def stored(v, o):
        return round((v - o) / scale)
    qx = [stored(x, offset[0]) * scale + offset[0] for x in xs]
    qy = [stored(y, offset[1]) * scale + offset[1] for y in ys]

    body = b""
    for (x, y, z) in points:
        ix, iy, iz = stored(x, offset[0]), stored(y, offset[1]), stored(z, offset[2])
        if minor == 2:  # format 1: xyz, intensity, flags, class, angle, user, source, gps time
            body += struct.pack("<iiiHBBbBHd", ix, iy, iz, 100, 0x09, 2, 0, 0, 1, 0.0)
        else:  # format 6: xyz, intensity, two flag bytes, class, user, angle, source, gps time
            body += struct.pack("<iiiHBBBBhHd", ix, iy, iz, 100, 0x11, 0, 2, 0, 0, 1, 0.0)

    count = len(points)
    point_offset = header_size + len(records)
    encoding = 16 if minor == 4 else 0  # WKT flag in 1.4
    fmt_byte = point_format | (0x80 if a.laz else 0)
    h = struct.pack("<4sHHIHH8sBB32s32sHHHIIBHI5I", b"LASF", 0, encoding, 0, 0, 0, b"\0" * 8,
                    1, minor, b"ATLION FIND SAMPLE", b"make_las.py", 1, 2000, header_size,
                    point_offset, record_count, fmt_byte, record_length,
                    count if minor == 2 else 0, count, 0, 0, 0, 0)
    h += struct.pack("<12d", scale, scale, scale, offset[0], offset[1], offset[2],
                     max(qx), min(qx), max(qy), min(qy), max(zs), min(zs))
    if minor == 4:
        h += struct.pack("<QQIQ15Q", 0, 0, 0, count, count, *([0] * 14))
    assert len(h) == header_size, len(h)
    with open(a.out, "wb") as f:
        f.write(h + records + body)


if __name__ == "__main__":
    main()
