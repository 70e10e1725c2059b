"""Node art: the main node, extender, beam emitter, shield (and its glow), extractor and
absorber, each in the three team colours."""

import math

import numpy as np

from .drawing import *  # noqa: F401,F403 - the shape and colour vocabulary


# --------------------------------------------------------------------------
# node art (each painter draws in the sprite's native pixel coordinates)
# --------------------------------------------------------------------------

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
