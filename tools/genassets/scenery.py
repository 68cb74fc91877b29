"""The background, the props of the start area, shadows and the digit fonts."""

import cairo

import canvas as cv
from canvas import hexcol
import lettering

# Background rows: sky from row 0 to 294, horizon 295 to 297, snow 297 on.
SKY_TOP = (227, 240, 255)
SKY_HORIZON = (51, 137, 182)
SNOW_FAR = (200, 223, 240)
SNOW_NEAR = (255, 255, 255)
SKY_LAST_ROW = 294
SNOW_FIRST_ROW = 297
LAST_ROW = 479


def _mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def background_row(row):
    """The one colour of a background row (RGB), counted from the top.

    Sky and snow are straight linear blends between their end colours. The
    two horizon rows between the deepest sky and the farthest snow step
    evenly from one to the other (a third and two thirds of the way), so the
    horizon reads as a soft line instead of a hard seam.
    """
    if row <= SKY_LAST_ROW:
        return _mix(SKY_TOP, SKY_HORIZON, row / SKY_LAST_ROW)
    if row < SNOW_FIRST_ROW:
        return _mix(SKY_HORIZON, SNOW_FAR, (row - SKY_LAST_ROW) / (SNOW_FIRST_ROW - SKY_LAST_ROW))
    return _mix(SNOW_FAR, SNOW_NEAR, (row - SNOW_FIRST_ROW) / (LAST_ROW - SNOW_FIRST_ROW))


def background():
    out = bytearray()
    for row in range(480):
        out += bytes(background_row(row)) * 640
    return bytes(out)


def paint_background(ctx):
    """Paints the background rows into a 640 x 480 cairo context."""
    for row in range(480):
        ctx.set_source_rgb(*(c / 255.0 for c in background_row(row)))
        ctx.rectangle(0, row, 640, 1)
        ctx.fill()


def soft_shadow(width, height, path_fn, alpha=0.38, blur=2):
    """A shadow surface: the path filled with the shadow colour, blurred.

    The blur spreads copies of the shape over a small square of offsets
    (a box blur done by cairo), which keeps the edges soft without noise.
    """
    mask, mctx = cv.new(width, height)
    mctx.set_source_rgba(*hexcol(cv.SHADOW, 1.0))
    path_fn(mctx)
    mctx.fill()
    n = (2 * blur + 1) ** 2
    # Copies added together (OVER would compound their alpha).
    out2, o2 = cv.new(width, height)
    o2.set_operator(cairo.OPERATOR_ADD)
    for dy in range(-blur, blur + 1):
        for dx in range(-blur, blur + 1):
            o2.set_source_surface(mask, dx, dy)
            o2.paint_with_alpha(alpha / n)
    return out2


# ---------------------------------------------------------------- ice block

ICE_W, ICE_H = 175, 414
# The block's front face, its top face (seen a little from above) and its
# right side. The top face's middle is row 68, under the bird's feet.
ICE_FRONT_L, ICE_FRONT_R = 20, 140
ICE_TOP_FRONT, ICE_TOP_BACK = 76, 58
ICE_DEPTH_X = 18
ICE_FOOT = 405


def _ice_shadow_path(c):
    # Falls to the right on the snow and tapers off inside the image.
    c.move_to(ICE_FRONT_R - 6, ICE_FOOT + 1)
    c.line_to(ICE_FRONT_R + ICE_DEPTH_X, ICE_FOOT - 14)
    c.curve_to(ICE_W - 8, ICE_FOOT - 12, ICE_W - 5, ICE_FOOT - 6, ICE_W - 6, ICE_FOOT)
    c.curve_to(ICE_W - 8, ICE_FOOT + 5, ICE_W - 30, ICE_FOOT + 6, ICE_FRONT_L + 60, ICE_FOOT + 6)
    c.close_path()


def ice_frames():
    s, c = cv.new(ICE_W, ICE_H)
    c.set_source_surface(soft_shadow(ICE_W, ICE_H, _ice_shadow_path, 0.4, 3), 0, 0)
    c.paint()
    L, R, TF, TB, D, F = ICE_FRONT_L, ICE_FRONT_R, ICE_TOP_FRONT, ICE_TOP_BACK, ICE_DEPTH_X, ICE_FOOT
    # Right side face, in the shade.
    c.move_to(R, TF)
    c.line_to(R + D, TB)
    c.line_to(R + D, F - 16)
    c.line_to(R, F)
    c.close_path()
    g = cairo.LinearGradient(0, TB, 0, F)
    g.add_color_stop_rgb(0, *hexcol(cv.ICE_MID))
    g.add_color_stop_rgb(1, *hexcol(cv.ICE_DARK))
    c.set_source(g)
    c.fill_preserve()
    c.set_source_rgb(*hexcol(cv.ICE_EDGE))
    c.set_line_width(cv.LINE)
    c.stroke()
    # Front face: light at the upper left, deeper towards the foot.
    cv.round_rect(c, L, TF - 2, R - L, F - TF + 2, 4)
    g = cairo.LinearGradient(L, TF, R, F)
    g.add_color_stop_rgb(0, *hexcol(cv.ICE_LIGHT))
    g.add_color_stop_rgb(0.55, *hexcol(cv.ICE_MID))
    g.add_color_stop_rgb(1, *hexcol(cv.ICE_DARK))
    c.set_source(g)
    c.fill_preserve()
    c.set_source_rgb(*hexcol(cv.ICE_EDGE))
    c.set_line_width(cv.LINE)
    c.stroke()
    # Long highlights on the front face.
    c.set_source_rgba(1, 1, 1, 0.55)
    for x0, y0, length, w in ((L + 14, TF + 20, 140, 5), (L + 26, TF + 40, 90, 3),
                              (L + 18, TF + 190, 60, 3)):
        c.set_line_width(w)
        c.move_to(x0, y0)
        c.line_to(x0 + length * 0.18, y0 + length)
        c.stroke()
    # A bevel of light just inside the front face's left and top edges,
    # and a few air bubbles caught in the ice.
    c.set_source_rgba(1, 1, 1, 0.6)
    c.set_line_width(2.0)
    c.move_to(L + 4, F - 8)
    c.line_to(L + 4, TF + 4)
    c.line_to(R - 6, TF + 4)
    c.stroke()
    c.set_source_rgba(*hexcol(cv.ICE_EDGE, 0.35))
    c.set_line_width(3.0)
    c.move_to(R - 3, TF + 6)
    c.line_to(R - 3, F - 4)
    c.stroke()
    for bx, by, br in ((L + 60, TF + 130, 2.2), (L + 66, TF + 142, 1.4), (L + 52, TF + 150, 1.1), (L + 96, F - 70, 2.0),
                       (L + 88, F - 58, 1.2), (L + 34, TF + 260, 1.6), (L + 104, TF + 40, 1.3)):
        cv.ellipse(c, bx, by, br, br)
        c.set_source_rgba(1, 1, 1, 0.55)
        c.fill_preserve()
        c.set_source_rgba(*hexcol(cv.ICE_EDGE, 0.5))
        c.set_line_width(0.7)
        c.stroke()
    # Fine cracks.
    c.set_source_rgba(*hexcol(cv.ICE_EDGE, 0.7))
    c.set_line_width(1.0)
    for pts in (((L + 80, TF + 60), (L + 92, TF + 92), (L + 86, TF + 120), (L + 98, TF + 150)),
                ((L + 30, F - 120), (L + 44, F - 96), (L + 40, F - 70)),
                ((R - 10, TF + 220), (R - 26, TF + 240), (R - 22, TF + 262))):
        c.move_to(*pts[0])
        for p in pts[1:]:
            c.line_to(*p)
        c.stroke()
    # Top face with its cap of snow, on which the bird stands.
    c.move_to(L, TF)
    c.line_to(R, TF)
    c.line_to(R + D, TB)
    c.line_to(L + D, TB)
    c.close_path()
    cv.fill_stroke(c, cv.ICE_LIGHT, cv.ICE_EDGE)
    cv.smooth_closed(c, [(L - 2, TF + 1), (L + 6, TF - 9), (L + 30, TB - 2), (R + D - 4, TB - 3), (R + D + 2, TB + 6),
                         (R + 3, TF + 2), (R - 20, TF + 6), (R - 40, TF + 3), (L + 34, TF + 8), (L + 10, TF + 6)])
    cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, cv.LINE_THIN)
    cv.ellipse(c, L + 60, TF - 3, 34, 3)
    c.set_source_rgba(*hexcol(cv.SNOW_SHADE, 0.8))
    c.fill()
    # Snow drifted against the foot.
    cv.smooth_closed(c, [(L - 10, F + 6), (L + 6, F - 8), (L + 40, F - 4), (R - 10, F - 6), (R + 12, F + 2),
                         (R + 20, F + 8), (L + 50, F + 9)])
    cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, cv.LINE_THIN)
    return [cv.rgba(s)]


# ---------------------------------------------------------------- rock

def rock_frames():
    s, c = cv.new(144, 96)
    c.set_source_surface(soft_shadow(144, 96, lambda m: cv.ellipse(m, 80, 90, 66, 6), 0.35, 2), 0, 0)
    c.paint()
    body = [(6, 92), (4, 66), (14, 36), (36, 20), (70, 14), (104, 18), (128, 32), (140, 58), (139, 92)]
    cv.smooth_closed(c, body, 0.8)
    g = cairo.LinearGradient(10, 14, 130, 96)
    g.add_color_stop_rgb(0, *hexcol(cv.ROCK_LIGHT))
    g.add_color_stop_rgb(0.6, *hexcol(cv.ROCK_MID))
    g.add_color_stop_rgb(1, *hexcol(cv.ROCK_DARK))
    c.set_source(g)
    c.fill_preserve()
    c.set_source_rgb(*hexcol(cv.OUTLINE))
    c.set_line_width(cv.LINE)
    c.stroke()
    # Snow cap.
    cv.smooth_closed(c, [(10, 44), (18, 28), (40, 14), (72, 9), (106, 13), (128, 28), (134, 40), (118, 38),
                         (104, 44), (90, 36), (70, 40), (52, 34), (34, 42), (20, 40)], 0.9)
    cv.fill_stroke(c, cv.SNOW, cv.OUTLINE, cv.LINE_THIN)
    # The game's name, painted on.
    size, widen, spacing = 15, 1.0, 2.2
    w = lettering.text_width("SNOWPUNT", spacing) * size / 12.0 * widen
    x0 = (144 - w) / 2 - 2
    c.set_line_width(3.0)
    lettering.text_path(c, "SNOWPUNT", x0 + 1, 55 + 1, size, spacing, slant=0.12, widen=widen)
    c.set_source_rgba(*hexcol(cv.ROCK_DARK, 0.8))
    c.stroke()
    lettering.text_path(c, "SNOWPUNT", x0, 55, size, spacing, slant=0.12, widen=widen)
    c.set_source_rgb(*hexcol(cv.CAPTION_RED))
    c.stroke()
    return [cv.rgba(s)]


# ---------------------------------------------------------------- firs

def _fir_tier(c, cx, y0, y1, hw):
    """One tier of branches: a curved cone with a scalloped skirt, green in
    light and shade, with snow lying along its upper edges."""
    def tier(cc):
        cc.move_to(cx, y0)
        cc.curve_to(cx + hw * 0.3, y0 + (y1 - y0) * 0.45, cx + hw * 0.7, y1 - (y1 - y0) * 0.2, cx + hw, y1)
        bumps = 4
        for k in range(bumps):
            xa = cx + hw - 2 * hw * (k + 1) / bumps
            xm = (cx + hw - 2 * hw * k / bumps + xa) / 2.0
            cc.curve_to(xm + hw * 0.1, y1 - 3.5, xm - hw * 0.1, y1 - 3.5, xa, y1)
        cc.curve_to(cx - hw * 0.7, y1 - (y1 - y0) * 0.2, cx - hw * 0.3, y0 + (y1 - y0) * 0.45, cx, y0)
        cc.close_path()

    cv.cel(c, tier, cv.FIR_MID, cv.FIR_LIGHT, cv.FIR_DARK, shade=(-hw * 0.45, -1.0), glint=(hw * 0.3, 1.0),
           width=cv.LINE_THIN)
    # Snow along the upper edges: a lumpy band that thins towards the tips.
    d = y1 - y0

    def snow(cc):
        cc.move_to(cx, y0 - 0.6)
        cc.curve_to(cx + hw * 0.28, y0 + d * 0.42, cx + hw * 0.62, y1 - d * 0.24, cx + hw * 0.96, y1 - 0.8)
        cc.curve_to(cx + hw * 0.7, y1 - d * 0.1, cx + hw * 0.55, y1 - d * 0.28, cx + hw * 0.35, y0 + d * 0.62)
        cc.curve_to(cx + hw * 0.2, y0 + d * 0.72, cx + hw * 0.05, y0 + d * 0.5, cx - hw * 0.08, y0 + d * 0.62)
        cc.curve_to(cx - hw * 0.3, y0 + d * 0.76, cx - hw * 0.5, y0 + d * 0.55, cx - hw * 0.62, y1 - d * 0.18)
        cc.curve_to(cx - hw * 0.75, y1 - d * 0.05, cx - hw * 0.9, y1 - d * 0.1, cx - hw * 0.97, y1 - 0.8)
        cc.curve_to(cx - hw * 0.62, y1 - d * 0.24, cx - hw * 0.28, y0 + d * 0.42, cx, y0 - 0.6)
        cc.close_path()

    cv.cel(c, snow, cv.SNOW, None, cv.SNOW_SHADE, shade=(-1.5, -1.5), line=cv.SNOW_DEEP, width=0.7)


def _fir(c, w, h, tiers):
    cx = w / 2.0
    ground = h - 3.0
    # Trunk and the snow heaped round its foot, on the image's bottom rows.
    c.rectangle(cx - 4, h - 22, 8, 20)
    cv.fill_stroke(c, cv.BARK, cv.OUTLINE, cv.LINE_THIN)
    top = 2.5
    bottom = h - 14.0
    span = bottom - top
    spec = []
    for i in range(tiers):
        y0 = top + span * (i / float(tiers)) ** 1.1 * 0.86
        y1 = top + span * ((i + 1) / float(tiers)) ** 0.95
        hw = (w / 2.0 - 2.5) * (0.38 + 0.62 * (i + 1) / float(tiers))
        spec.append((y0, y1, hw))
    # Lower tiers first, so each tier's skirt hangs over the one below.
    for y0, y1, hw in reversed(spec):
        _fir_tier(c, cx, y0, y1, hw)
    cv.smooth_closed(c, [(cx - w * 0.36, ground + 2), (cx - w * 0.2, ground - 3), (cx, ground - 4.5),
                         (cx + w * 0.22, ground - 3), (cx + w * 0.38, ground + 2)], 0.8)
    cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, 0.8)


def tree_frames():
    s, c = cv.new(94, 166)
    _fir(c, 94, 166, 5)
    return [cv.rgba(s)]


def stree_frames():
    s, c = cv.new(59, 104)
    _fir(c, 59, 104, 4)
    return [cv.rgba(s)]


# ---------------------------------------------------------------- signs

SIGN_W, SIGN_H = 145, 78
SIGN_FACE = (8, 12, 137, 52)  # left, top, right, bottom of the board face
SIGN_POSTS = (30, 115)


def _snow_cap(c, x0, x1, y, depth):
    w = x1 - x0
    cv.smooth_closed(c, [(x0 - 2, y + 2), (x0 + 2, y - depth * 0.6), (x0 + w * 0.25, y - depth),
                         (x0 + w * 0.6, y - depth * 0.8), (x1 - 2, y - depth), (x1 + 3, y + 1),
                         (x1 - w * 0.15, y + depth * 0.45), (x0 + w * 0.45, y + depth * 0.3),
                         (x0 + w * 0.15, y + depth * 0.55)], 0.8)
    cv.fill_stroke(c, cv.SNOW, cv.OUTLINE, cv.LINE_THIN)


def _board(c, l, t, r, b, wood, dark, planks):
    for x in SIGN_POSTS if (r - l) > 100 else ((l + r) / 2.0,):
        c.rectangle(x - 4, b - 2, 8, SIGN_H - b + 1)
        cv.fill_stroke(c, dark, cv.OUTLINE, cv.LINE_THIN)
    cv.round_rect(c, l, t, r - l, b - t, 3)
    cv.fill_stroke(c, wood, cv.OUTLINE, cv.LINE)
    c.set_source_rgba(*hexcol(dark, 0.8))
    c.set_line_width(1.0)
    for i in range(1, planks):
        y = t + (b - t) * i / planks
        c.move_to(l + 2, y)
        c.line_to(r - 2, y)
        c.stroke()


def _nails_and_grain(c, l, t, r, b, planks):
    """Wood grain along the planks and a nail at each plank's ends."""
    c.set_line_width(0.7)
    c.set_source_rgba(*hexcol(cv.SIGN_WOOD_DARK, 0.55))
    h = (b - t) / float(planks)
    for i in range(planks):
        y = t + h * (i + 0.5)
        for dx0, dx1, dy in ((0.12, 0.38, -0.18), (0.55, 0.86, 0.2)):
            c.move_to(l + (r - l) * dx0, y + dy * h)
            c.curve_to(l + (r - l) * (dx0 + 0.08), y + dy * h - 1.2, l + (r - l) * (dx1 - 0.08), y + dy * h + 1.2,
                       l + (r - l) * dx1, y + dy * h)
            c.stroke()
    for i in range(planks):
        y = t + h * (i + 0.5)
        for x in (l + 4.5, r - 4.5):
            cv.ellipse(c, x, y, 1.1, 1.1)
            c.set_source_rgb(*hexcol(cv.OUTLINE))
            c.fill()


def sign_frames():
    s, c = cv.new(SIGN_W, SIGN_H)
    l, t, r, b = SIGN_FACE
    _board(c, l, t, r, b, cv.SIGN_WOOD, cv.SIGN_WOOD_DARK, 3)
    _nails_and_grain(c, l, t, r, b, 3)
    _snow_cap(c, l, r, t, 6)
    for x in SIGN_POSTS:
        cv.ellipse(c, x, SIGN_H - 3, 11, 3)
        cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, 0.8)
    return [cv.rgba(s)]


def ssign_frames():
    s, c = cv.new(85, 35)
    l, t, r, b = 30, 4, 72, 25
    c.rectangle(48, b - 2, 6, 35 - b + 1)
    cv.fill_stroke(c, cv.SIGN_WOOD_DARK, cv.OUTLINE, cv.LINE_THIN)
    cv.round_rect(c, l, t, r - l, b - t, 2.5)
    cv.fill_stroke(c, "#eadcbc", cv.OUTLINE, cv.LINE_THIN)
    _snow_cap(c, l, r, t, 3)
    cv.ellipse(c, 51, 33, 9, 2)
    cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, 0.8)
    return [cv.rgba(s)]


def _signshad_path(c):
    c.move_to(12, 3)
    c.line_to(142, 3)
    c.line_to(144, 14)
    c.line_to(158, 23)
    c.line_to(150, 23)
    c.line_to(134, 14)
    c.line_to(64, 14)
    c.line_to(74, 23)
    c.line_to(66, 23)
    c.line_to(50, 14)
    c.line_to(10, 14)
    c.close_path()


def signshad_frames():
    return [cv.rgba(soft_shadow(169, 24, _signshad_path, 0.3, 1), cv.SHADOW)]


def shadow_frames():
    return [cv.rgba(soft_shadow(55, 10, lambda c: cv.ellipse(c, 27.5, 5, 23, 3), 0.42, 1), cv.SHADOW)]


def scratch_frames():
    s, c = cv.new(72, 8)
    g = cairo.LinearGradient(0, 0, 72, 0)
    g.add_color_stop_rgba(0, *hexcol(cv.SHADOW, 0))
    g.add_color_stop_rgba(0.2, *hexcol(cv.SHADOW, 0.35))
    g.add_color_stop_rgba(0.8, *hexcol(cv.SHADOW, 0.35))
    g.add_color_stop_rgba(1, *hexcol(cv.SHADOW, 0))
    cv.ellipse(c, 36, 4, 36, 2.4)
    c.set_source(g)
    c.fill()
    c.set_line_width(0.8)
    for y in (3.2, 4.8):
        c.move_to(6, y)
        c.line_to(66, y)
        c.set_source(g)
        c.stroke()
    return [cv.rgba(s, cv.SHADOW)]


def top_frames():
    s, c = cv.new(43, 15)
    c.set_line_width(3.4)
    lettering.text_path(c, "TOP:", 3, 2, 11, 2.4, widen=1.3)
    c.set_source_rgb(*hexcol("#5a1810"))
    c.stroke()
    c.set_line_width(1.8)
    lettering.text_path(c, "TOP:", 3, 2, 11, 2.4, widen=1.3)
    c.set_source_rgb(*hexcol(cv.CAPTION_RED))
    c.stroke()
    return [cv.rgba(s)]


# ---------------------------------------------------------------- digit fonts

def _glyph_cell(w, h, ch, box, strokes):
    """One digit cell: the glyph scaled into box (x, y, width, height) and
    moved sideways so that its inked extent is centred in the cell; then
    stroked with each (width, colour) in turn, widest first."""
    s, c = cv.new(w, h)
    x, y, gw, gh = box
    lettering.glyph_path(c, ch, x, y, gw, gh)
    c.set_line_width(strokes[0][0])
    x0, _, x1, _ = c.stroke_extents()
    path = c.copy_path()
    c.new_path()
    c.translate(round((w - (x1 - x0)) / 2.0 - x0, 2), 0)
    for width, colour in strokes:
        c.append_path(path)
        c.set_line_width(width)
        c.set_source_rgb(*hexcol(colour))
        c.stroke()
    return cv.rgba(s, strokes[0][1])


def font_frames():
    # Green strokes with a dark rim, all one width; glyphs 20 rows high on
    # a baseline at row 24, the point a round dot on the same baseline.
    strokes = ((3.7, cv.DIGIT_GREEN_OUTLINE), (2.0, cv.DIGIT_GREEN))
    frames = [_glyph_cell(13, 27, ch, (3.0, 3.8, 7.0, 19.4), strokes) for ch in "0123456789"]
    dot = ((5.2, cv.DIGIT_GREEN_OUTLINE), (3.4, cv.DIGIT_GREEN))
    frames.append(_glyph_cell(13, 27, ".", (5.5, 3.8 - 0.2, 2.0, 19.4), dot))
    return frames


def sfont_frames():
    strokes = ((1.8, cv.DIGIT_SLATE),)
    return [_glyph_cell(10, 20, ch, (2.2, 2.6, 5.6, 14.4), strokes) for ch in "012345"]
