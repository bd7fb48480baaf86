"""The scripts that prepare a host: which Windows build a host runs, and a
second setup run that finds everything in place.

    /usr/bin/python3 -m unittest discover -s tests/scripts -v
"""
import hashlib
import os
import shutil
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def environment_of(checkout, **settings):
    """The variables env.sh exports in a checkout, with `settings` set before."""
    env = dict(os.environ)
    env.pop("QL_ARCH", None)
    env.pop("QL_WINEPREFIX", None)
    env.update(settings)
    output = subprocess.run(
        ["bash", "-c", '. "$1/scripts/env.sh" >/dev/null 2>&1; env -0', "env", checkout],
        env=env, capture_output=True, timeout=60, check=True).stdout
    return dict(entry.decode().split("=", 1) for entry in output.split(b"\0") if b"=" in entry)


class BuildChoice(unittest.TestCase):
    """env.sh picks the 32-bit program wherever the host runs 32-bit code."""

    def setUp(self):
        # A checkout with only the scripts, on the display the caller has (so
        # that env.sh starts no screen of its own).
        self.checkout = tempfile.mkdtemp(prefix="ql-scripts-")
        shutil.copytree(os.path.join(ROOT, "scripts"), os.path.join(self.checkout, "scripts"))
        os.makedirs(os.path.join(self.checkout, "build"))
        self.addCleanup(shutil.rmtree, self.checkout, True)

    def answer(self, text):
        with open(os.path.join(self.checkout, "build", "host-runs-i386"), "w") as f:
            f.write(text + "\n")

    def test_a_host_without_32_bit_programs_gets_the_64_bit_build(self):
        self.answer("no")
        env = environment_of(self.checkout)
        build = os.path.join(self.checkout, "build")
        self.assertEqual("x86_64", env["QL_ARCH"])
        self.assertEqual(os.path.join(build, "app64"), env["QL_APP"])
        self.assertEqual(os.path.join(build, "win64"), env["QL_WIN_BUILD"])
        self.assertEqual(os.path.join(build, "wineprefix64"), env["WINEPREFIX"])
        self.assertEqual("win64", env["WINEARCH"])
        # Never Debian's "wine", which picks the 32-bit loader when it is there.
        self.assertNotEqual("wine", env["QL_WINE"])
        self.assertEqual(env["QL_WINE"], env["WINELOADER"])

    def test_a_host_with_32_bit_programs_gets_the_32_bit_build_unless_told(self):
        self.answer("yes")
        build = os.path.join(self.checkout, "build")
        env = environment_of(self.checkout)
        self.assertEqual("i686", env["QL_ARCH"])
        self.assertEqual(os.path.join(build, "app"), env["QL_APP"])
        self.assertEqual(os.path.join(build, "wineprefix"), env["WINEPREFIX"])
        self.assertEqual("win32", env["WINEARCH"])
        self.assertNotIn("WINELOADER", env)
        forced = environment_of(self.checkout, QL_ARCH="x86_64")
        self.assertEqual("x86_64", forced["QL_ARCH"])
        self.assertEqual(os.path.join(build, "app64"), forced["QL_APP"])

    def test_the_host_is_asked_once_by_running_a_32_bit_program(self):
        environment_of(self.checkout)
        answer_file = os.path.join(self.checkout, "build", "host-runs-i386")
        with open(answer_file) as f:
            first = f.read().strip()
        self.assertIn(first, ("yes", "no"))
        self.assertFalse(os.path.exists(os.path.join(self.checkout, "build", "probe-i386")))
        # The kept answer is what later shells read, whatever the host.
        self.answer("no" if first == "yes" else "yes")
        expected = "x86_64" if first == "yes" else "i686"
        self.assertEqual(expected, environment_of(self.checkout)["QL_ARCH"])


def dpkg_state():
    with open("/var/lib/dpkg/status", "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class SetupAgain(unittest.TestCase):
    """Run after a complete setup (scripts/test.sh runs setup first)."""

    def test_a_second_run_finds_everything_in_place(self):
        if not os.path.exists(os.path.join(ROOT, "build", "native", "CMakeCache.txt")):
            self.skipTest("no completed setup in this checkout")
        packages = dpkg_state()
        started = time.time()
        result = subprocess.run([os.path.join(ROOT, "scripts", "setup.sh")], capture_output=True,
                                text=True, timeout=900)
        seconds = time.time() - started
        print("\nsetup.sh again: %.1f s" % seconds)
        self.assertEqual(0, result.returncode, result.stdout[-2000:] + result.stderr[-2000:])
        log = result.stdout + result.stderr
        for sign in ("installing", "generating the", "making the", "configuring the Wine prefix"):
            self.assertNotIn("setup: " + sign, log)
        # Three trees, each up to date.
        self.assertEqual(3, log.count("ninja: no work to do."), log[-3000:])
        self.assertEqual(packages, dpkg_state())


if __name__ == "__main__":
    unittest.main()
