"""What the player hears: with ALSA writing into a file, the title music plays
on the title screen, the menu has its own, they stop when the game begins, and
the looping sound of play is heard during a wave."""

import unittest

import harness
from harness import Game

# Root-mean-square level (of 32768) above which a stretch counts as sound, and
# below which it counts as silence.
AUDIBLE = 300
SILENT = 30
SECOND = 100000  # bytes of the raw file: well under a second of sound


class SoundTest(unittest.TestCase):
    def setUp(self):
        self.game = Game("sound", record_sound=True)

    def tearDown(self):
        self.game.close()

    def listen(self, seconds_of_bytes=1):
        """The level of the next stretch of sound the game writes."""
        start = self.game.sound_bytes()
        end = harness.wait_until("sound being written", lambda: self.game.sound_bytes() >= start + seconds_of_bytes
                                 * SECOND and self.game.sound_bytes(), 30)
        return self.game.sound_level(start, end)

    def test_title_music_and_the_sound_of_play_are_heard(self):
        game = self.game
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        self.assertGreater(self.listen(2), AUDIBLE, "the title music is heard")

        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        self.assertGreater(self.listen(2), AUDIBLE, "the menu music is heard")

        game.key("Return")
        game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 30)
        # The music has been closed with the menu; the wave's sounds start
        # when its name has gone.
        self.assertLess(self.listen(1), SILENT, "silence while the wave's name shows")

        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)
        self.listen(4)  # the enemies' materialising sounds fade
        self.assertGreater(self.listen(2), AUDIBLE, "the looping sound of play is heard")

        game.hold_key("Escape", 0.2)
        game.wait_for_screen("the quit question", harness.quit_question_frame, 20)
        game.key("y")
        self.assertEqual(game.exit_code(30), 0)


if __name__ == "__main__":
    harness.main()
