"""Runs torvane.exe under Wine on a virtual display of its own and drives it like a person:
drops by XDND, menus and dialogs by keystrokes, message boxes read back by the probe.

Set by CTest: TORVANE_EXE, TORVANE_PROBE (torvane-probe.exe) and TORVANE_E2E_PREFIX.
"""
import fcntl
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import xdnd

EXE = os.environ.get("TORVANE_EXE", "")
PROBE = os.environ.get("TORVANE_PROBE", "")
PREFIX = os.environ.get("TORVANE_E2E_PREFIX", "")

# Keys from the focused main window to each menu item: pop-up, then its one item.
MENU_EXIT = ["F10", "Down", "Return"]
MENU_KANKAKU = ["F10", "Right", "Down", "Return"]
MENU_VERSION = ["F10", "Right", "Right", "Down", "Return"]

TITLE_REFUSED = "駄目"
TITLE_VERSION = "バージョン"
TITLE_ERROR = "エラー"
TITLE_DIALOG = "秒間隔設定"
IDC_KANKAKU_EDIT = 1002

WAIT_SECONDS = 10
START_SECONDS = 60


def sjis(text):
    """Shift-JIS bytes of a text, from iconv rather than from any code of ours."""
    return subprocess.run(["iconv", "-f", "UTF-8", "-t", "SHIFT_JIS"], input=text.encode(),
                          stdout=subprocess.PIPE, check=True).stdout


def wait_until(condition, what, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


class VirtualDisplay:
    """An Xvfb of our own; -displayfd lets it pick a free display number."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Wine:
    """The tests' own Wine prefix on a given display, made once and kept between runs."""

    def __init__(self, display):
        if not (EXE and PROBE and PREFIX):
            raise RuntimeError("TORVANE_EXE, TORVANE_PROBE and TORVANE_E2E_PREFIX must be set")
        for path in (EXE, PROBE):
            if not os.path.isfile(path):
                raise RuntimeError(path + " is missing: build the Windows tree first")
        self.env = dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG="ja_JP.UTF-8",
                        LC_ALL="ja_JP.UTF-8", DISPLAY=display)
        os.makedirs(os.path.dirname(PREFIX), exist_ok=True)
        with open(PREFIX + ".lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not os.path.isfile(os.path.join(PREFIX, "system.reg")):
                self.run(["wineboot", "-i"])
        # A program started while wineboot's own processes still run may find no desktop.
        self.run(["wineserver", "-w"])

    def run(self, command, **kwargs):
        return subprocess.run(command, env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, **kwargs)

    def probe(self, *args):
        result = self.run(["wine", PROBE] + list(args))
        return result.returncode, result.stdout.decode("utf-8")

    def kill(self):
        self.run(["wineserver", "-k"])


class Torvane:
    """One running torvane.exe and the person at its window."""

    def __init__(self, wine):
        self.wine = wine
        self.process = subprocess.Popen(["wine", EXE], env=wine.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Starting Wine on a busy machine can take far longer than any later step.
        self.window = self.x_window("Torvane", seconds=START_SECONDS)

    def x_window(self, title, seconds=WAIT_SECONDS):
        def search():
            result = self.wine.run(["xdotool", "search", "--onlyvisible", "--name",
                                    "^" + title + "$"])
            ids = result.stdout.split()
            return int(ids[-1]) if ids else None
        return wait_until(search, "the window " + title, seconds)

    def keys(self, title, keys):
        window = self.x_window(title)
        self.wine.run(["xdotool", "windowfocus", "--sync", str(window)])
        self.wine.run(["xdotool", "key", "--delay", "50"] + keys)

    def type(self, title, text):
        window = self.x_window(title)
        self.wine.run(["xdotool", "windowfocus", "--sync", str(window)])
        self.wine.run(["xdotool", "type", "--delay", "50", text])

    def menu(self, keys):
        self.keys("Torvane", keys)

    def drop(self, paths):
        xdnd.drop_files(self.window, paths, self.wine.env["DISPLAY"])

    def box_text(self, title):
        """The text of the message box so titled, once it shows."""
        code, text = self.wine.probe("text", title)
        if code != 0:
            raise AssertionError("no message box titled " + title)
        return text

    def dialog_entry(self):
        code, text = self.wine.probe("text", TITLE_DIALOG, str(IDC_KANKAKU_EDIT))
        if code != 0:
            raise AssertionError("the interval dialog is not open")
        return text

    def is_shown(self, title):
        return self.wine.probe("absent", title)[0] != 0

    def dismiss(self, title):
        self.keys(title, ["Return"])
        wait_until(lambda: not self.is_shown(title), title + " to close")

    def wait_for_exit(self):
        return self.process.wait(timeout=WAIT_SECONDS)

    def stop(self):
        self.wine.kill()
        self.process.wait(timeout=WAIT_SECONDS)


class TorvaneTestCase(unittest.TestCase):
    """One display, one program and one scratch folder for all tests of a class."""

    @classmethod
    def setUpClass(cls):
        cls.display = VirtualDisplay()
        try:
            cls.wine = Wine(cls.display.name)
        except Exception:
            cls.display.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.wine.kill()
        cls.display.stop()

    def setUp(self):
        # No "." in the folder's own path, so that only the names the tests give count.
        self.folder = tempfile.mkdtemp(prefix="torvane_e2e_", dir="/tmp")
        self.assertNotIn(".", self.folder)
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def start_torvane(self):
        """A program of the test's own, ended with the test."""
        torvane = Torvane(self.wine)
        self.addCleanup(torvane.stop)
        return torvane

    def write(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def listing(self):
        return sorted(os.listdir(self.folder))

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def wait_for_file(self, name, expected):
        """Waits until the named file holds exactly the expected bytes."""
        path = os.path.join(self.folder, name)

        def holds_expected():
            try:
                with open(path, "rb") as f:
                    return f.read() == expected
            except OSError:
                return False
        try:
            wait_until(holds_expected, name)
        except AssertionError:
            if os.path.exists(path):
                self.assertEqual(self.read(name), expected)
            raise

    def settle(self, torvane):
        """Returns once every earlier drop has been handled: drops are handled in order, so
        a further drop's subtitle file showing up means the ones before it are done."""
        folder = tempfile.mkdtemp(prefix="torvane_settle_", dir="/tmp")
        try:
            source = os.path.join(folder, "settle.txt")
            with open(source, "wb") as f:
                f.write(b"x\n")
            torvane.drop([source])
            wait_until(lambda: os.path.exists(os.path.join(folder, "settle.srt")),
                       "the settling drop")
        finally:
            time.sleep(0.2)
            shutil.rmtree(folder, ignore_errors=True)


class SharedTorvaneTestCase(TorvaneTestCase):
    """One running program shared by all tests of a class."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        try:
            cls.torvane = Torvane(cls.wine)
        except Exception:
            super().tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.torvane.stop()
        super().tearDownClass()

