"""A game from the menu: the intro, the first wave's name, the ship flying
under the arrow keys, the quit question answered No (the game goes on) and
then Yes (the program ends with code 0)."""

import os
import time
import unittest

import harness
from harness import Game


class PlayTest(unittest.TestCase):
    def setUp(self):
        self.game = Game("play")

    def tearDown(self):
        self.game.close()

    def ask_to_quit(self):
        # In play the keys are read as held keys once a step: press like a
        # player, not for a few milliseconds.
        self.game.hold_key("Escape", 0.2)
        return self.game.wait_for_screen("the quit question", harness.quit_question_frame, 20)

    def test_intro_first_wave_flight_and_the_quit_question(self):
        game = self.game
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("Return")

        # The astronauts walk below y = 300: the sky above them stays still
        # while the menu's fade-out changes every pixel.
        intro = game.wait_for_still(
            "the intro", (0, 0, 1024, 300),
            test=lambda p: not harness.menu_shown(p) and not harness.mostly_black(p)
            and not harness.wave_name_shown(p))
        game.save(intro, "intro.png")

        wave = game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 30)
        game.save(wave, "wave-name.png")
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)

        question = self.ask_to_quit()
        game.save(question, "quit-question.png")
        frame = harness.quit_question_frame(question)
        ship = harness.ship_template(question, frame)
        self.assertGreater(len(ship), 1000, "the question shows the ship's picture")

        game.key("n")
        game.wait_for_screen("the game again after No", lambda p: harness.quit_question_frame(p) is None, 20)

        # The view slides 15 px a step until the ship is 200 px from its left
        # edge while it heads right (a question asked early in the wave stops
        # the slide half way), so it is found near x = 200 at its height of 400.
        def ship_near_200():
            picture = game.screenshot()
            found = picture and harness.find_ship(picture, ship, (150, 260), (300, 500))
            return (picture, found) if found and found[2] > 0.7 else None

        before, (x0, y0, share) = harness.wait_until("the ship 200 px from the view's left edge", ship_near_200, 10)

        game.hold_key("Up", 0.5)
        higher = game.screenshot()
        x1, y1, share = harness.find_ship(higher, ship, (150, 260), (0, y0 + 10))
        self.assertGreater(share, 0.7)
        self.assertLess(y1, y0 - 20, "the ship climbed from y = %d to %d" % (y0, y1))

        game.hold_key("Right", 0.4)
        after = game.screenshot()
        # Back down and a shot, for the picture of the wave in play.
        game.hold_key("Down", 0.3)
        game.hold_key("z", 0.1)
        game.save(game.screenshot(), "play.png")
        shift, error, unmoved = harness.landscape_shift(higher, after)
        self.assertGreater(shift, 30, "the landscape scrolled by %d px as the ship flew right" % shift)
        self.assertLess(error, unmoved / 2)

        self.ask_to_quit()
        game.key("y")
        self.assertEqual(game.exit_code(30), 0)
        self.assertEqual(os.path.getsize(os.path.join(game.work, "KAVscores.sav")), 240)


if __name__ == "__main__":
    harness.main()
