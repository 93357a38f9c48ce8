#include "soak/play_audit.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <sstream>
#include <unordered_set>

#include "entities/entity.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "scene/text_label.h"
#include "entities/play_objects.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"

namespace {

template <typename T, size_t N>
void AddAll(std::vector<Element*>& out, T (&objects)[N]) {
  for (T& object : objects) out.push_back(&object);
}

std::string Name(const Element* e) {
  std::ostringstream text;
  text << '"' << e->GetName() << "\" (id " << e->GetId() << ", layer " << e->GetLayer() << ", " << e << ")";
  return text.str();
}

void Fault(AuditResult& result, const std::string& text) {
  // A broken tree can repeat the same complaint for hundreds of elements.
  if (result.faults.size() < 20) result.faults.push_back(text);
}

void CheckNonNegative(AuditResult& result, const char* what, int value) {
  if (value < 0) Fault(result, std::string(what) + " is negative: " + std::to_string(value));
}

}  // namespace

std::string AuditResult::Describe() const {
  std::ostringstream text;
  for (const std::string& fault : faults) text << "  " << fault << "\n";
  return text.str();
}

std::vector<Element*> KnownElements() {
  std::vector<Element*> known = {&splashPicture, &logoVe,         &logoVarn,     &logoHolt,       &logoSubtitle,
                                 &playButton,    &controlsButton, &helpButton,   &quitButton,     &playBox,
                                 &controlsBox,   &helpBox,        &quitBox,      &worldMap,       &scanner,
                                 &ship,          &shipExplosion,  &boss,         &bigLabel,       &scoreLabel,
                                 &middleLabel,   &bottomLabel,    &bestScoreLabel, &promoLabel};
  AddAll(known, explosions);
  AddAll(known, implosions);
  AddAll(known, bullets);
  AddAll(known, missiles);
  AddAll(known, humans);
  AddAll(known, lifeIcons);
  AddAll(known, bombIcons);
  AddAll(known, highScoreValueLabels);
  AddAll(known, highScoreNameLabels);
  AddAll(known, storyLabels);
  AddAll(known, controlNameLabels);
  AddAll(known, controlKeyLabels);
  for (int i = 0; i < Boss::kExplosions; ++i) known.push_back(&boss.GetExplosion(i));
  for (int i = 0; i < enemyCount && i < kMaxEnemies; ++i)
    if (enemies[i]) known.push_back(enemies[i]);
  return known;
}

AuditResult AuditRenderList() {
  AuditResult result;
  RenderList& list = stage.Elements();

  // Depth-first walk with the layer bounds each subtree must keep: left of a
  // node strictly lower layers, right of it equal or higher.
  struct Visit {
    Element* node;
    int low, high;  // low <= layer < high
  };
  std::unordered_set<const Element*> reached;
  std::vector<Visit> pending;
  if (list.Root()) pending.push_back({list.Root(), INT_MIN, INT_MAX});
  while (!pending.empty()) {
    const Visit visit = pending.back();
    pending.pop_back();
    Element* e = visit.node;
    if (!reached.insert(e).second) {
      Fault(result, "reachable twice in the render list: " + Name(e));
      continue;  // a cycle would otherwise never end
    }
    if (!e->IsOnList()) Fault(result, "in the render list without its flag: " + Name(e));
    if (e->GetLayer() < visit.low || e->GetLayer() >= visit.high)
      Fault(result, "out of layer order in the render list: " + Name(e));
    if (e->GetLeft()) pending.push_back({e->GetLeft(), visit.low, e->GetLayer()});
    if (e->GetRight()) pending.push_back({e->GetRight(), e->GetLayer(), visit.high});
  }
  result.listed = static_cast<int>(reached.size());
  // (Count walks the tree itself: only safe to ask once the tree is a tree.)
  if (result.Clean() && list.Count() != result.listed)
    Fault(result, "the list counts " + std::to_string(list.Count()) + " elements, the walk reached " +
                      std::to_string(result.listed));

  const std::vector<Element*> known = KnownElements();
  std::unordered_set<const Element*> knownSet(known.begin(), known.end());
  if (knownSet.size() != known.size()) Fault(result, "an object is known twice (the enemy array repeats a pointer?)");
  int flagged = 0;
  for (Element* e : known) {
    const bool found = reached.count(e) != 0;
    if (e->IsOnList()) {
      ++flagged;
      if (!found) Fault(result, "flagged on the list but not in the tree: " + Name(e));
    } else {
      if (found) Fault(result, "in the tree but not flagged: " + Name(e));
      if (e->GetLeft() || e->GetRight()) Fault(result, "off the list but still linked: " + Name(e));
    }
  }
  for (const Element* e : reached)
    if (!knownSet.count(e)) result.strangers.push_back(const_cast<Element*>(e));
  if (result.listed - static_cast<int>(result.strangers.size()) != flagged)
    Fault(result, std::to_string(flagged) + " known elements are flagged, " +
                      std::to_string(result.listed - static_cast<int>(result.strangers.size())) +
                      " of them are in the tree");

  if (list.Hovered() && !reached.count(list.Hovered()))
    Fault(result, "the hovered element is not on the list: " + Name(list.Hovered()));
  if (list.Pressed() && !reached.count(list.Pressed()))
    Fault(result, "the pressed element is not on the list: " + Name(list.Pressed()));
  return result;
}

AuditResult AuditPlay(PlayPhase phase) {
  AuditResult result = AuditRenderList();

  if (enemyCount < 0 || enemyCount > kMaxEnemies) {
    Fault(result, "enemy count out of range: " + std::to_string(enemyCount));
    return result;
  }
  int alive = 0;
  for (int i = 0; i < kMaxEnemies; ++i) {
    Entity* e = enemies[i];
    if (i >= enemyCount) {
      if (e) Fault(result, "slot " + std::to_string(i) + " beyond the enemy count still holds an enemy");
      continue;
    }
    if (!e) continue;
    if (e->IsDead()) {
      if (e->IsOnList()) Fault(result, "a dead enemy is on the screen: slot " + std::to_string(i));
      continue;
    }
    ++alive;
    if ((phase == PlayPhase::kInWave || phase == PlayPhase::kWaveCleared) && !e->IsOnList())
      Fault(result, "a living enemy is missing from the screen: slot " + std::to_string(i));
  }
  if (world->liveEnemies != alive)
    Fault(result, "liveEnemies is " + std::to_string(world->liveEnemies) + ", the array holds " + std::to_string(alive) +
                      " living enemies");

  int converging = 0;
  for (Implosion& implosion : implosions) converging += implosion.IsOnList() ? 1 : 0;
  if (world->pendingSpawns != converging)
    Fault(result, "pendingSpawns is " + std::to_string(world->pendingSpawns) + ", " + std::to_string(converging) +
                      " spawn-ins are running");

  int present = 0;
  for (Human& human : humans) {
    const int state = human.GetState();
    if (state != Human::kPresent && state != Human::kWaiting && state != Human::kDead)
      Fault(result, "a human in an unknown state " + std::to_string(state));
    if (state == Human::kPresent) {
      ++present;
      if (phase == PlayPhase::kInWave && !human.IsOnList()) Fault(result, "a present human is not shown");
    } else if (human.IsOnList()) {
      Fault(result, "a human that is not present is shown (state " + std::to_string(state) + ")");
    }
  }
  if (world->humansAlive != present)
    Fault(result, "humansAlive is " + std::to_string(world->humansAlive) + ", " + std::to_string(present) +
                      " humans are present");

  CheckNonNegative(result, "liveEnemies", world->liveEnemies);
  CheckNonNegative(result, "pendingSpawns", world->pendingSpawns);
  CheckNonNegative(result, "humansAlive", world->humansAlive);
  CheckNonNegative(result, "lives", game.lives);
  CheckNonNegative(result, "bombs", game.bombs);
  CheckNonNegative(result, "score", game.score);
  CheckNonNegative(result, "the death counter", game.waveProgress.deathCounter);
  CheckNonNegative(result, "the cleared counter", game.waveProgress.clearedCounter);
  CheckNonNegative(result, "the reinforcement counter", game.waveProgress.reinforcementCounter);
  for (int t = 0; t < kEnemyTypes; ++t)
    CheckNonNegative(result, ("waveTypeCounts[" + std::to_string(t) + "]").c_str(), world->waveTypeCounts[t]);
  if (game.waveIndex < 0 || game.waveIndex >= kWaveCount) Fault(result, "wave index out of range: " + std::to_string(game.waveIndex));

  if (phase != PlayPhase::kOutOfGame) {
    for (int i = 0; i < 4; ++i) {
      if (lifeIcons[i].IsOnList() != (i < game.lives))
        Fault(result, "life icon " + std::to_string(i) + (lifeIcons[i].IsOnList() ? " shown" : " missing") +
                          " with " + std::to_string(game.lives) + " lives");
      if (bombIcons[i].IsOnList() != (i < game.bombs))
        Fault(result, "bomb icon " + std::to_string(i) + (bombIcons[i].IsOnList() ? " shown" : " missing") +
                          " with " + std::to_string(game.bombs) + " bombs");
    }
  }
  return result;
}

bool StrangersAreTheQuitQuestion(const AuditResult& result) {
  // The box, its title, its question line and picture, and the two buttons
  // with their captions, all above everything else.
  if (result.strangers.size() != 8) return false;
  int boxes = 0;
  for (const Element* e : result.strangers) {
    if (e->GetLayer() < 31) return false;
    if (std::strcmp(e->GetName(), "MessageBox") == 0) ++boxes;
  }
  return boxes == 1;
}

bool StrangersAreThePause(const AuditResult& result) {
  if (result.strangers.size() != 2) return false;
  bool paused = false, hint = false;
  for (const Element* e : result.strangers) {
    const TextLabel* label = dynamic_cast<const TextLabel*>(e);
    if (!label || !label->GetText()) return false;
    paused = paused || std::strcmp(label->GetText(), "Paused") == 0;
    hint = hint || std::strstr(label->GetText(), "to play on") != nullptr;
  }
  return paused && hint;
}
