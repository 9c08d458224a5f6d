#!/usr/bin/env python3
"""The layer check fails on a small tree (layers_fixture/src) that breaks the rule in three ways, and names
each include that does, and only those: its file and line and the two folders with their layers."""

import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
fixture = os.path.join(here, "layers_fixture", "src")
run = subprocess.run([sys.executable, os.path.join(here, "layers.py"), "--src", fixture],
                     capture_output=True, text=True, cwd=fixture)
print(run.stdout, run.stderr, sep="")

expected = [
    "./graphics/picture.cpp:2: graphics (layer 2) includes app/engine.h of app (layer 7): runs up a layer",
    "./graphics/picture.cpp:4: graphics (layer 2) includes sound/mixer.h of sound (layer 2): runs sideways",
    "./backends/qt/window.cpp:2: backends/qt (a backend) includes graphics/picture.h of graphics (layer 2):",
]
reported = [line for line in run.stdout.splitlines() if line.startswith("./")]
failures = []
if run.returncode != 1:
    failures.append(f"exit status {run.returncode}, not 1")
for want in expected:
    if not any(line.startswith(want) for line in reported):
        failures.append(f"not reported: {want}")
if len(reported) != len(expected):
    failures.append(f"{len(reported)} includes reported, {len(expected)} expected")
for failure in failures:
    print("layers self-test:", failure)
sys.exit(1 if failures else 0)
