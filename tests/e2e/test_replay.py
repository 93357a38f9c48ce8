"""Recorded games from the outside: a game played with real keys is kept as one
replay that `--verify` accepts, while damaged, cut, foreign and altered copies
are refused with one line; `--replay` shows the recording again (to its end, to
Escape, or four times as fast under the right arrow); and the title left alone
plays a demo that any key ends, back on the title."""

import glob
import os
import re
import shutil
import struct
import subprocess
import time
import unittest
import zlib

import harness
from harness import Game

EXIT_BAD_DATA = 65
EXIT_IO_ERROR = 74
STEPS_PER_SECOND = 50
CHECKPOINT_STEPS = 250
OLD_VERSION_FILE = "20261201-120000-0000abcd.replay"
SIGNATURE_SIZE = 8
VERIFY_LINE = re.compile(r"score (\d+), wave (\d+), steps (\d+)\n\Z")


# ---------------------------------------------------------------------------
# The replay file: chunks of [length][type][data][CRC-32 of type and data].


def read_chunks(data):
    """[(type, data)] of a whole replay file."""
    chunks = []
    at = SIGNATURE_SIZE
    while at < len(data):
        length = struct.unpack(">I", data[at:at + 4])[0]
        kind = data[at + 4:at + 8]
        chunks.append((kind, data[at + 8:at + 8 + length]))
        at += 12 + length
    return chunks


def chunk_offset(data, wanted):
    """Where the data of chunk `wanted` begins in the file, and its length."""
    at = SIGNATURE_SIZE
    while at < len(data):
        length = struct.unpack(">I", data[at:at + 4])[0]
        if data[at + 4:at + 8] == wanted:
            return at + 8, length
        at += 12 + length
    raise AssertionError("no %r chunk in the replay" % wanted)


def build_file(signature, chunks):
    """A replay file with every chunk's CRC made right."""
    out = bytearray(signature)
    for kind, body in chunks:
        out += struct.pack(">I", len(body)) + kind + body
        out += struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    return bytes(out)


def with_chunk(data, kind, change):
    """The file with chunk `kind`'s data passed through change(), CRCs rebuilt."""
    chunks = [(k, change(body) if k == kind else body) for k, body in read_chunks(data)]
    return build_file(data[:SIGNATURE_SIZE], chunks)


def recorded_result(data):
    """(score, wave, steps) as the file's RSLT chunk holds them."""
    body = dict(read_chunks(data))[b"RSLT"]
    return struct.unpack(">iiI", body)


def as_version_100(data):
    """The replay as version 1.0.0 of the game wrote it: a format-1 header,
    without the rules version, the kind of game and its starting wave."""
    def old_head(body):
        version_text_at = 4 + 4 + 4 + 8
        rest = body[version_text_at:-2]
        text_length = rest[0]
        rest = bytes([5]) + b"1.0.0" + rest[1 + text_length:]
        return struct.pack(">I", 1) + body[8:version_text_at] + rest
    return with_chunk(data, b"HEAD", old_head)


def with_actions(data, change):
    """The replay with its action bytes passed through change(), every
    checksum made good: a file no check of the file itself can tell."""
    return with_chunk(data, b"ACTS", lambda body: zlib.compress(bytes(change(bytearray(zlib.decompress(body)))), 9))


# ---------------------------------------------------------------------------
# Running the checker


def verify_folder(name):
    """A fresh folder holding the data file, as a portable copy of the game has."""
    folder = os.path.abspath(os.path.join(harness.OPTIONS.work, name))
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(os.path.join(harness.OPTIONS.game_dir, "kav.dat"), folder)
    return folder


def verify(folder, path):
    """Runs `kav --verify path` in folder with no display: (code, stdout, stderr)."""
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    result = subprocess.run([os.path.join(os.path.abspath(harness.OPTIONS.game_dir), "kav"), "--verify", path],
                            cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return result.returncode, result.stdout.decode("latin-1"), result.stderr.decode("latin-1")


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(root, name), folder)
                  for root, _, names in os.walk(folder) for name in names)


# ---------------------------------------------------------------------------
# What the screen shows


def scanner_shown(picture):
    # The scanner's yellow frame, (256, 0)-(768, 64), drawn only in play. The
    # ship at the top of the sky may hide the lower corner of a side and part
    # of the lower edge.
    y = harness.is_yellow
    return picture.count(256, 0, 769, 1, y) >= 500 and picture.count(256, 64, 769, 65, y) >= 300 and \
        picture.count(256, 0, 257, 65, y) >= 45 and picture.count(768, 0, 769, 65, y) >= 45


def demo_line_lit(picture):
    # "DEMO - press any key", centred on x = 512 in the ground strip at the
    # picture's bottom, under the play; it flashes between yellow and orange.
    return picture.count(380, 744, 644, 768, lambda r, g, b: r >= 190 and b <= 40) >= 400


def demo_shown(picture):
    return scanner_shown(picture) and demo_line_lit(picture) and not harness.title_shown(picture)


def in_play(picture):
    return scanner_shown(picture) and not harness.wave_name_shown(picture)


def wait_for_play_after_wave_name(game, timeout=60):
    """Waits for the wave's name and then for play; returns the first picture
    of play and the time the last picture with the name was begun: the wave's
    steps cannot have started before it."""
    name_seen = [None]

    def probe():
        if not game.running():
            raise game.ended_early("the wave's name, then play")
        begun = time.monotonic()
        picture = game.screenshot()
        if picture is None:
            return None
        if harness.wave_name_shown(picture):
            name_seen[0] = begun
            return None
        return picture if name_seen[0] is not None and in_play(picture) else None

    picture = harness.wait_until("the wave's name, then play", probe, timeout, interval=0.05)
    return picture, name_seen[0]


def exit_time(game, timeout):
    """The moment the game ended, within `timeout` s, and its exit code."""
    deadline = time.monotonic() + timeout
    while game.running():
        if time.monotonic() > deadline:
            raise AssertionError("the game did not end within %d s" % timeout)
        time.sleep(0.02)
    return time.monotonic(), game.process.returncode


# ---------------------------------------------------------------------------


class RecordedGameTest(unittest.TestCase):
    """One short game is played and recorded for all the cases below."""

    @classmethod
    def setUpClass(cls):
        game = Game("replay-record")
        # A game of version 1.0.0 in the same folder: refused by its version,
        # but the player's all the same, and never removed.
        os.makedirs(os.path.join(game.work, "replays"), exist_ok=True)
        with open(os.path.join(harness.OPTIONS.game_dir, "demo.replay"), "rb") as f:
            cls.old_version = as_version_100(f.read())
        with open(os.path.join(game.work, "replays", OLD_VERSION_FILE), "wb") as f:
            f.write(cls.old_version)
        try:
            game.wait_for_screen("the title screen", harness.title_shown, 60)
            game.key("Return")
            game.wait_for_screen("the menu", harness.menu_shown)
            game.key("Return")
            wait_for_play_after_wave_name(game)
            # Up to the top of the sky, ahead, and a row of shots: a few
            # seconds a replay must reproduce.
            game.hold_key("Up", 0.6)
            game.hold_key("Right", 1.5)
            for _ in range(14):
                game.hold_key("z", 0.15)
                time.sleep(0.2)
            game.save(game.wait_for_screen("the recorded game in play", in_play, 10), "replay-recorded-game.png")
            game.hold_key("Escape", 0.2)
            question = game.wait_for_screen("the quit question", harness.quit_question_frame, 20)
            cls.ship = harness.ship_template(question, harness.quit_question_frame(question))
            game.key("y")
            cls.exit_code = game.exit_code(30)
        finally:
            game.close()
        cls.replays = sorted(path for path in glob.glob(os.path.join(game.work, "replays", "*"))
                             if not path.endswith(OLD_VERSION_FILE))
        cls.old_version_kept = os.path.exists(os.path.join(game.work, "replays", OLD_VERSION_FILE))

    def recording(self):
        self.assertEqual(self.exit_code, 0)
        self.assertEqual(len(self.replays), 1, "one replay for one game: %s" % self.replays)
        self.assertTrue(self.replays[0].endswith(".replay"), self.replays[0])
        return self.replays[0]

    def assert_refused(self, folder, name, data=None):
        """Writes data (if given) as `name` in folder; --verify must refuse
        the file with one line "<name>: <message>". Returns the message."""
        if data is not None:
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        code, out, err = verify(folder, name)
        self.assertEqual(code, EXIT_BAD_DATA, "%s: exit code (stderr %r)" % (name, err))
        self.assertEqual(out, "", "%s: nothing on stdout" % name)
        self.assertTrue(err.startswith(name + ": ") and err.endswith("\n") and err.count("\n") == 1,
                        "%s: one line naming the file on stderr, got %r" % (name, err))
        message = err[len(name) + 2:-1]
        self.assertTrue(message.strip(), "%s: the line says what is wrong" % name)
        return message

    def test_a_played_game_is_kept_as_one_replay_that_verifies_headless(self):
        path = self.recording()
        with open(path, "rb") as f:
            data = f.read()
        folder = verify_folder("replay-verify")
        shutil.copy(path, os.path.join(folder, "game.replay"))
        before = files_under(folder)

        code, out, err = verify(folder, "game.replay")
        self.assertEqual((code, err), (0, ""))
        match = VERIFY_LINE.match(out)
        self.assertIsNotNone(match, "one line 'score <n>, wave <w>, steps <s>', got %r" % out)
        score, wave, steps = (int(g) for g in match.groups())
        self.assertEqual((score, wave, steps), recorded_result(data), "the line tells the recorded result")
        self.assertGreaterEqual(wave, 1)
        # A few seconds of play at 50 steps a second.
        self.assertGreater(steps, 3 * STEPS_PER_SECOND)
        self.assertLess(steps, 60 * STEPS_PER_SECOND)
        self.assertEqual(files_under(folder), before, "checking a replay writes nothing")

        # The demo the build makes is a valid recording as well.
        shutil.copy(os.path.join(harness.OPTIONS.game_dir, "demo.replay"), folder)
        code, out, err = verify(folder, "demo.replay")
        self.assertEqual((code, err), (0, ""))
        self.assertIsNotNone(VERIFY_LINE.match(out), out)

    def test_damaged_cut_foreign_and_altered_replays_are_refused_with_one_line(self):
        with open(self.recording(), "rb") as f:
            data = f.read()
        folder = verify_folder("replay-refused")

        start, length = chunk_offset(data, b"ACTS")
        self.assertGreater(length, 4)
        flipped = bytearray(data)
        flipped[start + length // 2] ^= 0x5A
        checksum = self.assert_refused(folder, "flipped-action.replay", bytes(flipped))

        head_start, head_length = chunk_offset(data, b"HEAD")
        for cut in (0, 5, SIGNATURE_SIZE, SIGNATURE_SIZE + 6, head_start + head_length // 2, start + length // 2,
                    len(data) - 12, len(data) - 1):
            self.assert_refused(folder, "cut-%d.replay" % cut, data[:cut])

        self.assert_refused(folder, "kav.dat")
        self.assert_refused(folder, "text.replay", b"score 0, wave 1, steps 300\nnot a recording at all\n")

        # Format version 3 and another score, each with its checksum made
        # right: refused for what they say, not for a checksum. The same
        # change without the checksum made right gives the checksum's message.
        version3 = with_chunk(data, b"HEAD", lambda body: struct.pack(">I", 3) + body[4:])
        version_message = self.assert_refused(folder, "version-3.replay", version3)
        unsummed = bytearray(data)
        unsummed[head_start:head_start + 4] = struct.pack(">I", 3)
        unsummed_message = self.assert_refused(folder, "version-3-bad-crc.replay", bytes(unsummed))
        self.assertNotEqual(version_message, unsummed_message, "the version is read once the checksum holds")

        score, wave, steps = recorded_result(data)
        rescored = with_chunk(data, b"RSLT", lambda body: struct.pack(">iiI", score + 100, wave, steps))
        result_message = self.assert_refused(folder, "rescored.replay", rescored)
        self.assertNotIn(result_message, (checksum, version_message))
        # The rebuilding itself changes nothing: the same chunks verify.
        with open(os.path.join(folder, "rebuilt.replay"), "wb") as f:
            f.write(with_chunk(data, b"RSLT", lambda body: body))
        self.assertEqual(verify(folder, "rebuilt.replay")[0], 0)

    def test_a_replay_that_departs_from_its_game_names_the_step(self):
        with open(self.recording(), "rb") as f:
            data = f.read()
        steps = recorded_result(data)[2]
        self.assertGreater(steps, CHECKPOINT_STEPS, "the recorded game reaches its first checkpoint")
        folder = verify_folder("replay-departs")

        # Down instead of up for a few steps early on: the file is whole, the
        # game it plays is another one from there.
        def dive(actions):
            for i in range(10, 40):
                actions[i] = (actions[i] & ~0x03) | 0x02
            return actions
        message = self.assert_refused(folder, "dived.replay", with_actions(data, dive))
        self.assertEqual(message, "replay departs from its game at step %d" % CHECKPOINT_STEPS)

    def test_a_replay_of_version_one_is_refused_by_its_versions_and_kept(self):
        self.recording()
        self.assertTrue(self.old_version_kept, "the game's clean-up of its replays left the 1.0.0 game alone")
        folder = verify_folder("replay-old-version")
        message = self.assert_refused(folder, OLD_VERSION_FILE, self.old_version)
        self.assertRegex(message, r"^recorded by version 1\.0\.0 of the game, whose rules differ from this "
                                  r"version \(\d+\.\d+\.\d+\)$")
        self.assertTrue(os.path.exists(os.path.join(folder, OLD_VERSION_FILE)), "refusing it leaves it")

    def test_a_result_line_that_cannot_be_written_is_an_error(self):
        path = self.recording()
        folder = verify_folder("replay-full")
        shutil.copy(path, os.path.join(folder, "game.replay"))
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        with open("/dev/full", "w") as full:
            result = subprocess.run([os.path.join(os.path.abspath(harness.OPTIONS.game_dir), "kav"), "--verify",
                                     "game.replay"], cwd=folder, env=env, stdout=full, stderr=subprocess.PIPE,
                                    timeout=120)
        err = result.stderr.decode("latin-1")
        self.assertEqual(result.returncode, EXIT_IO_ERROR, err)
        self.assertTrue(err.startswith("game.replay: ") and err.count("\n") == 1, err)

    def watch(self, name):
        """Starts `kav --window --replay` on the recording; (game, steps)."""
        path = self.recording()
        with open(path, "rb") as f:
            steps = recorded_result(f.read())[2]
        game = Game(name, args=("--window", "--replay", path))
        self.games.append(game)
        return game, steps

    def setUp(self):
        self.games = []

    def tearDown(self):
        for game in self.games:
            game.close()

    def assert_nothing_recorded(self, game):
        self.assertEqual(glob.glob(os.path.join(game.work, "replays", "*")), [], "a replay watched is not recorded")

    def test_watching_the_replay_shows_the_wave_name_then_play_and_ends_by_itself(self):
        game, steps = self.watch("replay-watch")
        wave = game.wait_for_screen("the wave's name", harness.wave_name_shown, 60)
        game.save(wave, "replay-wave-name.png")
        _, name_seen = wait_for_play_after_wave_name(game)

        # The recorded flight: the ship starts each wave at mid-height and
        # climbed to the top of the sky; without the recording it stays.
        def ship_at_top(picture):
            x, y, share = harness.find_ship(picture, self.ship, (120, 560), (0, 200))
            return share > 0.7 and y < 150

        top = game.wait_for_screen("the ship climbing as recorded", ship_at_top, 30)
        game.save(top, "replay-play.png")
        self.assertTrue(scanner_shown(top))

        ended, code = exit_time(game, steps / STEPS_PER_SECOND + 60)
        self.assertEqual(code, 0)
        self.assertGreaterEqual(ended - name_seen, (steps - 25) / STEPS_PER_SECOND,
                                "the whole recording was played at normal speed")
        self.assert_nothing_recorded(game)

    def test_escape_stops_a_replay_being_watched(self):
        game, steps = self.watch("replay-escape")
        _, name_seen = wait_for_play_after_wave_name(game)
        game.hold_key("Escape", 0.2)
        ended, code = exit_time(game, 30)
        self.assertEqual(code, 0)
        self.assertLess(ended - name_seen, (steps - 5) / STEPS_PER_SECOND,
                        "stopped before the recording was over")
        self.assert_nothing_recorded(game)

    def test_the_right_arrow_held_fast_forwards_a_replay(self):
        game, steps = self.watch("replay-fast")
        _, name_seen = wait_for_play_after_wave_name(game)
        game.xdotool("keydown", "Right")
        try:
            ended, code = exit_time(game, 60)
        finally:
            game.xdotool("keyup", "Right")
        self.assertEqual(code, 0)
        # At four times the speed the recording takes a quarter of its time;
        # a generous bound still well below the normal duration.
        self.assertLess(ended - name_seen, 0.7 * steps / STEPS_PER_SECOND,
                        "the held right arrow sped the replay up")


class AttractDemoTest(unittest.TestCase):
    def setUp(self):
        self.game = Game("replay-demo")

    def tearDown(self):
        self.game.close()

    def test_the_title_left_alone_plays_a_demo_that_a_key_ends_back_on_the_title(self):
        game = self.game
        game.wait_for_screen("the title screen", harness.title_shown, 60)
        title_seen = time.monotonic()

        demo = game.wait_for_screen("the attract demo", demo_shown, 60)
        started = time.monotonic()
        self.assertGreater(started - title_seen, 25, "the title stays a while before the demo")
        # The recorded game goes on under the line: past the wave's name, the
        # world moves.
        play = game.wait_for_screen("the demo in play",
                                    lambda p: demo_shown(p) and not harness.wave_name_shown(p) and
                                    p.region(0, 160, 1024, 740) != demo.region(0, 160, 1024, 740), 20)
        game.save(play, "demo.png")

        # Return on the title would open the menu: the key that ends the demo
        # must do nothing more.
        game.key("Return")
        game.wait_for_screen("the title after the demo", harness.title_shown, 20)
        # Left to itself the build's demo (the folder holds no other replay)
        # plays all its steps, or a minute: longer than this.
        with open(os.path.join(game.work, "demo.replay"), "rb") as f:
            demo_seconds = min(60, recorded_result(f.read())[2] / STEPS_PER_SECOND)
        self.assertGreater(demo_seconds, 30)
        self.assertLess(time.monotonic() - started, demo_seconds - 10, "the key ended the demo before its end")
        watch_until = time.monotonic() + 2.0
        while time.monotonic() < watch_until:
            picture = game.screenshot()
            self.assertFalse(picture is not None and (harness.menu_shown(picture) or scanner_shown(picture)),
                             "the title stays after the key that ended the demo")

        # The title works as before; and a demo is not recorded as a game.
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown)
        game.key("Escape")
        self.assertEqual(game.exit_code(60), 0)
        self.assertEqual(glob.glob(os.path.join(game.work, "replays", "*")), [], "a demo is not recorded")


if __name__ == "__main__":
    harness.main()
