"""Start-up and its failures, on the real binary: the trace, line by line, and
the exit codes."""

import os
import shutil
import subprocess
import unittest

import harness

START_LINES = [
    "KAV GAME START",
    "GraphicsEngine: Initialise()",
    "GraphicsEngine: allegro_init",
    "GraphicsEngine: install_keyboard",
    "GraphicsEngine: install_sound",
    "GraphicsEngine: install_timer",
    "GraphicsEngine: set_gfx_mode",
    "GraphicsEngine: 1024x768 full screen at 0,0",
    "GraphicsEngine: frames presented at the display's refresh",
    "GraphicsEngine: load_datafile",
]


def run_game(work, env, timeout=60):
    """Runs the game to its end in `work`; returns (exit code, trace)."""
    binary = os.path.join(os.path.abspath(harness.OPTIONS.game_dir), "kav")
    result = subprocess.run([binary], cwd=work, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            timeout=timeout)
    return result.returncode, result.stdout.decode("latin-1")


def fresh_folder(name, files=()):
    work = os.path.abspath(os.path.join(harness.OPTIONS.work, name))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    for f in files:
        shutil.copy(os.path.join(harness.OPTIONS.game_dir, f), work)
    return work


class StartUp(unittest.TestCase):
    def test_without_the_data_file_the_trace_ends_with_its_error_and_the_code_is_4(self):
        work = fresh_folder("no-data", ["VeVarnHolt-CopperSky.mp3"])
        display = harness.Display()
        try:
            code, trace = run_game(work, display.env())
        finally:
            display.close()
        self.assertEqual(code, 4)
        # Exactly the steps up to the data file, then its error naming where it
        # was looked for (here, then beside the program): the exit handler is
        # not registered yet, so nothing follows.
        data_folder = os.path.join(os.path.dirname(os.path.realpath(harness.OPTIONS.game_dir)),
                                   "share", "games", "vevarnholt")
        self.assertEqual(trace, "\n".join(START_LINES) + "\nError loading datafile: KAV.DAT\n"
                         "Looked for kav.dat in: %s, %s\n" % (os.path.realpath(work), data_folder))
        self.assertFalse(os.path.exists(os.path.join(work, "KAVscores.sav")))

    def test_without_a_display_the_library_fails_to_start_and_the_code_is_1(self):
        work = fresh_folder("no-display", harness.GAME_FILES)
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        code, trace = run_game(work, env)
        self.assertEqual(code, 1)
        self.assertTrue(trace.startswith("KAV GAME START\nGraphicsEngine: Initialise()\n"
                                         "GraphicsEngine: allegro_init\nError.\n"), trace)
        self.assertNotIn("install_keyboard", trace)

    def test_a_normal_start_writes_every_step_in_order_and_shows_the_title(self):
        game = harness.Game("normal-start")
        try:
            game.wait_for_screen("the title screen", harness.title_shown)
            lines = game.trace_text().splitlines()
            self.assertEqual(lines[:len(START_LINES)], START_LINES)
            after = len(START_LINES)
            self.assertEqual(lines[after:after + 2],
                             ["GraphicsEngine: set colour palette", "GraphicsEngine: set_mouse_sprite"])
            self.assertNotIn("ERROR", game.trace_text())
        finally:
            game.close()


if __name__ == "__main__":
    harness.main()
