"""The online table end to end: the real game started with --server asks the
score server for a token while the menu shows, plays a short game from its
seed, quits with Escape and y, and the game's score appears on the server's
page within seconds of the program's end."""

import html
import os
import re
import shutil
import sys
import unittest
import urllib.error
import urllib.request

import harness
from harness import Game


def fetch(url):
    try:
        with urllib.request.urlopen(url, timeout=10) as answer:
            return answer.status, answer.read().decode("utf-8", "replace")
    except urllib.error.HTTPError as error:
        return error.code, ""
    except OSError:
        return 0, ""


# The server's own page test starts a server as this test needs one: on a port
# of 127.0.0.1 it chose, with SQLite in a folder of the test's, its log kept.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "server"))
from page_test import Server as ScoreServer  # noqa: E402


def logged(server, pattern):
    return any(re.search(pattern, line) for line in list(server.log))


class OnlineTest(unittest.TestCase):
    def setUp(self):
        game_dir = os.path.abspath(harness.OPTIONS.game_dir)
        program = os.path.join(os.path.dirname(game_dir), "server", "vevarnholt-server")
        if not os.path.exists(program):
            self.skipTest("no score server in this build")
        self.folder = os.path.abspath(os.path.join(harness.OPTIONS.work, "server"))
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.server = ScoreServer(program, os.path.join(game_dir, "kav"), self.folder)
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.close()
        self.server.stop()

    def test_a_game_played_with_server_appears_on_the_page(self):
        # The name shown online comes from the settings in the game's folder.
        work = os.path.abspath(os.path.join(harness.OPTIONS.work, "online"))
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        with open(os.path.join(work, "vevarnholt.cfg"), "w") as settings:
            settings.write("[online]\nname = Pilot <e2e>\n")
        self.game = game = Game("online", fresh=False, args=["--server", self.server.url])

        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        # The menu asks for the next game's token in the background.
        harness.wait_until("the game to ask for a token",
                           lambda: logged(self.server, r"POST /api/v1/runs 201"), 20)
        game.key("Return")
        game.wait_for_screen("the name of the first wave", harness.wave_name_shown, 30)
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)
        for key in ("Right", "z", "Up", "z", "Down", "z"):
            game.hold_key(key, 0.4)

        game.hold_key("Escape", 0.2)
        game.wait_for_screen("the quit question", harness.quit_question_frame, 20)
        game.key("y")
        self.assertEqual(game.exit_code(30), 0)

        # Sent before the program ended: on the page at once, or within seconds.
        def listed():
            status, page = fetch(self.server.url + "/")
            return page if status == 200 and html.escape("Pilot <e2e>") in page else None
        page = harness.wait_until("the game on the server's page", listed, 15)
        self.assertTrue(logged(self.server, r"accepted run 1: "), "".join(self.server.log))
        status, body = fetch(self.server.url + "/api/v1/scores")
        self.assertEqual(status, 200)
        self.assertIn('"name":"Pilot <e2e>"', body)
        with open(os.path.join(harness.OPTIONS.artifacts, "online-page.html"), "w") as saved:
            saved.write(page)
        # Nothing waits in the outbox once the server has the game.
        outbox = os.path.join(work, "outbox")
        self.assertEqual(os.listdir(outbox) if os.path.isdir(outbox) else [], [])

    def test_the_online_screen_lists_the_table_and_keeps_the_name_typed(self):
        status, _ = fetch(self.server.url + "/healthz")
        self.assertEqual(status, 200)
        self.game = game = Game("online-screen", args=["--server", self.server.url])
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("o")
        game.wait_for_screen("the online scores screen", online_screen_shown, 20)
        harness.wait_until("the screen to ask for the table",
                           lambda: logged(self.server, r"GET /api/v1/scores 200"), 20)
        empty = name_line_width(game.screenshot())
        for letter in "kim":
            game.hold_key(letter, 0.1)
        harness.wait_until("the name typed", lambda: abs(name_line_width(game.screenshot()) - empty) > 100, 10)
        game.save(game.screenshot(), "online-scores.png")
        game.key("Return")
        game.wait_for_screen("the menu again", harness.menu_shown, 20)
        with open(os.path.join(game.work, "vevarnholt.cfg")) as settings:
            self.assertIn("[online]\nname = kim\n", settings.read())


def online_screen_shown(picture):
    # The heading "Online scores" in yellow across the top, and no menu.
    return picture.count(300, 40, 724, 90, harness.is_yellow) > 300 and not harness.menu_shown(picture)


def name_line_width(picture):
    # The yellow name line at y = 190..215: without a name it says what games
    # are listed as, a name typed takes the place of that long hint.
    return picture.count(300, 190, 724, 215, harness.is_yellow)


if __name__ == "__main__":
    harness.main()
