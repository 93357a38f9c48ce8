#include "entities/lander.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/score_sink.h"
#include "entities/world.h"
#include "entities/enemy_roster.h"
#include "entities/human.h"
#include "entities/missile.h"
#include "entities/play_events.h"
#include "entities/play_objects.h"
#include "scene/view.h"

namespace {

constexpr int kRescueBonus = 500;
constexpr int kSearchHeight = 500;  // below this a descending lander starts looking
constexpr int kFloor = 672;
constexpr int kSeizeReach = 16;     // centre to the human's left edge, exclusive

}  // namespace

void Lander::Init(int interval, int startFrame, int ticks, int px, int py, int centre, int layerValue,
                  const char* text) {
  Entity::Init(interval, startFrame, ticks, px, py, centre, layerValue, text);
  state = kDescending;
  carried = -1;
  SetDrift(0, 3);
}

void Lander::Kill() {
  if (dead) return;
  if (carried >= 0 && carried < kHumanCount) {
    // The bonus is paid for the last human seized even after it was lost;
    // only one still held is a rescue.
    if ((state == kDescendingOntoHuman || state == kLifting) && humans[carried].GetState() == Human::kPresent)
      ReportPlayEvent(PlayEvent::kHumanRescued);
    humans[carried].SetDrift(0, 5);
    // Straight into the total: the shown score catches up at the next AddScore,
    // which for a shot lander follows at once with its own points.
    EarnPoints(kRescueBonus);
  }
  Entity::Kill();
}

void Lander::Mutate() {
  carried = -1;
  Kill();
}

void Lander::Place(int, int index) {
  const int n = world->waveTypeCounts[kLander];
  if (n <= 0) {
    SetPosition(-400, -400);
    return;
  }
  // Spread evenly over the world from its middle, 300, 600 or 900 px up.
  int px = index * (kWorldWidth / n) + 2048;
  while (px > kWorldWidth) px -= kWorldWidth;
  SetPosition(px, -300 * (1 + index % 3));
}

void Lander::GetFrames(int* count, BITMAP** list) {
  static const int kOrder[6] = {0, 1, 2, 3, 2, 1};
  *count = 6;
  for (int i = 0; i < 6; ++i) list[i] = engine.Bitmap(dat::kLanderFrame0 + kOrder[i]);
}

void Lander::Think() {
  BITMAP* shown = GetFrameBitmap();
  const int w = shown ? shown->w : 0, h = shown ? shown->h : 0;

  fireCounter += 1;
  if (fireCounter > fireInterval) {
    fireCounter = 0;
    if (RandomNumber() % 6 == 0) {
      int dx = 2 * (RandomNumber() % 9) - 8;
      int dy = 2 * (RandomNumber() % 9) - 8;
      if (dx == 0 && dy == 0) dx = dy = -4;
      FireMissile(0, x + w / 2, y, dx, dy);
    }
  }

  // The human it holds (or is about to hold) was shot: drop back down and look
  // again. Only while holding: a lander that has gone back to searching must
  // not be sent down again every step by the same lost human. `carried` keeps
  // its value until another human is seized.
  if ((state == kDescendingOntoHuman || state == kLifting) && carried >= 0 && carried < kHumanCount &&
      humans[carried].GetState() != Human::kPresent) {
    state = kDescending;
    SetDrift(0, 2);
  }

  switch (state) {
    case kDescending:
      if (y > kSearchHeight) {
        state = kSearching;
        SetDrift(RandomNumber() % 2 == 0 ? 2 : -2, 0);
      }
      break;
    case kSearching: {
      const int chance = 2 * fireInterval > 0 ? 2 * fireInterval : 1;
      // Every human that passes replaces the one before it; those passed over
      // stay standing where they were seized.
      for (int j = 0; j < kHumanCount; ++j) {
        Human& human = humans[j];
        if (!human.IsOnList()) continue;
        if (std::abs(x + w / 2 - human.GetX()) < kSeizeReach && RandomNumber() % chance == 0) {
          human.SetDrift(0, 0);
          state = kDescendingOntoHuman;
          carried = j;
          SetDrift(0, 2);
          engine.PlaySample(dat::kSndSeize, 0);
        }
      }
      break;
    }
    case kDescendingOntoHuman:
      // Its bottom edge, less 5 px, has passed the human's top.
      if (carried >= 0 && carried < kHumanCount && humans[carried].GetY() < h + y - 5) {
        state = kLifting;
        humans[carried].SetDrift(0, -3);
        SetDrift(0, -3);
      }
      break;
    case kLifting:
      if (y < 1) {
        const int j = carried;
        carried = -1;
        // If that was the last human, this lander has already mutated with the
        // rest; otherwise it turns into a mutant here. Either way, exactly one.
        if (j >= 0 && j < kHumanCount) humans[j].Die();
        if (!dead) {
          Kill();
          EnterEnemy(kMutant, x, y);
          world->waveTypeCounts[kMutant] += 1;
        }
      }
      break;
  }
}

void Lander::Move() {
  x += driftX;
  y += driftY;
  // No upper limit: a lifting lander ends its climb at the top by itself.
  if (y > kFloor) {
    y = kFloor;
    driftY = -driftY;
  }
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
}

int Lander::ScannerColour() { return makecol(0, 255, 0); }
