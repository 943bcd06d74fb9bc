"""Runs the icon render tool and checks the .iconset it makes: every size
macOS asks of an application icon at 1x and 2x, square RGBA PNGs, each with
something drawn and its top row transparent (the SVG leaves a margin there).

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

wrong = []
for points in (16, 32, 128, 256, 512):
    for scale, suffix in ((1, ""), (2, "@2x")):
        name, pixels = f"icon_{points}x{points}{suffix}.png", points * scale
        data = open(os.path.join(iconset, name), "rb").read()
        width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
        chunks, at = b"", 8
        while at < len(data):
            length, kind = struct.unpack(">I4s", data[at:at + 8])
            chunks += data[at + 8:at + 8 + length] if kind == b"IDAT" else b""
            at += 12 + length
        rows = zlib.decompress(chunks)
        stride = 1 + width * 4
        # Filtered or not, a row of zero bytes is a row of transparent pixels.
        if (width, height, depth, colour) != (pixels, pixels, 8, 6):
            wrong.append(f"{name}: {width}x{height}, depth {depth}, colour type {colour}")
        elif any(rows[1:stride]) or not any(rows[stride + 1:]):
            wrong.append(f"{name}: top row drawn on, or nothing drawn")
print("\n".join(wrong) if wrong else "10 icons of the sizes macOS asks for")
sys.exit(1 if wrong else 0)
