"""Ampwarden's media, drawn and synthesised from code.

One module per kind of output: node art (nodes), the other sprites (sprites), the build-tool
icons, the window icon and the desktop icons (icons), the sound effects (sounds) and the menu
music (tune), on shared drawing (drawing) and sound (synth) helpers; outputs writes the
catalogue and checks what was written.  generate_media.py runs them all.
"""
