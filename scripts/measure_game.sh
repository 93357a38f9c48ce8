#!/usr/bin/env bash
# Measures the real game as a player runs it, under its own Xvfb display:
#   - start-up: from launching the binary until the screen shows the first
#     frame of the title screen's fade-in (Xvfb's screen is memory-mapped to a
#     file and read every few milliseconds, so nothing slows the game's X
#     connection while it starts);
#   - the share of one core the game process uses (all its threads: main,
#     timer, sound) over 10 s each on the title screen, on the menu and during
#     play, from /proc/<pid>/stat; the X server's own share is shown beside it;
#   - the peak resident memory of the process (VmHWM) at the end.
# The game runs in a temporary copy of its folder with sound going to ALSA's
# null device through a file plugin, as the end-to-end tests do.
#
# Usage: scripts/measure_game.sh [build folder]    (default: build)
# Exits non-zero when a budget is missed or the game can't be driven.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
game_dir=$build/game
window=10  # seconds per measurement
for f in kav kav.dat VeVarnHolt-CopperSky.mp3 VeVarnHolt-GlassHarbour.mp3; do
  [ -f "$game_dir/$f" ] || { echo "measure_game: $game_dir/$f is missing; build the game first" >&2; exit 2; }
done
for tool in Xvfb xdotool python3; do
  command -v "$tool" > /dev/null || { echo "measure_game: $tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d /tmp/kav-measure.XXXXXX)
xvfb_pid=""
game_pid=""
watcher_pid=""
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
  stop "$watcher_pid"
  stop "$game_pid"
  stop "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

cp "$game_dir"/kav "$game_dir"/kav.dat "$game_dir"/*.mp3 "$work"/
mkdir -p "$work/home" "$work/fb"
cat > "$work/home/.asoundrc" << 'EOF'
pcm.!default {
  type file
  slave.pcm "null"
  file "/dev/null"
  format "raw"
}
EOF

# Reads the memory-mapped screen and waits for what a player would see.
cat > "$work/watch.py" << 'EOF'
import mmap, os, struct, sys, time

# watch.py SCREEN_FILE CONDITION TIMEOUT [PID_FILE]: waits until CONDITION
# holds on the screen, then prints the wall-clock time in nanoseconds. Gives up
# when the process named in PID_FILE (once written) has ended.
fb_path, what, timeout = sys.argv[1], sys.argv[2], float(sys.argv[3])
pid_file = sys.argv[4] if len(sys.argv) > 4 else None

def game_ended():
    if not pid_file or not os.path.exists(pid_file):
        return False
    with open(pid_file) as f:
        pid = f.read().strip()
    return bool(pid) and not os.path.exists("/proc/" + pid)

class Screen:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.map = mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)
        h = struct.unpack(">25I", self.map[:100])
        self.header, self.bpp, self.stride, self.ncolors = h[0], h[11], h[12], h[19]
        self.width, self.height = h[4], h[5]
        if self.bpp != 32:
            raise SystemExit("measure_game: expected a 32-bit Xvfb screen")
        self.base = self.header + 12 * self.ncolors

    def row(self, y, x0, x1):
        # (r, g, b) of pixels x0..x1-1 of row y; the screen stores B, G, R, pad.
        start = self.base + y * self.stride + 4 * x0
        data = self.map[start:start + 4 * (x1 - x0)]
        return list(zip(data[2::4], data[1::4], data[0::4]))

    def count(self, x0, y0, x1, y1, test):
        return sum(1 for y in range(y0, y1) for p in self.row(y, x0, x1) if test(*p))

def red(r, g, b): return r >= 200 and g <= 60 and b <= 60
def yellow(r, g, b): return r >= 200 and g >= 200 and b <= 80
def white(r, g, b): return r >= 240 and g >= 240 and b >= 240

def lit(s):
    # Not black any more: at least 5 % of a coarse grid of pixels shows colour
    # (the mouse pointer alone covers far less). Coarse, so that watching costs
    # the machine little while the game starts.
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
    # The top edges of the Play and Help boxes, lit in one colour.
    for test in (white, red):
        if s.count(382, 348, 642, 349, test) >= 250 and s.count(382, 548, 642, 549, test) >= 250:
            return True
    return False

def title(s):
    # The ten scores of the table in red, right-aligned at x = 500.
    rows = sum(1 for k in range(10) if s.count(400, 400 + 30 * k, 501, 424 + 30 * k, red) >= 40)
    return rows == 10 and not menu(s)

def wave_name(s):
    return s.count(262, 350, 762, 400, yellow) >= 300

tests = {"first-frame": lit, "title": title, "menu": menu, "wave-name": wave_name,
         "in-play": lambda s: not wave_name(s) and lit(s)}
deadline = time.monotonic() + timeout
screen = None
open(fb_path + "." + what + ".ready", "w").close()
while True:
    if game_ended():
        raise SystemExit("measure_game: the game ended while waiting for " + what)
    if screen is None and os.path.exists(fb_path):
        screen = Screen(fb_path)
    if screen is not None and tests[what](screen):
        print(time.time_ns())
        break
    if time.monotonic() > deadline:
        raise SystemExit("measure_game: timed out after %.0f s waiting for %s" % (timeout, what))
    time.sleep(0.003)
EOF

watch() {  # watch CONDITION TIMEOUT
  python3 "$work/watch.py" "$work/fb/Xvfb_screen0" "$1" "$2" "$work/game.pid" > /dev/null
}

# Xvfb picks a free display itself and reports its number when it is ready.
exec {fd}> "$work/display"
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -fbdir "$work/fb" -br -nolisten tcp -noreset > /dev/null 2>&1 &
xvfb_pid=$!
exec {fd}>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "measure_game: Xvfb did not start" >&2; exit 2; }
export DISPLAY=":$(head -n1 "$work/display")"

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Share of one core used by the game, by its main thread alone (the rest is
# the library's timer and background threads: screen updates and sound), and by
# the X server, over the window.
measure_cpu() {  # measure_cpu NAME [ACTION]
  local g0 m0 x0 g1 m1 x1 t0 t1
  g0=$(cpu_ticks "$game_pid"); m0=$(cpu_ticks "$game_pid/task/$game_pid"); x0=$(cpu_ticks "$xvfb_pid")
  t0=$(date +%s%N)
  if [ -n "${2:-}" ]; then
    local end=$(($(date +%s) + window))
    while [ "$(date +%s)" -lt "$end" ]; do "$2"; done
  else
    sleep "$window"
  fi
  g1=$(cpu_ticks "$game_pid"); m1=$(cpu_ticks "$game_pid/task/$game_pid"); x1=$(cpu_ticks "$xvfb_pid")
  t1=$(date +%s%N)
  awk -v g=$((g1 - g0)) -v m=$((m1 - m0)) -v x=$((x1 - x0)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) \
    -v name="$1" 'BEGIN { s = ns / 1e9; f = 100 / hz / s; printf "%s %.1f %.1f %.1f\n", name, g * f, m * f, x * f }'
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

# The watcher is running (its start-up is over) before the game is launched.
python3 "$work/watch.py" "$work/fb/Xvfb_screen0" first-frame 30 "$work/game.pid" > "$work/first-frame" &
watcher_pid=$!
while [ ! -e "$work/fb/Xvfb_screen0.first-frame.ready" ]; do sleep 0.05; done
start_ns=$(date +%s%N)
(cd "$work" && HOME="$work/home" exec ./kav > "$work/trace.txt" 2> "$work/stderr.txt") &
game_pid=$!
echo "$game_pid" > "$work/game.pid"
wait "$watcher_pid" || exit 1
startup_ms=$(( ($(cat "$work/first-frame") - start_ns) / 1000000 ))
watch title 30
sleep 1  # the logo comes to rest
title_line=$(measure_cpu title)

press Return
watch menu 30
sleep 1
menu_line=$(measure_cpu menu)

press Return
watch wave-name 60
watch in-play 30
play_line=$(measure_cpu play fly_and_fire)

grep -q . "/proc/$game_pid/status" || { echo "measure_game: the game ended during play" >&2; exit 1; }
peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game_pid/status")
rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status")

verdict() {  # verdict VALUE LIMIT -> PASS or FAIL
  if awk -v v="$1" -v l="$2" 'BEGIN { exit !(v <= l) }'; then echo PASS; else echo FAIL; fi
}

echo "Game: $game_dir/kav on $DISPLAY (Xvfb 1024x768x24), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
failed=0
v=$(verdict "$startup_ms" 1000); [ "$v" = PASS ] || failed=1
printf '  %s  start-up to the first title frame   %6s ms   (budget 1000 ms)\n' "$v" "$startup_ms"
for line in "$title_line" "$menu_line" "$play_line"; do
  read -r name game main x <<< "$line"
  v=$(verdict "$game" 15); [ "$v" = PASS ] || failed=1
  printf '  %s  one core on the %-5s screen        %6s %%    (budget 15 %%; main thread %s %%, X server %s %%)\n' \
    "$v" "$name" "$game" "$main" "$x"
done
peak_mb=$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')
v=$(verdict "$peak_mb" 128); [ "$v" = PASS ] || failed=1
printf '  %s  peak resident memory (VmHWM)       %6s MB   (budget 128 MB; %s MB resident at the end)\n' \
  "$v" "$peak_mb" "$(awk -v k="$rss_kb" 'BEGIN { printf "%.1f", k / 1024 }')"
if [ "$failed" = 0 ]; then echo "Result: PASS"; else echo "Result: FAIL"; exit 1; fi
