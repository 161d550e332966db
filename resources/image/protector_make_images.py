#!/usr/bin/env python3
"""Draws the protection agent's tool-bar and menu icons with nothing but the
standard library and writes them next to this script as 48 px ICO files:

    protector_settings.ico  a gear
    protector_log.ico       a page with lines
    protector_about.ico     an "i" in a circle
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 48
SS = 4


def render(shapes):
    px = [[(0, 0, 0, 0) for _ in range(SIZE)] for _ in range(SIZE)]
    for inside, color in shapes:
        for j in range(SIZE):
            for i in range(SIZE):
                hits = 0
                for sj in range(SS):
                    for si in range(SS):
                        if inside((i + (si + .5) / SS) / SIZE, (j + (sj + .5) / SS) / SIZE):
                            hits += 1
                if not hits:
                    continue
                cov = hits / (SS * SS)
                r, g, b, a = px[j][i]
                na = cov + a * (1 - cov)
                mix = lambda s, d: (s * cov + d * a * (1 - cov)) / na
                px[j][i] = (mix(color[0], r), mix(color[1], g), mix(color[2], b), na)
    return px


def write_ico(path, px):
    # 32-bit BMP entry: BITMAPINFOHEADER with double height, BGRA rows bottom
    # up, then the 1-bit AND mask (all zero: alpha decides).
    xor = bytearray()
    for row in reversed(px):
        for r, g, b, a in row:
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), int(round(a * 255))))
    mask_row = ((SIZE + 31) // 32) * 4
    andmask = bytes(mask_row * SIZE)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = header + bytes(xor) + andmask
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(icondir + entry + image)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def gear():
    def inside(x, y):
        dx, dy = x - .5, y - .5
        r = math.hypot(dx, dy)
        ang = math.atan2(dy, dx)
        tooth = (math.cos(ang * 8) > 0.3)
        outer = .44 if tooth else .34
        return .12 < r <= outer
    return inside


def main():
    blue = (40, 96, 170)
    write_ico(os.path.join(HERE, 'protector_settings.ico'), render([(gear(), (90, 100, 115))]))
    page = [(rect(.2, .08, .8, .92), (250, 250, 245)), ]
    edge = [(lambda x, y: (rect(.2, .08, .8, .92)(x, y) and not rect(.24, .12, .76, .88)(x, y)), (90, 90, 90))]
    lines = [(rect(.3, .22 + k * .12, .7, .26 + k * .12), blue) for k in range(6)]
    write_ico(os.path.join(HERE, 'protector_log.ico'), render(page + edge + lines))
    write_ico(os.path.join(HERE, 'protector_about.ico'), render([
        (circle(.5, .5, .45), blue),
        (circle(.5, .27, .07), (255, 255, 255)),
        (rect(.44, .4, .56, .78), (255, 255, 255)),
    ]))


if __name__ == '__main__':
    main()
