#!/usr/bin/env python3
"""Draws the pictures of the language module as PNG files: the about and
splash picture (185), the history tree's item pictures (152-160) and the
toolbar's button strip (128, one 16 x 16 picture per button in order).
Run it in this folder after changing a drawing; the PNGs are committed."""
import math
import struct
import zlib


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def blend(self, x, y, c, a=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            p = self.px[y * self.w + x]
            ca = c[3] / 255.0 * a
            for i in range(3):
                p[i] = round(p[i] * (1 - ca) + c[i] * ca)
            p[3] = max(p[3], round(255 * ca))

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= r + 0.5:
                    self.blend(x, y, c, min(1.0, r + 0.5 - d))

    def line(self, x0, y0, x1, y1, width, c):
        n = max(1, int(math.hypot(x1 - x0, y1 - y0) * 2))
        for i in range(n + 1):
            t = i / n
            self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, c)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.blend(x, y, c)

    def save(self, path):
        raw = b''.join(b'\0' + bytes(v for p in self.px[y * self.w:(y + 1) * self.w] for v in p)
                       for y in range(self.h))
        def chunk(tag, data):
            return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data))
        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0))
                    + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def about():
    w, h = 480, 320
    c = Canvas(w, h, (0, 0, 0, 255))
    for y in range(h):  # dusk sky fading into dark ground
        t = y / h
        col = (int(30 + 60 * (1 - t)), int(50 + 70 * (1 - t)), int(110 + 60 * (1 - t)), 255)
        c.rect(0, y, w, y + 1, col)
    for k, (amp, base, shade) in enumerate([(28, 200, (40, 70, 60, 255)), (20, 235, (28, 52, 44, 255))]):
        for x in range(w):
            top = int(base - amp * math.sin(x / (70 + 25 * k) + k) - 10 * math.sin(x / 23.0))
            c.rect(x, top, x + 1, h, shade)
    c.rect(0, 262, w, h, (16, 24, 32, 255))  # band for the version and notice lines
    c.disc(390, 70, 26, (255, 214, 140, 255))  # setting sun
    pts = [(40, 240), (90, 215), (130, 228), (175, 190), (220, 205), (260, 165), (305, 180), (340, 140),
           (380, 152), (420, 118)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        c.line(x0, y0, x1, y1, 5, (255, 140, 40, 255))
    for x, y in pts[::3]:
        c.disc(x, y, 5, (255, 255, 255, 255))
    c.disc(420, 118, 8, (220, 40, 40, 255))
    c.save('185.png')


def icon(path, kind, selected):
    c = Canvas(16, 16)
    ink = (20, 90, 170, 255) if not selected else (200, 90, 10, 255)
    if kind == 'history':  # a book
        c.rect(2, 2, 14, 14, ink)
        c.rect(4, 4, 12, 12, (255, 255, 255, 255))
        for y in (6, 8, 10):
            c.rect(5, y, 11, y + 1, ink)
    elif kind == 'week':  # a calendar page
        c.rect(1, 3, 15, 15, (255, 255, 255, 255))
        c.rect(1, 3, 15, 6, ink)
        for y in (8, 11):
            for x in (3, 6, 9, 12):
                c.rect(x, y, x + 2, y + 2, ink)
    elif kind == 'run':  # a winding track
        c.line(2, 13, 6, 8, 2, ink)
        c.line(6, 8, 10, 10, 2, ink)
        c.line(10, 10, 14, 3, 2, ink)
        c.disc(14, 3, 2, (220, 40, 40, 255))
    else:  # lap: a stopwatch
        c.disc(8, 9, 6, ink)
        c.disc(8, 9, 4.5, (255, 255, 255, 255))
        c.rect(7, 1, 10, 3, ink)
        c.line(8, 9, 8, 6, 1.5, ink)
    c.save(path)


def toolbar():
    """Transfer, export, undo, redo, delete, about: 16 x 16 each, side by side."""
    c = Canvas(16 * 6, 16)
    ink = (40, 40, 48, 255)
    blue = (40, 100, 200, 255)
    green = (30, 150, 70, 255)
    red = (200, 40, 40, 255)

    def arrow_head(x, y, dx, dy, col):  # a small filled triangle pointing along (dx, dy)
        for k in range(4):
            for t in range(-3 + k, 4 - k):
                c.blend(x + dx * k + dy * t, y + dy * k + dx * t, col)

    # transfer from the unit: a watch with an arrow out of it
    x = 0
    c.rect(x + 2, 3, x + 9, 12, ink)
    c.rect(x + 3, 4, x + 8, 11, (200, 230, 255, 255))
    c.rect(x + 4, 1, x + 7, 3, ink)
    c.rect(x + 4, 12, x + 7, 15, ink)
    c.line(x + 9, 8, x + 12, 8, 2, green)
    arrow_head(x + 12, 8, 1, 0, green)
    # export as a file: a page with a folded corner and an arrow
    x = 16
    c.rect(x + 2, 1, x + 10, 15, ink)
    c.rect(x + 3, 2, x + 9, 14, (255, 255, 255, 255))
    for y in (5, 8, 11):
        c.rect(x + 4, y, x + 8, y + 1, (150, 150, 160, 255))
    c.line(x + 9, 10, x + 12, 10, 2, blue)
    arrow_head(x + 12, 10, 1, 0, blue)
    # undo: a bent arrow turning back to the left
    x = 32
    c.line(x + 12, 13, x + 12, 8, 2, blue)
    c.line(x + 12, 7, x + 7, 4, 2, blue)
    c.line(x + 7, 4, x + 5, 4, 2, blue)
    arrow_head(x + 3, 4, -1, 0, blue)
    # redo: the same to the right
    x = 48
    c.line(x + 3, 13, x + 3, 8, 2, blue)
    c.line(x + 3, 7, x + 8, 4, 2, blue)
    c.line(x + 8, 4, x + 10, 4, 2, blue)
    arrow_head(x + 12, 4, 1, 0, blue)
    # delete: a red cross
    x = 64
    c.line(x + 3, 3, x + 12, 12, 2.5, red)
    c.line(x + 12, 3, x + 3, 12, 2.5, red)
    # about: an i in a blue disc
    x = 80
    c.disc(x + 8, 8, 7, blue)
    c.rect(x + 7, 3, x + 9, 5, (255, 255, 255, 255))
    c.rect(x + 7, 6, x + 9, 13, (255, 255, 255, 255))
    c.save('128.png')


about()
toolbar()
for kind, normal, selected in [('history', 153, 152), ('week', 154, 158), ('run', 155, 159), ('lap', 156, 160)]:
    icon('%d.png' % normal, kind, False)
    icon('%d.png' % selected, kind, True)
