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

import catalogue  # noqa: E402
import formats  # noqa: E402
import scenery  # noqa: E402
import bird  # noqa: E402
import grumm  # noqa: E402
import icons  # noqa: E402
import screens  # noqa: E402
import sounds  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))

# The builder of each asset named in the catalogue. A strip builder returns
# one straight-RGBA byte string per frame; a picture builder 640 x 480 RGB
# bytes, top row first; a sound builder its samples, given the sample rate
# and count.
STRIP_BUILDERS = {
    "FLY.PNG": bird.fly_frames,
    "FONT.PNG": scenery.font_frames,
    "ICE.PNG": scenery.ice_frames,
    "LOOK.PNG": bird.look_frames,
    "PREPJUMP.PNG": bird.prepjump_frames,
    "ROCK.PNG": scenery.rock_frames,
    "SCRATCH.PNG": scenery.scratch_frames,
    "SFONT.PNG": scenery.sfont_frames,
    "SHADOW.PNG": scenery.shadow_frames,
    "SIGN.PNG": scenery.sign_frames,
    "SSIGN.PNG": scenery.ssign_frames,
    "STICK.PNG": bird.stick_frames,
    "STREE.PNG": scenery.stree_frames,
    "TOP.PNG": scenery.top_frames,
    "TREE.PNG": scenery.tree_frames,
    "GRUMM.PNG": grumm.frames,
    "SIGNSHAD.PNG": scenery.signshad_frames,
}

PICTURE_BUILDERS = {
    "PROMO1.BMP": screens.promo,
    "TI.BMP": screens.title,
    "BG.BMP": scenery.background,
}

# Sounds: sample rate, sample count, builder of the samples.
SOUND_BUILDERS = {
    "BEAT.WAV": (11025, 5184, sounds.beat),
    "READY.WAV": (11025, 11520, sounds.ready),
    "HUI.WAV": (11025, 36864, sounds.hui),
    "HEPP.WAV": (11025, 3456, sounds.hepp),
    "BOUNCE.WAV": (11025, 4608, sounds.bounce),
    "LIFT.WAV": (22050, 6336, sounds.lift),
}


def build_all():
    """Every asset of the catalogue as (name, bytes)."""
    pictures, strips, sound_names = catalogue.read()
    names = list(strips) + pictures + sound_names
    builders = list(STRIP_BUILDERS) + list(PICTURE_BUILDERS) + list(SOUND_BUILDERS)
    assert sorted(names) == sorted(builders), "the catalogue and the builders name different assets"
    out = []
    for name, (w, h, count) in strips.items():
        frames = STRIP_BUILDERS[name]()
        assert len(frames) == count, name
        for f in frames:
            assert len(f) == w * h * 4, name
        out.append((name, formats.png_rgba(w, h * count, b"".join(frames))))
    for name in pictures:
        out.append((name, formats.bmp24(640, 480, PICTURE_BUILDERS[name]())))
    for name in sound_names:
        rate, count, builder = SOUND_BUILDERS[name]
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
