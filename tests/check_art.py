#!/usr/bin/python3
"""Checks the committed artwork and sounds for the faults that break a game.

    check_art.py ASSET_DIR [ICON]

Every file format fact the program relies on, no empty strip frame, no two
neighbouring frames of an animation alike, the resting frames where the
animation tables expect them, the pieces placed where the scene meets them
(feet on the ice, the club across the bird's path, numbers on the board),
and sounds that neither clip nor click. Standard library only: it carries
its own PNG, BMP and WAV readers.
"""

import os
import struct
import sys
import zlib

FAILURES = []


def check(cond, message):
    if not cond:
        FAILURES.append(message)
    return cond


# ---------------------------------------------------------------- readers

def read_png(data):
    """Returns (info, pixels); pixels are RGBA rows for colour type 6 and
    palette indices for type 3. info holds the header and chunk names."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    pos, chunks, idat, info = 8, [], b"", {}
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise ValueError("bad CRC in %r" % kind)
        chunks.append(kind.decode("ascii"))
        if kind == b"IHDR":
            w, h, depth, ctype, comp, filt, inter = struct.unpack(">IIBBBBB", body)
            info.update(width=w, height=h, depth=depth, ctype=ctype, compression=comp, filter=filt, interlace=inter)
        elif kind == b"PLTE":
            info["palette"] = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    info["chunks"] = chunks
    bpp = {6: 4, 3: 1, 2: 3}[info["ctype"]]
    w, h = info["width"], info["height"]
    raw = zlib.decompress(idat)
    stride = w * bpp
    if len(raw) != h * (stride + 1):
        raise ValueError("image data has the wrong length")
    out = bytearray(h * stride)
    prev = bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if f == 1:
                line[x] = (line[x] + a) & 255
            elif f == 2:
                line[x] = (line[x] + b) & 255
            elif f == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[x] = (line[x] + pred) & 255
            elif f != 0:
                raise ValueError("unknown filter %d" % f)
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return info, bytes(out)


class Image:
    """RGBA pixels with frame access."""

    def __init__(self, w, h, px):
        self.w, self.h, self.px = w, h, px

    def at(self, x, y):
        i = (y * self.w + x) * 4
        return tuple(self.px[i:i + 4])

    def alpha(self, x, y):
        return self.px[(y * self.w + x) * 4 + 3]

    def frame(self, k, fh):
        start = k * fh * self.w * 4
        return Image(self.w, fh, self.px[start:start + fh * self.w * 4])

    def opaque_box(self, threshold=128):
        xs, ys = [], []
        for y in range(self.h):
            for x in range(self.w):
                if self.alpha(x, y) >= threshold:
                    xs.append(x)
                    ys.append(y)
        if not xs:
            return None
        return min(xs), min(ys), max(xs), max(ys)

    def count(self, pred, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w - 1, self.h - 1)
        n = 0
        for y in range(max(0, y0), min(self.h - 1, y1) + 1):
            for x in range(max(0, x0), min(self.w - 1, x1) + 1):
                if pred(self.at(x, y)):
                    n += 1
        return n

    def diff(self, other):
        """Mean absolute difference per channel (alpha-weighted colour)."""
        total = 0
        for i in range(0, len(self.px), 4):
            a, b = self.px[i + 3], other.px[i + 3]
            total += abs(a - b)
            for ch in range(3):
                total += abs(self.px[i + ch] * a - other.px[i + ch] * b) // 255
        return total / float(len(self.px))


def near(rgb, hexcode, tol):
    ref = (int(hexcode[1:3], 16), int(hexcode[3:5], 16), int(hexcode[5:7], 16))
    return all(abs(a - b) <= tol for a, b in zip(rgb[:3], ref))


# ---------------------------------------------------------------- catalogue

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "genassets"))
import catalogue  # noqa: E402

PICTURES, _frames, SOUNDS = catalogue.read()
# name: (width, height, frames) of each strip
STRIPS = {name: (w, fh * n, n) for name, (w, fh, n) in _frames.items()}
# Runs of strip frames that play one after another (each animation with
# its end frame), whose neighbours must differ.
RUNS = {
    "PREPJUMP.PNG": [(0, 23), (24, 32)], "FLY.PNG": [(0, 20)], "STICK.PNG": [(0, 5)], "LOOK.PNG": [(0, 5)],
    "GRUMM.PNG": [(0, 5), (6, 20), (21, 30)],
}


def check_strip(name, data):
    w, h, n = STRIPS[name]
    try:
        info, px = read_png(data)
    except ValueError as e:
        check(False, "%s: %s" % (name, e))
        return None
    check((info["width"], info["height"]) == (w, h), "%s: %dx%d, want %dx%d" % (name, info["width"],
                                                                             info["height"], w, h))
    check(info["depth"] == 8 and info["ctype"] == 6, "%s: not 8-bit RGBA" % name)
    check(info["interlace"] == 0, "%s: interlaced" % name)
    check(set(info["chunks"]) <= {"IHDR", "IDAT", "IEND"}, "%s: extra chunks %s" % (name, info["chunks"]))
    check(h % n == 0, "%s: height does not divide into %d frames" % (name, n))
    img = Image(info["width"], info["height"], px)
    fh = h // n
    frames = [img.frame(k, fh) for k in range(n)]
    for k, f in enumerate(frames):
        check(f.count(lambda p: p[3] > 0) >= 6, "%s: frame %d is empty" % (name, k))
    for a, b in RUNS.get(name, []):
        for k in range(a, b):
            check(frames[k].px != frames[k + 1].px, "%s: frames %d and %d are the same" % (name, k, k + 1))
    return frames


def check_picture(name, data):
    check(len(data) == 921654, "%s: %d bytes" % (name, len(data)))
    if len(data) < 54:
        return None
    magic, size, _, _, offset = struct.unpack("<2sIHHI", data[:14])
    hdr, w, h, planes, bpp, comp, image_size = struct.unpack("<IiiHHII", data[14:38])
    check(magic == b"BM" and size == len(data) and offset == 54, "%s: bad file header" % name)
    check((hdr, w, h, planes, bpp, comp) == (40, 640, 480, 1, 24, 0),
          "%s: want a bottom-up uncompressed 640x480 24-bit image" % name)
    rows = []
    for y in range(480):
        start = 54 + (479 - y) * 1920
        rows.append(data[start:start + 1920])
    return rows


def check_background(rows):
    colours = []
    for y, row in enumerate(rows):
        first = row[:3]
        if not check(row == first * 640, "BG.BMP: row %d is not one colour" % y):
            return
        colours.append((first[2], first[1], first[0]))
    for y, want in ((0, (227, 240, 255)), (294, (51, 137, 182)), (297, (200, 223, 240)), (479, (255, 255, 255))):
        check(colours[y] == want, "BG.BMP: row %d is %s, want %s" % (y, colours[y], want))
    for y in range(1, 295):
        check(all(a <= b for a, b in zip(colours[y], colours[y - 1])), "BG.BMP: sky lightens at row %d" % y)
    for y in range(298, 480):
        check(all(a >= b for a, b in zip(colours[y], colours[y - 1])), "BG.BMP: snow darkens at row %d" % y)
    # The horizon rows lie between the deepest sky and the farthest snow.
    for y in (295, 296):
        check(all(min(a, b) <= c <= max(a, b) for a, b, c in zip(colours[294], colours[297], colours[y])),
              "BG.BMP: horizon row %d outside its neighbours' colours" % y)


def check_sound(name, data):
    riff, size, wave, fmt, fsize = struct.unpack("<4sI4s4sI", data[:20])
    tag, channels, srate, brate, align, bits = struct.unpack("<HHIIHH", data[20:36])
    dtag, dsize = struct.unpack("<4sI", data[36:44])
    check((riff, wave, fmt, fsize, dtag) == (b"RIFF", b"WAVE", b"fmt ", 16, b"data"), "%s: bad header" % name)
    check(size == len(data) - 8, "%s: RIFF size" % name)
    rate = srate
    check((tag, channels, brate, align, bits) == (1, 1, rate * 2, 2, 16) and rate in (11025, 22050),
          "%s: want PCM mono 16-bit at 11025 or 22050 Hz" % name)
    check(dsize == len(data) - 44, "%s: data chunk %d bytes" % (name, dsize))
    n = dsize // 2
    s = struct.unpack("<%dh" % n, data[44:44 + 2 * n])
    peak = max(abs(v) for v in s)
    check(peak < 32000, "%s: clips (peak %d)" % (name, peak))
    check(peak > 8000, "%s: too quiet (peak %d)" % (name, peak))
    edge = rate // 500  # 2 ms
    check(abs(s[0]) <= 16 and abs(s[-1]) <= 16, "%s: starts or ends away from zero" % name)
    for part, label in ((s[:edge], "start"), (s[-edge:], "end")):
        jump = max(abs(b - a) for a, b in zip(part, part[1:]))
        check(jump < peak // 4, "%s: jumps at the %s (%d)" % (name, label, jump))


# ---------------------------------------------------------------- placement

def is_club(p):
    return p[3] > 60 and any(near(p, c, 28) for c in ("#9a6634", "#6b4220", "#b98049"))


def edge_touches(f, sides="tlr"):
    """Which of the frame's top, left and right edges carry ink (a drawing
    cut off by its frame)."""
    hit = ""
    if "t" in sides and any(f.alpha(x, 0) > 24 for x in range(f.w)):
        hit += "t"
    if "l" in sides and any(f.alpha(0, y) > 24 for y in range(f.h)):
        hit += "l"
    if "r" in sides and any(f.alpha(f.w - 1, y) > 24 for y in range(f.h)):
        hit += "r"
    return hit


def check_placement(st):
    # Characters are never cut off by their frames (the bottom edge is the
    # ground for some of them).
    for name in ("GRUMM.PNG", "PREPJUMP.PNG", "FLY.PNG", "STICK.PNG", "LOOK.PNG"):
        for k, f in enumerate(st.get(name) or []):
            hit = edge_touches(f)
            check(not hit, "%s: frame %d is cut off at its frame's edge (%s)" % (name, k, hit))
    # The game smooths the turned bird and the stretched scratch mark
    # bilinearly: clear pixels must not be black or the edges go dark.
    for name in ("FLY.PNG", "SCRATCH.PNG"):
        for k, f in enumerate(st.get(name) or []):
            n = f.count(lambda p: p[3] == 0 and p[:3] == (0, 0, 0))
            check(n == 0, "%s: frame %d has %d black clear pixels (dark fringe when turned)" % (name, k, n))
    grumm = st.get("GRUMM.PNG")
    if grumm:
        rest, again, ready = grumm[0], grumm[30], grumm[5]
        d_same, d_ready = rest.diff(again), rest.diff(ready)
        check(d_same < 1.0, "GRUMM.PNG: frame 0 and frame 30 differ (%.2f)" % d_same)
        check(d_ready > 5 * max(d_same, 0.5), "GRUMM.PNG: the ready pose 5 looks like the rest pose")
        for k in (0, 5, 8, 20, 30):
            box = grumm[k].opaque_box()
            check(box is not None and box[3] >= 127, "GRUMM.PNG: frame %d does not stand on the bottom rows" % k)
        # The strike: the club's head sweeps through the bird's path.
        n = grumm[8].count(is_club, (95, 0, 120, 90))
        check(n >= 60, "GRUMM.PNG: the club does not cross the bird's path on frame 8 (%d px)" % n)
        # At rest and when ready the club is nowhere near it.
        check(grumm[0].count(is_club, (95, 0, 120, 90)) < 5, "GRUMM.PNG: club in the bird's path at rest")
        # Ready: club held high, to the right.
        check(ready.count(is_club, (110, 0, 179, 40)) >= 60, "GRUMM.PNG: ready pose does not hold the club high")
    bird = st.get("PREPJUMP.PNG")
    if bird:
        for k in list(range(0, 24)):
            box = bird[k].opaque_box()
            check(box is not None and box[3] >= 68, "PREPJUMP.PNG: frame %d does not stand on the bottom rows" % k)
        box = bird[32].opaque_box()
        check(box is not None and box[3] - box[1] > box[2] - box[0], "PREPJUMP.PNG: frame 32 is not a dive")
        beak = [y for y in range(72) for x in range(48) if near(bird[32].at(x, y), "#f0b429", 30)
                and bird[32].alpha(x, y) > 200 and 14 <= x <= 34]
        check(beak and max(beak) > 48, "PREPJUMP.PNG: the diving bird's beak is not at the bottom")
    ice = st.get("ICE.PNG")
    if ice:
        f = ice[0]
        check(all(f.alpha(x, 70) == 255 for x in range(64, 112)), "ICE.PNG: no top face under the bird's feet")
        check(all(f.alpha(x, y) == 0 for x in range(64, 112) for y in range(0, 50)),
              "ICE.PNG: something above the top face where the bird stands")
        check(f.alpha(87, 400) == 255, "ICE.PNG: the block does not reach the snow")
    fly = st.get("FLY.PNG")
    if fly:
        box = fly[20].opaque_box()
        check(box is not None and 29 <= box[3] <= 34, "FLY.PNG: the end frame's belly is not on the bottom rows")
        beak_x = [x for y in range(36) for x in range(72) if near(fly[20].at(x, y), "#f0b429", 30)
                  and fly[20].alpha(x, y) > 200]
        check(beak_x and max(beak_x) < 36, "FLY.PNG: the bird does not face left")
    stick = st.get("STICK.PNG")
    if stick:
        for k in range(6):
            box = stick[k].opaque_box()
            check(box is not None and box[3] >= 45, "STICK.PNG: frame %d is not in the snow" % k)
    look = st.get("LOOK.PNG")
    if look:
        for k in range(6):
            box = look[k].opaque_box()
            check(box is not None and box[3] >= 25, "LOOK.PNG: frame %d does not lie on the bottom rows" % k)
        check(look[5].diff(look[0]) > 1.0, "LOOK.PNG: the head does not turn")
    sign = st.get("SIGN.PNG")
    if sign:
        f = sign[0]
        check(all(f.alpha(x, y) == 255 for x in range(14, 132, 4) for y in range(16, 50, 3)),
              "SIGN.PNG: the board face does not fill rows 12 to 52")
        check(f.opaque_box()[3] >= 74, "SIGN.PNG: no post down to the ground")
    ssign = st.get("SSIGN.PNG")
    if ssign:
        f = ssign[0]
        check(all(f.alpha(x, y) == 255 for x in range(38, 66, 3) for y in range(7, 23, 3)),
              "SSIGN.PNG: no board face around column 51, rows 4 to 24")
        check(f.alpha(10, 15) == 0, "SSIGN.PNG: the board should sit right of the centre")
    for name in ("TREE.PNG", "STREE.PNG", "ROCK.PNG"):
        if st.get(name):
            f = st[name][0]
            check(f.opaque_box()[3] >= f.h - 3, "%s: does not stand on the image's bottom rows" % name)
    for name in ("SHADOW.PNG", "SIGNSHAD.PNG", "SCRATCH.PNG"):
        if st.get(name):
            f = st[name][0]
            top = max(f.px[3::4])
            check(0 < top <= 140, "%s: shadow alpha %d, want soft and translucent" % (name, top))
            check(f.count(lambda p: p[3] > 16 and p[2] <= p[0]) == 0, "%s: shadow is not cool blue-grey" % name)
    if st.get("TOP.PNG"):
        check(st["TOP.PNG"][0].count(lambda p: p[3] > 200 and near(p, "#d23a2a", 40)) >= 30, "TOP.PNG: not red")


def check_digits(st):
    for name, want in (("FONT.PNG", "#3da83d"), ("SFONT.PNG", "#48608f")):
        frames = st.get(name)
        if not frames:
            continue
        digits = frames[:10] if name == "FONT.PNG" else frames
        bottoms = []
        for k, f in enumerate(frames):
            box = f.opaque_box(64)
            if not check(box is not None, "%s: glyph %d empty" % (name, k)):
                continue
            x0, y0, x1, y1 = box
            check(x0 >= 1 and y0 >= 1 and x1 <= f.w - 2 and y1 <= f.h - 2, "%s: glyph %d touches its cell" % (name, k))
            if k < len(digits):
                centre = (x0 + x1) / 2.0
                check(abs(centre - (f.w - 1) / 2.0) <= 1.0, "%s: glyph %d off centre (%.1f)" % (name, k, centre))
                bottoms.append(y1)
            check(f.count(lambda p: p[3] > 200 and near(p, want, 40)) >= 8, "%s: glyph %d not in its colour" % (name, k))
        check(max(bottoms) - min(bottoms) <= 1, "%s: digits do not share a baseline %s" % (name, bottoms))
        if name == "FONT.PNG" and len(frames) == 11:
            box = frames[10].opaque_box(64)
            check(box and abs(box[3] - max(bottoms)) <= 1, "FONT.PNG: the point is not on the baseline")
            check(box and box[1] > frames[0].h // 2, "FONT.PNG: the point is not low in its cell")


def check_icon(path):
    with open(path, "rb") as fh:
        data = fh.read()
    info, px = read_png(data)
    if not check((info["width"], info["height"], info["depth"], info["ctype"]) == (32, 32, 8, 6),
                 "icon: want a 32x32 RGBA image"):
        return
    check(all(px[i + 3] == 0 for i in (0, 31 * 4, 31 * 128, 1023 * 4)), "icon: corners not transparent")
    check(len(set(px[i:i + 4] for i in range(0, len(px), 4))) > 16, "icon: nearly empty")


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    folder = argv[1]
    names = sorted(os.listdir(folder))
    want = sorted(list(STRIPS) + PICTURES + SOUNDS)
    check(names == want, "asset folder holds %s" % names)
    strips = {}
    for name in want:
        path = os.path.join(folder, name)
        if not check(os.path.exists(path), "%s missing" % name):
            continue
        with open(path, "rb") as fh:
            data = fh.read()
        if name in STRIPS:
            strips[name] = check_strip(name, data)
        elif name in PICTURES:
            rows = check_picture(name, data)
            if name == "BG.BMP" and rows:
                check_background(rows)
        else:
            check_sound(name, data)
    check_placement(strips)
    check_digits(strips)
    if len(argv) > 2:
        check_icon(argv[2])
    for f in FAILURES:
        print("FAIL:", f)
    print("%d problem(s)" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
