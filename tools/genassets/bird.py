"""The bird: a plump little snow finch with a rust-red breast.

One rig draws every strip. The bird is built facing left (the way it will
fly) around its body centre: tail, legs, body, wing and head, each placed
by the pose. A pose gives the body's centre in the frame, its pitch
(degrees, + lifts the beak, -90 points it straight down), squash and
stretch, where the head sits and which way it faces (yaw -1 is the left
profile, 0 faces the viewer, 1 the right profile), the wing's angle and
opening, the tail, and each leg as an angle and length in the frame.
"""

import math

import canvas as cv
from canvas import hexcol

BODY_RX, BODY_RY = 11.0, 9.0
HEAD_R = 7.2
LINE = 1.2  # outline of the bird: thinner than on the big sprites

BASE = dict(x=24.0, y=53.0, pitch=18.0, sx=1.0, sy=1.0, hx=-9.5, hy=-8.0, yaw=-1.0, htilt=0.0, blink=0.0,
            wing=8.0, wopen=0.0, wlen=1.0, far=0.0, tail=-12.0, tspread=1.0, l1a=90.0, l1l=9.0, l2a=90.0,
            l2l=9.0, tuck=0.0)


def P(**kw):
    p = dict(BASE)
    p.update(kw)
    return p


def _rot(x, y, deg):
    a = math.radians(deg)
    return x * math.cos(a) - y * math.sin(a), x * math.sin(a) + y * math.cos(a)


def _to_frame(p, x, y):
    """Body-local point (facing left, y down) to frame coordinates."""
    x *= p["sx"]
    y *= p["sy"]
    # + pitch lifts the beak: the left-facing bird turns clockwise on screen.
    rx, ry = _rot(x, y, p["pitch"])
    return p["x"] + rx, p["y"] + ry


def _wing_path(c, length, width):
    """A folded wing pointing along +x from its shoulder at the origin."""
    c.move_to(0, -width * 0.5)
    c.curve_to(length * 0.45, -width * 0.75, length * 0.85, -width * 0.35, length, 0)
    c.curve_to(length * 0.8, width * 0.3, length * 0.35, width * 0.7, 0, width * 0.5)
    c.curve_to(-width * 0.45, width * 0.3, -width * 0.45, -width * 0.3, 0, -width * 0.5)
    c.close_path()


def _wing(c, p, far=False):
    sh = _to_frame(p, -1.0, -3.0 if not far else -4.5)
    c.save()
    c.translate(*sh)
    c.rotate(math.radians(p["pitch"] + p["wing"] + (8 if far else 0)))
    length = 15.0 * p["wlen"]
    width = 8.0 + 5.0 * p["wopen"]
    if far:
        _wing_path(c, length * 0.9, width * 0.9)
        cv.fill_stroke(c, cv.WING_DARK, cv.OUTLINE, LINE)
        c.restore()
        return
    cv.cel(c, lambda cc: _wing_path(cc, length, width), cv.WING, "#9a7048", cv.WING_DARK, shade=(0, 2.2),
           glint=(0, 1.5), width=LINE)
    # Flight feathers: two dark bars near the tip.
    c.set_source_rgb(*hexcol(cv.WING_DARK))
    c.set_line_width(0.9)
    for t in (0.55, 0.75):
        c.move_to(length * t, -width * 0.32)
        c.line_to(length * (t + 0.12), width * 0.22)
        c.stroke()
    c.restore()


def _tail(c, p):
    base = _to_frame(p, 8.5, -1.5)
    c.save()
    c.translate(*base)
    c.rotate(math.radians(p["pitch"] + p["tail"]))
    spread = p["tspread"]
    for k, da in enumerate((-9 * spread, 0, 9 * spread)):
        c.save()
        c.rotate(math.radians(da))
        c.move_to(0, -2.2)
        c.curve_to(5, -3.0, 9, -2.4, 11, -1.6)
        c.line_to(11.5, 1.6)
        c.curve_to(8, 2.2, 4, 2.6, 0, 2.2)
        c.close_path()
        cv.fill_stroke(c, cv.WING_DARK if k != 1 else cv.WING, cv.OUTLINE, LINE * 0.9)
        c.restore()
    c.restore()


def _leg(c, p, hip_local, ang, length):
    if length <= 0.5:
        return
    hip = _to_frame(p, *hip_local)
    a = math.radians(ang)
    foot = (hip[0] + math.cos(a) * length, hip[1] + math.sin(a) * length)
    # Toes square to the leg: two forward (the bird's left when the leg
    # points down), one short one back.
    toe = a + math.pi / 2
    for width, col in ((2.6, cv.OUTLINE), (1.3, cv.BEAK)):
        c.set_line_width(width)
        c.set_source_rgb(*hexcol(col))
        c.move_to(*hip)
        c.line_to(*foot)
        for da, tl in ((-0.35, 3.4), (0.3, 3.2), (math.pi, 1.8)):
            c.move_to(*foot)
            c.line_to(foot[0] + math.cos(toe + da) * tl, foot[1] + math.sin(toe + da) * tl)
        c.stroke()


def _body(c, p):
    def path(cc):
        cc.save()
        cc.translate(p["x"], p["y"])
        cc.rotate(math.radians(p["pitch"]))
        cc.scale(BODY_RX * p["sx"], BODY_RY * p["sy"])
        cc.new_sub_path()
        cc.arc(0, 0, 1, 0, 2 * math.pi)
        cc.restore()

    # Breast colour everywhere, then the brown back over the upper rear.
    cv.cel(c, path, cv.BREAST, None, "#a8432a", shade=(2.5, 3), line=None)
    c.save()
    c.new_path()
    path(c)
    c.clip()
    c.translate(p["x"], p["y"])
    c.rotate(math.radians(p["pitch"]))
    c.scale(p["sx"], p["sy"])
    cv.ellipse(c, 5.5, -6.5, 12.5, 8.0)
    c.set_source_rgb(*hexcol(cv.WING))
    c.fill()
    # Belly highlight low on the breast.
    cv.ellipse(c, -4.5, 3.0, 5.5, 3.8)
    c.set_source_rgba(*hexcol(cv.BELLY_LIGHT, 0.9))
    c.fill()
    c.restore()
    c.new_path()
    path(c)
    c.set_source_rgb(*hexcol(cv.OUTLINE))
    c.set_line_width(LINE)
    c.stroke()


def _head(c, p):
    hc = _to_frame(p, p["hx"], p["hy"])
    yaw = max(-1.0, min(1.0, p["yaw"])) * math.pi / 2  # 0 faces the viewer
    r = HEAD_R
    c.save()
    c.translate(*hc)
    c.rotate(math.radians(p["pitch"] * (1.0 if p["yaw"] < 0 else -1.0) * abs(math.sin(yaw)) + p["htilt"]))

    def head(cc):
        cv.ellipse(cc, 0, 0, r, r * 0.96)

    cv.cel(c, head, cv.BREAST, None, "#a8432a", shade=(2, 2), line=None)
    # Brown cap over the crown and nape, away from the face.
    c.save()
    head(c)
    c.clip()
    cv.ellipse(c, -math.sin(yaw) * 3.0, -5.0, r * 1.05, r * 0.62)
    c.set_source_rgb(*hexcol(cv.WING))
    c.fill()
    c.restore()
    head(c)
    c.set_source_rgb(*hexcol(cv.OUTLINE))
    c.set_line_width(LINE)
    c.stroke()
    # Beak: a short cone pointing where the head faces.
    s = math.sin(yaw)
    bx = s * r * 0.92
    by = 1.0
    if abs(s) > 0.35:
        tip = bx + s * 5.2
        c.move_to(bx - s * 0.5, by - 2.4)
        c.line_to(tip, by + 0.3)
        c.line_to(bx - s * 0.5, by + 2.4)
        c.close_path()
    else:
        c.move_to(bx - 2.4, by + 0.4)
        c.line_to(bx + 2.4, by + 0.4)
        c.line_to(bx, by + 4.2)
        c.close_path()
    cv.fill_stroke(c, cv.BEAK, cv.OUTLINE, LINE * 0.8)
    # Eyes where they face the viewer.
    for side in (-1, 1):
        th = yaw + side * math.radians(52)
        if math.cos(th) < 0.05:
            continue
        ex = math.sin(th) * r * 0.62
        ey = -1.8
        sx = 0.55 + 0.45 * math.cos(th)
        if p["blink"] > 0.5:
            c.move_to(ex - 1.8 * sx, ey)
            c.curve_to(ex - 0.8, ey + 1.0, ex + 0.8, ey + 1.0, ex + 1.8 * sx, ey)
            c.set_source_rgb(*hexcol(cv.EYE))
            c.set_line_width(0.9)
            c.stroke()
            continue
        cv.ellipse(c, ex, ey, 1.9 * sx, 2.2)
        c.set_source_rgb(*hexcol(cv.EYE))
        c.fill()
        cv.ellipse(c, ex - 0.55 * sx, ey - 0.8, 0.6, 0.6)
        c.set_source_rgb(1, 1, 1)
        c.fill()
    c.restore()


def draw(c, p):
    if p["far"] > 0:
        _wing(c, p, far=True)
    _tail(c, p)
    if p["tuck"] < 1.0:
        _leg(c, p, (3.0, 7.0), p["l2a"], p["l2l"])
        _leg(c, p, (-1.0, 8.0), p["l1a"], p["l1l"])
    _body(c, p)
    _wing(c, p)
    _head(c, p)


def render(w, h, p):
    s, c = cv.new(w, h)
    draw(c, p)
    return s, c


def _tween(keys, n):
    """Poses for frames 0..n-1 from {frame: pose} keys, eased."""
    ks = sorted(keys)
    out = []
    for f in range(n):
        if f in keys:
            out.append(dict(keys[f]))
            continue
        lo = max(k for k in ks if k < f)
        hi = min(k for k in ks if k > f)
        u = cv.ease((f - lo) / float(hi - lo))
        out.append({k: cv.lerp(keys[lo][k], keys[hi][k], u) for k in keys[lo]})
    return out


# ------------------------------------------------------------ prepjump

# Standing with the feet on the frame's bottom rows (row 70 and 71).
STAND = P()
PREP_KEYS = {
    0: P(y=53.2),
    2: P(x=25.5, pitch=16, l1a=98, l2a=84, y=53.4),
    3: P(x=26.0, pitch=14, l1a=110, l1l=7.0, l2a=82, y=53.6, tail=-16),
    5: P(x=25.0, pitch=17, l1a=96, l2a=86, y=53.0, tail=-10),
    7: P(yaw=0.9, hx=-8.5, hy=-8.5, tail=-8),
    9: P(yaw=1.0, hx=-8.0, hy=-9.0, htilt=6, tail=-14),
    11: P(x=22.5, pitch=20, yaw=0.2, l1a=94, l2a=76, l2l=7.0, y=53.5),
    13: P(x=22.0, pitch=21, yaw=-0.4, l1a=95, l2a=70, l2l=6.8, y=53.8, tail=-18),
    15: P(x=23.5, pitch=19, yaw=0.0, y=53.2, hy=-8.6),
    17: P(yaw=0.0, hy=-9.0, htilt=-5, y=52.8),
    18: P(yaw=0.0, hy=-9.0, htilt=-5, y=52.8, blink=1.0),
    19: P(yaw=0.0, hy=-8.8, htilt=-3, y=53.0),
    21: P(yaw=-0.8, hy=-8.2, y=53.1),
    22: P(yaw=-1.0, y=53.05, tail=-11),
    23: STAND,
    25: P(y=56.0, sy=0.9, sx=1.06, pitch=10, l1l=6.5, l2l=6.5, l1a=100, l2a=80, tail=-22, hy=-7.0, wopen=0.2),
    27: P(y=58.5, sy=0.84, sx=1.1, pitch=4, l1l=4.5, l2l=4.5, l1a=106, l2a=74, tail=-28, hy=-6.5, wing=2,
          wopen=0.35),
    29: P(x=24.5, y=52.0, pitch=-36, sy=1.0, sx=1.05, l1l=8.5, l2l=8.5, l1a=60, l2a=50, tail=-6, hx=-10.5,
          hy=-5.0, wing=-4, wopen=0.3),
    31: P(x=24.0, y=42.0, pitch=-78, sx=1.1, sy=0.95, l1l=7.5, l2l=7.5, l1a=-40, l2a=-55, tail=0, hx=-11.5,
          hy=-3.0, wing=-2, wopen=0.05),
    32: P(x=24.0, y=38.0, pitch=-90, sx=1.14, sy=0.92, l1l=6.5, l2l=6.0, l1a=-62, l2a=-80, tail=2, tspread=0.6,
          hx=-12.0, hy=-2.0, wing=0, wopen=0.0),
}


def prepjump_frames():
    out = []
    for i, p in enumerate(_tween(PREP_KEYS, 33)):
        s, _ = render(48, 72, p)
        out.append(cv.rgba(s))
    return out


# ------------------------------------------------------------ fly

# Belly down and facing left; the belly of the held end pose rests on rows
# 30 to 32, which is the snow line when the game lays the bird down.
GLIDE = P(x=37.0, y=23.5, pitch=0, sx=1.12, sy=0.95, hx=-12.5, hy=-3.5, yaw=-1.0, wing=10, wopen=0.0, tail=-4,
          tspread=0.8, l1a=20, l1l=5, l2a=10, l2l=5, tuck=1.0)


def fly_frames():
    out = []
    for i in range(21):
        if i == 20:
            p = dict(GLIDE)
        else:
            # Wing beats of five frames, weakening towards the glide.
            amp = 1.0 - 0.035 * i
            ph = 2 * math.pi * i / 5.0
            p = dict(GLIDE)
            p["wing"] = -2 - 76 * amp * math.cos(ph)
            p["wopen"] = 0.6 + 0.4 * math.sin(ph) * amp
            p["wlen"] = 1.05 + 0.3 * max(0.0, math.sin(math.radians(p["wing"])))
            p["far"] = 1.0 if p["wing"] < -35 else 0.0
            # Flapping high in the frame, settling to the glide's height.
            settle = cv.ease((i - 13) / 7.0)
            p["y"] = cv.lerp(20.2, GLIDE["y"], settle) - 1.2 * math.sin(ph) * amp
            p["tail"] = -4 + 4 * math.sin(ph)
            p["pitch"] = 3 * math.sin(ph + 1) * amp
        s, _ = render(72, 36, p)
        out.append(cv.rgba(s))
    return out


# ------------------------------------------------------------ stick

def _snow_mound(c, cx, base, w):
    cv.smooth_closed(c, [(cx - w, base + 1), (cx - w * 0.6, base - 4), (cx - w * 0.2, base - 6.5),
                         (cx + w * 0.3, base - 6), (cx + w * 0.7, base - 3.5), (cx + w, base + 1)], 0.8)
    cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, 1.0)


STICK_KEYS = {
    0: P(x=16.0, y=29.5, pitch=-98, sx=1.08, sy=0.95, hx=-12, hy=-2, l1a=-110, l1l=10, l2a=-65, l2l=10, tail=-14,
         wing=-40, wopen=0.8, far=1.0),
    1: P(x=17.0, y=30.2, pitch=-92, sx=1.08, sy=0.95, hx=-12, hy=-2, l1a=-80, l1l=11, l2a=-125, l2l=9, tail=10,
         wing=20, wopen=0.4, far=1.0),
    2: P(x=15.8, y=29.6, pitch=-101, sx=1.08, sy=0.95, hx=-12, hy=-2, l1a=-125, l1l=9.5, l2a=-55, l2l=10.5,
         tail=-18, wing=-55, wopen=0.9, far=1.0),
    3: P(x=17.0, y=30.3, pitch=-91, sx=1.08, sy=0.95, hx=-12, hy=-2, l1a=-70, l1l=11, l2a=-110, l2l=9, tail=12,
         wing=15, wopen=0.5, far=1.0),
    4: P(x=16.3, y=29.8, pitch=-97, sx=1.08, sy=0.95, hx=-12, hy=-2, l1a=-100, l1l=10, l2a=-60, l2l=10, tail=-8,
         wing=-25, wopen=0.7, far=1.0),
    5: P(x=16.5, y=30, pitch=-96, sx=1.08, sy=0.95, hx=-12, hy=-2, l1a=-92, l1l=10, l2a=-72, l2l=10, tail=-2,
         wing=6, wopen=0.0),
}


STICK_CLUMPS = [
    [(6.0, 38.0, 1.6), (30.5, 36.5, 1.3)],
    [(4.5, 33.5, 1.3), (31.5, 40.0, 1.7), (8.0, 41.5, 1.1)],
    [(7.0, 36.0, 1.5), (29.5, 33.0, 1.2)],
    [(3.5, 39.5, 1.4), (30.0, 38.5, 1.5), (26.5, 31.0, 1.0)],
    [(5.5, 35.0, 1.2), (31.0, 35.5, 1.3)],
    [],
]


def stick_frames():
    out = []
    for i in range(6):
        s, c = render(36, 48, dict(STICK_KEYS[i], wlen=0.8))
        _snow_mound(c, 18, 47.5, 12 + (0.6 if i % 2 else 0))
        # Clumps of snow thrown up by the struggle, none once it rests.
        for cx, cy, r in STICK_CLUMPS[i]:
            cv.ellipse(c, cx, cy, r, r * 0.85)
            cv.fill_stroke(c, cv.SNOW, cv.SNOW_DEEP, 0.7)
        out.append(cv.rgba(s))
    return out


# ------------------------------------------------------------ look

# Lying on the belly with its bottom on rows 26 to 28, as the glide pose
# lies in the flight strip; the head lifts and turns to the viewer.
LIE = P(x=34.0, y=19.5, pitch=0, sx=1.12, sy=0.95, hx=-12.5, hy=-3.5, yaw=-1.0, wing=10, tail=-4, tspread=0.8,
        tuck=1.0)
LOOK_KEYS = {
    0: dict(LIE, hy=-3.0),
    1: dict(LIE, hy=-5.0, htilt=-6),
    2: dict(LIE, hy=-6.5, yaw=-0.6, htilt=-4, tail=-10),
    3: dict(LIE, hy=-7.5, yaw=-0.25, hx=-11.5, tail=-6),
    4: dict(LIE, hy=-8.0, yaw=-0.05, hx=-11.0, htilt=3, tail=-10),
    5: dict(LIE, hy=-8.0, yaw=0.0, hx=-11.0, htilt=0, tail=-8),
}


def look_frames():
    out = []
    for i in range(6):
        s, _ = render(67, 29, LOOK_KEYS[i])
        out.append(cv.rgba(s))
    return out
