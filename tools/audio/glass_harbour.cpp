// "Glass Harbour", the menu music: 92 BPM in D major, calm and glassy.
// Intro (bells and pad) - theme with a soft beat - second theme - theme
// returning with a countermelody - outro.
#include <string>
#include <vector>

#include "tools/audio/compositions.h"
#include "tools/audio/drum_kit.h"
#include "tools/audio/score.h"
#include "tools/audio/song.h"
#include "tools/audio/synth_voice.h"
#include "tools/audio/tracks.h"

namespace audio {
namespace {

constexpr int kThemeStart = 8;
constexpr int kSecondStart = 16;
constexpr int kReturnStart = 24;
constexpr int kOutroStart = 32;

const char* const kHomeChords[] = {"D3add9", "B2m7", "G2maj7", "A2"};
const char* const kAwayChords[] = {"E3m7", "F#2m7", "G2maj7", "A2"};

const char* const kTheme =
    "F#5:1.5 E5:.5 D5:1 A4:1 "
    "B4:1 D5:1 F#5:1 E5:1 "
    "D5:1.5 B4:.5 G4:1 B4:.5 D5:.5 "
    "E5:2 D5:1 A4:1 "
    "F#5:1 A5:1 G5:.5 F#5:.5 E5:1 "
    "D5:1 F#5:1 B5:1.5 A5:.5 "
    "G5:1 F#5:.5 E5:.5 D5:1 B4:1 "
    "E5:1 C#5:1 A4:2";

const char* const kSecondTheme =
    "G5:1.5 F#5:.5 E5:1 B4:1 "
    "C#5:1 F#5:1 A5:1.5 F#5:.5 "
    "B5:2 A5:.5 G5:.5 F#5:1 "
    "E5:3 r:1 "
    "E5:1 G5:1 B5:1 A5:.5 G5:.5 "
    "F#5:1.5 E5:.5 C#5:1 E5:1 "
    "D5:1 G5:1 B5:1 D6:1 "
    "C#6:2 A5:2";

// Answers the theme from above when it returns.
const char* const kCounter =
    "r:2 A5:1 D6:1 "
    "r:2 F#6:1 E6:1 "
    "r:2 D6:1 B5:1 "
    "r:2 C#6:2 "
    "r:2 A5:1 D6:1 "
    "r:2 F#6:1 A6:1 "
    "r:2 G6:1 F#6:1 "
    "E6:4";

Patch FlutePatch() {
  // A breathy, rounded lead: sine and a little filtered saw, with vibrato.
  Patch p;
  p.saws = 1;
  p.sawLevel = 0.25;
  p.sineLevel = 0.9;
  p.noiseLevel = 0.04;
  p.amp = {0.06, 0.3, 0.8, 0.3};
  p.cutoff = 1800;
  p.filterEnv = 800;
  p.filterDecay = 0.3;
  p.keyTrack = 0.6;
  p.resonance = 0.1;
  p.vibratoCents = 22;
  p.vibratoHz = 4.8;
  p.vibratoDelay = 0.35;
  p.glideFrom = -0.3;
  p.glideTime = 0.06;
  return p;
}

Patch PadPatch() {
  Patch p;
  p.saws = 4;
  p.detuneCents = 16;
  p.sineLevel = 0.3;
  p.amp = {0.9, 1.0, 0.85, 1.6};
  p.cutoff = 900;
  p.filterEnv = 500;
  p.filterDecay = 1.5;
  p.resonance = 0.05;
  return p;
}

Patch BassPatch() {
  Patch p;
  p.saws = 1;
  p.sawLevel = 0.35;
  p.sineLevel = 1.0;
  p.amp = {0.01, 0.4, 0.7, 0.15};
  p.cutoff = 350;
  p.filterEnv = 500;
  p.filterDecay = 0.15;
  p.resonance = 0.15;
  return p;
}

void PlayLine(Song& song, int bus, const Patch& patch, const char* line, int bar, double velocity, unsigned seed) {
  for (const NoteEvent& e : ParseLine(line)) {
    double hold = e.length * song.SecondsPerBeat() * 0.95;
    RenderNote(song.Bus(bus), patch, song.At(bar, e.beat), hold, e.note, velocity, seed++);
  }
}

}  // namespace

PcmData ComposeGlassHarbour() {
  const TrackPlan& plan = kGlassHarbour;
  Song song(plan.bpm, plan.bars, plan.tailSeconds);
  song.SetEcho(0.75, 0.45);
  song.SetReverb(0.88, 0.35);
  const int kick = song.AddBus("kick", 0.7, 0.0, 0.05, 0.0);
  const int snare = song.AddBus("snare", 0.3, -0.1, 0.5, 0.1);
  const int shaker = song.AddBus("shaker", 0.16, 0.35, 0.2, 0.0);
  const int bass = song.AddBus("bass", 0.5, 0.0, 0.0, 0.0);
  const int pad = song.AddBus("pad", 0.24, 0.0, 0.6, 0.0);
  const int glass = song.AddBus("glass", 0.2, -0.35, 0.5, 0.45);
  const int flute = song.AddBus("flute", 0.3, 0.1, 0.45, 0.3);
  const int chimes = song.AddBus("chimes", 0.16, 0.45, 0.55, 0.35);

  const Patch flutePatch = FlutePatch(), padPatch = PadPatch(), bassPatch = BassPatch();
  std::vector<double> kickTimes;
  unsigned seed = 1;
  const double beat = song.SecondsPerBeat();

  for (int bar = 0; bar < plan.bars; ++bar) {
    const bool away = bar >= kSecondStart && bar < kReturnStart;
    const bool outro = bar >= kOutroStart;
    const bool lastBar = bar == plan.bars - 1;
    std::string chordName = away ? kAwayChords[bar % 4] : kHomeChords[bar % 4];
    if (lastBar) chordName = "D3add9";
    const std::vector<int> chord = Chord(chordName);

    // Pad: chords swelling in and out, overlapping a little.
    double padVelocity = bar < 4 ? 0.45 + 0.1 * bar : (outro ? 0.8 - 0.05 * (bar - kOutroStart) : 0.8);
    double padHold = lastBar ? 8 * beat : 4 * beat;
    for (int note : chord) RenderNote(song.Bus(pad), padPatch, song.At(bar), padHold, note + 12, padVelocity, seed++);

    // Glass arpeggio: eighths rising and turning, a different order every
    // other bar so it doesn't tick like a clock.
    if (!lastBar) {
      const int orderA[] = {0, 1, 2, 3, 4, 3, 2, 1};
      const int orderB[] = {0, 2, 1, 3, 2, 4, 3, 1};
      const int* order = bar % 2 ? orderB : orderA;
      std::vector<int> tones = chord;
      tones.resize(3);
      tones.push_back(chord[0] + 12);
      tones.push_back(chord[2] + 12);
      double level = outro ? 0.7 - 0.07 * (bar - kOutroStart) : 0.7;
      for (int step = 0; step < 8; ++step)
        RenderBell(song.Bus(glass), song.At(bar, step * 0.5), tones[order[step]] + 24, level * (step % 2 ? 0.7 : 1.0),
                   1.4, 0.55);
    } else {
      for (int k = 0; k < 4; ++k) RenderBell(song.Bus(glass), song.At(bar, k * 0.25), chord[k] + 24, 0.6, 4.0, 0.5);
    }

    // Bass from bar 4: the root, with a passing note before the next chord.
    if (bar >= 4) {
      int root = chord[0] - 12;
      if (root < 36) root += 12;
      if (lastBar) {
        RenderNote(song.Bus(bass), bassPatch, song.At(bar), 6 * beat, root, 0.8, seed++);
      } else if (bar < kThemeStart || outro) {
        RenderNote(song.Bus(bass), bassPatch, song.At(bar), 3.8 * beat, root, 0.7, seed++);
      } else {
        RenderNote(song.Bus(bass), bassPatch, song.At(bar), 1.4 * beat, root, 0.85, seed++);
        RenderNote(song.Bus(bass), bassPatch, song.At(bar, 1.5), 1.9 * beat, root, 0.7, seed++);
        RenderNote(song.Bus(bass), bassPatch, song.At(bar, 3.5), 0.4 * beat, root + 7, 0.6, seed++);
      }
    }

    // A soft, half-time beat under the themes.
    const bool beatOn = bar >= kThemeStart && bar < kOutroStart + 4;
    if (beatOn) {
      const double kickBeats[] = {0.0, 2.5};
      for (double b : kickBeats) {
        RenderKick(song.Bus(kick), song.At(bar, b), 0.9, 0.6);
        kickTimes.push_back(song.At(bar, b));
      }
      RenderSnare(song.Bus(snare), song.At(bar, 2), 0.7, seed++);
      if (bar % 4 == 3) RenderSnare(song.Bus(snare), song.At(bar, 3.75), 0.3, seed++);
    }
    if (bar >= 4 && !lastBar) {
      for (int step = 0; step < 8; ++step) {
        double velocity = (step % 2 ? 0.9 : 0.5) * (away ? 1.2 : 1.0);
        RenderShaker(song.Bus(shaker), song.At(bar, step * 0.5), velocity, seed++);
      }
      if (away)
        for (int step = 1; step < 16; step += 4)
          RenderHat(song.Bus(shaker), song.At(bar, step * 0.25 + 0.5), 0.5, 0.0, seed++);
    }
    if (bar == kSecondStart - 1 || bar == kReturnStart - 1)
      RenderRiser(song.Bus(shaker), song.At(bar), 4 * beat, 0.5, seed++);
  }

  PlayLine(song, flute, flutePatch, kTheme, kThemeStart, 0.85, 100);
  PlayLine(song, flute, flutePatch, kSecondTheme, kSecondStart, 0.9, 200);
  PlayLine(song, flute, flutePatch, kTheme, kReturnStart, 0.9, 300);
  for (const NoteEvent& e : ParseLine(kCounter))
    RenderBell(song.Bus(chimes), song.At(kReturnStart, e.beat), e.note, 0.7, e.length * beat + 1.2, 0.9);
  // The outro hums the theme's opening once more, an octave down, fading.
  for (const NoteEvent& e : ParseLine(kTheme))
    if (e.beat < 16)
      RenderBell(song.Bus(chimes), song.At(kOutroStart, e.beat), e.note, 0.6 - 0.02 * e.beat, 2.0, 0.6);

  song.Duck(pad, kickTimes, 0.25, 0.4);
  return song.Mix(0.85);
}

}  // namespace audio
