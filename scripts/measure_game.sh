#!/usr/bin/env bash
# Measures the real game as a player runs it, under Xvfb displays of its own.
#
#   scripts/measure_game.sh [build folder]          judges the game's budgets
#   scripts/measure_game.sh --peers [build folder]  the game beside three other
#                                                   shoot-'em-ups on their title
#                                                   screens, in one run
# (build folder: default build; the game is taken from <build>/game.)
#
# Budgets (the default): three runs at scale 1 on a 1024x768 screen, each with
# start-up (launch to the first title frame, read from Xvfb's memory-mapped
# screen), 8 s on the title, 8 s on the menu and 8 s in play; in the last run
# also 8 s paused (P) and 8 s with the input focus given to another window.
# Then one run full screen on each of the desktops players have most (1920x1080,
# 2560x1440, 3840x2160: the picture fitted to the screen's height, a new frame
# at each of Xvfb's simulated 60 refreshes a second): title, menu and play,
# and at 1920x1080 also 8 s paused. For each
# window: the share of one core of the whole process and of each thread (from
# /proc/<pid>/task/*/schedstat), the wake-ups a second of each thread
# (voluntary + non-voluntary context switches from .../status), and the X
# server's share beside it; peak resident memory (VmHWM) at the end of each run.
# Medians of the three runs are judged. The game's sound goes to ALSA's null
# device through a file plugin, as in the end-to-end tests.
#
# Side by side (--peers): installs kobodeluxe, starfighter and chromium-bsu from
# Debian if missing and runs each of them and this game, one after the other,
# on the same 1024x768 Xvfb screen for the same 8 s on its title screen, every
# one with a fresh HOME and its sound going to a silent PulseAudio sink that
# plays in real time. Prints a table: picture size, share of a core, wake-ups a
# second, peak memory, the pixels it puts on the screen a second (counted by
# the X server's DAMAGE extension, bench/damage_meter) and its share per million
# pixels drawn a second.
#
# bench/damage_meter is taken from <build>/bench/damage_meter, or from
# $DAMAGE_METER; without it the budgets run leaves out the pixel counts and the
# side-by-side run refuses to start. The side-by-side run then measures this
# game in play full screen at 60 refreshes a second on 1920x1080, 2560x1440 and
# 3840x2160 desktops (and paused on the first), each beside Kobo Deluxe on its
# title at the same desktop's size, judges the game against its budgets (8, 12
# and 20 % of a core in play, 1 % paused) and exits 1 when one is missed.
# Exits 1 when a budget is missed or the game can't be driven, 2 when something
# it needs is missing, 64 on a wrong command line.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: scripts/measure_game.sh [--peers] [build folder]"
}
mode=budgets
if [ "${1:-}" = --peers ]; then
  mode=peers
  shift
fi
case "${1:-}" in
  -h | --help) usage; exit 0 ;;
  -*) usage >&2; exit 64 ;;
esac
[ $# -le 1 ] || { usage >&2; exit 64; }

build=${1:-build}
game_dir=$build/game
window=8  # seconds per measurement
meter=${DAMAGE_METER:-$build/bench/damage_meter}

# Every Debian package the mode needs, installed when missing.
packages=(xvfb xdotool x11-utils python3)
if [ "$mode" = peers ]; then
  # The peers, and a sound server whose null sink plays silently in real time.
  packages+=(kobodeluxe starfighter chromium-bsu pulseaudio pulseaudio-utils libasound2-plugins)
fi
source scripts/install_packages.sh
install_missing_packages "${packages[@]}"

for f in kav kav.dat VeVarnHolt-CopperSky.mp3 VeVarnHolt-GlassHarbour.mp3; do
  [ -f "$game_dir/$f" ] || { echo "measure_game: $game_dir/$f is missing; build the game first" >&2; exit 2; }
done
if [ ! -x "$meter" ]; then
  if [ "$mode" = peers ]; then
    echo "measure_game: $meter is missing; build it with: cmake --build $build --target damage_meter" >&2
    exit 2
  fi
  meter=""
fi

work=$(mktemp -d /tmp/kav-measure.XXXXXX)
pids=()  # everything started here, stopped in reverse order at the end
stop() {  # stop PID: asks it to end, and insists after 5 s
  [ -n "$1" ] && kill -0 "$1" 2> /dev/null || return 0
  kill "$1" 2> /dev/null || true
  for _ in $(seq 50); do
    kill -0 "$1" 2> /dev/null || break
    sleep 0.1
  done
  kill -9 "$1" 2> /dev/null || true
  wait "$1" 2> /dev/null || true
}
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  rm -rf "$work"
}
trap cleanup EXIT

cp "$game_dir"/kav "$game_dir"/kav.dat "$game_dir"/*.mp3 "$work"/
mkdir -p "$work/results"
results=$work/results/all.jsonl

# ---------------------------------------------------------------------------
# The helper: watches the screen, measures a process, judges and prints.
cat > "$work/probe.py" << 'EOF'
import json, mmap, os, re, statistics, struct, subprocess, sys, time, zlib


# -- The screen, read from Xvfb's memory-mapped frame buffer ------------------

class Screen:
    """Pixels of the game's 1024 x 768 picture drawn at (ox, oy) enlarged to
    pw x ph screen pixels (each game pixel read at the middle of the screen
    pixels showing it)."""

    def __init__(self, path, ox=0, oy=0, pw=1024, ph=768):
        with open(path, "rb") as f:
            self.map = mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)
        h = struct.unpack(">25I", self.map[:100])
        self.header, self.bpp, self.stride, self.ncolors = h[0], h[11], h[12], h[19]
        self.width, self.height = h[4], h[5]
        if self.bpp != 32:
            raise SystemExit("measure_game: expected a 32-bit Xvfb screen")
        self.base = self.header + 12 * self.ncolors
        self.columns = [4 * (ox + int((x + 0.5) * pw / 1024)) for x in range(1024)]
        self.rows = [oy + int((y + 0.5) * ph / 768) for y in range(768)]

    def row(self, y, x0, x1):
        # (r, g, b) of picture pixels x0..x1-1 of picture row y; the screen
        # stores B, G, R, pad.
        start = self.base + self.rows[y] * self.stride
        data = self.map[start:start + self.stride]
        return [(data[c + 2], data[c + 1], data[c]) for c in self.columns[x0:x1]]

    def brightest_row(self, y, x0, x1):
        # As row(), each pixel the brightest of the screen rows around the one
        # showing it: a line one game pixel high may fall between two screen
        # rows of an enlarged picture and show blended on both.
        rows = []
        for dy in (-1, 0, 1):
            start = self.base + min(max(self.rows[y] + dy, 0), self.height - 1) * self.stride
            data = self.map[start:start + self.stride]
            rows.append([(data[c + 2], data[c + 1], data[c]) for c in self.columns[x0:x1]])
        return [max(pixels, key=sum) for pixels in zip(*rows)]

    def count(self, x0, y0, x1, y1, test):
        return sum(1 for y in range(y0, y1) for p in self.row(y, x0, x1) if test(*p))

    def checksum(self):
        return zlib.crc32(self.map[self.base:self.base + self.height * self.stride])


def red(r, g, b): return r >= 200 and g <= 60 and b <= 60
def yellow(r, g, b): return r >= 200 and g >= 200 and b <= 80
def white(r, g, b): return r >= 240 and g >= 240 and b >= 240
def magenta(r, g, b): return r >= 140 and b >= 140 and g <= 90


def lit(s):
    # Not black any more: at least 5 % of a coarse grid of the whole screen
    # shows colour (the mouse pointer alone covers far less). Coarse, so that
    # watching costs the machine little while the game starts.
    n = total = 0
    for y in range(4, s.height, 16):
        start = s.base + y * s.stride
        data = s.map[start:start + s.stride]
        for i in range(0, 4 * s.width, 64):
            total += 1
            if data[i] > 24 or data[i + 1] > 24 or data[i + 2] > 24:
                n += 1
    return n >= total // 20


def menu(s):
    # The top edges of the Play and Help boxes, lit in one colour (blended,
    # on an enlarged picture, down to two thirds of it).
    whitish = lambda r, g, b: r >= 150 and g >= 150 and b >= 150
    reddish = lambda r, g, b: r >= 150 and g <= 90 and b <= 90
    for test in (whitish, reddish):
        if all(sum(1 for p in s.brightest_row(y, 382, 642) if test(*p)) >= 250 for y in (348, 548)):
            return True
    return False


def title(s):
    # The ten scores of the table in red, right-aligned at x = 500.
    rows = sum(1 for k in range(10) if s.count(400, 400 + 30 * k, 501, 424 + 30 * k, red) >= 40)
    return rows == 10 and not menu(s)


def wave_name(s):
    return s.count(262, 350, 762, 400, yellow) >= 300


def whole_screen_magenta(s):
    # Starfighter's title menu: its large logo is the only strong magenta.
    n = 0
    for y in range(0, s.height, 4):
        start = s.base + y * s.stride
        data = s.map[start:start + s.stride]
        n += sum(1 for i in range(0, 4 * s.width, 16) if magenta(data[i + 2], data[i + 1], data[i]))
    return n >= 100


CONDITIONS = {"first-frame": lit, "title": title, "menu": menu, "wave-name": wave_name,
              "in-play": lambda s: not wave_name(s) and lit(s), "peer-title-logo": whole_screen_magenta}


def watch(fb_path, what, timeout, pid_file, ox, oy, pw, ph):
    """Waits until WHAT holds on the screen and prints the wall-clock time in ns.
    "still": the screen shows at most two different pictures for a second (a
    frozen scene, perhaps with a blinking line); "moving": at least five.
    Gives up when the process named in PID_FILE (once written) has ended."""
    def ended():
        if not pid_file or not os.path.exists(pid_file):
            return False
        with open(pid_file) as f:
            pid = f.read().strip()
        return bool(pid) and not os.path.exists("/proc/" + pid)

    deadline = time.monotonic() + timeout
    screen = None
    recent = []
    open(fb_path + "." + what + ".ready", "w").close()
    while True:
        if ended():
            raise SystemExit("measure_game: the game ended while waiting for " + what)
        if screen is None and os.path.exists(fb_path):
            screen = Screen(fb_path, ox, oy, pw, ph)
        if screen is not None:
            if what in ("still", "moving"):
                recent = (recent + [screen.checksum()])[-10:]
                distinct = len(set(recent))
                if what == "still" and len(recent) == 10 and distinct <= 2:
                    break
                if what == "moving" and distinct >= 5:
                    break
            elif CONDITIONS[what](screen):
                break
        if time.monotonic() > deadline:
            raise SystemExit("measure_game: timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(0.1 if what in ("still", "moving") else 0.003)
    print(time.time_ns())


# -- Windows on the X screen ---------------------------------------------------

TREE_LINE = re.compile(r'^\s*(0x[0-9a-f]+) (.*?)  (\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$')


def windows():
    """(id, name, width, height, absolute x, absolute y, depth in the tree)."""
    out = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    found = []
    for line in out.splitlines():
        m = TREE_LINE.match(line)
        if m:
            depth = (len(line) - len(line.lstrip())) // 3
            found.append((m[1], m[2], int(m[3]), int(m[4]), int(m[5]), int(m[6]), depth))
    return found


MODE_LINE = re.compile(r"^GraphicsEngine: (\d+)x(\d+) (?:full screen|window)(?:, picture (\d+)x(\d+))? at (\d+),(\d+)$")


def picture(trace):
    """Where the game's picture stands, from the last mode its trace names,
    and the window showing it (the innermost of the screen's size): prints
    the picture's absolute x, y, width, height and the window's id."""
    mode = None
    with open(trace) as f:
        for line in f:
            m = MODE_LINE.match(line.rstrip("\n"))
            if m:
                mode = m
    if not mode:
        raise SystemExit("measure_game: the trace names no display mode")
    width, height = int(mode[1]), int(mode[2])
    pw, ph = (int(mode[3]), int(mode[4])) if mode[3] else (width, height)
    match = [w for w in windows() if (w[2], w[3]) == (width, height)]
    if not match:
        raise SystemExit("measure_game: no %dx%d window on the screen" % (width, height))
    w = max(match, key=lambda w: w[6])
    print(w[4] + int(mode[5]), w[5] + int(mode[6]), pw, ph, w[0])


def main_window():
    """The largest named top-level window (a peer's game window): prints its
    size as WxH, or nothing yet."""
    top = [w for w in windows() if w[6] == 1 and not w[1].startswith("(has no name)")]
    top = [w for w in top if w[2] * w[3] >= 100 * 100]
    if top:
        w = max(top, key=lambda w: w[2] * w[3])
        print("%dx%d" % (w[2], w[3]))


# -- A process, measured over a window of time ---------------------------------

def read(path):
    with open(path) as f:
        return f.read()


def threads(pid):
    """{tid: (name, start time, processor ns, context switches)} of every thread."""
    out = {}
    for entry in os.listdir("/proc/%d/task" % pid):
        base = "/proc/%d/task/%s/" % (pid, entry)
        try:
            stat = read(base + "stat")
            start = int(stat[stat.rindex(")") + 2:].split()[19])
            ns = int(read(base + "schedstat").split()[0])
            switches = sum(int(line.split()[1]) for line in read(base + "status").splitlines()
                           if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
            out[int(entry)] = (read(base + "comm").strip(), start, ns, switches)
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended meanwhile
    return out


def process_ns(pid):
    return sum(t[2] for t in threads(pid).values())


def roles(pid, now, allegro):
    """Names each thread: the main thread is the process itself; threads named
    by their library keep that name; with ALLEGRO, the unnamed ones (they carry
    the program's name) are, in the order they were started, the library's
    background thread (allegro_init: X events, keyboard, mouse, sound mixing)
    and its timer thread (install_timer); any further ones are the game's."""
    comm = now[pid][0]
    unnamed = sorted((t for t in now if t != pid and now[t][0] == comm), key=lambda t: (now[t][1], t))
    names = {pid: "main"}
    for i, t in enumerate(unnamed):
        if allegro:
            names[t] = ("library background", "library timer")[i] if i < 2 else "game thread"
        else:
            names[t] = "thread (unnamed)"
    for t in now:
        names.setdefault(t, now[t][0])
    return names


def measure(pid, seconds, label, out, meter, servers, allegro):
    counter = None
    if meter:
        counter = subprocess.Popen([meter, str(seconds)], stdout=subprocess.PIPE, text=True)
        if counter.stdout.readline().strip() != "ready":
            raise SystemExit("measure_game: damage_meter did not start")
    if not os.path.exists("/proc/%d" % pid):
        raise SystemExit("measure_game: the game ended before the %s window" % label)
    before, server_before = threads(pid), {n: process_ns(p) for n, p in servers.items()}
    t0 = time.monotonic()
    if counter:
        report = counter.stdout.readline()
        counter.wait()
    else:
        time.sleep(seconds)
    if not os.path.exists("/proc/%d" % pid):
        raise SystemExit("measure_game: the game ended during the %s window" % label)
    after, server_after = threads(pid), {n: process_ns(p) for n, p in servers.items()}
    elapsed = time.monotonic() - t0
    names = roles(pid, after, allegro)
    rows = []
    for t, (name, start, ns, switches) in sorted(after.items(), key=lambda kv: (kv[1][1], kv[0])):
        _, _, ns0, switches0 = before.get(t, (name, start, 0, 0))
        rows.append({"tid": t, "role": names[t], "share": (ns - ns0) / 1e7 / elapsed,
                     "wakeups": (switches - switches0) / elapsed})
    result = {"kind": "window", "label": label, "seconds": elapsed, "threads": rows,
              "share": sum(r["share"] for r in rows),
              "servers": {n: (server_after[n] - server_before[n]) / 1e7 / elapsed for n in servers}}
    if counter:
        fields = dict(item.split("=") for item in report.split())
        result["pixels_per_second"] = float(fields["pixels_per_second"])
    with open(out, "a") as f:
        f.write(json.dumps(result) + "\n")


# -- Reports ---------------------------------------------------------------------

def load(path):
    with open(path) as f:
        return [json.loads(line) for line in f if line.strip()]


GAMES_OWN = ("main", "game thread")
# In play at 60 Hz, full screen, the picture fitted to the desktop.
FIT_BUDGETS = (("1920x1080", 8), ("2560x1440", 12), ("3840x2160", 20))
# Peak memory: the game's own 50 MB, and on a full screen the two pictures of
# the display's size it keeps in 32-bit pixels, the library's screen (the
# desktop's size) and the presenter's (the picture's): 64 MB on 1920x1080.
def fit_memory_budget(width, height):
    picture_height = min(height, width * 3 // 4)
    picture_width = picture_height * 4 // 3
    return 50 + 4 * (width * height + picture_width * picture_height) / 2 ** 20


MEMORY_BUDGETS = (("s1-", 64),) + tuple(
    ("fit-" + d, fit_memory_budget(*(int(v) for v in d.split("x")))) for d, _ in FIT_BUDGETS)


def own_wakeups(w):
    return sum(r["wakeups"] for r in w["threads"] if r["role"] in GAMES_OWN)


def verdict(ok):
    return "PASS" if ok else "FAIL"


def report_budgets(path):
    items = load(path)
    windows = {i["label"]: i for i in items if i["kind"] == "window"}
    startups = [i["ms"] for i in items if i["kind"] == "startup"]
    peaks = [(i["label"], i["kb"]) for i in items if i["kind"] == "memory"]
    failed = False
    lines, details = [], []

    def judge(ok, what, value, budget, notes=""):
        nonlocal failed
        failed |= not ok
        lines.append("  %s  %-38s %9s   (budget %s%s)" % (verdict(ok), what, value, budget,
                                                         "; " + notes if notes else ""))

    def unmeasured(what):
        nonlocal failed
        failed = True
        lines.append("  FAIL  %-38s %9s   (see the messages above)" % (what, "unmeasured"))

    def extras(w):
        text = "X server %.1f %%" % w["servers"]["X server"]
        if "pixels_per_second" in w:
            text += ", %.1f Mpixel/s drawn" % (w["pixels_per_second"] / 1e6)
        return text

    def window_budgets(what, w, share_limit, wake_limit, runs=None):
        if runs:
            share_note = "median of %s; %s" % (", ".join("%.1f" % r["share"] for r in runs), extras(w))
            wake = statistics.median(own_wakeups(r) for r in runs)
            wake_note = "median of %s" % ", ".join("%.0f" % own_wakeups(r) for r in runs)
        else:
            share_note, wake, wake_note = extras(w), own_wakeups(w), ""
        judge(w["share"] <= share_limit, "one core, " + what, "%.2f %%" % w["share"], "%g %%" % share_limit,
              share_note)
        judge(wake <= wake_limit, "the game's wake-ups, " + what, "%.1f /s" % wake, "%g /s" % wake_limit, wake_note)
        details.append((what, w))

    median_startup = statistics.median(startups)
    judge(median_startup <= 400, "start-up to the first title frame", "%.0f ms" % median_startup, "400 ms",
          "median of %s" % ", ".join("%d" % s for s in startups))
    for screen in ("title", "menu", "play"):
        runs = sorted((w for l, w in windows.items() if l.startswith("s1-%s-" % screen)), key=lambda w: w["share"])
        window_budgets(screen + " at scale 1", runs[len(runs) // 2], 8, 120, runs)
    for desktop, limit in FIT_BUDGETS:
        for screen in ("title", "menu", "play"):
            label = "fit-%s-%s" % (desktop, screen)
            runs = sorted((w for l, w in windows.items() if l == label or l.startswith(label + "-")),
                          key=lambda w: w["share"])
            if not runs:
                unmeasured("%s, %s full screen" % (screen, desktop))
            else:
                window_budgets("%s, %s full screen" % (screen, desktop), runs[len(runs) // 2], limit, 120,
                               runs if len(runs) > 1 else None)
    w = windows.get("fit-1920x1080-paused")
    if w is None:
        unmeasured("paused, 1920x1080 full screen")
    else:
        window_budgets("paused, 1920x1080 full screen", w, 1, 10)
    for label, what in (("paused", "paused (P)"), ("unfocused", "out of focus")):
        w = windows.get(label)
        if w is None:
            unmeasured(what)
        else:
            window_budgets(what, w, 1, 10)
    # The library keeps a screen of the desktop's size in 32-bit pixels: on
    # 3840 x 2160 that alone is 33 MB, beside the game's own.
    for label, limit in MEMORY_BUDGETS:
        runs = [p for l, p in peaks if l.startswith(label)]
        if not runs:
            unmeasured("peak memory, " + label)
            continue
        peak = max(runs) / 1024
        judge(peak <= limit, "peak memory (VmHWM), " + label, "%.1f MB" % peak, "%.0f MB" % limit,
              "runs %s" % ", ".join("%.1f" % (p / 1024) for p in runs))
    print("\n".join(lines))
    print("\nEach thread: share of a core, wake-ups a second (the game's own: main and any game thread;")
    print("scale 1: the run with the median share)")
    for name, w in details:
        print("  %-18s %5.2f %% in all: " % (name, w["share"]) + ", ".join(
            "%s %.2f %% %.0f/s" % (r["role"], r["share"], r["wakeups"]) for r in w["threads"]))
    print("Result: %s" % verdict(not failed))
    return 1 if failed else 0


def report_peers(path):
    items = load(path)
    print("%-16s %-9s %7s %8s %6s %8s %9s %9s %9s %7s" % (
        "game", "picture", "core %", "wake/s", "main", "peak MB", "Mpixel/s", "pictures", "%/Mpx/s",
        "X srv %"))
    for i in items:
        if i["kind"] == "missing":
            print("%-16s not measured (see the messages above)" % i["label"])
            continue
        if i["kind"] != "window":
            continue
        mpx = i.get("pixels_per_second", 0) / 1e6
        main = next(r for r in i["threads"] if r["role"] == "main")
        size = i["picture"].split("x")
        area = int(size[0]) * int(size[1]) if len(size) == 2 and all(v.isdigit() for v in size) else 0
        print("%-16s %-9s %7.1f %8.0f %6.0f %8.1f %9.1f %9s %9s %7.1f" % (
            i["label"], i["picture"], i["share"], sum(r["wakeups"] for r in i["threads"]), main["wakeups"],
            i["kb"] / 1024, mpx, "%.1f/s" % (mpx * 1e6 / area) if area else "-",
            "%.2f" % (i["share"] / mpx) if mpx > 0 else "-", i["servers"]["X server"]))
    print("\nEach thread: share of a core, wake-ups a second; what else ran")
    for i in (i for i in items if i["kind"] == "window"):
        print("  %-16s %s" % (i["label"], ", ".join(
            "%s %.1f %% %.0f/s" % (r["role"], r["share"], r["wakeups"]) for r in i["threads"])))
        print("  %-16s sound server %.1f %%, sound streams playing %s, OpenGL renderer: %s" % (
            "", i["servers"].get("sound server", 0), i.get("streams", "?"), i.get("renderer", "-")))
    return 0


def report_desktops(path):
    """This game in play (and paused) full screen on each desktop, judged,
    beside Kobo Deluxe on its title on the same desktop."""
    items = {i["label"]: i for i in load(path) if i["kind"] in ("window", "missing")}
    failed = False
    print("%-44s %-10s %7s %8s %6s %8s %9s %7s  %s" % ("", "picture", "core %", "wake/s", "main", "peak MB",
                                                      "Mpixel/s", "X srv %", "budget"))
    rows = []
    for desktop, limit in FIT_BUDGETS:
        rows.append(("this game " + desktop, "in play", limit))
        if desktop == "1920x1080":
            rows.append(("this game paused", "paused", 1))
        rows.append(("Kobo Deluxe " + desktop, "title", None))
    for label, what, limit in rows:
        i = items.get(label)
        runs = sorted((v for l, v in items.items() if l.startswith(label + " #") and v["kind"] == "window"),
                      key=lambda v: v["share"])
        if runs:
            i = runs[len(runs) // 2]
            what += " (median of %s)" % ", ".join("%.1f" % r["share"] for r in runs)
        if i is None or i["kind"] == "missing":
            print("%-44s not measured (see the messages above)" % (label + ", " + what))
            failed |= limit is not None
            continue
        main = next(r for r in i["threads"] if r["role"] == "main")
        verdict_text = ""
        if limit is not None:
            ok = i["share"] <= limit
            failed |= not ok
            verdict_text = "%s (%g %%)" % (verdict(ok), limit)
        print("%-44s %-10s %7.1f %8.0f %6.0f %8.1f %9.1f %7.1f  %s" % (
            label + ", " + what, i.get("picture", "?"), i["share"], sum(r["wakeups"] for r in i["threads"]),
            main["wakeups"], i.get("kb", 0) / 1024, i.get("pixels_per_second", 0) / 1e6, i["servers"]["X server"],
            verdict_text))
    print("Result: %s" % verdict(not failed))
    return 1 if failed else 0


def annotate(path, label, **fields):
    """Adds FIELDS to the window measurement named LABEL."""
    items = load(path)
    for i in items:
        if i.get("label") == label and i["kind"] == "window":
            i.update(fields)
    with open(path, "w") as f:
        f.write("".join(json.dumps(i) + "\n" for i in items))


def renderer(pid):
    """Which OpenGL renderer a process loaded, from its threads and libraries."""
    names = {t[0] for t in threads(pid).values()}
    maps = read("/proc/%d/maps" % pid)
    if any(n.startswith("llvmpipe") for n in names):
        return "Mesa llvmpipe (software)"
    if "swrast_dri" in maps or "libgallium" in maps:
        return "Mesa software"
    return "-"


def main(argv):
    cmd = argv[0]
    if cmd == "watch":
        fb, what, timeout, pid_file = argv[1], argv[2], float(argv[3]), argv[4]
        ox, oy, pw, ph = (int(v) for v in (argv[5:9] if len(argv) > 8 else (0, 0, 1024, 768)))
        watch(fb, what, timeout, pid_file, ox, oy, pw, ph)
    elif cmd == "picture":
        picture(argv[1])
    elif cmd == "main-window":
        main_window()
    elif cmd == "measure":
        pid, seconds, label, out, meter = int(argv[1]), float(argv[2]), argv[3], argv[4], argv[5]
        allegro = argv[6] == "allegro"
        servers = dict(s.split("=") for s in argv[7:])
        measure(pid, seconds, label, out, meter, {n: int(p) for n, p in servers.items()}, allegro)
    elif cmd == "record":
        with open(argv[1], "a") as f:
            f.write(json.dumps({"kind": argv[2], "label": argv[3], argv[4]: float(argv[5])}) + "\n")
    elif cmd == "annotate":
        fields = dict(a.split("=", 1) for a in argv[3:])
        annotate(argv[1], argv[2], **{k: int(v) if v.isdigit() else v for k, v in fields.items()})
    elif cmd == "renderer":
        print(renderer(int(argv[1])))
    elif cmd == "report-budgets":
        return report_budgets(argv[1])
    elif cmd == "report-peers":
        return report_peers(argv[1])
    elif cmd == "report-desktops":
        return report_desktops(argv[1])
    return 0


sys.exit(main(sys.argv[1:]))
EOF
probe() { python3 "$work/probe.py" "$@"; }

# ---------------------------------------------------------------------------
# Displays, programs and keys.

xvfb_pid=""
fb=""
start_xvfb() {  # start_xvfb WxHxD: a fresh Xvfb; sets DISPLAY, xvfb_pid and fb
  [ -z "$xvfb_pid" ] || stop "$xvfb_pid"
  local dir=$work/fb-$1
  mkdir -p "$dir"
  rm -f "$work/display"
  # Xvfb picks a free display itself and reports its number when it is ready.
  exec {fd}> "$work/display"
  Xvfb -displayfd "$fd" -screen 0 "$1" -fbdir "$dir" -br -nolisten tcp -noreset > /dev/null 2>&1 &
  xvfb_pid=$!
  pids+=("$xvfb_pid")
  exec {fd}>&-
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "measure_game: Xvfb did not start" >&2; exit 2; }
  export DISPLAY=":$(head -n1 "$work/display")"
  fb=$dir/Xvfb_screen0
}

fresh_home() {  # fresh_home NAME ALSA_DEVICE: a HOME of its own, sound going to "null" or "pulse"
  local home=$work/home-$1
  rm -rf "$home"
  mkdir -p "$home"
  if [ "$2" = pulse ]; then
    printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' > "$home/.asoundrc"
  else
    printf 'pcm.!default {\n  type file\n  slave.pcm "null"\n  file "/dev/null"\n  format "raw"\n}\n' \
      > "$home/.asoundrc"
  fi
  echo "$home"
}

game_pid=""
ox=0 oy=0 pw=1024 ph=768 game_window=""
game_errors=$work/stderr.txt
watch() {  # watch CONDITION TIMEOUT: on the game's picture
  probe watch "$fb" "$1" "$2" "$work/game.pid" "$ox" "$oy" "$pw" "$ph" > /dev/null || {
    echo "measure_game: last lines the program wrote on standard error:" >&2
    tail -n 5 "$game_errors" >&2 || true
    exit 1
  }
}

# Launches the game (options in $@) and times its start-up; sets game_pid and,
# once the title shows, the picture's place on the screen.
start_game() {  # start_game RUN_LABEL SOUND [OPTIONS...]
  local label=$1 sound=$2 home start_ns
  shift 2
  home=$(fresh_home "$label" "$sound")
  rm -f "$work/game.pid" "$fb".first-frame.ready
  # The watcher is running (its start-up is over) before the game is launched.
  probe watch "$fb" first-frame 30 "$work/game.pid" > "$work/first-frame" &
  local watcher=$!
  while [ ! -e "$fb.first-frame.ready" ]; do sleep 0.05; done
  start_ns=$(date +%s%N)
  (cd "$work" && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" ./kav "$@" \
    > "$work/trace.txt" 2> "$work/stderr.txt") &
  game_pid=$!
  pids+=("$game_pid")
  echo "$game_pid" > "$work/game.pid"
  wait "$watcher" || { tail -n 5 "$work/stderr.txt" >&2; exit 1; }
  startup_ms=$((($(cat "$work/first-frame") - start_ns) / 1000000))
  for _ in $(seq 50); do  # the mode is in the trace once the window shows
    grep -q "^GraphicsEngine: .* at [0-9]*,[0-9]*$" "$work/trace.txt" && break
    sleep 0.1
  done
  read -r ox oy pw ph game_window < <(probe picture "$work/trace.txt")
  [ -n "$game_window" ] || exit 1
}

end_game() {
  probe record "$results" memory "$1" kb "$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")"
  stop "$game_pid"
  game_pid=""
}

measure() {  # measure LABEL [ACTION]: one window on the game; ACTION repeats meanwhile
  probe measure "$game_pid" "$window" "$1" "$results" "$meter" allegro "X server=$xvfb_pid" &
  local m=$!
  if [ -n "${2:-}" ]; then
    while kill -0 "$m" 2> /dev/null; do "$2"; done
  fi
  wait "$m" || exit 1
}

press() {  # a key held long enough for a game that polls once a step
  xdotool keydown "$1"
  sleep "${2:-0.1}"
  xdotool keyup "$1"
}

# In play the ship flies right and fires now and then, as a player would.
fly_and_fire() {
  press Right 0.6
  press z 0.1
  sleep 0.3
}

# From launch to play, measuring each screen on the way.
title_menu_play() {  # title_menu_play PREFIX SUFFIX: windows PREFIX-title SUFFIX, ...
  watch title 30
  sleep 1  # the logo comes to rest
  measure "$1-title$2"
  press Return
  watch menu 30
  sleep 1
  measure "$1-menu$2"
  press Return
  watch wave-name 60
  watch in-play 30
  measure "$1-play$2" fly_and_fire
}

# Gives the input focus to another small window, as a player switching to
# another program would; a window manager would have given the game the focus
# first. Checks with xev that the game's window is told (FocusOut), the event
# the library's X11 driver turns into a switch-out.
focus_elsewhere() {
  xmessage -geometry 120x40+0+0 "elsewhere" > /dev/null 2>&1 &
  pids+=($!)
  local other i seen
  other=$(timeout 10 xdotool search --sync --name '^xmessage$' | head -n1)
  [ -n "$other" ] || { echo "measure_game: the other window did not appear" >&2; exit 1; }
  xev -id "$game_window" -event focus > "$work/xev.txt" 2>&1 &
  pids+=($!)
  sleep 0.5  # xev connects
  xdotool windowfocus --sync "$game_window"
  for i in $(seq 50); do  # xev reports the game getting the focus
    grep -q FocusIn "$work/xev.txt" && break
    sleep 0.1
    # xev may have started listening too late: away and back again.
    [ $((i % 10)) != 0 ] || xdotool windowfocus --sync "$other" windowfocus --sync "$game_window"
  done
  grep -q FocusIn "$work/xev.txt" || { echo "measure_game: could not give the game the focus" >&2; exit 1; }
  watch moving 15  # playing, with the focus
  seen=$(wc -l < "$work/xev.txt")
  xdotool windowfocus --sync "$other"
  for i in $(seq 50); do
    tail -n +$((seen + 1)) "$work/xev.txt" | grep -q FocusOut && break
    sleep 0.1
  done
  tail -n +$((seen + 1)) "$work/xev.txt" | grep -q FocusOut ||
    { echo "measure_game: the game's window got no FocusOut" >&2; exit 1; }
}

paused_window() { paused_window_as paused; }

paused_window_as() {  # paused_window_as LABEL
  press p
  watch still 15
  measure "$1"
  press p
  watch moving 15
}

unfocused_window() {
  focus_elsewhere
  watch still 15
  measure unfocused
}

fit_run() {  # fit_run WxH: full screen on a desktop of that size
  start_game "fit-$1" null
  title_menu_play "fit-$1" ""
  # Play, where the budget is tightest, twice more: the median of three.
  measure "fit-$1-play-2" fly_and_fire
  measure "fit-$1-play-3" fly_and_fire
  [ "$1" != 1920x1080 ] || attempt "fit-$1-paused" paused_window_as "fit-$1-paused"
  end_game "fit-$1"
}

# Runs one part of the measurement; when it fails, what it was to measure is
# reported as not measured and the rest goes on. What it started is stopped.
attempt() {  # attempt LABEL FUNCTION [ARGUMENTS...]
  local label=$1 first=${#pids[@]} status
  shift
  # Not as a condition, so that a failing command still ends the part.
  set +e
  (
    set -e
    trap 'for ((i = ${#pids[@]} - 1; i >= first; i--)); do stop "${pids[i]}"; done' EXIT
    "$@"
  )
  status=$?
  set -e
  [ "$status" = 0 ] || probe record "$results" missing "$label" seconds 0
}

# ---------------------------------------------------------------------------

if [ "$mode" = budgets ]; then
  start_xvfb 1024x768x24
  echo "Game: $game_dir/kav; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg); $window s a window"
  for run in 1 2 3; do
    echo "  run $run of 3 at scale 1 ..."
    start_game "s1-$run" null
    probe record "$results" startup "s1-$run" ms "$startup_ms"
    title_menu_play s1 "-$run"
    if [ "$run" = 3 ]; then
      attempt paused paused_window
      attempt unfocused unfocused_window
    fi
    end_game "s1-$run"
  done

  for desktop in 1920x1080 2560x1440 3840x2160; do
    echo "  full screen on a $desktop desktop ..."
    start_xvfb "${desktop}x24"
    attempt "fit-$desktop" fit_run "$desktop"
  done
  echo
  probe report-budgets "$results"
  exit $?
fi

# Side by side: every game on its title screen, the same screen, the same time.
start_xvfb 1024x768x24
mkdir -p "$work/run" "$work/pulse"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run PULSE_SERVER=unix:$work/pulse/native
(exec env HOME="$(fresh_home pulse null)" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  --load="module-null-sink sink_name=quiet" \
  --load="module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" > "$work/pulse.log" 2>&1) &
pulse_pid=$!
pids+=("$pulse_pid")
for _ in $(seq 100); do
  pactl info > /dev/null 2>&1 && break
  sleep 0.1
done
pactl info > /dev/null 2>&1 || { echo "measure_game: the sound server did not start" >&2; exit 2; }

echo "Side by side on one Xvfb screen (1024x768x24), $window s each on the title screen;" \
  "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

measure_peer() {  # measure_peer LABEL PICTURE: the window on the running program
  probe measure "$game_pid" "$window" "$1" "$results" "$meter" "${allegro:-}" \
    "X server=$xvfb_pid" "sound server=$pulse_pid" || exit 1
  local streams
  streams=$(pactl list short sink-inputs 2> /dev/null | wc -l)
  probe annotate "$results" "$1" picture="$2" kb="$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")" \
    streams="$streams" renderer="$(probe renderer "$game_pid")"
}

# This game: launched as a player would, measured once its title has settled.
this_game() {
  start_game this pulse
  watch title 30
  sleep 1
  allegro=allegro measure_peer "this game" 1024x768
  stop "$game_pid"
}

# A peer: launched with defaults from a fresh HOME; CONDITION (on the screen)
# or, without one, a few seconds after its window shows, it is on its title.
run_peer() {  # run_peer LABEL CONDITION COMMAND...
  local label=$1 condition=$2 home size=""
  shift 2
  home=$(fresh_home "$label" pulse)
  rm -f "$work/game.pid"
  game_errors=$work/$label.out
  (cd "$home" && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" "$@" \
    > "$work/$label.out" 2>&1) &
  game_pid=$!
  pids+=("$game_pid")
  echo "$game_pid" > "$work/game.pid"
  ox=0 oy=0 pw=1024 ph=768
  watch first-frame 60
  for _ in $(seq 100); do
    size=$(probe main-window)
    [ -n "$size" ] && break
    sleep 0.1
  done
  if [ -n "$condition" ]; then
    watch "$condition" 90
  fi
  sleep 3  # past its opening fade
  measure_peer "$label" "${size:-?}"
  stop "$game_pid"
}

# Starfighter opens with some 25 s of credits before its title menu.
attempt "this game" this_game
attempt "Kobo Deluxe" run_peer "Kobo Deluxe" "" /usr/games/kobodl
attempt "Starfighter" run_peer "Starfighter" peer-title-logo /usr/games/starfighter
attempt "Chromium B.S.U." run_peer "Chromium B.S.U." "" /usr/games/chromium-bsu
echo
probe report-peers "$results"

# In play on the desktops players have, full screen, beside Kobo Deluxe on the
# same desktops in the same run (its title, which scrolls by itself, at the
# desktop's own size).
this_game_in_play() {  # this_game_in_play WxH
  start_game "play-$1" pulse
  watch title 30
  sleep 1  # the logo comes to rest
  press Return
  watch menu 30
  sleep 1
  press Return
  watch wave-name 60
  watch in-play 30
  local k m
  for k in 1 2 3; do  # the median of three is judged
    probe measure "$game_pid" "$window" "this game $1 #$k" "$results" "$meter" allegro \
      "X server=$xvfb_pid" "sound server=$pulse_pid" &
    m=$!
    while kill -0 "$m" 2> /dev/null; do fly_and_fire; done
    wait "$m" || exit 1
    probe annotate "$results" "this game $1 #$k" picture="${pw}x${ph}" \
      kb="$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")" streams=1 renderer=-
  done
  if [ "$1" = 1920x1080 ]; then
    press p
    watch still 15
    allegro=allegro measure_peer "this game paused" "${pw}x${ph}"
  fi
  stop "$game_pid"
}

echo
echo "In play at 60 refreshes a second, full screen, beside Kobo Deluxe on each desktop"
for desktop in 1920x1080 2560x1440 3840x2160; do
  start_xvfb "${desktop}x24"
  attempt "this game $desktop" this_game_in_play "$desktop"
  attempt "Kobo Deluxe $desktop" run_peer "Kobo Deluxe $desktop" "" /usr/games/kobodl -fullscreen \
    -width "${desktop%x*}" -height "${desktop#*x}"
done
echo
probe report-desktops "$results"
