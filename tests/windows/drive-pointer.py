#!/usr/bin/env python3
"""Moves the X pointer through a path with XTest, as a mouse would, for the Windows tests
under Wine (which cannot link Xlib themselves): one absolute move per point, `interval`
microseconds apart on a grid of deadlines (0: as fast as the server takes them).
    drive-pointer.py INTERVAL_US X1 Y1 [X2 Y2 ...]
Exits when the server has every move (XSync)."""
import ctypes
import ctypes.util
import sys
import time


def main(argv):
    if len(argv) < 4 or len(argv) % 2:
        print(__doc__, file=sys.stderr)
        return 2
    interval = int(argv[1]) / 1e6
    points = [(int(argv[i]), int(argv[i + 1])) for i in range(2, len(argv), 2)]
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    for f in (x11.XFlush, x11.XCloseDisplay):
        f.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                          ctypes.c_int, ctypes.c_ulong]
    display = x11.XOpenDisplay(None)
    if not display:
        print("drive-pointer.py: no X display", file=sys.stderr)
        return 2
    deadline = time.monotonic()
    for x, y in points:
        xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
        x11.XFlush(display)
        if interval > 0:
            deadline += interval
            pause = deadline - time.monotonic()
            if pause > 0:
                time.sleep(pause)
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
