#!/usr/bin/python3
"""Ampwarden media generator.

Creates every sprite, sound effect, the menu music, the resource catalogue
(Data/resources.xml), the window icon (AWIcon.bmp) and the desktop icons
(dist/icons/ampwarden_<size>.png) from code.  Everything is
drawn with signed-distance shapes and synthesised with numpy; all randomness
uses fixed seeds, so running it again reproduces the same files.

Run from anywhere with the Debian python (needs python3-pil, python3-numpy and
oggenc from vorbis-tools):

    /usr/bin/python3 tools/media/generate_media.py [--preview /tmp/sheet.png]
"""

import argparse
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from awmedia.drawing import TEAMS, Sprite, rgb  # noqa: E402
from awmedia.icons import make_desktop_icons, make_icon, make_window_icon  # noqa: E402
from awmedia.nodes import NODE_KINDS, draw_shield_glow  # noqa: E402
from awmedia.outputs import check_outputs, preview, write_catalogue  # noqa: E402
from awmedia.paths import FONT_DIR, ROOT, SOUND_DIR, SPRITE_DIR  # noqa: E402
from awmedia.sounds import SOUNDS  # noqa: E402
from awmedia.sprites import (make_banner, make_bar_end, make_bar_mid, make_bar_tick,  # noqa: E402
                             make_gear, make_logo, make_resource, make_spark, make_title)
from awmedia.synth import write_wav  # noqa: E402
from awmedia.tune import make_music  # noqa: E402


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
    icons = make_desktop_icons(os.path.join(ROOT, 'dist', 'icons'))
    if not args.no_music:
        secs = make_music(os.path.join(SOUND_DIR, 'menu_music.ogg'))
        print('menu_music.ogg: %.1f s, %d bytes' % (secs, os.path.getsize(os.path.join(SOUND_DIR, 'menu_music.ogg'))))
    write_catalogue(sprites, sounds)
    if args.preview:
        preview(args.preview, [f for _, f in sprites])
    problems = check_outputs(sizes, sounds, icons) if not args.no_music else []
    for p in problems:
        print('PROBLEM:', p)
    print('%d sprites, %d sounds written' % (len(sprites), len(sounds)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
