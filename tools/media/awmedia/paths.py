"""Where the generator writes: the repository the package lives in."""

import os


ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '..'))
SPRITE_DIR = os.path.join(ROOT, 'Data', 'sprites')
SOUND_DIR = os.path.join(ROOT, 'Data', 'sounds')
FONT_DIR = '/usr/share/fonts/truetype/dejavu'
