#include "tools/audio/score.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace audio {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& where) {
  std::fprintf(stderr, "score: %s in \"%s\"\n", what.c_str(), where.c_str());
  std::exit(1);
}

// Splits "F#3maj7" into the note "F#3" and the rest "maj7".
std::size_t NoteNameLength(const std::string& text) {
  std::size_t i = 1;
  if (i < text.size() && (text[i] == '#' || text[i] == 'b')) ++i;
  if (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i;
}

}  // namespace

int NoteNumber(const std::string& name) {
  static const int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.empty() || name[0] < 'A' || name[0] > 'G') return -1;
  int semitone = kSteps[name[0] - 'A'];
  std::size_t i = 1;
  if (i < name.size() && name[i] == '#') ++semitone, ++i;
  else if (i < name.size() && name[i] == 'b') --semitone, ++i;
  if (i + 1 != name.size() || name[i] < '0' || name[i] > '9') return -1;
  int octave = name[i] - '0';
  return 12 * (octave + 1) + semitone;
}

std::vector<NoteEvent> ParseLine(const std::string& text) {
  std::vector<NoteEvent> events;
  std::istringstream words(text);
  std::string word;
  double beat = 0.0;
  while (words >> word) {
    std::size_t colon = word.find(':');
    if (colon == std::string::npos) Fail("missing length", word);
    std::string name = word.substr(0, colon);
    char* end = nullptr;
    double length = std::strtod(word.c_str() + colon + 1, &end);
    if (*end != '\0' || length <= 0.0) Fail("bad length", word);
    if (name != "r") {
      int note = NoteNumber(name);
      if (note < 0) Fail("bad note", word);
      events.push_back({beat, length, note});
    }
    beat += length;
  }
  return events;
}

std::vector<int> Chord(const std::string& name) {
  std::size_t split = NoteNameLength(name);
  int root = NoteNumber(name.substr(0, split));
  if (root < 0) Fail("bad chord root", name);
  std::string quality = name.substr(split);
  std::vector<int> steps;
  if (quality.empty()) steps = {0, 4, 7};
  else if (quality == "m") steps = {0, 3, 7};
  else if (quality == "m7") steps = {0, 3, 7, 10};
  else if (quality == "maj7") steps = {0, 4, 7, 11};
  else if (quality == "7") steps = {0, 4, 7, 10};
  else if (quality == "sus4") steps = {0, 5, 7};
  else if (quality == "add9") steps = {0, 4, 7, 14};
  else if (quality == "m9") steps = {0, 3, 7, 10, 14};
  else if (quality == "6") steps = {0, 4, 7, 9};
  else Fail("unknown chord quality", name);
  std::vector<int> notes;
  for (int s : steps) notes.push_back(root + s);
  return notes;
}

}  // namespace audio
