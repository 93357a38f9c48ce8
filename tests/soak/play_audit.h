// What must hold between any two steps of play, checked from the outside: the
// render list against the flags of every element the game owns, and the wave's
// counters against the objects they count.
#pragma once

#include <string>
#include <vector>

class Element;

struct AuditResult {
  std::vector<std::string> faults;
  // Elements on the list that are none of the game's known objects (the quit
  // question's box and its parts while it is open).
  std::vector<Element*> strangers;
  int listed = 0;  // elements reached in the tree
  bool Clean() const { return faults.empty(); }
  std::string Describe() const;
};

// Every element with static storage the game may put on the render list, plus
// the enemies of the array and the boss's explosions.
std::vector<Element*> KnownElements();

// Walks the render list's tree: each element reached once, flagged on the
// list, in layer order; hovered and pressed elements on the list. Every known
// element is reached exactly when its flag says so, and off-list elements carry
// no links.
AuditResult AuditRenderList();

// Where the game stands, for the checks that depend on it.
enum class PlayPhase {
  kOutOfGame,     // before a game is set up, or after its objects came off
  kBetweenWaves,  // a game is on, no wave is spawned (wave intros)
  kInWave,        // from a wave's spawning until it is cleared or the game is over
  kWaveCleared,   // the pause after a cleared wave: the next human has arrived
                  // but is only shown when the next wave is spawned
};

// The render list audit plus the counters: liveEnemies, pendingSpawns and
// humansAlive match what they count, nothing is negative, dead things are off
// the screen. During a game the life and bomb icons match lives and bombs; in
// a wave every living enemy and present human is shown.
AuditResult AuditPlay(PlayPhase phase);

// True when the strangers are exactly the quit question's eight elements.
bool StrangersAreTheQuitQuestion(const AuditResult& result);
// The strangers are the paused game's two lines: "Paused" and how to play on.
bool StrangersAreThePause(const AuditResult& result);
