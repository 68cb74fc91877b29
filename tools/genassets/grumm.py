"""The grumm and its club."""

import math

import canvas as cv


def _frame(i):
    s, c = cv.new(180, 134)
    cv.ellipse(c, 90, 80, 40, 50)
    cv.fill_stroke(c, cv.FUR_MID)
    c.save()
    c.translate(110, 70)
    c.rotate(-math.pi / 2 + i * 0.21)
    c.rectangle(0, -4, 60, 8)
    cv.fill_stroke(c, cv.CLUB)
    c.restore()
    return cv.rgba(s)


def frames():
    return [_frame(i) for i in range(31)]
