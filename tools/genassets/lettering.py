"""A small single-stroke alphabet, painted with round brushes.

Glyphs live in a box 12 units high (y down, 0 at the cap line, 12 on the
baseline) and are paths only: the caller strokes them, usually twice (a wide
dark outline, then the colour), which gives painted, outlined lettering that
looks the same on every machine because no system font is involved.
"""

import math

import cairo


def _earc(ctx, cx, cy, rx, ry, a0, a1, first=False):
    """Elliptical arc as a fine polyline; angles in radians, y down."""
    steps = max(6, int(abs(a1 - a0) / (math.pi / 24)) + 1)
    for i in range(steps + 1):
        a = a0 + (a1 - a0) * i / steps
        x, y = cx + rx * math.cos(a), cy + ry * math.sin(a)
        if i == 0 and first:
            ctx.move_to(x, y)
        else:
            ctx.line_to(x, y)


def _poly(ctx, *pts):
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)


PI = math.pi


def _g0(c):
    _earc(c, 3, 6, 3, 6, 0, 2 * PI, first=True)
    c.close_path()


def _g1(c):
    _poly(c, (0.9, 2.6), (3.4, 0), (3.4, 12))


def _g2(c):
    _earc(c, 3, 3.1, 3, 3.1, PI * 1.08, PI * 2.2, first=True)
    c.curve_to(5.2, 6.8, 1.5, 9.0, 0, 12)
    c.line_to(6, 12)


def _g3(c):
    _earc(c, 3, 3, 2.8, 3, PI * 1.1, PI * 2.5, first=True)
    _earc(c, 3, 9, 3, 3, -PI / 2, PI * 0.92)


def _g4(c):
    _poly(c, (4.6, 12), (4.6, 0), (0, 8.2), (6.2, 8.2))


def _g5(c):
    _poly(c, (5.7, 0), (1.0, 0), (0.6, 5.6))
    _earc(c, 3, 8.6, 3.1, 3.4, -PI * 0.78, PI * 0.85)


def _g6(c):
    c.move_to(5.3, 0.5)
    c.curve_to(2.2, -0.4, 0.0, 2.6, 0.0, 8.6)
    _earc(c, 3, 8.8, 3, 3.2, PI, 3 * PI)


def _g7(c):
    _poly(c, (0, 0), (6, 0), (2.2, 12))


def _g8(c):
    _earc(c, 3, 2.95, 2.6, 2.95, PI / 2, PI / 2 + 2 * PI, first=True)
    c.close_path()
    _earc(c, 3, 9.0, 3.0, 3.0, -PI / 2, -PI / 2 + 2 * PI, first=True)
    c.close_path()


def _g9(c):
    _earc(c, 3, 3.2, 3, 3.2, 0, 2 * PI, first=True)
    c.curve_to(6.0, 9.4, 3.8, 12.4, 0.7, 11.5)


def _dot(c, x, y):
    # A dot is a zero-length stroke: the round cap makes it a disc.
    c.move_to(x, y)
    c.line_to(x, y)


def _gpoint(c):
    _dot(c, 1, 11.4)


def _gcolon(c):
    _dot(c, 1, 3.8)
    _dot(c, 1, 10.8)


def _gA(c):
    _poly(c, (0, 12), (3.5, 0), (7, 12))
    _poly(c, (1.3, 7.9), (5.7, 7.9))


def _gC(c):
    _earc(c, 3.6, 6, 3.6, 6, -0.72, -2 * PI + 0.72, first=True)


def _gD(c):
    _poly(c, (0, 0), (0, 12), (1.8, 12))
    _earc(c, 1.8, 6, 4.4, 6, PI / 2, -PI / 2)
    c.close_path()


def _gE(c):
    _poly(c, (5, 0), (0, 0), (0, 12), (5, 12))
    _poly(c, (0, 5.8), (4.2, 5.8))


def _gF(c):
    _poly(c, (5, 0), (0, 0), (0, 12))
    _poly(c, (0, 5.8), (4.2, 5.8))


def _gG(c):
    _earc(c, 3.8, 6, 3.8, 6, -0.75, -2 * PI + 0.3, first=True)
    c.line_to(7.4, 6.6)
    c.line_to(4.4, 6.6)


def _gH(c):
    _poly(c, (0, 0), (0, 12))
    _poly(c, (6, 0), (6, 12))
    _poly(c, (0, 6), (6, 6))


def _gI(c):
    _poly(c, (0, 0), (0, 12))


def _gM(c):
    _poly(c, (0, 12), (0.4, 0), (4.2, 8.4), (8.0, 0), (8.4, 12))


def _gN(c):
    _poly(c, (0, 12), (0, 0), (6.2, 12), (6.2, 0))


def _gO(c):
    _earc(c, 3.8, 6, 3.8, 6, 0, 2 * PI, first=True)
    c.close_path()


def _gP(c):
    _poly(c, (0, 12), (0, 0), (2.4, 0))
    _earc(c, 2.4, 3.3, 3.2, 3.3, -PI / 2, PI / 2)
    c.line_to(0, 6.6)


def _gR(c):
    _gP(c)
    _poly(c, (2.2, 6.6), (5.8, 12))


def _gS(c):
    _earc(c, 3, 3, 2.8, 3, -0.45, -PI * 1.5, first=True)
    _earc(c, 3, 9, 3.1, 3, -PI / 2, PI * 0.88)


def _gT(c):
    _poly(c, (0, 0), (6.4, 0))
    _poly(c, (3.2, 0), (3.2, 12))


def _gU(c):
    _poly(c, (0, 0), (0, 8.6))
    _earc(c, 3.1, 8.8, 3.1, 3.2, PI, 0)
    c.line_to(6.2, 0)


def _gW(c):
    _poly(c, (0, 0), (2.3, 12), (4.6, 2.6), (6.9, 12), (9.2, 0))


def _gamp(c):
    c.move_to(7.2, 12)
    c.line_to(1.9, 4.9)
    _earc(c, 3.2, 2.6, 2.0, 2.5, PI * 0.72, PI * 2.3)
    c.line_to(1.2, 8.0)
    _earc(c, 3.2, 9.4, 2.7, 2.6, PI * 1.1, PI * 2.2)
    c.line_to(7.2, 6.6)


# Each glyph: (advance width without spacing, drawing function).
GLYPHS = {
    "0": (6, _g0), "1": (6, _g1), "2": (6, _g2), "3": (6, _g3), "4": (6, _g4),
    "5": (6, _g5), "6": (6, _g6), "7": (6, _g7), "8": (6, _g8), "9": (6, _g9),
    ".": (2, _gpoint), ":": (2, _gcolon), "&": (7.2, _gamp),
    "A": (7, _gA), "C": (7, _gC), "D": (6.2, _gD), "E": (5, _gE), "F": (5, _gF),
    "G": (7.6, _gG), "H": (6, _gH), "I": (0, _gI), "M": (8.4, _gM), "N": (6.2, _gN),
    "O": (7.6, _gO), "P": (5.6, _gP), "R": (5.8, _gR), "S": (6, _gS), "T": (6.4, _gT),
    "U": (6.2, _gU), "W": (9.2, _gW),
}

SPACE = 4.0


def text_width(text, spacing=2.6):
    """Width in glyph units of a line of text, without the trailing gap."""
    w = 0.0
    for i, ch in enumerate(text):
        w += SPACE if ch == " " else GLYPHS[ch][0]
        if i < len(text) - 1:
            w += spacing
    return w


def text_path(ctx, text, x, y, size, spacing=2.6, slant=0.0, widen=1.0):
    """Adds the strokes of text to ctx: top-left at (x, y), cap height size.

    widen stretches the glyphs sideways. Returns the width in pixels. Only
    paths are added; stroke them after.
    """
    s = size / 12.0
    pen = 0.0
    for i, ch in enumerate(text):
        if ch == " ":
            pen += SPACE
        else:
            adv, draw = GLYPHS[ch]
            ctx.save()
            ctx.translate(x + pen * s * widen, y)
            ctx.transform(cairo.Matrix(1, 0, -slant, 1, slant * size, 0))
            ctx.scale(s * widen, s)
            draw(ctx)
            ctx.restore()
            pen += adv
        if i < len(text) - 1:
            pen += spacing
    return pen * s * widen


def glyph_path(ctx, ch, x, y, width, height):
    """One glyph scaled into the box (x, y, width, height), for the digits."""
    adv, draw = GLYPHS[ch]
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(width / max(adv, 1e-6) if adv else 1.0, height / 12.0)
    draw(ctx)
    ctx.restore()
