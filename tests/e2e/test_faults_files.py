"""The real game with its files in a bad way: music tracks missing, empty,
damaged or replaced by a folder; a score file that is short, damaged,
read-only or a folder; a working folder the game may not write to. The game
plays on (silently where the music is gone) and ends normally, and the score
file that was there is never destroyed."""

import os
import pwd
import random
import stat
import unittest

import harness
from test_faults_startup import FaultGame, read_bytes, score_file, write_bytes

TITLE_TRACK = "VeVarnHolt-CopperSky.mp3"
MENU_TRACK = "VeVarnHolt-GlassHarbour.mp3"
SCORES = "KAVscores.sav"


def scores_shown(picture):
    """The title screen's ten red scores (the names beside them may be any
    bytes a damaged file held, so they are not looked for)."""
    rows = sum(1 for k in range(10) if picture.count(400, 400 + 30 * k, 501, 424 + 30 * k, harness.is_red) >= 40)
    return rows == 10 and not harness.menu_shown(picture)


def process_uid(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("Uid:"):
                return int(line.split()[1])
    return None


class FileFaultsTest(unittest.TestCase):
    def setUp(self):
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.close()

    def play_title_menu_and_quit(self, name, prepare, user=None, expect_uid=None):
        """Title, menu, Quit: the game must see both of its screens through
        and end with code 0."""
        self.game = game = FaultGame(name, prepare, user=user)
        game.wait_for_screen("the title screen", scores_shown, 60)
        if expect_uid is not None:
            self.assertEqual(process_uid(game.process.pid), expect_uid, "the game runs as the intended user")
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown, 30)
        game.key("Escape")
        self.assertEqual(game.exit_code(60), 0, "trace:\n" + game.trace_text())
        self.assertNotIn("ERROR", game.trace_text())
        return game

    def path(self, name):
        return os.path.join(self.game.work, name)

    # --- the music

    def test_without_its_music_files_the_game_runs_silently(self):
        def remove_music(work):
            os.remove(os.path.join(work, TITLE_TRACK))
            os.remove(os.path.join(work, MENU_TRACK))
        self.play_title_menu_and_quit("music-missing", remove_music)

    def test_empty_music_files_and_a_folder_in_place_of_one_are_passed_over(self):
        def empty_music(work):
            write_bytes(os.path.join(work, TITLE_TRACK), b"")
            os.remove(os.path.join(work, MENU_TRACK))
            os.mkdir(os.path.join(work, MENU_TRACK))
        self.play_title_menu_and_quit("music-empty", empty_music)

    def test_damaged_music_files_do_not_stop_the_screens(self):
        def damage_music(work):
            rng = random.Random(5)
            # Noise in place of the title music; the menu's cut off after a
            # few frames and followed by noise.
            write_bytes(os.path.join(work, TITLE_TRACK), bytes(rng.randrange(256) for _ in range(70000)))
            menu = os.path.join(work, MENU_TRACK)
            write_bytes(menu, read_bytes(menu)[:20000] + bytes(rng.randrange(256) for _ in range(50000)))
        self.play_title_menu_and_quit("music-damaged", damage_music)

    # --- the score file

    def test_a_short_score_file_keeps_its_complete_records(self):
        original = score_file(2)[:100]  # four records and the start of a fifth

        def short_scores(work):
            write_bytes(os.path.join(work, SCORES), original)
        self.play_title_menu_and_quit("scores-short", short_scores)
        after = read_bytes(self.path(SCORES))
        self.assertEqual(len(after), 240)
        self.assertEqual(after[:96], original[:96])

    def test_a_damaged_score_file_is_written_back_as_it_was(self):
        rng = random.Random(4)
        # Any bytes, but no negative score: one would make room for a new
        # entry and so change the table honestly.
        damaged = bytearray(rng.randrange(256) for _ in range(240))
        for k in range(10):
            damaged[24 * k + 3] &= 0x7F
        damaged = bytes(damaged)

        def damage_scores(work):
            write_bytes(os.path.join(work, SCORES), damaged)
        self.play_title_menu_and_quit("scores-damaged", damage_scores)
        self.assertEqual(read_bytes(self.path(SCORES)), damaged)

    def test_a_read_only_score_file_is_left_untouched(self):
        original = score_file(3)

        def read_only(work):
            path = os.path.join(work, SCORES)
            write_bytes(path, original)
            os.chmod(path, 0o444)
        self.play_title_menu_and_quit("scores-read-only", read_only)
        self.assertEqual(read_bytes(self.path(SCORES)), original)
        self.assertEqual(stat.S_IMODE(os.stat(self.path(SCORES)).st_mode), 0o444)
        self.assertFalse(os.path.exists(self.path(SCORES + ".tmp")))

    def test_a_folder_in_place_of_the_score_file_stays_as_it_is(self):
        def folder(work):
            os.mkdir(os.path.join(work, SCORES))
            write_bytes(os.path.join(work, SCORES, "keep.txt"), b"mine")
        self.play_title_menu_and_quit("scores-folder", folder)
        self.assertTrue(os.path.isdir(self.path(SCORES)))
        self.assertEqual(read_bytes(os.path.join(self.path(SCORES), "keep.txt")), b"mine")
        self.assertFalse(os.path.exists(self.path(SCORES + ".tmp")))

    def test_in_a_folder_it_may_not_write_the_game_keeps_the_score_file_it_found(self):
        # The superuser may write anywhere: the game runs as an ordinary user.
        if os.geteuid() == 0:
            try:
                user, uid = "nobody", pwd.getpwnam("nobody").pw_uid
            except KeyError:
                self.skipTest("no unprivileged user to run the game as")
        else:
            user, uid = None, os.geteuid()
        # Four records and a cut one: a table written back would be whole.
        original = score_file(6)[:100]

        def locked(work):
            # The score file looks writable; only the folder is closed, so the
            # new table cannot be written beside the old one.
            write_bytes(os.path.join(work, SCORES), original)
            os.chmod(work, 0o555)

        game = self.play_title_menu_and_quit("unwritable-folder", locked, user=user, expect_uid=uid)
        self.assertEqual(read_bytes(self.path(SCORES)), original)
        self.assertEqual(sorted(os.listdir(game.work)),
                         sorted(list(harness.GAME_FILES) + [SCORES]), "nothing was added to the folder")


if __name__ == "__main__":
    harness.main()
