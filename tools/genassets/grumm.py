"""The grumm: a big, round-shouldered, shaggy troll with a wooden club.

The figure is a small rig: feet, body, head, two arms and the club, drawn
from one pose per strip frame. A pose holds the right hand (screen right,
the club hand), the club's angle and apparent length, the free left hand,
the lean of the body and the turn and tilt of the head. Key poses are eased
into each other; the swing frames are keyed one by one, and the frames on
either side of the strike carry a smear of the club's path.

Frame 180 x 134; the game centres it on (533, 83), so frame column 105 is
where the bird falls and the feet stand on the bottom rows.
"""

import math

import cairo

import canvas as cv
from canvas import hexcol

W, H = 180, 134
FRAMES = 31

# Feet on the snow; the lean of the body pivots about their middle.
FOOT_L = (70.0, 126.0)
FOOT_R = (108.0, 127.0)
PIVOT = (89.0, 126.0)
BODY = (88.0, 84.0)  # centre of the body at rest
SHOULDER_R = (40.0, -22.0)  # shoulders, relative to the body centre
SHOULDER_L = (-40.0, -22.0)
HEAD = (-2.0, -39.0)  # head centre relative to the body centre, sunk between the shoulders
HEAD_SCALE = 1.12  # a broad head on the hunched shoulders
CLUB_REACH = 40.0  # from the hand to the middle of the club's head
CLUB_HEAD = 1.05  # size of the club's head against its first drawing
# The poses are keyed on a slightly smaller figure; the whole drawing is
# scaled up about the feet by this factor to fill the frame.
FIG = 1.0
FIG_PIVOT = (89.0, 129.0)

# Pose fields: rx, ry right hand; ca club angle (degrees, 0 = pointing
# right, 90 = down); cl club length factor (foreshortening); cs club head
# scale; lx, ly left hand; lean (degrees, + leans right); turn (0 = facing
# the viewer, -1 = turned fully left); tilt (degrees, - looks up-left);
# squash (1 = normal height); look (eye direction, -1 left .. 1 right);
# bend of the arms.
REST = dict(rx=134, ry=96, ca=45, cl=1.0, cs=1.0, lx=50, ly=102, lean=0.0, turn=-0.3, tilt=0.0, squash=1.0,
            look=-0.3, rbend=6, lbend=-6, brow=0.0)


def _pose(**kw):
    p = dict(REST)
    p.update(kw)
    return p


READY = _pose(rx=140, ry=60, ca=-82, cl=1.0, lean=1.5, turn=-0.2, squash=1.03, look=-0.1, rbend=-12, brow=0.6)

KEYS = {
    0: REST,
    1: _pose(rx=134, ry=93, ca=32, cl=0.86, squash=0.96, lean=1.0, turn=-0.25, brow=0.3, lx=52, ly=101),
    2: _pose(rx=134, ry=80, ca=2, cl=0.74, squash=0.95, lean=2.0, turn=-0.2, brow=0.8, rbend=0, lx=52, ly=100),
    3: _pose(rx=136, ry=68, ca=-38, cl=0.84, squash=0.98, lean=2.5, turn=-0.15, brow=1.0, rbend=-8, lx=51, ly=99),
    4: _pose(rx=139, ry=62, ca=-66, squash=1.02, lean=2.0, turn=-0.2, brow=0.8, rbend=-12, lx=50, ly=100),
    5: READY,
    6: _pose(rx=138, ry=48, ca=-52, cl=0.86, lean=3.5, turn=-0.3, squash=1.04, look=-0.4, rbend=-10, brow=1.0),
    7: _pose(rx=136, ry=62, ca=-6, cl=0.64, cs=1.1, lean=2.0, turn=-0.45, look=-0.6, rbend=-4, brow=1.0, lx=52, ly=96),
    8: _pose(rx=128, ry=73, ca=200, cl=0.52, cs=1.3, lean=-3.0, turn=-0.6, look=-0.5, rbend=8, brow=1.0, lx=56,
             ly=92),
    9: _pose(rx=104, ry=86, ca=165, cl=0.82, cs=1.1, lean=-6.0, turn=-0.75, look=-0.9, rbend=10, brow=0.7, lx=50,
             ly=96),
    10: _pose(rx=92, ry=96, ca=140, cl=1.0, lean=-6.5, turn=-0.85, look=-1.0, rbend=8, brow=0.4, lx=46, ly=100),
    11: _pose(rx=90, ry=98, ca=134, lean=-5.5, turn=-0.9, look=-1.0, rbend=8, brow=0.2, lx=47, ly=101),
    12: _pose(rx=92, ry=97, ca=131, lean=-4.5, turn=-0.9, look=-1.0, rbend=8, tilt=-2, lx=48, ly=101),
    13: _pose(rx=92, ry=97, ca=130, lean=-4.0, turn=-0.95, look=-1.0, rbend=8, tilt=-3, lx=48, ly=86, lbend=-10),
    16: _pose(rx=92, ry=97, ca=129, lean=-4.5, turn=-1.0, look=-1.0, rbend=8, tilt=-8, lx=57, ly=43, lbend=-14,
              brow=0.5),
    18: _pose(rx=92, ry=97, ca=129, lean=-5.0, turn=-1.0, look=-1.0, rbend=8, tilt=-6, lx=56, ly=44, lbend=-14,
              brow=0.5),
    20: _pose(rx=92, ry=97, ca=129, lean=-5.0, turn=-1.0, look=-1.0, rbend=8, tilt=-2, lx=56, ly=45, lbend=-14,
              brow=0.5),
    21: _pose(rx=93, ry=97, ca=127, lean=-4.8, turn=-0.98, look=-1.0, rbend=8, tilt=-1, lx=55, ly=50, lbend=-14,
              brow=0.4),
    24: _pose(rx=104, ry=90, ca=104, cl=0.9, lean=-3.0, turn=-0.8, look=-0.7, rbend=8, lx=52, ly=84, lbend=-10),
    27: _pose(rx=124, ry=92, ca=70, cl=0.95, lean=-1.0, turn=-0.5, look=-0.5, rbend=6, lx=50, ly=100),
    30: REST,
}

# Frames whose club is drawn with the smear of its path from the pose
# before; the strike frame gets the strongest smear.
BLUR = {7: 0.7, 8: 1.0, 9: 0.8}


def pose(frame):
    keys = sorted(KEYS)
    if frame in KEYS:
        return dict(KEYS[frame])
    lo = max(k for k in keys if k < frame)
    hi = min(k for k in keys if k > frame)
    u = cv.ease((frame - lo) / float(hi - lo))
    a, b = KEYS[lo], KEYS[hi]
    return {k: cv.lerp(a[k], b[k], u) for k in a}


def _rot(p, pivot, deg):
    a = math.radians(deg)
    x, y = p[0] - pivot[0], p[1] - pivot[1]
    return (pivot[0] + x * math.cos(a) - y * math.sin(a), pivot[1] + x * math.sin(a) + y * math.cos(a))


def _body_point(p, rel):
    """A point given relative to the body centre, with squash and lean."""
    x = BODY[0] + rel[0]
    y = PIVOT[1] - (PIVOT[1] - (BODY[1] + rel[1])) * p["squash"]
    return _rot((x, y), PIVOT, p["lean"])


# ------------------------------------------------------------------ parts

def _feet(c):
    for (fx, fy), side in ((FOOT_L, -1), (FOOT_R, 1)):
        def path(cc, fx=fx, fy=fy, side=side):
            cc.new_sub_path()
            cc.save()
            cc.translate(fx + side * 2, fy)
            cc.scale(16, 6.5)
            cc.arc(0, 0, 1, 0, 2 * math.pi)
            cc.restore()
        cv.cel(c, path, cv.SKIN, None, cv.SKIN_SHADE, shade=(0, 2.5))
        c.set_source_rgb(*hexcol(cv.OUTLINE))
        c.set_line_width(1.0)
        for t in (-6, 0, 6):
            x = fx + side * 2 + t - 7
            c.move_to(x, fy + 1)
            c.line_to(x + 1, fy + 5)
            c.stroke()


# Clockwise from the top of the back; tufts on the flanks and a ragged hem.
BODY_OUTLINE = [(0, -38), (20, -37), (38, -31), (50, -17), (53, -7), (57, -3), (55, 5), (58, 12), (55, 20),
                (50, 32), (44, 40), (36, 34), (28, 42), (19, 35), (10, 43), (0, 36), (-10, 43), (-19, 35),
                (-28, 42), (-37, 34), (-45, 40), (-52, 30), (-57, 22), (-55, 14), (-58, 7), (-56, -1), (-53, -8),
                (-51, -17), (-39, -31), (-21, -37)]


def _legs(c, p):
    for x in (-17, 19):
        top = _body_point(p, (x, 28))
        foot = (FOOT_L if x < 0 else FOOT_R)
        cv.limb(c, top, (foot[0] + (3 if x < 0 else -3), foot[1] - 6), 0, 17, cv.FUR_DARK, None)


def _body(c, p):
    pts = [_body_point(p, q) for q in BODY_OUTLINE]

    def path(cc):
        cv.smooth_closed(cc, pts, 0.9)

    cv.cel(c, path, cv.FUR_MID, cv.FUR_LIGHT, cv.FUR_DARK, shade=(7, 6), glint=(4, 4), width=cv.LINE)
    # Chest patch and a few strands of fur.
    chest = [_body_point(p, q) for q in ((-4, -22), (14, -16), (18, 4), (8, 20), (-10, 20), (-20, 4), (-18, -16))]
    cv.smooth_closed(c, chest, 1.0)
    c.set_source_rgba(*hexcol(cv.FUR_LIGHT, 0.55))
    c.fill()
    c.set_source_rgb(*hexcol(cv.FUR_DARK))
    c.set_line_width(1.1)
    for a, b in (((-28, -6), (-31, 4)), ((30, 0), (33, 10)), ((-10, 26), (-12, 33)), ((14, 26), (16, 33)),
                 ((-36, 16), (-38, 25)), ((4, -28), (2, -20)), ((24, -22), (27, -14))):
        pa, pb = _body_point(p, a), _body_point(p, b)
        c.move_to(*pa)
        c.curve_to(pa[0] + 2, (pa[1] + pb[1]) / 2, pb[0] + 1, (pa[1] + pb[1]) / 2, *pb)
        c.stroke()


def _head(c, p):
    hc = _body_point(p, HEAD)
    turn = p["turn"]
    c.save()
    c.translate(*hc)
    c.rotate(math.radians(p["tilt"] + p["lean"] * 0.3))
    c.scale(HEAD_SCALE, HEAD_SCALE)
    # Ears, behind the head, shifted as it turns.
    for side in (-1, 1):
        ex = side * 24 + turn * 5
        cv.ellipse(c, ex, 2, 6, 7)
        cv.fill_stroke(c, cv.FUR_MID)
        cv.ellipse(c, ex + side * 0.5, 2.5, 3, 4)
        c.set_source_rgb(*hexcol(cv.SKIN_SHADE))
        c.fill()
    hair = [(-24, 6), (-26, -6), (-22, -16), (-17, -18), (-14, -25), (-8, -21), (-3, -28), (2, -21), (8, -27),
            (11, -19), (18, -22), (20, -14), (26, -6), (25, 6), (20, 15), (10, 20), (-10, 20), (-20, 15)]

    def head_path(cc):
        cv.smooth_closed(cc, hair, 0.9)

    cv.cel(c, head_path, cv.FUR_MID, cv.FUR_LIGHT, cv.FUR_DARK, shade=(4, 4), glint=(3, 3))
    # The face, turned towards where it looks.
    fx = turn * 8.0
    fy = 5.0

    def face(cc):
        cv.smooth_closed(cc, [(fx - 16, fy - 4), (fx - 9, fy - 10), (fx, fy - 8), (fx + 9, fy - 10), (fx + 16, fy - 4),
                              (fx + 15, fy + 7), (fx + 7, fy + 14), (fx - 7, fy + 14), (fx - 15, fy + 7)], 1.0)

    cv.cel(c, face, cv.SKIN, None, cv.SKIN_SHADE, shade=(3, 3), width=cv.LINE_THIN)
    # Eyes under a heavy brow.
    brow = p["brow"]
    for side in (-1, 1):
        ex = fx + side * 6.5 + turn * (1.5 if side < 0 else 0.5)
        ey = fy - 3.0
        cv.ellipse(c, ex, ey, 3.0, 3.4)
        cv.fill_stroke(c, "#ffffff", cv.OUTLINE, 0.9)
        px = ex + p["look"] * 1.3
        cv.ellipse(c, px, ey + 0.5, 1.7, 2.0)
        c.set_source_rgb(*hexcol(cv.EYE))
        c.fill()
        cv.ellipse(c, px - 0.6, ey - 0.3, 0.55, 0.55)
        c.set_source_rgb(1, 1, 1)
        c.fill()
        # Brow: a ridge of dark fur, lower and slanted when it strains.
        c.move_to(ex - side * 4.5 - 0.5, ey - 4.5 + brow * 0.3)
        c.curve_to(ex - side * 1, ey - 7 + brow, ex + side * 2, ey - 7 + brow * 1.4, ex + side * 5, ey - 5 + brow * 1.8)
        c.set_source_rgb(*hexcol(cv.FUR_DARK))
        c.set_line_width(2.6)
        c.stroke()
    # A big soft nose and a wide mouth with two small tusks.
    cv.cel(c, lambda cc: cv.ellipse(cc, fx + turn * 2.5, fy + 3.5, 5.2, 4.0), cv.SKIN_SHADE, cv.SKIN, None,
           glint=(1.2, 1.2), width=cv.LINE_THIN)
    mx = fx + turn * 1.5
    c.move_to(mx - 8, fy + 9)
    c.curve_to(mx - 4, fy + 12.5, mx + 4, fy + 12.5, mx + 8, fy + 9)
    c.set_source_rgb(*hexcol(cv.OUTLINE))
    c.set_line_width(1.2)
    c.stroke()
    for side in (-1, 1):
        tx = mx + side * 5
        c.move_to(tx - 1.4, fy + 10.6)
        c.line_to(tx, fy + 7.4)
        c.line_to(tx + 1.4, fy + 10.9)
        c.close_path()
        cv.fill_stroke(c, "#fbf6ea", cv.OUTLINE, 0.7)
    c.restore()
    return hc


def _arm(c, shoulder, hand, bend):
    """A long shaggy arm: thick at the shoulder, narrower at the wrist."""
    cv.taper_limb(c, shoulder, hand, bend, 19.0, 12.0, cv.FUR_MID, cv.FUR_LIGHT, cv.FUR_DARK)


def _hand(c, pos, r=7.5):
    cv.cel(c, lambda cc: cv.ellipse(cc, pos[0], pos[1], r, r * 0.9), cv.SKIN, None, cv.SKIN_SHADE, shade=(2, 2))


def _club_shape(c, p, ox=0.0, oy=0.0):
    """Adds the club's outline as one path: a handle that swells into a
    heavy, knobbly head."""
    L = CLUB_REACH * p["cl"]
    s = p["cs"] * CLUB_HEAD
    k = p["cl"]  # lengths along the club shrink as it points at the viewer
    c.save()
    c.translate(p["rx"] + ox, p["ry"] + oy)
    c.rotate(math.radians(p["ca"]))
    c.move_to(-9 * k, -3.0)
    c.curve_to(L * 0.3, -3.4, L * 0.6, -5.5 * s, L - 4 * k, -7.5 * s)
    c.line_to(L - 4 * k, 7.5 * s)
    c.curve_to(L * 0.6, 5.5 * s, L * 0.3, 3.4, -9 * k, 3.0)
    c.arc_negative(-9 * k, 0, 3.0, math.pi / 2, -math.pi / 2)
    c.close_path()
    # The head: round lumps around a fat core.
    knobs = [(-2, -8.2, 3.4), (8.0, -5.0, 3.6), (11.2, 3.0, 3.4), (3, 8.6, 3.6), (-5.5, 6.8, 3.0)]
    cv.ellipse(c, L + 2 * k, 0, 10.5 * s * max(k, 0.55), 9.5 * s)
    for kx, ky, kr in knobs:
        cv.ellipse(c, L + 2 * k + kx * s * max(k, 0.55), ky * s, kr * s * max(k, 0.6), kr * s)
    c.restore()


def _club(c, p):
    def path(cc):
        _club_shape(cc, p)

    c.save()
    c.set_fill_rule(cairo.FILL_RULE_WINDING)
    cv.cel(c, path, cv.CLUB, "#b98049", cv.CLUB_DARK, shade=(0, 3.5), glint=(1.5, 2.5), union=True)
    c.restore()
    # Grain along the handle, knots on the head.
    L = CLUB_REACH * p["cl"]
    s = p["cs"] * CLUB_HEAD
    k = p["cl"]
    c.save()
    c.translate(p["rx"], p["ry"])
    c.rotate(math.radians(p["ca"]))
    c.set_source_rgb(*hexcol(cv.CLUB_GRAIN))
    c.set_line_width(0.8)
    c.move_to(L * 0.25, -0.8)
    c.curve_to(L * 0.45, -1.8, L * 0.6, -0.5, L * 0.75, -2.5 * s)
    c.stroke()
    # Two rings of grain round a knot on the head.
    hx = L + 2 * k + 1.5 * s * max(k, 0.55)
    for r in (2.2, 4.4):
        c.save()
        c.translate(hx, -1.0 * s)
        c.scale(max(k, 0.55) * s, s)
        c.arc(0, 0, r, math.radians(200), math.radians(340))
        c.restore()
        c.stroke()
    cv.ellipse(c, hx, -1.0 * s, 0.9 * s * max(k, 0.55), 0.9 * s)
    c.fill()
    c.restore()


def _club_smear(c, before, now, strength):
    """The blurred path of the club between two poses."""
    layer, lc = cv.new(W, H)
    _figure_space(lc)
    lc.set_operator(cairo.OPERATOR_ADD)
    n = 14
    for i in range(n):
        t = i / float(n)
        q = {k: cv.lerp(before[k], now[k], t) for k in now}
        # Angles are interpolated the short way round the turn.
        da = (now["ca"] - before["ca"] + 180) % 360 - 180
        q["ca"] = before["ca"] + da * t
        lc.new_path()
        _club_shape(lc, q)
        lc.set_source_rgba(*hexcol(cv.CLUB, 0.055 + 0.03 * t))
        lc.fill()
    c.save()
    c.identity_matrix()
    c.set_source_surface(layer, 0, 0)
    c.paint_with_alpha(min(1.0, strength))
    c.restore()
    # Speed lines along the head's path.
    c.set_source_rgba(*hexcol(cv.SNOW, 0.8))
    c.set_line_width(1.2)
    for off in (-7, 0, 7):
        c.new_path()
        for i in range(n + 1):
            t = 0.15 + 0.7 * i / float(n)
            q = {k: cv.lerp(before[k], now[k], t) for k in now}
            da = (now["ca"] - before["ca"] + 180) % 360 - 180
            a = math.radians(before["ca"] + da * t)
            L = CLUB_REACH * q["cl"] + off * 0.35
            x = q["rx"] + math.cos(a) * L - math.sin(a) * off
            y = q["ry"] + math.sin(a) * L + math.cos(a) * off
            if i == 0:
                c.move_to(x, y)
            else:
                c.line_to(x, y)
        c.stroke()


def _figure_space(c):
    c.translate(*FIG_PIVOT)
    c.scale(FIG, FIG)
    c.translate(-FIG_PIVOT[0], -FIG_PIVOT[1])


def draw(c, frame):
    p = pose(frame)
    _figure_space(c)
    _feet(c)
    _legs(c, p)
    _body(c, p)
    shoulder_l = _body_point(p, SHOULDER_L)
    shoulder_r = _body_point(p, SHOULDER_R)
    # The left arm hangs behind the club's sweep but in front of the body.
    left_raised = p["ly"] < 70
    if not left_raised:
        _arm(c, shoulder_l, (p["lx"], p["ly"]), p["lbend"])
        _hand(c, (p["lx"], p["ly"] + 2))
    _head(c, p)
    if frame in BLUR:
        _club_smear(c, pose(frame - 1), p, BLUR[frame])
    _arm(c, shoulder_r, (p["rx"], p["ry"]), p["rbend"])
    _club(c, p)
    _hand(c, (p["rx"], p["ry"]))
    if left_raised:
        _arm(c, shoulder_l, (p["lx"], p["ly"]), p["lbend"])
        # The hand held flat over the eyes.
        def palm(cc):
            cc.save()
            cc.translate(p["lx"] + 7, p["ly"] - 1)
            cc.rotate(math.radians(-10))
            cv.ellipse(cc, 0, 0, 10.5, 4.6)
            cc.restore()

        cv.cel(c, palm, cv.SKIN, None, cv.SKIN_SHADE, shade=(0, 2))


def frames():
    out = []
    for i in range(FRAMES):
        s, c = cv.new(W, H)
        draw(c, i)
        out.append(cv.rgba(s))
    return out
