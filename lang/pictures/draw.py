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


# ---------------------------------------------------------------------------
# Map symbol strips: 4400 holds the road shields (27 x 27; image n is shield
# kind n), 4401 the point symbols (16 x 16). Both stand on the grey mask
# colour (128, 128, 128) and use hard pixels only, so that the map can find
# and recolour the pure template colours of the marine symbols.

GREY = (128, 128, 128, 255)


def hard_rect(c, x0, y0, x1, y1, col):
    for y in range(max(0, y0), min(c.h, y1)):
        for x in range(max(0, x0), min(c.w, x1)):
            c.px[y * c.w + x] = list(col)


def hard_disc(c, cx, cy, r, col):
    for y in range(c.h):
        for x in range(c.w):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                c.px[y * c.w + x] = list(col)


def map_shields():
    n = 8
    c = Canvas(27 * n, 27, GREY)
    black, white = (0, 0, 0, 255), (255, 255, 255, 255)
    looks = {2: ((20, 60, 160, 255), white), 3: (white, black), 4: (white, black),
             5: ((220, 30, 30, 255), (30, 60, 200, 255)), 6: (black, white), 7: ((240, 200, 40, 255), black)}
    for k in range(1, n):
        x = 27 * k
        body, edge = looks.get(k, ((90, 90, 90, 255), white))
        if k in (2, 5):  # a badge: wide top, pointed bottom
            hard_rect(c, x + 2, 2, x + 25, 16, edge)
            hard_rect(c, x + 3, 3, x + 24, 15, body)
            for i in range(9):
                hard_rect(c, x + 3 + i, 15 + i, x + 24 - i, 16 + i, body)
        elif k == 6:  # a disc
            hard_disc(c, x + 13.5, 13.5, 12.5, edge)
            hard_disc(c, x + 13.5, 13.5, 11, body)
        else:  # a box
            hard_rect(c, x + 1, 3, x + 26, 24, edge if k != 3 else black)
            hard_rect(c, x + 2, 4, x + 25, 23, body)
    c.save('4400.png')


def map_symbols():
    n = 137
    c = Canvas(16 * n, 16, GREY)
    yellow, cyan, red, green = (255, 255, 0, 255), (0, 255, 255, 255), (255, 0, 0, 255), (0, 255, 0, 255)
    magenta, blue, black = (255, 0, 255, 255), (0, 0, 255, 255), (0, 0, 0, 255)
    for i in range(1, n):
        x = 16 * i
        if i == 1:  # a dot
            hard_rect(c, x + 6, 6, x + 10, 10, black)
        elif i == 64:  # a small square
            hard_rect(c, x + 5, 5, x + 11, 11, black)
        elif i == 76:  # a speck
            hard_rect(c, x + 7, 7, x + 9, 9, black)
        elif 83 <= i <= 101:  # buoys: body bands by colour code 1, topmark by code 2
            hard_rect(c, x + 3, 13, x + 13, 15, blue)
            hard_rect(c, x + 4, 7, x + 12, 9, yellow)
            hard_rect(c, x + 4, 9, x + 12, 11, cyan)
            hard_rect(c, x + 4, 11, x + 12, 13, red if i % 2 else green)
            hard_rect(c, x + 6, 1 + i % 3, x + 10, 6, magenta)
        elif 102 <= i <= 136 and not 115 <= i <= 119:  # beacons and marks
            hard_rect(c, x + 7, 5, x + 9, 15, red)
            hard_rect(c, x + 4, 1, x + 12, 5, blue)
            hard_rect(c, x + 5, 2 + i % 2, x + 11, 4, green)
            hard_rect(c, x + 3, 14, x + 13, 16, black)
        elif 115 <= i <= 119:  # lights: a flare coloured by the light code
            col = [(255, 0, 0, 255), (0, 160, 0, 255), (255, 255, 255, 255), (255, 200, 0, 255),
                   (200, 0, 200, 255)][i - 115]
            hard_disc(c, x + 8, 8, 7, black)
            hard_disc(c, x + 8, 8, 5.5, col)
        else:  # everything else: a framed tile with a mark of its own
            hue = (i * 47) % 256
            body = (hue, (255 - hue + i * 13) % 256, (i * 91) % 256, 255)
            if body[:3] == (128, 128, 128):
                body = (127, 127, 127, 255)
            hard_rect(c, x + 1, 1, x + 15, 15, black)
            hard_rect(c, x + 2, 2, x + 14, 14, body)
            for b in range(7):  # the image number in binary, a pixel a bit
                if i >> b & 1:
                    hard_rect(c, x + 3 + b * 1 + b // 2, 7, x + 4 + b + b // 2, 9, (255, 255, 255, 255))
    c.save('4401.png')


map_shields()
map_symbols()
