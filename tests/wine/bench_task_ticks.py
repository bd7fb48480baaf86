#!/usr/bin/python3
"""How late the task timer's one-second tick runs tasks in the running program
under Wine (prints figures; not a test).

The program starts with one task due every 2 seconds over MINUTES minutes
(default 5), each an "打开网页" task, which the harness's call record takes
down with its time instead of opening anything. Each task's lateness is the
recorded time minus its due second; the gaps between consecutive firings show
the tick's own regularity. With --movie, a shipped movie of the catalogue
(CATEGORY###NAME, as "fl地址" stores it) plays on the desktop meanwhile, on the
program's own process like the tick.

    /usr/bin/python3 tests/wine/bench_task_ticks.py [MINUTES] [--movie CATEGORY###NAME]
"""
import datetime
import os
import statistics
import sys
import time
import unittest

import harness

CATALOGUE = os.path.join(harness.ROOT, "build", "native", "catalogue")

START_AFTER = 45  # seconds: the schedule is loaded 22 to 33 s after start
SPACING = 2


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[int(fraction * (len(ordered) - 1))]


class TickBench(harness.ProgramTest):
    minutes = 5
    movie = ""

    def test_tick_lateness(self):
        count = self.minutes * 60 // SPACING
        first = datetime.datetime.now().replace(microsecond=0) + datetime.timedelta(seconds=START_AFTER)
        dues, tasks = {}, []
        for number in range(count):
            due = first + datetime.timedelta(seconds=number * SPACING)
            dues["http://task/%d" % number] = due.hour * 3600 + due.minute * 60 + due.second
            tasks.append("[T%015d]\r\n执行类型=5\r\n执行次数=1\r\n执行时间=%s\r\n执行提示=\r\n备注=http://task/%d\r\n"
                         % (number, due.strftime("%H时%M分%S秒"), number))
        if self.movie:
            self.make_data_file(config1="[fl配置]\r\nfl地址=%s\r\n锁定=真\r\n" % self.movie,
                                config3="".join(tasks), movies=CATALOGUE)
        else:
            self.make_data_file(config3="".join(tasks))
        self.start_program()
        self.main_window()
        time.sleep(START_AFTER + count * SPACING + 5)

        fired = {}
        for when, call in self.program.recorded_calls():
            if call.startswith("ShellExecuteA(open, "):
                fired[call[len("ShellExecuteA(open, "):].rsplit(",", 1)[0]] = when
        lateness = [fired[address] - due for address, due in dues.items() if address in fired]
        times = sorted(fired.values())
        gaps = [b - a for a, b in zip(times, times[1:])]
        print("movie: %s" % (self.movie or "none"))
        print("%d tasks over %d min, %d ran, %d missed, %d early; lateness mean %.3f s, median %.3f s, "
              "95th percentile %.3f s, max %.3f s; gap between firings %.3f to %.3f s (due every %d s)"
              % (count, self.minutes, len(fired), count - len(fired), sum(1 for late in lateness if late < 0),
                 statistics.mean(lateness), statistics.median(lateness), percentile(lateness, 0.95),
                 max(lateness), min(gaps), max(gaps), SPACING))


if __name__ == "__main__":
    if "--movie" in sys.argv:
        at = sys.argv.index("--movie")
        TickBench.movie = sys.argv[at + 1]
        del sys.argv[at:at + 2]
    if len(sys.argv) > 1:
        TickBench.minutes = int(sys.argv.pop(1))
    unittest.main()
