#!/usr/bin/env python3
"""Looks at screenshots (binary PPM, as `convert ... ppm:` writes them) for the end-to-end tests.

  picture.py find PATCH X Y RADIUS FRAME...
      where PATCH's pixels are, exactly, within RADIUS pixels of X,Y in each frame:
      one line per frame, "frame dx dy" (the offset from X,Y) or "frame none".
  picture.py bands R,G,B FRAME...
      the black bands of each frame: columns and rows that show black and otherwise only the
      colour R,G,B (what shows through the window); one line per frame, "frame columns rows".
  picture.py outline ALPHA RATIO X Y CORNER FRAME...
      where a face drawn at RATIO from X,Y shows its see-through corners: ALPHA is its background
      picture's alpha (a PPM of it in grey); in each CORNER-pixel square at the face's corners a
      pixel should be black (the desktop through the window's shape) exactly where the picture
      pixel whose device pixels hold it is under half opaque. One line per frame,
      "frame wrong see-through" (pixels unlike that, pixels of the picture's outline checked).
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


def outline(alpha, ratio, x, y, corner, frame):
    aw, ah, ap = alpha
    fw, fh, fp = frame

    # The picture pixel whose device pixels [round(i * ratio), round((i + 1) * ratio)) hold each
    # device pixel, rounding halves up as Qt does.
    def sources(length):
        out = []
        for i in range(length):
            out += [i] * (int((i + 1) * ratio + 0.5) - len(out))
        return out

    columns, rows = sources(aw), sources(ah)
    width, height = len(columns), len(rows)
    wrong = clear = 0
    for top in (0, height - corner):
        for left in (0, width - corner):
            for r in range(top, top + corner):
                for c in range(left, left + corner):
                    through = ap[(rows[r] * aw + columns[c]) * 3] < 128
                    at = ((y + r) * fw + x + c) * 3
                    black = fp[at : at + 3] == bytes(3)
                    clear += through
                    wrong += through != black
    return f"{wrong} {clear}"


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
    elif len(argv) >= 8 and argv[1] == "outline":
        alpha = read_ppm(argv[2])
        ratio, x, y, corner = float(argv[3]), int(argv[4]), int(argv[5]), int(argv[6])
        for path in argv[7:]:
            print(path, outline(alpha, ratio, x, y, corner, read_ppm(path)))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
