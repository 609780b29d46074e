#!/usr/bin/python3
"""Draws Spotlex's large cursor scheme and writes one .cur file per cursor role.

    /usr/bin/python3 tools/cursors/make_cursors.py [OUTPUT_DIR] [--sheet SHEET.png]

Each cursor is a few shapes on a 32-unit grid: white (or coloured) parts with a thick black outline
and a soft shadow, so that the pointer stands out on light and dark screens alike. Every file holds
48, 64, 96 and 128 pixel images (32-bit with alpha, 8 x 8 samples per pixel), each with its own hot
spot, so Windows picks a sharp one at any display scaling. The output is the same on every run.
Needs Pillow (Debian's python3-pil, installed by scripts/setup.sh).
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter

UNITS = 32.0
SIZES = (48, 64, 96, 128)
SAMPLES = 8
OUTLINE = 1.5        # black outline around every part, in units
SHADOW_OFFSET = (0.7, 1.0)
SHADOW_BLUR = 0.8
SHADOW_ALPHA = 0.45

WHITE = (255, 255, 255, 255)
BLACK = (0, 0, 0, 255)
SAND = (24, 96, 214, 255)
RED = (222, 28, 28, 255)

# The roles in the order of a scheme list, with the file each is written to.
ROLES = ("Arrow", "Help", "AppStarting", "Wait", "Crosshair", "IBeam", "NWPen", "No", "SizeNS", "SizeWE",
         "SizeNWSE", "SizeNESW", "SizeAll", "UpArrow")


# ---- parts: filled polygons and round-capped strokes, in grid units ----

class Poly:
    def __init__(self, points, color=WHITE, outlined=True):
        self.points, self.color, self.outlined = points, color, outlined

    def draw(self, d, scale, grow, color):
        pts = [(x * scale, y * scale) for x, y in self.points]
        d.polygon(pts, fill=color)
        if grow > 0:
            w = int(round(2 * grow * scale))
            d.line(pts + [pts[0]], fill=color, width=w, joint="curve")
            for x, y in pts:
                r = grow * scale
                d.ellipse((x - r, y - r, x + r, y + r), fill=color)


class Stroke:
    def __init__(self, points, width, color=WHITE, outlined=True):
        self.points, self.width, self.color, self.outlined = points, width, color, outlined

    def draw(self, d, scale, grow, color):
        pts = [(x * scale, y * scale) for x, y in self.points]
        half = (self.width / 2 + grow) * scale
        if len(pts) > 1:
            d.line(pts, fill=color, width=int(round(2 * half)), joint="curve")
        for x, y in (pts[0], pts[-1]):
            d.ellipse((x - half, y - half, x + half, y + half), fill=color)


def disc(cx, cy, r, color=WHITE, outlined=True):
    return Stroke([(cx, cy)], 2 * r, color, outlined)


def arc(cx, cy, r, start, end, steps=24):
    """Points of a circular arc, angles in degrees, clockwise on screen from 3 o'clock."""
    return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


def moved(points, dx, dy, s=1.0):
    return [(x * s + dx, y * s + dy) for x, y in points]


def turned(points, degrees, cx=16.0, cy=16.0):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + x * c - y * s, cy + x * s + y * c) for x, y in points]


# ---- the drawings ----

ARROW = [(0, 0), (0, 21.5), (5, 16.8), (8.6, 24.8), (12.3, 23.2), (8.8, 15.6), (15.4, 15.6)]
ARROW_AT = (3.2, 2.6)


def arrow_parts(s=1.0):
    return [Poly(moved(ARROW, ARROW_AT[0], ARROW_AT[1], s))]


def tip_hot_spot(points, grow):
    """Where the outline of a polygon's first corner ends: the corner moved out along its bisector."""
    (x0, y0), (x1, y1), (xn, yn) = points[0], points[1], points[-1]

    def unit(dx, dy):
        n = math.hypot(dx, dy)
        return dx / n, dy / n
    a, b = unit(x1 - x0, y1 - y0), unit(xn - x0, yn - y0)
    bx, by = unit(a[0] + b[0], a[1] + b[1])
    return x0 - bx * grow, y0 - by * grow


def hourglass(dx=0.0, dy=0.0, s=1.0):
    def m(points):
        return moved(points, dx, dy, s)
    glass = [(9.5, 6), (22.5, 6), (22.5, 9.5), (17.6, 16), (22.5, 22.5), (22.5, 26), (9.5, 26), (9.5, 22.5),
             (14.4, 16), (9.5, 9.5)]
    return [
        Poly(m(glass)),
        Stroke(m([(8, 4.6), (24, 4.6)]), 2.8),
        Stroke(m([(8, 27.4), (24, 27.4)]), 2.8),
        Poly(m([(11.8, 10), (20.2, 10), (16, 15.2)]), SAND, outlined=False),
        Poly(m([(12, 24.6), (20, 24.6), (20, 23.8), (16, 19.6), (12, 23.8)]), SAND, outlined=False),
        Stroke(m([(16, 15), (16, 20)]), 0.9 * s, SAND, outlined=False),
    ]


def double_arrow(length, head_width, head_length, shaft):
    """A two-headed arrow along the y axis, centred on the origin."""
    L, W, H, S = length, head_width, head_length, shaft
    return [(0, -L), (W, -L + H), (S, -L + H), (S, L - H), (W, L - H), (0, L), (-W, L - H), (-S, L - H),
            (-S, -L + H), (-W, -L + H)]


def size_arrow(degrees):
    return [Poly(turned(double_arrow(13.6, 6.6, 7.2, 2.2), degrees))]


def pen():
    # Along +x from the tip at the origin, then turned so that the tip points to the lower left.
    body = [(0, 0), (7.5, -3.8), (27.5, -3.8), (29.6, -2.4), (29.6, 2.4), (27.5, 3.8), (7.5, 3.8)]
    nib = [(0, 0), (2.8, -1.45), (2.8, 1.45)]
    band = [(7.5, -3.8), (10, -3.8), (10, 3.8), (7.5, 3.8)]
    tip = (4.2, 27.8)

    def place(points):
        return [(tip[0] + x * math.cos(math.radians(-45)) - y * math.sin(math.radians(-45)),
                 tip[1] + x * math.sin(math.radians(-45)) + y * math.cos(math.radians(-45))) for x, y in points]
    return [Poly(place(body)), Poly(place(band), BLACK, outlined=False), Poly(place(nib), BLACK, outlined=False)]


def question_mark(dx, dy, s):
    hook = arc(0, 0, 3.3, 180, 405) + [(0.4, 5.2), (0, 6.6)]
    return [Stroke(moved(hook, dx, dy, s), 2.6 * s), disc(dx, dy + 10.6 * s, 1.55 * s)]


def drawings():
    """Each role: its parts and its hot spot, in units."""
    arrow_tip = tip_hot_spot(moved(ARROW, *ARROW_AT), OUTLINE)
    up = [(0, -14.2), (8.2, -5.4), (2.7, -5.4), (2.7, 14.2), (-2.7, 14.2), (-2.7, -5.4), (-8.2, -5.4)]
    up = moved(up, 16, 16)
    all_ns = double_arrow(14.2, 5.4, 5.8, 1.9)
    return {
        "Arrow": (arrow_parts(), arrow_tip),
        "Help": (arrow_parts() + question_mark(24.6, 6.2, 1.0), arrow_tip),
        "AppStarting": (arrow_parts() + hourglass(15.6, 14.6, 0.5), arrow_tip),
        "Wait": (hourglass(), (16, 16)),
        "Crosshair": ([Stroke([(16, 2.5), (16, 12.5)], 2.4), Stroke([(16, 19.5), (16, 29.5)], 2.4),
                       Stroke([(2.5, 16), (12.5, 16)], 2.4), Stroke([(19.5, 16), (29.5, 16)], 2.4),
                       disc(16, 16, 1.3)], (16, 16)),
        "IBeam": ([Stroke([(16, 4.4), (16, 27.6)], 2.6), Stroke([(11.2, 4.2), (20.8, 4.2)], 2.4),
                   Stroke([(11.2, 27.8), (20.8, 27.8)], 2.4)], (16, 16)),
        "NWPen": (pen(), tip_hot_spot([(4.2, 27.8), (4.2 + 7.5 * 0.7071 - 3.8 * 0.7071, 27.8 - 7.5 * 0.7071 - 3.8 * 0.7071),
                                       (4.2 + 7.5 * 0.7071 + 3.8 * 0.7071, 27.8 - 7.5 * 0.7071 + 3.8 * 0.7071)],
                                      OUTLINE)),
        "No": ([Stroke(arc(16, 16, 11.2, 0, 360, 72), 4.4, RED), Stroke([(8.1, 8.1), (23.9, 23.9)], 4.4, RED)],
               (16, 16)),
        "SizeNS": (size_arrow(0), (16, 16)),
        "SizeWE": (size_arrow(90), (16, 16)),
        "SizeNWSE": (size_arrow(-45), (16, 16)),
        "SizeNESW": (size_arrow(45), (16, 16)),
        "SizeAll": ([Poly(turned(all_ns, 0)), Poly(turned(all_ns, 90))], (16, 16)),
        "UpArrow": ([Poly(up)], tip_hot_spot(up, OUTLINE)),
    }


# ---- rendering ----

def render(parts, size):
    big = size * SAMPLES
    scale = big / UNITS
    silhouette = Image.new("L", (big, big), 0)
    d = ImageDraw.Draw(silhouette)
    for p in parts:
        if p.outlined:
            p.draw(d, scale, OUTLINE, 255)

    shadow = silhouette.transform(silhouette.size, Image.AFFINE,
                                  (1, 0, -SHADOW_OFFSET[0] * scale, 0, 1, -SHADOW_OFFSET[1] * scale))
    shadow = shadow.filter(ImageFilter.GaussianBlur(SHADOW_BLUR * scale))
    shadow = shadow.point(lambda v: int(v * SHADOW_ALPHA + 0.5))
    picture = Image.merge("RGBA", (Image.new("L", shadow.size, 0),) * 3 + (shadow,))
    outline = Image.new("RGBA", picture.size, BLACK)
    outline.putalpha(silhouette)
    picture = Image.alpha_composite(picture, outline)

    fills = Image.new("RGBA", picture.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(fills)
    for p in parts:
        p.draw(d, scale, 0, p.color)
    picture = Image.alpha_composite(picture, fills)
    # Averaged with premultiplied alpha, so edges blend into the shadow and not into black.
    return picture.convert("RGBa").resize((size, size), Image.BOX).convert("RGBA")


def hot_spot_pixels(spot, size):
    return tuple(min(size - 1, max(0, int(math.floor(v * size / UNITS)))) for v in spot)


def cur_image(picture):
    """A 32-bit DIB with its AND mask, as a .cur file stores an image."""
    size = picture.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    px = picture.load()
    for y in range(size - 1, -1, -1):
        row = bytearray()
        bits = 0
        mask = bytearray()
        for x in range(size):
            r, g, b, a = px[x, y]
            row += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a == 0 else 0)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        if size % 8:
            mask.append(bits << (8 - size % 8))
        while len(mask) % 4:
            mask.append(0)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    return header + b"".join(rows) + b"".join(mask_rows)


def cur_file(images):
    """images: (picture, (hot x, hot y)) per size."""
    out = struct.pack("<HHH", 0, 2, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for picture, (hx, hy) in images:
        blob = cur_image(picture)
        size = picture.width
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, hx, hy, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def contact_sheet(rendered, path):
    """Every cursor at every size on white, grey and black, its hot spot marked with a red dot."""
    cell = 148
    backgrounds = ((255, 255, 255), (128, 128, 128), (24, 24, 24))
    label_h = 18
    width = 14 * cell
    height = label_h + len(backgrounds) * cell + 80
    sheet = Image.new("RGB", (width, height), (255, 255, 255))
    d = ImageDraw.Draw(sheet)
    for i, role in enumerate(ROLES):
        x0 = i * cell
        d.text((x0 + 6, 3), role, fill=(0, 0, 0))
        for j, bg in enumerate(backgrounds):
            y0 = label_h + j * cell
            d.rectangle((x0, y0, x0 + cell - 1, y0 + cell - 1), fill=bg)
            picture, (hx, hy) = rendered[role][128]
            sheet.paste(picture, (x0 + 10, y0 + 10), picture)
            d.ellipse((x0 + 10 + hx - 2, y0 + 10 + hy - 2, x0 + 10 + hx + 2, y0 + 10 + hy + 2), fill=(255, 0, 0))
        y0 = label_h + len(backgrounds) * cell
        d.rectangle((x0, y0, x0 + cell - 1, y0 + 79), fill=(200, 200, 200))
        x = x0 + 2
        for size in (48, 64):
            picture, _ = rendered[role][size]
            sheet.paste(picture, (x, y0 + 8), picture)
            x += size + 4
    sheet.save(path)


def main(argv):
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "cursors")
    sheet = None
    args = list(argv)
    if "--sheet" in args:
        i = args.index("--sheet")
        sheet = args[i + 1]
        del args[i:i + 2]
    if args:
        out_dir = args[0]
    os.makedirs(out_dir, exist_ok=True)
    rendered = {}
    for role, (parts, spot) in drawings().items():
        rendered[role] = {}
        images = []
        for size in SIZES:
            picture = render(parts, size)
            hot = hot_spot_pixels(spot, size)
            rendered[role][size] = (picture, hot)
            images.append((picture, hot))
        with open(os.path.join(out_dir, "Spotlex_%s.cur" % role), "wb") as f:
            f.write(cur_file(images))
    if sheet:
        contact_sheet(rendered, sheet)


if __name__ == "__main__":
    main(sys.argv[1:])
