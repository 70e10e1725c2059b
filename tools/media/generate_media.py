#!/usr/bin/python3
"""Ampwarden media generator.

Creates every sprite, sound effect, the menu music, the resource catalogue
(Data/resources.xml) and the window icon (AWIcon.bmp) from code.  Everything is
drawn with signed-distance shapes and synthesised with numpy; all randomness
uses fixed seeds, so running it again reproduces the same files.

Run from anywhere with the Debian python (needs python3-pil, python3-numpy and
oggenc from vorbis-tools):

    /usr/bin/python3 tools/media/generate_media.py [--preview /tmp/sheet.png]
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile
import wave

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
SPRITE_DIR = os.path.join(ROOT, 'Data', 'sprites')
SOUND_DIR = os.path.join(ROOT, 'Data', 'sounds')
FONT_DIR = '/usr/share/fonts/truetype/dejavu'
SR = 44100

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


# --------------------------------------------------------------------------
# node art (each painter draws in the sprite's native pixel coordinates)
# --------------------------------------------------------------------------


def outline(v, f, k=1.0, a=0.9):
    v.paint(grow(f, k), OUTLINE, a)


def draw_cpu(v, t):
    c = 32.0
    outline(v, circle(c, c, 30.2), 1.0)
    # metal bezel
    v.paint(circle(c, c, 30.2), lin(10, 8, 54, 56, M_HI, M_LIGHT, M_MID, M_DARK))
    # team rim
    v.paint(ring(c, c, 25.4, 28.8), lin(c, 3, c, 61, t.hi, t.base, t.deep))
    v.paint(ring(c, c, 24.6, 25.6), OUTLINE, 0.8)
    for k in range(8):
        x, y = polar(c, c, 27.1, 22.5 + 45 * k)
        v.paint(box(x, y, 0.75, 2.2, 0.3, 22.5 + 45 * k + 90), OUTLINE, 0.75)
    # board
    v.paint(circle(c, c, 24.8), radial(c, c, 0, 25, mix(t.dark, M_DARK, 0.3) * 1.4, mix(t.dark, OUTLINE, 0.5)))
    # circuit traces and pads (one quarter, turned four times)
    traces = []
    pads = []
    for off in (-6.0, -2.0, 2.0, 6.0):
        if abs(off) < 4:
            pts = [(off, -11.5), (off, -20.5)]
        else:
            sgn = 1 if off > 0 else -1
            pts = [(off, -11.5), (off, -14.0), (off + sgn * 4.0, -18.0)]
        traces.append(pts)
        pads.append(pts[-1])
    for q in range(4):
        ca, sa = math.cos(math.radians(90 * q)), math.sin(math.radians(90 * q))

        def tr(p):
            return (c + p[0] * ca - p[1] * sa, c + p[0] * sa + p[1] * ca)
        for pts in traces:
            v.paint(polyline([tr(p) for p in pts], 0.55), mix(t.base, t.light, 0.3))
        for p in pads:
            x, y = tr(p)
            v.paint(circle(x, y, 1.7), OUTLINE, 0.8)
            v.paint(circle(x, y, 1.35), t.light)
            v.paint(circle(x - 0.3, y - 0.3, 0.55), t.hi)
        for off in (-6.0, -2.0, 2.0, 6.0):
            x, y = tr((off, -10.9))
            v.paint(box(x, y, 0.8, 1.3, 0.2, 90 * q), M_LIGHT)
    # chip
    chip = box(c, c, 10.0, 10.0, 2.2)
    outline(v, chip, 0.8)
    v.paint(chip, lin(22, 22, 42, 42, M_LIGHT, M_MID, M_DARK))
    v.paint(box(c, c, 8.2, 8.2, 1.6), lin(c, 24, c, 40, rgb(40, 44, 50), rgb(22, 24, 28)))
    # core
    v.glow(lambda X, Y: np.exp(-((np.hypot(X - c, Y - c)) / 5.5) ** 2), t.light, 0.55)
    v.paint(ring(c, c, 5.6, 6.6), t.light, 0.9)
    v.paint(circle(c, c, 5.0), radial(c - 1, c - 1, 0, 5.5, mix(t.hi, WHITE, 0.6), t.light, t.base))
    v.paint(circle(c - 1.6, c - 1.8, 1.4), WHITE, 0.8)
    # bezel sheen
    v.paint(arc(c, c, 29.0, 105, 165, 1.1), WHITE, 0.55)
    v.paint(arc(c, c, 29.0, -75, -15, 1.0), OUTLINE, 0.35)


def draw_fork(v, t):
    c = 10.0
    angs = (90, 210, 330)
    ends = [polar(c, c, 6.2, a) for a in angs]
    shape = union(circle(c, c, 4.6), *[seg(c, c, x, y, 1.6) for x, y in ends],
                  *[circle(x, y, 2.0) for x, y in ends])
    outline(v, shape, 1.0)
    for x, y in ends:
        v.paint(seg(c, c, x, y, 1.6), lin(c, 3, c, 17, t.light, t.deep))
    for x, y in ends:
        v.paint(circle(x, y, 2.0), lin(x - 2, y - 2, x + 2, y + 2, t.hi, t.base))
        v.paint(circle(x, y, 0.9), t.deep)
    v.paint(circle(c, c, 4.6), lin(6, 6, 14, 14, M_HI, M_MID, M_DARK))
    v.paint(circle(c, c, 3.2), radial(c - 0.6, c - 0.6, 0, 3.4, mix(t.hi, WHITE, 0.5), t.light, t.base))
    v.paint(circle(c - 0.9, c - 1.0, 0.8), WHITE, 0.7)


def draw_beamgun(v, t):
    c = 10.0
    base = circle(c, c, 7.0)
    barrel = box(14.7, c, 4.0, 1.6, 0.5)
    outline(v, union(base, barrel), 1.0)
    v.paint(base, lin(4, 4, 16, 16, M_HI, M_MID, M_DARK))
    v.paint(ring(c, c, 5.4, 6.1), t.base, 0.9)
    # barrel (points to +x)
    v.paint(barrel, lin(0, 8.4, 0, 11.6, M_HI, M_LIGHT, M_DARK))
    v.paint(box(15.0, c, 0.45, 1.6), OUTLINE, 0.6)
    v.paint(box(18.05, c, 0.65, 1.1, 0.3), LASER)
    v.paint(box(18.2, c - 0.4, 0.3, 0.4), mix(LASER, WHITE, 0.6))
    # turret (team coloured) with a metal hatch
    turret = box(9.4, c, 3.9, 3.5, 1.6)
    outline(v, turret, 0.7, 0.8)
    v.paint(turret, lin(6, 6.5, 13, 13.5, t.hi, t.base, t.deep))
    v.paint(circle(8.8, c, 1.7), OUTLINE, 0.6)
    v.paint(circle(8.8, c, 1.35), lin(7.5, 8.7, 10, 11.3, M_HI, M_MID))


SH_C = (12.0, 19.0)   # centre of the shield's face arc
SH_R = 13.0
SH_A = (46.0, 134.0)


def draw_shield(v, t):
    cx, cy = SH_C
    face = arc(cx, cy, SH_R, SH_A[0], SH_A[1], 3.6)
    e0 = polar(cx, cy, SH_R - 1.0, SH_A[0] + 4)
    e1 = polar(cx, cy, SH_R - 1.0, SH_A[1] - 4)
    hub = (12.0, 15.6)
    struts = union(seg(*hub, *e0, 0.8), seg(*hub, *e1, 0.8), seg(*hub, 12.0, 7.5, 1.0))
    node = circle(*hub, 3.4)
    outline(v, union(face, struts, node), 1.0)
    v.paint(struts, M_MID)
    v.paint(face, radial(cx, cy, SH_R - 1.8, SH_R + 1.8, t.deep, t.base, t.hi))
    v.paint(arc(cx, cy, SH_R + 1.05, 62, 118, 0.7), WHITE, 0.6)
    v.paint(node, lin(9, 12, 15, 19, M_HI, M_MID, M_DARK))
    v.paint(circle(*hub, 2.2), radial(hub[0] - 0.4, hub[1] - 0.5, 0, 2.4, t.hi, t.base))


def draw_shield_glow(v):
    cx, cy = SH_C
    a0, a1 = SH_A[0] - 4, SH_A[1] + 4
    mid, half = (a0 + a1) / 2, (a1 - a0) / 2

    def field(X, Y):
        r = np.hypot(X - cx, Y - cy)
        ang = np.degrees(np.arctan2(cy - Y, X - cx))
        da = np.abs(ang - mid) / half
        fade = np.clip((1 - da) / 0.35, 0, 1) ** 1.5
        core = np.exp(-((r - (SH_R + 0.6)) / 1.5) ** 2)
        halo = 0.45 * np.exp(-((r - (SH_R + 1.8)) / 2.4) ** 2)
        return np.clip((core * 0.85 + halo) * fade, 0, 1)

    def colour(X, Y):
        r = np.hypot(X - cx, Y - cy)
        w = np.clip(np.exp(-((r - (SH_R + 0.6)) / 1.0) ** 2), 0, 1)[..., None]
        return rgb(150, 225, 255) * (1 - w) + rgb(240, 252, 255) * w
    v.glow(field, colour)


def draw_extr(v, t):
    c = 16.0
    octo = poly([polar(c, c, 14.6, 22.5 + 45 * k) for k in range(8)])
    outline(v, octo, 1.0)
    v.paint(octo, lin(4, 4, 28, 28, t.hi, t.base, t.deep))
    v.paint(poly([polar(c, c, 12.6, 22.5 + 45 * k) for k in range(8)]), lin(4, 4, 28, 28, t.light, t.deep), 0.55)
    for k in range(4):
        x, y = polar(c, c, 12.4, 45 + 90 * k)
        v.paint(circle(x, y, 1.25), OUTLINE, 0.8)
        v.paint(circle(x, y, 0.9), lin(x - 1, y - 1, x + 1, y + 1, M_HI, M_MID))
    # housing and pit
    v.paint(circle(c, c, 10.9), OUTLINE, 0.85)
    v.paint(ring(c, c, 8.6, 10.3), lin(6, 6, 26, 26, M_HI, M_LIGHT, M_MID, M_DARK))
    v.paint(circle(c, c, 8.6), radial(c, c, 0, 8.6, rgb(50, 54, 58), rgb(16, 18, 20)))
    # three swept drill blades
    for k in range(3):
        a = 90 + 120 * k
        bx, by = polar(c, c, 4.1, a + 90)
        ang_out = a + 90 + 180      # direction from blade centre to the hub
        blade = arc(bx, by, 4.1, ang_out - 170, ang_out, 1.9)
        v.paint(grow(blade, 0.6), OUTLINE, 0.7)
        v.paint(blade, lin(8, 8, 24, 24, M_HI, M_LIGHT, M_MID))
    v.paint(circle(c, c, 3.0), OUTLINE, 0.8)
    v.paint(circle(c, c, 2.4), radial(c - 0.5, c - 0.5, 0, 2.6, t.hi, t.light, t.base))
    v.paint(arc(c, c, 9.6, 110, 160, 0.6), WHITE, 0.5)


def draw_abs(v, t):
    c = 12.0
    outer = circle(c, c, 10.2)
    outline(v, outer, 1.0)
    v.paint(outer, lin(c, 2, c, 22, t.hi, t.base, t.deep))
    for k in range(4):
        x, y = polar(c, c, 9.1, 45 + 90 * k)
        v.paint(box(x, y, 0.7, 1.3, 0.3, 45 + 90 * k + 90), OUTLINE, 0.75)
    v.paint(circle(c, c, 7.9), OUTLINE, 0.9)
    v.paint(circle(c, c, 7.2), radial(c, c, 0, 7.2, mix(t.dark, BLACK, 0.25), rgb(6, 8, 10)))
    for k in range(3):
        a = 90 + 120 * k
        bx, by = polar(c, c, 3.2, a + 90)
        ang_out = a + 270
        v.paint(arc(bx, by, 3.2, ang_out - 150, ang_out - 10, 0.7), t.base, 0.45)
    v.paint(circle(c, c, 1.2), t.deep, 0.8)
    v.paint(arc(c, c, 9.2, 110, 160, 0.7), WHITE, 0.55)


NODE_KINDS = [
    # id prefix, file prefix, size, painter
    ('CPU', 'cpu', 64, draw_cpu),
    ('Fork', 'fork', 20, draw_fork),
    ('Beamgun', 'beamgun', 20, draw_beamgun),
    ('Shield', 'shield', 24, draw_shield),
    ('Extr', 'extr', 32, draw_extr),
    ('Abs', 'abs', 24, draw_abs),
]

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


def make_icon(kind_painter, size, scale):
    s = Sprite(52, 52)
    s.paint(box(26, 26, 25.6, 25.6, 6.0), lin(26, 0, 26, 52, M_HI, M_MID, M_DARK))
    s.paint(box(26, 26, 23.6, 23.6, 4.6), OUTLINE)
    s.paint(box(26, 26, 22.8, 22.8, 4.2), lin(26, 3, 26, 49, rgb(30, 62, 48), rgb(12, 28, 22)))
    s.glow(lambda X, Y: np.exp(-((X - 26) ** 2 + (Y - 26) ** 2) / (2 * 13.0 ** 2)), rgb(60, 200, 110), 0.22)
    s.paint(box(26, 4.2, 20, 0.5, 0.5), WHITE, 0.25)
    off = 26 - size * scale / 2
    kind_painter(View(s, off, off, scale), GREEN)
    return s


# --------------------------------------------------------------------------
# window icon: 32x32, 8-bit palette, top-left index is the colour key
# --------------------------------------------------------------------------


def make_window_icon(path):
    s = Sprite(32, 32, ss=8)
    c = 16.0
    t = GREEN
    outline(s.v, circle(c, c, 14.0), 1.0, 1.0)
    s.paint(circle(c, c, 14.0), lin(c, 2, c, 30, t.hi, t.base, t.deep))
    s.paint(circle(c, c, 10.6), OUTLINE)
    s.paint(circle(c, c, 9.8), radial(c, c, 0, 10, rgb(18, 60, 36), rgb(6, 20, 12)))
    for k in range(4):
        x, y = polar(c, c, 12.3, 45 + 90 * k)
        s.paint(circle(x, y, 1.2), rgb(12, 40, 24))
    bolt = poly([(18.5, 7.0), (11.0, 17.2), (15.6, 17.2), (13.4, 25.0), (21.0, 14.6), (16.4, 14.6)])
    s.paint(grow(bolt, 0.8), rgb(10, 40, 22))
    s.paint(bolt, lin(12, 7, 20, 25, rgb(235, 255, 240), rgb(120, 250, 160)))
    px = s.rgba8().astype(float)
    a = px[..., 3] / 255.0
    under = np.array([10, 32, 20], float)
    col = px[..., :3] * a[..., None] + under * (1 - a[..., None])
    solid = a >= 0.5
    assert not solid[0, 0], 'icon corner must stay transparent'
    colours = col[solid].round().astype(np.uint8)
    strip = Image.fromarray(colours.reshape(1, -1, 3), 'RGB')
    q = strip.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    qpal = q.getpalette()[:255 * 3]
    qpal += [0] * (255 * 3 - len(qpal))
    idx = np.zeros((32, 32), np.uint8)
    idx[solid] = np.asarray(q, np.uint8).ravel() + 1
    img = Image.fromarray(idx, 'P')
    img.putpalette([255, 0, 255] + qpal)
    img.save(path, format='BMP')


# --------------------------------------------------------------------------
# audio
# --------------------------------------------------------------------------


def tvec(dur):
    return np.arange(int(round(dur * SR))) / SR


def normalise(x, peak):
    return x * (peak / max(1e-9, np.max(np.abs(x))))


def stereo(x, pan=0.0):
    a = (pan + 1) * math.pi / 4
    return np.stack([x * math.cos(a) * math.sqrt(2), x * math.sin(a) * math.sqrt(2)], axis=1)


def fade_edges(x, fin=0.002, fout=0.01):
    n = len(x)
    i = int(fin * SR)
    o = int(fout * SR)
    env = np.ones(n)
    if i:
        env[:i] = np.linspace(0, 1, i)
    if o:
        env[n - o:] *= np.linspace(1, 0, o) ** 2
    return x * (env[:, None] if x.ndim == 2 else env)


def write_wav(name, x):
    if x.ndim == 1:
        x = np.stack([x, x], axis=1)
    data = np.round(np.clip(x, -1, 1) * 32767).astype('<i2')
    path = os.path.join(SOUND_DIR, name)
    with wave.open(path, 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(data.tobytes())
    return path


def onepole_lp(x, fc):
    """One-pole low-pass with a per-sample cutoff (Hz)."""
    fc = np.broadcast_to(np.asarray(fc, float), x.shape)
    a = 1 - np.exp(-2 * np.pi * fc / SR)
    y = np.empty_like(x)
    s = 0.0
    for i in range(len(x)):
        s += a[i] * (x[i] - s)
        y[i] = s
    return y


def svf_bandpass(x, fc, q):
    fc = np.broadcast_to(np.asarray(fc, float), x.shape)
    f = 2 * np.sin(np.pi * np.minimum(fc, SR / 6) / SR)
    low = band = 0.0
    y = np.empty_like(x)
    for i in range(len(x)):
        low += f[i] * band
        high = x[i] - low - q * band
        band += f[i] * high
        y[i] = band
    return y


def band_limit(x, lo=None, hi=None, n=None):
    """Zero-phase band limiting with soft edges (operates on axis 0)."""
    n = n or x.shape[0]
    X = np.fft.rfft(x, n=n, axis=0)
    f = np.fft.rfftfreq(n, 1 / SR)
    g = np.ones_like(f)
    if lo:
        g *= 1 / (1 + (lo / np.maximum(f, 1e-3)) ** 4)
    if hi:
        g *= 1 / (1 + (f / hi) ** 4)
    if x.ndim == 2:
        g = g[:, None]
    return np.fft.irfft(X * g, n=n, axis=0)[:x.shape[0]]


def reverb_ir(dur, tau, seed, hi=6000.0, predelay=0.015):
    rng = np.random.default_rng(seed)
    t = tvec(dur)
    ir = rng.standard_normal((len(t), 2)) * np.exp(-t / tau)[:, None]
    ir = band_limit(ir, lo=120, hi=hi)
    ir[:int(predelay * SR)] = 0
    ir[-int(0.2 * SR):] *= np.linspace(1, 0, int(0.2 * SR))[:, None]
    return ir / np.sqrt(np.sum(ir ** 2) / 2)


def convolve(x, ir, length=None):
    """Linear convolution of stereo x with stereo ir (FFT)."""
    n = len(x) + len(ir) - 1
    m = 1 << (n - 1).bit_length()
    y = np.fft.irfft(np.fft.rfft(x, m, axis=0) * np.fft.rfft(ir, m, axis=0), m, axis=0)[:n]
    return y[:length] if length else y


def bell(f, t, decay):
    out = np.zeros_like(t)
    for ratio, amp, dk in ((1.0, 1.0, 1.0), (2.0, 0.42, 0.7), (2.76, 0.22, 0.5), (4.07, 0.12, 0.35),
                           (5.43, 0.07, 0.25)):
        out += amp * np.sin(2 * np.pi * f * ratio * t) * np.exp(-t / (decay * dk))
    return out * (1 - np.exp(-t / 0.002))


def snd_menu_click():
    rng = np.random.default_rng(11)
    t = tvec(0.045)
    env = np.exp(-t / 0.0065) * (1 - np.exp(-t / 0.0004))
    tone = 0.55 * np.sin(2 * np.pi * 2100 * t) + 0.45 * np.sin(2 * np.pi * 1250 * t + 0.5)
    tick = onepole_lp(rng.standard_normal(len(t)), 3000) * np.exp(-t / 0.0012) * 0.4
    x = tone * env + tick
    return fade_edges(stereo(normalise(x, 0.33)), 0.0005, 0.006)


def snd_menu_swoosh():
    rng = np.random.default_rng(12)
    T = 0.42
    t = tvec(T)
    p = t / T
    fc = 320 + 2700 * np.sin(np.pi * p ** 0.8) ** 2
    noise = rng.standard_normal(len(t))
    x = svf_bandpass(noise, fc, 0.6)
    x += 0.25 * svf_bandpass(rng.standard_normal(len(t)), fc * 1.7, 0.8)
    x = onepole_lp(onepole_lp(x, 3500), 5000)
    env = np.sin(np.pi * p ** 0.75) ** 2
    x = normalise(x * env, 1.0)
    pan = -0.6 + 1.2 * p
    a = (pan + 1) * np.pi / 4
    y = np.stack([x * np.cos(a), x * np.sin(a)], axis=1) * math.sqrt(2)
    return fade_edges(normalise(y, 0.4), 0.003, 0.02)


def snd_quillmoth_intro():
    T = 3.0
    t = tvec(T)
    out = np.zeros((len(t), 2))
    notes = [(0.10, 587.33, -0.4), (0.28, 739.99, 0.3), (0.46, 880.00, -0.2), (0.64, 1318.51, 0.45),
             (0.95, 1174.66, 0.0), (1.25, 1760.00, -0.3)]
    for start, f, pan in notes:
        i = int(start * SR)
        tt = t[:len(t) - i]
        out[i:] += stereo(bell(f, tt, 0.9) * (0.3 if f > 1500 else 0.45), pan)
    # warm pad underneath
    pad_env = np.clip(t / 0.7, 0, 1) ** 2 * np.clip((T - t) / 1.4, 0, 1) ** 1.5
    pad = np.zeros_like(t)
    for f, a in ((146.83, 0.5), (220.0, 0.38), (293.66, 0.3), (369.99, 0.22), (440.0, 0.12)):
        vib = 1 + 0.002 * np.sin(2 * np.pi * 4.7 * t + f)
        pad += a * (np.sin(2 * np.pi * f * t * vib) + 0.2 * np.sin(4 * np.pi * f * t * vib))
    out += np.stack([pad, np.roll(pad, 190)], axis=1) * pad_env[:, None] * 0.35
    wet = convolve(out, reverb_ir(2.2, 0.45, 13, hi=7000), len(out))
    y = out * 0.8 + wet * 0.32
    return fade_edges(normalise(y, 0.5), 0.002, 0.5)


def snd_end():
    rng = np.random.default_rng(14)
    T = 2.1
    t = tvec(T)
    ph = 2 * np.pi * np.cumsum(40 + 55 * np.exp(-t / 0.12)) / SR
    boom = np.sin(ph) * np.exp(-t / 0.35) * (1 - np.exp(-t / 0.003))
    hit = onepole_lp(rng.standard_normal(len(t)), 1800) * np.exp(-t / 0.06) * 0.6
    chord = np.zeros((len(t), 2))
    for f, pan in ((110.0, 0.0), (164.81, -0.35), (220.0, 0.3), (246.94, -0.2), (329.63, 0.4), (440.0, -0.4)):
        for det in (-0.003, 0.003):
            v = np.zeros_like(t)
            for h in range(1, 11):
                v += np.sin(2 * np.pi * f * (1 + det) * h * t + h * 1.3) / h ** 1.4 * np.exp(-t * h * 0.35)
            chord += stereo(v, pan + det * 60)
    env = (1 - np.exp(-t / 0.015)) * np.exp(-t / 0.85)
    chord *= env[:, None] * 0.16
    y = chord + stereo(boom * 0.7 + hit * 0.3)
    wet = convolve(y, reverb_ir(2.0, 0.4, 15), len(y))
    y = y + wet * 0.25
    return fade_edges(normalise(y, 0.55), 0.001, 0.4)


def snd_build_success():
    t = tvec(0.21)
    y = np.zeros_like(t)
    for start, f, tau, amp in ((0.0, 880.0, 0.05, 0.8), (0.075, 1318.51, 0.07, 1.0)):
        i = int(start * SR)
        tt = t[:len(t) - i]
        v = np.sin(2 * np.pi * f * tt) + 0.25 * np.sin(4 * np.pi * f * tt) + 0.1 * np.sin(6 * np.pi * f * tt)
        y[i:] += amp * v * np.exp(-tt / tau) * (1 - np.exp(-tt / 0.002))
    return fade_edges(stereo(normalise(y, 0.4)), 0.0005, 0.03)


def snd_build_fail():
    t = tvec(0.2)
    f = 98 - 10 * t / 0.2
    ph = 2 * np.pi * np.cumsum(f) / SR
    v = np.zeros_like(t)
    for h in range(1, 26):
        v += np.sin(h * ph) / h * np.exp(-h / 9) + 0.6 * np.sin(h * ph * 1.014 + h) / h * np.exp(-h / 9)
    trem = 0.8 + 0.2 * np.sin(2 * np.pi * 28 * t)
    env = (1 - np.exp(-t / 0.004)) * np.clip((0.2 - t) / 0.05, 0, 1)
    v = onepole_lp(v * trem * env, 1400)
    return fade_edges(stereo(normalise(v, 0.4)), 0.0005, 0.02)


def snd_death():
    rng = np.random.default_rng(16)
    T = 0.62
    t = tvec(T)
    n = len(t)
    fc = 150 + 3200 * np.exp(-t / 0.08)
    env = (1 - np.exp(-t / 0.002)) * np.exp(-t / 0.16)
    out = np.zeros((n, 2))
    for ch in range(2):
        out[:, ch] = onepole_lp(onepole_lp(rng.standard_normal(n), fc), fc * 1.5) * env
    ph = 2 * np.pi * np.cumsum(35 + 80 * np.exp(-t / 0.06)) / SR
    thump = np.sin(ph) * np.exp(-t / 0.18) * (1 - np.exp(-t / 0.002))
    crackle = np.zeros(n)
    prob = 0.004 * np.exp(-t / 0.18)
    hits = rng.random(n) < prob
    crackle[hits] = rng.uniform(-1, 1, hits.sum())
    k = np.exp(-np.arange(200) / 30.0) * np.sin(np.arange(200) * 0.9)
    crackle = onepole_lp(np.convolve(crackle, k)[:n], 4000)
    y = out * 0.9 + stereo(thump * 1.1) + np.stack([crackle, np.roll(crackle, 37)], axis=1) * 0.6
    return fade_edges(normalise(y, 0.6), 0.0005, 0.08)


SOUNDS = [
    ('MenuClick', 'menu_click.wav', snd_menu_click),
    ('MenuSwoosh', 'menu_swoosh.wav', snd_menu_swoosh),
    ('QuillmothIntro', 'quillmoth_intro.wav', snd_quillmoth_intro),
    ('End', 'end.wav', snd_end),
    ('BuildSuccess', 'build_success.wav', snd_build_success),
    ('BuildFail', 'build_fail.wav', snd_build_fail),
    ('Death', 'death.wav', snd_death),
]

# --------------------------------------------------------------------------
# menu music: a 16-bar ambient loop, rendered circularly so it wraps cleanly
# --------------------------------------------------------------------------

BPM = 96
BEAT = 60.0 / BPM
BARS = 16


def midi(m):
    return 440.0 * 2 ** ((m - 69) / 12.0)


def wavetable(rolloff, harmonics, size=4096):
    ph = np.arange(size) / size
    w = np.zeros(size)
    for h in range(1, harmonics + 1):
        w += np.sin(2 * np.pi * h * ph) / h ** rolloff
    return w / np.max(np.abs(w))


def table_osc(table, phase):
    n = len(table)
    p = (phase % 1.0) * n
    i = p.astype(np.int64)
    fr = p - i
    return table[i % n] * (1 - fr) + table[(i + 1) % n] * fr


class Loop:
    def __init__(self, seconds):
        self.n = int(round(seconds * SR))
        self.bus = {}

    def add(self, bus, start, sig):
        """Add a (len, 2) signal at start seconds, wrapping past the end."""
        buf = self.bus.setdefault(bus, np.zeros((self.n, 2)))
        i0 = int(round(start * SR)) % self.n
        m = min(len(sig), self.n)
        idx = (i0 + np.arange(m)) % self.n
        buf[idx] += sig[:m]


def make_music(path_ogg):
    rng = np.random.default_rng(2024)
    length = BARS * 4 * BEAT
    loop = Loop(length)
    dark = wavetable(2.1, 8)
    bright = wavetable(1.35, 18)
    chords = [
        ([50, 53, 57, 60, 64], 38),   # Dm9
        ([46, 50, 53, 57, 60], 34),   # Bbmaj7 (add 9)
        ([53, 57, 60, 64, 48], 41),   # Fmaj7 over C
        ([48, 55, 62, 64, 67], 36),   # Cadd9
    ]
    chord_len = 8 * BEAT
    seq = chords + chords          # two bars per chord, 16 bars
    # pad
    for ci, (notes, _) in enumerate(seq):
        start = ci * chord_len
        dur = chord_len + 2.0
        t = tvec(dur)
        env = np.clip(t / 1.4, 0, 1) ** 1.5 * np.clip((dur - t) / 2.0, 0, 1) ** 1.2
        for m in notes:
            f = midi(m)
            for det, pan in ((-0.006, -0.55), (0.0, 0.0), (0.006, 0.55)):
                ph = f * (1 + det) * t + rng.random()
                tabs_t = (start + t) / length
                morph = 0.5 - 0.5 * np.cos(2 * np.pi * 2 * tabs_t)
                v = table_osc(dark, ph) * (1 - 0.6 * morph) + table_osc(bright, ph) * 0.6 * morph
                loop.add('pad', start, stereo(v * env * 0.045, pan))
    # bass
    for bar in range(BARS):
        root = seq[bar // 2][1]
        f = midi(root)
        pattern = [(0, 3.5, 0.9)] if bar < 8 else [(0, 1.75, 1.0), (2.5, 1.0, 0.75), (3.5, 0.45, 0.5)]
        for beat, dur, amp in pattern:
            t = tvec(dur * BEAT + 0.15)
            env = (1 - np.exp(-t / 0.01)) * np.clip((dur * BEAT + 0.15 - t) / 0.15, 0, 1) * np.exp(-t / 1.8)
            v = np.sin(2 * np.pi * f * t) + 0.28 * np.sin(4 * np.pi * f * t) + 0.08 * np.sin(6 * np.pi * f * t)
            loop.add('bass', bar * 4 * BEAT + beat * BEAT, stereo(v * env * 0.2 * amp))
    # arpeggio (eighths), sparse in the first half and fuller in the second
    arp_order = [0, 2, 4, 3, 1, 3, 2, 4]
    for bar in range(BARS):
        notes = sorted(seq[bar // 2][0])
        tones = [n + 12 for n in notes]
        for step in range(8):
            if bar < 8 and step % 2 == 1:
                continue
            m = tones[arp_order[(step + bar) % 8] % len(tones)]
            f = midi(m)
            t = tvec(0.9)
            env = (1 - np.exp(-t / 0.002)) * np.exp(-t / 0.28)
            v = (np.sin(2 * np.pi * f * t) + 0.4 * np.sin(4 * np.pi * f * t) * np.exp(-t / 0.08)
                 + 0.15 * np.sin(6 * np.pi * f * t) * np.exp(-t / 0.05))
            accent = 1.0 if step % 4 == 0 else 0.75
            pan = -0.3 if step % 2 == 0 else 0.3
            loop.add('arp', (bar * 4 + step / 2) * BEAT, stereo(v * env * 0.07 * accent, pan))
    # lead melody in the second half
    melody = [(0, 3, 69), (3, 1, 72), (4, 4, 74), (8, 3, 74), (11, 1, 72), (12, 4, 69),
              (16, 3, 72), (19, 1, 76), (20, 4, 77), (24, 2, 76), (26, 2, 74), (28, 4, 72)]
    for beat, dur, m in melody:
        f = midi(m)
        d = dur * BEAT
        t = tvec(d + 0.6)
        vib = 1 + 0.004 * np.sin(2 * np.pi * 5.2 * t) * np.clip((t - 0.3) / 0.4, 0, 1)
        ph = np.cumsum(f * vib) / SR
        env = np.clip(t / 0.09, 0, 1) * np.clip((d + 0.6 - t) / 0.6, 0, 1) ** 2 * (0.75 + 0.25 * np.exp(-t / 0.5))
        v = np.sin(2 * np.pi * ph) + 0.12 * np.sin(6 * np.pi * ph) + 0.05 * np.sin(4 * np.pi * ph)
        loop.add('lead', (32 + beat) * BEAT, stereo(v * env * 0.075, 0.1))
    # drums
    for bar in range(BARS):
        for beat in range(4):
            tb = (bar * 4 + beat) * BEAT
            if bar >= 8 and beat in (0, 2):
                t = tvec(0.35)
                ph = 2 * np.pi * np.cumsum(45 + 70 * np.exp(-t / 0.03)) / SR
                loop.add('kick', tb, stereo(np.sin(ph) * np.exp(-t / 0.13) * (1 - np.exp(-t / 0.002)) * 0.32))
            if bar >= 8 and beat in (1, 3):
                t = tvec(0.3)
                nz = band_limit(rng.standard_normal(len(t)), lo=900, hi=4500)
                loop.add('snare', tb, stereo(nz * np.exp(-t / 0.07) * 0.09))
            for half in (0.5,) if bar < 8 else (0.0, 0.5, 0.75):
                t = tvec(0.12)
                nz = band_limit(rng.standard_normal(len(t)), lo=6500)
                amp = 0.05 if half == 0.5 else 0.022
                loop.add('hat', tb + half * BEAT, stereo(nz * np.exp(-t / 0.025) * amp, 0.25))
    n = loop.n
    b = loop.bus
    # ping-pong echo on arpeggio and lead (circular)
    delay = int(round(0.75 * BEAT * SR))
    echo_src = b['arp'] + b['lead'] * 0.8
    echo = np.zeros((n, 2))
    mono = echo_src.mean(axis=1)
    for k in range(1, 7):
        g = 0.42 ** k
        ch = k % 2
        echo[:, ch] += np.roll(mono, k * delay) * g
    echo = band_limit(echo, lo=250, hi=5000)
    dry = b['pad'] + b['bass'] + b['arp'] + b['lead'] + b['kick'] + b['snare'] + b['hat'] + echo * 0.6
    send = b['pad'] * 0.45 + b['arp'] * 0.5 + b['lead'] * 0.55 + b['snare'] * 0.4 + echo * 0.3
    ir = reverb_ir(3.0, 0.55, 2025, hi=5500, predelay=0.025)
    irp = np.zeros((n, 2))
    irp[:len(ir)] = ir
    wet = np.fft.irfft(np.fft.rfft(send, axis=0) * np.fft.rfft(irp, axis=0), n, axis=0)
    mix_ = dry + wet * 0.32
    mix_ = band_limit(mix_, lo=28)
    mix_ = normalise(mix_, 0.8)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, 'menu_music.wav')
        data = np.round(mix_ * 32767).astype('<i2')
        with wave.open(wav, 'wb') as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(SR)
            w.writeframes(data.tobytes())
        subprocess.run(['oggenc', '--quiet', '-q', '3', '-s', '1661', '-o', path_ogg, wav], check=True)
    return length


# --------------------------------------------------------------------------
# catalogue, checks, preview
# --------------------------------------------------------------------------


def write_catalogue(sprites, sounds):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', '<resources>', '  <sprites>']
    for sid, fname in sprites:
        lines.append('    <sprite filepath="Data\\sprites\\%s" id="%s"/>' % (fname, sid))
    lines += ['  </sprites>', '  <sounds>']
    for sid, fname in sounds:
        lines.append('    <sound filepath="Data\\sounds\\%s" id="%s"/>' % (fname, sid))
    lines += ['  </sounds>', '  <fonts>',
              '    <font filepath="Data\\fonts\\DejaVuSans.ttf" id="MainFont" size="20"/>',
              '    <font filepath="Data\\fonts\\DejaVuSans.ttf" id="HelpFont" size="13"/>',
              '  </fonts>', '</resources>', '']
    with open(os.path.join(ROOT, 'Data', 'resources.xml'), 'w', newline='\n') as f:
        f.write('\n'.join(lines))


def check_outputs(sprite_sizes, sounds):
    problems = []
    for fname, (w, h) in sprite_sizes.items():
        with Image.open(os.path.join(SPRITE_DIR, fname)) as im:
            if im.size != (w, h) or im.mode != 'RGBA':
                problems.append('%s: %s %s, wanted RGBA %dx%d' % (fname, im.mode, im.size, w, h))
            elif im.getextrema()[3][1] == 0:
                problems.append('%s: fully transparent' % fname)
    for _, fname in sounds:
        with wave.open(os.path.join(SOUND_DIR, fname)) as w:
            if (w.getframerate(), w.getsampwidth(), w.getnchannels()) != (SR, 2, 2):
                problems.append('%s: wrong format' % fname)
            frames = np.frombuffer(w.readframes(w.getnframes()), '<i2')
            peak = np.max(np.abs(frames)) / 32767
            if not 0.1 < peak < 0.7:
                problems.append('%s: peak %.2f' % (fname, peak))
    ogg = os.path.join(SOUND_DIR, 'menu_music.ogg')
    if not (0 < os.path.getsize(ogg) < 1_500_000):
        problems.append('menu_music.ogg: size %d' % os.path.getsize(ogg))
    with Image.open(os.path.join(ROOT, 'AWIcon.bmp')) as im:
        if im.mode != 'P' or im.size != (32, 32):
            problems.append('AWIcon.bmp: %s %s' % (im.mode, im.size))
    with open(os.path.join(ROOT, 'AWIcon.bmp'), 'rb') as f:
        head = f.read(34)
    if head[:2] != b'BM' or int.from_bytes(head[28:30], 'little') != 8 or int.from_bytes(head[30:34], 'little') != 0:
        problems.append('AWIcon.bmp: not an uncompressed 8-bit BMP')
    return problems


def preview(path, files):
    ims = [(n, Image.open(os.path.join(SPRITE_DIR, n)).convert('RGBA')) for n in files]
    pad = 8
    width = 1100
    x = y = pad
    rowh = 0
    places = []
    for name, im in ims:
        sc = 3 if im.width <= 64 else 1
        w, h = im.width * sc, im.height * sc
        if x + w + pad > width:
            x = pad
            y += rowh + pad
            rowh = 0
        places.append((im, sc, x, y))
        x += w + pad
        rowh = max(rowh, h)
    sheet = Image.new('RGBA', (width, y + rowh + pad), (0, 51, 25, 255))
    for im, sc, x, y in places:
        big = im.resize((im.width * sc, im.height * sc), Image.NEAREST)
        sheet.alpha_composite(big, (x, y))
    sheet.convert('RGB').save(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--preview', help='also write a contact sheet of all sprites to this PNG')
    ap.add_argument('--no-music', action='store_true', help='skip the (slow) music render')
    args = ap.parse_args()
    for path in (os.path.join(FONT_DIR, 'DejaVuSans-Bold.ttf'),):
        if not os.path.exists(path):
            sys.exit('missing font %s (apt-get install fonts-dejavu-core)' % path)
    if not args.no_music and shutil.which('oggenc') is None:
        sys.exit('oggenc not found (apt-get install vorbis-tools)')
    os.makedirs(SPRITE_DIR, exist_ok=True)
    os.makedirs(SOUND_DIR, exist_ok=True)

    sprites = []      # (id, file name)
    sizes = {}

    def emit(sid, fname, spr):
        spr.save(fname)
        sprites.append((sid, fname))
        sizes[fname] = (spr.w, spr.h)

    for sid, fpre, size, painter in NODE_KINDS:
        for team in TEAMS:
            s = Sprite(size, size, ss=4)
            painter(s.v, team)
            emit('%s_%s' % (sid, team.name), '%s_%s.png' % (fpre, team.name.lower()), s)
    glow = Sprite(24, 24)
    draw_shield_glow(glow.v)
    emit('Shield_Glow', 'shield_glow.png', glow)
    emit('Resource', 'resource.png', make_resource())
    emit('Spark', 'spark.png', make_spark())
    emit('Gear', 'gear.png', make_gear())
    emit('AW_Title', 'aw_title.png', make_title())
    emit('QuillmothLogo', 'quillmoth_logo.png', make_logo())
    emit('Win_Text', 'win_text.png', make_banner(
        'VICTORY', [rgb(255, 250, 200), rgb(255, 214, 80), rgb(240, 150, 20)], rgb(255, 200, 60)))
    emit('Lose_Text', 'lose_text.png', make_banner(
        'DEFEAT', [rgb(255, 215, 205), rgb(255, 95, 75), rgb(190, 25, 25)], rgb(255, 60, 40)))
    emit('Tie_Text', 'tie_text.png', make_banner(
        'DRAW', [rgb(250, 252, 255), rgb(190, 215, 240), rgb(120, 150, 190)], rgb(170, 210, 255)))
    for sid, fpre, size, painter in NODE_KINDS[1:]:
        scale = {20: 1.9, 24: 1.6, 32: 1.2}[size]
        emit('%s_Icon' % sid, '%s_icon.png' % fpre, make_icon(painter, size, scale))
    emit('Bar_Tick', 'bar_tick.png', make_bar_tick())
    emit('Bar_Mid', 'bar_mid.png', make_bar_mid())
    emit('Bar_End', 'bar_end.png', make_bar_end())

    sounds = []
    for sid, fname, fn in SOUNDS:
        write_wav(fname, fn())
        sounds.append((sid, fname))
    make_window_icon(os.path.join(ROOT, 'AWIcon.bmp'))
    if not args.no_music:
        secs = make_music(os.path.join(SOUND_DIR, 'menu_music.ogg'))
        print('menu_music.ogg: %.1f s, %d bytes' % (secs, os.path.getsize(os.path.join(SOUND_DIR, 'menu_music.ogg'))))
    write_catalogue(sprites, sounds)
    if args.preview:
        preview(args.preview, [f for _, f in sprites])
    problems = check_outputs(sizes, sounds) if not args.no_music else []
    for p in problems:
        print('PROBLEM:', p)
    print('%d sprites, %d sounds written' % (len(sprites), len(sounds)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
