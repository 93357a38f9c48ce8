"""The online table end to end: the real game started with --server asks the
score server for a token while the menu shows, plays a short game from its
seed, quits with Escape and y, and the game's score appears on the server's
page within seconds of the program's end."""

import html
import os
import re
import shutil
import subprocess
import threading
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


class ScoreServer:
    """vevarnholt-server on a port of 127.0.0.1 it chose, with SQLite in `folder`."""

    def __init__(self, program, verifier, folder):
        self.log = []
        self.process = subprocess.Popen(
            [program, "--listen", "127.0.0.1:0", "--database", "sqlite:" + os.path.join(folder, "scores.sqlite"),
             "--verifier", verifier],
            stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, text=True, env=dict(os.environ, TMPDIR=folder))
        threading.Thread(target=self._read, daemon=True).start()

        def port():
            for line in list(self.log):
                match = re.search(r"listening on http://127\.0\.0\.1:(\d+)/", line)
                if match:
                    return int(match.group(1))
            if self.process.poll() is not None:
                raise AssertionError("the server ended: " + "".join(self.log))
            return None
        self.url = "http://127.0.0.1:%d" % harness.wait_until("the server to listen", port, 30)
        harness.wait_until("the server to answer /healthz", lambda: fetch(self.url + "/healthz")[0] == 200, 30)

    def _read(self):
        for line in self.process.stderr:
            self.log.append(line)

    def logged(self, pattern):
        return any(re.search(pattern, line) for line in list(self.log))

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=30)


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
                           lambda: self.server.logged(r"POST /api/v1/runs 201"), 20)
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
        self.assertTrue(self.server.logged(r"accepted run 1: "), "".join(self.server.log))
        status, body = fetch(self.server.url + "/api/v1/scores")
        self.assertEqual(status, 200)
        self.assertIn('"name":"Pilot <e2e>"', body)
        with open(os.path.join(harness.OPTIONS.artifacts, "online-page.html"), "w") as saved:
            saved.write(page)
        # Nothing waits in the outbox once the server has the game.
        outbox = os.path.join(work, "outbox")
        self.assertEqual(os.listdir(outbox) if os.path.isdir(outbox) else [], [])


if __name__ == "__main__":
    harness.main()
