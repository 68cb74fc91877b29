#!/usr/bin/python3
"""Regenerates every asset into a temporary folder and compares it byte for
byte with what the repository carries.

    art_regenerate.py SOURCE_DIR
"""

import os
import subprocess
import sys
import tempfile


def main(argv):
    src = argv[1]
    committed = os.path.join(src, "assets")
    icon = os.path.join(src, "packaging", "snowpunt.png")
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "assets")
        new_icon = os.path.join(tmp, "snowpunt.png")
        env = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
        subprocess.run([sys.executable, os.path.join(src, "tools", "genassets", "generate.py"), "--out", out,
                        "--icon", new_icon], check=True, env=env)
        problems = []
        made = sorted(os.listdir(out))
        have = sorted(os.listdir(committed))
        if made != have:
            problems.append("generated %s but the repository has %s" % (made, have))
        pairs = [(os.path.join(out, n), os.path.join(committed, n)) for n in made if n in have]
        pairs.append((new_icon, icon))
        for a, b in pairs:
            with open(a, "rb") as fa, open(b, "rb") as fb:
                da, db = fa.read(), fb.read()
            if da != db:
                first = next((i for i, (x, y) in enumerate(zip(da, db)) if x != y), min(len(da), len(db)))
                problems.append("%s differs from the generator's output (%d vs %d bytes, first at %d)"
                                % (os.path.relpath(b, src), len(db), len(da), first))
    for p in problems:
        print("FAIL:", p)
    print("%d asset(s) compared, %d problem(s)" % (len(pairs), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
