#!/usr/bin/python3
"""art_regenerate.py SOURCE_DIR: the committed assets and icons equal the generator's output."""

import filecmp
import os
import subprocess
import sys
import tempfile


def files(top):
    return sorted(os.path.relpath(os.path.join(d, n), top) for d, _, names in os.walk(top) for n in names)


src, problems = sys.argv[1], []
with tempfile.TemporaryDirectory() as tmp:
    made = {"assets": os.path.join(tmp, "assets"), "packaging/icons/hicolor": os.path.join(tmp, "hicolor")}
    subprocess.run([sys.executable, os.path.join(src, "tools", "genassets", "generate.py"), "--out",
                    made["assets"], "--icons", made["packaging/icons/hicolor"]], check=True)
    for have_dir, made_dir in made.items():
        have_dir = os.path.join(src, have_dir)
        if files(made_dir) != files(have_dir):
            problems.append("generated %s but the repository has %s" % (files(made_dir), files(have_dir)))
        for n in set(files(made_dir)) & set(files(have_dir)):
            if not filecmp.cmp(os.path.join(made_dir, n), os.path.join(have_dir, n), shallow=False):
                problems.append("%s differs from the generator's output" % os.path.join(have_dir, n))
for p in problems:
    print("FAIL:", p)
print("%d problem(s)" % len(problems))
sys.exit(1 if problems else 0)
