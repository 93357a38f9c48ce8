// Times the heaviest moments of the game on the real data file, without a
// display: a logic step with its frame in three crowded scenes, the two fades,
// and the load of kav.dat. Ends with a PASS/FAIL line per budget and a non-zero
// exit code when a budget is missed.
//
//   kav_bench            full run: 10 repetitions, medians judged
//   kav_bench --smoke    a few iterations of everything; budgets are printed
//                        but only a benchmark that cannot run fails
//
// Any Google Benchmark flag may follow (--benchmark_filter=Fade, ...).
#include <allegro.h>
#include <allegro/internal/aintern.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "bench/bench_scenes.h"
#include "bench/budget_report.h"
#include "engine/graphics_engine.h"
#include "engine/screen_writer.h"
#include "engine/sharp_scaler.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/player_actions.h"
#include "replay/replay_player.h"
#include "scene/stage.h"

namespace {

constexpr uint32_t kHalfHourSteps = 30 * 60 * 50;
// The smoke run plays a minute of it.
bool smokeRun = false;

void ReportScene(benchmark::State& state, const bench::SceneCount& c) {
  state.counters["elements"] = c.elements;
  state.counters["enemies"] = c.enemies;
  state.counters["spawn_ins"] = c.spawnIns;
  state.counters["bullets"] = c.bullets;
  state.counters["missiles"] = c.missiles;
  state.counters["explosions"] = c.explosions;
}

// Each iteration builds its scene afresh (not timed), so every timed step
// starts from the same crowded state. `warmUp` runs one untimed step first, as
// the step before it would have in play.
template <typename Build, typename Check>
void TimeStepOf(benchmark::State& state, Build build, bool warmUp, Check check) {
  build();
  if (warmUp) LogicStep();
  const bench::SceneCount before = bench::CountScene();
  if (const char* wrong = check(before)) {
    state.SkipWithError(wrong);
    return;
  }
  ReportScene(state, before);
  for (auto _ : state) {
    state.PauseTiming();
    build();
    if (warmUp) LogicStep();
    state.ResumeTiming();
    LogicStep();
  }
}

void BM_Wave16FirstStep(benchmark::State& state) {
  TimeStepOf(state, bench::BuildWave16SpawnIn, false, [](const bench::SceneCount& c) -> const char* {
    return c.spawnIns == 76 && c.enemies == 0 ? nullptr : "wave 16 did not start with 76 spawn-ins";
  });
}

void BM_Wave16BattleStep(benchmark::State& state) {
  TimeStepOf(state, bench::BuildWave16Battle, true, [](const bench::SceneCount& c) -> const char* {
    if (c.enemies < 70) return "fewer than 70 of wave 16's enemies are in play";
    if (c.bullets < 15 || c.missiles < 55 || c.explosions < 30) return "the battle lacks its shots or explosions";
    if (!c.shipAlive) return "the ship did not survive the set-up";
    return nullptr;
  });
}

void BM_BossFightStep(benchmark::State& state) {
  TimeStepOf(state, bench::BuildBossFight, true, [](const bench::SceneCount& c) -> const char* {
    if (!c.boss) return "the boss is not on the screen";
    if (c.explosions < 12 || c.missiles < 6) return "the boss has too few volleys or explosions running";
    if (!c.shipAlive) return "the ship did not survive the set-up";
    return nullptr;
  });
}

// Drawing alone, to split a step's cost between logic and drawing.
void BM_Wave16BattleDrawFrame(benchmark::State& state) {
  bench::BuildWave16Battle();
  LogicStep();
  ReportScene(state, bench::CountScene());
  for (auto _ : state) stage.DrawFrame();
}

void BM_FadeIn(benchmark::State& state) {
  bench::BuildTitleScene();
  for (auto _ : state) stage.FadeIn(nullptr);
}

void BM_FadeOut(benchmark::State& state) {
  bench::BuildTitleScene();
  for (auto _ : state) {
    state.PauseTiming();
    stage.DrawFrame();  // the fade starts from the last frame shown
    state.ResumeTiming();
    stage.FadeOut(nullptr);
  }
}

// Half an hour of play (90,000 steps, the waves' names and pauses besides)
// played headless from a recording, as `--verify` does.
void BM_VerifyHalfHour(benchmark::State& state) {
  const uint32_t length = smokeRun ? kHalfHourSteps / 30 : kHalfHourSteps;
  Replay recording;
  recording.header.seed = 1796688000;
  for (uint32_t i = 0; i < length; ++i) {
    uint8_t actions = (i / 97) % 2 ? kActionUp : kActionDown;
    actions |= (i / 331) % 3 == 0 ? kActionLeft : kActionRight;
    if (i % 4 == 0) actions |= kActionFire;
    if (i % 1500 == 700) actions |= kActionBomb;
    recording.actions.push_back(actions);
  }
  // The benchmark's machine is headless already; the frames draw nothing.
  engine.SetHeadless(true);
  uint32_t steps = 0;
  for (auto _ : state) {
    ReplaySource source(recording, false);
    BeginGame(recording.header.seed);
    game.lives = 999;  // the whole half hour in one game
    SetActionSource(&source);
    PlayGame();
    SetActionSource(nullptr);
    EndGame();
    steps = source.StepsPlayed();
  }
  engine.SetHeadless(false);
  bench::ClearScene();
  state.counters["steps"] = steps;
  state.counters["steps_per_second"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsIterationInvariantRate);
  if (steps != length) state.SkipWithError("the recording did not play to its end");
}

// Putting a frame on a 32-bit display: the library's 16-to-32-bit converter
// (what a 16-bit screen costs on every copy, after the copy into the screen),
// the game's own conversion writing straight into a 32-bit picture (once, and
// doubled), and the floor: one plain pass over a 1024 x 768 picture of 32-bit
// pixels.
struct ConversionPictures {
  // The display's usual layout, as the X server here has it.
  int layout = (_rgb_r_shift_32 = 16, _rgb_g_shift_32 = 8, _rgb_b_shift_32 = 0);
  BITMAP* frame = create_bitmap_ex(16, 1024, 768);
  BITMAP* picture = create_bitmap_ex(32, 1024, 768);
  BITMAP* doubled = create_bitmap_ex(32, 2048, 1536);
  ConversionPictures() {
    for (int y = 0; y < frame->h; ++y)
      for (int x = 0; x < frame->w; ++x) reinterpret_cast<uint16_t*>(frame->line[y])[x] = (x * 37 + y * 101) * 7;
  }
  ~ConversionPictures() {
    destroy_bitmap(frame);
    destroy_bitmap(picture);
    destroy_bitmap(doubled);
  }
};

void BM_ConvertWithTheLibrary(benchmark::State& state) {
  ConversionPictures p;
  COLORCONV_BLITTER_FUNC* convert = _get_colorconv_blitter(16, 32);
  GRAPHICS_RECT from = {1024, 768, static_cast<int>(p.frame->line[1] - p.frame->line[0]), p.frame->line[0]};
  GRAPHICS_RECT to = {1024, 768, static_cast<int>(p.picture->line[1] - p.picture->line[0]), p.picture->line[0]};
  for (auto _ : state) convert(&from, &to);
  _release_colorconv_blitter(convert);
}

void BM_ConvertForTheScreen(benchmark::State& state) {
  ConversionPictures p;
  ScreenWriter writer;
  writer.BuildTable();
  for (auto _ : state) writer.ConvertRows(p.frame, 0, 768, p.picture, 1);
}

void BM_ConvertAndDoubleForTheScreen(benchmark::State& state) {
  ConversionPictures p;
  ScreenWriter writer;
  writer.BuildTable();
  for (auto _ : state) writer.ConvertRows(p.frame, 0, 768, p.doubled, 2);
}

void BM_OnePassFloor(benchmark::State& state) {
  ConversionPictures p;
  BITMAP* copy = create_bitmap_ex(32, 1024, 768);
  for (auto _ : state) blit(p.picture, copy, 0, 0, 0, 0, 1024, 768);
  destroy_bitmap(copy);
}

// One frame enlarged into the 32-bit screen by the sharp scaler: the full
// screen's sizes on the common desktops, and the doubled picture. On the X11
// screen the picture's rows start on cache lines (the rows are page-aligned
// and whole lines long, the bars beside the picture too); here the picture
// is placed on one as well.
void TimeScale(benchmark::State& state, int width, int height, int firstSource, int lastSource) {
  ConversionPictures p;
  BITMAP* target = create_bitmap_ex(32, width + 16, height);
  SharpScaler scaler;
  if (!target || !scaler.Configure(1024, 768, width, height)) {
    state.SkipWithError("the scaler cannot be set up for this size");
    if (target) destroy_bitmap(target);
    return;
  }
  const int x = static_cast<int>((64 - (reinterpret_cast<uintptr_t>(target->line[0]) & 63)) & 63) / 4;
  int first = 0, last = -1;
  scaler.DestinationRowsOf(firstSource, lastSource, &first, &last);
  state.counters["rows"] = last - first + 1;
  for (auto _ : state) scaler.Scale(p.frame, target, x, 0, first, last);
  destroy_bitmap(target);
}

void BM_ScaleTo1440x1080(benchmark::State& state) { TimeScale(state, 1440, 1080, 0, 767); }
void BM_ScaleTo1920x1440(benchmark::State& state) { TimeScale(state, 1920, 1440, 0, 767); }
void BM_ScaleTo2880x2160(benchmark::State& state) { TimeScale(state, 2880, 2160, 0, 767); }
void BM_ScaleDoubled(benchmark::State& state) { TimeScale(state, 2048, 1536, 0, 767); }
// A title at rest where one line of text changes: ten rows of the frame.
void BM_ScaleTenRowsTo2880x2160(benchmark::State& state) { TimeScale(state, 2880, 2160, 400, 409); }

void BM_LoadDataFile(benchmark::State& state) {
  const std::string path = bench::DataFilePath();
  for (auto _ : state) {
    DATAFILE* data = load_datafile(path.c_str());
    state.PauseTiming();
    if (!data) {
      state.SkipWithError("kav.dat did not load");
      break;
    }
    unload_datafile(data);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_Wave16FirstStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wave16BattleStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BossFightStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wave16BattleDrawFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FadeIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FadeOut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerifyHalfHour)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ConvertWithTheLibrary)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertForTheScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertAndDoubleForTheScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OnePassFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleTo1440x1080)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleTo1920x1440)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleTo2880x2160)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleDoubled)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleTenRowsTo2880x2160)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadDataFile)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::vector<Budget> kBudgets = {
    {"BM_Wave16FirstStep", "step + frame, wave 16 first step", 2.0},
    {"BM_Wave16BattleStep", "step + frame, wave 16 battle", 2.0},
    {"BM_BossFightStep", "step + frame, wave 20 boss fight", 2.0},
    {"BM_FadeIn", "FadeIn (8 blends)", 15.0},
    {"BM_FadeOut", "FadeOut (8 blends)", 15.0},
    {"BM_ScaleTo1440x1080", "frame enlarged to 1440 x 1080", 0.8},
    {"BM_ScaleTo1920x1440", "frame enlarged to 1920 x 1440", 1.2},
    {"BM_ScaleTo2880x2160", "frame enlarged to 2880 x 2160", 2.5},
    {"BM_ScaleDoubled", "frame enlarged to 2048 x 1536 (doubled)", 1.5},
    // At least 20,000 steps a second.
    {"BM_VerifyHalfHour", "half an hour verified headless (90,000 steps)", kHalfHourSteps / 20000.0 * 1000.0},
};

// The piece bitmaps the effects made go back while the library is still up.
void ReleaseGameBitmaps() {
  bench::ClearScene();
  shipExplosion.ReleasePieces();
  for (Explosion& explosion : explosions) explosion.ReleasePieces();
  for (Implosion& implosion : implosions) implosion.ReleasePieces();
  boss.ReleaseExplosions();
  scanner.ReleaseBuffer();
  engine.ReleaseOffscreen();
}

}  // namespace

int main(int argc, char** argv) {
  // Our own flag goes; the defaults come first so the caller's flags win.
  bool smoke = false;
  std::vector<char*> args = {argv[0]};
  static char fullRepetitions[] = "--benchmark_repetitions=10";
  // Scenes are rebuilt untimed before every step; a tenth of a second of timed
  // steps per repetition keeps the whole run near half a minute.
  static char fullTime[] = "--benchmark_min_time=0.1";
  static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
  static char smokeTime[] = "--benchmark_min_time=0.01";
  static char smokeRepetitions[] = "--benchmark_repetitions=1";
  for (int i = 1; i < argc; ++i) smoke = smoke || std::strcmp(argv[i], "--smoke") == 0;
  smokeRun = smoke;
  if (smoke) {
    args.push_back(smokeTime);
    args.push_back(smokeRepetitions);
  } else {
    args.push_back(fullRepetitions);
    args.push_back(fullTime);
    args.push_back(aggregatesOnly);
  }
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--smoke") != 0) args.push_back(argv[i]);
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);

  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  std::string error;
  if (!bench::StartHeadless(error)) {
    std::cerr << "kav_bench: " << error << "\n";
    return 1;
  }
  benchmark::AddCustomContext("data_file", bench::DataFilePath());

  // Colour only on a terminal, so CI logs stay plain.
  BudgetReporter reporter(kBudgets, isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                          : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const bool ok = reporter.PrintVerdict(std::cout, !smoke);
  benchmark::Shutdown();
  ReleaseGameBitmaps();
  return ok ? 0 : 1;
}
