"""The picture on the desktops players have: on 1920 x 1080 and 2560 x 1440
the full screen shows the game's picture as large as the screen's height
allows, centred between two black bars, and the picture, shrunk back to the
game's own size, is the one the 1024 x 768 window shows; a click lands on the
box under the pointer."""

import unittest

import harness
from harness import Game

# The high-score table: nothing moves there once the title has faded in.
TABLE = (400, 400, 700, 700)


class Area:
    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height

    def screen_x(self, game_x):
        """The screen column that shows the middle of a game column."""
        return self.x + int((game_x + 0.5) * self.width / 1024)

    def screen_y(self, game_y):
        return self.y + int((game_y + 0.5) * self.height / 768)

    def on_screen(self, region):
        x0, y0, x1, y1 = region
        return (self.screen_x(x0), self.screen_y(y0), self.screen_x(x1), self.screen_y(y1))


def shrunk(picture, area, region=(0, 0, 1024, 768)):
    """The game's picture in `region` sampled back at its own size: each game
    pixel read at the middle of the screen pixels showing it."""
    x0, y0, x1, y1 = region
    columns = [area.screen_x(x) for x in range(x0, x1)]
    rows = []
    for y in range(y0, y1):
        row = area.screen_y(y) * picture.width
        rows.append(b"".join(picture.rgb[(row + x) * 3:(row + x) * 3 + 3] for x in columns))
    return harness.Picture(x1 - x0, y1 - y0, b"".join(rows))


def menu_enlarged(picture, area):
    """The menu as harness.menu_shown knows it (the top edges of the Play and
    Help boxes lit in one colour), on the enlarged picture: a line one game
    pixel high may fall between two screen rows and show blended on both, so
    each game pixel of the edges takes the brightest screen pixel showing it."""
    def brightest(game_x, game_y):
        best = (0, 0, 0)
        for sy in range(area.screen_y(game_y) - 1, area.screen_y(game_y) + 2):
            p = picture.pixel(area.screen_x(game_x), sy)
            if sum(p) > sum(best):
                best = p
        return best

    # Blended, a line may keep two thirds of its colour.
    whitish = lambda r, g, b: r >= 150 and g >= 150 and b >= 150
    reddish = lambda r, g, b: r >= 150 and g <= 90 and b <= 90
    for lit_in in (whitish, reddish):
        edges = [sum(1 for x in range(382, 642) if lit_in(*brightest(x, y))) for y in (348, 548)]
        if min(edges) >= 250:
            return True
    return False


def lit(r, g, b):
    return r + g + b > 30


def picture_edges(picture):
    """(left, top, right, bottom) of what is lit on the screen, from rows and
    columns sampled across it."""
    rows = range(40, picture.height - 40, 37)
    columns = range(40, picture.width - 40, 41)
    left = min(x for y in rows for x in range(picture.width) if lit(*picture.pixel(x, y)))
    right = max(x for y in rows for x in range(picture.width) if lit(*picture.pixel(x, y)))
    top = min(y for x in columns for y in range(picture.height) if lit(*picture.pixel(x, y)))
    bottom = max(y for x in columns for y in range(picture.height) if lit(*picture.pixel(x, y)))
    return left, top, right, bottom


def difference(a, b):
    """Mean channel difference of two pictures of one size, and the share of
    pixels differing by more than 48 in their three channels together."""
    total = 0
    far = 0
    for i in range(0, len(a.rgb), 3):
        d = abs(a.rgb[i] - b.rgb[i]) + abs(a.rgb[i + 1] - b.rgb[i + 1]) + abs(a.rgb[i + 2] - b.rgb[i + 2])
        total += d
        far += d > 48
    pixels = len(a.rgb) // 3
    return total / pixels / 3, far / pixels


class PictureTest(unittest.TestCase):
    def tearDown(self):
        for game in getattr(self, "games", []):
            game.close()

    def start(self, *args, **options):
        game = Game(*args, **options)
        self.games = getattr(self, "games", []) + [game]
        return game

    def check_desktop(self, desktop, area):
        game = self.start("picture-%dx%d" % desktop, screen=desktop)
        shot = game.wait_for_still("the title filling the screen's height", area.on_screen(TABLE), 60,
                                   lambda p: harness.title_shown(shrunk(p, area)))
        game.save(shot, "picture-fit-%dx%d.png" % desktop)
        left, top, right, bottom = picture_edges(shot)
        self.assertLessEqual(abs(left - area.x), 2, "the picture's left edge")
        self.assertLessEqual(abs(right - (area.x + area.width - 1)), 2, "the picture's right edge")
        self.assertLessEqual(top, 2, "the picture reaches the top")
        self.assertGreaterEqual(bottom, desktop[1] - 3, "the picture reaches the bottom")
        dark = lambda r, g, b: r == 0 and g == 0 and b == 0
        bar = len(range(0, area.x - 1, 8)) * len(range(0, desktop[1], 8))
        self.assertEqual(shot.count(0, 0, area.x - 1, desktop[1], dark, step=8), bar, "the left bar is black")
        self.assertEqual(shot.count(area.x + area.width + 1, 0, desktop[0], desktop[1], dark, step=8),
                         len(range(area.x + area.width + 1, desktop[0], 8)) * len(range(0, desktop[1], 8)),
                         "the right bar is black")

        # The window the same game opens with F11 shows the picture at its
        # own size at the desktop's corner.
        game.key("F11")
        window = game.wait_for_still("the title in a 1024 x 768 window", TABLE, 30,
                                     lambda p: harness.title_shown(p.crop(0, 0, 1024, 768)))
        mean, far = difference(shrunk(shot, area, TABLE), window.crop(TABLE[0], TABLE[1], TABLE[2] - TABLE[0], TABLE[3] - TABLE[1]))
        self.assertLess(mean, 6, "the picture shrunk back is the window's (mean difference)")
        self.assertLess(far, 0.05, "the picture shrunk back is the window's (pixels far off)")

        # Back to the full screen: a click on the Help box of the enlarged
        # menu opens the help screen.
        game.key("F11")
        game.wait_for_still("the title full screen again", area.on_screen(TABLE), 30,
                            lambda p: harness.title_shown(shrunk(p, area)))
        game.move_mouse(area.screen_x(40), area.screen_y(40))
        game.key("Return")
        game.wait_for_screen("the enlarged menu", lambda p: menu_enlarged(p, area), 30)
        game.click(area.screen_x(512), area.screen_y(582))
        game.wait_for_screen("the help screen after a click on the enlarged menu",
                             lambda p: harness.help_shown(shrunk(p, area)), 30)

    def test_a_full_hd_desktop_shows_the_picture_at_1440_by_1080(self):
        self.check_desktop((1920, 1080), Area(240, 0, 1440, 1080))

    def test_a_1440p_desktop_shows_the_picture_at_1920_by_1440(self):
        self.check_desktop((2560, 1440), Area(320, 0, 1920, 1440))


if __name__ == "__main__":
    harness.main()
