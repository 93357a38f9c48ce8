"""However the program is ended on the title while a name is being typed for
the table (SIGTERM as a desktop logging out sends, SIGHUP, Ctrl+C's SIGINT, or
the window's close button), it ends as after the quit question: exit code 0
within a few seconds, and the name typed so far is in the saved table."""

import os
import signal
import struct
import subprocess
import unittest

import harness
from test_faults_startup import FaultGame, read_bytes

WINDOW_NAME = "Ve Varn Holt - The Game"
# Where the logo words slide in and come to rest.
LOGO = (0, 0, 1024, 330)


def table_below_zero(work):
    """A table every score beats: a game of 0 points makes its first line."""
    with open(os.path.join(work, "KAVscores.sav"), "wb") as f:
        for k in range(10):
            f.write(struct.pack("<i", -1 - k) + (b"Old%d" % k).ljust(20, b"\0"))


def name_pixels(picture):
    # The name in yellow at the table's first line (x 524, y 400): "z" with
    # the blinking caret after it about 55 pixels, "ze" 140, "zed" 190 (210).
    return picture.count(524, 398, 600, 424, harness.is_yellow)


def first_name(work):
    data = read_bytes(os.path.join(work, "KAVscores.sav"))
    return data[4:24].split(b"\0")[0].decode("latin-1")


class EndingOnTheTitleTest(unittest.TestCase):
    def end_while_typing(self, name, end):
        game = FaultGame(name, table_below_zero)
        try:
            # The logo at rest (the caret blinking in the table would keep
            # the whole screen from ever looking still for long).
            game.wait_for_still("the title screen", LOGO, 60, harness.title_shown)
            # The title asks for the name of the 0-point "game" at once. The
            # title reads a key a step: each is typed once the one before shows.
            for key, shown in (("z", 40), ("e", 120), ("d", 170)):
                game.key(key)
                game.wait_for_screen("%r typed in the table" % key,
                                     lambda picture, least=shown: name_pixels(picture) >= least, 20)
            end(game)
            code = game.exit_code(20)
        finally:
            game.close()
        self.assertEqual(code, 0)
        self.assertEqual(first_name(game.work), "zed")

    def signal(self, which):
        return lambda game: os.killpg(game.process.pid, which)

    def test_sigterm(self):
        self.end_while_typing("ending-sigterm", self.signal(signal.SIGTERM))

    def test_sighup(self):
        self.end_while_typing("ending-sighup", self.signal(signal.SIGHUP))

    def test_sigint(self):
        self.end_while_typing("ending-sigint", self.signal(signal.SIGINT))

    def test_the_windows_close_button(self):
        tool = os.path.join(os.path.dirname(os.path.abspath(harness.OPTIONS.game_dir)), "e2e-tools",
                            "close_window")

        def close(game):
            result = subprocess.run([tool, WINDOW_NAME], env=game.display.env(), timeout=30)
            self.assertEqual(result.returncode, 0, "the game's window was found")

        self.end_while_typing("ending-close-button", close)


if __name__ == "__main__":
    harness.main()
