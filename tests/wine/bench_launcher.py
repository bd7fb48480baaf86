#!/usr/bin/python3
"""Repaint benchmark of the launcher page under Wine (prints figures; not a test).

The program starts with one category of 300 items (shortcuts to a handful of
real files, so every visible entry asks the shell for its icon, as on a user's
desktop), in the large-icon view and in the list view. qldrive then repaints
the whole control window again and again; each repaint waits until the
program has painted, so its time is what a user waits for; the processor time
the program's window thread spent a repaint is printed too, since on a busy
shared machine the wall clock mostly measures the others. One frame at 60 Hz
is 16.7 ms.

    /usr/bin/python3 tests/wine/bench_launcher.py [REPAINTS]
"""
import sys
import time

import harness

TARGETS = ("C:\\windows\\notepad.exe", "C:\\windows\\regedit.exe", "C:\\windows\\explorer.exe",
           "C:\\windows\\system32\\cmd.exe", "C:\\windows", "C:\\windows\\system32\\wineboot.exe")


class Bench(harness.ProgramTest):
    """Borrows the test base for its program folder and Wine handling."""

    def runTest(self):
        pass


def launcher_text(items):
    return "[工具]\r\n" + "".join("程序%03d=%s\r\n" % (i, TARGETS[i % len(TARGETS)])
                                  for i in range(items))


def measure(bench, list_mode, repaints):
    bench.setUp()
    try:
        bench.make_data_file(config1="[控制配置]\r\n列表方式=%s\r\n" % list_mode,
                             config2=launcher_text(300))
        bench.start_program()
        window = bench.main_window()
        time.sleep(1.5)  # the first layout's 50 ms relayout has filled the list
        bench.driver.run("repaint", "0x%x" % window.hwnd, "count=5")  # warms the caches
        lines = bench.driver.run("repaint", "0x%x" % window.hwnd, "count=%d" % repaints,
                                 timeout=120)
        bench.screenshot("bench-launcher-%s" % ("list" if list_mode == "真" else "icons"))
        figures = [float(x) for line in lines for x in line.split(b"=", 1)[1].split()]
        return figures
    finally:
        bench.tearDown()


def main():
    repaints = int(sys.argv[1]) if len(sys.argv) > 1 else 40
    bench = Bench()
    bench.setUpClass()
    for label, mode in (("large icons", "假"), ("list", "真")):
        median, least, most, cpu = measure(bench, mode, repaints)
        print("launcher category of 300 items, %s: full repaint %.2f ms (median of %d; "
              "min %.2f, max %.2f), the program's processor time %.2f ms a repaint; "
              "one frame is 16.7 ms" % (label, median, repaints, least, most, cpu))


if __name__ == "__main__":
    main()
