"""Shared drawing helpers: colours, team palettes, signed-distance shapes, gradients, and the
supersampled sprite canvas every image is painted on."""

import math
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from .paths import FONT_DIR, SPRITE_DIR


# --------------------------------------------------------------------------
# colours
# --------------------------------------------------------------------------


def rgb(r, g, b):
    return np.array([r, g, b], float) / 255.0


def mix(a, b, t):
    return a + (b - a) * t


WHITE = rgb(255, 255, 255)
BLACK = rgb(0, 0, 0)
OUTLINE = rgb(8, 14, 12)
M_DARK = rgb(42, 46, 52)
M_MID = rgb(108, 116, 126)
M_LIGHT = rgb(186, 194, 202)
M_HI = rgb(236, 241, 246)
LASER = rgb(255, 70, 55)


class Team:
    def __init__(self, name, base):
        self.name = name
        self.base = rgb(*base)
        self.light = mix(self.base, WHITE, 0.45)
        self.hi = mix(self.base, WHITE, 0.78)
        self.deep = self.base * 0.62
        self.dark = self.base * 0.30


TEAMS = [Team('Gray', (150, 154, 160)), Team('Green', (60, 200, 110)), Team('Blue', (60, 140, 230))]
GREEN = TEAMS[1]


def _stops(stops):
    if all(isinstance(s, tuple) and len(s) == 2 and np.ndim(s[0]) == 0 for s in stops):
        return [(float(t), np.asarray(c, float)) for t, c in stops]
    n = len(stops)
    return [(i / (n - 1), np.asarray(c, float)) for i, c in enumerate(stops)]


def _ramp(t, stops):
    ts = [s[0] for s in stops]
    out = np.empty(np.shape(t) + (3,))
    for ch in range(3):
        out[..., ch] = np.interp(t, ts, [s[1][ch] for s in stops])
    return out


def lin(x0, y0, x1, y1, *stops):
    """Linear gradient field from (x0, y0) to (x1, y1)."""
    st = _stops(stops)
    dx, dy = x1 - x0, y1 - y0
    l2 = dx * dx + dy * dy

    def f(X, Y):
        return _ramp(np.clip(((X - x0) * dx + (Y - y0) * dy) / l2, 0, 1), st)
    return f


def radial(cx, cy, r0, r1, *stops):
    """Radial gradient field between radius r0 and r1."""
    st = _stops(stops)

    def f(X, Y):
        return _ramp(np.clip((np.hypot(X - cx, Y - cy) - r0) / (r1 - r0), 0, 1), st)
    return f


# --------------------------------------------------------------------------
# signed distance shapes (negative inside, in pixels; y grows downwards)
# --------------------------------------------------------------------------


def circle(cx, cy, r):
    return lambda X, Y: np.hypot(X - cx, Y - cy) - r


def ring(cx, cy, r0, r1):
    m, h = (r0 + r1) / 2, (r1 - r0) / 2
    return lambda X, Y: np.abs(np.hypot(X - cx, Y - cy) - m) - h


def seg(ax, ay, bx, by, r):
    ex, ey = bx - ax, by - ay
    l2 = max(ex * ex + ey * ey, 1e-12)

    def f(X, Y):
        wx, wy = X - ax, Y - ay
        t = np.clip((wx * ex + wy * ey) / l2, 0, 1)
        return np.hypot(wx - ex * t, wy - ey * t) - r
    return f


def polyline(pts, r):
    return union(*[seg(*pts[i], *pts[i + 1], r) for i in range(len(pts) - 1)])


def box(cx, cy, hw, hh, rad=0.0, ang=0.0):
    """Rounded box; ang in degrees, counter-clockwise on screen."""
    c, s = math.cos(math.radians(ang)), math.sin(math.radians(ang))

    def f(X, Y):
        x, y = X - cx, Y - cy
        u = np.abs(x * c - y * s) - (hw - rad)
        v = np.abs(x * s + y * c) - (hh - rad)
        out = np.hypot(np.maximum(u, 0), np.maximum(v, 0))
        return out + np.minimum(np.maximum(u, v), 0) - rad
    return f


def poly(pts):
    P = np.array(pts, float)
    n = len(P)

    def f(X, Y):
        d = (X - P[0, 0]) ** 2 + (Y - P[0, 1]) ** 2
        s = np.ones_like(X)
        j = n - 1
        for i in range(n):
            ex, ey = P[j] - P[i]
            wx, wy = X - P[i, 0], Y - P[i, 1]
            t = np.clip((wx * ex + wy * ey) / (ex * ex + ey * ey), 0, 1)
            bx, by = wx - ex * t, wy - ey * t
            d = np.minimum(d, bx * bx + by * by)
            c1 = Y >= P[i, 1]
            c2 = Y < P[j, 1]
            c3 = ex * wy > ey * wx
            s = np.where((c1 & c2 & c3) | (~c1 & ~c2 & ~c3), -s, s)
            j = i
        return s * np.sqrt(d)
    return f


def polar(cx, cy, r, deg):
    """Point at angle deg (counter-clockwise, 90 = up on screen)."""
    a = math.radians(deg)
    return cx + r * math.cos(a), cy - r * math.sin(a)


def arc(cx, cy, r, a0, a1, th):
    """Arc of radius r from angle a0 to a1 (degrees, 90 = up), round caps."""
    mid = math.radians((a0 + a1) / 2)
    half = math.radians(a1 - a0) / 2
    e0 = polar(cx, cy, r, a0)
    e1 = polar(cx, cy, r, a1)

    def f(X, Y):
        dx, dy = X - cx, cy - Y
        da = (np.arctan2(dy, dx) - mid + math.pi) % (2 * math.pi) - math.pi
        dr = np.abs(np.hypot(dx, dy) - r)
        de = np.minimum(np.hypot(X - e0[0], Y - e0[1]), np.hypot(X - e1[0], Y - e1[1]))
        return np.where(np.abs(da) <= half, dr, de) - th / 2
    return f


def union(*fs):
    def f(X, Y):
        d = fs[0](X, Y)
        for g in fs[1:]:
            d = np.minimum(d, g(X, Y))
        return d
    return f


def inter(*fs):
    def f(X, Y):
        d = fs[0](X, Y)
        for g in fs[1:]:
            d = np.maximum(d, g(X, Y))
        return d
    return f


def sub(a, b):
    return lambda X, Y: np.maximum(a(X, Y), -b(X, Y))


def grow(f, k):
    return lambda X, Y: f(X, Y) - k


def rotated(f, cx, cy, deg):
    """Shape f turned by deg (counter-clockwise on screen) around (cx, cy)."""
    c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))

    def g(X, Y):
        x, y = X - cx, Y - cy
        return f(cx + x * c - y * s, cy + x * s + y * c)
    return g


def mirrored(f, cx):
    return lambda X, Y: f(2 * cx - X, Y)


# --------------------------------------------------------------------------
# canvas
# --------------------------------------------------------------------------


class Sprite:
    """Premultiplied RGBA float canvas painted with anti-aliased SDF shapes."""

    def __init__(self, w, h, ss=4):
        self.w, self.h, self.ss = w, h, ss
        self.col = np.zeros((h, w, 3))
        self.alpha = np.zeros((h, w))
        o = (np.arange(ss) + 0.5) / ss
        sx = (np.arange(w)[:, None] + o[None, :]).ravel()
        sy = (np.arange(h)[:, None] + o[None, :]).ravel()
        self.SX, self.SY = np.meshgrid(sx, sy)
        self.PX, self.PY = np.meshgrid(np.arange(w) + 0.5, np.arange(h) + 0.5)
        self.v = View(self)

    def coverage(self, f):
        d = f(self.SX, self.SY)
        c = np.clip(0.5 - d * self.ss, 0.0, 1.0)
        return c.reshape(self.h, self.ss, self.w, self.ss).mean(axis=(1, 3))

    def composite(self, cov, colour):
        if callable(colour):
            col = colour(self.PX, self.PY)
        else:
            col = np.broadcast_to(np.asarray(colour, float), (self.h, self.w, 3))
        cov = np.clip(cov, 0, 1)
        self.col = col * cov[..., None] + self.col * (1 - cov[..., None])
        self.alpha = cov + self.alpha * (1 - cov)

    def erase_cov(self, cov):
        cov = np.clip(cov, 0, 1)
        self.col *= (1 - cov)[..., None]
        self.alpha *= (1 - cov)

    # shortcuts in the sprite's own coordinates
    def paint(self, f, colour, alpha=1.0):
        self.v.paint(f, colour, alpha)

    def glow(self, field, colour, alpha=1.0):
        self.v.glow(field, colour, alpha)

    def erase(self, f, amount=1.0):
        self.v.erase(f, amount)

    def rgba8(self):
        a = self.alpha
        col = np.where(a[..., None] > 1e-6, self.col / np.maximum(a, 1e-6)[..., None], 0.0)
        # bleed edge colours into fully transparent pixels (harmless with
        # nearest filtering, avoids dark fringes if the game ever filters)
        known = a > 1e-3
        for _ in range(3):
            acc = np.zeros_like(col)
            cnt = np.zeros(a.shape)
            for dy, dx in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                k = np.roll(np.roll(known, dy, 0), dx, 1)
                acc += np.roll(np.roll(col, dy, 0), dx, 1) * k[..., None]
                cnt += k
            fill = (~known) & (cnt > 0)
            col[fill] = acc[fill] / cnt[fill][:, None]
            known = known | fill
        out = np.dstack([np.clip(col, 0, 1), np.clip(a, 0, 1)[..., None]])
        return np.round(out * 255).astype(np.uint8)

    def image(self):
        return Image.fromarray(self.rgba8(), 'RGBA')

    def save(self, name):
        path = os.path.join(SPRITE_DIR, name)
        self.image().save(path, optimize=True)
        return path


class View:
    """Paints into a sprite through an offset + scale (for re-using art)."""

    def __init__(self, spr, ox=0.0, oy=0.0, s=1.0):
        self.spr, self.ox, self.oy, self.s = spr, ox, oy, s

    def _f(self, f):
        ox, oy, s = self.ox, self.oy, self.s
        if ox == 0 and oy == 0 and s == 1:
            return f
        return lambda X, Y: f((X - ox) / s, (Y - oy) / s) * s

    def _field(self, c):
        if not callable(c):
            return c
        ox, oy, s = self.ox, self.oy, self.s
        return lambda X, Y: c((X - ox) / s, (Y - oy) / s)

    def _alpha(self, a):
        if callable(a):
            return a((self.spr.PX - self.ox) / self.s, (self.spr.PY - self.oy) / self.s)
        return a

    def paint(self, f, colour, alpha=1.0):
        cov = self.spr.coverage(self._f(f)) * self._alpha(alpha)
        self.spr.composite(cov, self._field(colour))

    def glow(self, field, colour, alpha=1.0):
        """Composite a soft alpha field (function of local x, y)."""
        cov = self._alpha(field) * self._alpha(alpha)
        self.spr.composite(cov, self._field(colour))

    def erase(self, f, amount=1.0):
        self.spr.erase_cov(self.spr.coverage(self._f(f)) * amount)


def blur(a, sigma):
    r = max(1, int(math.ceil(sigma * 3)))
    k = np.exp(-0.5 * (np.arange(-r, r + 1) / sigma) ** 2)
    k /= k.sum()
    out = a
    for axis in (0, 1):
        p = np.pad(out, [(r, r) if i == axis else (0, 0) for i in range(2)])
        acc = np.zeros_like(out)
        n = out.shape[axis]
        for i, w in enumerate(k):
            acc += w * (p[i:i + n, :] if axis == 0 else p[:, i:i + n])
        out = acc
    return out


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


def text_masks(spr, text, fontname, size, cx, cy, spacing=0.0, strokes=(0,)):
    """Coverage masks of text centred on (cx, cy), one per stroke width.

    Returns (masks, (left, top, right, bottom)) where the box is the bounds of
    the unstroked glyphs in sprite pixels.
    """
    ss = 4
    fnt = font(fontname, int(round(size * ss)))
    adv = [fnt.getlength(ch) for ch in text]
    total = sum(adv) + spacing * ss * (len(text) - 1)
    pad = int(max(strokes) * ss + 8 * ss)
    W, H = int(total + 2 * pad), int(size * ss * 1.6 + 2 * pad)
    ims = []
    for st in strokes:
        im = Image.new('L', (W, H), 0)
        d = ImageDraw.Draw(im)
        x = pad
        for ch, a in zip(text, adv):
            d.text((x, pad + size * ss * 1.2), ch, font=fnt, fill=255, anchor='ls',
                   stroke_width=int(round(st * ss)), stroke_fill=255)
            x += a + spacing * ss
        ims.append(im)
    bb = ims[list(strokes).index(min(strokes))].getbbox()
    bcx, bcy = (bb[0] + bb[2]) / 2, (bb[1] + bb[3]) / 2
    ox, oy = int(round(cx * ss - bcx)), int(round(cy * ss - bcy))
    masks = []
    for im in ims:
        big = Image.new('L', (spr.w * ss, spr.h * ss), 0)
        big.paste(im, (ox, oy))
        masks.append(np.asarray(big.resize((spr.w, spr.h), Image.BOX), float) / 255.0)
    box_px = ((bb[0] + ox) / ss, (bb[1] + oy) / ss, (bb[2] + ox) / ss, (bb[3] + oy) / ss)
    return masks, box_px


def outline(v, f, k=1.0, a=0.9):
    v.paint(grow(f, k), OUTLINE, a)
