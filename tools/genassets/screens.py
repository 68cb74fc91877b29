"""The credits screen and the title picture."""

import math

import cairo

import bird
import canvas as cv
from canvas import hexcol
import grumm
import lettering
import scenery
from sounds import Noise


def _words(c, text, cx, y, size, colour, outline=cv.OUTLINE, spacing=2.6, slant=0.0, widen=1.0, shadow=None,
           weight=1.0):
    """Painted lettering centred on cx: shadow, dark outline, colour."""
    w = lettering.text_width(text, spacing) * size / 12.0 * widen
    x = cx - w / 2.0
    layers = []
    if shadow:
        layers.append((size * 0.34 * weight, shadow, size * 0.05, size * 0.07))
    layers += [(size * 0.34 * weight, outline, 0, 0), (size * 0.17 * weight, colour, 0, 0)]
    for width, col, dx, dy in layers:
        c.set_line_width(width)
        lettering.text_path(c, text, x + dx, y + dy, size, spacing, slant, widen)
        c.set_source_rgba(*hexcol(col[:7], 1.0 if len(col) == 7 else int(col[7:], 16) / 255.0))
        c.stroke()
    return w


def _flakes(c, seed, count, top, bottom, alpha=0.85):
    noise = Noise(seed)
    for _ in range(count):
        x = (noise.next() + 1) * 320
        y = top + (noise.next() + 1) / 2 * (bottom - top)
        r = 1.0 + (noise.next() + 1) * 1.1
        cv.ellipse(c, x, y, r, r)
        c.set_source_rgba(1, 1, 1, alpha * (0.5 + 0.25 * (noise.next() + 1)))
        c.fill()


def _hills(c, horizon):
    """Soft rolling snow hills over the horizon and a foreground drift."""
    c.move_to(0, horizon + 4)
    c.curve_to(90, horizon - 30, 180, horizon - 26, 260, horizon - 6)
    c.curve_to(330, horizon - 34, 470, horizon - 40, 640, horizon - 8)
    c.line_to(640, horizon + 12)
    c.line_to(0, horizon + 12)
    c.close_path()
    c.set_source_rgb(*hexcol("#d7e8f6"))
    c.fill_preserve()
    c.set_source_rgba(*hexcol(cv.SNOW_DEEP, 0.9))
    c.set_line_width(1.5)
    c.stroke()


def _scene_base(c, dark=False):
    scenery.paint_background(c)
    if dark:
        # Dusk: the same rows under a deep blue veil, darker towards the top.
        g = cairo.LinearGradient(0, 0, 0, 480)
        g.add_color_stop_rgba(0, *hexcol("#142340", 0.92))
        g.add_color_stop_rgba(0.6, *hexcol("#1f3a63", 0.55))
        g.add_color_stop_rgba(1, *hexcol("#1f3a63", 0.25))
        c.set_source(g)
        c.paint()
    _hills(c, 297)


def _grumm_at(c, frame, x, y, scale):
    """The grumm's strip frame drawn large, its frame's top-left at (x, y)."""
    c.save()
    c.translate(x, y)
    c.scale(scale, scale)
    grumm.draw(c, frame)
    c.restore()


def _bird_at(c, pose, x, y, scale, angle=0.0):
    """The bird in a pose, the pose's frame origin mapped to (x, y)."""
    c.save()
    c.translate(x, y)
    c.rotate(math.radians(angle))
    c.scale(scale, scale)
    bird.draw(c, pose)
    c.restore()


def _ground_shadow(c, cx, cy, rx, ry):
    cv.ellipse(c, cx, cy, rx, ry)
    c.set_source_rgba(*hexcol(cv.SHADOW, 0.3))
    c.fill()


def promo():
    s, c = cv.new(640, 480)
    _scene_base(c, dark=True)
    _flakes(c, 0x5EED, 90, 0, 470, 0.7)
    _words(c, "GRUMM & FINCH STUDIO", 320, 70, 34, cv.SNOW, shadow="#0d1a30", spacing=3.0, weight=0.9)
    _words(c, "PRESENTS", 320, 128, 18, "#f0b429", spacing=3.6, weight=0.9)
    # The two founders: the grumm at rest, and the finch on its head.
    _ground_shadow(c, 330, 452, 120, 12)
    _grumm_at(c, 0, 330 - 90 * 2.1, 458 - 130 * 2.1, 2.1)
    perch = bird.P(x=24.0, y=53.0, yaw=0.0, hy=-9.0, htilt=-4)
    _bird_at(c, perch, 303 - 24 * 2.0, 224 - 71 * 2.0 + 8, 2.0)
    return cv.rgb_over(s)


def title():
    s, c = cv.new(640, 480)
    _scene_base(c)
    _flakes(c, 0x71713, 60, 0, 300, 0.9)
    _words(c, "SNOWPUNT", 320, 34, 74, cv.SNOW, shadow="#26303c80", spacing=2.4, slant=0.12, weight=1.05)
    # A band of red under the name, like a painted stripe.
    _words(c, "SNOWPUNT", 320, 34, 74, cv.CAPTION_RED, outline="#00000000", spacing=2.4, slant=0.12, weight=0.62)
    _ground_shadow(c, 470, 456, 150, 14)
    _grumm_at(c, 5, 470 - 90 * 2.3, 462 - 130 * 2.3, 2.3)
    # The finch flying off to the left, climbing.
    flying = dict(bird.GLIDE, wing=-70, wopen=0.9, wlen=1.05, far=1.0)
    _bird_at(c, flying, 120, 190, 3.0, angle=-18)
    _ground_shadow(c, 200, 440, 40, 6)
    return cv.rgb_over(s)
