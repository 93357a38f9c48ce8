// "Copper Sky", the title music: 120 BPM in A minor, a driving synth piece.
// Intro (pads and arpeggio) - theme - breakdown - climax - outro.
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

// Bar layout.
constexpr int kThemeStart = 8;
constexpr int kBreakStart = 24;
constexpr int kClimaxStart = 32;
constexpr int kOutroStart = 48;

const char* const kMainChords[] = {"A3m", "F3", "C3", "G3"};
const char* const kBreakChords[] = {"D3m", "A3m", "F3", "E3"};

const char* const kTheme =
    "E5:1 A5:.5 G5:.5 E5:1 D5:.5 C5:.5 "
    "C5:1.5 D5:.5 C5:1 A4:1 "
    "G4:.5 C5:.5 E5:1 G5:1.5 E5:.5 "
    "D5:2 r:1 B4:.5 D5:.5 "
    "E5:1 A5:.5 B5:.5 C6:1 B5:.5 A5:.5 "
    "A5:1.5 G5:.5 F5:1 E5:1 "
    "G5:.5 E5:.5 C5:1 E5:.5 G5:.5 C6:1 "
    "B5:2.5 r:1.5";

// The theme varied, opening the climax.
const char* const kVariation =
    "A4:.5 C5:.5 E5:1 D5:.5 C5:.5 B4:.5 A4:.5 "
    "C5:1.5 D5:.5 C5:1 A4:1 "
    "G4:.5 C5:.5 E5:1 G5:1.5 E5:.5 "
    "D5:2 r:.5 D5:.5 E5:.5 G5:.5 "
    "E5:1 A5:.5 G5:.5 E5:1 C5:.5 A4:.5 "
    "A4:1.5 C5:.5 F5:1 E5:1 "
    "G5:.5 E5:.5 C5:1 E5:.5 G5:.5 C6:1 "
    "B5:3 r:1";

const char* const kBreakTheme =
    "F5:2 E5:1 D5:1 "
    "E5:3 C5:1 "
    "A4:1 C5:1 F5:1.5 E5:.5 "
    "E5:2 G#5:2 "
    "D5:1 F5:1 A5:2 "
    "G5:1 E5:1 C5:2 "
    "F5:1 A5:1 C6:1.5 B5:.5 "
    "B5:2 G#5:2";

Patch LeadPatch() {
  Patch p;
  p.saws = 3;
  p.detuneCents = 12;
  p.squareLevel = 0.35;
  p.squareWidth = 0.35;
  p.amp = {0.008, 0.25, 0.75, 0.18};
  p.cutoff = 2200;
  p.filterEnv = 3500;
  p.filterDecay = 0.25;
  p.keyTrack = 0.5;
  p.resonance = 0.25;
  p.vibratoCents = 18;
  p.vibratoHz = 5.2;
  p.vibratoDelay = 0.25;
  p.glideFrom = -0.6;
  p.glideTime = 0.04;
  return p;
}

Patch PadPatch() {
  Patch p;
  p.saws = 5;
  p.detuneCents = 22;
  p.amp = {0.35, 0.5, 0.8, 0.9};
  p.cutoff = 1300;
  p.filterEnv = 600;
  p.filterDecay = 1.0;
  p.resonance = 0.1;
  return p;
}

Patch BassPatch() {
  Patch p;
  p.saws = 1;
  p.subLevel = 0.7;
  p.amp = {0.003, 0.12, 0.6, 0.05};
  p.cutoff = 260;
  p.filterEnv = 1400;
  p.filterDecay = 0.09;
  p.resonance = 0.35;
  return p;
}

Patch ArpPatch() {
  Patch p;
  p.saws = 1;
  p.sawLevel = 0.6;
  p.squareLevel = 0.6;
  p.squareWidth = 0.25;
  p.amp = {0.002, 0.12, 0.0, 0.05};
  p.cutoff = 900;
  p.filterEnv = 4200;
  p.filterDecay = 0.07;
  p.resonance = 0.45;
  p.keyTrack = 0.3;
  return p;
}

void PlayLine(Song& song, int bus, const Patch& patch, const char* line, int bar, double velocity, int transpose,
              unsigned seed) {
  for (const NoteEvent& e : ParseLine(line)) {
    double start = song.At(bar, e.beat);
    double hold = e.length * song.SecondsPerBeat() * 0.92;
    RenderNote(song.Bus(bus), patch, start, hold, e.note + transpose, velocity, seed++);
  }
}

}  // namespace

PcmData ComposeCopperSky() {
  const TrackPlan& plan = kCopperSky;
  Song song(plan.bpm, plan.bars, plan.tailSeconds);
  song.SetEcho(0.75, 0.38);
  song.SetReverb(0.75, 0.45);
  const int kick = song.AddBus("kick", 0.9, 0.0, 0.02, 0.0);
  const int snare = song.AddBus("snare", 0.55, 0.05, 0.25, 0.0);
  const int hats = song.AddBus("hats", 0.22, 0.3, 0.08, 0.0);
  const int bass = song.AddBus("bass", 0.55, 0.0, 0.0, 0.0);
  const int pad = song.AddBus("pad", 0.22, -0.1, 0.45, 0.0);
  const int arp = song.AddBus("arp", 0.16, -0.45, 0.2, 0.35);
  const int lead = song.AddBus("lead", 0.3, 0.1, 0.3, 0.3);
  const int bells = song.AddBus("bells", 0.2, 0.5, 0.4, 0.3);
  const int fx = song.AddBus("fx", 0.18, 0.0, 0.4, 0.0);

  const Patch leadPatch = LeadPatch(), padPatch = PadPatch(), bassPatch = BassPatch();
  Patch arpPatch = ArpPatch();
  std::vector<double> kickTimes;
  unsigned seed = 1;

  for (int bar = 0; bar < plan.bars; ++bar) {
    const bool breakdown = bar >= kBreakStart && bar < kClimaxStart;
    const bool outro = bar >= kOutroStart;
    const bool lastBar = bar == plan.bars - 1;
    // The piece comes home to A minor on its last bar.
    const std::string chordName = lastBar ? "A3m" : (breakdown ? kBreakChords[bar % 4] : kMainChords[bar % 4]);
    const std::vector<int> chord = Chord(chordName);
    const double barLength = 4 * song.SecondsPerBeat();

    // Pad: the chord held through the bar below the melody's register, the
    // final one ringing out.
    double padHold = lastBar ? barLength * 2.0 : barLength * 0.98;
    double padVelocity = bar < 4 ? 0.5 + 0.1 * bar : (breakdown ? 0.95 : 0.8);
    for (int note : chord) RenderNote(song.Bus(pad), padPatch, song.At(bar), padHold, note, padVelocity, seed++);

    // Arpeggio: sixteenths up and down the chord over two octaves; its filter
    // opens through the intro and again through the climax.
    if (!lastBar) {
      const int pattern[] = {0, 1, 2, 3, 4, 3, 2, 1};
      std::vector<int> tones = chord;
      tones.resize(3);
      tones.push_back(chord[0] + 12);
      tones.push_back(chord[1] + 12);
      double open = bar < kThemeStart ? bar / 8.0 : (breakdown ? 0.3 : (bar >= kClimaxStart ? 1.0 : 0.7));
      arpPatch.cutoff = 500 + 1400 * open;
      for (int step = 0; step < 16; ++step) {
        double velocity = (step % 4 == 0 ? 0.9 : 0.65) * (outro ? 1.0 - (bar - kOutroStart) * 0.2 : 1.0);
        RenderNote(song.Bus(arp), arpPatch, song.At(bar, step * 0.25), song.SecondsPerBeat() * 0.2,
                   tones[pattern[step % 8]] + 12, velocity, seed++);
      }
    }

    // Bass: long notes in the intro and breakdown, driving octave eighths in
    // the theme and climax.
    const int root = chord[0] - 12;
    if (bar >= 4 && !outro) {
      if (bar < kThemeStart || breakdown) {
        RenderNote(song.Bus(bass), bassPatch, song.At(bar), barLength * 0.9, root, 0.8, seed++);
      } else {
        for (int eighth = 0; eighth < 8; ++eighth) {
          int note = root + (eighth % 2 == 1 ? 12 : 0);
          RenderNote(song.Bus(bass), bassPatch, song.At(bar, eighth * 0.5), song.SecondsPerBeat() * 0.4, note,
                     eighth % 2 ? 0.7 : 0.9, seed++);
        }
      }
    } else if (outro && !lastBar) {
      RenderNote(song.Bus(bass), bassPatch, song.At(bar), barLength * 0.9, root, 0.6, seed++);
    } else if (lastBar) {
      RenderNote(song.Bus(bass), bassPatch, song.At(bar), barLength * 1.5, root, 0.7, seed++);
    }

    // Drums.
    const bool fullBeat = (bar >= kThemeStart && bar < kBreakStart) || (bar >= kClimaxStart && bar < kOutroStart);
    const bool buildBeat = (bar >= 6 && bar < kThemeStart) || (bar >= kBreakStart + 4 && bar < kClimaxStart);
    if (fullBeat || buildBeat) {
      for (int beat = 0; beat < 4; ++beat) {
        RenderKick(song.Bus(kick), song.At(bar, beat), 1.0, 1.0);
        kickTimes.push_back(song.At(bar, beat));
      }
    }
    if (fullBeat) {
      RenderClap(song.Bus(snare), song.At(bar, 1), 0.8, seed++);
      RenderSnare(song.Bus(snare), song.At(bar, 1), 0.6, seed++);
      RenderClap(song.Bus(snare), song.At(bar, 3), 0.8, seed++);
      RenderSnare(song.Bus(snare), song.At(bar, 3), 0.6, seed++);
    }
    if (fullBeat || (bar >= 4 && bar < kThemeStart) || breakdown) {
      for (int eighth = 0; eighth < 8; ++eighth) {
        bool offbeat = eighth % 2 == 1;
        bool open = offbeat && eighth == 7 && bar % 2 == 1 && fullBeat;
        if (fullBeat || offbeat)
          RenderHat(song.Bus(hats), song.At(bar, eighth * 0.5), offbeat ? 0.8 : 0.45, open ? 0.8 : 0.0, seed++);
      }
    }
    // A snare roll into the climax, and risers into the theme and climax.
    if (bar == kClimaxStart - 1) {
      for (int step = 0; step < 16; ++step)
        RenderSnare(song.Bus(snare), song.At(bar, step * 0.25), 0.25 + 0.045 * step, seed++);
    }
    if (bar == kThemeStart - 2 || bar == kClimaxStart - 2) RenderRiser(song.Bus(fx), song.At(bar), 2 * barLength, 0.9, seed++);
    if (bar == kThemeStart || bar == kClimaxStart || bar == kBreakStart)
      RenderHat(song.Bus(hats), song.At(bar), 1.0, 1.0, seed++);  // a crash marks the section
  }

  // Melodies.
  PlayLine(song, lead, leadPatch, kTheme, kThemeStart, 0.85, 0, 100);
  PlayLine(song, lead, leadPatch, kTheme, kThemeStart + 8, 0.9, 0, 200);
  for (const NoteEvent& e : ParseLine(kTheme))  // the second time, glass doubles it an octave up
    RenderBell(song.Bus(bells), song.At(kThemeStart + 8, e.beat), e.note + 12, 0.3, 1.2, 0.8);
  for (int half = 0; half < 2; ++half)
    for (const NoteEvent& e : ParseLine(kBreakTheme))
      RenderBell(song.Bus(bells), song.At(kBreakStart, e.beat), e.note + (half ? 12 : 0), half ? 0.4 : 0.8,
                 e.length * song.SecondsPerBeat() + 1.0, half ? 0.6 : 1.0);
  PlayLine(song, lead, leadPatch, kVariation, kClimaxStart, 0.8, 0, 500);
  // Then the theme itself an octave up, doubled below: the peak of the piece.
  PlayLine(song, lead, leadPatch, kTheme, kClimaxStart + 8, 0.75, 12, 600);
  PlayLine(song, lead, leadPatch, kTheme, kClimaxStart + 8, 0.5, 0, 700);
  for (const NoteEvent& e : ParseLine(kTheme))
    if (e.beat < 16) RenderBell(song.Bus(bells), song.At(kOutroStart, e.beat), e.note, 0.5, 1.6, 0.7);
  RenderBell(song.Bus(bells), song.At(plan.bars - 1), 81, 0.6, 4.0, 0.8);

  song.Duck(pad, kickTimes, 0.55, 0.3);
  song.Duck(bass, kickTimes, 0.3, 0.12);
  song.Duck(arp, kickTimes, 0.3, 0.2);
  return song.Mix(0.89);
}

}  // namespace audio
