#!/usr/bin/env python3
"""Makes the benchmark tree: FILES files in about DIRS directories, with
realistic name lengths and extensions and a few deep chains. Deterministic
for a given seed. Files are sparse (truncate), so the tree costs little disk.

usage: make_tree.py ROOT [FILES] [DIRS]
"""
import os
import random
import sys

WORDS = ("report invoice holiday photo scan backup draft final notes music song track "
         "album budget letter summary project design sketch archive setup driver readme "
         "video clip lecture chapter index table data export import log config").split()
EXTENSIONS = ["txt", "pdf", "jpg", "jpeg", "png", "mp3", "flac", "docx", "xlsx", "zip",
              "tar.gz", "exe", "dll", "ini", "log", "csv", "html", "c", "h", "cpp", ""]


def name(rng):
    parts = [rng.choice(WORDS) for _ in range(rng.randint(1, 3))]
    text = rng.choice(["_", " ", "-"]).join(parts)
    if rng.random() < 0.5:
        text += " %d" % rng.randint(1, 2030)
    return text


def main():
    root = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    dirs = int(sys.argv[3]) if len(sys.argv) > 3 else 1100
    rng = random.Random(1234)
    os.makedirs(root, exist_ok=True)
    directories = [root]
    while len(directories) < dirs - 40:
        parent = rng.choice(directories[: max(1, len(directories) // 2 + 1)])
        path = os.path.join(parent, name(rng))
        if not os.path.exists(path):
            os.mkdir(path)
            directories.append(path)
    # A few deep chains, staying well inside the 255-character directory limit.
    for chain in range(4):
        path = os.path.join(root, "deep%d" % chain)
        for depth in range(10):
            path = os.path.join(path, "level%02d" % depth)
            os.makedirs(path, exist_ok=True)
            directories.append(path)
    made = 0
    while made < files:
        directory = rng.choice(directories)
        extension = rng.choice(EXTENSIONS)
        path = os.path.join(directory, name(rng) + ("." + extension if extension else ""))
        if os.path.exists(path):
            continue
        with open(path, "wb") as f:
            f.truncate(int(rng.lognormvariate(10, 2.5)) % (8 << 30))
        stamp = rng.randint(315532800 + 86400, 1767225600)
        os.utime(path, (stamp, stamp))
        made += 1
    print("%d files in %d directories under %s" % (made, len(directories), root))


if __name__ == "__main__":
    main()
