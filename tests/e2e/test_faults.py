"""Drops that go wrong, and drops of awkward contents, onto a running program.

After every case the program must still answer (its version box opens and closes through
the menu), and every file in the case's folder must hold the bytes it held before, except
the files the case names.
"""
import hashlib
import os
import random
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from harness import sjis

HOLDER = os.environ.get("TORVANE_HOLDER", "")
MARKER = b"<<\x89\xfc\x8d\x73"  # "<<改行" in Shift-JIS
OLD_SUBTITLE = b"1\r\n00:00:00,000 --> 00:00:09,000\r\nold, hand-made\r\n\r\n"
ONE_ENTRY = b"1\r\n00:00:00,000 --> 00:00:05,000\r\nA\r\n\r\n"


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


# An independent model of the subtitle bytes, written from the description of the format:
# text-mode reading (0x1A ends the input, CR LF reads as LF), read lines of at most 9,999
# bytes, text cut at its first NUL, LF written as CR LF, and the clock that drops the excess
# over a minute.
def read_lines(data):
    end = data.find(b"\x1a")
    if end >= 0:
        data = data[:end]
    data = data.replace(b"\r\n", b"\n")
    lines = []
    start = 0
    while start < len(data):
        lf = data.find(b"\n", start, start + 9999)
        stop = lf + 1 if lf >= 0 else min(start + 9999, len(data))
        lines.append(data[start:stop])
        start = stop
    return lines


def as_written(line):
    return line.split(b"\0", 1)[0].replace(b"\n", b"\r\n")


def clock_after(h, m, s, interval):
    s += interval
    if s >= 60:
        s, m = 0, m + 1
    if m >= 60:
        m, h = 0, h + 1
    return h, m, s


def subtitles(data, interval=5):
    lines = read_lines(data)
    grouped = any(line.startswith(MARKER) for line in lines)
    out = []
    number, clock = 1, (0, 0, 0)
    i = 0
    while i < len(lines):
        after = clock_after(*clock, interval)
        out.append(b"%d\r\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\r\n" %
                   ((number,) + clock + after))
        number, clock = number + 1, after
        out.append(as_written(lines[i]))
        i += 1
        if not grouped:
            out.append(b"\r\n")
            continue
        while i < len(lines):
            line = lines[i]
            i += 1
            if line.startswith(MARKER):
                out.append(b"\r\n")
                break
            out.append(as_written(line))
    return b"".join(out)


def timing_line_length(number, interval=5):
    """Bytes of an entry's number line and time line, for an interval that divides 60."""
    start = (number - 1) * interval
    return (len(str(number)) + 2 + len("%02d" % (start // 3600)) + 10 + 5 +
            len("%02d" % ((start + interval) // 3600)) + 10 + 2)


def entry_head(number, interval=5):
    start, end = (number - 1) * interval, number * interval
    return ("%d\r\n%02d:%02d:%02d,000 --> %02d:%02d:%02d,000\r\n" % (
        number, start // 3600, start // 60 % 60, start % 60,
        end // 3600, end // 60 % 60, end % 60)).encode()


def snapshot(folder):
    """Every file and folder below folder, with each file's size and digest."""
    found = {}
    for parent, folders, files in os.walk(folder):
        for name in folders:
            found[os.path.relpath(os.path.join(parent, name), folder) + "/"] = None
        for name in files:
            path = os.path.join(parent, name)
            digest = hashlib.sha256()
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    digest.update(block)
            found[os.path.relpath(path, folder)] = (os.path.getsize(path), digest.hexdigest())
    return found


def digest_of(data):
    return (len(data), hashlib.sha256(data).hexdigest())


class Holder:
    """Another Windows program holding a file open with the given access and sharing."""

    def __init__(self, wine, path, access, share):
        if not os.path.isfile(HOLDER):
            raise RuntimeError("TORVANE_HOLDER is missing: build the Windows tree first")
        self.process = subprocess.Popen(["wine", HOLDER, windows_path(path), access, share],
                                        env=wine.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        said = self.process.stdout.readline()
        if said != b"held\n":
            self.release()
            raise AssertionError("the holder could not open %s: %r" % (path, said))

    def release(self):
        if self.process.stdin:
            self.process.stdin.close()
            self.process.stdin = None
        self.process.wait(timeout=harness.WAIT_SECONDS)
        self.process.stdout.close()


class FaultTestCase(harness.SharedTorvaneTestCase):
    """One program for all cases of a class; a fresh folder for each case."""

    maxDiff = None

    def case_folder(self):
        folder = tempfile.mkdtemp(prefix="case_", dir=self.folder)
        self.assertNotIn(".", folder)
        return folder

    def put(self, folder, files):
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)

    def assert_answers(self):
        """The program is alive and takes input: its version box opens and closes."""
        self.assertIsNone(self.torvane.process.poll(), "the program has ended")
        self.torvane.menu(harness.MENU_VERSION)
        self.assertEqual(self.torvane.box_text(harness.TITLE_VERSION), "Torvane Ver1.3")
        self.torvane.dismiss(harness.TITLE_VERSION)

    def wait_for_bytes(self, path, expected, seconds=harness.WAIT_SECONDS):
        def holds_expected():
            try:
                if os.path.getsize(path) != len(expected):
                    return False
                with open(path, "rb") as f:
                    return f.read() == expected
            except OSError:
                return False
        try:
            harness.wait_until(holds_expected, path, seconds)
        except AssertionError:
            self.assertTrue(os.path.exists(path), path + " was not written")
            with open(path, "rb") as f:
                self.assertEqual(f.read(), expected)
            raise

    def drop_and_check(self, folder, dropped, written=None):
        """Drops folder/dropped; then every file named in written must hold those bytes,
        and every other file and folder must be just as it was."""
        written = written or {}
        before = snapshot(folder)
        self.torvane.drop([os.path.join(folder, dropped)])
        for name, expected in written.items():
            self.wait_for_bytes(os.path.join(folder, name), expected)
        self.settle(self.torvane)
        expected_after = dict(before)
        expected_after.update({name: digest_of(data) for name, data in written.items()})
        self.assertEqual(snapshot(folder), expected_after)
        self.assertFalse(self.torvane.is_shown(harness.TITLE_REFUSED))
        self.assert_answers()


class HeldFileTest(FaultTestCase):
    """Another program has the source or the subtitle file open."""

    def hold(self, path, access, share):
        holder = Holder(self.wine, path, access, share)
        self.addCleanup(holder.release)
        return holder

    def test_source_held_by_another_program(self):
        # access, sharing of the other program; whether an old subtitle file lies beside
        # the source; whether the source can be read all the same.
        cases = [
            ("writer sharing read and write", "w", "rw", False, False),
            ("writer sharing read and write, old subtitle", "w", "rw", True, False),
            ("writer sharing read, old subtitle", "w", "r", True, False),
            ("reader sharing nothing, old subtitle", "r", "-", True, False),
            ("reader sharing read, old subtitle", "r", "r", True, True),
            ("reader sharing read and write", "r", "rw", False, True),
        ]
        for label, access, share, old_subtitle, readable in cases:
            with self.subTest(label):
                folder = self.case_folder()
                self.put(folder, {"memo.txt": b"A\n"})
                if old_subtitle:
                    self.put(folder, {"memo.srt": OLD_SUBTITLE})
                holder = self.hold(os.path.join(folder, "memo.txt"), access, share)
                self.drop_and_check(folder, "memo.txt",
                                    {"memo.srt": ONE_ENTRY} if readable else {})
                # Once the other program lets go, the same drop converts.
                holder.release()
                self.drop_and_check(folder, "memo.txt", {"memo.srt": ONE_ENTRY})

    def test_subtitle_file_held_by_another_program(self):
        cases = [
            ("reader sharing read and write", "r", "rw"),
            ("reader sharing read, write and delete", "r", "rwd"),
            ("writer sharing read and write", "w", "rw"),
            ("writer sharing nothing", "w", "-"),
        ]
        for label, access, share in cases:
            with self.subTest(label):
                folder = self.case_folder()
                self.put(folder, {"memo.txt": b"A\n", "memo.srt": OLD_SUBTITLE})
                holder = self.hold(os.path.join(folder, "memo.srt"), access, share)
                self.drop_and_check(folder, "memo.txt")
                holder.release()
                self.drop_and_check(folder, "memo.txt", {"memo.srt": ONE_ENTRY})


class UnopenableSourceTest(FaultTestCase):
    """Sources that cannot be read, subtitles that cannot be written, and subtitle names
    that lead back to the source."""

    def make_unwritable(self, folder):
        """Makes folder and the files in it unwritable even to root, or skips the test."""
        paths = [folder] + [os.path.join(folder, name) for name in os.listdir(folder)]
        if os.geteuid() == 0:
            made = subprocess.run(["chattr", "+i"] + paths, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0
            if made:
                self.addCleanup(subprocess.run, ["chattr", "-i"] + paths)
        else:
            for path in paths:
                os.chmod(path, 0o555 if os.path.isdir(path) else 0o444)
                self.addCleanup(os.chmod, path, 0o755 if os.path.isdir(path) else 0o644)
        try:
            os.close(os.open(os.path.join(folder, "probe"), os.O_CREAT | os.O_WRONLY))
            os.remove(os.path.join(folder, "probe"))
        except OSError:
            return
        self.skipTest("no way to make a folder unwritable here (chattr +i failed)")

    def test_read_only_folder(self):
        cases = [
            ("source alone", {"memo.txt": b"A\n"}),
            ("old subtitle beside the source", {"memo.txt": b"A\n", "memo.srt": OLD_SUBTITLE}),
        ]
        for label, files in cases:
            with self.subTest(label):
                folder = self.case_folder()
                self.put(folder, files)
                self.make_unwritable(folder)
                self.drop_and_check(folder, "memo.txt")

    def test_folder_named_like_a_text_file(self):
        for label, old_subtitle in (("alone", False), ("beside an old notes.srt", True)):
            with self.subTest(label):
                folder = self.case_folder()
                os.mkdir(os.path.join(folder, "notes.txt"))
                self.put(folder, {"notes.txt/inner.txt": b"A\n"})
                if old_subtitle:
                    self.put(folder, {"notes.srt": OLD_SUBTITLE})
                self.drop_and_check(folder, "notes.txt")

    def test_source_gone_before_its_drop_arrives(self):
        for label, old_subtitle in (("alone", False), ("beside an old gone.srt", True)):
            with self.subTest(label):
                folder = self.case_folder()
                if old_subtitle:
                    self.put(folder, {"gone.srt": OLD_SUBTITLE})
                # The drop carries only the name; the file is deleted before it is sent.
                self.put(folder, {"gone.txt": b"A\n"})
                os.remove(os.path.join(folder, "gone.txt"))
                self.drop_and_check(folder, "gone.txt")

    def test_subtitle_name_leading_back_to_the_source(self):
        # Dropping memo.txt.srt derives memo.txt.srt, the source itself; Wine finds files
        # without regard to letter case, so memo.txt.SRT leads to itself as well, unless a
        # file spelled exactly memo.txt.srt lies beside it.
        source = sjis("字幕\n")
        cases = [
            ("memo.txt.srt", {"memo.txt.srt": source}, "memo.txt.srt", {}),
            ("memo.txt.SRT", {"memo.txt.SRT": source}, "memo.txt.SRT", {}),
            ("memo.txt.srt beside memo.txt.SRT",
             {"memo.txt.srt": source, "memo.txt.SRT": OLD_SUBTITLE}, "memo.txt.srt", {}),
            ("memo.txt.SRT beside another file memo.txt.srt",
             {"memo.txt.SRT": source, "memo.txt.srt": OLD_SUBTITLE}, "memo.txt.SRT",
             {"memo.txt.srt": b"1\r\n00:00:00,000 --> 00:00:05,000\r\n" + sjis("字幕") +
              b"\r\n\r\n"}),
        ]
        for label, files, dropped, written in cases:
            with self.subTest(label):
                folder = self.case_folder()
                self.put(folder, files)
                self.drop_and_check(folder, dropped, written)

    def test_names_the_japanese_code_page_cannot_spell(self):
        # Under code page 932 the ANSI path holds "?" or a look-alike in place of these
        # letters; files named with those stand beside the dropped one as decoys.
        cases = [
            ("é", {"café.txt": b"A\n", "caf?.txt": b"D\n"}, "café.txt"),
            ("Hangul", {"한글.txt": b"A\n", "??.txt": b"D\n", "?.txt": b"D\n"}, "한글.txt"),
            ("emoji", {"😀.txt": b"A\n", "??.txt": b"D\n", "?.txt": b"D\n"}, "😀.txt"),
        ]
        for label, files, dropped in cases:
            with self.subTest(label):
                folder = self.case_folder()
                self.put(folder, files)
                self.drop_and_check(folder, dropped)

    def test_unspellable_name_does_not_convert_a_look_alike_file(self):
        # The ANSI path of café.txt can come as "cafe.txt", a best-fit letter: it must not
        # convert the other file cafe.txt and overwrite its subtitle cafe.srt.
        folder = self.case_folder()
        self.put(folder, {"café.txt": b"A\n", "cafe.txt": b"D\n", "cafe.srt": OLD_SUBTITLE})
        self.drop_and_check(folder, "café.txt")


class ContentTest(FaultTestCase):
    """Sources whose bytes are empty, binary, UTF-16, or very large."""

    def test_awkward_contents(self):
        noise = random.Random(1).randbytes(1 << 16)
        noise_without_eof = noise.replace(b"\x1a", b"")
        self.assertGreater(len(noise_without_eof), 60000)
        cases = [
            ("empty", {"memo.txt": b""}, {"memo.srt": b""}),
            ("empty, over an old subtitle",
             {"memo.txt": b"", "memo.srt": OLD_SUBTITLE}, {"memo.srt": b""}),
            ("0x1A first", {"memo.txt": b"\x1aA\nB\n"}, {"memo.srt": b""}),
            # "A", "B" in UTF-16LE after its byte-order mark: each line's text ends at its
            # first NUL, and the last read line is the lone NUL after the second LF.
            ("UTF-16LE with BOM", {"memo.txt": b"\xff\xfeA\x00\n\x00B\x00\n\x00"},
             {"memo.srt": b"1\r\n00:00:00,000 --> 00:00:05,000\r\n\xff\xfeA\r\n"
                          b"2\r\n00:00:05,000 --> 00:00:10,000\r\n\r\n"
                          b"3\r\n00:00:10,000 --> 00:00:15,000\r\n\r\n"}),
            ("random bytes", {"memo.txt": noise}, {"memo.srt": subtitles(noise)}),
            ("random bytes without 0x1A", {"memo.txt": noise_without_eof},
             {"memo.srt": subtitles(noise_without_eof)}),
        ]
        for label, files, written in cases:
            with self.subTest(label):
                folder = self.case_folder()
                self.put(folder, files)
                self.drop_and_check(folder, "memo.txt", written)

    def check_large_conversion(self, folder, size, head, tail):
        """Drops big.txt and checks big.srt's size, first and last bytes; big.txt and
        every other file stay as they were."""
        source = os.path.join(folder, "big.txt")
        subtitle = os.path.join(folder, "big.srt")
        before = snapshot(folder)
        started = time.monotonic()
        self.torvane.drop([source])
        harness.wait_until(lambda: os.path.exists(subtitle) and
                           os.path.getsize(subtitle) >= size, "big.srt", 600)
        self.settle(self.torvane)
        print("\n%s: %d bytes converted in %.1f s" % (
            self.id(), os.path.getsize(source), time.monotonic() - started))
        self.assertEqual(os.path.getsize(subtitle), size)
        with open(subtitle, "rb") as f:
            self.assertEqual(f.read(len(head)), head)
            f.seek(-len(tail), os.SEEK_END)
            self.assertEqual(f.read(), tail)
        after = snapshot(folder)
        del after["big.srt"]
        self.assertEqual(after, before)
        self.assert_answers()

    def test_one_gigabyte_of_text(self):
        # 1,000,000 lines of 1,000 bytes with their LF: one entry per line, each holding
        # its 999 bytes of text, CR LF, and the empty line.
        line = (sjis("字幕の行です。") + b" %s" % (b"0123456789" * 100))[:999]
        self.assertEqual(len(line), 999)
        count = 1000 * 1000
        folder = self.case_folder()
        with open(os.path.join(folder, "big.txt"), "wb") as f:
            block = (line + b"\n") * 1000
            for _ in range(count // 1000):
                f.write(block)
        size = sum(timing_line_length(n) + len(line) + 4 for n in range(1, count + 1))
        self.check_large_conversion(
            folder, size, entry_head(1) + line + b"\r\n\r\n2\r\n",
            b"\r\n\r\n" + entry_head(count) + line + b"\r\n\r\n")
        # 999,999 entries before the last start at 4,999,995 s = 1388:53:15.
        self.assertEqual(entry_head(count),
                         b"1000000\r\n1388:53:15,000 --> 1388:53:20,000\r\n")

    def test_fifty_megabyte_line_without_line_end(self):
        # 50,000,000 bytes read as 5,000 pieces of 9,999 bytes and a last piece of 5,000:
        # 5,001 entries, each piece followed by one CR LF and no empty line.
        data = (b"0123456789" * 5000000)
        pieces = [9999] * 5000 + [5000]
        self.assertEqual(sum(pieces), len(data))
        folder = self.case_folder()
        self.put(folder, {"big.txt": data})
        size = sum(timing_line_length(n) + piece + 2 for n, piece in enumerate(pieces, 1))
        last_start = 9999 * 5000
        self.check_large_conversion(
            folder, size, entry_head(1) + data[:9999] + b"\r\n" + entry_head(2),
            b"\r\n" + entry_head(5001) + data[last_start:] + b"\r\n")
        self.assertEqual(entry_head(5001), b"5001\r\n06:56:40,000 --> 06:56:45,000\r\n")


class ManyDropsTest(FaultTestCase):
    """Five hundred drops in a row leave the program's resources where they were."""

    DROPS = 500
    WARM_UP = 20
    # Growth allowed from the end of the warm-up to the end of the run.
    TOLERANCE = {"working_set_bytes": 1 << 20, "pagefile_bytes": 1 << 20,
                 "private_bytes": 1 << 20, "handles": 8, "listed_handles": 8,
                 "gdi_objects": 8, "user_objects": 8, "linux_rss_bytes": 1 << 20,
                 "linux_open_fds": 8}

    def usage(self):
        code, text = self.wine.probe("usage", "Torvane")
        self.assertEqual(code, 0, "the probe found no Torvane window")
        figures = {name: int(value) for name, value in
                   (line.split() for line in text.splitlines())}
        # The same process as Linux sees it: resident memory and open descriptors.
        pid = self.torvane.process.pid
        with open("/proc/%d/status" % pid) as f:
            status = dict(line.split(":", 1) for line in f)
        figures["linux_rss_bytes"] = int(status["VmRSS"].split()[0]) * 1024
        figures["linux_open_fds"] = len(os.listdir("/proc/%d/fd" % pid))
        return figures

    def test_five_hundred_drops(self):
        folder = self.case_folder()
        names = ["memo%03d" % i for i in range(self.DROPS)]
        source = sjis("一行目\n二行目\n")
        expected = (b"1\r\n00:00:00,000 --> 00:00:05,000\r\n" + sjis("一行目") + b"\r\n\r\n" +
                    b"2\r\n00:00:05,000 --> 00:00:10,000\r\n" + sjis("二行目") + b"\r\n\r\n")
        self.put(folder, {name + ".txt": source for name in names})
        figures = [("at start", self.usage())]
        started = time.monotonic()
        for i, name in enumerate(names):
            if i == self.WARM_UP:
                figures.append(("after %d drops" % i, self.usage()))
            self.torvane.drop([os.path.join(folder, name + ".txt")])
            path = os.path.join(folder, name + ".srt")
            deadline = time.monotonic() + harness.WAIT_SECONDS
            while not (os.path.exists(path) and os.path.getsize(path) == len(expected)):
                self.assertLess(time.monotonic(), deadline, "no subtitle file from " + name)
                time.sleep(0.005)
        elapsed = time.monotonic() - started
        figures.append(("after %d drops" % self.DROPS, self.usage()))

        rows = ["%d drops in %.1f s (%.0f ms a drop)" % (
            self.DROPS, elapsed, 1000 * elapsed / self.DROPS),
            "%-24s" % "figure" + "".join("%18s" % label for label, _ in figures) +
            "%12s" % "change"]
        warm, end = figures[1][1], figures[-1][1]
        for key in figures[0][1]:
            rows.append("%-24s" % key + "".join("%18d" % f[key] for _, f in figures) +
                        "%+12d" % (end[key] - warm[key]))
        print("\n" + "\n".join(rows))

        for name in names:
            self.assertEqual(self.read(os.path.join(os.path.basename(folder), name + ".txt")),
                             source)
            self.assertEqual(self.read(os.path.join(os.path.basename(folder), name + ".srt")),
                             expected)
        self.assertEqual(len(os.listdir(folder)), 2 * self.DROPS)
        for key, allowed in self.TOLERANCE.items():
            with self.subTest(key):
                self.assertLessEqual(end[key] - warm[key], allowed,
                                     "%s grew from %d to %d" % (key, warm[key], end[key]))
        self.assert_answers()


if __name__ == "__main__":
    unittest.main()
