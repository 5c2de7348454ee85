"""Files dropped onto the window: what is converted, under which name, and what is refused."""
import os
import unittest

import harness
from harness import sjis

FIRST_TIMES = b"1\r\n00:00:00,000 --> 00:00:05,000\r\n"
SECOND_TIMES = b"2\r\n00:00:05,000 --> 00:00:10,000\r\n"


class DropTest(harness.SharedTorvaneTestCase):
    def drop_and_expect(self, name, source, subtitle_name, expected):
        path = self.write(name, source)
        self.torvane.drop([path])
        self.wait_for_file(subtitle_name, expected)
        self.assertEqual(self.read(name), source)

    def test_text_becomes_numbered_entries_five_seconds_apart(self):
        cases = [
            ("one entry per line, LF", "talk.txt",
             sjis("おはようございます。\n今日は晴れです。\n"),
             FIRST_TIMES + sjis("おはようございます。") + b"\r\n\r\n" +
             SECOND_TIMES + sjis("今日は晴れです。") + b"\r\n\r\n"),
            ("groups closed by marker lines, CR LF", "group.txt",
             sjis("一行目\r\n二行目\r\n<<改行>>\r\n三行目\r\n<<改行>>\r\n"),
             FIRST_TIMES + sjis("一行目\r\n二行目\r\n") + b"\r\n" +
             SECOND_TIMES + sjis("三行目\r\n") + b"\r\n"),
        ]
        for label, name, source, expected in cases:
            with self.subTest(label):
                self.drop_and_expect(name, source, name[:-4] + ".srt", expected)

    def test_subtitle_name_replaces_the_last_four_bytes(self):
        cases = [
            ("memo.TXT", "memo.srt"),
            ("memo.txt.bak", "memo.txt.srt"),
            ("会話.txt", "会話.srt"),
        ]
        for name, subtitle_name in cases:
            with self.subTest(name):
                self.drop_and_expect(name, b"A\n", subtitle_name,
                                     FIRST_TIMES + b"A\r\n\r\n")

    def test_only_the_first_of_several_dropped_files_is_converted(self):
        paths = [self.write(name, b"A\n") for name in ("a.txt", "b.txt", "c.txt")]
        self.torvane.drop(paths)
        self.wait_for_file("a.srt", FIRST_TIMES + b"A\r\n\r\n")
        self.settle(self.torvane)
        self.assertEqual(self.listing(), ["a.srt", "a.txt", "b.txt", "c.txt"])
        for name in ("a.txt", "b.txt", "c.txt"):
            self.assertEqual(self.read(name), b"A\n")

    def test_names_without_txt_are_refused_with_a_message(self):
        for name in ("memo.Txt", "memo.srt", "memo"):
            with self.subTest(name):
                path = self.write(name, b"A\n")
                before = self.listing()
                self.torvane.drop([path])
                self.assertEqual(self.torvane.box_text(harness.TITLE_REFUSED), "txtのみです。")
                self.torvane.dismiss(harness.TITLE_REFUSED)
                self.assertEqual(self.listing(), before)
                self.assertEqual(self.read(name), b"A\n")

    def test_path_too_long_for_the_path_buffer_is_passed_over(self):
        # Z:\ and this folder, then a file whose name fills the path to exactly 259 bytes:
        # that file is what a path cut to fit the buffer would name. The dropped file's
        # name begins with that name and goes on, past 259 bytes.
        folder = os.path.join(self.folder, "d" * 200)
        os.mkdir(folder)
        windows_length = len("Z:") + len(folder) + 1
        cut_name = "x" * (259 - windows_length - len(".txt")) + ".txt"
        cut_path = os.path.join(folder, cut_name)
        long_path = cut_path + "_and_more.txt"
        self.assertEqual(len("Z:" + cut_path), 259)
        for path in (cut_path, long_path):
            with open(path, "wb") as f:
                f.write(b"A\n")
        self.torvane.drop([long_path])
        self.settle(self.torvane)
        self.assertFalse(self.torvane.is_shown(harness.TITLE_REFUSED))
        self.assertEqual(sorted(os.listdir(folder)), sorted([cut_name, cut_name + "_and_more.txt"]))
        for path in (cut_path, long_path):
            with open(path, "rb") as f:
                self.assertEqual(f.read(), b"A\n")


if __name__ == "__main__":
    unittest.main()
