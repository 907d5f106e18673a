#!/usr/bin/env python3
"""Renders the headset drawing with one visor colour into a single-image ICO.

    make_icon.py RSVG-CONVERT TEMPLATE.svg.in LIGHT DARK OUT.ico

The ICO holds one 64 x 64, 32-bit image as PNG data right after its 6-byte
header and 16-byte directory entry, that is at offset 22, which is how the
program expects its images. rsvg-convert (librsvg2-bin) draws the SVG;
LIGHT and DARK are the visor's colours at its top and bottom.
"""

import os
import struct
import subprocess
import sys
import tempfile

SIZE = 64
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def render_png(rsvg_convert, template_path, light, dark):
    with open(template_path, encoding="utf-8") as template:
        svg = template.read().replace("@VISOR_LIGHT@", light).replace("@VISOR_DARK@", dark)
    with tempfile.TemporaryDirectory() as folder:
        svg_path = os.path.join(folder, "icon.svg")
        png_path = os.path.join(folder, "icon.png")
        with open(svg_path, "w", encoding="utf-8") as out:
            out.write(svg)
        subprocess.run([rsvg_convert, "-w", str(SIZE), "-h", str(SIZE), "-f", "png",
                        "-o", png_path, svg_path], check=True)
        with open(png_path, "rb") as png:
            return png.read()


def check_png(png):
    # The directory entry promises 64 x 64 at 32 bits: an RGBA image with
    # 8 bits per channel.
    if png[:8] != PNG_SIGNATURE or png[12:16] != b"IHDR":
        sys.exit("make_icon: rsvg-convert did not write a PNG")
    width, height, depth, colour_type = struct.unpack(">IIBB", png[16:26])
    if (width, height, depth, colour_type) != (SIZE, SIZE, 8, 6):
        sys.exit(f"make_icon: got {width}x{height}, depth {depth}, colour type {colour_type}")


def ico_bytes(png):
    header = struct.pack("<HHH", 0, 1, 1)
    # 64 fits in the byte fields (0 would mean 256); no palette; one plane.
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(png), 6 + 16)
    return header + entry + png


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    rsvg_convert, template_path, light, dark, out_path = sys.argv[1:]
    png = render_png(rsvg_convert, template_path, light, dark)
    check_png(png)
    with open(out_path, "wb") as out:
        out.write(ico_bytes(png))


if __name__ == "__main__":
    main()
