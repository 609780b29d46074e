#!/usr/bin/env python3
"""Draws Spotlex's icons and writes them, with the icon library's resource script, to assets/icons/.

    python3 tools/icons/make_icons.py [OUTPUT_DIR]

Pure Python, no packages: each icon is a handful of shapes in a 32-unit square, rendered at 16 and 32
pixels with 8 x 8 samples per pixel and stored as 32-bit .ico images. The output is the same on every
run, so the committed files only change when a drawing changes.
"""
import math
import os
import struct
import sys

UNITS = 32.0  # every drawing is laid out on a 32 x 32 grid
SAMPLES = 8   # samples per pixel along each axis


# ---- shapes: inside(x, y) tests in grid units, with a bounding box to keep rendering quick ----

class Shape:
    def __init__(self, inside, box):
        self.inside = inside
        self.box = box  # (x0, y0, x1, y1)

    def __sub__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and not other.inside(x, y), self.box)

    def __and__(self, other):
        return Shape(lambda x, y: self.inside(x, y) and other.inside(x, y), self.box)

    def __or__(self, other):
        b = (min(self.box[0], other.box[0]), min(self.box[1], other.box[1]),
             max(self.box[2], other.box[2]), max(self.box[3], other.box[3]))
        return Shape(lambda x, y: self.inside(x, y) or other.inside(x, y), b)


def circle(cx, cy, r):
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape(inside, (x0, y0, x1, y1))


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def line(x0, y0, x1, y1, width):
    """A stroke with round caps."""
    h = width / 2.0
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= h * h
    return Shape(inside, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h))


def arc(cx, cy, r, width, start_deg, end_deg):
    """A ring sector, angles in degrees clockwise from 3 o'clock (screen y grows downwards)."""
    inner, outer = r - width / 2.0, r + width / 2.0
    span = (end_deg - start_deg) % 360.0

    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 < inner * inner or d2 > outer * outer:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx))
        return (a - start_deg) % 360.0 <= span
    return Shape(inside, (cx - outer, cy - outer, cx + outer, cy + outer))


def star(cx, cy, r_out, r_in, points, turn_deg=0.0):
    pts = []
    for i in range(points * 2):
        a = math.radians(turn_deg + i * 180.0 / points)
        r = r_out if i % 2 == 0 else r_in
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


# ---- paint: a colour, or a vertical gradient between two colours across the shape's box ----

def rgb(hexcode, alpha=255):
    return (int(hexcode[0:2], 16), int(hexcode[2:4], 16), int(hexcode[4:6], 16), alpha)


def vgrad(top, bottom, y0, y1):
    def at(_x, y):
        t = max(0.0, min(1.0, (y - y0) / ((y1 - y0) or 1.0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(4))
    return at


class Canvas:
    """Premultiplied RGBA floats, composited with 'over'."""

    def __init__(self, size):
        self.size = size
        self.scale = size / UNITS
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, shape, paint):
        s = self.size
        k = 1.0 / self.scale
        x0 = max(0, int(math.floor(shape.box[0] * self.scale)))
        y0 = max(0, int(math.floor(shape.box[1] * self.scale)))
        x1 = min(s, int(math.ceil(shape.box[2] * self.scale)) + 1)
        y1 = min(s, int(math.ceil(shape.box[3] * self.scale)) + 1)
        step = 1.0 / SAMPLES
        for py in range(y0, y1):
            row = self.px[py]
            for px in range(x0, x1):
                hits = 0
                for sy in range(SAMPLES):
                    gy = (py + (sy + 0.5) * step) * k
                    for sx in range(SAMPLES):
                        if shape.inside((px + (sx + 0.5) * step) * k, gy):
                            hits += 1
                if not hits:
                    continue
                cover = hits / float(SAMPLES * SAMPLES)
                cx, cy = (px + 0.5) * k, (py + 0.5) * k
                col = paint(cx, cy) if callable(paint) else paint
                a = col[3] / 255.0 * cover
                r, g, b, da = row[px]
                row[px] = (col[0] * a + r * (1 - a), col[1] * a + g * (1 - a),
                           col[2] * a + b * (1 - a), 255.0 * a + da * (1 - a))

    def bgra_rows(self):
        """Straight (not premultiplied) BGRA bytes, top row first."""
        rows = []
        for row in self.px:
            out = bytearray()
            for r, g, b, a in row:
                if a <= 0.0:
                    out += b"\0\0\0\0"
                    continue
                f = 255.0 / a
                out += bytes((min(255, int(b * f + 0.5)), min(255, int(g * f + 0.5)),
                              min(255, int(r * f + 0.5)), min(255, int(a + 0.5))))
            rows.append(bytes(out))
        return rows


# ---- the drawings; each takes the pixel size, so small sizes can use bolder strokes ----

OUTLINE = rgb("202A36")


def keycap(c, x0, y0, x1, y1, letter):
    """A key cap seen from slightly above: dark rim, lighter sloping sides, flat top with a letter."""
    w = x1 - x0
    c.fill(rrect(x0, y0, x1, y1, w * 0.18), OUTLINE)
    c.fill(rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, w * 0.15), vgrad(rgb("C9CFD9"), rgb("8D97A8"), y0, y1))
    top = (x0 + w * 0.16, y0 + w * 0.10, x1 - w * 0.16, y1 - w * 0.26)
    c.fill(rrect(*top, w * 0.10), vgrad(rgb("FFFFFF"), rgb("E3E7EE"), top[1], top[3]))
    if letter:
        letter(c, top)


def letter_k(c, box, width):
    x0, y0, x1, y1 = box
    mx, my = (x0 + x1) / 2, (y0 + y1) / 2
    h = (y1 - y0) * 0.30
    lx = mx - h * 0.55
    ink = rgb("1D2B4F")
    c.fill(line(lx, my - h, lx, my + h, width), ink)
    c.fill(line(lx + width * 0.3, my + h * 0.05, mx + h * 0.6, my - h, width), ink)
    c.fill(line(lx + width * 0.8, my - h * 0.15, mx + h * 0.65, my + h, width), ink)


def icon_keystrokes(c, size):
    keycap(c, 2, 4, 30, 29, lambda cv, box: letter_k(cv, box, 3.2 if size <= 16 else 2.6))


def icon_mouseclicks(c, size):
    bold = size <= 16
    # Rays of the click, up and to the left of the mouse.
    ray = rgb("F0A000")
    rw = 2.6 if bold else 2.0
    c.fill(line(3, 10, 7.5, 11.5, rw), ray)
    c.fill(line(9.5, 2.5, 10.5, 6.5, rw), ray)
    c.fill(line(3.5, 3.5, 7, 7, rw), ray)
    # The mouse body with its left button lit.
    c.fill(rrect(11, 7, 27, 30, 7.5), OUTLINE)
    body = rrect(12.5, 8.5, 25.5, 28.5, 6.5)
    c.fill(body, vgrad(rgb("FFFFFF"), rgb("C8CED8"), 8, 29))
    c.fill(body & polygon([(12, 8), (19, 8), (19, 17), (12, 17)]), vgrad(rgb("FF5A4A"), rgb("D7261B"), 8, 17))
    lw = 1.8 if bold else 1.3
    c.fill(line(19, 8.5, 19, 17, lw), OUTLINE)
    c.fill(line(12.5, 17, 25.5, 17, lw), OUTLINE)


def icon_large_cursors(c, size):
    pts = [(6, 2), (6, 26), (11.5, 20.5), (15.5, 29.5), (19.5, 27.8), (15.6, 19), (23.5, 19)]
    c.fill(polygon(pts), OUTLINE)
    inner = [(8, 6.6), (8, 21.4), (12.1, 17.3), (16.5, 27), (17.9, 26.4), (13.5, 17), (19, 17)]
    c.fill(polygon(inner), vgrad(rgb("FFFFFF"), rgb("DCE2EA"), 6, 27))
    # A small plus, for "larger".
    plus = rgb("1F8A3B")
    pw = 3.0 if size <= 16 else 2.4
    c.fill(line(26, 4, 26, 12, pw), plus)
    c.fill(line(22, 8, 30, 8, pw), plus)


def icon_break_clock(c, size):
    c.fill(circle(16, 16, 14.5), OUTLINE)
    c.fill(circle(16, 16, 12.6), vgrad(rgb("FFFFFF"), rgb("DCE3EC"), 4, 28))
    tick = rgb("5A6478")
    if size > 16:
        for i in range(12):
            a = math.radians(i * 30)
            c.fill(line(16 + 10.2 * math.cos(a), 16 + 10.2 * math.sin(a),
                        16 + 11.4 * math.cos(a), 16 + 11.4 * math.sin(a), 1.4), tick)
    hw = 3.0 if size <= 16 else 2.4
    c.fill(line(16, 16, 16, 7, hw), OUTLINE)          # minute hand at 12
    c.fill(line(16, 16, 22, 19.5, hw), OUTLINE)       # hour hand near 4
    c.fill(circle(16, 16, 2.0), rgb("D7261B"))


def icon_pause(c, size):
    paint = vgrad(rgb("4C8DF0"), rgb("1D58C0"), 5, 27)
    c.fill(rrect(7, 5, 13.5, 27, 2), OUTLINE)
    c.fill(rrect(18.5, 5, 25, 27, 2), OUTLINE)
    c.fill(rrect(8.5, 6.5, 12, 25.5, 1.2), paint)
    c.fill(rrect(20, 6.5, 23.5, 25.5, 1.2), paint)


def icon_restart(c, size):
    w = 5.0 if size <= 16 else 4.2
    green = vgrad(rgb("4CC36B"), rgb("1E8A3F"), 3, 29)
    c.fill(arc(16, 17, 10.5, w + 1.8, -30, 270), OUTLINE)
    c.fill(arc(16, 17, 10.5, w, -24, 266), green)
    head = [(15.2, 0.6), (24.2, 6.6), (15.2, 12.8)]
    c.fill(polygon([(13.6, -1.6), (26.8, 6.6), (13.6, 15.0)]), OUTLINE)
    c.fill(polygon(head), green)


def icon_help(c, size):
    bold = size <= 16
    c.fill(circle(16, 16, 14.5), rgb("163C8C"))
    c.fill(circle(16, 16, 13.2), vgrad(rgb("5A9BF5"), rgb("1F56C4"), 3, 29))
    w = 4.2 if bold else 3.4
    white = rgb("FFFFFF")
    c.fill(arc(16, 11.6, 5.0, w, 180, 30), white)
    c.fill(line(20.3, 14.1, 16, 17.6, w), white)
    c.fill(line(16, 17.6, 16, 19.2, w), white)
    c.fill(circle(16, 24.4, w * 0.62), white)


def icon_close(c, size):
    c.fill(circle(16, 16, 14.5), rgb("8C1A12"))
    c.fill(circle(16, 16, 13.2), vgrad(rgb("F2604E"), rgb("C4231A"), 3, 29))
    w = 4.4 if size <= 16 else 3.6
    white = rgb("FFFFFF")
    c.fill(line(10.5, 10.5, 21.5, 21.5, w), white)
    c.fill(line(21.5, 10.5, 10.5, 21.5, w), white)


def gear(cx, cy, r_out, r_root, teeth):
    pts = []
    step = 360.0 / teeth
    for i in range(teeth):
        base = i * step
        for da, r in ((-0.30, r_root), (-0.18, r_out), (0.18, r_out), (0.30, r_root)):
            a = math.radians(base + da * step)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts) | circle(cx, cy, r_root)


def icon_properties(c, size):
    c.fill(gear(16, 16, 15, 11.6, 8), OUTLINE)
    c.fill(gear(16, 16, 13.4, 10.2, 8), vgrad(rgb("C5CDD8"), rgb("7E8A9C"), 2, 30))
    c.fill(circle(16, 16, 5.6), OUTLINE)
    c.fill(circle(16, 16, 4.0), rgb("EEF2F7"))


def icon_placeholder(c, size):
    # Unused library slots: a faint dotted square, plain enough not to be mistaken for a command.
    c.fill(rrect(6, 6, 26, 26, 3) - rrect(8, 8, 24, 24, 2), rgb("9AA3B0", 160))


def icon_spotlex(c, size):
    """The program: a key cap caught in a spotlight burst."""
    small = size <= 16
    c.fill(star(16, 16, 16.5, 9.5, 8 if small else 12, -90), vgrad(rgb("FFE867"), rgb("FF9A1A"), 0, 32))
    c.fill(circle(16, 16, 10.5), rgb("FFF3B0", 170))
    keycap(c, 6, 6.5, 26, 26.5, lambda cv, box: letter_k(cv, box, 2.1 if small else 2.4))


# Library slots in use, by index (the order of the icon groups in the library).
LIBRARY = {
    17: ("properties", icon_properties),
    19: ("help", icon_help),
    20: ("close", icon_close),
    28: ("pause", icon_pause),
    39: ("restart", icon_restart),
    55: ("mouse_clicks", icon_mouseclicks),
    56: ("large_cursors", icon_large_cursors),
    57: ("key_strokes", icon_keystrokes),
    58: ("break_clock", icon_break_clock),
}


# ---- .ico files ----

def write_ico(path, draw, sizes):
    images = []
    for size in sizes:
        c = Canvas(size)
        draw(c, size)
        rows = c.bgra_rows()
        xor = b"".join(reversed(rows))  # bottom-up
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x in range(size):
                if row[x * 4 + 3] == 0:  # transparent for renderers that ignore alpha
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((size, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "icons")
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "spotlex.ico"), icon_spotlex, (16, 32))
    write_ico(os.path.join(out, "placeholder.ico"), icon_placeholder, (16,))
    for name, draw in LIBRARY.values():
        write_ico(os.path.join(out, name + ".ico"), draw, (16, 32))

    # The library's resource script: one icon group per slot, numbered from 1, so that the
    # icon index the menu asks for (0-based, in group order) lands on the right drawing.
    lines = ["// Written by tools/icons/make_icons.py; the icon index is the group's number minus 1.\n"]
    for index in range(max(LIBRARY) + 1):
        name = LIBRARY[index][0] if index in LIBRARY else "placeholder"
        lines.append('%d ICON "%s.ico"\n' % (index + 1, name))
    with open(os.path.join(out, "ckicons.rc"), "w", newline="\n") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
