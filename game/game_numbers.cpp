#include "game/game_numbers.h"

#include <cinttypes>
#include <cstdio>

#include "game/game_state.h"

GameNumbers gameNumbers;

namespace {
const char* const kKindNames[kEnemyTypes] = {"lander", "mutant", "fighter", "bouncer", "sentinel", "pod",
                                             "swarmer", "bomber", "mine", "baiter", "phantom", "orbiter"};
}  // namespace

int GameNumbers::EnemiesDestroyed() const {
  int total = bosses;
  for (int count : enemies) total += count;
  return total;
}

int GameNumbers::HitPercent() const {
  if (shots <= 0) return 0;
  return static_cast<int>(100LL * hits / shots);
}

void CountShot() { gameNumbers.shots += 1; }

void CountHit() { gameNumbers.hits += 1; }

void CountEnemyDestroyed(int type) {
  if (type >= 0 && type < kEnemyTypes) gameNumbers.enemies[type] += 1;
}

void CountBomb() { gameNumbers.bombs += 1; }

void CountLifeLost() { gameNumbers.livesLost += 1; }

void CountWaveBegun(int wave) {
  if (wave > gameNumbers.highestWave) gameNumbers.highestWave = wave;
}

void CountPlayEvent(PlayEvent event) {
  switch (event) {
    case PlayEvent::kHumanRescued:
      gameNumbers.humansRescued += 1;
      break;
    case PlayEvent::kHumanLost:
      gameNumbers.humansLost += 1;
      break;
    case PlayEvent::kBossHit:
      gameNumbers.hits += 1;
      break;
    case PlayEvent::kBossDestroyed:
      gameNumbers.bosses += 1;
      break;
  }
}

GameSummary SummariseGame(bool practice, int startWave) {
  GameSummary summary;
  summary.score = game.score;
  summary.wave = game.waveIndex + 1;
  summary.startWave = startWave;
  summary.practice = practice;
  summary.steps = game.steps > 0 ? static_cast<uint32_t>(game.steps) : 0;
  summary.numbers = gameNumbers;
  return summary;
}

int64_t StepsToTenths(uint64_t steps) {
  // Five steps make a tenth; a fraction of one is never exactly a half.
  const uint64_t tenths = steps / 5 + (steps % 5 >= 3 ? 1 : 0);
  return tenths > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(tenths);
}

std::string FormatPlayTime(uint64_t steps) {
  // Rounded from the steps themselves: 59.48 s is 0:59, not 59.5 rounded up.
  const uint64_t seconds = steps / 50 + (steps % 50 >= 25 ? 1 : 0);
  char text[48];
  if (seconds < 3600)
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
  else
    std::snprintf(text, sizeof text, "%" PRIu64 ":%02d:%02d", seconds / 3600, static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
  return text;
}

const char* EnemyKindName(int type) { return type >= 0 && type < kEnemyTypes ? kKindNames[type] : "unknown"; }

std::string EnemyCountText(int type, int count) {
  return std::to_string(count) + " " + EnemyKindName(type) + (count == 1 ? "" : "s");
}

std::string GameSummaryJson(const GameSummary& summary) {
  const GameNumbers& n = summary.numbers;
  const int64_t tenths = StepsToTenths(summary.steps);
  char text[256];
  std::snprintf(text, sizeof text,
                "{\"score\": %d, \"wave\": %d, \"start_wave\": %d, \"steps\": %u, \"seconds\": %" PRId64
                ".%d, \"shots\": %d, \"hits\": %d, \"enemies\": {",
                summary.score, summary.wave, summary.startWave, summary.steps, tenths / 10,
                static_cast<int>(tenths % 10), n.shots, n.hits);
  std::string json = text;
  for (int type = 0; type < kEnemyTypes; ++type) {
    std::snprintf(text, sizeof text, "\"%s\": %d, ", kKindNames[type], n.enemies[type]);
    json += text;
  }
  std::snprintf(text, sizeof text,
                "\"boss\": %d}, \"humans_rescued\": %d, \"humans_lost\": %d, \"bombs\": %d, \"lives_lost\": %d}",
                n.bosses, n.humansRescued, n.humansLost, n.bombs, n.livesLost);
  return json + text;
}
