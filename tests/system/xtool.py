#!/usr/bin/env python3
"""Small X and image helpers for the whole-program tests (standard library only).

  xtool.py close WINDOW                 ask a window to close, as a window manager would
  xtool.py pixel IMAGE.ppm X Y          print "R G B" of one pixel (origin top-left)
  xtool.py region IMAGE.ppm X Y W H R G B TOL
                                        exit 0 when some pixel of the rectangle lies within
                                        TOL of the colour in every channel, else 1
"""
import ctypes
import ctypes.util
import sys


def close_window(window):
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                    ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                    ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the X display")
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
        sys.exit("XSendEvent failed")
    x11.XFlush(display)
    x11.XCloseDisplay(display)


def read_ppm(path):
    """Reads a binary 8-bit PPM (P6) as (width, height, bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit("%s: not an 8-bit binary PPM" % path)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


def pixel(image, x, y):
    width, height, rgb = image
    if not (0 <= x < width and 0 <= y < height):
        sys.exit("pixel %d,%d outside the %dx%d image" % (x, y, width, height))
    i = (y * width + x) * 3
    return rgb[i], rgb[i + 1], rgb[i + 2]


def main(argv):
    if len(argv) == 3 and argv[1] == "close":
        close_window(int(argv[2], 0))
    elif len(argv) == 5 and argv[1] == "pixel":
        print("%d %d %d" % pixel(read_ppm(argv[2]), int(argv[3]), int(argv[4])))
    elif len(argv) == 11 and argv[1] == "region":
        image = read_ppm(argv[2])
        x0, y0, w, h, r, g, b, tol = (int(v) for v in argv[3:])
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                pr, pg, pb = pixel(image, x, y)
                if abs(pr - r) <= tol and abs(pg - g) <= tol and abs(pb - b) <= tol:
                    return 0
        return 1
    else:
        sys.exit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
