"""Icons: the build-tool icons of the heads-up display, the window icon, and the desktop icons
drawn from the same emblem."""

import os

import numpy as np
from PIL import Image

from .drawing import *  # noqa: F401,F403 - the shape and colour vocabulary


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


def draw_emblem(v):
    """The game's emblem, a lightning bolt in a green ring, in 32 by 32 units."""
    c = 16.0
    t = GREEN
    outline(v, circle(c, c, 14.0), 1.0, 1.0)
    v.paint(circle(c, c, 14.0), lin(c, 2, c, 30, t.hi, t.base, t.deep))
    v.paint(circle(c, c, 10.6), OUTLINE)
    v.paint(circle(c, c, 9.8), radial(c, c, 0, 10, rgb(18, 60, 36), rgb(6, 20, 12)))
    for k in range(4):
        x, y = polar(c, c, 12.3, 45 + 90 * k)
        v.paint(circle(x, y, 1.2), rgb(12, 40, 24))
    bolt = poly([(18.5, 7.0), (11.0, 17.2), (15.6, 17.2), (13.4, 25.0), (21.0, 14.6), (16.4, 14.6)])
    v.paint(grow(bolt, 0.8), rgb(10, 40, 22))
    v.paint(bolt, lin(12, 7, 20, 25, rgb(235, 255, 240), rgb(120, 250, 160)))


def make_window_icon(path):
    s = Sprite(32, 32, ss=8)
    draw_emblem(s.v)
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
# desktop icons: the window icon's emblem in full colour and alpha, for the menus
# --------------------------------------------------------------------------

DESKTOP_ICON_SIZES = (32, 48, 64, 128, 256)


def make_desktop_icons(folder):
    """Writes ampwarden_<size>.png for each desktop icon size; returns the paths."""
    os.makedirs(folder, exist_ok=True)
    paths = []
    for size in DESKTOP_ICON_SIZES:
        s = Sprite(size, size, ss=8 if size <= 64 else 4)
        draw_emblem(View(s, 0.0, 0.0, size / 32.0))
        path = os.path.join(folder, 'ampwarden_%d.png' % size)
        s.image().save(path, optimize=True)
        paths.append(path)
    return paths
