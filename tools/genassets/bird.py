"""The snow finch: standing, diving, flying, stuck and looking."""

import math

import canvas as cv


def _simple(w, h, cx, cy, angle, phase):
    s, c = cv.new(w, h)
    c.translate(cx, cy)
    c.rotate(angle)
    cv.ellipse(c, 0, 0, 10, 7)
    cv.fill_stroke(c, cv.BREAST, width=cv.LINE_THIN)
    cv.ellipse(c, -9, -5, 5, 5)
    cv.fill_stroke(c, cv.WING, width=cv.LINE_THIN)
    c.move_to(2, -2)
    c.line_to(10 * math.cos(phase), -2 - 8 * math.sin(phase))
    c.set_line_width(3)
    c.stroke()
    return cv.rgba(s)


def prepjump_frames():
    return [_simple(48, 72, 24, 58 - (i % 3), -i * 0.05, i * 0.4) for i in range(33)]


def fly_frames():
    return [_simple(72, 36, 36, 26, 0, i * 0.6) for i in range(21)]


def stick_frames():
    return [_simple(36, 48, 18, 30, math.pi / 2, i * 0.9) for i in range(6)]


def look_frames():
    return [_simple(67, 29, 33, 18, 0, i * 0.7) for i in range(6)]
