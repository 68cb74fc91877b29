"""The six sounds, synthesised."""

import math


def _tone(rate, count, f0, f1):
    out = []
    phase = 0.0
    for i in range(count):
        t = i / count
        env = math.sin(math.pi * t)
        phase += 2 * math.pi * (f0 + (f1 - f0) * t) / rate
        out.append(int(16000 * env * math.sin(phase)))
    return out


def beat(rate, count):
    return _tone(rate, count, 120, 50)


def ready(rate, count):
    return _tone(rate, count, 440, 880)


def hui(rate, count):
    return _tone(rate, count, 300, 200)


def hepp(rate, count):
    return _tone(rate, count, 700, 1200)


def bounce(rate, count):
    return _tone(rate, count, 200, 90)


def lift(rate, count):
    return _tone(rate, count, 90, 160)
