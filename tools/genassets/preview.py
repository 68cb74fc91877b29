#!/usr/bin/python3
"""Contact sheets and composed scenes of the generated art, for looking at.

    preview.py [--out DIR]

Writes PNGs (default /tmp/snowpunt-art): one sheet per strip at 2x, and
scenes of the start area composed as the game places its sprites.
"""

import sys

sys.dont_write_bytecode = True

import argparse  # noqa: E402
import math  # noqa: E402
import os  # noqa: E402

import cairo  # noqa: E402

import catalogue  # noqa: E402
import generate  # noqa: E402
import scenery  # noqa: E402


def surface_from_rgba(w, h, px):
    """Cairo surface (premultiplied) from straight RGBA bytes."""
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    stride = s.get_stride()
    buf = bytearray(stride * h)
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 4
            r, g, b, a = px[i], px[i + 1], px[i + 2], px[i + 3]
            o = y * stride + x * 4
            buf[o] = (b * a + 127) // 255
            buf[o + 1] = (g * a + 127) // 255
            buf[o + 2] = (r * a + 127) // 255
            buf[o + 3] = a
    s.get_data()[:] = bytes(buf)
    s.mark_dirty()
    return s


STRIPS = {name: (w, h, n, generate.STRIP_BUILDERS[name]) for name, (w, h, n) in catalogue.read()[1].items()}
_cache = {}


def frames(name):
    if name not in _cache:
        w, h, n, b = STRIPS[name]
        _cache[name] = [surface_from_rgba(w, h, f) for f in b()]
    return _cache[name]


def sheet(name, out, scale=2, per_row=None):
    w, h, n, _ = STRIPS[name]
    fr = frames(name)
    per_row = per_row or max(1, min(n, 1200 // (w * scale + 6)))
    rows = (n + per_row - 1) // per_row
    W, H = per_row * (w * scale + 6) + 6, rows * (h * scale + 18) + 6
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, W, H)
    c = cairo.Context(s)
    c.set_source_rgb(0.55, 0.62, 0.7)
    c.paint()
    for i, f in enumerate(fr):
        x = 6 + (i % per_row) * (w * scale + 6)
        y = 6 + (i // per_row) * (h * scale + 18)
        c.set_source_rgb(0.62, 0.69, 0.77)
        c.rectangle(x, y + 12, w * scale, h * scale)
        c.fill()
        c.set_source_rgb(0, 0, 0)
        c.move_to(x, y + 10)
        c.set_font_size(10)
        c.show_text(str(i))
        c.save()
        c.translate(x, y + 12)
        c.scale(scale, scale)
        c.set_source_surface(f, 0, 0)
        c.get_source().set_filter(cairo.FILTER_NEAREST)
        c.paint()
        c.restore()
    s.write_to_png(os.path.join(out, name.lower().replace(".png", "") + "_sheet.png"))


def blit(c, name, frame, x, y, angle=0.0, zoom_x=1.0):
    """Draws a frame centred on world (x, y) as the game does (view at 0)."""
    w, h, n, _ = STRIPS[name]
    f = frames(name)[frame]
    sx = math.floor(x)
    sy = math.floor(480 - y)
    c.save()
    if angle == 0.0 and zoom_x == 1.0:
        c.set_source_surface(f, sx - (w >> 1), sy - (h >> 1))
        c.paint()
    else:
        c.translate(sx, sy)
        c.rotate(-angle * math.pi / 180.0)
        c.scale(zoom_x, 1.0)
        c.set_source_surface(f, -w / 2.0, -h / 2.0)
        c.paint()
    c.restore()


def number(c, text, font, x, y, centre):
    name = "FONT.PNG" if font == "large" else "SFONT.PNG"
    w = STRIPS[name][0]
    if centre:
        x -= (len(text) - 1) * w / 2.0
    for ch in text:
        blit(c, name, 10 if ch == "." else int(ch), x, y)
        x += w


def scene(out, fname, grumm=0, bird=("PREPJUMP.PNG", 23, 548, 405, 0.0), best="297.1", result=None, extra=None):
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, 640, 480)
    c = cairo.Context(s)
    scenery.paint_background(c)
    blit(c, "STREE.PNG", 0, 344.5, 187 - 1 / 65536)
    blit(c, "ICE.PNG", 0, 547.5, 231)
    blit(c, "TREE.PNG", 0, 49, 169 - 1 / 65536)
    blit(c, "SIGNSHAD.PNG", 0, 185.5, 97 - 1 / 65536)
    blit(c, "SIGN.PNG", 0, 213.5, 125 - 1 / 65536)
    blit(c, "TOP.PNG", 0, 175.5, 132 - 2 / 65536)
    number(c, best, "large", 213.5, 132 - 2 / 65536, False)
    blit(c, "ROCK.PNG", 0, 383, 97 - 1 / 65536)
    if result is not None:
        sx = result
        blit(c, "SIGNSHAD.PNG", 0, sx - 28, 54 - 1 / 65536)
    blit(c, "GRUMM.PNG", grumm, 533, 83 - 1 / 65536)
    if result is not None:
        blit(c, "SIGN.PNG", 0, sx, 82 - 1 / 65536)
        number(c, best, "large", sx, 82 + 7 - 1 / 65536, True)
    if extra:
        extra(c)
    name, fr, bx, by, ang = bird
    blit(c, name, fr, bx, by, ang)
    s.write_to_png(os.path.join(out, fname))
    return s


def zoom(out, src_name, dst_name, x, y, w, h, scale=2):
    src = cairo.ImageSurface.create_from_png(os.path.join(out, src_name))
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w * scale, h * scale)
    c = cairo.Context(s)
    c.scale(scale, scale)
    c.set_source_surface(src, -x, -y)
    c.get_source().set_filter(cairo.FILTER_NEAREST)
    c.paint()
    s.write_to_png(os.path.join(out, dst_name))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--out", default="/tmp/snowpunt-art")
    p.add_argument("what", nargs="*", help="strip names to sheet (default all) or 'scenes'")
    a = p.parse_args()
    os.makedirs(a.out, exist_ok=True)
    todo = a.what or list(STRIPS) + ["scenes", "screens"]
    for name in todo:
        if name in STRIPS:
            sheet(name, a.out)
    if "screens" in todo:
        screens(a.out)
    if "scenes" in todo:
        scene(a.out, "scene_wait.png", 0)
        scene(a.out, "scene_ready.png", 5, ("PREPJUMP.PNG", 32, 548, 300, 0.0))
        scene(a.out, "scene_strike.png", 8, ("PREPJUMP.PNG", 32, 548, 120, 0.0))
        scene(a.out, "scene_watch.png", 20, ("FLY.PNG", 5, 400, 200, 35.0))
        scene(a.out, "scene_slide.png", 30, ("LOOK.PNG", 5, 250, 51.5 - 1 / 65536, 0.0),
              extra=lambda c: (blit(c, "SCRATCH.PNG", 0, 330, 40 - 1 / 65536, 0, 2.0),
                               blit(c, "SHADOW.PNG", 0, 250, 41.5 - 1 / 65536)))
        scene(a.out, "scene_stuck.png", 30, ("STICK.PNG", 5, 300, 63 - 1 / 65536, 0.0), result=305)
        zoom(a.out, "scene_wait.png", "scene_wait_zoom.png", 400, 20, 240, 460)
        zoom(a.out, "scene_strike.png", "scene_strike_zoom.png", 400, 250, 240, 230)
        zoom(a.out, "scene_wait.png", "scene_board_zoom.png", 100, 300, 320, 150)


def screens(out):
    """The two full-screen pictures and the icons, as PNGs to look at."""
    import screens as sc
    for name, fn in (("promo.png", sc.promo), ("title.png", sc.title)):
        rgb = fn()
        px = bytearray()
        for i in range(0, len(rgb), 3):
            px += rgb[i:i + 3] + b"\xff"
        surface_from_rgba(640, 480, bytes(px)).write_to_png(os.path.join(out, name))
    import icons
    for size in icons.SIZES:
        with open(os.path.join(out, "icon-%d.png" % size), "wb") as f:
            f.write(icons.png(size))


if __name__ == "__main__":
    main()
