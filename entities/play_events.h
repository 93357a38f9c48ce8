// What happens in play that the game counts for the player (its numbers at
// the end, the record of all games) and its rules never read: the game
// installs where the reports go, as it does for the points.
#pragma once

enum class PlayEvent {
  kHumanRescued,  // a lander holding a human shot
  kHumanLost,     // a human shot, or carried off the top of the world
  kBossHit,       // a beam struck one of the boss's parts
  kBossDestroyed, // the boss's head gave its last hit
};

void ReportPlayEvent(PlayEvent event);
// Null: the reports go nowhere.
void SetPlayEventSink(void (*sink)(PlayEvent event));
