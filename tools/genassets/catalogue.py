"""Reads the game's asset catalogue, game/catalogue.def: the one place that
names the 26 assets and gives each sprite strip its frame size and count."""

import os
import re

PATH = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "game",
                                     "catalogue.def"))

_LINE = re.compile(r"^(PICTURE|STRIP|SOUND)\((.*)\)\s*$")


def read(path=PATH):
    """(pictures, strips, sounds): the file names (upper case) of the
    pictures and sounds in catalogue order, and the strips as an ordered
    dict of file name to (frame width, frame height, frame count)."""
    pictures, strips, sounds = [], {}, []
    with open(path) as f:
        for line in f:
            m = _LINE.match(line)
            if not m:
                continue
            kind, args = m.group(1), [a.strip() for a in m.group(2).split(",")]
            if kind == "PICTURE":
                pictures.append(args[0].strip('"').upper())
            elif kind == "STRIP":
                strips[args[1].strip('"').upper()] = (int(args[2]), int(args[3]), int(args[4]))
            else:
                sounds.append(args[1].strip('"').upper())
    return pictures, strips, sounds
