#!/usr/bin/python3
"""Renders every glyph of the display font into a PNG for review.

    /usr/bin/python3 tools/font/contact_sheet.py [--font assets/fonts/Spotlex2.ttf]
                                                 [--output build/font-sheet.png] [--size 64]

Glyphs are drawn by FreeType (Debian's python3-pil) through the font's symbol cmap, the way
GDI reaches them: byte code c at U+F000 + c. Besides the grid of all codes at --size points
(96 dpi), the sheet shows a row of caps at 14, 24, 48 and 188 points, the clock at two sizes,
and each burst frame with the marker, crossed where the burst centre must fall.
"""

import argparse
import os
import sys

from PIL import Image, ImageDraw, ImageFont
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
CAPTION_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
INK = (20, 20, 20)
GRID = (200, 200, 200)
CENTRE = (230, 0, 0)


def px(points):
    return round(points * 96 / 72)


def sym(codes):
    return "".join(chr(0xF000 + c) for c in codes)


def mapped_codes(font_path):
    cmap = TTFont(font_path)["cmap"].getcmap(3, 0).cmap
    return sorted(c - 0xF000 for c in cmap if c != 0xF020)


class Sheet:
    def __init__(self, font_path, width):
        self.font_path = font_path
        self.width = width
        self.parts = []  # (height, draw function)

    def face(self, points):
        return ImageFont.truetype(self.font_path, px(points), encoding="symb")

    def add(self, height, draw):
        self.parts.append((height, draw))

    def render(self):
        height = sum(h for h, _ in self.parts) + 20
        img = Image.new("RGB", (self.width, height), "white")
        d = ImageDraw.Draw(img)
        y = 10
        for h, draw in self.parts:
            draw(d, y)
            y += h
        return img


def caption(d, xy, text, size=13):
    d.text(xy, text, fill=(90, 90, 90), font=ImageFont.truetype(CAPTION_FONT, size))


def add_grid(sheet, codes, points):
    face = sheet.face(points)
    ascent, descent = face.getmetrics()
    cell_h = ascent + descent + 22
    x, row = 10, []
    rows = [[]]
    for c in codes:
        w = round(face.getlength(sym([c])))
        if x + w + 10 > sheet.width:
            rows.append([])
            x = 10
        rows[-1].append((c, x, w))
        x += max(w, 40) + 10

    for r in rows:
        def draw(d, y, r=r):
            for c, x0, w in r:
                d.rectangle([x0, y, x0 + w - 1, y + ascent + descent - 1], outline=GRID)
                d.text((x0, y), sym([c]), fill=INK, font=face)
                caption(d, (x0 + 2, y + ascent + descent + 2), str(c))
        sheet.add(cell_h, draw)


def add_row(sheet, codes, points, label):
    face = sheet.face(points)
    ascent, descent = face.getmetrics()

    def draw(d, y):
        caption(d, (10, y), label)
        d.text((10, y + 18), sym(codes), fill=INK, font=face)
    sheet.add(ascent + descent + 28, draw)


def add_bursts(sheet, points):
    face = sheet.face(points)
    ascent, descent = face.getmetrics()

    def draw(d, y):
        caption(d, (10, y), "burst frames 130-134 at %d pt, then 135 over 130; red cross = "
                "(W/2.01, W/1.91) from the cell's top left" % points)
        x = 10
        y += 18
        for codes in ([130], [131], [132], [133], [134], [135], [130, 135]):
            w = face.getlength(sym([codes[0]]))
            d.rectangle([x, y, x + round(w) - 1, y + ascent + descent - 1], outline=GRID)
            for c in codes:
                d.text((x, y), sym([c]), fill=INK, font=face)
            cx, cy = x + w / 2.01, y + w / 1.91
            d.line([cx - 8, cy, cx + 8, cy], fill=CENTRE)
            d.line([cx, cy - 8, cx, cy + 8], fill=CENTRE)
            x += round(w) + 10
    sheet.add(ascent + descent + 28, draw)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--font", default=os.path.join(REPO, "assets", "fonts", "Spotlex2.ttf"))
    parser.add_argument("--output", default=os.path.join(REPO, "build", "font-sheet.png"))
    parser.add_argument("--size", type=int, default=64, help="points at 96 dpi for the grid")
    parser.add_argument("--width", type=int, default=1800)
    args = parser.parse_args()

    codes = mapped_codes(args.font)
    sheet = Sheet(args.font, args.width)
    add_grid(sheet, codes, args.size)
    ctrl_alt_del = [168, 167, 169, 182]
    for points in (14, 24, 48):
        add_row(sheet, ctrl_alt_del + [97, 203, 173, 184, 205, 170, 171, 35, 198, 157],
                points, "%d pt: Ctrl Alt Shift Del a Space Enter Win Backspace Tab Caps # "
                "Num1 F12" % points)
    add_row(sheet, [168, 115], 188, "188 pt: Ctrl s")
    for points in (14, 64):
        add_row(sheet, [ord(c) + 168 for c in "12:34:56"], points,
                "%d pt: clock 12:34:56 (codes + 168)" % points)
    add_bursts(sheet, 64)
    add_bursts(sheet, 14)
    img = sheet.render()
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    img.save(args.output)
    print("%s: %d glyphs" % (args.output, len(codes)))


if __name__ == "__main__":
    sys.exit(main())
