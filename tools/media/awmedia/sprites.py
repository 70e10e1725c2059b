"""Every sprite that is not node art or an icon: the resource site, spark, gear, bar pieces,
the title, the win, lose and tie banners, and the maker's logo."""

import math

import numpy as np

from .drawing import *  # noqa: F401,F403 - the shape and colour vocabulary
from .drawing import _ramp, _stops


# --------------------------------------------------------------------------
# other sprites
# --------------------------------------------------------------------------


def make_resource():
    s = Sprite(54, 54)
    c = 27.0
    s.paint(circle(c, c, 25.0), radial(c, c, 0, 25, rgb(236, 240, 240), rgb(196, 204, 204)),
            lambda X, Y: 0.30 + 0.25 * np.clip(np.hypot(X - c, Y - c) / 25, 0, 1) ** 2)
    s.paint(ring(c, c, 23.7, 25.0), rgb(240, 244, 244), 0.8)
    s.paint(ring(c, c, 22.3, 23.7), rgb(150, 160, 160), 0.35)
    crystals = [
        (12.5, 25.0, 112, 7, 3.6), (40.0, 21.5, 72, 7, 3.6), (19.5, 15.0, 98, 6, 3.2),
        (33.5, 14.0, 84, 5, 3.0), (44.0, 31.5, 28, 6, 3.2), (10.0, 34.0, 160, 6, 3.2),
        (27.0, 31.0, 93, 17, 7.0), (21.0, 33.0, 122, 12, 5.4), (33.5, 33.0, 62, 13, 5.6),
        (16.0, 39.0, 150, 8, 4.2), (38.5, 38.0, 36, 8.5, 4.4), (24.5, 39.0, 104, 7, 4.0),
        (30.5, 39.5, 76, 7.5, 4.0), (34.0, 45.0, 62, 5.5, 3.2), (19.0, 45.0, 118, 5, 3.0),
    ]
    crystals.sort(key=lambda k: k[1])
    for bx, by, a, L, W in crystals:
        d = np.array([math.cos(math.radians(a)), -math.sin(math.radians(a))])
        n = np.array([-d[1], d[0]])
        b = np.array([bx, by])

        def P(u, w):
            p = b + d * u + n * w
            return (p[0], p[1])
        left = [P(0, -W / 2), P(0.72 * L, -W / 2), P(L, 0), P(0, 0)]
        right = [P(0, 0), P(L, 0), P(0.72 * L, W / 2), P(0, W / 2)]
        whole = poly([P(0, -W / 2), P(0.72 * L, -W / 2), P(L, 0), P(0.72 * L, W / 2), P(0, W / 2)])
        s.paint(circle(bx, by, W * 0.6), rgb(90, 100, 100), 0.35)
        s.paint(grow(whole, 0.7), rgb(110, 122, 122), 0.9)
        # the face turned towards the upper left catches the light
        lit_left = n[0] + n[1] > 0
        s.paint(poly(left), rgb(252, 253, 253) if not lit_left else rgb(200, 208, 208))
        s.paint(poly(right), rgb(200, 208, 208) if not lit_left else rgb(252, 253, 253))
        s.paint(seg(*P(0.1 * L, 0), *P(0.95 * L, 0), 0.35), WHITE, 0.8)
    return s


def make_spark():
    s = Sprite(8, 8)
    s.glow(lambda X, Y: np.clip(1.15 * np.exp(-((X - 4) ** 2 + (Y - 4) ** 2) / (2 * 1.45 ** 2)) - 0.02, 0, 1), WHITE)
    return s


def make_gear():
    s = Sprite(128, 128)
    c = 64.0
    teeth = []
    for k in range(12):
        a = 90 + 30 * k
        p0 = polar(c, c, 44, a - 9.5)
        p1 = polar(c, c, 60.3, a - 4.3)
        p2 = polar(c, c, 60.3, a + 4.3)
        p3 = polar(c, c, 44, a + 9.5)
        teeth.append(grow(poly([p0, p1, p2, p3]), 1.2))
    body = union(circle(c, c, 49.0), *teeth)
    holes = union(circle(c, c, 12.0), *[circle(*polar(c, c, 31.0, 30 + 60 * k), 8.5) for k in range(6)])
    s.paint(sub(body, holes), WHITE)
    return s


def make_bar_tick():
    s = Sprite(18, 7)
    s.paint(box(9.0, 3.5, 8.6, 3.1, 2.4), WHITE)
    return s


def _tube_alpha(t, x):
    return np.clip(0.26 + 0.66 * np.clip(t, 0, 1) ** 4 + 0.38 * np.exp(-((x - 7.6) / 1.4) ** 2), 0, 1)


def make_bar_mid():
    s = Sprite(24, 16)
    s.paint(box(12.0, 8.0, 11.5, 20.0), WHITE, lambda X, Y: _tube_alpha(np.abs(X - 12.0) / 11.5, X))
    return s


def make_bar_end():
    # rounded top cap; its bottom row continues Bar_Mid exactly
    s = Sprite(24, 6)

    def tt(X, Y):
        return np.hypot((X - 12.0) / 11.5, np.maximum(5.5 - Y, 0) / 5.5)
    s.paint(lambda X, Y: (np.hypot((X - 12.0) / 11.5, np.maximum(6.0 - Y, 0) / 6.0) - 1) * 6.0, WHITE,
            lambda X, Y: _tube_alpha(tt(X, Y), X) * np.clip(1.2 - 0.25 * (5.5 - Y) / 5.5, 0, 1))
    return s


def styled_text(s, text, fontname, size, spacing, stops, edge, glow_col, stroke=3.0, glow_sigma=4.0,
                glow_alpha=0.6, shadow=True, cy=None):
    cx = s.w / 2
    cy = s.h / 2 if cy is None else cy
    (fill, out, wide), (l, top, r, bot) = text_masks(s, text, fontname, size, cx, cy, spacing,
                                                     strokes=(0, stroke, stroke + 2))
    if glow_col is not None:
        s.composite(np.clip(blur(wide, glow_sigma) * glow_alpha * 1.6, 0, glow_alpha), glow_col)
    if shadow:
        sh = np.roll(np.roll(out, 2, 0), 2, 1)
        s.composite(blur(sh, 1.2) * 0.7, BLACK)
    s.composite(out, edge)
    st = _stops(stops)
    s.composite(fill, lambda X, Y: _ramp(np.clip((Y - top) / (bot - top), 0, 1), st))
    # bevel: brighten glyph edges facing up, darken those facing down
    up = fill * (1 - np.roll(fill, 2, 0))
    dn = fill * (1 - np.roll(fill, -2, 0))
    s.composite(up * 0.55, WHITE)
    s.composite(dn * 0.35, BLACK)
    return (l, top, r, bot)


def make_title():
    s = Sprite(512, 96, ss=1)
    l, top, r, bot = styled_text(
        s, 'AMPWARDEN', 'DejaVuSans-Bold.ttf', 56, 3,
        [(0.0, rgb(236, 255, 242)), (0.42, rgb(130, 236, 168)), (0.5, rgb(18, 128, 62)),
         (0.72, rgb(46, 196, 104)), (1.0, rgb(170, 255, 200))],
        rgb(4, 34, 16), rgb(70, 255, 140), stroke=3.0, glow_sigma=5.0, glow_alpha=0.55, cy=44)
    # an energy line beneath the letters
    y = bot + 9
    s.glow(lambda X, Y: np.exp(-((Y - y) / 2.2) ** 2) * np.clip(1 - np.abs(X - 256) / 236, 0, 1) ** 0.7,
           rgb(80, 255, 150), 0.8)
    s.glow(lambda X, Y: np.exp(-((Y - y) / 0.8) ** 2) * np.clip(1 - np.abs(X - 256) / 236, 0, 1) ** 0.5,
           rgb(225, 255, 235), 1.0)
    return s


def make_banner(text, stops, glow_col):
    s = Sprite(400, 80, ss=1)
    styled_text(s, text, 'DejaVuSans-Bold.ttf', 50, 4, stops, rgb(12, 10, 16), glow_col,
                stroke=3.5, glow_sigma=4.0, glow_alpha=0.5)
    return s


def feather(rx, ry, ang, L, W, bend):
    """Quill feather rooted at (rx, ry), pointing at ang degrees (90 = up).

    Returns (vane, quill) shapes; the vane carries a shaft and split barbs cut
    out of it.
    """
    d = np.array([math.cos(math.radians(ang)), -math.sin(math.radians(ang))])
    n = np.array([-d[1], d[0]])

    def local(X, Y):
        x, y = X - rx, Y - ry
        return x * d[0] + y * d[1], x * n[0] + y * n[1]

    def centre(u):
        return bend * np.sin(np.pi * np.clip(u / L, 0, 1)) * (u / L)

    def halfw(u):
        q = np.clip(u / L, 0, 1)
        return W * np.sin(np.pi * q ** 0.75) ** 0.7 * (0.35 + 0.65 * np.clip(q * 3, 0, 1))

    def vane(X, Y):
        u, w = local(X, Y)
        return np.maximum(np.maximum(np.abs(w - centre(u)) - halfw(u), -u + 0.12 * L), u - L)

    def shaft(X, Y):
        u, w = local(X, Y)
        return np.maximum(np.abs(w - centre(u)) - 0.75, np.maximum(0.14 * L - u, u - 0.86 * L))

    cuts = []
    for q, side in ((0.42, 1), (0.62, -1), (0.7, 1), (0.38, -1)):
        u0 = q * L
        hw = float(halfw(np.array(u0)))
        c0 = float(centre(np.array(u0)))
        a = (u0, c0 + side * 0.3 * hw)
        b = (u0 + 0.55 * hw, c0 + side * 1.3 * hw)
        pa = (rx + d[0] * a[0] + n[0] * a[1], ry + d[1] * a[0] + n[1] * a[1])
        pb = (rx + d[0] * b[0] + n[0] * b[1], ry + d[1] * b[0] + n[1] * b[1])
        cuts.append(seg(*pa, *pb, 0.8))
    body = sub(sub(vane, shaft), union(*cuts))
    qa = (rx + d[0] * 0.02 * L, ry + d[1] * 0.02 * L)
    qb = (rx + d[0] * 0.16 * L, ry + d[1] * 0.16 * L)
    quill = seg(*qa, *qb, 1.6)
    return body, vane, quill


def make_logo():
    s = Sprite(360, 200, ss=2)
    ink = rgb(28, 22, 34)
    cx = 180.0
    wings = [
        # root x, root y, angle, length, width, bend   (left side; mirrored)
        (174, 84, 245, 60, 11, -4),
        (173, 80, 222, 76, 13, -6),
        (171, 66, 200, 118, 16, -8),
        (170, 60, 182, 136, 17, -8),
        (170, 56, 164, 146, 18, -10),
    ]
    for rx, ry, a, L, W, bend in wings:
        body, vane, quill = feather(rx, ry, a, L, W, bend)
        both_v = union(vane, mirrored(vane, cx))
        s.erase(grow(both_v, 2.2))
        s.paint(union(body, mirrored(body, cx)), ink)
        s.paint(union(quill, mirrored(quill, cx)), ink)
    # body
    torso = union(circle(cx, 56, 11.5), seg(cx, 62, cx, 118, 8.0))
    s.erase(grow(torso, 2.5))
    s.paint(torso, ink)
    for y in (84, 95, 106):
        s.erase(box(cx, y, 9, 0.8))
    s.erase(circle(cx, 40, 6.5))
    head = circle(cx, 33.5, 7.2)
    s.paint(head, ink)
    # feathery antennae
    for side in (-1, 1):
        pts = []
        for i in range(13):
            q = i / 12
            pts.append((cx + side * (4 + 30 * q + 6 * q * q), 28 - 26 * q + 8 * q * q * q - 2 * q))
        s.paint(polyline(pts, 1.0), ink)
        for i in range(3, 12):
            (x0, y0), (x1, y1) = pts[i], pts[i + 1]
            dx, dy = x1 - x0, y1 - y0
            ln = math.hypot(dx, dy)
            nx, ny = -dy / ln * side, dx / ln * side
            tl = 4.5 * (1 - i / 14)
            s.paint(seg(x0, y0, x0 + (nx - dx / ln * 0.6) * tl * -1, y0 + (ny - dy / ln * 0.6) * tl * -1, 0.6), ink)
    # name
    (name,), (l, top, r, bot) = text_masks(s, 'QUILLMOTH', 'DejaVuSans-Bold.ttf', 34, cx, 177, spacing=7)
    s.composite(name, ink)
    s.paint(seg(l - 34, 177, l - 12, 177, 1.0), ink)
    s.paint(seg(r + 12, 177, r + 34, 177, 1.0), ink)
    return s
