"""The screens around the game, driven as a player would: the title, the menu,
the help screen and back, the controls screen with a new key assigned and
back, and Quit, which plays the closing sequence and ends the program."""

import os
import time
import unittest

import harness
from harness import Display, Game


# Where the logo words slide in and come to rest.
LOGO = (0, 0, 1024, 330)


class ScreensTest(unittest.TestCase):
    def setUp(self):
        self.game = Game("screens")

    def tearDown(self):
        self.game.close()

    def test_title_menu_help_controls_and_quit(self):
        game = self.game
        game.wait_for_screen("the title screen with the high-score table", harness.title_shown, 60)
        game.save(game.wait_for_still("the logo at rest", LOGO), "title.png")

        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.save(game.wait_for_still("the logo at rest over the menu", LOGO), "menu.png")

        game.key("h")
        game.wait_for_screen("the help screen", harness.help_shown)
        # The landers take two seconds to materialise: a better picture, not a
        # synchronisation.
        time.sleep(2.5)
        help_screen = game.screenshot()
        self.assertTrue(harness.help_shown(help_screen))
        game.save(help_screen, "help.png")
        game.key("space")
        game.wait_for_screen("the menu again after the help screen", harness.menu_shown)

        game.key("c")
        controls = game.wait_for_still("the controls screen", harness.KEY_NAMES, 30, harness.controls_shown)
        game.save(controls, "controls.png")
        self.assertNotEqual(harness.key_name_mask(controls, 5), harness.key_name_mask(controls, 4),
                            "the smart bomb and the fire key start with different keys")

        # Give the smart bomb the fire key: the two keys change places, so the
        # bomb's row then reads as the fire row did and the fire row as the
        # bomb's did.
        fire_name = harness.key_name_mask(controls, 4)
        bomb_name = harness.key_name_mask(controls, 5)
        game.click(700, 301 + 30 * 5 + 14)
        prompt = game.wait_for_screen("the prompt for the new key", harness.prompt_shown)
        game.save(prompt, "controls-prompt.png")
        game.key("z")
        game.wait_for_screen(
            "the keys of \"Fire missile\" and \"Detonate Bomb\" changed places",
            lambda p: not harness.prompt_shown(p)
            and harness.key_name_mask(p, 5) == fire_name
            and harness.key_name_mask(p, 4) == bomb_name)

        game.key("Escape")
        game.wait_for_screen("the menu again after the controls screen", harness.menu_shown)

        # Quit plays the closing sequence before the program ends.
        game.click(512, 682)
        closing = game.wait_for_screen(
            "the closing sequence", lambda p: not harness.menu_shown(p) and not harness.mostly_black(p), 20)
        # A moment later the astronauts have landed: a better picture, not a
        # synchronisation.
        time.sleep(2.5)
        later = game.screenshot()
        game.save(later if later and not harness.mostly_black(later) else closing, "closing.png")

        self.assertEqual(game.exit_code(60), 0)
        scores = os.path.join(game.work, "KAVscores.sav")
        self.assertTrue(os.path.exists(scores), "the score file is written after the title screen")
        self.assertEqual(os.path.getsize(scores), 240)


def menu_fading_in(picture):
    # The top edge of the Play box in grey across its 260 px: neither the
    # black and white of its flashing nor the title's dark backdrop.
    return picture.count(382, 348, 642, 349, lambda r, g, b: 40 <= min(r, g, b) and max(r, g, b) <= 235) >= 250


class KeyDuringFadeTest(unittest.TestCase):
    """A key pressed while a screen fades in is the player's answer to that
    screen, even when it is let go only after the fade: under a 20 Hz refresh
    the menu's fade takes 0.4 s, long enough to press a key in the middle of
    it and hold it past its end."""

    def setUp(self):
        self.display = Display(options=("-fakescreenfps", "20"))
        self.game = Game("key-during-fade", display=self.display)

    def tearDown(self):
        self.game.close()
        self.display.close()

    def test_a_key_held_across_the_end_of_the_menus_fade_opens_the_help(self):
        game = self.game
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu fading in", menu_fading_in, 30)
        # Held well past the fade's end: the menu's first steps see it down.
        game.hold_key("h", 1.2)
        game.wait_for_screen("the help screen", harness.help_shown, 20)


if __name__ == "__main__":
    harness.main()
