"""What the run leaves behind: the resource catalogue, a check of every output, and the
optional contact sheet."""

import os
import wave

import numpy as np
from PIL import Image

from .paths import ROOT, SOUND_DIR, SPRITE_DIR
from .synth import SR


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


def check_outputs(sprite_sizes, sounds, icons):
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
    for path in icons:
        size = int(os.path.splitext(path)[0].rsplit('_', 1)[1])
        with Image.open(path) as im:
            if im.mode != 'RGBA' or im.size != (size, size) or im.getpixel((0, 0))[3] != 0:
                problems.append('%s: %s %s, wanted RGBA %dx%d with a clear corner' % (path, im.mode, im.size, size, size))
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
