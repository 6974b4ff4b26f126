#!/usr/bin/env python3
"""Times one render of the longest sound (every knob at 360) through the
Python module against the same render through the C interface from a tiny C
program on the same library, and prints the ratio; the goal is within 1.3x.
Each side counts its fastest of N runs.
Leaves out: shorter sounds, where the call's overhead weighs more but the
render costs little anyway. Depends on: the module (PYTHONPATH=python),
the library (TONKELWERK_LIBRARY) and the C timer.
Usage:
  TONKELWERK_LIBRARY=build/release/sound/libtonkelwerk.so.1 PYTHONPATH=python \\
    python3 bench/python_render.py build/release/bench/tonkelwerk_c_api_render_bench [N]
"""

import subprocess
import sys
import time

import tonkelwerk

LONGEST = dict(start=360, end=360, freq=360, rustle=360, cutter=360, len=360)


def python_seconds(runs):
    best = float("inf")
    for _ in range(runs):
        started = time.perf_counter()
        tonkelwerk.render(**LONGEST, seed=7)
        best = min(best, time.perf_counter() - started)
    return best


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    c = float(subprocess.run([sys.argv[1], str(runs)], capture_output=True, text=True,
                             check=True).stdout)
    python = python_seconds(runs)
    print("C interface: %.3f ms, Python module: %.3f ms, ratio %.3f (goal: within 1.3)"
          % (c * 1e3, python * 1e3, python / c))


if __name__ == "__main__":
    main()
