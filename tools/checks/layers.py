#!/usr/bin/env python3
"""Checks that every #include "..." under src/ keeps to the engine's layers.

A file may include its own folder and any folder of a lower layer. An include into a higher layer runs up,
one into another folder of the same layer runs sideways: both are reported with the file, the line and the
two folders, and the check fails. The backends stand outside the layers: they see the engine only through
what their row names, and only the program's entry (entry/, above every layer) picks one.

    tools/checks/layers.py [--src DIR]     (DIR defaults to the repository's src/)

Exit status: 0 when every include keeps to the table, 1 when one does not, 2 on a usage error.
"""

import argparse
import os
import re
import sys
from collections import Counter

# What a backend's views may see of the engine: the platform interface and its small services, base, the
# pictures they show (TABitmap) and the fonts their dialogs share with the engine, and the form classes they show.
BACKEND_VIEW = ("base/", "platform/", "graphics/ABitmap.h", "text/text_renderer.h", "dialogs/TCommentForm.h",
                "dialogs/TConfigForm.h", "dialogs/TDebugForm.h", "dialogs/TQueryForm.h", "save/TForm7.h",
                "text/TMsgForm.h", "text/TNameForm.h")
BACKENDS = ("backends/",)

# The rule. Each folder under src/: its layer (None for a backend, which has none) and what it may include
# besides its own folder and the folders of lower layers (folders end in "/", anything else is one file).
RULES = {
    "base": (0, ()),
    "platform": (1, ()),  # the interface: platform.h, window_host.h and the small services beside them
    "graphics": (2, ()),
    "sound": (2, ()),
    "archive": (3, ()),  # an entry's size limit follows the picture decoder's
    "script": (3, ()),  # the script names sound files as the sound system finds them
    "text": (4, ()),  # draws on pictures; a translation reads the scripts' texts
    "dialogs": (5, ()),
    "menus": (5, ()),
    "movie": (5, ()),
    "save": (6, ()),  # the save screen asks its questions and edits comments through the dialogs
    "app": (7, ()),
    "entry": (8, BACKENDS),  # main.cpp starts the backend the command line asks for
}
# Every folder of backends/ is a backend: it has no layer and sees what BACKEND_VIEW names.
BACKEND_RULE = (None, BACKEND_VIEW)

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def rule(folder):
    return BACKEND_RULE if folder.startswith("backends/") else RULES[folder]


def folder_of(path):
    """The table's folder that holds `path` (relative to src/, with slashes): the longest that matches."""
    parts = path.split("/")
    if parts[0] == "backends" and len(parts) > 2:
        return "backends/" + parts[1]
    best = None
    for folder in RULES:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def describe(folder):
    layer = rule(folder)[0]
    return f"{folder} (a backend)" if layer is None else f"{folder} (layer {layer})"


def resolve(src, including, name):
    """The included file relative to src/, looked for as the compiler does: beside the including file, then
    from src/. None when it is outside src/."""
    for base in (os.path.dirname(os.path.join(src, including)), src):
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            rel = os.path.relpath(candidate, src)
            return None if rel.startswith("..") else rel.replace(os.sep, "/")
    name = os.path.normpath(name).replace(os.sep, "/")
    return "" if "/" not in name else name  # a bare name found nowhere is made by the build (a table)


def judge(from_folder, target):
    """Why including `target` from `from_folder` breaks the rule, or None when it keeps to it."""
    to_folder = folder_of(target)
    if to_folder == from_folder:
        return None
    layer, extra = rule(from_folder)
    if any(target == e or (e.endswith("/") and target.startswith(e)) for e in extra):
        return None
    if to_folder is None:
        return "a folder the layer table does not name"
    to_layer = rule(to_folder)[0]
    if layer is None:
        return "a backend sees only the platform interface, base/ and the form classes its views show"
    if to_layer is None:
        return "only the program's entry starts a backend"
    if to_layer > layer:
        return "runs up a layer"
    if to_layer == layer:
        return "runs sideways within a layer"
    return None


def check(src):
    """Every include under `src` that breaks the rule: (file, line, from folder, target, to folder, why)."""
    found = []
    for dirpath, dirnames, filenames in os.walk(src):
        dirnames.sort()
        for filename in sorted(filenames):
            if not filename.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.relpath(os.path.join(dirpath, filename), src).replace(os.sep, "/")
            from_folder = folder_of(path)
            if from_folder is None:
                found.append((path, 0, None, None, None, "its folder is not in the layer table"))
                continue
            with open(os.path.join(src, path), encoding="utf-8", errors="replace") as f:
                for number, text in enumerate(f, 1):
                    m = INCLUDE.match(text)
                    if not m:
                        continue
                    target = resolve(src, path, m.group(1))
                    if target == "":
                        continue
                    if target is None:
                        found.append((path, number, from_folder, m.group(1), None, "it is outside src/"))
                        continue
                    why = judge(from_folder, target)
                    if why:
                        found.append((path, number, from_folder, target, folder_of(target), why))
    return found


def visible_folders(folder):
    """The folders of src/ that `folder` may include from, whole: its own, those of lower layers, and the
    folders its extras lie in (a backend's view names single files; the build grants their folders, and this
    check holds the files). The build compiles each folder against exactly these (--cmake)."""
    layer, extra = rule(folder)
    seen = [folder]
    if layer is not None:
        seen += [f for f, (other, _) in RULES.items() if other is not None and other < layer]
    for e in extra:
        top = e.rstrip("/") if e.endswith("/") else e.rsplit("/", 1)[0]
        if top not in seen:
            seen.append(top)
    return seen


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--src", default=os.path.join(here, "..", "..", "src"), help="the tree to check")
    parser.add_argument("--cmake", action="store_true",
                        help="print, for the build, each folder and the folders it may include from, "
                             "one folder a line: FOLDER=SEEN,SEEN,...")
    args = parser.parse_args()
    if not os.path.isdir(args.src):
        print(f"layers: {args.src}: no such folder", file=sys.stderr)
        return 2
    if args.cmake:
        folders = list(RULES)
        backends = os.path.join(args.src, "backends")
        if os.path.isdir(backends):
            folders += ["backends/" + d for d in sorted(os.listdir(backends))
                        if os.path.isdir(os.path.join(backends, d))]
        for folder in folders:
            print(f"{folder}={','.join(visible_folders(folder))}")
        return 0

    shown = os.path.relpath(args.src)
    found = check(args.src)
    for path, number, from_folder, target, to_folder, why in found:
        where = f"{shown}/{path}:{number}"
        if from_folder is None:
            print(f"{where}: {why}")
        elif to_folder is None:
            print(f"{where}: {describe(from_folder)} includes {target}: {why}")
        else:
            print(f"{where}: {describe(from_folder)} includes {target} of {describe(to_folder)}: {why}")
    if not found:
        print(f"layers: every include in {shown} keeps to the layers")
        return 0

    pairs = Counter((f[2] or "?", f[4] or "?") for f in found)
    print(f"\nlayers: {len(found)} includes in {shown} break the rule, by folder:")
    for (from_folder, to_folder), count in sorted(pairs.items()):
        print(f"  {from_folder} -> {to_folder}: {count}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
