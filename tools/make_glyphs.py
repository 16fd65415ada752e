#!/usr/bin/env python3
"""Generates runtime/screen/glyph_data.cpp, the built-in 8x8 and 8x16 code
page 437 glyphs, from the VGA console fonts of Debian's console-setup-linux
package (PSF files in /usr/share/consolefonts).

Licence of the source fonts (Debian's copyright file of console-setup):
"All console fonts are public domain by nature."; the 8x16 VGA shapes come
from u_vga16.bdf, Copyright (c) 2000, 2001 Dmitry Bolkhovityanov, under an
MIT-style permission notice. Both allow copying and modification without
restriction; the notice is repeated in runtime/screen/GLYPHS_LICENSE.txt.

Each character code is looked up by its Unicode code point (the code page
437 mapping below), trying the fonts in order. The few shapes that no
8-row font has are reduced from the 8x16 glyph (each pair of rows OR-ed);
a handful are drawn here (OVERRIDES8, OVERRIDES16).

Usage:  tools/make_glyphs.py [FONT_DIR] > runtime/screen/glyph_data.cpp
Regenerate the golden picture afterwards (see tests/screen/golden/README).
"""
import gzip
import os
import struct
import sys

PICTURES = [0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8,
            0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA,
            0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, 0x2191,
            0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC]


def code_points():
    table = [0x20] + PICTURES
    table += [ord(bytes([c]).decode('cp437')) for c in range(32, 127)]
    table += [0x2302]
    table += [ord(bytes([c]).decode('cp437')) for c in range(128, 255)]
    table += [0x20]
    return table


def rows_of(picture):
    return [int(line.replace('.', '0').replace('#', '1'), 2) for line in picture.split()]


def triangle(height, top, mirror):
    widths = list(range(1, 8)) + list(range(6, 0, -1))
    rows = [0] * top + [(0xFF << (8 - w)) & 0xFF for w in widths]
    rows = rows[:height] + [0] * (height - len(rows))
    if mirror:  # reflect within the seven left columns
        rows = [int(format(r >> 1, '07b')[::-1], 2) << 1 for r in rows]
    return rows


def shrink(rows):
    return [rows[2 * i] | rows[2 * i + 1] for i in range(len(rows) // 2)]


# The shapes the PC's own fonts have where the console fonts differ: the
# capital A of the 8x8 font, the half blocks whose split lies after row 7 of
# the 8x16 font, and the pointing triangles of codes 16 and 17, which the
# console fonts have only as arrows.
OVERRIDES8 = {
    65: rows_of('..##.... .####... ##..##.. ##..##.. ######.. ##..##.. ##..##.. ........'),
    16: shrink(triangle(16, 1, False)),
    17: shrink(triangle(16, 1, True)),
}
OVERRIDES16 = {
    220: [0] * 7 + [0xFF] * 9,
    223: [0xFF] * 7 + [0] * 9,
    16: triangle(16, 1, False),
    17: triangle(16, 1, True),
}
ALIASES = {}


def load_psf(path):
    data = gzip.open(path).read()
    if data[:2] == b'\x36\x04':
        mode, height = data[2], data[3]
        count, size, offset, width, utf8 = (512 if mode & 1 else 256), height, 4, 8, False
        has_table = mode & 2
    else:
        _, _, offset, flags, count, size, height, width = struct.unpack('<8I', data[:32])
        has_table, utf8 = flags & 1, True
    glyphs = [data[offset + i * size: offset + (i + 1) * size] for i in range(count)]
    table = {}
    if has_table:
        p = offset + count * size
        if utf8:
            for i, entry in enumerate(data[p:].split(b'\xff')[:count]):
                for ch in entry.split(b'\xfe')[0].decode('utf-8', 'replace'):
                    table.setdefault(ord(ch), i)
        else:
            for i in range(count):
                while True:
                    u = struct.unpack('<H', data[p:p + 2])[0]
                    p += 2
                    if u == 0xFFFF:
                        break
                    if u != 0xFFFE:
                        table.setdefault(u, i)
    return width, height, glyphs, table


def fonts_of_height(folder, height, preferred):
    names = preferred + sorted(n for n in os.listdir(folder)
                               if n.endswith('-VGA%d.psf.gz' % height) and n not in preferred)
    fonts = []
    for name in names:
        w, h, glyphs, table = load_psf(os.path.join(folder, name))
        if w == 8 and h == height:
            fonts.append((name, glyphs, table))
    return fonts


def find(fonts, point):
    for candidate in [point] + ALIASES.get(point, []):
        for name, glyphs, table in fonts:
            if candidate in table:
                return list(glyphs[table[candidate]]), name
    return None, None


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else '/usr/share/consolefonts'
    points = code_points()
    fonts16 = fonts_of_height(folder, 16, ['Uni2-VGA16.psf.gz', 'FullGreek-VGA16.psf.gz'])
    fonts8 = fonts_of_height(folder, 8, ['Uni2-VGA8.psf.gz', 'FullGreek-VGA8.psf.gz'])
    rows16, rows8, notes = [], [], []
    for code, point in enumerate(points):
        if code in (0, 32, 255):
            rows16.append([0] * 16)
            rows8.append([0] * 8)
            continue
        if code in OVERRIDES16 or code in OVERRIDES8:
            rows16.append(OVERRIDES16.get(code) or find(fonts16, point)[0])
            rows8.append(OVERRIDES8.get(code) or find(fonts8, point)[0])
            continue
        g16, name16 = find(fonts16, point)
        if g16 is None:
            sys.exit('no 16-row glyph for U+%04X' % point)
        g8, name8 = find(fonts8, point)
        if g8 is None:
            g8 = [g16[2 * i] | g16[2 * i + 1] for i in range(8)]
            notes.append('%d (U+%04X)' % (code, point))
        rows16.append(g16)
        rows8.append(g8)

    out = sys.stdout
    out.write('// Generated by tools/make_glyphs.py from the VGA console fonts of\n'
              '// console-setup-linux; do not edit. Source and licence:\n'
              '// runtime/screen/GLYPHS_LICENSE.txt.\n'
              '// One byte per glyph row, bit 7 the leftmost pixel.\n'
              '// 8x8 glyphs reduced from the 8x16 ones: %s.\n' % (', '.join(notes) or 'none'))
    out.write('#include "runtime/screen/font.h"\n\n')
    for name, rows, height in (('GLYPH_ROWS_8X8', rows8, 8), ('GLYPH_ROWS_8X16', rows16, 16)):
        out.write('const uint8_t %s[256 * %d] = {\n' % (name, height))
        for code, glyph in enumerate(rows):
            out.write('    ' + ', '.join('0x%02X' % b for b in glyph) + ',  // %d\n' % code)
        out.write('};\n\n')


main()
