"""The credits screen, the title picture and the desktop icon."""

import canvas as cv
from canvas import hexcol
import formats
import lettering
import scenery


def _words(c, text, y, size, colour):
    w = lettering.text_width(text) * size / 12.0
    for width, col in ((size * 0.32, cv.OUTLINE), (size * 0.17, colour)):
        c.set_line_width(width)
        lettering.text_path(c, text, (640 - w) / 2, y, size)
        c.set_source_rgb(*hexcol(col))
        c.stroke()


def promo():
    s, c = cv.new(640, 480)
    scenery.paint_background(c)
    _words(c, "GRUMM & FINCH STUDIO", 200, 28, cv.SNOW)
    return cv.rgb_over(s)


def title():
    s, c = cv.new(640, 480)
    scenery.paint_background(c)
    _words(c, "SNOWPUNT", 120, 60, cv.CAPTION_RED)
    return cv.rgb_over(s)


def icon():
    s, c = cv.new(32, 32)
    cv.ellipse(c, 16, 16, 13, 10)
    cv.fill_stroke(c, cv.BREAST)
    px = cv.rgba(s)
    return quantised_png(32, 32, px)


def quantised_png(w, h, px):
    """Palette PNG of RGBA pixels: exact colours while they fit in 256."""
    colours = {}
    indices = bytearray()
    for i in range(0, len(px), 4):
        key = tuple(px[i:i + 4])
        if key[3] == 0:
            key = (0, 0, 0, 0)
        if key not in colours:
            colours[key] = len(colours)
        indices.append(colours[key])
    assert len(colours) <= 256
    palette = [(0, 0, 0)] * 256
    alphas = [255] * 256
    for key, idx in colours.items():
        palette[idx] = key[:3]
        alphas[idx] = key[3]
    return formats.png_palette(w, h, palette, alphas, bytes(indices))
