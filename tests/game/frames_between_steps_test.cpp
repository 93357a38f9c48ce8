// Frames shown between the game's steps, in real play: the paced loop at a
// display of 60 and 144 refreshes a second (a fake clock), the world's
// picture read back from every frame presented, and single elements drawn
// alone at several moments between the same two steps.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/data_index.h"
#include "engine/input.h"
#include "engine/settings_store.h"
#include "entities/play_objects.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "replay/replay_file.h"
#include "replay/replay_player.h"
#include "scene/paced_loop.h"
#include "scene/stage.h"
#include "scene/step_trail.h"
#include "scene/view.h"
#include "support/game_fixture.h"

namespace {

// The horizontal shift (positive: moved left) that best lays a band of the
// landscape of `after` over `before`, and how well it fits.
struct Shift {
  int pixels = 0;
  double mismatch = 0;
};

Shift LandscapeShift(const BITMAP* before, const BITMAP* after) {
  constexpr int kTop = 600, kRows = 6, kMax = 40;
  Shift best;
  best.mismatch = -1;
  for (int s = -kMax; s <= kMax; ++s) {
    long long total = 0, count = 0;
    for (int y = kTop; y < kTop + kRows; ++y) {
      const uint16_t* a = reinterpret_cast<const uint16_t*>(before->line[y]);
      const uint16_t* b = reinterpret_cast<const uint16_t*>(after->line[y]);
      for (int x = kMax; x < before->w - kMax; ++x) {
        total += a[x + s] != b[x];
        ++count;
      }
    }
    const double mismatch = static_cast<double>(total) / static_cast<double>(count);
    if (best.mismatch < 0 || mismatch < best.mismatch) best = {s, mismatch};
  }
  return best;
}

// The leftmost drawn column of an element drawn alone (-1 when nothing is).
int LeftEdgeDrawn(Element& element, double fraction) {
  BITMAP* alone = create_bitmap(1024, 768);
  clear_to_color(alone, bitmap_mask_color(alone));
  StepTrail::DrawBetween(fraction);
  element.Draw(alone);
  StepTrail::DrawAsTheyStand();
  int left = -1;
  for (int x = 0; x < alone->w && left < 0; ++x)
    for (int y = 0; y < alone->h; ++y)
      if (getpixel(alone, x, y) != bitmap_mask_color(alone)) {
        left = x;
        break;
      }
  destroy_bitmap(alone);
  return left;
}

class FramesBetweenStepsTest : public GameFixture {
 protected:
  void TearDown() override {
    platform.SimulateRefresh(0);
    platform.OnWait(nullptr);
    GameFixture::TearDown();
  }

  void StartFlying(int viewX) {
    SetUpGame();
    input.SetGameKeys(settingsStore.Current().keys, kControlCount);
    StartWave();
    world->scroll.x = viewX;
    ship.SetPosition(viewX + 200, 300);
    platform.Hold(KEY_RIGHT);
  }

  // The frames presented while `steps` steps of play run at a display of
  // `hz`: the landscape's shift from each frame to the next.
  std::vector<Shift> FlyAt(double hz, int steps) {
    platform.KeepFrames(true);
    platform.SimulateRefresh(std::llround(1e9 / hz));
    std::vector<Shift> shifts;
    BITMAP* before = create_bitmap(1024, 768);
    bool first = true;
    platform.OnWait([&](long) {
      if (!platform.LastFrame()) return;
      if (!first) shifts.push_back(LandscapeShift(before, platform.LastFrame()));
      blit(platform.LastFrame(), before, 0, 0, 0, 0, 1024, 768);
      first = false;
    });
    int taken = 0;
    RunPacedLoop([&] {
      LogicStep();
      // Out of harm's way: the flight is what is measured.
      ship.SetDestroyed(0);
      game.waveProgress.deathCounter = 0;
      return ++taken >= steps;
    });
    platform.OnWait(nullptr);
    destroy_bitmap(before);
    return shifts;
  }
};

}  // namespace

TEST_F(FramesBetweenStepsTest, ASteadyFlightMovesTheWorldEvenlyAtEveryRefresh) {
  for (double hz : {60.0, 144.0}) {
    StartFlying(1000);
    // Up to full speed first (16 px a step, the view with it).
    RunLogicSteps(60);
    const std::vector<Shift> shifts = FlyAt(hz, 150);
    const double expected = 16 * 50 / hz;
    ASSERT_GE(shifts.size(), static_cast<size_t>(150 * hz / 50 - 2)) << hz << " Hz: a frame at every refresh";
    double sum = 0;
    for (size_t i = 1; i < shifts.size(); ++i) {
      EXPECT_LT(shifts[i].mismatch, 0.1) << hz << " Hz, frame " << i;
      EXPECT_GE(shifts[i].pixels, 1) << hz << " Hz, frame " << i << ": no frame repeats the one before";
      EXPECT_LE(std::fabs(shifts[i].pixels - expected), 1.0) << hz << " Hz, frame " << i;
      sum += shifts[i].pixels;
    }
    EXPECT_NEAR(sum / (shifts.size() - 1), expected, 0.2) << hz << " Hz";
    kav_test::ResetWorld();
  }
}

TEST_F(FramesBetweenStepsTest, TheWorldsWrapIsFlownAcrossNeverSweptBack) {
  // The view crosses 4096 within the first steps measured.
  StartFlying(4096 - 60 * 16 - 100);
  RunLogicSteps(60);
  ASSERT_GT(world->scroll.x, 3900);
  const std::vector<Shift> shifts = FlyAt(60, 40);
  ASSERT_LT(world->scroll.x, 600) << "the view wrapped";
  for (size_t i = 1; i < shifts.size(); ++i) {
    EXPECT_LT(shifts[i].mismatch, 0.1) << "frame " << i;
    EXPECT_NEAR(shifts[i].pixels, 13.3, 1.0) << "frame " << i;
  }
}

TEST_F(FramesBetweenStepsTest, ANewShotIsDrawnAtTheShipNeverSweptFromWhereItLastFlew) {
  SetUpGame();
  input.SetGameKeys(settingsStore.Current().keys, kControlCount);
  StartWave();
  RunLogicSteps(5);
  // The beam that will be taken flew far off before.
  Bullet& beam = bullets[game.nextBullet];
  stage.Show(&beam);
  beam.SetPosition(ship.GetX() - 350 + 900, ship.GetY() + 48);
  RunLogicSteps(2);
  platform.Hold(KEY_Z);
  RunLogicSteps(1);
  platform.Hold(KEY_Z, false);
  ASSERT_TRUE(beam.IsOnList());
  const int at = LeftEdgeDrawn(beam, 1.0);
  ASSERT_GE(at, 0);
  for (double f : {0.0, 0.25, 0.5, 0.75}) EXPECT_EQ(LeftEdgeDrawn(beam, f), at) << "just fired, at " << f;
  // One step on, it flies on its way through the world: 30 px a step (the
  // view moves too, so world places are compared).
  const int atInWorld = at + ViewX;
  RunLogicSteps(1);
  EXPECT_EQ(LeftEdgeDrawn(beam, 1.0) + ViewX - atInWorld, Bullet::kSpeed);
  EXPECT_EQ(LeftEdgeDrawn(beam, 0.5) + ViewX - atInWorld, Bullet::kSpeed / 2);
}

TEST_F(FramesBetweenStepsTest, TheShipBackAfterALostLifeIsDrawnAtItsStartNeverOnTheWayThere) {
  StartFlying(1000);
  RunLogicSteps(40);
  platform.ReleaseAllKeys();
  ship.Explode();
  // The life is lost after the death count; the ship and the view come back.
  int guard = 0;
  while (!ship.IsOnList() || ship.IsDestroyed()) {
    LogicStep();
    ASSERT_LT(++guard, 400);
  }
  ASSERT_EQ(world->scroll.x, 0);
  RunLogicSteps(1);
  const int at = LeftEdgeDrawn(ship, 1.0);
  for (double f : {0.0, 0.3, 0.6}) EXPECT_NEAR(LeftEdgeDrawn(ship, f), at, 2) << f;
}

TEST_F(FramesBetweenStepsTest, AReplayWatchedAtTheDisplaysRefreshPlaysFourTimesAsFastWithTheRightArrow) {
  // A recording of 600 steps of the first wave: the right arrow held
  // throughout, in the game and while it is watched.
  Replay replay;
  replay.header.seed = 3;
  replay.actions.assign(600, 0);
  platform.SimulateRefresh(std::llround(1e9 / 60));
  ReplaySource watched(replay, true);
  platform.Hold(KEY_RIGHT);
  const long before = platform.Waits();
  PlayRecordedGame(replay, watched);
  const long refreshes = platform.Waits() - before;
  EXPECT_EQ(watched.StepsPlayed(), 600u);
  // The wave's name (151 steps) at 50 a second, then the 600 steps at 200
  // a second: 60 refreshes a second.
  const double expected = (151 / 50.0 + 600 / 200.0) * 60;
  EXPECT_NEAR(refreshes, expected, 8);
}

TEST_F(FramesBetweenStepsTest, AStillSceneIsDrawnOnceAStepHoweverFastTheDisplayRefreshes) {
  SetUpGame();
  ShowScores();
  platform.SimulateRefresh(std::llround(1e9 / 144));
  const long before = platform.FramesPresented();
  const long waitsBefore = platform.Waits();
  int steps = 0;
  RunPacedLoop([&] {
    stage.DrawFrame();
    return ++steps >= 100;
  });
  const long frames = platform.FramesPresented() - before;
  const long refreshes = platform.Waits() - waitsBefore;
  EXPECT_NEAR(refreshes, 100 * 144 / 50, 4);
  EXPECT_LE(frames, 101) << "nothing moves: a frame for each step at most";
  EXPECT_GE(frames, 99);
  // Something on its way is drawn at every refresh.
  ship.SetVelocity(4, 0);
  stage.Show(&ship);
  const long moving = platform.FramesPresented();
  steps = 0;
  RunPacedLoop([&] {
    ship.Move();
    stage.DrawFrame();
    return ++steps >= 100;
  });
  EXPECT_GE(platform.FramesPresented() - moving, 100 * 144 / 50 - 4);
}
