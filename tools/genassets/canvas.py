"""Cairo surfaces, the shared palette and small drawing helpers."""

import math
import sys

import cairo


def hexcol(text, alpha=None):
    """'#rrggbb' as cairo's 0..1 floats, with an optional alpha."""
    r = int(text[1:3], 16) / 255.0
    g = int(text[3:5], 16) / 255.0
    b = int(text[5:7], 16) / 255.0
    return (r, g, b) if alpha is None else (r, g, b, alpha)


# The colours every asset shares: outline, snow, ice, fur, bird, wood, digits.
OUTLINE = "#26303c"
SNOW = "#f4f9ff"
SNOW_SHADE = "#c9dced"
SNOW_DEEP = "#9fb9d2"
ICE_LIGHT = "#e6f7ff"
ICE_MID = "#aee3f5"
ICE_DARK = "#6cbad6"
ICE_EDGE = "#3f8fb0"
FUR_LIGHT = "#a9bccd"
FUR_MID = "#7890a6"
FUR_DARK = "#4f6478"
SKIN = "#d8c3a5"
SKIN_SHADE = "#b39b7d"
CLUB = "#9a6634"
CLUB_DARK = "#6b4220"
CLUB_GRAIN = "#4a2c14"
BREAST = "#cc5533"
WING = "#7a5232"
WING_DARK = "#553620"
BELLY_LIGHT = "#e8835f"
BEAK = "#f0b429"
EYE = "#1b1b1b"
SIGN_WOOD = "#a8763f"
SIGN_WOOD_DARK = "#7b5228"
DIGIT_GREEN = "#3da83d"
DIGIT_GREEN_OUTLINE = "#1d4d1d"
DIGIT_SLATE = "#48608f"
CAPTION_RED = "#d23a2a"
SHADOW = "#30506e"
ROCK_LIGHT = "#9aa4ae"
ROCK_MID = "#77828d"
ROCK_DARK = "#55606b"
FIR_LIGHT = "#4e8f62"
FIR_MID = "#2f6b48"
FIR_DARK = "#1f4a35"
BARK = "#6b4a2e"

# Line widths: characters and large props, and small sprites.
LINE = 1.75
LINE_THIN = 1.1


def new(width, height):
    """A transparent ARGB32 surface with its context, antialiasing on."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(surface)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    return surface, ctx


def _unpremultiply_tables():
    tables = [bytes(256)]
    for a in range(1, 256):
        tables.append(bytes(min(255, (c * 255 + a // 2) // a) for c in range(256)))
    return tables


_UNPREMUL = _unpremultiply_tables()


def rgba(surface, matte=OUTLINE):
    """Straight (not premultiplied) RGBA bytes of a cairo ARGB32 surface.

    Fully transparent pixels take the matte colour (with alpha 0) instead
    of black: the game smooths turned and stretched sprites bilinearly, and
    a black clear colour would bleed a dark fringe into their edges.
    """
    surface.flush()
    width, height, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    little = sys.byteorder == "little"
    clear = bytes(int(round(v * 255)) for v in hexcol(matte)) + b"\x00"
    out = bytearray(clear * (width * height))
    o = 0
    for y in range(height):
        base = y * stride
        for x in range(width):
            i = base + x * 4
            if little:
                b, g, r, a = data[i], data[i + 1], data[i + 2], data[i + 3]
            else:
                a, r, g, b = data[i], data[i + 1], data[i + 2], data[i + 3]
            if a:
                t = _UNPREMUL[a]
                out[o] = t[r]
                out[o + 1] = t[g]
                out[o + 2] = t[b]
                out[o + 3] = a
            o += 4
    return bytes(out)


def rgb_over(surface, background=(255, 255, 255)):
    """RGB bytes of a surface composed over a plain colour (for the BMPs)."""
    px = rgba(surface)
    out = bytearray(len(px) // 4 * 3)
    br, bg, bb = background
    o = 0
    for i in range(0, len(px), 4):
        a = px[i + 3]
        if a == 255:
            out[o:o + 3] = px[i:i + 3]
        else:
            out[o] = (px[i] * a + br * (255 - a) + 127) // 255
            out[o + 1] = (px[i + 1] * a + bg * (255 - a) + 127) // 255
            out[o + 2] = (px[i + 2] * a + bb * (255 - a) + 127) // 255
        o += 3
    return bytes(out)


def fill_stroke(ctx, fill, line=OUTLINE, width=LINE, alpha=1.0):
    """Fill the current path with a palette colour, then outline it."""
    ctx.set_source_rgba(*hexcol(fill, alpha))
    if line is None:
        ctx.fill()
        return
    ctx.fill_preserve()
    ctx.set_source_rgba(*hexcol(line, alpha))
    ctx.set_line_width(width)
    ctx.stroke()


def ellipse(ctx, cx, cy, rx, ry):
    """Closed path of an axis-aligned ellipse."""
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(max(rx, 1e-3), max(ry, 1e-3))
    ctx.new_sub_path()
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()


def round_rect(ctx, x, y, w, h, r):
    """Closed path of a rectangle with rounded corners."""
    r = min(r, w / 2, h / 2)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def smooth_closed(ctx, points, tension=1.0):
    """Closed Catmull-Rom curve through the points (as Bezier segments)."""
    n = len(points)
    ctx.move_to(*points[0])
    for i in range(n):
        p0, p1, p2, p3 = points[i - 1], points[i], points[(i + 1) % n], points[(i + 2) % n]
        c1 = (p1[0] + (p2[0] - p0[0]) * tension / 6, p1[1] + (p2[1] - p0[1]) * tension / 6)
        c2 = (p2[0] - (p3[0] - p1[0]) * tension / 6, p2[1] - (p3[1] - p1[1]) * tension / 6)
        ctx.curve_to(c1[0], c1[1], c2[0], c2[1], p2[0], p2[1])
    ctx.close_path()


def lerp(a, b, t):
    return a + (b - a) * t


def ease(t):
    """Smoothstep easing between key poses."""
    t = min(1.0, max(0.0, t))
    return t * t * (3 - 2 * t)


def pose_at(keys, t):
    """Value of a key table [(time, {joint: value}), ...] at time t, eased."""
    if t <= keys[0][0]:
        return dict(keys[0][1])
    for (t0, a), (t1, b) in zip(keys, keys[1:]):
        if t <= t1:
            u = ease((t - t0) / (t1 - t0)) if t1 > t0 else 1.0
            return {k: lerp(a[k], b[k], u) for k in a}
    return dict(keys[-1][1])


def cel(ctx, path_fn, mid, light, dark, shade=(3.0, 3.5), glint=(2.5, 2.5), line=OUTLINE, width=LINE,
        union=False):
    """Cel-shaded part: a flat fill, a dark crescent on the lower right and
    a light one on the upper left (light comes from the upper left), then
    the outline. path_fn(ctx) adds the part's closed path in user space.
    With union set, a path of overlapping pieces gets one outline round
    the whole: a double-width stroke laid first, then covered by the fill.
    """
    if union and line:
        ctx.new_path()
        path_fn(ctx)
        ctx.set_source_rgb(*hexcol(line))
        ctx.set_line_width(2 * width)
        ctx.stroke()
    # Inside the part: dark where the part moved up-left no longer covers
    # (the lower-right rim), light where the part moved down-right no
    # longer covers (the upper-left rim), the flat colour elsewhere. Only
    # clips and nonzero fills, so overlapping pieces behave as one.
    ctx.save()
    ctx.new_path()
    path_fn(ctx)
    ctx.clip()
    ctx.set_source_rgb(*hexcol(dark if dark else mid))
    ctx.paint()
    if dark:
        ctx.translate(-shade[0], -shade[1])
        path_fn(ctx)
        ctx.translate(shade[0], shade[1])
        ctx.clip()
    ctx.set_source_rgb(*hexcol(light if light else mid))
    ctx.paint()
    if light:
        ctx.translate(glint[0], glint[1])
        path_fn(ctx)
        ctx.translate(-glint[0], -glint[1])
        ctx.set_source_rgb(*hexcol(mid))
        ctx.fill()
    ctx.restore()
    if line and not union:
        ctx.new_path()
        path_fn(ctx)
        ctx.set_source_rgb(*hexcol(line))
        ctx.set_line_width(width)
        ctx.stroke()


def limb(ctx, a, b, bend, width, fill, light=None, line=OUTLINE, lw=LINE):
    """A thick rounded limb from a to b, bowed sideways by bend pixels."""
    mx, my = (a[0] + b[0]) / 2.0, (a[1] + b[1]) / 2.0
    dx, dy = b[0] - a[0], b[1] - a[1]
    d = math.hypot(dx, dy) or 1.0
    cx, cy = mx - dy / d * bend, my + dx / d * bend

    def path(c):
        c.move_to(*a)
        c.curve_to(cx, cy, cx, cy, *b)

    ctx.new_path()
    path(ctx)
    ctx.set_source_rgb(*hexcol(line))
    ctx.set_line_width(width + 2 * lw)
    ctx.stroke()
    path(ctx)
    ctx.set_source_rgb(*hexcol(fill))
    ctx.set_line_width(width)
    ctx.stroke()
    if light:
        ctx.save()
        ctx.translate(-width * 0.18, -width * 0.18)
        path(ctx)
        ctx.restore()
        ctx.set_source_rgba(*hexcol(light, 0.75))
        ctx.set_line_width(width * 0.3)
        ctx.stroke()
    return (cx, cy)


def taper_limb(ctx, a, b, bend, w0, w1, mid, light, dark, line=OUTLINE, lw=LINE):
    """A limb from a (width w0) to b (width w1), bowed sideways by bend
    pixels, with rounded ends; cel-shaded like the other parts."""
    mx, my = (a[0] + b[0]) / 2.0, (a[1] + b[1]) / 2.0
    dx, dy = b[0] - a[0], b[1] - a[1]
    d = math.hypot(dx, dy) or 1.0
    cx, cy = mx - dy / d * bend, my + dx / d * bend
    n = 12
    left, right = [], []
    for i in range(n + 1):
        t = i / float(n)
        # Point and tangent of the quadratic curve a -> (cx, cy) -> b.
        px = (1 - t) ** 2 * a[0] + 2 * (1 - t) * t * cx + t * t * b[0]
        py = (1 - t) ** 2 * a[1] + 2 * (1 - t) * t * cy + t * t * b[1]
        tx = 2 * (1 - t) * (cx - a[0]) + 2 * t * (b[0] - cx)
        ty = 2 * (1 - t) * (cy - a[1]) + 2 * t * (b[1] - cy)
        tl = math.hypot(tx, ty) or 1.0
        nx, ny = -ty / tl, tx / tl
        r = (w0 + (w1 - w0) * t) / 2.0
        left.append((px + nx * r, py + ny * r))
        right.append((px - nx * r, py - ny * r))
    a0 = math.atan2(left[0][1] - a[1], left[0][0] - a[0])
    a1 = math.atan2(right[-1][1] - b[1], right[-1][0] - b[0])

    def path(c):
        c.move_to(*left[0])
        for p in left[1:]:
            c.line_to(*p)
        c.arc_negative(b[0], b[1], w1 / 2.0, a1 + math.pi, a1)
        for p in reversed(right):
            c.line_to(*p)
        c.arc_negative(a[0], a[1], w0 / 2.0, a0 + math.pi, a0)
        c.close_path()

    cel(ctx, path, mid, light, dark, shade=(2.5, 2.5), glint=(2.0, 2.0), line=line, width=lw)
