"""The real game on a machine short of devices: no sound device (the sound
system cannot start, or ALSA points at nothing), and no mouse (the library
cannot install one). The game says so once where it must, and plays on to the
end with the keyboard alone."""

import os
import shutil
import subprocess
import time
import unittest

import harness
from test_faults_startup import FaultGame

# ALSA's default device is a sound card that is not there.
ALSA_NOWHERE = "pcm.!default {\n  type hw\n  card 7\n}\n"
# The library is told to use ALSA and nothing else.
ONLY_ALSA = "[sound]\ndigi_card = ALSA\n"
# Under X11 the library always finds a mouse; this stands in for a machine
# without one, loaded ahead of the library.
NO_MOUSE_SOURCE = """/* This machine has no mouse: the library cannot install one. */
int install_mouse(void) { return -1; }
"""


def build_no_mouse_library(folder):
    """The stand-in as a shared library, or None without a C compiler."""
    compiler = shutil.which("cc") or shutil.which("gcc")
    if not compiler:
        return None
    source = os.path.join(folder, "no_mouse.c")
    library = os.path.join(folder, "no_mouse.so")
    with open(source, "w") as f:
        f.write(NO_MOUSE_SOURCE)
    subprocess.run([compiler, "-shared", "-fPIC", "-o", library, source], check=True)
    return library


def leave_title_and_quit_from_menu(test, game):
    game.wait_for_screen("the title screen", harness.title_shown, 60)
    game.key("Return")
    game.wait_for_screen("the menu", harness.menu_shown)
    game.key("Escape")
    test.assertEqual(game.exit_code(60), 0)


class DeviceFaultsTest(unittest.TestCase):
    def setUp(self):
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.close()

    def assert_clean_trace(self):
        self.assertNotIn("ERROR", self.game.trace_text())

    def ask_to_quit(self):
        self.game.hold_key("Escape", 0.2)
        return self.game.wait_for_screen("the quit question", harness.quit_question_frame, 20)

    def test_without_a_sound_device_the_failure_is_logged_once_and_the_game_plays_silently(self):
        self.game = game = FaultGame("no-sound-device",
                                     home_files={".allegrorc": ONLY_ALSA, ".asoundrc": ALSA_NOWHERE})
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        trace = game.trace_text()
        self.assertEqual(trace.count("Error initializing sound system.\n"), 1, trace)
        self.assertLess(trace.index("Error initializing sound system."), trace.index("GraphicsEngine: install_timer"))

        # Into a wave, where every shot and blast asks for a sample.
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("Return")
        game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 60)
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)
        for _ in range(5):
            game.hold_key("z", 0.1)
            time.sleep(0.1)
        game.hold_key("space", 0.1)
        self.ask_to_quit()
        game.key("y")
        self.assertEqual(game.exit_code(30), 0)
        self.assertEqual(game.trace_text().count("Error initializing sound system."), 1)
        self.assert_clean_trace()

    def test_with_alsa_pointing_at_nothing_the_game_starts_and_ends_normally(self):
        self.game = game = FaultGame("alsa-nowhere", home_files={".asoundrc": ALSA_NOWHERE})
        leave_title_and_quit_from_menu(self, game)
        self.assert_clean_trace()

    def test_without_a_mouse_every_screen_answers_the_keyboard(self):
        tools = os.path.abspath(os.path.join(harness.OPTIONS.work, "no-mouse-library"))
        os.makedirs(tools, exist_ok=True)
        library = build_no_mouse_library(tools)
        if not library:
            self.skipTest("no C compiler to build the stand-in for a machine without a mouse")
        self.game = game = FaultGame("no-mouse", extra_env={"LD_PRELOAD": library})
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        # A click would close the title screen; with no mouse installed the
        # pointer's buttons are never read.
        game.click(512, 600)
        time.sleep(1.0)
        self.assertTrue(harness.title_shown(game.screenshot()), "the title screen stays after a click")

        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("h")
        game.wait_for_screen("the help screen", harness.help_shown)
        game.key("space")
        game.wait_for_screen("the menu after the help screen", harness.menu_shown)
        game.key("c")
        game.wait_for_screen("the controls screen", harness.controls_shown)
        game.key("Escape")
        game.wait_for_screen("the menu after the controls screen", harness.menu_shown)

        game.key("Return")
        game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 60)
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)
        self.ask_to_quit()
        game.key("n")
        game.wait_for_screen("the game again after No", lambda p: harness.quit_question_frame(p) is None, 20)
        self.assertTrue(game.running())
        self.ask_to_quit()
        game.key("y")
        self.assertEqual(game.exit_code(30), 0)
        self.assertEqual(os.path.getsize(os.path.join(game.work, "KAVscores.sav")), 240)
        self.assert_clean_trace()


if __name__ == "__main__":
    harness.main()
