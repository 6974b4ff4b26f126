#!/usr/bin/env python3
"""Packs PNG pictures of the program icon (drawn from
packaging/desktop/tonkelwerk.svg at build time) into one Windows icon file:
below 256 pixels as 32-bit bitmaps with alpha, the way every Windows reads
them; 256 pixels stays PNG, which Windows reads from Vista on and which keeps
the largest picture small.

Usage: make_icon.py OUTPUT.ico PNG...
Leaves out: PNGs other than 8-bit RGBA without interlacing, which is what
rsvg-convert writes. Depends on the Python standard library only."""
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
RGBA = 6
PIXEL_BYTES = 4
LARGEST_BITMAP = 255  # sizes above this go into the file as PNG


def png_chunks(data):
    at = len(PNG_SIGNATURE)
    while at < len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def paeth(left, up, up_left):
    estimate = left + up - up_left
    distances = abs(estimate - left), abs(estimate - up), abs(estimate - up_left)
    return (left, up, up_left)[distances.index(min(distances))]


def unfilter(raw, width, height):
    """The RGBA rows of a PNG's decompressed image data, top row first."""
    stride = width * PIXEL_BYTES
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = row[x - PIXEL_BYTES] if x >= PIXEL_BYTES else 0
            up_left = previous[x - PIXEL_BYTES] if x >= PIXEL_BYTES else 0
            predictor = (0, left, previous[x], (left + previous[x]) // 2,
                         paeth(left, previous[x], up_left))[kind]
            row[x] = (row[x] + predictor) & 0xFF
        rows.append(bytes(row))
        previous = row
    return rows


def read_png(data):
    """(width, height, RGBA rows) of an 8-bit RGBA PNG."""
    if not data.startswith(PNG_SIGNATURE):
        sys.exit("make_icon.py: not a PNG file")
    chunks = list(png_chunks(data))
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if (depth, colour, interlace) != (8, RGBA, 0):
        sys.exit("make_icon.py: the PNG is not 8-bit RGBA without interlacing")
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    return width, height, unfilter(raw, width, height)


def bitmap(width, height, rows):
    """The icon image: a 32-bit BGRA bitmap, bottom row first, and its AND
    mask, all clear because the alpha channel decides."""
    pixels = b"".join(bytes(row[x + i] for x in range(0, len(row), PIXEL_BYTES) for i in (2, 1, 0, 3))
                      for row in reversed(rows))
    mask_stride = (width + 31) // 32 * 4
    mask = bytes(mask_stride * height)
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def icon_bytes(pngs):
    images = []
    for data in pngs:
        width, height, rows = read_png(data)
        image = data if width > LARGEST_BITMAP else bitmap(width, height, rows)
        images.append((width, height, image))
    images.sort(key=lambda entry: entry[0])
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for width, height, image in images:
        # 0 stands for 256 in the one-byte sizes.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(image for _, _, image in images)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: make_icon.py OUTPUT.ico PNG...")
    pngs = []
    for name in sys.argv[2:]:
        with open(name, "rb") as png:
            pngs.append(png.read())
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes(pngs))
