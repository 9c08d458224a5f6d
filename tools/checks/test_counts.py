#!/usr/bin/env python3
"""Checks that a CTest run ran every test that the build's GoogleTest programs define, and that each one
passed: none lost in discovery, filtered away, disabled or skipped.

    tools/checks/test_counts.py BUILD_DIR JUNIT_FILE

BUILD_DIR/gtest-programs.txt (written by tests/CMakeLists.txt) lists the programs; each one's own
--gtest_list_tests says what it defines. JUNIT_FILE is what the run wrote with
    ctest --output-junit JUNIT_FILE --test-output-size-passed 1000000 --test-output-truncation head
(the output of passed tests kept whole, or at least its end): a test counts as run when GoogleTest's
"[       OK ] NAME" line is in the output of one of the run's tests, whether CTest ran the test alone
(discovered tests) or a whole program in one go (the X11 tests under xvfb-run).
Exit status: 0 when every defined test ran and passed, 1 when one did not, 2 on a usage error.
"""

import argparse
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

PASSED = re.compile(r"^\[       OK \] (\S+) \(\d+ ms\)$", re.M)
SHOWN = 10  # names printed per program and kind of fault


def defined(program):
    """The full names of the tests the program defines (disabled ones included), in its order."""
    run = subprocess.run([program, "--gtest_list_tests"], capture_output=True, text=True, timeout=120,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen", ASAN_OPTIONS="detect_leaks=0"))
    if run.returncode != 0:
        raise RuntimeError(f"{program} --gtest_list_tests failed ({run.returncode}):\n{run.stderr}")
    names, suite = [], None
    for line in run.stdout.splitlines():
        if not line.strip() or line.startswith("Running main()"):
            continue
        if not line.startswith(" "):
            suite = line.split("#")[0].strip()  # "Suite." or "Prefix/Suite.  # TypeParam = ..."
        elif suite:
            names.append(suite + line.split("#")[0].strip())
    return names


def ran(junit):
    """The tests GoogleTest reported passed in the run, and CTest's account of the run's tests."""
    passed, statuses = set(), {}
    for case in ElementTree.parse(junit).getroot().iter("testcase"):
        statuses[case.get("name")] = case.get("status")
        out = case.findtext("system-out") or ""
        passed.update(PASSED.findall(out))
    return passed, statuses


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("junit")
    args = parser.parse_args()
    listing = os.path.join(args.build, "gtest-programs.txt")
    if not os.path.isfile(listing) or not os.path.isfile(args.junit):
        print(f"test counts: {listing} or {args.junit} is missing", file=sys.stderr)
        return 2
    with open(listing, encoding="utf-8") as f:
        programs = [line.strip() for line in f if line.strip()]
    passed, statuses = ran(args.junit)
    faults = 0
    total = 0
    for program in programs:
        names = defined(program)
        total += len(names)
        missing = [n for n in names if n not in passed]
        name = os.path.basename(program)
        if not names:
            print(f"test counts: {name} defines no tests")
            faults += 1
        elif missing:
            shown = ", ".join(missing[:SHOWN]) + (", ..." if len(missing) > SHOWN else "")
            print(f"test counts: {name} defines {len(names)} tests, {len(names) - len(missing)} ran and passed; "
                  f"not run, skipped or failed: {shown}")
            faults += 1
        else:
            print(f"test counts: {name}: all {len(names)} tests ran and passed")
    others = {status for status in statuses.values() if status not in ("run",)}
    if others:
        kinds = ", ".join(f"{sum(1 for s in statuses.values() if s == k)} {k}" for k in sorted(others))
        print(f"test counts: CTest reports tests that did not pass: {kinds}")
        faults += 1
    if faults:
        return 1
    print(f"test counts: {total} tests in {len(programs)} programs, and {len(statuses)} CTest tests, all ran")
    return 0


if __name__ == "__main__":
    sys.exit(main())
