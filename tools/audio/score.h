// Writing music down in code: melodies as short text lines, chords by name.
#pragma once
#include <string>
#include <vector>

namespace audio {

struct NoteEvent {
  double beat;    // from the start of the line
  double length;  // in beats
  int note;       // MIDI note number
};

// Parses a line like "E5:1 A5:.5 r:.5 C#6:2": a note name (A..G, optional #
// or b, octave digit) or r for a rest, then its length in beats. Stops the
// program with a message on a malformed line: a typo must not become music.
std::vector<NoteEvent> ParseLine(const std::string& text);

// MIDI note of a name such as "F#3"; -1 if it is not one.
int NoteNumber(const std::string& name);

// Notes of a chord written "A2m", "F2", "G2maj7", "B2m7", "A2sus4", "D3add9",
// "E2" (root with octave, then the quality).
std::vector<int> Chord(const std::string& name);

}  // namespace audio
