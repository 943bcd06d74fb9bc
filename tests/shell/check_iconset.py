"""Runs the icon render tool and checks the .iconset it makes: every size
macOS asks of an application icon at 1x and 2x, square RGBA PNGs, each the
whole SVG scaled to it (a point outside the drawing clear, one inside the
picture it holds of its colour).

usage: check_iconset.py TOOL ICON.svg SCRATCH
"""
import os
import struct
import subprocess
import sys
import zlib

tool, svg, scratch = sys.argv[1:4]
iconset = os.path.join(scratch, "tallowin.iconset")
if subprocess.run([tool, os.path.join(scratch, "missing.svg"), iconset]).returncode != 1:
    sys.exit("a missing SVG was not an error")
subprocess.run([tool, svg, iconset], check=True)


def rgba_rows(data):
    """Width, height, bit depth, colour type and, for 8-bit RGBA, the rows unfiltered."""
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    chunks, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks += data[at + 8:at + 8 + length] if kind == b"IDAT" else b""
        at += 12 + length
    if (depth, colour) != (8, 6):
        return width, height, depth, colour, None
    raw, stride, rows, previous = zlib.decompress(chunks), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a, b, c = row[i - 4] if i >= 4 else 0, previous[i], previous[i - 4] if i >= 4 else 0
            p = a + b - c
            predictor = [0, a, b, (a + b) // 2,
                         a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c]
            row[i] = (row[i] + predictor[kind]) & 0xFF
        rows.append(row)
        previous = row
    return width, height, depth, colour, rows


wrong = []
for points in (16, 32, 128, 256, 512):
    for scale, suffix in ((1, ""), (2, "@2x")):
        name, pixels = f"icon_{points}x{points}{suffix}.png", points * scale
        width, height, depth, colour, rows = rgba_rows(open(os.path.join(iconset, name), "rb").read())
        if (width, height, rows is not None) != (pixels, pixels, True):
            wrong.append(f"{name}: {width}x{height}, depth {depth}, colour type {colour}")
            continue
        # In the SVG's 128 units: (2, 2) is outside the window drawn, (50, 60) in the light picture inside it.
        pixel = lambda x, y: tuple(rows[y * pixels // 128][x * pixels // 128 * 4:x * pixels // 128 * 4 + 4])
        if pixel(2, 2)[3] != 0 or pixel(50, 60) != (0xF4, 0xF1, 0xEA, 0xFF):
            wrong.append(f"{name}: {pixel(2, 2)} at (2, 2), {pixel(50, 60)} at (50, 60)")
print("\n".join(wrong) if wrong else "10 icons of the sizes macOS asks for")
sys.exit(1 if wrong else 0)
