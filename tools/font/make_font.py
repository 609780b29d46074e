#!/usr/bin/python3
"""Builds the display font "Spotlex2": key caps, click-burst frames and clock digits.

    /usr/bin/python3 tools/font/make_font.py [--output assets/fonts/Spotlex2.ttf]

Needs Debian's python3-fonttools, fonts-dejavu-core and fonts-dejavu-extra (the key labels and
clock digits are DejaVu Sans Bold and DejaVu Sans Condensed Bold outlines; see
assets/fonts/LICENSE-DejaVu.txt). The output is the same bytes on every run, so the committed font
can be checked against a fresh build.

The font is symbol-encoded: byte code c sits at U+F000 + c in a (3,0) cmap, which GDI uses for
8-bit text drawn with a SYMBOL_CHARSET font under any system code page.
"""

import argparse
import math
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.recordingPen import DecomposingRecordingPen, RecordingPen
from fontTools.pens.reverseContourPen import ReverseContourPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables import ttProgram
from fontTools.ttLib.tables._c_m_a_p import cmap_format_0, cmap_format_4

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
DEFAULT_OUTPUT = os.path.join(REPO, "assets", "fonts", "Spotlex2.ttf")
DEJAVU_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
# Names of keys use the condensed cut of the same family, so they can stay large on a narrow cap.
DEJAVU_CONDENSED = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"

FAMILY = "Spotlex2"
VERSION = "Version 4.500"
# Fixed so that two builds give the same bytes (2024-01-01, seconds since 1904-01-01).
TIMESTAMP = 3786825600

# --- Metrics, in font units (y up from the baseline) ---------------------------------------
UPM = 2048
U = 2048                      # advance of a one-unit key; clock digits share it
GAP = 112                     # half the gap between neighbouring caps: a pixel at 14 points
# The cell is taller than a key so that each kind of glyph sits where the properties
# samples expect it: a key's centre W / 1.49 below the cell top, a clock digit's W / 0.9.
KEY_H = 1900                  # height of every key cap
KEY_CENTRE_FROM_TOP = U / 1.49
DIGIT_H = 1900                # ink height of the clock digits, as tall as a cap
DIGIT_CENTRE_FROM_TOP = U / 0.9
DESCENT = 54
ASCENT = round(DIGIT_CENTRE_FROM_TOP + DIGIT_H / 2)  # clock digits stand on the baseline
KEY_TOP = round(ASCENT - KEY_CENTRE_FROM_TOP + KEY_H / 2)
KEY_BOTTOM = KEY_TOP - KEY_H
CORNER = 270                  # corner radius of a cap
LABEL_LIFT = 50               # labels sit a little above the middle, as on a sculpted key

# Cap heights of the label text, by kind of label.
BIG = 0.50 * KEY_H            # a single character: letters and digits
MARK = 0.58 * KEY_H           # punctuation, a size up so small marks read from afar
FKEY = 0.34 * KEY_H           # F1 to F12
WORD = 0.29 * KEY_H           # names of keys
TAG = 0.19 * KEY_H            # the "Num" tag of the keypad keys
PAD = 0.15 * KEY_H            # least space between a single character and the cap's side
WORD_PAD = 0.11 * KEY_H       # the same for names

# Click burst: frames and marker share one advance; their centre is W / 2.01 from the left
# and W / 1.91 below the cell top.
BURST_W = 2400
BURST_CX = BURST_W / 2.01
BURST_CY = ASCENT - BURST_W / 1.91
BURST_R = 1160                # outer reach of the last frame

DEJAVU_CAP = 1493             # cap height of DejaVu Sans Bold


# --- Key table --------------------------------------------------------------------------------
# Each line of a label: (text, cap height, placement, font). "text" lines stand on a baseline
# found from the cap height, so punctuation keeps its place (comma low, apostrophe high);
# "ink" lines are centred by their outline (arrows). Font "bold" is DejaVu Sans Bold, "cond"
# its condensed cut.
def big(ch):
    return [(ch, BIG, "text", "bold")]


def name(*lines, cap=WORD):
    return [(t, cap, "text", "cond") for t in lines]


KEYS = {}  # code -> (glyph name, least width in key units, label lines, extra drawing)

for c in range(ord("a"), ord("z") + 1):
    KEYS[c] = ("key_" + chr(c), 1, big(chr(c).upper()), None)
for c in range(ord("0"), ord("9") + 1):
    KEYS[c] = ("key_" + chr(c), 1, big(chr(c)), None)

PUNCTUATION = {
    59: "semicolon", 61: "equal", 44: "comma", 45: "hyphen", 46: "period", 47: "slash",
    96: "grave", 91: "bracketleft", 92: "backslash", 93: "bracketright", 39: "quotesingle",
    58: "colon", 43: "plus", 60: "less", 95: "underscore", 62: "greater", 63: "question",
    126: "asciitilde", 123: "braceleft", 124: "bar", 125: "braceright", 34: "quotedbl",
    41: "parenright", 33: "exclam", 64: "at", 35: "numbersign", 36: "dollar", 37: "percent",
    94: "asciicircum", 38: "ampersand", 42: "asterisk", 40: "parenleft",
}
for c, glyph in PUNCTUATION.items():
    KEYS[c] = ("key_" + glyph, 1, [(chr(c), MARK, "text", "bold")], None)

for n in range(1, 13):
    KEYS[145 + n] = ("key_F%d" % n, 1, name("F%d" % n, cap=FKEY), None)

ARROWS = {163: ("key_down", "\u2193"), 164: ("key_up", "\u2191"),
          165: ("key_right", "\u2192"), 166: ("key_left", "\u2190")}
for c, (glyph, ch) in ARROWS.items():
    KEYS[c] = (glyph, 1, [(ch, BIG, "ink", "bold")], None)

KEYS.update({
    167: ("key_alt", 1.25, name("Alt"), None),
    168: ("key_ctrl", 1.25, name("Ctrl"), None),
    169: ("key_shift", 2.25, name("\u21e7 Shift"), None),
    170: ("key_tab", 1.5, name("Tab \u21e5"), None),
    171: ("key_capslock", 1.75, name("Caps Lock"), None),
    173: ("key_enter", 2.25, name("Enter \u21b5"), None),
    174: ("key_printscreen", 1, name("PrtSc"), None),
    175: ("key_scrolllock", 1, name("ScrLk"), None),
    176: ("key_pause", 1, name("Pause"), None),
    177: ("key_esc", 1, name("Esc"), None),
    178: ("key_insert", 1, name("Ins"), None),
    179: ("key_home", 1, name("Home"), None),
    180: ("key_pageup", 1, name("PgUp"), None),
    181: ("key_pagedown", 1, name("PgDn"), None),
    182: ("key_delete", 1, name("Del"), None),
    183: ("key_end", 1, name("End"), None),
    184: ("key_windows", 1.25, [], "windows"),
    195: ("key_numlock", 1, name("NumLk"), None),
    # A cap with no label: a character the font lacks is drawn on it in another face.
    201: ("key_blank", 1, [], None),
    203: ("key_space", 4, name("Space"), None),
    205: ("key_backspace", 2, name("\u2190 Backspace"), None),
})

# Keypad keys: the legend and a small "Num" tag beneath it.
KEYPAD = {185: "0", 198: "1", 194: ".", 196: "+", 197: ",", 199: "/", 200: "*", 206: "-"}
for d in range(2, 10):
    KEYPAD[184 + d] = str(d)
KEYPAD_NAMES = {".": "period", "+": "plus", ",": "comma", "/": "slash", "*": "asterisk",
                "-": "minus"}
for c, ch in KEYPAD.items():
    KEYS[c] = ("pad_" + KEYPAD_NAMES.get(ch, ch), 1,
               [(ch, 0.42 * KEY_H, "text", "bold"), ("Num", TAG, "text", "cond")], None)

BURST_FRAMES = range(130, 135)
DOUBLE_CLICK_MARKER = 135
CLOCK_OFFSET = 168
CLOCK_CHARS = "0123456789:"


# --- Outline helpers ---------------------------------------------------------------------------
class Source:
    """Outlines and metrics of the label font."""

    def __init__(self, path):
        self.font = TTFont(path)
        self.cmap = self.font.getBestCmap()
        self.glyphs = self.font.getGlyphSet()
        self.hmtx = self.font["hmtx"]

    def glyph_name(self, ch):
        name = self.cmap.get(ord(ch))
        if name is None:
            raise SystemExit("label font has no glyph for U+%04X" % ord(ch))
        return name

    def outline(self, ch):
        pen = DecomposingRecordingPen(self.glyphs)
        self.glyphs[self.glyph_name(ch)].draw(pen)
        return pen.value

    def advance(self, ch):
        return self.hmtx[self.glyph_name(ch)][0]

    def line(self, text):
        """The outline of a line of text at the source size, and its advance."""
        ops = []
        x = 0
        for ch in text:
            if ch != " ":
                for op, args in self.outline(ch):
                    ops.append((op, tuple((px + x, py) for px, py in args)))
            x += self.advance(ch)
        return ops, x


def bounds_of(ops):
    xs = [p[0] for _, args in ops for p in args]
    ys = [p[1] for _, args in ops for p in args]
    return min(xs), min(ys), max(xs), max(ys)


def replay(ops, pen):
    for op, args in ops:
        getattr(pen, op)(*args)


def rounded_rect(pen, x0, y0, x1, y1, r):
    """A clockwise rounded rectangle; each corner a quarter circle in four quadratic arcs, so GDI flattens it smoothly."""
    # Walk clockwise starting at the left edge's lower end: up, right, down, left.
    arcs = [
        ((x0, y1 - r), (x0 + r, y1), (x0 + r, y1 - r)),   # top-left
        ((x1 - r, y1), (x1, y1 - r), (x1 - r, y1 - r)),   # top-right
        ((x1, y0 + r), (x1 - r, y0), (x1 - r, y0 + r)),   # bottom-right
        ((x0 + r, y0), (x0, y0 + r), (x0 + r, y0 + r)),   # bottom-left
    ]
    pen.moveTo((x0, y0 + r))
    for (sx, sy), (ex, ey), (cx, cy) in arcs:
        pen.lineTo((sx, sy))
        a0 = math.atan2(sy - cy, sx - cx)
        a1 = math.atan2(ey - cy, ex - cx)
        if a1 > a0:
            a1 -= 2 * math.pi  # clockwise
        quad_arc(pen, cx, cy, r, a0, a1, 4)
    pen.closePath()


def quad_arc(pen, cx, cy, r, a0, a1, steps):
    """Quadratic arcs from angle a0 to a1 (the start point is already drawn)."""
    da = (a1 - a0) / steps
    for i in range(steps):
        t0 = a0 + da * i
        t1 = t0 + da
        tm = (t0 + t1) / 2
        rr = r / math.cos(da / 2)
        pen.qCurveTo((cx + rr * math.cos(tm), cy + rr * math.sin(tm)),
                     (cx + r * math.cos(t1), cy + r * math.sin(t1)))


def circle(pen, cx, cy, r, clockwise=True, steps=16):
    pen.moveTo((cx + r, cy))
    span = -2 * math.pi if clockwise else 2 * math.pi
    quad_arc(pen, cx, cy, r, 0, span, steps)
    pen.closePath()


def polygon(pen, points):
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()


def signed_area(points):
    return sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1])) / 2


def clockwise(points):
    return points if signed_area(points) < 0 else points[::-1]


# --- Glyph builders ---------------------------------------------------------------------------
def place_lines(fonts, lines, centre_x, centre_y, shrink=1.0):
    """Outline operations for label lines centred on (centre_x, centre_y)."""
    caps = [cap * shrink for _, cap, _, _ in lines]
    gap = 0.35 * max(caps) if len(lines) > 1 else 0
    top = centre_y + (sum(caps) + gap * (len(lines) - 1)) / 2
    out = []
    for (text, _, mode, font), cap in zip(lines, caps):
        scale = cap / DEJAVU_CAP
        ops, _ = fonts[font].line(text)
        x0, y0, x1, y1 = bounds_of(ops)
        dx = centre_x - (x0 + x1) / 2 * scale
        if mode == "ink":
            dy = top - cap / 2 - (y0 + y1) / 2 * scale
        else:
            dy = top - cap
        out.extend((op, tuple((px * scale + dx, py * scale + dy) for px, py in args))
                   for op, args in ops)
        top -= cap + gap
    return out


def label_width(fonts, lines):
    widest = 0
    for text, cap, _, font in lines:
        ops, _ = fonts[font].line(text)
        x0, _, x1, _ = bounds_of(ops)
        widest = max(widest, (x1 - x0) * cap / DEJAVU_CAP)
    return widest


def windows_logo(centre_x, centre_y):
    """Four panes, drawn as holes (counter-clockwise)."""
    size = 0.44 * KEY_H
    gap = 0.07 * KEY_H
    pane = (size - gap) / 2
    ops = []
    for ix in (0, 1):
        for iy in (0, 1):
            x0 = centre_x - size / 2 + ix * (pane + gap)
            y0 = centre_y - size / 2 + iy * (pane + gap)
            pts = [(x0, y0), (x0 + pane, y0), (x0 + pane, y0 + pane), (x0, y0 + pane)]
            rec = RecordingPen()
            polygon(rec, clockwise(pts)[::-1])
            ops.extend(rec.value)
    return ops


def key_glyph(fonts, least_units, lines, extra):
    """A rounded cap with its label cut out. Caps with a single character are one unit wide
    (a too-wide character is drawn smaller); named keys grow in quarter units to fit."""
    width = label_width(fonts, lines) if lines else 0
    single = bool(lines) and lines[0][3] == "bold" and least_units == 1
    pad = PAD if single else WORD_PAD
    units = least_units
    while not single and units * U < width + 2 * (pad + GAP):
        units += 0.25
    advance = round(units * U)
    shrink = min(1.0, (advance - 2 * (pad + GAP)) / width) if single else 1.0
    pen = TTGlyphPen(None)
    rounded_rect(pen, GAP, KEY_BOTTOM, advance - GAP, KEY_TOP, CORNER)
    centre_y = (KEY_TOP + KEY_BOTTOM) / 2 + LABEL_LIFT
    if lines:
        ops = place_lines(fonts, lines, advance / 2, centre_y, shrink)
        replay(ops, ReverseContourPen(pen))  # the label is cut out of the cap
    if extra == "windows":
        replay(windows_logo(advance / 2, centre_y), pen)
    return pen.glyph(), advance


def burst_glyph(frame):
    """Frame 0..4: a ring and eight rays, growing and thinning outward."""
    pen = TTGlyphPen(None)
    R = BURST_R
    ring_in, ring_out, ray_in, ray_out, ray_w = (
        (0.28, 0.47, 0.56, 0.78, 0.17),
        (0.39, 0.55, 0.64, 0.86, 0.15),
        (0.51, 0.63, 0.72, 0.92, 0.13),
        (0.62, 0.71, 0.80, 0.97, 0.11),
        (0.72, 0.80, 0.88, 1.00, 0.09),
    )[frame]
    ring_in, ring_out, ray_in, ray_out, ray_w = (v * R for v in (ring_in, ring_out, ray_in,
                                                                 ray_out, ray_w))
    circle(pen, BURST_CX, BURST_CY, ring_out, clockwise=True)
    circle(pen, BURST_CX, BURST_CY, ring_in, clockwise=False)
    for i in range(8):
        a = i * math.pi / 4
        ux, uy = math.cos(a), math.sin(a)
        px, py = -uy, ux
        w_in = ray_w * 0.55
        w_out = ray_w
        pts = [(BURST_CX + ux * ray_in + px * w_in / 2, BURST_CY + uy * ray_in + py * w_in / 2),
               (BURST_CX + ux * ray_out + px * w_out / 2, BURST_CY + uy * ray_out + py * w_out / 2),
               (BURST_CX + ux * ray_out - px * w_out / 2, BURST_CY + uy * ray_out - py * w_out / 2),
               (BURST_CX + ux * ray_in - px * w_in / 2, BURST_CY + uy * ray_in - py * w_in / 2)]
        polygon(pen, clockwise(pts))
    return pen.glyph(), BURST_W


def marker_glyph():
    """Two concentric marks inside the hollow of every burst frame, so it never overlaps one."""
    pen = TTGlyphPen(None)
    R = BURST_R
    circle(pen, BURST_CX, BURST_CY, 0.08 * R, clockwise=True)
    circle(pen, BURST_CX, BURST_CY, 0.22 * R, clockwise=True)
    circle(pen, BURST_CX, BURST_CY, 0.15 * R, clockwise=False)
    return pen.glyph(), BURST_W


def clock_glyph(src, ch):
    scale = DIGIT_H / DEJAVU_CAP
    ops = src.outline(ch)
    x0, y0, x1, y1 = bounds_of(ops)
    dx = U / 2 - (x0 + x1) / 2 * scale
    dy = 0
    if ch == ":":
        dy = DIGIT_H / 2 - (y0 + y1) / 2 * scale  # the colon's dots centred on the digits
    pen = TTGlyphPen(None)
    replay([(op, tuple((px * scale + dx, py * scale + dy) for px, py in args)) for op, args in ops],
           pen)
    return pen.glyph(), U


def notdef_glyph():
    pen = TTGlyphPen(None)
    x0, x1 = 200, U - 200
    y0, y1 = KEY_BOTTOM, KEY_TOP
    polygon(pen, clockwise([(x0, y0), (x1, y0), (x1, y1), (x0, y1)]))
    t = 120
    polygon(pen, clockwise([(x0 + t, y0 + t), (x1 - t, y0 + t), (x1 - t, y1 - t), (x0 + t, y1 - t)])[::-1])
    return pen.glyph(), U


def empty_glyph():
    return TTGlyphPen(None).glyph(), U


# --- Outline checks ---------------------------------------------------------------------------
def flatten(glyph, glyf):
    """The glyph's contours as polygons (quadratic curves split into short lines)."""
    rec = RecordingPen()
    glyph.draw(rec, glyf)
    contours, cur = [], []
    last = None
    for op, args in rec.value:
        if op == "moveTo":
            cur = [args[0]]
            last = args[0]
        elif op == "lineTo":
            cur.append(args[0])
            last = args[0]
        elif op == "qCurveTo":
            offs, end = list(args[:-1]), args[-1]
            if end is None:  # all off-curve contour
                raise SystemExit("unexpected closed off-curve contour")
            on = [last]
            for a, b in zip(offs, offs[1:]):
                on.append(((a[0] + b[0]) / 2, (a[1] + b[1]) / 2))
            on.append(end)
            for (p0, c, p1) in zip(on, offs, on[1:]):
                for i in range(1, 9):
                    t = i / 8
                    cur.append(((1 - t) ** 2 * p0[0] + 2 * t * (1 - t) * c[0] + t * t * p1[0],
                                (1 - t) ** 2 * p0[1] + 2 * t * (1 - t) * c[1] + t * t * p1[1]))
            last = end
        elif op in ("closePath", "endPath"):
            if len(cur) > 1 and cur[0] == cur[-1]:
                cur.pop()
            contours.append(cur)
            cur = []
    return contours


def segments_cross(a, b, c, d):
    def orient(p, q, r):
        v = (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])
        return (v > 0) - (v < 0)
    o1, o2, o3, o4 = orient(a, b, c), orient(a, b, d), orient(c, d, a), orient(c, d, b)
    if o1 != o2 and o3 != o4 and 0 not in (o1, o2, o3, o4):
        return True
    return False


def check_outline(name, contours):
    """No crossings, and orientation alternating with nesting depth, so that the winding and
    the alternate fill rules give the same shape."""
    segs = []
    for ci, pts in enumerate(contours):
        n = len(pts)
        for i in range(n):
            a, b = pts[i], pts[(i + 1) % n]
            segs.append((min(a[0], b[0]), max(a[0], b[0]), ci, i, n, a, b))
    segs.sort()
    active = []
    for s in segs:
        active = [t for t in active if t[1] >= s[0]]
        for t in active:
            if t[2] == s[2] and (abs(t[3] - s[3]) in (1, s[4] - 1) or t[3] == s[3]):
                continue
            if segments_cross(t[5], t[6], s[5], s[6]):
                raise SystemExit("%s: contours cross near %r" % (name, s[5]))
        active.append(s)

    def inside(p, poly):
        x, y = p
        hit = False
        for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit

    for ci, pts in enumerate(contours):
        depth = sum(inside(pts[0], other) for cj, other in enumerate(contours) if cj != ci)
        if (signed_area(pts) < 0) != (depth % 2 == 0):
            raise SystemExit("%s: contour %d winds the wrong way for its depth" % (name, ci))


# --- Font assembly ----------------------------------------------------------------------------
def build(output):
    fonts = {"bold": Source(DEJAVU_BOLD), "cond": Source(DEJAVU_CONDENSED)}
    glyphs = {".notdef": notdef_glyph(), "space": empty_glyph()}
    codes = {32: "space"}
    for code, (name, units, lines, extra) in sorted(KEYS.items()):
        glyphs[name] = key_glyph(fonts, units, lines, extra)
        codes[code] = name
    for i, code in enumerate(BURST_FRAMES):
        glyphs["burst%d" % (i + 1)] = burst_glyph(i)
        codes[code] = "burst%d" % (i + 1)
    glyphs["doubleclick"] = marker_glyph()
    codes[DOUBLE_CLICK_MARKER] = "doubleclick"
    for ch in CLOCK_CHARS:
        name = "clock_" + ("colon" if ch == ":" else ch)
        glyphs[name] = clock_glyph(fonts["bold"], ch)
        codes[ord(ch) + CLOCK_OFFSET] = name
        # The clock window is sized from the key caps of the unmapped text.
        assert glyphs[name][1] == glyphs[codes[ord(ch)]][1], ch

    order = [".notdef", "space"] + [n for n in glyphs if n not in (".notdef", "space")]
    fb = FontBuilder(UPM, isTTF=True)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)

    cmap = newTable("cmap")
    cmap.tableVersion = 0
    win = cmap_format_4(4)
    win.platformID, win.platEncID, win.language = 3, 0, 0
    win.cmap = {0xF000 + c: n for c, n in codes.items()}
    mac = cmap_format_0(0)
    mac.platformID, mac.platEncID, mac.language = 1, 0, 0
    mac.cmap = {c: n for c, n in codes.items()}
    cmap.tables = [mac, win]
    fb.font["cmap"] = cmap

    fb.setupGlyf({n: glyphs[n][0] for n in order})
    glyf = fb.font["glyf"]
    for n in order:
        if n not in (".notdef", "space"):
            check_outline(n, flatten(glyf[n], glyf))
    metrics = {}
    for n in order:
        g = glyf[n]
        g.recalcBounds(glyf)
        metrics[n] = (glyphs[n][1], getattr(g, "xMin", 0))
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)
    fb.setupHead(unitsPerEm=UPM, created=TIMESTAMP, modified=TIMESTAMP, fontRevision=4.5,
                 lowestRecPPEM=8, flags=0x000B)

    notice = ("Spotlex2 display font. Key labels and clock digits are derived from DejaVu Sans "
              "Bold and DejaVu Sans Condensed Bold: Copyright (c) 2003 by Bitstream, Inc. All Rights Reserved. Bitstream Vera "
              "is a trademark of Bitstream, Inc. DejaVu changes are in public domain.")
    names = {0: notice, 1: FAMILY, 2: "Regular", 3: FAMILY + " " + VERSION, 4: FAMILY,
             5: VERSION, 6: FAMILY,
             13: "Licensed under the Bitstream Vera licence; see LICENSE-DejaVu.txt."}
    name = newTable("name")
    name.names = []
    for nid, text in sorted(names.items()):
        name.setName(text, nid, 1, 0, 0)
        name.setName(text, nid, 3, 0, 0x409)  # symbol fonts name themselves in encoding 0
    fb.font["name"] = name

    fb.setupOS2(version=4, achVendID="SPLX", usWeightClass=400, usWidthClass=5, fsType=0,
                fsSelection=0x40, sTypoAscender=ASCENT, sTypoDescender=-DESCENT,
                sTypoLineGap=0, usWinAscent=ASCENT, usWinDescent=DESCENT,
                ulUnicodeRange1=0, ulUnicodeRange2=1 << 28,  # private use area
                ulUnicodeRange3=0, ulUnicodeRange4=0,
                ulCodePageRange1=1 << 31, ulCodePageRange2=0,  # symbol character set
                sxHeight=KEY_TOP, sCapHeight=KEY_TOP, usDefaultChar=0, usBreakChar=32,
                usMaxContext=0, ySubscriptXSize=0, ySubscriptYSize=0, ySubscriptYOffset=0,
                ySuperscriptXSize=0, ySuperscriptYSize=0, ySuperscriptYOffset=0,
                yStrikeoutSize=0, yStrikeoutPosition=0,
                panose={"bFamilyType": 5, "bSerifStyle": 0, "bWeight": 0, "bProportion": 0,
                        "bContrast": 0, "bStrokeVariation": 0, "bArmStyle": 0,
                        "bLetterForm": 0, "bMidline": 0, "bXHeight": 0})  # pictorial
    fb.setupPost(keepGlyphNames=True, underlinePosition=-DESCENT, underlineThickness=50)
    fb.setupMaxp()
    # A font without any hinting program is auto-hinted by FreeType (so by Wine), which moves
    # each cap's edges by its label. A control-value program of its own switches that off; it
    # only turns on drop-out control, so thin parts keep their pixels at small sizes.
    prep = newTable("prep")
    prep.program = ttProgram.Program()
    prep.program.fromBytecode(bytes([0xB8, 0x01, 0xFF,  # PUSHW 511
                                     0x85,              # SCANCTRL: drop-out control at all sizes
                                     0xB0, 0x04,        # PUSHB 4
                                     0x8D]))            # SCANTYPE: smart drop-out control
    fb.font["prep"] = prep
    maxp = fb.font["maxp"]
    maxp.maxZones, maxp.maxStackElements = 1, 8
    gasp = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {0xFFFF: 0x000F}
    fb.font["gasp"] = gasp

    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    fb.font.save(output)
    return codes


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args()
    codes = build(args.output)
    print("%s: %d codes" % (args.output, len(codes)))


if __name__ == "__main__":
    sys.exit(main())
