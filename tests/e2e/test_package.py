"""The Debian package as a player gets it. The .deb of the build folder is
unpacked into a root of its own; the installed command, started from an empty
working folder, finds its data beside itself, keeps the score table in
$XDG_DATA_HOME/vevarnholt, writes nothing into the working folder or its data
folder, and a second run reads back the table the first one kept. Also what
the menu entry and the icons of the package promise."""

import glob
import os
import shutil
import struct
import subprocess
import unittest

import harness

PACKAGE = "vevarnholt"
SCORES = "KAVscores.sav"
RECORD = 24  # a 4-byte score and a 20-byte name
ICON_SIZES = (48, 64, 128, 256)  # at least these
# Where the title screen shows row k of the table (as harness.title_shown);
# the names end well before x = 800, clear of the streaks of light.
SCORE_COLUMN = (400, 501)
NAME_COLUMN = (524, 800)


def row_masks(picture, k):
    """The red score and the yellow name of row k of the title's table."""
    top, bottom = 400 + 30 * k, 424 + 30 * k
    return (picture.mask(SCORE_COLUMN[0], top, SCORE_COLUMN[1], bottom, harness.is_red),
            picture.mask(NAME_COLUMN[0], top, NAME_COLUMN[1], bottom, harness.is_yellow))


def package_file():
    """The newest package in the build folder (the parent of the game folder);
    a missing or out-of-date one fails with what to do."""
    game_dir = os.path.abspath(harness.OPTIONS.game_dir)
    build = os.path.dirname(game_dir)
    arch = subprocess.run(["dpkg", "--print-architecture"], stdout=subprocess.PIPE, check=True,
                          text=True).stdout.strip()
    found = glob.glob(os.path.join(build, "%s_*_%s.deb" % (PACKAGE, arch)))
    if not found:
        raise AssertionError("no %s_<version>_%s.deb in %s: make it first with\n  cmake --build %s --target package"
                             % (PACKAGE, arch, build, build))
    newest = max(found, key=os.path.getmtime)
    if os.path.getmtime(newest) < os.path.getmtime(os.path.join(game_dir, "kav")):
        raise AssertionError("%s is older than the game it should hold: make it again with\n"
                             "  cmake --build %s --target package" % (newest, build))
    return newest


def tree(folder):
    """Every file below `folder` with its size and modification time."""
    found = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            found[os.path.relpath(path, folder)] = (info.st_size, info.st_mtime_ns)
    return found


def fresh(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


class InstalledGame(harness.Game):
    """One run of the installed command, like harness.Game, in an empty working
    folder with a private HOME and XDG_DATA_HOME. XDG_CONFIG_HOME is left unset,
    so the settings go to $HOME/.config. What the game prints is kept beside
    the working folder, never in it."""

    def __init__(self, command, cwd, home, data_home, logs):
        # What harness.Game's own start sets up, for its other methods.
        self.work = cwd
        self.artifacts = os.path.abspath(harness.OPTIONS.artifacts)
        os.makedirs(self.artifacts, exist_ok=True)
        self.sound_file = None
        self.own_display = True
        self.display = harness.Display()
        env = self.display.env()
        env["HOME"] = home
        env["XDG_DATA_HOME"] = data_home
        env.pop("XDG_CONFIG_HOME", None)
        self.launch([command], cwd, env, logs)


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = package_file()
        cls.work = os.path.abspath(harness.OPTIONS.work)
        cls.root = fresh(os.path.join(cls.work, "root"))
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)
        cls.command = os.path.join(cls.root, "usr", "games", PACKAGE)
        cls.data_dir = os.path.join(cls.root, "usr", "share", "games", PACKAGE)

    def setUp(self):
        self.game = None

    def tearDown(self):
        if self.game:
            self.game.close()

    def title_menu_quit(self, run, cwd, home, data_home):
        """Title, menu, Quit with the installed command; the title screen as
        it showed the table."""
        logs = fresh(os.path.join(self.work, run + "-logs"))
        self.game = game = InstalledGame(self.command, cwd, home, data_home, logs)
        # The title fades in: the table is read once it stands still.
        title = game.wait_for_still("the title screen with the high-score table", (400, 400, 700, 700), 60,
                                    harness.title_shown)
        game.save(title, "package-%s.png" % run)
        game.key("Return")
        game.wait_for_screen("the menu", harness.menu_shown, 30)
        game.key("Escape")
        self.assertEqual(game.exit_code(60), 0, "trace:\n" + game.trace_text())
        game.close()
        self.game = None
        return title

    def test_installed_game_keeps_its_table_in_the_xdg_data_folder_and_reads_it_back(self):
        cwd = fresh(os.path.join(self.work, "cwd"))
        home = fresh(os.path.join(self.work, "home"))
        data_home = fresh(os.path.join(self.work, "xdg-data"))
        scores = os.path.join(data_home, PACKAGE, SCORES)
        data_before = tree(self.data_dir)
        self.assertIn("kav.dat", data_before)

        first = self.title_menu_quit("first", cwd, home, data_home)
        self.assertEqual(os.listdir(cwd), [], "the working folder stays empty")
        self.assertTrue(os.path.isfile(scores), "the table is kept in $XDG_DATA_HOME/%s" % PACKAGE)
        with open(scores, "rb") as f:
            table = f.read()
        self.assertEqual(len(table), 240)
        self.assertEqual(tree(self.data_dir), data_before, "the data folder is never written")
        # Under HOME only the settings may appear (XDG_DATA_HOME lies elsewhere),
        # besides what the sound server's client library keeps there itself.
        allowed = tuple(os.path.join(".config", name) + os.sep for name in (PACKAGE, "pulse"))
        strays = [path for path in tree(home) if not path.startswith(allowed)]
        self.assertEqual(strays, [], "nothing but the settings is written under HOME")

        # A table only the file can tell: a new best score and name on top.
        # The default table's best score is not above it, so the order holds.
        best = struct.unpack_from("<i", table, 0)[0]
        points = max(best + 1, 7654321)
        name = b"Packaged Pilot".ljust(20, b"\0")
        patched = struct.pack("<i", points) + name + table[RECORD:]
        with open(scores, "wb") as f:
            f.write(patched)

        second = self.title_menu_quit("second", cwd, home, data_home)
        self.assertNotEqual(row_masks(second, 0)[0], row_masks(first, 0)[0],
                            "the first row shows the score the first run did not have")
        self.assertNotEqual(row_masks(second, 0)[1], row_masks(first, 0)[1],
                            "the first row shows the name the first run did not have")
        for k in range(1, 10):
            self.assertEqual(row_masks(second, k), row_masks(first, k), "row %d is as the first run kept it" % k)
        with open(scores, "rb") as f:
            self.assertEqual(f.read(), patched, "the table survives the second run as it was read")
        self.assertEqual(os.listdir(cwd), [], "the working folder stays empty")
        self.assertEqual(tree(self.data_dir), data_before, "the data folder is never written")

    def test_menu_entry_starts_the_installed_command_with_the_installed_icon(self):
        entry = {}
        with open(os.path.join(self.root, "usr", "share", "applications", PACKAGE + ".desktop"),
                  encoding="utf-8") as f:
            for line in f:
                key, equals, value = line.strip().partition("=")
                if equals:
                    entry[key] = value
        self.assertEqual(entry.get("Exec", "").split()[0], PACKAGE)
        self.assertTrue(os.access(os.path.join(self.root, "usr", "games", entry["Exec"].split()[0]), os.X_OK))
        icons = glob.glob(os.path.join(self.root, "usr", "share", "icons", "hicolor", "*", "apps",
                                       entry.get("Icon", "?") + ".png"))
        self.assertTrue(icons, "the entry's icon is installed")

    def test_icons_are_square_rgba_pictures_of_their_size_with_a_transparent_surround(self):
        found = glob.glob(os.path.join(self.root, "usr", "share", "icons", "hicolor", "*", "apps", PACKAGE + ".png"))
        sizes = {}
        for path in found:
            folder = os.path.basename(os.path.dirname(os.path.dirname(path)))
            side = int(folder.split("x")[0])
            self.assertEqual(folder, "%dx%d" % (side, side))
            sizes[side] = path
        self.assertLessEqual(set(ICON_SIZES), set(sizes), "icons of at least these sizes")
        for side, path in sorted(sizes.items()):
            with open(path, "rb") as f:
                head = f.read(29)
            self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n", path)
            width, height, depth, colour = struct.unpack(">IIBB", head[16:26])
            self.assertEqual((width, height), (side, side), path)
            self.assertEqual((depth, colour), (8, 6), "%s: 8-bit RGBA" % path)
            rgba = subprocess.run([harness.CONVERT, path, "-depth", "8", "rgba:-"], stdout=subprocess.PIPE,
                                  check=True).stdout
            alpha = rgba[3::4]
            self.assertEqual(len(alpha), side * side)
            corners = [alpha[0], alpha[side - 1], alpha[side * (side - 1)], alpha[side * side - 1]]
            self.assertEqual(corners, [0, 0, 0, 0], "%s: the corners are transparent" % path)
            self.assertEqual(alpha[side * (side // 2) + side // 2], 255, "%s: the middle is opaque" % path)
            clear = sum(1 for a in alpha if a == 0) / len(alpha)
            solid = sum(1 for a in alpha if a == 255) / len(alpha)
            self.assertGreater(clear, 0.1, "%s: a transparent surround" % path)
            self.assertGreater(solid, 0.5, "%s: a solid picture" % path)


if __name__ == "__main__":
    harness.main()
