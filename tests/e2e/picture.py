#!/usr/bin/env python3
"""Looks at screenshots (binary PPM, as `convert ... ppm:` writes them) for the end-to-end tests.

  picture.py find PATCH X Y RADIUS FRAME...
      where PATCH's pixels are, exactly, within RADIUS pixels of X,Y in each frame:
      one line per frame, "frame dx dy" (the offset from X,Y) or "frame none".
  picture.py bands R,G,B FRAME...
      the black bands of each frame: columns and rows that show black and otherwise only the
      colour R,G,B (what shows through the window); one line per frame, "frame columns rows".
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos : pos + 1].isspace():
            pos += 1
        if data[pos : pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit(f"{path}: not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1 : pos + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        sys.exit(f"{path}: truncated")
    return width, height, pixels


def find(patch, x, y, radius, frame):
    pw, ph, pp = patch
    fw, fh, fp = frame
    rows = [pp[r * pw * 3 : (r + 1) * pw * 3] for r in range(ph)]
    # Nearest offsets first: a face at rest is found at 0,0 even if the patch repeats further away.
    offsets = sorted(
        ((dx, dy) for dy in range(-radius, radius + 1) for dx in range(-radius, radius + 1)),
        key=lambda o: o[0] * o[0] + o[1] * o[1],
    )
    for dx, dy in offsets:
        left, top = x + dx, y + dy
        if left < 0 or top < 0 or left + pw > fw or top + ph > fh:
            continue
        if all(
            fp[((top + r) * fw + left) * 3 : ((top + r) * fw + left + pw) * 3] == rows[r] for r in range(ph)
        ):
            return f"{dx} {dy}"
    return "none"


def bands(through, frame):
    w, h, p = frame
    black = bytes(3)

    def band(pixels):
        return black in pixels and pixels <= {black, through}

    def pixel(c, r):
        return p[(r * w + c) * 3 : (r * w + c) * 3 + 3]

    rows = sum(1 for r in range(h) if band({pixel(c, r) for c in range(w)}))
    columns = sum(1 for c in range(w) if band({pixel(c, r) for r in range(h)}))
    return f"{columns} {rows}"


def main(argv):
    if len(argv) >= 6 and argv[1] == "find":
        patch = read_ppm(argv[2])
        x, y, radius = int(argv[3]), int(argv[4]), int(argv[5])
        for path in argv[6:]:
            print(path, find(patch, x, y, radius, read_ppm(path)))
    elif len(argv) >= 3 and argv[1] == "bands":
        through = bytes(int(v) for v in argv[2].split(","))
        for path in argv[3:]:
            print(path, bands(through, read_ppm(path)))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
