#!/usr/bin/env python3
"""Checks that every C++ file under src/, tools/, tests/, bench/ and fuzz/ is as clang-format 14 writes it
with the repository's .clang-format, and lists the files that are not.

    tools/checks/format.py [--root DIR]    (DIR defaults to the repository)

`clang-format -i FILE` mends a file it lists. Exit status: 0 when every file is formatted, 1 when one is not,
2 when clang-format 14 is missing.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

FOLDERS = ("src", "tools", "tests", "bench", "fuzz")
SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c")
# Other major versions break lines differently, so the tree is checked with the one Debian 12 ships.
VERSION = 14
BATCH = 100


def find_clang_format():
    for name in (f"clang-format-{VERSION}", "clang-format"):
        path = shutil.which(name)
        if path:
            out = subprocess.run([path, "--version"], capture_output=True, text=True).stdout
            m = re.search(r"version (\d+)\.", out)
            if m and int(m.group(1)) == VERSION:
                return path
    return None


def sources(root):
    found = []
    for folder in FOLDERS:
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, folder)):
            # Packages npm installs beside a tool (tools/web/lighthouse/) are not ours to format.
            dirnames[:] = sorted(d for d in dirnames if d != "node_modules")
            found += [os.path.relpath(os.path.join(dirpath, f), root) for f in sorted(filenames) if f.endswith(SUFFIXES)]
    return found


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(here, "..", ".."), help="the repository to check")
    args = parser.parse_args()
    clang_format = find_clang_format()
    if not clang_format:
        print(f"format: clang-format {VERSION} not found (./dev installs it: clang-format)", file=sys.stderr)
        return 2

    files = sources(args.root)
    unformatted = set()
    for start in range(0, len(files), BATCH):
        batch = files[start:start + BATCH]
        run = subprocess.run([clang_format, "--dry-run", "--Werror", "--ferror-limit=1", *batch],
                             cwd=args.root, capture_output=True, text=True)
        for line in run.stderr.splitlines():
            m = re.match(r"(.+?):\d+:\d+: error: code should be clang-formatted", line)
            if m:
                unformatted.add(m.group(1))
        if run.returncode != 0 and not unformatted.intersection(batch):
            print(run.stderr, file=sys.stderr)  # clang-format failed for another reason: say why
            return 1

    for path in sorted(unformatted):
        print(f"{path}: not formatted (clang-format -i {path})")
    if unformatted:
        print(f"format: {len(unformatted)} of {len(files)} files are not formatted")
        return 1
    print(f"format: all {len(files)} files are formatted")
    return 0


if __name__ == "__main__":
    sys.exit(main())
