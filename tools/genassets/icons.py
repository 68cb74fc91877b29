"""The desktop icon: the finch on the snow in a rounded square.

One vector drawing on a 256-unit square, rendered as PNGs at the sizes
desktops ask for and written once as a scalable SVG. Small sizes keep the
same shapes with less detail and outlines of at least one pixel, and the
frame of the square lies on whole pixels, so they stay crisp.
"""

import io
import math
import re

import cairo

import canvas as cv
from canvas import hexcol
import formats

SIZES = (16, 24, 32, 48, 64, 128, 256)
UNITS = 256.0

SKY_TOP = "#d4e8fb"
SKY_LOW = "#6faad4"


def _detail(size):
    """0 for the smallest sizes, 1 for the middle ones, 2 for large icons."""
    return 0 if size < 32 else (1 if size < 64 else 2)


def _frame(size):
    """The rounded square in units: left/top, width, radius, outline width."""
    px = UNITS / size
    line_px = max(1, round(size / 50.0))
    inset_px = max(1, round(size / 16.0))
    # The outline's centre on a half pixel for odd widths keeps it sharp.
    edge = (inset_px + line_px / 2.0) * px
    return edge, UNITS - 2 * edge, 46.0, line_px * px


def _outline(size, units_at_256):
    """An outline width in units: as drawn at 256 px, never under a pixel."""
    return max(units_at_256, UNITS / size * (1.0 if size < 48 else 0.9))


def _background(c, size, level):
    edge, width, radius, line = _frame(size)
    cv.round_rect(c, edge, edge, width, width, radius)
    c.save()
    c.clip_preserve()
    sky = cairo.LinearGradient(0, edge, 0, 160)
    sky.add_color_stop_rgb(0, *hexcol(SKY_TOP))
    sky.add_color_stop_rgb(1, *hexcol(SKY_LOW))
    c.set_source(sky)
    c.fill()
    if level >= 1:
        # Far hills over the horizon, a pale band of snow.
        c.move_to(0, 160)
        c.curve_to(50, 128, 100, 130, 140, 148)
        c.curve_to(175, 126, 220, 124, 256, 140)
        c.line_to(256, 256)
        c.line_to(0, 256)
        c.close_path()
        c.set_source_rgb(*hexcol("#d7e8f6"))
        c.fill()
    # The snow field the bird stands on, a soft drift rising to the right.
    c.move_to(0, 178)
    c.curve_to(70, 166, 150, 160, 256, 170)
    c.line_to(256, 256)
    c.line_to(0, 256)
    c.close_path()
    snow = cairo.LinearGradient(0, 160, 0, 240)
    snow.add_color_stop_rgb(0, *hexcol(cv.SNOW))
    snow.add_color_stop_rgb(1, *hexcol(cv.SNOW_SHADE))
    c.set_source(snow)
    c.fill_preserve()
    c.set_source_rgb(*hexcol(cv.SNOW_DEEP))
    c.set_line_width(_outline(size, 3.0) * (0.7 if level else 0.9))
    c.stroke()
    if level >= 2:
        # A few flakes in the sky.
        for x, y, r in ((48, 52, 5.0), (196, 40, 4.0), (222, 96, 5.5), (34, 118, 3.5), (150, 30, 3.0)):
            cv.ellipse(c, x, y, r, r)
            c.set_source_rgba(1, 1, 1, 0.9)
            c.fill()
    if level >= 1:
        # The bird's soft blue-grey shadow on the snow.
        cv.ellipse(c, 136, 206, 70, 10)
        c.set_source_rgba(*hexcol(cv.SHADOW, 0.32))
        c.fill()
    c.restore()
    cv.round_rect(c, edge, edge, width, width, radius)
    c.set_source_rgb(*hexcol(cv.OUTLINE))
    c.set_line_width(line)
    c.stroke()


def _body_path(c):
    c.save()
    c.translate(140, 150)
    c.rotate(math.radians(14))
    c.scale(64, 50)
    c.new_sub_path()
    c.arc(0, 0, 1, 0, 2 * math.pi)
    c.restore()


def _head_path(c):
    cv.ellipse(c, 90, 102, 41, 39)


def _wing_path(c):
    c.move_to(118, 122)
    c.curve_to(150, 104, 196, 118, 222, 160)
    c.curve_to(196, 170, 160, 174, 134, 168)
    c.curve_to(106, 160, 100, 132, 118, 122)
    c.close_path()


def _tail_path(c, k):
    c.save()
    c.translate(188, 160)
    c.rotate(math.radians(-24 + 11 * k))
    c.move_to(0, -10)
    c.curve_to(16, -14, 32, -12, 42, -8)
    c.line_to(44, 8)
    c.curve_to(30, 10, 14, 12, 0, 10)
    c.close_path()
    c.restore()


def _silhouette(c, level):
    """Tail, body and head as one path, for the small icons' single outline."""
    if level:
        _tail_path(c, 1)
    _body_path(c)
    _head_path(c)


def _breast_part(c, path, shade, patches, level, big, line):
    """A part of the bird in the breast's colour (cel-shaded but on the
    smallest icons), with coloured patches (ellipse, colour) clipped to it,
    outlined on the big icons."""
    if level >= 1:
        cv.cel(c, path, cv.BREAST, None, "#a8432a", shade=shade, line=None)
    else:
        path(c)
        c.set_source_rgb(*hexcol(cv.BREAST))
        c.fill()
    c.save()
    path(c)
    c.clip()
    for ellipse, colour in patches:
        cv.ellipse(c, *ellipse)
        if len(colour) == 4:
            c.set_source_rgba(*colour)
        else:
            c.set_source_rgb(*colour)
        c.fill()
    c.restore()
    if big:
        path(c)
        c.set_source_rgb(*hexcol(cv.OUTLINE))
        c.set_line_width(line)
        c.stroke()


def _bird(c, size, level):
    # Scaled about the feet: a little smaller than drawn, and larger again
    # on the smallest icons, where it has to carry the picture alone.
    zoom = 0.94 if level else 1.02
    c.save()
    c.translate(126 if level else 134, 206)
    c.scale(zoom, zoom)
    c.translate(-130, -206)
    line = _outline(size, 5.5) / zoom
    big = level >= 2
    # Feet first: orange legs standing on the drift, edged when large.
    for hip, foot in (((124, 186), (118, 206)), ((150, 188), (154, 207))):
        for width, col in ((line * 2.6, cv.OUTLINE), (line * 1.1, cv.BEAK)) if big else ((line * 1.6, cv.BEAK),):
            c.set_line_width(width)
            c.set_source_rgb(*hexcol(col))
            c.move_to(*hip)
            c.line_to(*foot)
            c.move_to(foot[0] - 13, foot[1] + 1)
            c.line_to(foot[0] + 9, foot[1])
            c.stroke()
    if not big:
        # Small icons: one outline round the whole bird, no inner lines.
        _silhouette(c, level)
        c.set_source_rgb(*hexcol(cv.OUTLINE))
        c.set_line_width(2 * line)
        c.stroke()
    # Tail feathers behind the body (none where there is no room).
    for k in (0, 1, 2) if big else ((1,) if level else ()):
        _tail_path(c, k)
        cv.fill_stroke(c, cv.WING if k == 1 else cv.WING_DARK, cv.OUTLINE if big else None, line)
    # Body: rust breast, the brown back over its upper rear.
    patches = [((176, 110, 70, 44), hexcol(cv.WING))]
    if level >= 1:
        patches.append(((110, 168, 30, 18), hexcol(cv.BELLY_LIGHT, 0.9)))
    _breast_part(c, _body_path, (9, 10), patches, level, big, line)
    # The folded wing over the body's side.
    if big:
        cv.cel(c, _wing_path, cv.WING, "#9a7048", cv.WING_DARK, shade=(0, 8), glint=(0, 6), width=line)
        c.set_source_rgb(*hexcol(cv.WING_DARK))
        c.set_line_width(line * 0.7)
        for x0, y0, x1, y1 in ((176, 128, 168, 166), (198, 140, 190, 166)):
            c.move_to(x0, y0)
            c.line_to(x1, y1)
            c.stroke()
    else:
        _wing_path(c)
        cv.fill_stroke(c, cv.WING_DARK, cv.OUTLINE if level else None, line * 0.8)
    # Head: breast colour, a brown cap over crown and nape.
    _breast_part(c, _head_path, (7, 7), [((116, 64, 48, 26), hexcol(cv.WING))], level, big, line)
    # Beak, pointing left and a little up; on small icons a bigger one
    # without its outline, which would swallow the yellow.
    if big:
        c.move_to(56, 94)
        c.line_to(26, 106)
        c.line_to(58, 118)
        c.close_path()
        cv.fill_stroke(c, cv.BEAK, cv.OUTLINE, line * 0.85)
    else:
        tip = 22 if level else 34
        c.move_to(58, 90)
        c.line_to(tip, 106)
        c.line_to(60, 122)
        c.close_path()
        c.set_source_rgb(*hexcol(cv.BEAK))
        c.fill()
    # Eye with its glint (only a dark dot on the smallest icons).
    eye = (80, 98, 9.5, 11.0) if level >= 1 else (80, 98, 13.0, 15.0)
    cv.ellipse(c, *eye)
    c.set_source_rgb(*hexcol(cv.EYE))
    c.fill()
    if level >= 1:
        g = max(3.4, UNITS / size * 0.5)
        cv.ellipse(c, eye[0] - 3.0, eye[1] - 4.0, g, g)
        c.set_source_rgb(1, 1, 1)
        c.fill()
    c.restore()


def draw(c, size):
    """The icon on a 256-unit square; size picks the detail and line widths."""
    level = _detail(size)
    c.set_line_join(cairo.LINE_JOIN_ROUND)
    c.set_line_cap(cairo.LINE_CAP_ROUND)
    _background(c, size, level)
    _bird(c, size, level)


def png(size):
    """The icon as an RGBA PNG of size x size pixels."""
    s, c = cv.new(size, size)
    c.scale(size / UNITS, size / UNITS)
    draw(c, size)
    return formats.png_rgba(size, size, cv.rgba(s))


def svg():
    """The scalable icon: cairo's SVG with its ids numbered in order of
    appearance, so the file is the same on every run."""
    buf = io.BytesIO()
    s = cairo.SVGSurface(buf, UNITS, UNITS)
    s.restrict_to_version(cairo.SVG_VERSION_1_1)
    s.set_document_unit(cairo.SVG_UNIT_PX)
    c = cairo.Context(s)
    c.set_antialias(cairo.ANTIALIAS_BEST)
    draw(c, 256)
    s.finish()
    text = buf.getvalue().decode("utf-8")
    names = {}
    for m in re.finditer(r'id="([A-Za-z_-]+)(\d+)"', text):
        key = m.group(1) + m.group(2)
        if key not in names:
            count = sum(1 for n in names if n.rstrip("0123456789") == m.group(1))
            names[key] = "%s%d" % (m.group(1), count + 1)
    text = re.sub(r'(id="|#)([A-Za-z_-]+\d+)\b', lambda m: m.group(1) + names.get(m.group(2), m.group(2)), text)
    return text.encode("utf-8")


def all_files():
    """(relative path under icons/hicolor, bytes) for every size and the SVG."""
    out = [("%dx%d/apps/snowpunt.png" % (n, n), png(n)) for n in SIZES]
    out.append(("scalable/apps/snowpunt.svg", svg()))
    return out
