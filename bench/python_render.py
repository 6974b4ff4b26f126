#!/usr/bin/env python3
"""Times one render of the longest sound (every knob at 360) through the
Python module against the same render through the C interface in a native
loop (tonkelwerk_c_render_time, which js_render.mjs uses too), taken in
turns, each side's best; prints both and their ratio against the goal of 1.3.
Leaves out: shorter sounds, where the call's overhead weighs more but the
render costs little anyway. Depends on: the module (PYTHONPATH=python) and
the shared library (TONKELWERK_LIBRARY) of the release build.
Usage (build the targets tonkelwerk_shared and tonkelwerk_c_render_time first):
  TONKELWERK_LIBRARY=build/release/sound/libtonkelwerk.so.1 PYTHONPATH=python \\
    python3 bench/python_render.py [RELEASE_BUILD]
"""

import os
import subprocess
import sys
import time

import tonkelwerk

LONGEST = dict(start=360, end=360, freq=360, rustle=360, cutter=360, len=360)
# As the native loop counts: the best of ROUNDS, each the mean of RENDERS.
ROUNDS = 5
RENDERS = 10


def python_ms():
    best = float("inf")
    for _ in range(ROUNDS):
        started = time.perf_counter()
        for seed in range(RENDERS):
            tonkelwerk.render(**LONGEST, seed=seed)
        best = min(best, (time.perf_counter() - started) * 1e3 / RENDERS)
    return best


def main():
    release = sys.argv[1] if len(sys.argv) > 1 else "build/release"
    native_tool = os.path.join(release, "bench", "tonkelwerk_c_render_time")
    tonkelwerk.render(**LONGEST)
    native = python = float("inf")
    for _ in range(3):
        native = min(native, float(subprocess.run([native_tool], capture_output=True, text=True,
                                                  check=True).stdout))
        python = min(python, python_ms())
    print("native C interface: %.3f ms per render" % native)
    print("Python %s module: %.3f ms per render()" % (sys.version.split()[0], python))
    print("ratio Python / native: %.2f (goal: 1.3 or less)" % (python / native))


if __name__ == "__main__":
    main()
