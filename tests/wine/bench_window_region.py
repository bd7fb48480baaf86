"""Benchmark, not a test: the time to build a window region from a 1024 x 768
picture with many holes under Wine (the gallery's region scene), and to shape
a 400 x 300 window with the same lace. Prints figures.

    python3 tests/wine/bench_window_region.py [ROUNDS]
"""
import sys
import tempfile

import harness
import test_window_base


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    builds, applies = [], []
    for _ in range(rounds):
        harness.kill_wine()
        scene = test_window_base.Scene(tempfile.mkdtemp(prefix="ql-bench-"), "region")
        try:
            builds.append(float(scene.fact("build_ms", timeout=60)))
            applies.append(float(scene.fact("apply_ms", timeout=60)))
        finally:
            scene.kill()
    harness.kill_wine()
    print("region from a 1024x768 picture with holes: %s ms (best %.2f)"
          % (", ".join("%.2f" % b for b in builds), min(builds)))
    print("SetWindowRgn path for 400x300 lace: %s ms (best %.2f)"
          % (", ".join("%.2f" % a for a in applies), min(applies)))


if __name__ == "__main__":
    main()
