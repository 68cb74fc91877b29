"""The six sounds, synthesised from oscillators, noise and simple filters.

Every builder takes the sample rate and the exact sample count and returns
that many signed 16-bit samples. All of them go through _finish: peak at
about -6 dBFS (half of full scale), a few milliseconds of fade at both ends
so that playback starts and stops without a click, and exact zeros at the
first and last sample.
"""

import math

TWO_PI = 2.0 * math.pi
PEAK = 16384  # half of full scale: -6 dBFS
FADE_S = 0.004  # fade at each end, seconds


class Noise:
    """Deterministic white noise in -1..1 (xorshift32), the same everywhere."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 2147483648.0 - 1.0


class Biquad:
    """Band-pass or low-pass biquad (the usual cookbook forms); the centre
    frequency may be changed per sample."""

    def __init__(self, rate, kind, freq, q):
        self.rate, self.kind, self.q = rate, kind, q
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0
        self.set(freq)

    def set(self, freq):
        w = TWO_PI * min(freq, self.rate * 0.45) / self.rate
        alpha = math.sin(w) / (2.0 * self.q)
        cw = math.cos(w)
        a0 = 1.0 + alpha
        if self.kind == "band":
            b0, b1, b2 = alpha, 0.0, -alpha
        else:
            b0, b1, b2 = (1.0 - cw) / 2.0, 1.0 - cw, (1.0 - cw) / 2.0
        self.b0, self.b1, self.b2 = b0 / a0, b1 / a0, b2 / a0
        self.a1, self.a2 = -2.0 * cw / a0, (1.0 - alpha) / a0

    def run(self, x):
        y = self.b0 * x + self.b1 * self.x1 + self.b2 * self.x2 - self.a1 * self.y1 - self.a2 * self.y2
        self.x2, self.x1 = self.x1, x
        self.y2, self.y1 = self.y1, y
        return y


def _finish(rate, signal, release=FADE_S):
    """Fades both ends (the end over release seconds), scales the peak to
    -6 dBFS and rounds to 16 bits."""
    n = len(signal)
    fade = max(2, int(rate * FADE_S))
    tail = max(2, int(rate * release))
    out = list(signal)
    for i in range(fade):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade)
    for i in range(tail):
        out[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / tail)
    peak = max(abs(v) for v in out) or 1.0
    scale = PEAK / peak
    samples = [int(round(v * scale)) for v in out]
    samples[0] = 0
    samples[-1] = 0
    return samples


def _env(t, attack, decay):
    """Quick linear attack, then exponential decay with the given time."""
    if t < attack:
        return t / attack
    return math.exp(-(t - attack) / decay)


def beat(rate, count):
    """A club thump: a falling low tone, a hollow wooden knock and a puff of
    noise. The knock's partials sit where small speakers still play."""
    noise = Noise(0xBEA7)
    lp = Biquad(rate, "low", 1200.0, 0.7)
    out = []
    ph1 = 0.0
    for i in range(count):
        t = i / rate
        f = 62.0 + 90.0 * math.exp(-t / 0.04)
        ph1 += TWO_PI * f / rate
        body = math.sin(ph1) * _env(t, 0.003, 0.085)
        knock = (0.45 * math.sin(TWO_PI * 185.0 * t) * _env(t, 0.001, 0.05) +
                 0.3 * math.sin(TWO_PI * 432.0 * t) * _env(t, 0.001, 0.025))
        puff = 0.5 * lp.run(noise.next()) * _env(t, 0.001, 0.025)
        out.append(body + knock + puff)
    return _finish(rate, out)


def ready(rate, count):
    """A short bright jingle: four rising notes like a little glockenspiel."""
    notes = [(0.00, 523.25), (0.11, 659.26), (0.22, 783.99), (0.36, 1046.50)]
    out = []
    for i in range(count):
        t = i / rate
        v = 0.0
        for k, (start, f) in enumerate(notes):
            if t < start:
                continue
            u = t - start
            decay = 0.16 if k < 3 else 0.32
            e = _env(u, 0.004, decay)
            # A bar's sound: the fundamental and a quiet, quicker overtone.
            v += e * (math.sin(TWO_PI * f * u) + 0.25 * math.sin(TWO_PI * f * 2.76 * u) * math.exp(-u / 0.05))
        out.append(v)
    # The last note rings on; let it die away over the final 150 ms.
    return _finish(rate, out, 0.15)


def hui(rate, count):
    """The long whoosh of the flight, with a soft whistle, dying away."""
    noise = Noise(0x4711)
    band = Biquad(rate, "band", 900.0, 2.5)
    band2 = Biquad(rate, "band", 400.0, 1.2)
    total = count / rate
    out = []
    ph = 0.0
    for i in range(count):
        t = i / rate
        u = t / total
        f = 1500.0 * math.exp(-1.3 * u) + 300.0
        band.set(f)
        n = noise.next()
        air = band.run(n) * 1.6 + band2.run(n) * 0.6
        ph += TWO_PI * (950.0 - 350.0 * u + 18.0 * math.sin(TWO_PI * 5.0 * t)) / rate
        whistle = 0.12 * math.sin(ph) * math.exp(-t / 0.7)
        # Swells in fast, then fades to nothing over the whole length.
        env = min(1.0, t / 0.08) * (1.0 - u) ** 1.6
        out.append((air + whistle) * env)
    return _finish(rate, out)


def hepp(rate, count):
    """The bird's hop: a quick chirp up, and a shorter second one."""
    out = []
    for i in range(count):
        t = i / rate
        v = 0.0
        for start, length, f0, f1, level in ((0.0, 0.085, 1700.0, 2700.0, 1.0), (0.11, 0.06, 2100.0, 3000.0, 0.7)):
            u = t - start
            if 0.0 <= u < length:
                x = u / length
                f = f0 + (f1 - f0) * x
                env = math.sin(math.pi * x) ** 1.5
                v += level * env * (math.sin(TWO_PI * f * u + 1.2 * math.sin(TWO_PI * 38.0 * u)))
        out.append(v)
    return _finish(rate, out)


def bounce(rate, count):
    """A soft bump into snow: a muffled puff over a low thud."""
    noise = Noise(0xB0B)
    lp = Biquad(rate, "low", 700.0, 0.8)
    lp2 = Biquad(rate, "low", 700.0, 0.8)
    out = []
    ph = 0.0
    for i in range(count):
        t = i / rate
        ph += TWO_PI * (70.0 + 60.0 * math.exp(-t / 0.04)) / rate
        thud = 0.7 * math.sin(ph) * _env(t, 0.004, 0.07)
        lp.set(250.0 + 900.0 * math.exp(-t / 0.06))
        puff = 1.3 * lp2.run(lp.run(noise.next())) * _env(t, 0.006, 0.08)
        out.append(thud + puff)
    return _finish(rate, out)


def lift(rate, count):
    """A heavy effort: a low voiced grunt with a rising breath of air."""
    noise = Noise(0x11F7)
    formant1 = Biquad(rate, "band", 550.0, 4.0)
    formant2 = Biquad(rate, "band", 1000.0, 5.0)
    air = Biquad(rate, "band", 800.0, 1.0)
    total = count / rate
    out = []
    ph = 0.0
    for i in range(count):
        t = i / rate
        u = t / total
        f0 = 88.0 + 30.0 * math.sin(math.pi * u)
        ph += f0 / rate
        ph -= math.floor(ph)
        # A glottal-like pulse train (a skewed saw), shaped by two formants.
        src = 2.0 * ph - 1.0 - 0.3 * math.sin(TWO_PI * ph)
        voice = formant1.run(src) * 1.0 + formant2.run(src) * 0.45
        air.set(600.0 + 1400.0 * u)
        breath = air.run(noise.next()) * 0.5
        env = math.sin(math.pi * min(1.0, u * 1.1)) ** 0.8
        out.append((voice + breath * u) * env)
    return _finish(rate, out)
