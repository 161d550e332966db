#!/usr/bin/env python3
"""Draws the console's icons and pictures (PNG and ICO) with nothing but the
standard library. Run it from anywhere; it writes next to itself:

    icon.ico   application / tray icon (16, 32 and 48 px)
    green.ico  red.ico  grey.ico   station state lamps (16 and 32 px)
    ups.png    device picture of the icon view (64 px)
    dir.png    station picture of the icon view (64 px)
    velmora.png  the company mark (128 px)
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, size):
        self.w = self.h = size
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(size)] for _ in range(size)]

    def fill(self, inside, color):
        """inside(x, y) -> bool in unit coordinates (0..1); color may be a
        function of (x, y) returning (r, g, b, a) with 0..255 channels."""
        for j in range(self.h):
            for i in range(self.w):
                hits = 0
                for sj in range(SS):
                    for si in range(SS):
                        x = (i + (si + 0.5) / SS) / self.w
                        y = (j + (sj + 0.5) / SS) / self.h
                        if inside(x, y):
                            hits += 1
                if not hits:
                    continue
                cx = (i + 0.5) / self.w
                cy = (j + 0.5) / self.h
                c = color(cx, cy) if callable(color) else color
                cov = hits / (SS * SS) * (c[3] / 255.0)
                r, g, b, a = self.px[j][i]
                na = cov + a * (1 - cov)
                if na <= 0:
                    continue
                mix = lambda s, d: (s * cov + d * a * (1 - cov)) / na
                self.px[j][i] = (mix(c[0], r), mix(c[1], g), mix(c[2], b), na)

    def rgba_rows(self):
        rows = []
        for j in range(self.h):
            row = []
            for i in range(self.w):
                r, g, b, a = self.px[j][i]
                row.append((int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))))
            rows.append(row)
        return rows


# ---- shapes ---------------------------------------------------------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rrect(x0, y0, x1, y1, rad):
    def f(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        dx = max(x0 + rad - x, 0, x - (x1 - rad))
        dy = max(y0 + rad - y, 0, y - (y1 - rad))
        return dx * dx + dy * dy <= rad * rad
    return f


def polygon(points):
    def f(x, y):
        inside = False
        n = len(points)
        for k in range(n):
            xa, ya = points[k]
            xb, yb = points[(k + 1) % n]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    inside = not inside
        return inside
    return f


def vgrad(top, bottom, y0=0.0, y1=1.0):
    def c(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(top[k] + (bottom[k] - top[k]) * t for k in range(4))
    return c


def radial(center, edge, cx, cy, r):
    def c(x, y):
        t = min(math.hypot(x - cx, y - cy) / r, 1.0)
        return tuple(center[k] + (edge[k] - center[k]) * t for k in range(4))
    return c


# ---- file writers ---------------------------------------------------------

def png_bytes(canvas):
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in canvas.rgba_rows())

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bytes(canvases):
    """Classic ICO with 32-bit BGRA DIB entries and an AND mask."""
    entries = []
    for cv in canvases:
        rows = cv.rgba_rows()
        xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
        mask_stride = ((cv.w + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for i, p in enumerate(row):
                if p[3] == 0:
                    bits[i // 8] |= 0x80 >> (i % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        entries.append((cv.w, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    return out


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# ---- pictures -------------------------------------------------------------

def draw_app_icon(size):
    cv = Canvas(size)
    cv.fill(rrect(0.04, 0.04, 0.96, 0.96, 0.2), vgrad((40, 120, 210, 255), (15, 60, 140, 255)))
    # lightning bolt
    bolt = polygon([(0.58, 0.12), (0.26, 0.56), (0.47, 0.56), (0.40, 0.88), (0.74, 0.42), (0.53, 0.42)])
    cv.fill(bolt, (255, 214, 40, 255))
    return cv


def draw_lamp(size, light, dark):
    cv = Canvas(size)
    cv.fill(circle(0.5, 0.5, 0.46), (60, 60, 60, 200))
    cv.fill(circle(0.5, 0.5, 0.40), radial(light, dark, 0.42, 0.38, 0.5))
    cv.fill(circle(0.40, 0.34, 0.12), (255, 255, 255, 150))
    return cv


def draw_ups(size):
    cv = Canvas(size)
    # cabinet with a darker side face
    cv.fill(polygon([(0.70, 0.10), (0.82, 0.04), (0.82, 0.88), (0.70, 0.96)]), (45, 48, 54, 255))
    cv.fill(polygon([(0.26, 0.10), (0.38, 0.04), (0.82, 0.04), (0.70, 0.10)]), (120, 124, 132, 255))
    cv.fill(rrect(0.22, 0.10, 0.70, 0.96, 0.03), vgrad((92, 96, 104, 255), (58, 61, 68, 255), 0.10, 0.96))
    # display
    cv.fill(rrect(0.29, 0.18, 0.63, 0.36, 0.02), (20, 30, 36, 255))
    cv.fill(rrect(0.32, 0.21, 0.60, 0.33, 0.01), vgrad((120, 220, 235, 255), (60, 160, 190, 255), 0.21, 0.33))
    # status leds
    cv.fill(circle(0.35, 0.45, 0.035), (70, 220, 90, 255))
    cv.fill(circle(0.46, 0.45, 0.035), (250, 190, 40, 255))
    cv.fill(circle(0.57, 0.45, 0.035), (230, 60, 50, 255))
    # vent slots
    for k in range(5):
        y = 0.56 + k * 0.07
        cv.fill(rrect(0.30, y, 0.62, y + 0.03, 0.012), (38, 40, 46, 255))
    return cv


def draw_dir(size):
    cv = Canvas(size)
    cv.fill(rrect(0.08, 0.16, 0.46, 0.34, 0.04), (214, 160, 40, 255))
    cv.fill(rrect(0.08, 0.24, 0.92, 0.84, 0.05), vgrad((232, 178, 52, 255), (200, 138, 24, 255), 0.24, 0.84))
    cv.fill(rrect(0.08, 0.34, 0.92, 0.86, 0.05), vgrad((255, 214, 102, 255), (240, 178, 50, 255), 0.34, 0.86))
    cv.fill(rrect(0.12, 0.38, 0.88, 0.41, 0.01), (255, 236, 170, 200))
    return cv


def draw_mark(size):
    cv = Canvas(size)
    cv.fill(circle(0.5, 0.5, 0.47), vgrad((32, 96, 170, 255), (14, 50, 110, 255)))
    cv.fill(polygon([(0.22, 0.26), (0.36, 0.26), (0.50, 0.62), (0.64, 0.26), (0.78, 0.26), (0.56, 0.78), (0.44, 0.78)]),
            (255, 255, 255, 255))
    cv.fill(polygon([(0.46, 0.18), (0.60, 0.18), (0.52, 0.30), (0.58, 0.30), (0.44, 0.46), (0.48, 0.34), (0.42, 0.34)]),
            (255, 214, 40, 255))
    return cv


def main():
    write("icon.ico", ico_bytes([draw_app_icon(s) for s in (16, 32, 48)]))
    write("green.ico", ico_bytes([draw_lamp(s, (150, 255, 150, 255), (20, 150, 40, 255)) for s in (16, 32)]))
    write("red.ico", ico_bytes([draw_lamp(s, (255, 160, 150, 255), (190, 20, 20, 255)) for s in (16, 32)]))
    write("grey.ico", ico_bytes([draw_lamp(s, (225, 225, 225, 255), (120, 120, 120, 255)) for s in (16, 32)]))
    write("ups.png", png_bytes(draw_ups(64)))
    write("dir.png", png_bytes(draw_dir(64)))
    write("velmora.png", png_bytes(draw_mark(128)))


if __name__ == "__main__":
    main()
