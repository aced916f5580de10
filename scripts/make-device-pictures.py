#!/usr/bin/env python3
"""Draws the device's pictures for the screen previews as PNG files.

Run once by hand; the PNGs in src/editor/preview/pictures are committed and built
into tripcore as Qt resources. Only the standard library is used: every picture is
a list of simple shapes (rectangles, discs, rings, polygons, strokes), rasterised
with 4 x 4 samples a pixel on a transparent background, so the pictograms sit on
whatever background colour the scheme gives the screen.

usage: make-device-pictures.py [OUTPUT_DIR]
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "src", "editor", "preview", "pictures")
SS = 4  # samples a side

LIGHT = (224, 228, 232)
GREY = (150, 156, 164)
AMBER = (255, 168, 0)
RED = (232, 48, 32)
GREEN = (64, 200, 72)
YELLOW = (255, 214, 0)
ORANGE = (255, 96, 0)
CLEAR = None  # erases what lies below


# --- shapes: each is (bounding box, inside(x, y)) ---------------------------------------

def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        if r <= 0:
            return x0 <= x < x1 and y0 <= y < y1
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return x0 <= x < x1 and y0 <= y < y1 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return (x0, y0, x1, y1), inside


def disc(cx, cy, r):
    return (cx - r, cy - r, cx + r, cy + r), lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w, a0=None, a1=None):
    """Annulus of outer radius r and width w; with a0, a1 only the angles between
    (degrees, 0 = right, counter-clockwise, y up)."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r - w) ** 2 <= d2 <= r * r:
            return False
        return a0 is None or in_sweep(x, y)

    def in_sweep(x, y):
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (a - a0) % 360 <= (a1 - a0) % 360
    return (cx - r, cy - r, cx + r, cy + r), inside


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        c = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c
    return (min(xs), min(ys), max(xs), max(ys)), inside


def stroke(x0, y0, x1, y1, w):
    """A line of width w with round ends."""
    h = w / 2
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = min(max(((x - x0) * dx + (y - y0) * dy) / ll, 0.0), 1.0)
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= h * h
    return (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h), inside


def outline(points, w, closed=True):
    pts = points + [points[0]] if closed else points
    return [stroke(a[0], a[1], b[0], b[1], w) for a, b in zip(pts, pts[1:])]


def ticks(cx, cy, r_out, length, a0, a1, n, w):
    out = []
    for i in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * i / n)
        c, s = math.cos(a), -math.sin(a)
        out.append(stroke(cx + c * (r_out - length), cy + s * (r_out - length), cx + c * r_out, cy + s * r_out, w))
    return out


# --- rasteriser and PNG ------------------------------------------------------------------

def render(width, height, layers):
    """layers: (colour or CLEAR, [shapes]) painted in order."""
    px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]  # premultiplied RGBA
    offs = [(i + 0.5) / SS for i in range(SS)]
    for colour, shapes in layers:
        for (bx0, by0, bx1, by1), inside in shapes:
            for y in range(max(0, int(by0) - 1), min(height, int(math.ceil(by1)) + 1)):
                for x in range(max(0, int(bx0) - 1), min(width, int(math.ceil(bx1)) + 1)):
                    hits = sum(1 for oy in offs for ox in offs if inside(x + ox, y + oy))
                    if not hits:
                        continue
                    c = hits / (SS * SS)
                    p = px[y * width + x]
                    if colour is CLEAR:
                        for k in range(4):
                            p[k] *= 1 - c
                    else:
                        for k in range(3):
                            p[k] = colour[k] / 255 * c + p[k] * (1 - c)
                        p[3] = c + p[3] * (1 - c)
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            r, g, b, a = px[y * width + x]
            if a > 0:
                rows += bytes([round(min(1, r / a) * 255), round(min(1, g / a) * 255), round(min(1, b / a) * 255),
                               round(a * 255)])
            else:
                rows += b"\0\0\0\0"
    return rows


def write_png(path, width, height, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        f.write(chunk(b"IEND", b""))


# --- the pictures --------------------------------------------------------------------------

def gas_station():  # 25 x 49: a fuel pump with its hose and nozzle
    return 25, 49, [
        (LIGHT, [rect(2, 5, 17, 45, 2), rect(0, 44, 20, 49, 1)]),
        (CLEAR, [rect(5, 9, 14, 20, 1)]),
        (LIGHT, outline([(17, 26), (21, 28), (21, 12), (19, 9)], 2, closed=False)),
        (LIGHT, [rect(17.5, 4, 21, 10, 1)]),
    ]


def battery():  # 79 x 41: room inside for the voltage in the medium font
    return 79, 41, [
        (RED, [rect(10, 0, 22, 6, 1)]),
        (GREY, [rect(57, 0, 69, 6, 1)]),
        (LIGHT, [rect(0, 5, 79, 41, 3)]),
        (CLEAR, [rect(2, 7, 77, 39, 1.5)]),
    ]


def boat_motor():  # 33 x 49: an outboard motor from the side
    return 33, 49, [
        (LIGHT, [rect(5, 0, 29, 17, 6), rect(13, 16, 23, 40), rect(8, 28, 28, 31, 1)]),
        (GREY, [rect(7, 5, 27, 7)]),
        (LIGHT, [disc(18, 41, 3.5), polygon([(18, 38), (28, 40), (28, 46)]), polygon([(18, 44), (8, 40), (8, 46)]),
                 polygon([(13, 39), (23, 39), (18, 49)])]),
    ]


def boat_side():  # 41 x 17: hull from the side, bow to the right
    return 41, 17, [
        (LIGHT, [polygon([(0, 8), (40, 6), (34, 15), (5, 15)]), rect(11, 1, 23, 8, 1.5)]),
        (CLEAR, [rect(14, 3, 20, 6)]),
    ]


def boat_stern():  # 41 x 17: hull from behind
    return 41, 17, [
        (LIGHT, [polygon([(1, 7), (40, 7), (27, 16), (14, 16)]), rect(13, 1, 28, 8, 1.5)]),
        (CLEAR, [rect(16, 3, 25, 6)]),
    ]


def boat_scale(marks_left):  # 33 x 105: a vertical scale with its centre mark
    x_axis = 22 if marks_left else 11
    shapes = [stroke(x_axis, 4, x_axis, 101, 2)]
    for i in range(13):
        y = 4 + i * 97 / 12
        long = i % 3 == 0
        n = 10 if long else 6
        x0 = x_axis - n if marks_left else x_axis
        shapes.append(stroke(x0, y, x0 + n, y, 2))
    tri_x = x_axis + 3 if marks_left else x_axis - 3
    tip = (tri_x, 52.5)
    back = tri_x + 8 if marks_left else tri_x - 8
    return 33, 105, [
        (LIGHT, shapes),
        (GREEN, [polygon([tip, (back, 47), (back, 58)])]),
        (RED, [rect(x_axis - 1, 4, x_axis + 1, 14), rect(x_axis - 1, 91, x_axis + 1, 101)]),
    ]


def scale_left():  # 79 x 136: the left arc of a two-sided gauge
    cx, cy, r = 150, 68, 140
    return 79, 136, [
        (LIGHT, [ring(cx, cy, r, 3, 150, 210)]),
        (LIGHT, ticks(cx, cy, r - 3, 12, 150, 210, 6, 2.5)),
        (GREY, ticks(cx, cy, r - 3, 7, 155, 205, 5, 1.5)),
    ]


def scale_right():  # 149 x 136: a quarter-circle gauge scale with its red end
    cx, cy, r = 8, 132, 128
    return 149, 136, [
        (LIGHT, [ring(cx, cy, r, 3, 0, 90)]),
        (RED, [ring(cx, cy, r, 8, 0, 18)]),
        (LIGHT, ticks(cx, cy, r - 3, 14, 0, 90, 6, 2.5)),
        (GREY, ticks(cx, cy, r - 3, 8, 7.5, 82.5, 5, 1.5)),
    ]


def circle99():  # 199 x 199: a round dial with a 270 degree scale
    c = 99.5
    return 199, 199, [
        (LIGHT, [ring(c, c, 99, 3)]),
        (RED, [ring(c, c, 92, 6, -45, 15)]),
        (LIGHT, ticks(c, c, 92, 14, 225, -45, 10, 3)),
        (GREY, ticks(c, c, 92, 8, 211.5, -31.5, 9, 1.5)),
    ]


def circle9():  # 9 x 9: the needle's hub
    return 9, 9, [(LIGHT, [disc(4.5, 4.5, 4.5)]), (GREY, [disc(4.5, 4.5, 1.5)])]


def arrow():  # 129 x 129: a needle pointing up from the centre
    c = 64.5
    return 129, 129, [
        (ORANGE, [polygon([(c - 4, c), (c - 0.8, 4), (c + 0.8, 4), (c + 4, c), (c + 2, c + 18), (c - 2, c + 18)])]),
        (LIGHT, [disc(c, c, 7)]),
        (GREY, [disc(c, c, 3)]),
    ]


def check_engine():  # 105 x 105: the engine outline of the warning lamp
    body = [(26, 36), (74, 36), (80, 44), (88, 44), (88, 36), (96, 36), (96, 76), (88, 76), (88, 68), (80, 68),
            (72, 80), (38, 80), (32, 72), (26, 72)]
    return 105, 105, [
        (AMBER, outline(body, 6)),
        (AMBER, [rect(36, 22, 66, 28, 1.5), rect(48, 26, 54, 37)]),
        (AMBER, [stroke(26, 54, 14, 54, 6), stroke(11, 44, 11, 64, 6)]),
    ]


def electro():  # 105 x 105: an electric motor: a ring with a lightning bolt
    c = 52.5
    bolt = [(58, 14), (30, 58), (50, 58), (44, 92), (76, 44), (55, 44), (64, 14)]
    return 105, 105, [
        (LIGHT, [ring(c, c, 50, 5)]),
        (YELLOW, [polygon(bolt)]),
    ]


PICTURES = {
    "ScaleL": scale_left, "ScaleR": scale_right, "Circle99": circle99, "Circle9": circle9, "Arrow": arrow,
    "GasStation": gas_station, "Acc": battery, "BoatMotor": boat_motor,
    "BoatScaleT": lambda: boat_scale(True), "BoatScaleC": lambda: boat_scale(False),
    "BoatT": boat_side, "BoatC": boat_stern, "CheckEngine": check_engine, "Electro": electro,
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, make in PICTURES.items():
        width, height, layers = make()
        write_png(os.path.join(OUT, name + ".png"), width, height, render(width, height, layers))
        print("wrote %s.png (%d x %d)" % (name, width, height))


if __name__ == "__main__":
    main()
