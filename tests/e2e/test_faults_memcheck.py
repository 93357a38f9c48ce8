"""The real game under valgrind's memcheck: start-up, the title screen, the
menu, a wave played for a while (spawn-ins, enemies, shots, a smart bomb) and
both ways out (Yes to the quit question in play, Quit in the menu). No invalid
read or write, no use of an undefined value, no block definitely lost.

The only suppression is for the sound library the graphics library loads
while it looks for a sound device: its configuration cache is never freed,
and it is unloaded before the leak check, so its frames carry no names."""

import os
import re
import shutil
import time
import unittest

import harness
from test_faults_startup import FaultGame

SUPPRESSIONS = """{
   sound-device-probe-configuration-cache
   Memcheck:Leak
   match-leak-kinds: definite
   ...
   fun:install_sound
   fun:_ZN14GraphicsEngine10Initialise*
}
"""


class MemcheckTest(unittest.TestCase):
    def setUp(self):
        self.game = None
        if not shutil.which("valgrind"):
            self.skipTest("valgrind is not installed")

    def tearDown(self):
        if self.game:
            self.game.close()

    def start(self, name):
        logs = os.path.abspath(os.path.join(harness.OPTIONS.work, name + "-memcheck"))
        shutil.rmtree(logs, ignore_errors=True)
        os.makedirs(logs)
        suppressions = os.path.join(logs, "game.supp")
        with open(suppressions, "w") as f:
            f.write(SUPPRESSIONS)
        self.report = os.path.join(logs, "memcheck.txt")
        wrapper = ["valgrind", "--tool=memcheck", "--leak-check=full", "--show-leak-kinds=definite",
                   "--errors-for-leak-kinds=definite", "--num-callers=40", "--suppressions=" + suppressions,
                   "--log-file=" + self.report]
        self.game = FaultGame(name, wrapper=wrapper)
        self.game.more_logs = (self.report,)
        return self.game

    def assert_clean_report(self):
        with open(self.report) as f:
            report = f.read()
        summary = re.search(r"ERROR SUMMARY: (\d+) errors", report)
        self.assertIsNotNone(summary, "no summary in the memcheck report:\n" + report[-3000:])
        self.assertEqual(int(summary.group(1)), 0, "memcheck found errors:\n" + report[-6000:])
        lost = re.search(r"definitely lost: ([\d,]+) bytes", report)
        if lost:
            self.assertEqual(lost.group(1), "0", report[-6000:])

    def test_title_menu_a_wave_and_yes_to_the_quit_question(self):
        game = self.start("memcheck-wave")
        # Everything runs many times slower under the checker.
        game.wait_for_screen("the title screen", harness.title_shown, 300)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown, 120)
        game.key("Return")
        game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 300)
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 300)
        # Long enough for the spawn-ins to end and the enemies to come in.
        deadline = time.monotonic() + 12
        while time.monotonic() < deadline:
            game.hold_key("z", 0.15)
            game.hold_key("Up" if int(deadline - time.monotonic()) % 2 else "Down", 0.2)
        game.hold_key("space", 0.2)
        game.hold_key("Escape", 0.5)
        game.wait_for_screen("the quit question", harness.quit_question_frame, 120)
        game.key("y")
        self.assertEqual(game.exit_code(300), 0)
        self.assert_clean_report()

    def test_title_menu_and_quit(self):
        game = self.start("memcheck-quit")
        game.wait_for_screen("the title screen", harness.title_shown, 300)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown, 120)
        game.key("Escape")
        self.assertEqual(game.exit_code(300), 0)
        self.assert_clean_report()


if __name__ == "__main__":
    harness.main()
