#!/usr/bin/python3
"""Regenerates every asset into a temporary folder and compares it byte for
byte with what the repository carries.

    art_regenerate.py SOURCE_DIR
"""

import os
import subprocess
import sys
import tempfile


def files(top):
    """Relative paths of the files under top, sorted."""
    return sorted(os.path.relpath(os.path.join(d, n), top) for d, _, names in os.walk(top) for n in names)


def main(argv):
    src = argv[1]
    committed = os.path.join(src, "assets")
    icons = os.path.join(src, "packaging", "icons", "hicolor")
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "assets")
        new_icons = os.path.join(tmp, "hicolor")
        env = dict(os.environ, PYTHONDONTWRITEBYTECODE="1")
        subprocess.run([sys.executable, os.path.join(src, "tools", "genassets", "generate.py"), "--out", out,
                        "--icons", new_icons], check=True, env=env)
        problems = []
        pairs = []
        for made_dir, have_dir in ((out, committed), (new_icons, icons)):
            made, have = files(made_dir), files(have_dir)
            if made != have:
                problems.append("generated %s but the repository has %s" % (made, have))
            pairs += [(os.path.join(made_dir, n), os.path.join(have_dir, n)) for n in made if n in have]
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
