"""The music player really makes sound.

Plays each track through the game's player (the music_probe helper) under
Xvfb with ALSA writing everything Allegro sends to a file, then checks that
the file holds music: loud enough, sustained, and not a click, and that
closing the track fades it out instead of cutting it. A missing track must
leave the helper silent without crashing.
"""
import argparse
import math
import os
import shutil
import struct
import subprocess
import sys
import time

RATE = 44100
CHANNELS = 2
FRAME_BYTES = 4
TRACKS = ["VeVarnHolt-CopperSky.mp3", "VeVarnHolt-GlassHarbour.mp3"]
XVFB = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset"]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def sound_home(work, name):
    """A HOME whose .asoundrc sends ALSA's default device into a raw file."""
    home = os.path.join(work, name)
    shutil.rmtree(home, ignore_errors=True)
    os.makedirs(home)
    raw = os.path.join(home, "sound.raw")
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write('pcm.!default {\n  type file\n  slave.pcm "null"\n'
                '  file "%s"\n  format "raw"\n}\n' % raw)
    return home, raw


def samples(raw_bytes):
    """16-bit samples around zero, whether the driver wrote them signed or
    unsigned (Allegro's native format is unsigned): the reading that centres
    the sound on zero is the right one."""
    count = len(raw_bytes) // 2
    signed = list(struct.unpack("<%dh" % count, raw_bytes[:count * 2]))
    flipped = [v ^ -32768 for v in signed]
    return min(signed, flipped, key=lambda values: rms(values[::31]))


def rms(values):
    return math.sqrt(sum(v * v for v in values) / len(values)) if values else 0.0


def loud_span(values, seconds):
    """RMS of each 50 ms window from the first audible one on, for `seconds`."""
    window = int(0.05 * RATE) * CHANNELS
    start = 0
    while start + window <= len(values) and rms(values[start:start + window]) < 50:
        start += window
    levels = []
    for k in range(int(seconds / 0.05)):
        piece = values[start + k * window:start + (k + 1) * window]
        if len(piece) < window:
            break
        levels.append(rms(piece))
    return levels


def run_probe(probe, args, home, log_path):
    env = dict(os.environ, HOME=home)
    log = open(log_path, "w")
    return subprocess.Popen(XVFB + [probe] + args, env=env, stdout=log, stderr=subprocess.STDOUT), log


def wait_for_bytes(path, wanted, process, timeout):
    """Waits until the raw file holds `wanted` bytes (or the helper ended)."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        size = os.path.getsize(path) if os.path.exists(path) else 0
        if size >= wanted:
            return size
        if process.poll() is not None:
            return os.path.getsize(path) if os.path.exists(path) else 0
        time.sleep(0.1)
    return os.path.getsize(path) if os.path.exists(path) else 0


def check_track(probe, game_dir, work, artifacts, track):
    name = os.path.splitext(track)[0]
    home, raw = sound_home(work, name)
    log_path = os.path.join(work, name + ".log")
    process, log = run_probe(probe, [os.path.join(game_dir, track), "8"], home, log_path)
    wanted = 4 * RATE * FRAME_BYTES
    got = wait_for_bytes(raw, wanted, process, timeout=120)
    try:
        process.wait(timeout=180)
    except subprocess.TimeoutExpired:
        process.kill()
        fail("%s: the helper did not finish" % track)
    log.close()
    output = open(log_path).read()
    if process.returncode != 0:
        fail("%s: helper exited with %d:\n%s" % (track, process.returncode, output))
    for word in ("playing", "closed"):
        if word not in output.split():
            fail("%s: helper never reported '%s':\n%s" % (track, word, output))
    if got < wanted:
        fail("%s: only %d bytes of sound were written (wanted %d)" % (track, got, wanted))
    data = open(raw, "rb").read()
    if artifacts:
        os.makedirs(artifacts, exist_ok=True)
        shutil.copy(raw, os.path.join(artifacts, name + "-sound.raw"))
    values = samples(data[:wanted])
    levels = loud_span(values, 3.0)
    if len(levels) < 50:
        fail("%s: fewer than 2.5 s of sound after its start" % track)
    overall = rms(values)
    quiet = sum(1 for level in levels if level < 150)
    print("%s: %d bytes, RMS %.0f, %d of %d windows quiet" % (track, len(data), overall, quiet, len(levels)))
    # Music, not a click or a hum: well above silence, and sustained.
    if overall < 400:
        fail("%s: RMS %.0f is too close to silence" % (track, overall))
    if quiet > len(levels) // 10:
        fail("%s: %d of %d windows are silent; the sound is not sustained" % (track, quiet, len(levels)))
    if max(abs(v) for v in values) >= 32767:
        fail("%s: the sound clips" % track)
    check_ending(track, samples(data))


def check_ending(track, values):
    """Leaving the screen fades the music out; cutting it dead would click."""
    last = len(values) - 1
    while last > 0 and values[last] == 0:
        last -= 1
    if len(values) - last < RATE // 10:
        fail("%s: the recording stops while the music still sounds (no silence after closing)" % track)
    window = int(0.01 * RATE) * CHANNELS
    body = sorted(max(abs(v) for v in values[last - k * window:last - (k - 1) * window])
                  for k in range(10, 30))
    typical = body[len(body) // 2]
    tail = max(abs(v) for v in values[max(0, last - window // 4):last + 1])
    print("%s: level %d before closing, %d in its last moment" % (track, typical, tail))
    if typical < 400:
        fail("%s: the music had already gone quiet before closing" % track)
    if tail > 0.1 * typical:
        fail("%s: the music is cut off at %d of %d instead of fading out" % (track, tail, typical))


def check_missing_track(probe, work):
    home, raw = sound_home(work, "missing")
    log_path = os.path.join(work, "missing.log")
    process, log = run_probe(probe, [os.path.join(work, "no-such-track.mp3"), "1"], home, log_path)
    try:
        process.wait(timeout=120)
    except subprocess.TimeoutExpired:
        process.kill()
        fail("missing track: the helper hung")
    log.close()
    output = open(log_path).read()
    if process.returncode != 1 or "no track" not in output:
        fail("missing track: expected a clean 'no track' and exit code 1, got %d:\n%s" % (process.returncode, output))
    data = open(raw, "rb").read() if os.path.exists(raw) else b""
    if data and rms(samples(data)) > 10:
        fail("missing track: something was played")
    print("missing track: silent, exit code 1")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game-dir", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--artifacts", default="")
    args = parser.parse_args()
    probe = os.path.join(os.path.dirname(os.path.abspath(args.game_dir)), "e2e-tools", "music_probe")
    if not os.path.exists(probe):
        fail("helper %s is not built" % probe)
    os.makedirs(args.work, exist_ok=True)
    for track in TRACKS:
        if not os.path.exists(os.path.join(args.game_dir, track)):
            fail("%s was not generated" % track)
        check_track(probe, args.game_dir, args.work, args.artifacts, track)
    check_missing_track(probe, args.work)


if __name__ == "__main__":
    main()
