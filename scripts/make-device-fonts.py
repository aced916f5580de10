#!/usr/bin/env python3
"""Converts the console fonts of Terminus Font into the preview's glyph tables.

Run once by hand; the output (src/editor/preview/DeviceFontTables.cpp) is committed, so
the build needs neither this script nor the console fonts. On Debian the fonts come
with the package console-setup-linux (/usr/share/consolefonts).

Glyph layout of the tables: glyph g takes (width / 8) * height bytes from byte
g * (width / 8) * height on, rows top to bottom, each row left to right, the most
significant bit of a byte being the leftmost pixel.

  small   8 x 16   160 glyphs: characters 32..127, then the cp1251 letters 192..255
  medium 16 x 32   the same 160 characters
  large  32 x 64   20 glyphs: blank + - . : 0..9 T D N P R, the medium glyphs
                   doubled with Scale2x, so diagonals stay smooth

usage: make-device-fonts.py [CONSOLEFONTS_DIR] [OUTPUT]
"""

import gzip
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_DIR = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/consolefonts"
OUTPUT = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "..", "src", "editor", "preview", "DeviceFontTables.cpp")
SMALL = "Uni2-Terminus16.psf.gz"
MEDIUM = "Uni2-Terminus32x16.psf.gz"
LARGE_SOURCE = "Uni2-TerminusBold32x16.psf.gz"
DIGITS = " +-.:0123456789TDNPR"


def read_psf(name):
    """Returns (width, height, glyph rows, {unicode: glyph index})."""
    data = gzip.open(os.path.join(FONT_DIR, name)).read()
    mapping = {}
    if data[:2] == b"\x36\x04":  # PSF1: 8 pixels wide
        mode, height = data[2], data[3]
        count = 512 if mode & 1 else 256
        width, size, offset = 8, height, 4
        glyphs = [data[offset + g * size: offset + (g + 1) * size] for g in range(count)]
        if mode & 2:
            pos = offset + count * size
            for g in range(count):
                in_sequence = False
                while True:
                    (u,) = struct.unpack_from("<H", data, pos)
                    pos += 2
                    if u == 0xFFFF:
                        break
                    if u == 0xFFFE:
                        in_sequence = True
                    elif not in_sequence:
                        mapping.setdefault(u, g)
    elif data[:4] == b"\x72\xb5\x4a\x86":  # PSF2
        _, _, header, flags, count, size, height, width = struct.unpack_from("<8I", data)
        glyphs = [data[header + g * size: header + (g + 1) * size] for g in range(count)]
        if flags & 1:
            pos = header + count * size
            for g in range(count):
                end = data.index(b"\xff", pos)
                entry = data[pos:end].split(b"\xfe")[0]  # sequences are not needed
                for ch in entry.decode("utf-8"):
                    mapping.setdefault(ord(ch), g)
                pos = end + 1
    else:
        sys.exit(name + ": not a PSF font")
    return width, height, glyphs, mapping


def characters():
    """The 160 characters of the full set, in glyph order."""
    chars = [chr(c) for c in range(32, 128)]
    chars += [bytes([c]).decode("cp1251") for c in range(192, 256)]
    return chars


def glyph_for(font, ch):
    width, height, glyphs, mapping = font
    if ch == "\x7f" or ord(ch) not in mapping:  # DEL and anything missing: blank
        return bytes((width // 8) * height)
    return glyphs[mapping[ord(ch)]]


def to_pixels(rows, width, height):
    stride = width // 8
    return [[(rows[y * stride + x // 8] >> (7 - x % 8)) & 1 for x in range(width)] for y in range(height)]


def to_bytes(pixels):
    out = bytearray()
    for row in pixels:
        for x in range(0, len(row), 8):
            byte = 0
            for bit in row[x:x + 8]:
                byte = (byte << 1) | bit
            out.append(byte)
    return bytes(out)


def scale2x(p):
    h, w = len(p), len(p[0])
    at = lambda y, x: p[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]
    out = [[0] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            e, b, d, f, hh = p[y][x], at(y - 1, x), at(y, x - 1), at(y, x + 1), at(y + 1, x)
            e0 = e1 = e2 = e3 = e
            if b != hh and d != f:
                e0 = d if d == b else e
                e1 = f if b == f else e
                e2 = d if d == hh else e
                e3 = f if hh == f else e
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e0, e1
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e2, e3
    return out


def table(name, data, per_glyph, labels):
    lines = ["const uint8_t %s[%d] = {" % (name, len(data))]
    for g in range(len(data) // per_glyph):
        chunk = data[g * per_glyph:(g + 1) * per_glyph]
        lines.append("    // %d %s" % (g, labels[g]))
        for i in range(0, len(chunk), 16):
            lines.append("    " + ", ".join("0x%02x" % b for b in chunk[i:i + 16]) + ",")
    lines.append("};")
    return "\n".join(lines)


def label(ch):
    return repr(ch) if ch != "\\" else "'\\\\'"


def main():
    small, medium, large_source = read_psf(SMALL), read_psf(MEDIUM), read_psf(LARGE_SOURCE)
    assert small[:2] == (8, 16) and medium[:2] == (16, 32) and large_source[:2] == (16, 32)
    chars = characters()
    small_data = b"".join(glyph_for(small, c) for c in chars)
    medium_data = b"".join(glyph_for(medium, c) for c in chars)
    large_data = b"".join(to_bytes(scale2x(to_pixels(glyph_for(large_source, c), 16, 32))) for c in DIGITS)
    assert len(small_data) == 160 * 16 and len(medium_data) == 160 * 64 and len(large_data) == 20 * 256

    text = "\n\n".join([
        "// The preview's glyph tables, made by scripts/make-device-fonts.py from the\n"
        "// console fonts of Terminus Font (c) 2010 Dimitar Toshkov Zhekov, SIL Open Font\n"
        "// License 1.1: see DeviceFonts-LICENSE.txt beside this file. Do not edit by hand.\n"
        "// clang-format off\n\n"
        "#include \"editor/preview/DeviceFonts.h\"\n\n"
        "namespace DeviceFonts {",
        table("SmallGlyphs", small_data, 16, [label(c) for c in chars]),
        table("MediumGlyphs", medium_data, 64, [label(c) for c in chars]),
        table("LargeGlyphs", large_data, 256, [label(c) for c in DIGITS]),
        "} // namespace DeviceFonts\n",
    ])
    with open(OUTPUT, "w", encoding="utf-8") as f:
        f.write(text)
    print("wrote", os.path.normpath(OUTPUT))


if __name__ == "__main__":
    main()
