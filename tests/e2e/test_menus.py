"""The menu bar: the version box, the interval dialog, and leaving the program."""
import unittest

import harness
import xdnd
from harness import TITLE_DIALOG, TITLE_ERROR, TITLE_VERSION

SELECT_ALL = ["Home", "shift+End"]


def two_entries(seconds):
    """The subtitles of the source "A", "B" when entries are the given seconds apart."""
    return ("1\r\n00:00:00,000 --> 00:00:%02d,000\r\nA\r\n\r\n"
            "2\r\n00:00:%02d,000 --> 00:00:%02d,000\r\nB\r\n\r\n"
            % (seconds, seconds, 2 * seconds)).encode()


class MenuTest(harness.TorvaneTestCase):
    def expect_entries_apart(self, torvane, name, seconds):
        """Drops a two-line file and checks its subtitles are the given seconds apart."""
        path = self.write(name + ".txt", b"A\nB\n")
        torvane.drop([path])
        self.wait_for_file(name + ".srt", two_entries(seconds))
        self.assertEqual(self.read(name + ".txt"), b"A\nB\n")

    def open_dialog(self, torvane):
        torvane.menu(harness.MENU_KANKAKU)
        return torvane.dialog_entry()

    def replace_entry(self, torvane, text):
        torvane.keys(TITLE_DIALOG, SELECT_ALL)
        torvane.type(TITLE_DIALOG, text)

    def test_version_box(self):
        torvane = self.start_torvane()
        torvane.menu(harness.MENU_VERSION)
        self.assertEqual(torvane.box_text(TITLE_VERSION), "Torvane Ver1.3")
        torvane.dismiss(TITLE_VERSION)
        self.assertIsNone(torvane.process.poll())
        self.expect_entries_apart(torvane, "after", 5)

    def test_accepted_interval_times_the_next_drop_and_shows_next_time(self):
        torvane = self.start_torvane()
        self.assertEqual(self.open_dialog(torvane), "5")
        self.replace_entry(torvane, "12")
        torvane.keys(TITLE_DIALOG, ["Return"])
        harness.wait_until(lambda: not torvane.is_shown(TITLE_DIALOG), "the dialog to close")
        self.expect_entries_apart(torvane, "twelve", 12)
        self.assertEqual(self.open_dialog(torvane), "12")
        torvane.keys(TITLE_DIALOG, ["Escape"])

    def test_refused_entries_keep_the_dialog_open_and_the_interval(self):
        torvane = self.start_torvane()
        self.open_dialog(torvane)
        cases = [
            ("abc", "半角数値で入力して下さい。"),
            ("0", "小さ過ぎます。"),
            ("61", "大き過ぎます。"),
        ]
        for typed, message in cases:
            with self.subTest(typed):
                self.replace_entry(torvane, typed)
                torvane.keys(TITLE_DIALOG, ["Return"])
                self.assertEqual(torvane.box_text(TITLE_ERROR), message)
                torvane.dismiss(TITLE_ERROR)
                self.assertTrue(torvane.is_shown(TITLE_DIALOG))
                self.assertEqual(torvane.dialog_entry(), typed)
        # Escape with a good value typed: the interval stays as it was.
        self.replace_entry(torvane, "7")
        torvane.keys(TITLE_DIALOG, ["Escape"])
        harness.wait_until(lambda: not torvane.is_shown(TITLE_DIALOG), "the dialog to close")
        self.expect_entries_apart(torvane, "kept", 5)
        self.assertEqual(self.open_dialog(torvane), "5")
        torvane.keys(TITLE_DIALOG, ["Escape"])

    def test_exit_command_and_close_box_end_the_program_with_code_zero(self):
        ways = [
            ("終了", lambda torvane: torvane.menu(harness.MENU_EXIT)),
            # What a window manager sends when its close box is clicked; Wine turns it
            # into SC_CLOSE, as a click on the close box of a Windows caption does.
            ("close box", lambda torvane: xdnd.press_close_box(
                torvane.window, torvane.wine.env["DISPLAY"])),
        ]
        for label, leave in ways:
            with self.subTest(label):
                torvane = self.start_torvane()
                leave(torvane)
                self.assertEqual(torvane.wait_for_exit(), 0)


if __name__ == "__main__":
    unittest.main()
