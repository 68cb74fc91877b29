#!/usr/bin/python3
"""Writes every picture, sprite strip and sound of Snowpunt.

    generate.py [--out DIR] [--icons DIR]

The assets go to the repository's assets/ directory and the desktop icons
(hicolor sizes and the scalable one) under packaging/icons/hicolor unless
told otherwise. The output is the same byte for byte on every run.
"""

import sys

sys.dont_write_bytecode = True  # keep the source tree free of caches

import argparse  # noqa: E402
import os  # noqa: E402

import formats  # noqa: E402
import scenery  # noqa: E402
import bird  # noqa: E402
import grumm  # noqa: E402
import icons  # noqa: E402
import screens  # noqa: E402
import sounds  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))

# Sprite strips: name, frame width, frame height, frame count, builder.
# The builder returns one straight-RGBA byte string per frame.
STRIPS = [
    ("FLY.PNG", 72, 36, 21, bird.fly_frames),
    ("FONT.PNG", 13, 27, 11, scenery.font_frames),
    ("ICE.PNG", 175, 414, 1, scenery.ice_frames),
    ("LOOK.PNG", 67, 29, 6, bird.look_frames),
    ("PREPJUMP.PNG", 48, 72, 33, bird.prepjump_frames),
    ("ROCK.PNG", 144, 96, 1, scenery.rock_frames),
    ("SCRATCH.PNG", 72, 8, 1, scenery.scratch_frames),
    ("SFONT.PNG", 10, 20, 6, scenery.sfont_frames),
    ("SHADOW.PNG", 55, 10, 1, scenery.shadow_frames),
    ("SIGN.PNG", 145, 78, 1, scenery.sign_frames),
    ("SSIGN.PNG", 85, 35, 1, scenery.ssign_frames),
    ("STICK.PNG", 36, 48, 6, bird.stick_frames),
    ("STREE.PNG", 59, 104, 1, scenery.stree_frames),
    ("TOP.PNG", 43, 15, 1, scenery.top_frames),
    ("TREE.PNG", 94, 166, 1, scenery.tree_frames),
    ("GRUMM.PNG", 180, 134, 31, grumm.frames),
    ("SIGNSHAD.PNG", 169, 24, 1, scenery.signshad_frames),
]

# Full-screen pictures: name and builder of 640 x 480 RGB bytes, top row first.
PICTURES = [
    ("PROMO1.BMP", screens.promo),
    ("TI.BMP", screens.title),
    ("BG.BMP", scenery.background),
]

# Sounds: name, sample rate, sample count, builder of the samples.
SOUNDS = [
    ("BEAT.WAV", 11025, 5184, sounds.beat),
    ("READY.WAV", 11025, 11520, sounds.ready),
    ("HUI.WAV", 11025, 36864, sounds.hui),
    ("HEPP.WAV", 11025, 3456, sounds.hepp),
    ("BOUNCE.WAV", 11025, 4608, sounds.bounce),
    ("LIFT.WAV", 22050, 6336, sounds.lift),
]


def build_all():
    """Every asset as (name, bytes), in catalogue order."""
    out = []
    for name, w, h, count, builder in STRIPS:
        frames = builder()
        assert len(frames) == count, name
        for f in frames:
            assert len(f) == w * h * 4, name
        out.append((name, formats.png_rgba(w, h * count, b"".join(frames))))
    for name, builder in PICTURES:
        out.append((name, formats.bmp24(640, 480, builder())))
    for name, rate, count, builder in SOUNDS:
        samples = builder(rate, count)
        assert len(samples) == count, name
        out.append((name, formats.wav_mono16(rate, samples)))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(REPO, "assets"), help="directory for the 26 assets")
    parser.add_argument("--icons", default=os.path.join(REPO, "packaging", "icons", "hicolor"),
                        help="hicolor directory for the desktop icons")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, data in build_all():
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
    for rel, data in icons.all_files():
        path = os.path.join(args.icons, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
