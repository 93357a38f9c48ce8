"""A data file that is missing, empty, cut short, damaged, short of an object
or holding the wrong kind of object at a used place: the real game ends at
start-up with "Error loading datafile: KAV.DAT" and exit code 4, never with a
crash, and the score file beside it is left exactly as it was.

Also home of FaultGame, the launcher the other fault tests share: the game in
a working folder prepared first (files left out, damaged or replaced, the
library's own configuration in a private HOME, another user)."""

import grp
import os
import pwd
import random
import shutil
import signal
import struct
import subprocess
import unittest

import harness


class FaultGame(harness.Game):
    """One run of the real binary, like harness.Game, with the working folder
    prepared before the start. `prepare(work)` may change the folder;
    `home_files` are written into a private HOME (the library reads
    ~/.allegrorc, ALSA ~/.asoundrc); `extra_env` is added to the game's
    environment; `user` runs the game as that user; `wrapper` is a command
    the game runs under (a memory checker)."""

    def __init__(self, test_name, prepare=None, home_files=None, extra_env=None, user=None, wrapper=None):
        options = harness.OPTIONS
        self.work = os.path.abspath(os.path.join(options.work, test_name))
        self.artifacts = os.path.abspath(options.artifacts)
        if os.path.isdir(self.work):
            make_writable(self.work)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        os.makedirs(self.artifacts, exist_ok=True)
        for name in harness.GAME_FILES:
            shutil.copy(os.path.join(options.game_dir, name), self.work)
        # What the test and the game leave beside the working folder.
        self.logs = self.work + "-logs"
        shutil.rmtree(self.logs, ignore_errors=True)
        os.makedirs(self.logs)
        home = os.path.join(self.logs, "home")
        os.makedirs(home)
        for name, text in (home_files or {}).items():
            with open(os.path.join(home, name), "w") as f:
                f.write(text)
        if prepare:
            prepare(self.work)
        self.sound_file = None
        self.own_display = True
        self.display = harness.Display()
        env = self.display.env()
        env["HOME"] = home
        env.update(extra_env or {})
        command = [os.path.join(os.path.abspath(options.game_dir), "kav")]
        if wrapper:
            command = list(wrapper) + command
        if user:
            command = ["setpriv", "--reuid", user, "--regid", user_group(user), "--clear-groups"] + command
        self.launch(command, self.work, env, self.logs)

    def close(self):
        super().close()
        make_writable(self.work)


def user_group(user):
    return grp.getgrgid(pwd.getpwnam(user).pw_gid).gr_name


def make_writable(folder):
    """Undoes what a test did to its folder so that it can be removed."""
    for root, dirs, files in os.walk(folder):
        os.chmod(root, 0o755)
        for name in files:
            path = os.path.join(root, name)
            if not os.path.islink(path):
                os.chmod(path, 0o644)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def score_file(seed):
    """240 bytes of a well-formed table: ten scores, best first, and names of
    20 bytes, some filling their field, some with bytes after the terminator."""
    rng = random.Random(seed)
    scores = sorted((rng.randrange(1, 2 ** 31) for _ in range(10)), reverse=True)
    data = b""
    for k, points in enumerate(scores):
        name = bytes(rng.randrange(33, 127) for _ in range(rng.randrange(1, 21)))
        field = (name + b"\0" + bytes(rng.randrange(256) for _ in range(20)))[:20]
        data += struct.pack("<i", points) + field
    return data


# ---------------------------------------------------------------------------
# The data file, object by object (the file as a whole is not packed; its
# objects are, one by one).

def data_file_records(data):
    """(head, records): the 12 bytes of magic and count, and each object with
    the properties before it, as stored."""
    if data[:8] != b"slh.ALL.":
        raise ValueError("kav.dat is not an unpacked container of objects")
    at = start = 12
    records = []
    while at + 4 <= len(data):
        if data[at:at + 4] == b"prop":
            at += 12 + struct.unpack(">I", data[at + 8:at + 12])[0]
            continue
        at += 12 + struct.unpack(">I", data[at + 4:at + 8])[0]
        records.append(data[start:at])
        start = at
    return data[:12], records


def join_records(head, records):
    return head[:8] + struct.pack(">I", len(records)) + b"".join(records)


class DataFileFaultsTest(unittest.TestCase):
    SCORES = score_file(1)

    def start(self, name, change_data_file):
        def prepare(work):
            write_bytes(os.path.join(work, "KAVscores.sav"), self.SCORES)
            change_data_file(os.path.join(work, "kav.dat"))
        self.game = FaultGame("data-file-" + name, prepare)
        return self.game

    def tearDown(self):
        self.game.close()

    def assert_refused(self):
        game = self.game
        code = game.exit_code(60)
        self.assertNotEqual(code, -signal.SIGSEGV, "the game crashed on the data file")
        self.assertEqual(code, 4, "exit code; trace:\n" + game.trace_text())
        trace = game.trace_text()
        # The error names the folders looked in: the working folder first.
        head, _, searched = trace.rpartition("Looked for kav.dat in: ")
        self.assertTrue(head.endswith("GraphicsEngine: load_datafile\nError loading datafile: KAV.DAT\n"),
                        "trace:\n" + trace)
        self.assertTrue(searched.startswith(game.work), "trace:\n" + trace)
        self.assertTrue(searched.endswith("\n") and searched.count("\n") == 1, "trace:\n" + trace)
        self.assertEqual(read_bytes(os.path.join(game.work, "KAVscores.sav")), self.SCORES,
                         "the score file was changed")

    def test_a_missing_data_file_ends_the_game_with_code_4(self):
        self.start("missing", os.remove)
        self.assert_refused()

    def test_an_empty_data_file_ends_the_game_with_code_4(self):
        self.start("empty", lambda path: write_bytes(path, b""))
        self.assert_refused()

    def test_a_data_file_cut_short_ends_the_game_with_code_4(self):
        # The library's loader alone calls through a null pointer here.
        self.start("cut", lambda path: write_bytes(path, read_bytes(path)[:len(read_bytes(path)) // 2]))
        self.assert_refused()

    def test_a_damaged_data_file_ends_the_game_with_code_4(self):
        def damage(path):
            data = bytearray(read_bytes(path))
            rng = random.Random(3)
            # Bytes changed in the headers, inside a compressed picture and
            # near the end.
            for at in (20, 21, 2000, len(data) // 3, len(data) // 3 + 1, len(data) - 500):
                data[at] ^= rng.randrange(1, 256)
            write_bytes(path, bytes(data))
        self.start("damaged", damage)
        self.assert_refused()

    def test_a_data_file_short_of_its_last_object_ends_the_game_with_code_4(self):
        def drop_last(path):
            head, records = data_file_records(read_bytes(path))
            self.assertEqual(len(records), 151)
            write_bytes(path, join_records(head, records[:-1]))
        self.start("short-of-an-object", drop_last)
        self.assert_refused()

    def test_a_font_where_a_picture_belongs_ends_the_game_with_code_4(self):
        def swap(path):
            head, records = data_file_records(read_bytes(path))
            records[133], records[134] = records[134], records[133]
            write_bytes(path, join_records(head, records))
        self.start("wrong-kind", swap)
        self.assert_refused()


if __name__ == "__main__":
    harness.main()
