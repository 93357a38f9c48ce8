"""Drives the real game binary under its own Xvfb display, as a player would.

Each test copies the game folder's data file and music into a fresh working
folder, starts the game there and talks to it with xdotool. What the game shows
is read back with ImageMagick's `import` and checked pixel by pixel; a test
always waits for what it expects, with a generous timeout, and never relies on
a fixed sleep alone.
"""

import argparse
import os
import shutil
import signal
import struct
import subprocess
import sys
import time
import unittest

IMPORT = "/usr/bin/import"
CONVERT = "/usr/bin/convert"
SCREEN_W, SCREEN_H = 1024, 768
GAME_FILES = ("kav.dat", "VeVarnHolt-CopperSky.mp3", "VeVarnHolt-GlassHarbour.mp3", "demo.replay")

# Set by main() from the command line CTest gives every script.
OPTIONS = None


def parse_options(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--game-dir", required=True, help="folder holding kav, kav.dat and the music")
    parser.add_argument("--work", required=True, help="fresh working folder for this test")
    parser.add_argument("--artifacts", required=True, help="where screenshots are saved")
    return parser.parse_known_args(argv)


def main():
    """Runs the unittest cases of the calling script with the game's options."""
    global OPTIONS
    OPTIONS, rest = parse_options(sys.argv[1:])
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


def log_tail(path, lines=15):
    """The last lines of a log, indented, for a failure's report."""
    try:
        with open(path, "rb") as f:
            text = f.read().decode("latin-1")
    except OSError:
        return "(none)"
    return "\n".join("    " + line for line in text.splitlines()[-lines:]) or "    (empty)"


def thread_stacks(pid):
    """Where every thread of a running process stands, from gdb when the
    machine has it (for a game that hangs)."""
    try:
        result = subprocess.run(["gdb", "-batch", "-p", str(pid), "-ex", "thread apply all bt 25"],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    except (OSError, subprocess.TimeoutExpired) as error:
        return "    (no stacks: %s)" % error
    lines = [line for line in result.stdout.decode("latin-1").splitlines() if line.startswith(("#", "Thread"))]
    return "\n".join("    " + line for line in lines) or "    (gdb printed none)"


def wait_until(what, probe, timeout=30.0, interval=0.1):
    """Calls probe() until it returns something true; fails after `timeout` s."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = probe()
        if last:
            return last
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


# ---------------------------------------------------------------------------
# Pictures


class Picture:
    """An RGB screenshot with the few measurements the tests need."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    @staticmethod
    def from_ppm(data):
        # P6 header: magic, width, height, maximum, each followed by white space.
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        pos += 1
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit PPM picture")
        width, height = int(fields[1]), int(fields[2])
        return Picture(width, height, data[pos:pos + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def count(self, x0, y0, x1, y1, test, step=1):
        """Pixels in [x0, x1) x [y0, y1) (every `step`-th) for which test(r, g, b) holds."""
        n = 0
        rgb = self.rgb
        for y in range(y0, y1, step):
            row = y * self.width
            for x in range(x0, x1, step):
                i = (row + x) * 3
                if test(rgb[i], rgb[i + 1], rgb[i + 2]):
                    n += 1
        return n

    def crop(self, x0, y0, width, height, scale=1):
        """The rectangle of width * scale x height * scale pixels at (x0, y0),
        taking one pixel of every scale x scale block: the game's own picture
        when the game shows it scaled."""
        rows = []
        for y in range(height):
            row = (y0 + y * scale) * self.width
            line = self.rgb[(row + x0) * 3:(row + x0 + width * scale) * 3]
            if scale == 1:
                rows.append(line)
            else:
                rows.append(b"".join(line[i:i + 3] for i in range(0, len(line), 3 * scale)))
        return Picture(width, height, b"".join(rows))

    def region(self, x0, y0, x1, y1):
        """The raw bytes of a rectangle, for comparing two pictures."""
        return b"".join(self.rgb[(y * self.width + x0) * 3:(y * self.width + x1) * 3] for y in range(y0, y1))

    def mask(self, x0, y0, x1, y1, test):
        """The set of (dx, dy) in the rectangle where test holds, relative to (x0, y0)."""
        found = set()
        for y in range(y0, y1):
            for x in range(x0, x1):
                if test(*self.pixel(x, y)):
                    found.add((x - x0, y - y0))
        return found

    def save_png(self, path, width=None):
        """Writes the picture as PNG, scaled to `width` pixels across if given."""
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        command = [CONVERT, "ppm:-"]
        if width:
            command += ["-resize", "%dx" % width]
        command.append("png:" + path)
        subprocess.run(command, input=header + self.rgb, check=True)


# The game draws in 16-bit colour: 255 arrives as 248..255, 0 as 0..7.
def is_red(r, g, b):
    return r >= 200 and g <= 60 and b <= 60


def is_yellow(r, g, b):
    return r >= 200 and g >= 200 and b <= 80


def is_white(r, g, b):
    return r >= 240 and g >= 240 and b >= 240


def is_green(r, g, b):
    return g >= 200 and r <= 60 and b <= 60


def is_cyan(r, g, b):
    return r <= 60 and g >= 200 and b >= 200


# ---------------------------------------------------------------------------
# The display


class Display:
    """An Xvfb screen of 1024 x 768 x 24 of our own. Xvfb picks a free display
    number itself and reports it, so tests running side by side never share one.

    -noreset: by default the server resets whenever its last client leaves, and
    a program connecting during that reset is refused. Screenshots taken while
    a slow start-up (under a memory checker) has not connected yet made the
    game's first connection fail now and then."""

    def __init__(self, width=SCREEN_W, height=SCREEN_H, options=()):
        """`options`: more of Xvfb's own, such as -fakescreenfps 144 for
        another rate of its simulated refresh."""
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
                 "-nolisten", "tcp", "-noreset"] + list(options),
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as reported:
            # The number arrives, followed by a newline, once the server is ready.
            while not number.endswith(b"\n"):
                chunk = reported.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.strip().decode()

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        return env

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


# ---------------------------------------------------------------------------
# The game


ASOUNDRC = """pcm.!default {
  type file
  slave.pcm "null"
  file "%s"
  format "raw"
}
"""


class Game:
    """One run of the real binary in a fresh working folder."""

    # Further files worth showing when the game ends too early (a checker's report).
    more_logs = ()

    def __init__(self, test_name, record_sound=False, args=(), screen=(SCREEN_W, SCREEN_H), fresh=True,
                 display=None):
        """`fresh` False runs again in the folder a game of the same name
        left (its scores and settings); `display` shares a running Display,
        which the game then does not close."""
        self.work = os.path.abspath(os.path.join(OPTIONS.work, test_name))
        self.artifacts = os.path.abspath(OPTIONS.artifacts)
        if fresh:
            shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work, exist_ok=True)
        os.makedirs(self.artifacts, exist_ok=True)
        for name in GAME_FILES:
            shutil.copy(os.path.join(OPTIONS.game_dir, name), self.work)
        self.own_display = display is None
        self.display = display or Display(*screen)
        env = self.display.env()
        self.sound_file = None
        if record_sound:
            # ALSA writes everything the game plays into a raw file.
            home = os.path.join(self.work, "home")
            os.makedirs(home)
            self.sound_file = os.path.join(self.work, "sound.raw")
            with open(os.path.join(home, ".asoundrc"), "w") as rc:
                rc.write(ASOUNDRC % self.sound_file)
            env["HOME"] = home
        self.launch([os.path.join(os.path.abspath(OPTIONS.game_dir), "kav")] + list(args), self.work, env,
                    self.work)

    def launch(self, command, cwd, env, logs):
        """Starts the command in its own session, its output in trace.txt and
        stderr.txt in `logs`; a command that cannot start leaves nothing open."""
        self.trace_path = os.path.join(logs, "trace.txt")
        self.trace = open(self.trace_path, "wb")
        self.errors_path = os.path.join(logs, "stderr.txt")
        self.errors = open(self.errors_path, "wb")
        try:
            self.process = subprocess.Popen(command, cwd=cwd, env=env, stdout=self.trace, stderr=self.errors,
                                            start_new_session=True)
        except OSError:
            self.trace.close()
            self.errors.close()
            if self.own_display:
                self.display.close()
            raise

    # --- life of the process

    def exit_code(self, timeout=60):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise self.timed_out("its end", "the game did not end within %d s" % timeout, self.screenshot(),
                                 stacks=True) from None

    def running(self):
        return self.process.poll() is None

    def close(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        self.trace.close()
        self.errors.close()
        if getattr(self, "own_display", True):
            self.display.close()

    def ended_early(self, what):
        """The failure for a game that ended while a test still waited, with
        the end of what it printed, so that a run elsewhere tells why."""
        report = "the game ended (code %s) while waiting for %s\n  its trace ends:\n%s\n  its errors end:\n%s" % (
            self.process.poll(), what, log_tail(self.trace_path), log_tail(self.errors_path))
        for path in self.more_logs:
            report += "\n  %s ends:\n%s" % (os.path.basename(path), log_tail(path, 40))
        return AssertionError(report)

    def timed_out(self, what, failure, picture, stacks=False):
        """A wait that ran out while the game still runs: the last screenshot
        is kept beside the others and the trace's end goes with the failure,
        with where each of its threads stands when `stacks`."""
        report = "%s\n  its trace ends:\n%s" % (failure, log_tail(self.trace_path))
        if stacks:
            report += "\n  its threads:\n%s" % thread_stacks(self.process.pid)
        if picture is not None:
            name = "timed-out-%s.png" % "".join(c if c.isalnum() else "-" for c in what)
            self.save(picture, name)
            report += "\n  the last screenshot: %s" % name
        return AssertionError(report)

    def trace_text(self):
        with open(self.trace_path, "rb") as f:
            return f.read().decode("latin-1")

    def wait_for_trace(self, text, timeout=30):
        return wait_until("%r in the trace" % text, lambda: text in self.trace_text(), timeout)

    # --- input

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.display.env(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def key(self, name):
        self.xdotool("key", name)

    def hold_key(self, name, seconds):
        self.xdotool("keydown", name)
        time.sleep(seconds)
        self.xdotool("keyup", name)

    def move_mouse(self, x, y):
        self.xdotool("mousemove", x, y)

    def click(self, x, y):
        # The game polls the buttons once a step: the button must stay down a
        # moment to be seen.
        self.move_mouse(x, y)
        time.sleep(0.1)
        self.xdotool("mousedown", 1)
        time.sleep(0.25)
        self.xdotool("mouseup", 1)

    # --- the screen

    def screenshot(self):
        result = subprocess.run([IMPORT, "-display", self.display.name, "-window", "root", "-depth", "8", "ppm:-"],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if result.returncode != 0 or not result.stdout:
            return None
        return Picture.from_ppm(result.stdout)

    def wait_for_screen(self, what, test, timeout=30):
        """Takes screenshots until test(picture) holds; returns that picture."""

        last = [None]

        def probe():
            if not self.running():
                raise self.ended_early(what)
            picture = self.screenshot()
            last[0] = picture or last[0]
            return picture if picture and test(picture) else None

        try:
            return wait_until(what, probe, timeout, interval=0.05)
        except AssertionError as failure:
            if not self.running():
                raise
            raise self.timed_out(what, failure, last[0]) from None

    def wait_for_still(self, what, region, timeout=30, test=None):
        """Takes screenshots until a rectangle (x0, y0, x1, y1) stays the same
        between two of them (and test(picture) holds, if given); returns the
        later picture. A fade changes every pixel, so this also waits one out."""
        previous = [None]

        def probe():
            if not self.running():
                raise self.ended_early(what)
            picture = self.screenshot()
            if picture is None or (test and not test(picture)):
                previous[0] = None
                return None
            still = previous[0] is not None and picture.region(*region) == previous[0].region(*region)
            previous[0] = picture
            return picture if still else None

        return wait_until(what, probe, timeout, interval=0.1)

    def save(self, picture, name):
        picture.save_png(os.path.join(self.artifacts, name))

    # --- sound

    def sound_bytes(self):
        try:
            return os.path.getsize(self.sound_file)
        except OSError:
            return 0

    def sound_level(self, start, end):
        """Root-mean-square deviation from their mean of the 16-bit samples in
        [start, end) of the raw file; the driver may write them signed or
        unsigned, so the quieter reading of the two is taken."""
        with open(self.sound_file, "rb") as f:
            f.seek(start - start % 2)
            data = f.read(max(0, end - start) // 2 * 2)
        count = len(data) // 2
        if count == 0:
            return 0.0
        levels = []
        for form in ("<%dh", "<%dH"):
            samples = struct.unpack(form % count, data)
            mean = sum(samples) / count
            levels.append((sum((s - mean) ** 2 for s in samples) / count) ** 0.5)
        return min(levels)


# ---------------------------------------------------------------------------
# What each screen shows, judged from the elements the game itself puts there
# (so that new artwork does not break the tests).

def menu_shown(picture):
    # The outlines of the four menu boxes flash white and black together (red
    # under the pointer): the menu is known by the top edges of the Play and
    # Help boxes, both lit in one colour across their 260 px.
    for lit in (is_white, is_red):
        if picture.count(382, 348, 642, 349, lit) >= 250 and picture.count(382, 548, 642, 549, lit) >= 250:
            return True
    return False


def title_shown(picture):
    # The ten scores, right-aligned at x = 500 in red, and the names beside
    # them in yellow, rows 30 px apart from y = 400.
    red_rows = sum(1 for k in range(10) if picture.count(400, 400 + 30 * k, 501, 424 + 30 * k, is_red) >= 40)
    yellow_rows = sum(1 for k in range(10) if picture.count(524, 400 + 30 * k, 700, 424 + 30 * k, is_yellow) >= 15)
    return red_rows == 10 and yellow_rows == 10 and not menu_shown(picture)


def help_shown(picture):
    # The story in white, centred on x = 512, one line every 30 px from y = 200
    # (line 13 is empty).
    lines = [k for k in range(15) if k != 13]
    white = sum(1 for k in lines if picture.count(112, 200 + 30 * k, 912, 226 + 30 * k, is_white) >= 40)
    return white == len(lines) and not menu_shown(picture)


def key_box_edges(picture, k):
    top = 301 + 30 * k
    return picture.count(550, top, 901, top + 1, is_red) + picture.count(550, top + 28, 901, top + 29, is_red)


def controls_shown(picture):
    # Six red boxes beside the key names, (550, 301 + 30 k)-(900, 329 + 30 k).
    return all(key_box_edges(picture, k) >= 650 for k in range(6))


def prompt_shown(picture):
    # "Press Key for ..." in red, centred under the table at y = 500.
    return picture.count(262, 500, 762, 526, is_red) >= 60


# The six key names on the controls screen (the screen fades in: compare them
# once they stand still).
KEY_NAMES = (550, 301, 900, 481)


def key_name_mask(picture, k):
    """The green pixels of key name k (left-aligned at x = 550, rows 30 px apart)."""
    return picture.mask(552, 303 + 30 * k, 898, 328 + 30 * k, is_green)


def wave_name_shown(picture):
    # The wave's name in big yellow letters centred on the screen at y = 350.
    return picture.count(262, 350, 762, 400, is_yellow) >= 300



def mostly_black(picture):
    dark = picture.count(0, 0, picture.width, picture.height, lambda r, g, b: r < 16 and g < 16 and b < 16, step=8)
    return dark > 0.95 * (picture.width // 8) * (picture.height // 8)


def longest_run(picture, y, test):
    """(start, length) of the longest run of pixels in row y for which test holds."""
    best = (0, 0)
    start = None
    for x in range(picture.width + 1):
        inside = x < picture.width and test(*picture.pixel(x, y))
        if inside and start is None:
            start = x
        elif not inside and start is not None:
            if x - start > best[1]:
                best = (start, x - start)
            start = None
    return best


def quit_question_frame(picture):
    """The quit question's box, a white inside with a cyan frame, as (left, top,
    right, bottom); None when it isn't shown. Its top and bottom edges are the
    only long cyan lines on the screen."""
    rows = []
    for y in range(0, picture.height):
        start, length = longest_run(picture, y, is_cyan)
        if length >= 200:
            rows.append((y, start, start + length - 1))
    if len(rows) < 2:
        return None
    top, bottom = rows[0], rows[-1]
    if bottom[0] - top[0] < 60 or abs(top[1] - bottom[1]) > 1:
        return None
    return top[1], top[0], top[2], bottom[0]


SHIP_W, SHIP_H = 124, 92


def ship_template(picture, frame):
    """The ship's picture as the quit question shows it, 3 px inside the box's
    corner: its pixels that are not the box's white, as (dx, dy, rgb)."""
    left, top = frame[0] + 3, frame[1] + 3
    pixels = []
    for dy in range(SHIP_H):
        for dx in range(SHIP_W):
            rgb = picture.pixel(left + dx, top + dy)
            if not all(c >= 230 for c in rgb):
                pixels.append((dx, dy, rgb))
    return pixels


def template_match(picture, template, x, y):
    """The share of the template's pixels that the picture shows at (x, y)."""
    if x < 0 or y < 0 or x + SHIP_W > picture.width or y + SHIP_H > picture.height:
        return 0.0
    hits = 0
    for dx, dy, rgb in template:
        seen = picture.pixel(x + dx, y + dy)
        if abs(seen[0] - rgb[0]) + abs(seen[1] - rgb[1]) + abs(seen[2] - rgb[2]) <= 40:
            hits += 1
    return hits / len(template)


def find_ship(picture, template, x_range, y_range):
    """The best place (x, y, share) of the ship in the given ranges: a coarse
    search with a sample of the template, then a fine one around the best."""
    sample = template[::max(1, len(template) // 60)]
    coarse = sorted(((template_match(picture, sample, x, y), x, y)
                     for x in range(x_range[0], x_range[1], 3) for y in range(y_range[0], y_range[1], 3)),
                    reverse=True)[:5]
    best = (0.0, 0, 0)
    for _, cx, cy in coarse:
        for x in range(cx - 2, cx + 3):
            for y in range(cy - 2, cy + 3):
                share = template_match(picture, template, x, y)
                if share > best[0]:
                    best = (share, x, y)
    return best[1], best[2], best[0]


def column_profile(picture, y0, y1):
    """Mean brightness of each column over rows y0..y1."""
    profile = []
    rows = range(y0, y1, 3)
    for x in range(picture.width):
        total = 0
        for y in rows:
            r, g, b = picture.pixel(x, y)
            total += r + g + b
        profile.append(total / len(rows))
    return profile


def landscape_shift(before, after, y0=500, y1=740, min_overlap=300):
    """How far the landscape moved left between two pictures: (shift, error at
    that shift, error without a shift), errors as mean brightness differences."""
    p1 = column_profile(before, y0, y1)
    p2 = column_profile(after, y0, y1)

    def error(d):
        n = len(p1) - d
        return sum(abs(p2[x] - p1[x + d]) for x in range(n)) / n

    best = min(range(0, len(p1) - min_overlap), key=error)
    return best, error(best), error(0)
