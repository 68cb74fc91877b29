#!/usr/bin/python3
"""check_art.py SOURCE_DIR: the committed assets and icons are the generator's output, and the
assets hold what the game relies on: file formats, frames non-empty, resting frames,
placement where the scene meets (feet on the ice, club across the bird's path, numbers on the
board), and sounds that neither clip nor click."""

import filecmp
import os
import pathlib
import struct
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "genassets"))
import catalogue  # noqa: E402

FAILURES = []


def check(cond, message):
    if not cond:
        FAILURES.append(message)
    return cond


def read_png(data):
    """The Image of an 8-bit RGBA PNG (that the game decodes them all is checked by its start-up)."""
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            w, h, *form = struct.unpack(">IIBBBBB", body)  # depth, colour type, methods, interlacing
        idat += body if kind == b"IDAT" else b""
        pos += 12 + length
    # The generator writes every row unfiltered, and the files are its output byte for byte.
    raw, stride = zlib.decompress(idat), w * 4 + 1
    if form != [8, 6, 0, 0, 0] or any(raw[y * stride] for y in range(h)):
        raise ValueError("not 8-bit RGBA in unfiltered rows without interlacing")
    out = b"".join(raw[y * stride + 1:(y + 1) * stride] for y in range(h))
    return Image(w, h, [tuple(out[i:i + 4]) for i in range(0, len(out), 4)])


class Image:
    def __init__(self, w, h, px):
        self.w, self.h, self.p = w, h, px  # px: (r, g, b, a) by rows

    def at(self, x, y):
        return self.p[y * self.w + x]

    def box(self):
        """(x0, y0, x1, y1) around the pixels more opaque than clear, or None."""
        pts = [(i % self.w, i // self.w) for i, p in enumerate(self.p) if p[3] >= 128]
        return pts and (min(p[0] for p in pts), pts[0][1], max(p[0] for p in pts), pts[-1][1])

    def count(self, pred, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w - 1, self.h - 1)
        return sum(pred(self.at(x, y)) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1))



def near(p, hexcode, tol):
    return all(abs(p[i] - int(hexcode[1 + 2 * i:3 + 2 * i], 16)) <= tol for i in range(3))


PICTURES, STRIPS, SOUNDS = catalogue.read()  # STRIPS: name -> (width, frame height, frames)
def check_strip(name, data):
    w, fh, n = STRIPS[name]
    try:
        img = read_png(data)
    except ValueError as e:
        return check(False, "%s: %s" % (name, e)) or None
    check((img.w, img.h) == (w, fh * n), "%s: %dx%d, want %dx%d" % (name, img.w, img.h, w, fh * n))
    frames = [Image(w, fh, img.p[k * fh * w:(k + 1) * fh * w]) for k in range(n)]
    for k, f in enumerate(frames):
        check(f.count(lambda p: p[3] > 0) >= 6, "%s: frame %d is empty" % (name, k))
    return frames


def check_picture(name, data):
    """A bottom-up uncompressed 640x480 24-bit bitmap; the background's rows."""
    head = struct.unpack("<2sIHHIIiiHHI", data[:34]) if len(data) >= 54 else ()
    if not check(len(data) == 921654 and head == (b"BM", 921654, 0, 0, 54, 40, 640, 480, 1, 24, 0),
                 "%s: want a bottom-up uncompressed 640x480 24-bit bitmap" % name) or name != "BG.BMP":
        return
    rows = [data[54 + (479 - y) * 1920:54 + (480 - y) * 1920] for y in range(480)]
    for y, row in enumerate(rows):
        if not check(row == row[:3] * 640, "BG.BMP: row %d is not one colour" % y):
            return
    c = [tuple(row[2::-1]) for row in rows]
    for rows, down, what in ((range(1, 295), 1, "sky lightens"), (range(298, 480), -1, "snow darkens")):
        for y in rows:
            check(all(down * (b - a) >= 0 for a, b in zip(c[y], c[y - 1])), "BG.BMP: %s at row %d" % (what, y))


def check_sound(name, data):
    (channels, rate, _, _, bits), size = struct.unpack("<HIIHH", data[22:36]), len(data) - 44
    check((channels, bits) == (1, 16), "%s: want 16-bit mono samples" % name)  # the game's loading reads the rest
    s = struct.unpack("<%dh" % (size // 2), data[44:44 + size // 2 * 2])
    peak = max(abs(v) for v in s)
    check(8000 < peak < 32000, "%s: peak %d, want loud without clipping" % (name, peak))
    check(abs(s[0]) <= 16 and abs(s[-1]) <= 16, "%s: starts or ends away from zero" % name)
    for part, label in ((s[:rate // 500], "start"), (s[-(rate // 500):], "end")):  # 2 ms
        jump = max(abs(b - a) for a, b in zip(part, part[1:]))
        check(jump < peak // 4, "%s: jumps at the %s (%d)" % (name, label, jump))


def check_placement(st):
    is_club = lambda p: p[3] > 60 and any(near(p, c, 28) for c in ("#9a6634", "#6b4220", "#b98049"))  # noqa: E731
    is_beak = lambda p: p[3] > 200 and near(p, "#f0b429", 30)  # noqa: E731
    for name in ("FLY.PNG", "SCRATCH.PNG"):  # smoothed when turned or stretched: no dark fringe
        for k, f in enumerate(st[name]):
            check(f.count(lambda p: p == (0, 0, 0, 0)) == 0, "%s: frame %d has black clear pixels" % (name, k))
    # Frames standing, lying or stuck on their bottom rows: (strip, frames, their lowest row at least).
    for name, frames, lo in (("GRUMM.PNG", (0, 5, 8, 20, 30), 127), ("PREPJUMP.PNG", range(24), 68),
                             ("STICK.PNG", range(6), 45), ("LOOK.PNG", range(6), 25), ("FLY.PNG", (20,), 29),
                             ("SIGN.PNG", (0,), 74), ("TREE.PNG", (0,), 163), ("STREE.PNG", (0,), 101),
                             ("ROCK.PNG", (0,), 93)):
        for k in frames:
            box = st[name][k].box()
            check(box and box[3] >= lo, "%s: frame %d does not reach its bottom rows" % (name, k))
    g = st["GRUMM.PNG"]
    # The club sweeps through the bird's path on the strike, is nowhere near it
    # at rest and is held high to the right when ready.
    for k, box, lo, hi, what in ((8, (95, 0, 120, 90), 60, 1e9, "crosses the bird's path on the strike"),
                                 (0, (95, 0, 120, 90), 0, 4, "keeps out of the bird's path at rest"),
                                 (5, (110, 0, 179, 40), 60, 1e9, "is held high when ready")):
        n = g[k].count(is_club, box)
        check(lo <= n <= hi, "GRUMM.PNG: the club no longer %s (%d px on frame %d)" % (what, n, k))
    dive = st["PREPJUMP.PNG"][32]
    x0, y0, x1, y1 = dive.box() or (0, 0, 0, 0)
    check(y1 - y0 > x1 - x0, "PREPJUMP.PNG: frame 32 is not a dive")
    beak = [y for y in range(72) for x in range(14, 35) if is_beak(dive.at(x, y))]
    check(beak and max(beak) > 48, "PREPJUMP.PNG: the diving bird's beak is not at the bottom")
    beak = [x for y in range(36) for x in range(72) if is_beak(st["FLY.PNG"][20].at(x, y))]
    check(beak and max(beak) < 36, "FLY.PNG: the bird does not face left")
    # Opaque and clear areas: (strip, columns, rows, alpha, message).
    for name, xs, ys, a, what in (("ICE.PNG", range(64, 112), (70,), 255, "no top face under the bird's feet"),
                                  ("ICE.PNG", range(64, 112), range(50), 0, "something above where the bird stands"),
                                  ("ICE.PNG", (87,), (400,), 255, "the block does not reach the snow"),
                                  ("SIGN.PNG", range(14, 132, 4), range(16, 50, 3), 255, "no full board face"),
                                  ("SSIGN.PNG", range(38, 66, 3), range(7, 23, 3), 255, "no board face at column 51"),
                                  ("SSIGN.PNG", (10,), (15,), 0, "the board is not right of the centre")):
        check(all(st[name][0].at(x, y)[3] == a for x in xs for y in ys), "%s: %s" % (name, what))
    for name in ("SHADOW.PNG", "SIGNSHAD.PNG", "SCRATCH.PNG"):
        top = max(p[3] for p in st[name][0].p)
        check(0 < top <= 140, "%s: shadow alpha %d, want soft" % (name, top))


def files(top):
    return sorted(os.path.relpath(os.path.join(d, n), top) for d, _, names in os.walk(top) for n in names)


def main(argv):
    src, strips = argv[1], {}
    with tempfile.TemporaryDirectory() as tmp:
        made = {"assets": os.path.join(tmp, "assets"), "packaging/icons/hicolor": os.path.join(tmp, "hicolor")}
        subprocess.run([sys.executable, os.path.join(src, "tools", "genassets", "generate.py"), "--out",
                        made["assets"], "--icons", made["packaging/icons/hicolor"]], check=True)
        for have, new in ((os.path.join(src, k), v) for k, v in made.items()):
            check(files(new) == files(have), "generated %s but the repository has %s" % (files(new), files(have)))
            for n in set(files(new)) & set(files(have)):
                check(filecmp.cmp(os.path.join(new, n), os.path.join(have, n), shallow=False),
                      "%s differs from the generator's output" % os.path.join(have, n))
    folder = os.path.join(src, "assets")  # the generator's files and no others, as compared above
    for name in sorted(os.listdir(folder)):
        data = pathlib.Path(folder, name).read_bytes()
        if name in STRIPS:
            strips[name] = check_strip(name, data)
        elif name in PICTURES or name in SOUNDS:
            (check_picture if name in PICTURES else check_sound)(name, data)
    if not FAILURES:
        check_placement(strips)
    for f in FAILURES:
        print("FAIL:", f)
    print("%d problem(s)" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
