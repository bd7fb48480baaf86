#!/usr/bin/python3
"""What the desktop animation costs under Wine (prints figures; not a test).

Each shipped movie, and a heavy and three hostile ones (tools/swf-bench
--write-samples), plays at 600 x 400 on the desktop stand-in, locked (no
adjustment frame), and the program is measured:

  cpu       the program process's share of one core over SECONDS (30)
  covered   the same with an opaque window over the whole player
  hold      how long the GUI thread kept the control window waiting while
            the movie played, from WM_NULL sent every 2 ms for 10 s (mean and
            longest, milliseconds; the machine's other load shows here too)
  gui       the GUI thread's own processor time per frame while it played,
            beyond the empty player's (milliseconds; other load does not
            inflate it; the empty player's line shows, per second, what the
            GUI thread spends answering the WM_NULL probe itself)

    /usr/bin/python3 tests/wine/bench_desktop_animation.py [SECONDS] [--only NAME...] [--frame]

--frame measures with the adjustment frame open as well.
"""
import os
import subprocess
import sys
import tempfile
import time
import zlib

import harness

CATALOGUE = os.path.join(harness.ROOT, "build", "native", "catalogue")
SWF_BENCH = os.path.join(harness.ROOT, "build", "native", "tools", "swf-bench", "swf-bench")
PLAYER = (224, 100, 600, 400)  # the default place on a 1024-pixel screen
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def movies():
    """(label, fl地址 value or a file path) of everything to play; the empty
    player first, as the floor of what the machine and Wine cost."""
    found = [("(no movie)", "")]
    for category in sorted(os.listdir(CATALOGUE)):
        folder = os.path.join(CATALOGUE, category)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if name.endswith(".swf"):
                found.append(("%s/%s" % (category, name[:-4]), "%s###%s" % (category, name[:-4])))
    samples = tempfile.mkdtemp(prefix="ql-bench-movies-")
    subprocess.run([SWF_BENCH, "--write-samples", samples], check=True, stdout=subprocess.DEVNULL)
    for name in ("heavy", "endless-scripts", "deep-masks", "nested-blurs"):
        found.append((name, harness.windows_path(os.path.join(samples, name + ".swf"))))
    return found


class Bench(harness.ProgramTest):
    seconds = 30
    only = []
    with_frame = False
    probe_cpu = 0.0  # the empty player's GUI thread time over the probe (ms)

    def measure(self, label, movie, locked):
        self.setUp()
        try:
            driver = self.driver
            driver.desktop()
            self.make_data_file(config1="[fl配置]\r\nfl地址=%s\r\n锁定=%s\r\n" % (movie, "真" if locked else "假"),
                                movies=CATALOGUE)
            program = self.start_program()
            control = self.main_window()
            time.sleep(4)
            pid = program.process.pid
            before, start = cpu_seconds(pid), time.time()
            time.sleep(self.seconds)
            cpu = (cpu_seconds(pid) - before) / (time.time() - start)
            hold = driver.latency(control, 10)
            driver.cover(*PLAYER)
            time.sleep(2)
            before, start = cpu_seconds(pid), time.time()
            time.sleep(self.seconds)
            covered = (cpu_seconds(pid) - before) / (time.time() - start)
            frames = 10 * self.frame_rate(movie)
            if frames:
                gui = "%5.2f ms/frame" % (max(0.0, hold["cpu"] - Bench.probe_cpu) / frames)
            else:
                Bench.probe_cpu = hold["cpu"]
                gui = "%5.1f ms/s (the probe)" % (hold["cpu"] / 10)
            print("  %-22s %s cpu %5.1f%%  covered %4.1f%%  hold mean %5.2f ms  longest %7.1f ms  gui %s"
                  % (label, "locked  " if locked else "unlocked", 100 * cpu, 100 * covered, hold["mean"],
                     hold["max"], gui), flush=True)
        finally:
            self.tearDown()

    @staticmethod
    def frame_rate(movie):
        """The movie's frames a second, from its file's header (0: none)."""
        if not movie:
            return 0
        if movie.startswith("Z:"):
            path = movie[2:].replace("\\", "/")
        else:
            category, name = movie.split("###")
            path = os.path.join(CATALOGUE, category, name + ".swf")
        with open(path, "rb") as f:
            data = f.read()
        if data[:3] == b"CWS":
            data = data[:8] + zlib.decompress(data[8:])
        bits = data[8] >> 3  # the stage rectangle's field width
        at = 8 + (5 + 4 * bits + 7) // 8
        return data[at + 1] + data[at] / 256

    def test_figures(self):
        print("\nDesktop animation at 600 x 400 under Wine (%d s per figure; load average %.1f):"
              % (self.seconds, os.getloadavg()[0]), flush=True)
        for label, movie in movies():
            if self.only and movie and not any(o in label for o in self.only):
                continue
            self.measure(label, movie, True)
            if self.with_frame:
                self.measure(label, movie, False)


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if "--frame" in arguments:
        arguments.remove("--frame")
        Bench.with_frame = True
    if "--only" in arguments:
        at = arguments.index("--only")
        Bench.only = arguments[at + 1:]
        arguments = arguments[:at]
    if arguments:
        Bench.seconds = int(arguments[0])
    import unittest
    unittest.main(argv=[sys.argv[0]])
