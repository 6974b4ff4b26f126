#!/usr/bin/env python3
"""Draws the program icon, a knob turned to the right with its marker, and
writes it as a Windows icon file: one 32 x 32 picture of 24 bits per pixel.

Usage: make_icon.py OUTPUT.ico. The icon is checked in; run this only to
change it."""
import math
import struct
import sys

SIZE = 32
FACE = (0xC8, 0xD0, 0xD4)  # (r, g, b): the button face around the knob
RIM = (0x40, 0x40, 0x48)
DIAL = (0x70, 0x74, 0x80)
MARKER = (0xF0, 0x90, 0x20)
CENTRE = 15.5
RADIUS = 13.5
MARKER_DEGREES = 40  # from straight up, clockwise


def colour_at(x, y):
    dx, dy = x - CENTRE, y - CENTRE
    distance = math.hypot(dx, dy)
    if distance > RADIUS:
        return FACE
    if distance > RADIUS - 2:
        return RIM
    angle = math.radians(MARKER_DEGREES)
    ux, uy = math.sin(angle), -math.cos(angle)
    along = dx * ux + dy * uy
    across = abs(dx * uy - dy * ux)
    if 2 <= along <= RADIUS - 3 and across <= 1.5:
        return MARKER
    return DIAL


def icon_bytes():
    rows = []
    for y in reversed(range(SIZE)):  # bitmaps run bottom-up
        row = b"".join(bytes((b, g, r)) for r, g, b in (colour_at(x, y) for x in range(SIZE)))
        rows.append(row)
    pixels = b"".join(rows)
    mask = bytes(SIZE // 8 * SIZE)  # every pixel opaque; rows are 4 bytes already
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 24, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
