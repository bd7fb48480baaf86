#!/usr/bin/python3
"""Runs the whole-program tests: every test_*.py under tests/wine.

    run_tests.py [-k PATTERN]... [FILE]...

Each file runs in its own Python process with a time-limit, so one that
hangs or crashes costs only its own tests. One line per test, then the
summary "wine: N passed, M failed" (skipped tests are counted apart).
Exit code 0 only when nothing failed.
"""
import argparse
import json
import os
import signal
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
FILE_TIME_LIMIT = int(os.environ.get("QL_WINE_FILE_TIMEOUT", "1800"))
RESULT_MARK = "@@result "


def discover():
    found = []
    for folder, folders, files in os.walk(HERE):
        folders[:] = sorted(f for f in folders if not f.startswith((".", "__")))
        found += [os.path.join(folder, f) for f in sorted(files)
                  if f.startswith("test_") and f.endswith(".py")]
    return found


class _Reporter(unittest.TextTestResult):
    """Prints one machine-readable line per finished test."""

    def startTest(self, test):
        self._started = time.time()
        super().startTest(test)

    def _report(self, test, outcome):
        record = {"test": test.id(), "outcome": outcome,
                  "seconds": round(time.time() - getattr(self, "_started", time.time()), 1)}
        self.stream.flush()
        print(RESULT_MARK + json.dumps(record), flush=True)

    def addSuccess(self, test):
        super().addSuccess(test)
        self._report(test, "pass")

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._report(test, "fail")

    def addError(self, test, err):
        super().addError(test, err)
        self._report(test, "fail")

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self._report(test, "skip")

    def addExpectedFailure(self, test, err):
        super().addExpectedFailure(test, err)
        self._report(test, "pass")

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self._report(test, "fail")


def run_one_file(path, patterns):
    """Child side: runs the tests of one file, reporting each."""
    sys.path.insert(0, os.path.dirname(path))
    sys.path.insert(0, HERE)
    loader = unittest.TestLoader()
    if patterns:
        loader.testNamePatterns = ["*%s*" % p if "*" not in p else p for p in patterns]
    name = os.path.splitext(os.path.basename(path))[0]
    try:
        module = __import__(name)
        suite = loader.loadTestsFromModule(module)
    except Exception as error:  # an import error is that file's failure
        print("cannot load %s: %r" % (path, error), flush=True)
        print(RESULT_MARK + json.dumps({"test": name, "outcome": "fail", "seconds": 0}))
        return 1
    runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=2, resultclass=_Reporter)
    return 0 if runner.run(suite).wasSuccessful() else 1


def kill_wine():
    for command in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(command, timeout=60, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        except (subprocess.TimeoutExpired, OSError):
            pass


def run_file(path, patterns, counts):
    """Parent side: runs one file in a child, echoes its output, counts results."""
    relative = os.path.relpath(path, HERE)
    command = [sys.executable, os.path.abspath(__file__), "--child", path]
    for pattern in patterns:
        command += ["-k", pattern]
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               stdin=subprocess.DEVNULL, start_new_session=True)
    seen = 0
    deadline = time.time() + FILE_TIME_LIMIT
    timer_expired = False

    def on_alarm(*_):
        nonlocal timer_expired
        timer_expired = True
        os.killpg(process.pid, signal.SIGKILL)

    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(max(1, int(deadline - time.time())))
    try:
        for raw in process.stdout:
            line = raw.decode("utf-8", "replace").rstrip("\n")
            if line.startswith(RESULT_MARK):
                record = json.loads(line[len(RESULT_MARK):])
                counts[record["outcome"]] += 1
                seen += 1
                mark = {"pass": "PASS", "fail": "FAIL", "skip": "SKIP"}[record["outcome"]]
                print("%s %s (%.1f s)" % (mark, record["test"], record["seconds"]), flush=True)
            else:
                print("  " + line, flush=True)
        process.wait()
    finally:
        signal.alarm(0)
    if timer_expired:
        print("FAIL %s: stopped after %d s" % (relative, FILE_TIME_LIMIT), flush=True)
        counts["fail"] += 1
        kill_wine()
    elif process.returncode != 0 and seen == 0:
        print("FAIL %s: ended with code %d before any test ran" % (relative, process.returncode))
        counts["fail"] += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("-k", dest="patterns", action="append", default=[],
                        help="only tests whose names contain PATTERN")
    parser.add_argument("--child", help=argparse.SUPPRESS)
    parser.add_argument("files", nargs="*", help="test files (default: every test_*.py)")
    arguments = parser.parse_args()
    if arguments.child:
        return run_one_file(arguments.child, arguments.patterns)

    files = [os.path.abspath(f) for f in arguments.files] or discover()
    counts = {"pass": 0, "fail": 0, "skip": 0}
    started = time.time()
    for path in files:
        print("== %s" % os.path.relpath(path, HERE), flush=True)
        run_file(path, arguments.patterns, counts)
    if counts["skip"]:
        print("wine: %d skipped" % counts["skip"])
    print("wine tests took %d s" % (time.time() - started))
    print("wine: %d passed, %d failed" % (counts["pass"], counts["fail"]))
    return 1 if counts["fail"] else 0


if __name__ == "__main__":
    sys.exit(main())
