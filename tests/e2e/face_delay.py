#!/usr/bin/env python3
"""How long a key takes to show on screen, for the end-to-end tests.

  face_delay.py X Y W H KEY...
      for each KEY: waits a random part of a second, sends it (xdotool key) and watches the
      screen's rectangle X,Y W x H until it changes; one line per key, the milliseconds from
      before the key was sent to the first changed picture, or "none" after 2 s.
"""
import ctypes
import random
import subprocess
import sys
import time


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int)]


def main():
    x, y, w, h = (int(a) for a in sys.argv[1:5])
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XGetImage.restype = ctypes.POINTER(XImage)
    xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                               ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    xlib.XFree.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("face_delay.py: cannot open the display")
    root = xlib.XDefaultRootWindow(display)

    def grab():
        image = xlib.XGetImage(display, root, x, y, w, h, ~0 & 0xFFFFFFFFFFFFFFFF, 2)  # ZPixmap
        if not image:
            sys.exit("face_delay.py: cannot read the screen")
        pixels = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * h)
        xlib.XFree(image.contents.data)
        xlib.XFree(image)
        return pixels

    for key in sys.argv[5:]:
        time.sleep(random.random())
        before = grab()
        start = time.monotonic()
        subprocess.run(["xdotool", "key", key], check=True)
        delay = None
        while time.monotonic() - start < 2:
            if grab() != before:
                delay = (time.monotonic() - start) * 1000
                break
            time.sleep(0.002)
        print("none" if delay is None else f"{delay:.0f}", flush=True)


main()
