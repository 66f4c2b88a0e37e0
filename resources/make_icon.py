#!/usr/bin/env python3
"""Draws the program's icon, a USB flash stick, and writes it as a Windows .ico file.

Nine images: 48, 32 and 16 pixels square, each at 4, 8 and 24 bits per pixel, stored as
classic DIB entries (BITMAPINFOHEADER with doubled height, palette for 4 and 8 bpp, colour
image followed by the AND mask, rows bottom-up and DWORD-aligned). The output depends on
nothing but this file, so every build produces the same bytes.

usage: make_icon.py OUTPUT.ico
"""

import math
import struct
import sys

SIZES = (48, 32, 16)
DEPTHS = (4, 8, 24)
SUBSAMPLES = 4  # per axis; a pixel is covered when at least half its samples are

# The classic 16-colour palette; black first, so that transparent pixels (colour 0) are black.
VGA = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)

# Every part of the drawing: its true colour and its colour among the 16.
MATERIALS = {
    "body":      ((38, 98, 206), (0, 0, 255)),
    "shine":     ((120, 172, 242), (0, 0, 255)),
    "bodyEdge":  ((16, 34, 92), (0, 0, 128)),
    "cap":       ((28, 72, 160), (0, 0, 128)),
    "metal":     ((214, 218, 224), (192, 192, 192)),
    "metalDark": ((168, 173, 182), (192, 192, 192)),
    "metalEdge": ((84, 88, 98), (128, 128, 128)),
    "hole":      ((34, 36, 42), (0, 0, 0)),
    "led":       ((80, 236, 96), (0, 255, 0)),
    "ledEdge":   ((20, 110, 40), (0, 128, 0)),
}


def box(u, v, u0, u1, half, radius=0.0):
    """Signed distance to a box along the stick from u0 to u1, `half` wide each side of the
    axis, with rounded corners."""
    cu, hu = (u0 + u1) / 2, (u1 - u0) / 2
    qu = abs(u - cu) - hu + radius
    qv = abs(v) - half + radius
    outside = math.hypot(max(qu, 0.0), max(qv, 0.0))
    return outside + min(max(qu, qv), 0.0) - radius


def offset_box(u, v, u0, u1, v0, v1):
    cu, hu = (u0 + u1) / 2, (u1 - u0) / 2
    cv, hv = (v0 + v1) / 2, (v1 - v0) / 2
    qu, qv = abs(u - cu) - hu, abs(v - cv) - hv
    return math.hypot(max(qu, 0.0), max(qv, 0.0)) + min(max(qu, qv), 0.0)


def material_at(size, x, y):
    """The material at pixel coordinates (x, y), or None where the icon is transparent.

    The stick lies diagonally, plug to the upper right; u runs along it, v across it, both in
    pixels. Small icons get relatively larger holes and LED, so that they stay visible."""
    s = float(size)
    c = s / 2
    u = ((x - c) - (y - c)) / math.sqrt(2)
    v = ((x - c) + (y - c)) / math.sqrt(2)
    edge = 1.0 if size <= 32 else 1.5
    small = size <= 16

    # The LED near the closed end.
    led_r = 0.6 if small else 0.05 * s
    d_led = math.hypot(u + (0.31 if small else 0.36) * s, v)  # one whole pixel when small
    if d_led <= led_r:
        return "led" if (small or d_led <= led_r - 0.9) else "ledEdge"

    # The metal plug with its two contact holes.
    plug_half = (0.17 if small else 0.14) * s
    d_plug = box(u, v, 0.12 * s, 0.51 * s, plug_half)
    if d_plug <= 0:
        if small:
            # Each hole is one whole pixel.
            for hu in (0.309 * s,):
                for hv in (-math.sqrt(2), math.sqrt(2)):
                    if math.hypot(u - hu, v - hv) <= 0.6:
                        return "hole"
        if d_plug > -edge:
            return "metalEdge"
        if not small:
            hu0, hu1 = 0.29 * s, 0.41 * s
            hv0, hv1 = 0.03 * s, 0.09 * s
            if offset_box(u, v, hu0, hu1, hv0, hv1) <= 0 or \
                    offset_box(u, v, hu0, hu1, -hv1, -hv0) <= 0:
                return "hole"
        return "metal" if v < 0 or small else "metalDark"

    # The body, with a darker cap at the closed end and a shine along its upper side.
    d_body = box(u, v, -0.52 * s, 0.17 * s, 0.2 * s, radius=0.07 * s)
    if d_body <= 0:
        if d_body > -edge:
            return "bodyEdge"
        if u < -0.47 * s + edge and not small:
            return "cap"
        if -0.17 * s <= v <= -0.09 * s and -0.40 * s <= u <= 0.08 * s and not small:
            return "shine"
        return "body"
    return None


def render(size):
    """Per pixel: (true colour, 16-colour choice) or None for transparent, row 0 at the top."""
    n = SUBSAMPLES
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = []
            for sy in range(n):
                for sx in range(n):
                    m = material_at(size, x + (sx + 0.5) / n, y + (sy + 0.5) / n)
                    if m:
                        hits.append(m)
            if len(hits) * 2 < n * n:
                row.append(None)
                continue
            majority = max(sorted(set(hits)), key=hits.count)
            if size <= 16:
                # Too few pixels for blending: every pixel shows one part, crisply.
                rgb = MATERIALS[majority][0]
            else:
                rgb = tuple(round(sum(MATERIALS[m][0][i] for m in hits) / len(hits))
                            for i in range(3))
            row.append((rgb, MATERIALS[majority][1]))
        pixels.append(row)
    return pixels


def median_cut(colours, count):
    """At most `count` representative colours of the list `colours` (with repetitions)."""
    boxes = [colours]
    while len(boxes) < count:
        spans = []
        for b in boxes:
            if len(set(b)) < 2:
                spans.append((-1, 0))
                continue
            ranges = [max(c[i] for c in b) - min(c[i] for c in b) for i in range(3)]
            spans.append((max(ranges), ranges.index(max(ranges))))
        widest = max(range(len(boxes)), key=lambda i: spans[i][0])
        if spans[widest][0] <= 0:
            break
        channel = spans[widest][1]
        b = sorted(boxes[widest], key=lambda c: c[channel])
        boxes[widest:widest + 1] = [b[:len(b) // 2], b[len(b) // 2:]]
    return [tuple(round(sum(c[i] for c in b) / len(b)) for i in range(3)) for b in boxes]


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - rgb[k]) ** 2 for k in range(3)))


def row_bytes(bits):
    return (bits + 31) // 32 * 4


def dib(size, depth, pixels):
    """One icon image: header, palette, colour rows and mask rows."""
    if depth == 4:
        palette = list(VGA)
        index = [[None if p is None else VGA.index(p[1]) for p in row] for row in pixels]
    elif depth == 8:
        used = sorted({p[0] for row in pixels for p in row if p is not None})
        if len(used) <= 255:
            chosen = used
        else:
            chosen = median_cut([p[0] for row in pixels for p in row if p is not None], 255)
        palette = [(0, 0, 0)] + chosen
        palette += [(0, 0, 0)] * (256 - len(palette))
        lookup = {}
        index = []
        for row in pixels:
            out = []
            for p in row:
                if p is None:
                    out.append(None)
                else:
                    if p[0] not in lookup:
                        lookup[p[0]] = 1 + nearest(chosen, p[0])
                    out.append(lookup[p[0]])
            index.append(out)
    else:
        palette = []

    stride = row_bytes(size * depth)
    mask_stride = row_bytes(size)
    image = bytearray()
    for row_index in range(size - 1, -1, -1):  # bottom-up
        row = pixels[row_index]
        line = bytearray()
        if depth == 24:
            for p in row:
                r, g, b = p[0] if p else (0, 0, 0)
                line += bytes((b, g, r))
        elif depth == 8:
            line += bytes(0 if i is None else i for i in index[row_index])
        else:
            values = [0 if i is None else i for i in index[row_index]]
            for k in range(0, size, 2):
                line.append(values[k] << 4 | (values[k + 1] if k + 1 < size else 0))
        line += bytes(stride - len(line))
        image += line
    mask = bytearray()
    for row_index in range(size - 1, -1, -1):
        line = bytearray(mask_stride)
        for x, p in enumerate(pixels[row_index]):
            if p is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line

    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, depth, 0,
                         len(image) + len(mask), 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + bytes(image) + bytes(mask)


def icon_file():
    entries = []
    for size in SIZES:
        pixels = render(size)
        for depth in DEPTHS:
            entries.append((size, depth, dib(size, depth, pixels)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for size, depth, data in entries:
        colour_count = 16 if depth == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, depth, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    data = icon_file()
    with open(sys.argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
