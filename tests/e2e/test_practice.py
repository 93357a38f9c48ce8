"""Practice and the numbers of a game, end to end: with wave 5 reached, P in
the menu offers wave 5, the left arrow wave 4, and Enter plays it; the game is
kept as a practice replay from wave 4 that --verify accepts ", from wave 4"
and whose numbers --verify --stats prints as JSON. A practice game played to
its last life ends on the screen of its numbers, which any key leaves; the
title after it takes no score; the help screen's R shows the record of the
games played, kept in a file beside the score table."""

import glob
import json
import os
import re
import shutil
import struct
import subprocess
import time
import unittest

import harness
from harness import Game

SIGNATURE_SIZE = 8
PRACTICE_LINE = re.compile(r"score (\d+), wave (\d+), steps (\d+), from wave (\d+)\n\Z")
RECORD_SIZE = 52


def practice_shown(picture):
    # The heading "Practice" in yellow across the top and the chosen wave's
    # number in big yellow letters in the middle, inside its white box.
    return picture.count(400, 40, 624, 90, harness.is_yellow) > 150 and \
        picture.count(400, 300, 624, 345, harness.is_yellow) > 200 and not harness.menu_shown(picture)


def numbers_shown(picture):
    # The heading in yellow at the top, then rows of white captions
    # right-aligned at x = 500 from y = 140.
    return picture.count(350, 30, 674, 80, harness.is_yellow) > 200 and \
        picture.count(250, 140, 500, 330, harness.is_white) > 300 and not harness.title_shown(picture)


def record_shown(picture):
    # "Your record" in yellow, then five white captions from y = 240, nothing
    # white above them.
    return picture.count(370, 40, 654, 90, harness.is_yellow) > 200 and \
        picture.count(250, 240, 500, 470, harness.is_white) > 300 and \
        picture.count(250, 160, 500, 230, harness.is_white) < 20 and not harness.help_shown(picture)


def head_of(data):
    """The kind of game and its starting wave, the last two bytes of HEAD."""
    at = SIGNATURE_SIZE
    length = struct.unpack(">I", data[at:at + 4])[0]
    assert data[at + 4:at + 8] == b"HEAD"
    body = data[at + 8:at + 8 + length]
    return body[-2], body[-1]


def verify(folder, *arguments):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    result = subprocess.run([os.path.join(os.path.abspath(harness.OPTIONS.game_dir), "kav"), "--verify"] +
                            list(arguments), cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=120)
    return result.returncode, result.stdout.decode("latin-1"), result.stderr.decode("latin-1")


def record_totals(path):
    """(games, steps, enemies, humans rescued, best wave) of the record file."""
    with open(path, "rb") as f:
        data = f.read()
    assert len(data) == RECORD_SIZE, len(data)
    return struct.unpack(">QQQQI", data[12:48])


def work_folder(name, best_wave):
    """A fresh working folder whose settings say how far the player got."""
    work = os.path.abspath(os.path.join(harness.OPTIONS.work, name))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    with open(os.path.join(work, "vevarnholt.cfg"), "w") as settings:
        settings.write("[practice]\nbest_wave = %d\n" % best_wave)
    return work


class PracticeTest(unittest.TestCase):
    def setUp(self):
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.close()

    def open_practice(self, game):
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("p")
        return game.wait_for_screen("the practice screen", practice_shown, 20)

    def test_a_later_wave_is_practised_and_its_replay_verifies_from_that_wave(self):
        work = work_folder("practice-wave", 5)
        self.game = game = Game("practice-wave", fresh=False)
        first = self.open_practice(game)
        game.key("Left")
        # The wave's number changes under the same heading.
        chosen = game.wait_for_screen(
            "wave 4 chosen", lambda p: practice_shown(p) and
            p.region(400, 300, 624, 345) != first.region(400, 300, 624, 345), 10)
        game.save(game.wait_for_still("the practice screen at rest", (0, 0, 1024, 768), 20, practice_shown),
                  "practice.png")
        self.assertTrue(practice_shown(chosen))
        game.key("Return")
        game.wait_for_screen("the name of wave 4", harness.wave_name_shown, 30)
        game.wait_for_screen("the wave in play", lambda p: not harness.wave_name_shown(p), 30)
        for key in ("Right", "z", "Up", "z", "Down", "z"):
            game.hold_key(key, 0.3)
        game.hold_key("Escape", 0.2)
        game.wait_for_screen("the quit question", harness.quit_question_frame, 20)
        game.key("y")
        self.assertEqual(game.exit_code(30), 0)

        replays = glob.glob(os.path.join(work, "replays", "*.replay"))
        self.assertEqual(len(replays), 1, replays)
        with open(replays[0], "rb") as f:
            data = f.read()
        self.assertEqual(head_of(data), (1, 4), "a practice game from wave 4")

        folder = os.path.join(work, "verify")
        os.makedirs(folder)
        shutil.copy(os.path.join(harness.OPTIONS.game_dir, "kav.dat"), folder)
        shutil.copy(replays[0], os.path.join(folder, "practice.replay"))
        code, out, err = verify(folder, "practice.replay")
        self.assertEqual((code, err), (0, ""))
        match = PRACTICE_LINE.match(out)
        self.assertIsNotNone(match, out)
        self.assertEqual(int(match.group(4)), 4)
        self.assertEqual(int(match.group(2)), 4)

        code, out, err = verify(folder, "--stats", "practice.replay")
        self.assertEqual((code, err), (0, ""))
        line, stats_line = out.splitlines()
        self.assertEqual(line + "\n", PRACTICE_LINE.match(line + "\n").group(0))
        stats = json.loads(stats_line)
        self.assertEqual((stats["score"], stats["wave"], stats["start_wave"]),
                         (int(match.group(1)), 4, 4))
        self.assertGreaterEqual(stats["shots"], 1)
        self.assertEqual(stats["seconds"], round(stats["steps"] / 50.0, 1))
        self.assertEqual(len(stats["enemies"]), 13)

        # The game counts in the record; the table never saw it; the best
        # wave stays where it was.
        games, steps, _, _, best = record_totals(os.path.join(work, "KAVrecord.sav"))
        self.assertEqual((games, best), (1, 4))
        self.assertEqual(steps, stats["steps"])
        with open(os.path.join(work, "KAVscores.sav"), "rb") as f:
            table = f.read()
        self.assertEqual([struct.unpack("<i", table[24 * k:24 * k + 4])[0] for k in range(10)], [0] * 10)
        with open(os.path.join(work, "vevarnholt.cfg")) as settings:
            self.assertIn("[practice]\nbest_wave = 5\n", settings.read())

    def test_a_game_to_its_last_life_shows_its_numbers_and_the_help_screen_the_record(self):
        work = work_folder("practice-numbers", 16)
        self.game = game = Game("practice-numbers", fresh=False)
        self.open_practice(game)
        # Wave 16, 70 fighters: the ship left alone does not last long.
        game.key("Return")
        game.wait_for_screen("the name of wave 16", harness.wave_name_shown, 30)
        numbers = game.wait_for_still("the numbers of the game", (0, 0, 1024, 768), 300, numbers_shown)
        game.save(numbers, "numbers.png")
        game.key("space")
        title = game.wait_for_screen("the title after the closing sequence", harness.title_shown, 60)
        # No name is asked for: the prompt's yellow line above the table stays dark.
        self.assertLess(title.count(262, 362, 762, 388, harness.is_yellow), 40)

        games, steps, _, _, best = record_totals(os.path.join(work, "KAVrecord.sav"))
        self.assertEqual((games, best), (1, 16))
        self.assertGreater(steps, 150)

        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("h")
        game.wait_for_screen("the help screen", harness.help_shown)
        game.key("r")
        record = game.wait_for_still("the record page", (0, 0, 1024, 768), 20, record_shown)
        game.save(record, "record.png")
        game.key("space")
        game.wait_for_screen("the story again", harness.help_shown, 20)
        game.key("space")
        game.wait_for_screen("the menu again", harness.menu_shown, 20)
        game.key("Escape")
        self.assertEqual(game.exit_code(60), 0)


if __name__ == "__main__":
    harness.main()
