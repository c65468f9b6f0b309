#!/usr/bin/env python3
"""Draws the program's icons (16, 32 and 48 px, 8-bit colour) and writes them as .ico files.

The pictures are simple vector shapes evaluated per pixel, so every size is drawn, not scaled.
Run: python3 tools/make_icons.py resources/
"""
import struct
import sys

# Palette: index -> (r, g, b). Index 0 is unused (transparent pixels use the AND mask).
PALETTE = [
    (0, 0, 0), (0, 0, 0), (255, 255, 255), (196, 152, 96), (150, 108, 58), (40, 96, 200),
    (20, 60, 140), (200, 40, 40), (140, 20, 20), (236, 236, 236), (160, 160, 170), (90, 90, 100),
    (120, 170, 230), (250, 220, 120),
]
BLACK, WHITE, TAN, BROWN, BLUE, NAVY, RED, DARKRED, PAPER, GREY, DARKGREY, SKY, GOLD = range(1, 14)


def rect(x, y, x0, y0, x1, y1):
    return x0 <= x <= x1 and y0 <= y <= y1


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def box_with_arrow(x, y, px):
    """Program icon: a cardboard box with a blue arrow lifting out of it."""
    edge = 1.5 * px
    if rect(x, y, 0.12, 0.45, 0.88, 0.95):
        if not rect(x, y, 0.12 + edge, 0.45 + edge, 0.88 - edge, 0.95 - edge):
            return BROWN
        if rect(x, y, 0.12, 0.45, 0.88, 0.58):
            return BROWN if abs(y - 0.58) < px else TAN
        return TAN
    # Arrow pointing up out of the box.
    if rect(x, y, 0.40, 0.18, 0.60, 0.62) and not rect(x, y, 0.12, 0.45, 0.88, 0.95):
        return BLUE
    if y >= 0.05 and y <= 0.30 and abs(x - 0.5) <= (y - 0.05) * 1.1:
        return NAVY if abs(abs(x - 0.5) - (y - 0.05) * 1.1) < px else BLUE
    return None


def invalid_entry(x, y, px):
    """An entry without uninstall information: a sheet of paper with a red no-entry disc."""
    if circle(x, y, 0.68, 0.70, 0.28):
        if not circle(x, y, 0.68, 0.70, 0.28 - px):
            return DARKRED
        if rect(x, y, 0.52, 0.64, 0.84, 0.76):
            return WHITE
        return RED
    if rect(x, y, 0.15, 0.05, 0.72, 0.92):
        if not rect(x, y, 0.15 + px, 0.05 + px, 0.72 - px, 0.92 - px):
            return DARKGREY
        if px < 0.05 and any(abs(y - ly) < px * 0.6 for ly in (0.25, 0.38, 0.51)) and rect(x, y, 0.25, 0, 0.62, 1):
            return GREY
        return PAPER
    return None


def generic_entry(x, y, px):
    """The generic entry: a program window with a blue title bar."""
    if rect(x, y, 0.06, 0.12, 0.94, 0.88):
        if not rect(x, y, 0.06 + px, 0.12 + px, 0.94 - px, 0.88 - px):
            return NAVY
        if y < 0.30:
            return BLUE if x < 0.78 else (RED if circle(x, y, 0.85, 0.21, 0.06) else BLUE)
        if rect(x, y, 0.16, 0.42, 0.46, 0.78):
            return SKY
        if px < 0.05 and any(abs(y - ly) < px * 0.6 for ly in (0.46, 0.58, 0.70)) and rect(x, y, 0.54, 0, 0.84, 1):
            return GREY
        return WHITE
    return None


def render(shape, size):
    px = 1.0 / size
    pixels = []
    for row in range(size):
        line = []
        for col in range(size):
            line.append(shape((col + 0.5) / size, (row + 0.5) / size, px))
        pixels.append(line)
    return pixels


def ico_image(pixels, size, colours=None):
    colours = colours or PALETTE
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in
                       colours + [(0, 0, 0)] * (256 - len(colours)))
    xor = b''
    for row in reversed(pixels):
        xor += bytes(c or 0 for c in row)  # rows of 16/32/48 bytes are already 4-byte aligned
    stride = ((size + 31) // 32) * 4
    andmask = b''
    for row in reversed(pixels):
        bits = bytearray(stride)
        for col, c in enumerate(row):
            if c is None:
                bits[col // 8] |= 0x80 >> (col % 8)
        andmask += bytes(bits)
    return header + palette + xor + andmask


def write_ico(path, shape, sizes=(16, 32, 48), colours=None):
    images = [ico_image(render(shape, s), s, colours) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 8, len(img), offset)
        offset += len(img)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    folder = sys.argv[1] if len(sys.argv) > 1 else 'resources'
    write_ico(f'{folder}/ardmoor.ico', box_with_arrow)
    write_ico(f'{folder}/invalid.ico', invalid_entry)
    write_ico(f'{folder}/noicon.ico', generic_entry)
    import sysinfo_icons
    sysinfo_icons.write_all(f'{folder}/sysinfo')
