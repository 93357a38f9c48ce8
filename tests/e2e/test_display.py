"""The display as a player meets it: full screen at twice the size on a large
desktop (--scale 2), F11 to a window of the same scale and back with the same
colours, a menu box clicked on the doubled picture, keys redefined and still
there after a restart, and P freezing play and P resuming it."""

import time
import unittest

import harness
from harness import Game

BIG = (3840, 2160)
# The 2048 x 1536 picture centred on the big desktop.
OFFSET = ((BIG[0] - 2048) // 2, (BIG[1] - 1536) // 2)
# The high-score table: nothing moves there.
TABLE = (400, 400, 700, 700)


def game_picture(picture, scale, offset=OFFSET):
    if scale == 1:
        return picture.crop(0, 0, 1024, 768)
    return picture.crop(offset[0], offset[1], 1024, 768, scale)


def on_screen(region, scale, offset=OFFSET):
    """Where a rectangle of the game's picture lies on the desktop."""
    x0, y0, x1, y1 = region
    if scale == 1:
        return region
    return (offset[0] + scale * x0, offset[1] + scale * y0, offset[0] + scale * x1, offset[1] + scale * y1)


def doubled(picture):
    """Every sampled 2 x 2 block of the centred picture is one colour."""
    for y in range(OFFSET[1], OFFSET[1] + 1536, 37 * 2):
        for x in range(OFFSET[0], OFFSET[0] + 2048, 41 * 2):
            p = picture.pixel(x, y)
            if picture.pixel(x + 1, y) != p or picture.pixel(x, y + 1) != p or picture.pixel(x + 1, y + 1) != p:
                return False
    return True


def black_around(picture):
    dark = lambda r, g, b: r < 8 and g < 8 and b < 8
    left = picture.count(0, 0, OFFSET[0], BIG[1], dark, step=16)
    top = picture.count(0, 0, BIG[0], OFFSET[1], dark, step=16)
    return left == len(range(0, OFFSET[0], 16)) * len(range(0, BIG[1], 16)) and \
        top == len(range(0, BIG[0], 16)) * len(range(0, OFFSET[1], 16))


def paused_shown(picture):
    # "Paused" in big yellow letters at y = 330, the hint in white below.
    return picture.count(400, 330, 624, 390, harness.is_yellow) >= 200 and \
        picture.count(400, 400, 624, 426, harness.is_white) >= 30


class DisplayTest(unittest.TestCase):
    def tearDown(self):
        for game in getattr(self, "games", []):
            game.close()

    def start(self, *args, **options):
        game = Game(*args, **options)
        self.games = getattr(self, "games", []) + [game]
        return game

    def test_full_screen_doubles_the_picture_and_f11_switches_with_the_same_colours(self):
        game = self.start("display-big", screen=BIG, args=("--scale", "2"))
        # The title fades in, and may fade in again after a switch: compare
        # the table only once it stands still.
        shot = game.wait_for_still("the title doubled and centred", on_screen(TABLE, 2), 60,
                                   lambda p: harness.title_shown(game_picture(p, 2)))
        self.assertTrue(doubled(shot), "every game pixel is a 2 x 2 block")
        self.assertTrue(black_around(shot), "black around the picture")
        game.save(shot.crop(0, 0, BIG[0] // 4, BIG[1] // 4, 4), "display-fullscreen-scale2.png")
        table = game_picture(shot, 2).region(*TABLE)

        # The window keeps the player's scale: twice the size, at the corner
        # of a desktop without a window manager.
        game.key("F11")
        corner = (0, 0)
        window = game.wait_for_still("the title in a window at the corner", on_screen(TABLE, 2, corner), 30,
                                     lambda p: harness.title_shown(game_picture(p, 2, corner)))
        self.assertEqual(game_picture(window, 2, corner).region(*TABLE), table, "the same colours in the window")

        game.key("F11")
        back = game.wait_for_still("the title full screen again", on_screen(TABLE, 2), 30,
                                   lambda p: harness.title_shown(game_picture(p, 2)))
        self.assertEqual(game_picture(back, 2).region(*TABLE), table, "the same colours after switching back")

        # A click on the doubled Help box opens the help screen. (Going full
        # screen puts the pointer in the middle, over the Play box: move it
        # away so that the boxes flash alike.)
        game.move_mouse(OFFSET[0] + 40, OFFSET[1] + 40)
        game.key("Return")
        game.wait_for_screen("the menu doubled", lambda p: harness.menu_shown(game_picture(p, 2)), 30)
        game.click(OFFSET[0] + 2 * 512, OFFSET[1] + 2 * 582)
        game.wait_for_screen("the help screen after a click at scale 2",
                             lambda p: harness.help_shown(game_picture(p, 2)), 30)

    def test_a_key_redefined_is_shown_again_after_a_restart(self):
        game = self.start("display-keys", args=("--window",))
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("c")
        # The screen fades in: read the names only once they stand still.
        before = game.wait_for_still("the controls screen", harness.KEY_NAMES, 30, harness.controls_shown)
        space = harness.key_name_mask(before, 5)
        game.click(700, 301 + 30 * 5 + 14)
        game.wait_for_screen("the prompt for the new key", harness.prompt_shown)
        game.key("b")
        changed = game.wait_for_screen(
            "the new key's name", lambda p: not harness.prompt_shown(p) and harness.key_name_mask(p, 5) != space)
        new_name = harness.key_name_mask(changed, 5)
        self.assertTrue(new_name)
        game.key("Escape")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("Escape")
        self.assertEqual(game.exit_code(60), 0)
        game.close()

        again = self.start("display-keys", args=("--window",), fresh=False)
        again.wait_for_screen("the title screen", harness.title_shown, 60)
        again.key("Return")
        again.wait_for_screen("the menu", harness.menu_shown)
        again.key("c")
        shown = again.wait_for_still("the controls screen", harness.KEY_NAMES, 30, harness.controls_shown)
        self.assertEqual(harness.key_name_mask(shown, 5), new_name, "the smart bomb keeps its new key")

    def test_p_freezes_play_and_p_resumes_it(self):
        game = self.start("display-pause", args=("--window",))
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("Return")
        game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 60)
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)
        game.hold_key("Right", 0.4)

        game.key("p")
        paused = game.wait_for_screen("the paused game", paused_shown, 20)
        game.save(paused, "paused.png")
        time.sleep(1.0)  # time for anything that still moved to show it
        later = game.screenshot()
        self.assertEqual(later.rgb, paused.rgb, "nothing moves while paused")

        game.key("p")
        game.wait_for_screen("play going on",
                             lambda p: not paused_shown(p) and p.region(0, 100, 1024, 740) !=
                             paused.region(0, 100, 1024, 740), 20)


if __name__ == "__main__":
    harness.main()
