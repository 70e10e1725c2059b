#!/usr/bin/env python3
"""Looks at the game's screenshots by kinds of colour (standard library only).

  screen_probe.py count IMAGE.ppm X Y W H KIND   print how many pixels of the rectangle are KIND
  screen_probe.py extent IMAGE.ppm Y X0 X1       print the last x of the row Y, from X0 up to X1,
                                                 that is drawn over the background (X0 - 1 if none)
KIND: red, white, grey, green (a bright green), blue (a bright blue), drawn (anything visibly
different from the dark green background). Coordinates are window pixels, origin top-left.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xtool import pixel, read_ppm  # noqa: E402

BACKGROUND = (0, 51, 25)

KINDS = {
    "red": lambda r, g, b: r > 150 and g < 80 and b < 80,
    "white": lambda r, g, b: r > 200 and g > 200 and b > 200,
    "grey": lambda r, g, b: 90 < r < 170 and abs(r - g) < 25 and abs(r - b) < 25,
    "green": lambda r, g, b: g > 120 and g > b + 20 and g > r + 20,
    "blue": lambda r, g, b: b > 120 and b > g + 20,
    "drawn": lambda r, g, b: abs(r - BACKGROUND[0]) + abs(g - BACKGROUND[1]) + abs(b - BACKGROUND[2]) > 40,
}


def main(argv):
    if len(argv) == 8 and argv[1] == "count":
        image = read_ppm(argv[2])
        x0, y0, w, h = (int(v) for v in argv[3:7])
        test = KINDS[argv[7]]
        print(sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if test(*pixel(image, x, y))))
        return 0
    if len(argv) == 6 and argv[1] == "extent":
        image = read_ppm(argv[2])
        y, x0, x1 = (int(v) for v in argv[3:6])
        last = x0 - 1
        for x in range(x0, x1):
            if KINDS["drawn"](*pixel(image, x, y)):
                last = x
        print(last)
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
