"""Whole-program tests under Wine.

Each test runs the program from a fresh copy of its folder ($QL_APP) in a temporary
folder, drives its windows through qldrive (a Win32 console program that acts
the way a user or the system would) and reads flash.mdb directly.

    import harness

    class ExitTest(harness.ProgramTest):
        def test_exit_command(self):
            self.make_data_file(config1="[控制配置]\\r\\n左边=-20\\r\\n")
            program = self.start_program()
            window = self.main_window()
            self.driver.command(window, harness.EXIT_COMMAND)
            self.assertEqual(0, program.wait_exit())

Everything waits with a time-out; Wine is killed between tests. Texts are
str (GBK on the Windows side); configuration texts are bytes or str (str is
encoded as GBK).
"""
import fcntl
import os
import queue
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import unittest

import flashdb

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

PROGRAM_TITLE = "青岚桌面工具箱"
WINDOW_CLASS = "WTWindow"
EXIT_COMMAND = 1007
TRAY_MESSAGE = 12313
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_MOUSEMOVE = 0x0200
WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK = 0x0201, 0x0202, 0x0203
WM_RBUTTONDOWN, WM_RBUTTONUP = 0x0204, 0x0205
WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
SCREEN = (1024, 768)


def _load_environment():
    """The variables of scripts/env.sh, on the project's own 1024 x 768 screen."""
    if os.environ.get("QL_HARNESS_ENV") == ROOT:
        return
    environment = dict(os.environ)
    environment.pop("DISPLAY", None)
    output = subprocess.run(
        ["bash", "-c", '. "$1/scripts/env.sh" >/dev/null 2>&1; env -0', "env", ROOT],
        env=environment, capture_output=True, timeout=60, check=True).stdout
    for entry in output.split(b"\0"):
        if b"=" in entry:
            name, value = entry.split(b"=", 1)
            os.environ[name.decode()] = value.decode()
    os.environ["QL_HARNESS_ENV"] = ROOT


_load_environment()


def _take_test_lock():
    """One test run per checkout at a time: tests kill every Wine process of
    the prefix. scripts/test.sh holds the lock for its whole run; a test file
    run on its own holds it for its process's life."""
    if os.environ.get("QL_TEST_LOCK_HELD") == "1":
        return
    os.makedirs(os.path.join(ROOT, "build"), exist_ok=True)
    global _lock_file
    _lock_file = open(os.path.join(ROOT, "build", ".test.lock"), "w")
    try:
        fcntl.flock(_lock_file, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        print("harness: waiting for another test run (build/.test.lock)", flush=True)
        fcntl.flock(_lock_file, fcntl.LOCK_EX)
    os.environ["QL_TEST_LOCK_HELD"] = "1"


_lock_file = None
_take_test_lock()

# The Windows build that runs on this host (scripts/env.sh: QL_ARCH).
ARCH = os.environ["QL_ARCH"]
WIN_BUILD = os.environ["QL_WIN_BUILD"]
APP_DIR = os.environ["QL_APP"]
WINE = os.environ["QL_WINE"]
PLAYER_LIBRARY = "qlswf64.dll" if ARCH == "x86_64" else "qlswf.dll"
# The program as shipped, but recording its tasks' system calls instead of
# making them (src/tasks/call_record.h): what every program folder runs.
RECORDING_PROGRAM = os.path.join(WIN_BUILD, "tests", "wine", "program", "qinglan_recording.exe")
QLDRIVE = os.path.join(WIN_BUILD, "tests", "wine", "driver", "qldrive.exe")
MKDB = os.path.join(WIN_BUILD, "tools", "mkdb", "mkdb.exe")
SHOTS = os.path.join(ROOT, "build", "shots")


def windows_path(path):
    """A Unix path as the program sees it under Wine (drive Z: is /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def gbk(text):
    return text.encode("gbk") if isinstance(text, str) else text


def kill_wine(timeout=30):
    """Ends every process of the prefix and waits for the server to go."""
    for command in (["wineserver", "-k"], ["wineserver", "-w"]):
        try:
            subprocess.run(command, timeout=timeout, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        except subprocess.TimeoutExpired:
            pass


def run_wine(arguments, cwd=None, timeout=120):
    """Runs a Windows console program to its end: (exit code, stdout, stderr) as bytes."""
    # Output goes through files, not pipes: a wineserver or system process
    # started by this run inherits the descriptors and would hold a pipe open
    # for seconds after the program itself has ended.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.Popen([WINE] + [str(a) for a in arguments], cwd=cwd,
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                   start_new_session=True)
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read()


def screenshot(name):
    """The whole screen into build/shots/NAME.png; returns the file's path."""
    os.makedirs(SHOTS, exist_ok=True)
    path = os.path.join(SHOTS, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, timeout=60)
    return path


def screen_size():
    output = subprocess.run(["xdpyinfo"], capture_output=True, timeout=30).stdout.decode()
    for line in output.splitlines():
        if "dimensions:" in line:
            width, height = line.split()[1].split("x")
            return int(width), int(height)
    return None


# ---- Windows as qldrive reports them ----

def _unescape(data):
    """Undoes qldrive's escaping of "\\", CR and LF (byte-wise, before decoding)."""
    out, i = bytearray(), 0
    while i < len(data):
        if data[i:i + 1] == b"\\" and i + 1 < len(data):
            out += {b"\\": b"\\", b"r": b"\r", b"n": b"\n"}.get(data[i + 1:i + 2], data[i:i + 2])
            i += 2
        else:
            out += data[i:i + 1]
            i += 1
    return bytes(out)


class Window:
    """One line of qldrive: hwnd=... pid=... class=... visible=... rect=... title=..."""

    def __init__(self, line):
        head, _, title = line.partition(b" title=")
        fields = dict(word.split(b"=", 1) for word in head.split(b" ") if b"=" in word)
        self.hwnd = int(fields[b"hwnd"], 16)
        self.pid = int(fields[b"pid"])
        self.id = int(fields[b"id"]) if b"id" in fields else None
        self.cls = fields[b"class"].decode("gbk", "replace")
        self.visible = fields[b"visible"] == b"1"
        self.rect = tuple(int(v) for v in fields[b"rect"].split(b","))  # left, top, width, height
        self.style = int(fields[b"style"], 16)
        self.exstyle = int(fields[b"exstyle"], 16)
        self.owner = int(fields.get(b"owner", b"0"), 16)
        self.title = _unescape(title).decode("gbk", "replace")

    def __repr__(self):
        return "<window 0x%x %s %r %s>" % (self.hwnd, self.cls, self.title, self.rect)


class MessageBox:
    def __init__(self, window, text, buttons):
        self.window = window
        self.text = text
        self.buttons = buttons  # [(id, text)]

    def __repr__(self):
        return "<message box %r: %r %r>" % (self.window.title, self.text, self.buttons)


class DriverError(Exception):
    pass


class Driver:
    """One qldrive process taking commands on stdin (see tests/wine/driver/main.cpp)."""

    def __init__(self):
        self.process = subprocess.Popen([WINE, QLDRIVE], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        with self.process.stdout:
            for line in self.process.stdout:
                self.lines.put(line.rstrip(b"\r\n"))
        self.lines.put(None)

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.flush()
                self.process.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait(timeout=10)
        try:
            self.process.stdin.close()
        except OSError:
            pass

    def run(self, *words, timeout=30):
        """Sends one command; returns its output lines (bytes). Raises DriverError."""
        parts = []
        for word in words:
            word = str(word)
            if '"' in word:
                raise ValueError("qldrive words cannot hold double quotes: %r" % word)
            parts.append('"%s"' % word if (" " in word or "\t" in word) else word)
        try:
            self.process.stdin.write(gbk(" ".join(parts)) + b"\n")
            self.process.stdin.flush()
        except OSError as error:
            raise DriverError("qldrive is gone: %s" % error)
        output, deadline = [], time.time() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.1, deadline - time.time()))
            except queue.Empty:
                self.process.kill()
                raise DriverError("qldrive did not answer %r in %d s" % (words, timeout))
            if line is None:
                raise DriverError("qldrive ended while running %r" % (words,))
            if line == b".ok":
                return output
            if line.startswith(b".error"):
                raise DriverError("%s: %s" % (" ".join(parts),
                                              line[7:].decode("gbk", "replace")))
            output.append(line)

    @staticmethod
    def _options(**options):
        words = []
        for name, value in options.items():
            if value is None or value is False:
                continue
            words.append("%s=%s" % (name, 1 if value is True else value))
        return words

    def find(self, cls=None, title=None, process=None, visible=False, timeout=10):
        """Waits for top-level windows that match; raises DriverError when none comes."""
        words = self._options(**{"class": cls, "title": title, "process": process,
                                 "visible": visible, "timeout": int(timeout * 1000)})
        return [Window(line) for line in self.run("find", *words, timeout=timeout + 30)]

    def windows(self, process=None):
        return [Window(line) for line in self.run("windows", *self._options(process=process))]

    def children(self, window):
        return [Window(line) for line in self.run("children", _hwnd(window))]

    def send(self, window, message, wparam=0, lparam=0, timeout=5):
        lines = self.run("send", _hwnd(window), message, wparam, lparam,
                         "timeout=%d" % int(timeout * 1000), timeout=timeout + 30)
        return int(lines[0].split(b"=", 1)[1])

    def post(self, window, message, wparam=0, lparam=0):
        self.run("post", _hwnd(window), message, wparam, lparam)

    def command(self, window, identifier):
        """WM_COMMAND as a menu pick sends it (posted: the command may end the program)."""
        self.post(window, WM_COMMAND, identifier, 0)

    def click(self, window, x, y, button="left", double=False):
        self.run("click", _hwnd(window), x, y, *self._options(button=button, double=double))

    def move(self, window, left, top, width, height, front=False):
        self.run("move", _hwnd(window), left, top, width, height, *self._options(front=front))

    def box(self, title=None, process=None, timeout=10):
        """Waits for a message box; returns its window, text and buttons."""
        words = self._options(title=title, process=process, timeout=int(timeout * 1000))
        lines = self.run("box", *words, timeout=timeout + 30)
        window = Window(lines[0])
        text = _unescape(lines[1].partition(b"=")[2]).decode("gbk", "replace")
        buttons = []
        for line in lines[2:]:
            identifier, _, label = line.partition(b"=")[2].partition(b" ")
            buttons.append((int(identifier), _unescape(label).decode("gbk", "replace")))
        return MessageBox(window, text, buttons)

    def press(self, box_or_window, button):
        """Presses a dialog's button, given by its id or its text ("确定")."""
        window = box_or_window.window if isinstance(box_or_window, MessageBox) else box_or_window
        self.run("press", _hwnd(window), button)

    def gone(self, window, timeout=10):
        try:
            self.run("gone", _hwnd(window), "timeout=%d" % int(timeout * 1000),
                     timeout=timeout + 30)
            return True
        except DriverError:
            return False

    def tray_icon(self, window):
        """Whether the shell holds icon 1 of the window (which may be gone)."""
        return self.run("tray", _hwnd(window))[0] == b"icon=1"

    def registered_message(self, name):
        return int(self.run("message", name)[0].split(b"=", 1)[1])

    def property(self, window, name):
        """A window property's value (0 when it has none)."""
        return int(self.run("prop", _hwnd(window), name)[0].split(b"=", 1)[1])

    def desktop(self):
        """A stand-in for the desktop's own window ("Progman"); it lasts as
        long as this driver. Returns its handle."""
        return int(self.run("desktop")[0].split(b"=", 1)[1], 16)

    def cover(self, left, top, width, height):
        """An opaque window over everything at that screen rectangle."""
        return int(self.run("cover", left, top, width, height)[0].split(b"=", 1)[1], 16)

    def latency(self, window, seconds, interval_ms=2):
        """Times the window's answers to WM_NULL for a while: a dict of
        count, mean and max (milliseconds), late (answers over 50 ms) and
        cpu (the window thread's processor time meanwhile, milliseconds)."""
        line = self.run("latency", _hwnd(window), int(seconds * 1000), "interval=%d" % interval_ms,
                        timeout=seconds + 60)[0].decode()
        return {k: float(v) for k, v in (pair.split("=") for pair in line.split())}


def _hwnd(window):
    return "0x%x" % (window.hwnd if isinstance(window, Window) else window)


# ---- The program ----

# A port on 127.0.0.1 that is bound but never listens: every connection to it
# is refused at once.
_refusing_socket = socket.socket()
_refusing_socket.bind(("127.0.0.1", 0))
NO_NETWORK = "http://127.0.0.1:%d" % _refusing_socket.getsockname()[1]


def program_environment(web_proxy):
    """The environment of a program under test: its web requests (the version
    check, the news page) go through `web_proxy`, never to the network."""
    environment = dict(os.environ)
    for name in ("no_proxy", "NO_PROXY", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"):
        environment.pop(name, None)
    environment["http_proxy"] = web_proxy
    return environment


class Program:
    """qinglan.exe started under Wine from its folder. Its web requests go
    through `web_proxy` (by default nowhere)."""

    def __init__(self, folder, exe="qinglan.exe", web_proxy=NO_NETWORK):
        self.folder = folder
        self.exe = os.path.join(folder, exe)
        self.log = open(os.path.join(folder, "wine.log"), "wb")
        # The program records its tasks' system calls there, and makes none
        # that would shut down, log off or open anything outside it.
        self.calls_file = os.path.join(folder, "calls.txt")
        environment = program_environment(web_proxy)
        environment["QL_RECORD_SYSTEM_CALLS"] = windows_path(self.calls_file)
        self.process = subprocess.Popen([WINE, self.exe], cwd=folder, stdout=self.log,
                                        stderr=subprocess.STDOUT, start_new_session=True,
                                        env=environment)

    def recorded_calls(self):
        """The task system calls recorded so far: [(seconds since midnight, call)]."""
        if not os.path.exists(self.calls_file):
            return []
        calls = []
        with open(self.calls_file, "rb") as f:
            for line in f.read().decode("gbk").split("\r\n"):
                if line:
                    stamp, _, call = line.partition(" ")
                    hours, minutes, seconds = stamp.split(":")
                    calls.append((int(hours) * 3600 + int(minutes) * 60 + float(seconds), call))
        return calls

    @property
    def windows_exe(self):
        return windows_path(self.exe)

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=30):
        """The exit code; raises subprocess.TimeoutExpired if it keeps running."""
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait(timeout=30)
        self.log.close()


class ProgramTest(unittest.TestCase):
    """Base of whole-program tests: a fresh program folder per test, Wine
    cleared before and after, a qldrive at hand as self.driver."""

    @classmethod
    def setUpClass(cls):
        for path in (os.path.join(APP_DIR, "qinglan.exe"), RECORDING_PROGRAM, QLDRIVE, MKDB):
            if not os.path.exists(path):
                raise AssertionError("not built: %s (run scripts/setup.sh)" % path)
        size = screen_size()
        if size != SCREEN:
            raise AssertionError("the screen is %s, the tests need %s" % (size, SCREEN))

    def setUp(self):
        kill_wine()
        # The program installs its player library into the Windows folder
        # and never replaces one found there: without this, every test would
        # run the library of whichever build first ran in this prefix.
        installed = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", PLAYER_LIBRARY)
        if os.path.exists(installed):
            os.remove(installed)
        self.folder = tempfile.mkdtemp(prefix="ql-test-")
        shutil.copytree(APP_DIR, self.folder, dirs_exist_ok=True,
                        ignore=shutil.ignore_patterns("flash.mdb"))
        shutil.copyfile(RECORDING_PROGRAM, os.path.join(self.folder, "qinglan.exe"))
        self.data_file = os.path.join(self.folder, "flash.mdb")
        self.program = None
        self._driver = None

    def tearDown(self):
        if self._driver:
            self._driver.close()
        if self.program:
            self.program.kill()
        kill_wine()
        if os.environ.get("QL_KEEP_TEST_FOLDERS") != "1":
            shutil.rmtree(self.folder, ignore_errors=True)

    @property
    def driver(self):
        if self._driver is None:
            self._driver = Driver()
        return self._driver

    def make_data_file(self, config1=None, config2=None, config3=None, movies=None):
        """flash.mdb in the program's folder, made by mkdb; configN seeds 字段N."""
        arguments = [MKDB]
        for number, text in ((1, config1), (2, config2), (3, config3)):
            if text is not None:
                seed = os.path.join(self.folder, "config%d.seed" % number)
                with open(seed, "wb") as f:
                    f.write(gbk(text))
                arguments += ["--config%d" % number, windows_path(seed)]
        if movies is not None:
            arguments += ["--movies", windows_path(movies)]
        arguments.append(windows_path(self.data_file))
        code, out, err = run_wine(arguments, cwd=self.folder)
        self.assertEqual(0, code, (out + err).decode("gbk", "replace"))
        for number in (1, 2, 3):
            seed = os.path.join(self.folder, "config%d.seed" % number)
            if os.path.exists(seed):
                os.remove(seed)
        return self.data_file

    def start_program(self, web_proxy=NO_NETWORK):
        self.program = Program(self.folder, web_proxy=web_proxy)
        return self.program

    def main_window(self, timeout=30):
        """The program's visible top-level window of class WTWindow. Fails at
        once, with its text, when a message box shows instead."""
        deadline = time.time() + timeout
        while True:
            try:
                return self.driver.find(cls=WINDOW_CLASS, title=PROGRAM_TITLE,
                                        process=self.program.windows_exe, visible=True,
                                        timeout=1)[0]
            except DriverError:
                if self.message_boxes():
                    box = self.driver.box(process=self.program.windows_exe)
                    self.fail("a message box instead of the window: %r" % box)
                if not self.program.running():
                    self.fail("the program ended (code %s) before its window showed"
                              % self.program.process.returncode)
                if time.time() >= deadline:
                    raise

    def message_boxes(self):
        """The program's message boxes showing now."""
        return [w for w in self.driver.windows(process=self.program.windows_exe)
                if w.cls == "#32770" and w.visible]

    def assert_no_message_box(self, seconds=2.0):
        """No message box of the program shows up within `seconds`."""
        deadline = time.time() + seconds
        while True:
            boxes = self.message_boxes()
            self.assertEqual([], boxes, "unexpected message box")
            if time.time() >= deadline:
                return
            time.sleep(0.2)

    def screenshot(self, name=None):
        return screenshot(name or self.id().split(".", 1)[-1].replace(".", "-"))

    def config_records(self):
        return flashdb.config_records(self.data_file)
