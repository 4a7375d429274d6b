#!/usr/bin/env python3
"""Draws the program's artwork and writes it to src/ui/res/.

Every picture is a list of shapes in a unit square, rasterised with signed distances so that the edges are
smoothed at any size. Outputs: the application icon (16 to 48 pixels), and 32-bit strips with alpha for the
section state images, the left-bar pictures, the header buttons and the tray menu pictures, each at 100% and
150% size.
Only the standard library is used; run it again after changing a picture.
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "ui", "res")

BLUE = (38, 110, 196)
LIGHT_BLUE = (120, 185, 255)
GREEN = (46, 160, 67)
RED = (214, 69, 65)
GREY = (150, 156, 166)
WHITE = (255, 255, 255)
AMBER = (240, 170, 40)
YELLOW = (250, 210, 60)
CYAN = (80, 210, 220)
ROSE = (235, 95, 90)
MINT = (90, 210, 120)


# Signed distance functions, negative inside, in unit-square coordinates.
def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, w):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - w / 2


def capsule(ax, ay, bx, by, w):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy or 1e-9)))
        return math.hypot(px - vx * t, py - vy * t) - w / 2
    return d


def polyline(points, w):
    parts = [capsule(*points[i], *points[i + 1], w) for i in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def rounded_box(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return d


def polygon(points):
    def d(x, y):
        best, inside = 1e9, False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            vx, vy, px, py = bx - ax, by - ay, x - ax, y - ay
            t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy or 1e-9)))
            best = min(best, math.hypot(px - vx * t, py - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def arc(cx, cy, r, w, start, end):
    """A ring from angle `start` to `end` (degrees, clockwise from the top), with round ends."""
    def point(a):
        a = math.radians(a)
        return cx + r * math.sin(a), cy - r * math.cos(a)
    ends = [capsule(*point(start), *point(start), w), capsule(*point(end), *point(end), w)]
    band = ring(cx, cy, r, w)

    def d(x, y):
        a = math.degrees(math.atan2(x - cx, -(y - cy))) % 360
        s, e = start % 360, end % 360
        within = (s <= a <= e) if s <= e else (a >= s or a <= e)
        return min(band(x, y) if within else 1e9, ends[0](x, y), ends[1](x, y))
    return d


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def union(*parts):
    return lambda x, y: min(p(x, y) for p in parts)


def render(layers, size):
    """layers: (sdf, colour, opacity) or (sdf, (top colour, bottom colour), opacity), painted in order."""
    px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for row in range(size):
        for col in range(size):
            r = g = b = a = 0.0
            x, y = (col + 0.5) / size, (row + 0.5) / size
            for sdf, colour, opacity in layers:
                cover = max(0.0, min(1.0, 0.5 - sdf(x, y) * size)) * opacity
                if cover <= 0:
                    continue
                if isinstance(colour[0], tuple):
                    top, bottom = colour
                    colour = tuple(top[i] + (bottom[i] - top[i]) * y for i in range(3))
                # "over" in premultiplied terms
                r = colour[0] * cover + r * (1 - cover)
                g = colour[1] * cover + g * (1 - cover)
                b = colour[2] * cover + b * (1 - cover)
                a = cover + a * (1 - cover)
            px[row][col] = (r, g, b, a)
    return px


def unpremultiply(p):
    r, g, b, a = p
    if a <= 0:
        return (0, 0, 0, 0)
    return tuple(int(round(min(255, v / a))) for v in (r, g, b)) + (int(round(a * 255)),)


def bmp32(images, size):
    """A bottom-up 32-bit BMP holding the images side by side, straight (not premultiplied) alpha."""
    width, height = size * len(images), size
    rows = []
    for row in range(height - 1, -1, -1):
        line = bytearray()
        for img in images:
            for col in range(size):
                r, g, b, a = unpremultiply(img[row][col])
                line += bytes((b, g, r, a))
        rows.append(bytes(line))
    pixels = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)) + header + pixels


def ico(images):
    """An icon file with one 32-bit BMP entry per image (with its AND mask)."""
    entries, blobs = [], []
    for img in images:
        size = len(img)
        xor = bytearray()
        for row in range(size - 1, -1, -1):
            for col in range(size):
                r, g, b, a = unpremultiply(img[row][col])
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in range(size - 1, -1, -1):
            bits = bytearray(mask_stride)
            for col in range(size):
                if img[row][col][3] < 0.5:
                    bits[col // 8] |= 0x80 >> (col % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(header + bytes(xor) + bytes(mask))
        entries.append(size)
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def check_mark(colour, w=0.1):
    return (polyline([(0.29, 0.52), (0.44, 0.67), (0.72, 0.36)], w), colour, 1.0)


def state_images():
    """StatImageList: 0 off, 1 on, 2-3 unused, 4-10 animation, 11 nothing found, 12 problems found."""
    blank = []
    off = [(circle(0.5, 0.5, 0.4), WHITE, 1.0), (ring(0.5, 0.5, 0.38, 0.08), GREY, 1.0)]
    on = [(circle(0.5, 0.5, 0.42), (LIGHT_BLUE, BLUE), 1.0), check_mark(WHITE)]
    frames = []
    for k in range(7):
        layers = []
        for i in range(7):
            a = math.radians(i * 360 / 7)
            age = (k - i) % 7
            layers.append((circle(0.5 + 0.33 * math.sin(a), 0.5 - 0.33 * math.cos(a), 0.095 - 0.008 * age),
                           BLUE, max(0.18, 1.0 - age * 0.14)))
        frames.append(layers)
    clean = [(circle(0.5, 0.5, 0.42), ((110, 200, 120), GREEN), 1.0), check_mark(WHITE)]
    found = [(circle(0.5, 0.5, 0.42), ((245, 120, 100), RED), 1.0),
             (capsule(0.5, 0.27, 0.5, 0.55, 0.12), WHITE, 1.0), (circle(0.5, 0.72, 0.065), WHITE, 1.0)]
    return [off, on, blank, blank] + frames + [clean, found]


def bar_images():
    """Left-bar pictures: scan, backup, optimizer, startup, uninstall, disk cleaner, browser repair."""
    scan = [(ring(0.42, 0.42, 0.24, 0.1), LIGHT_BLUE, 1.0), (capsule(0.6, 0.6, 0.84, 0.84, 0.14), LIGHT_BLUE, 1.0)]
    backup = [(rounded_box(0.18, y, 0.82, y + 0.18, 0.07), AMBER, 1.0) for y in (0.16, 0.41, 0.66)]
    backup += [(circle(0.7, y + 0.09, 0.035), (60, 50, 30), 1.0) for y in (0.16, 0.41, 0.66)]
    optimize = [(polygon([(0.58, 0.08), (0.22, 0.56), (0.47, 0.56), (0.38, 0.92), (0.78, 0.42), (0.53, 0.42)]),
                 YELLOW, 1.0)]
    startup = [(arc(0.5, 0.54, 0.3, 0.11, 40, 320), MINT, 1.0), (capsule(0.5, 0.12, 0.5, 0.48, 0.11), MINT, 1.0)]
    trash = [(rounded_box(0.24, 0.32, 0.76, 0.9, 0.06), ROSE, 1.0), (capsule(0.16, 0.22, 0.84, 0.22, 0.08), ROSE, 1.0),
             (capsule(0.42, 0.12, 0.58, 0.12, 0.07), ROSE, 1.0)]
    trash += [(capsule(x, 0.44, x, 0.78, 0.055), (60, 30, 30), 1.0) for x in (0.38, 0.5, 0.62)]

    def star(cx, cy, r):
        pts = []
        for i in range(8):
            a = math.radians(i * 45)
            rr = r if i % 2 == 0 else r * 0.3
            pts.append((cx + rr * math.sin(a), cy - rr * math.cos(a)))
        return polygon(pts)
    cleaner = [(rounded_box(0.12, 0.62, 0.88, 0.9, 0.08), CYAN, 1.0), (circle(0.76, 0.76, 0.04), (30, 60, 70), 1.0),
               (star(0.4, 0.33, 0.26), WHITE, 1.0), (star(0.75, 0.22, 0.12), WHITE, 0.9)]
    globe = [(ring(0.5, 0.5, 0.36, 0.08), LIGHT_BLUE, 1.0),
             (subtract(union(circle(0.5, 0.5, 0.36)), circle(0.5, 0.5, 0.36)), LIGHT_BLUE, 1.0),
             (lambda x, y: abs(math.hypot((x - 0.5) / 0.42, (y - 0.5)) - 0.36) - 0.03, LIGHT_BLUE, 1.0),
             (capsule(0.14, 0.5, 0.86, 0.5, 0.06), LIGHT_BLUE, 1.0),
             (capsule(0.5, 0.14, 0.5, 0.86, 0.06), LIGHT_BLUE, 1.0),
             (arc(0.78, 0.78, 0.14, 0.07, 0, 270), MINT, 1.0),
             (polygon([(0.78, 0.57), (0.9, 0.64), (0.78, 0.72)]), MINT, 1.0)]
    return [scan, backup, optimize, startup, trash, cleaner, globe]


def header_images():
    """Header buttons: about, update, options, help, minimize, close; white on the title bar."""
    about = [(ring(0.5, 0.5, 0.4, 0.08), WHITE, 1.0), (circle(0.5, 0.3, 0.06), WHITE, 1.0),
             (capsule(0.5, 0.45, 0.5, 0.72, 0.1), WHITE, 1.0)]
    update = [(arc(0.5, 0.52, 0.3, 0.1, 60, 330), WHITE, 1.0),
              (polygon([(0.44, 0.06), (0.7, 0.2), (0.46, 0.36)]), WHITE, 1.0)]
    teeth = []
    for i in range(8):
        a = math.radians(i * 45)
        teeth.append(capsule(0.5 + 0.28 * math.sin(a), 0.5 - 0.28 * math.cos(a),
                             0.5 + 0.4 * math.sin(a), 0.5 - 0.4 * math.cos(a), 0.13))
    options = [(subtract(union(circle(0.5, 0.5, 0.3), *teeth), circle(0.5, 0.5, 0.12)), WHITE, 1.0)]
    help_ = [(arc(0.5, 0.36, 0.17, 0.1, 270, 160), WHITE, 1.0), (capsule(0.55, 0.51, 0.5, 0.6, 0.1), WHITE, 1.0),
             (circle(0.5, 0.8, 0.065), WHITE, 1.0)]
    minimize = [(capsule(0.25, 0.7, 0.75, 0.7, 0.1), WHITE, 1.0)]
    close = [(capsule(0.27, 0.27, 0.73, 0.73, 0.1), WHITE, 1.0), (capsule(0.73, 0.27, 0.27, 0.73, 0.1), WHITE, 1.0)]
    return [about, update, options, help_, minimize, close]


def menu_images():
    """Tray menu pictures: 0 the program (OpenMenu), 1 the update check (OnlineUpdate1)."""
    update = [(arc(0.5, 0.52, 0.32, 0.13, 60, 330), BLUE, 1.0),
              (polygon([(0.42, 0.02), (0.76, 0.2), (0.45, 0.4)]), BLUE, 1.0)]
    return [app_icon(), update]


def backup_images():
    """Backup buttons, each normal then highlighted: full backup, restore, remove, close."""
    def drive(colour):
        return [(rounded_box(0.14, 0.52, 0.86, 0.86, 0.08), colour, 1.0), (circle(0.72, 0.69, 0.045), WHITE, 1.0),
                (capsule(0.26, 0.69, 0.5, 0.69, 0.06), WHITE, 0.8)]

    def full(colour):
        return drive(colour) + [(capsule(0.5, 0.1, 0.5, 0.36, 0.1), colour, 1.0),
                                (polygon([(0.32, 0.3), (0.68, 0.3), (0.5, 0.48)]), colour, 1.0)]

    def restore(colour):
        return [(arc(0.5, 0.54, 0.3, 0.11, 100, 400), colour, 1.0),
                (polygon([(0.08, 0.38), (0.36, 0.38), (0.2, 0.62)]), colour, 1.0),
                (capsule(0.5, 0.54, 0.5, 0.38, 0.08), colour, 1.0), (capsule(0.5, 0.54, 0.62, 0.62, 0.08), colour, 1.0)]

    def remove(colour):
        shape = [(rounded_box(0.24, 0.32, 0.76, 0.9, 0.06), colour, 1.0),
                 (capsule(0.16, 0.22, 0.84, 0.22, 0.08), colour, 1.0), (capsule(0.42, 0.12, 0.58, 0.12, 0.07), colour, 1.0)]
        return shape + [(capsule(x, 0.44, x, 0.78, 0.055), WHITE, 1.0) for x in (0.38, 0.5, 0.62)]

    def close(colour):
        return [(circle(0.5, 0.5, 0.4), colour, 1.0), (capsule(0.34, 0.34, 0.66, 0.66, 0.09), WHITE, 1.0),
                (capsule(0.66, 0.34, 0.34, 0.66, 0.09), WHITE, 1.0)]
    pictures = []
    for make, normal, bright in ((full, BLUE, LIGHT_BLUE), (restore, GREEN, MINT), (remove, RED, ROSE),
                                 (close, GREY, (190, 196, 206))):
        pictures += [make(normal), make(bright)]
    return pictures


def app_icon():
    return [(rounded_box(0.04, 0.04, 0.96, 0.96, 0.2), ((70, 150, 235), (20, 70, 150)), 1.0),
            (circle(0.43, 0.43, 0.22), (235, 245, 255), 0.35),
            (ring(0.43, 0.43, 0.22, 0.09), WHITE, 1.0),
            (capsule(0.6, 0.6, 0.8, 0.8, 0.13), WHITE, 1.0),
            (polyline([(0.33, 0.44), (0.41, 0.52), (0.54, 0.36)], 0.075), (90, 230, 110), 1.0)]


def main():
    os.makedirs(OUT, exist_ok=True)
    sets = {"state": (state_images(), (24, 36)), "bar": (bar_images(), (32, 48)),
            "header": (header_images(), (20, 30)), "menu": (menu_images(), (16, 24)),
            "backup": (backup_images(), (32, 48))}
    for name, (pictures, sizes) in sets.items():
        for size in sizes:
            with open(os.path.join(OUT, f"{name}_{size}.bmp"), "wb") as f:
                f.write(bmp32([render(p, size) for p in pictures], size))
    with open(os.path.join(OUT, "tarnwick.ico"), "wb") as f:
        f.write(ico([render(app_icon(), s) for s in (16, 24, 32, 48, 64)]))


if __name__ == "__main__":
    main()
