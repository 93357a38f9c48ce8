// A game's numbers against the events a scripted game had: shots fired at
// the keys, beams striking enemies, missiles and the boss, an enemy rammed,
// a smart bomb, a human shot, a human carried off, humans shot free of their
// landers, a life lost. Each counts once, where it happens, and nothing else
// counts. Then a whole game played to its last life: its numbers on the
// screen at its end are the ones `--verify --stats` prints from its replay.
#include <allegro.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>

#include "app/program_loop.h"
#include "engine/data_index.h"
#include "engine/settings_store.h"
#include "entities/boss.h"
#include "entities/lander.h"
#include "entities/missile.h"
#include "entities/play_objects.h"
#include "game/collisions.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/player_actions.h"
#include "game/waves.h"
#include "replay/game_recorder.h"
#include "scene/stage.h"
#include "scene/text_label.h"
#include "scratch_folder.h"
#include "screen_script.h"
#include "screens/numbers_screen.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"
#include "support/gunnery.h"

namespace {

// Gives the next step's actions as the test sets them.
class Keys : public ActionSource {
 public:
  bool Next(uint8_t& actions) override {
    actions = next;
    return true;
  }
  uint8_t next = 0;
};

class GameNumbersTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    BeginGame(77);
    EndGame();
    stage.Show(&ship);
    SetActionSource(&keys_);
  }
  void TearDown() override {
    SetActionSource(nullptr);
    SetActionObserver(nullptr);
    platform.OnWait(nullptr);
    EndGame();
    RemoveGameObjects();
    stage.Hide(&ship);
    GameFixture::TearDown();
  }

  void Press(uint8_t actions) {
    keys_.next = actions;
    HandleGameKeys();
  }
  Human& Present(int i, int x) {
    Human& h = humans[i];
    h.SetState(Human::kPresent);
    h.SetPosition(x, 0);
    h.StandOnGround();
    h.SetDrift(0, 0);
    stage.Show(&h);
    world->humansAlive += 1;
    return h;
  }
  Lander* EnterLander(int x, int y) {
    world->waveTypeCounts[kLander] += 1;
    const int present = world->humansAlive;
    if (present < 1) world->humansAlive = 1;
    EnterEnemy(kLander, x, y);
    world->humansAlive = present;
    return dynamic_cast<Lander*>(enemies[enemyCount - 1]);
  }
  // A lander holding human `h`, lifting it from the ground.
  Lander* Lifting(Human& h) {
    Lander* lander = EnterLander(0, 0);
    lander->SetPosition(h.GetX() - lander->GetFrameBitmap()->w / 2, 560);
    lander->Think();
    lander->SetDrift(0, 0);
    for (int i = 0; i < 20000 && lander->GetState() != Lander::kLifting && !lander->IsDead(); ++i) {
      lander->Move();
      lander->Think();
      for (Human& human : humans) human.Step();
    }
    EXPECT_EQ(lander->GetState(), Lander::kLifting);
    return lander;
  }
  // A beam's tip put onto the world point, then the collision pass.
  static void ShootAt(int x, int y) {
    Bullet& b = bullets[0];
    b.SetVelocity(Bullet::kSpeed, 0);
    b.BuildOutline();
    b.SetPosition(x - 436, y - 4);
    stage.Show(&b);
    ResolveCollisions();
  }
  static void ShootAt(Entity* e) { ShootAt(e->GetX() + 50, e->GetY() + 45); }

  Keys keys_;
};

TEST_F(GameNumbersTest, EveryEventOfPlayIsCountedOnceWhereItHappens) {
  const GameNumbers& n = gameNumbers;
  EXPECT_EQ(n.shots + n.hits + n.EnemiesDestroyed() + n.bombs + n.livesLost + n.humansLost, 0);

  // Fire held for two steps is one shot; let go and pressed again, another.
  // (A game begins with the key to be let go first.)
  Press(0);
  Press(kActionFire);
  Press(kActionFire);
  Press(0);
  Press(kActionFire);
  EXPECT_EQ(n.shots, 2);
  EXPECT_EQ(platform.Plays(dat::kSndShot), 2);
  EXPECT_EQ(n.hits, 0) << "the beams are still in flight";
  for (Bullet& b : bullets) stage.Hide(&b);

  // A beam that strikes a lander: a hit and a lander.
  Entity* lander = EnterLander(1400, 300);
  ShootAt(lander);
  ASSERT_TRUE(lander->IsDead());
  EXPECT_EQ(n.hits, 1);
  EXPECT_EQ(n.enemies[kLander], 1);

  // A beam that shoots down a missile: a hit, no enemy.
  FireMissile(0, 1600, 300, 0, 0);
  Missile& missile = missiles[world->nextMissile == 0 ? kMissileCount - 1 : world->nextMissile - 1];
  ASSERT_TRUE(missile.IsOnList());
  ShootAt(missile.GetX() + 4, missile.GetY() + 4);
  EXPECT_FALSE(missile.IsOnList());
  EXPECT_EQ(n.hits, 2);
  EXPECT_EQ(n.EnemiesDestroyed(), 1);

  // A fighter rammed by the ship is destroyed without a shot.
  world->waveTypeCounts[kFighter] += 1;
  EnterEnemy(kFighter, ship.GetX() + 20, ship.GetY() + 10);
  for (Bullet& b : bullets) stage.Hide(&b);
  ResolveCollisions();
  ASSERT_TRUE(ship.IsDestroyed());
  EXPECT_EQ(n.enemies[kFighter], 1);
  EXPECT_EQ(n.hits, 2);
  ship.SetDestroyed(0);
  stage.Show(&ship);

  // A smart bomb takes the two bombers in view, not the one beyond it.
  for (int x : {200, 700, 2500}) {
    world->waveTypeCounts[kBomber] += 1;
    EnterEnemy(kBomber, x, 200);
  }
  Press(kActionBomb);
  EXPECT_EQ(n.bombs, 1);
  EXPECT_EQ(n.enemies[kBomber], 2);
  EXPECT_EQ(game.bombs, 2);
  Press(kActionBomb);
  EXPECT_EQ(n.bombs, 1) << "held, the key bombs once";

  // A human shot is a human lost, and no hit.
  Human& shot = Present(3, 3000);
  ShootAt(shot.GetX() + 10, shot.GetY() + 20);
  EXPECT_EQ(shot.GetState(), Human::kDead);
  EXPECT_EQ(n.humansLost, 1);
  EXPECT_EQ(n.hits, 2);

  // A lander shot while it lifts its human: the human is rescued.
  Human& held = Present(4, 1000);
  Lander* lifting = Lifting(held);
  const int scoreBefore = game.score;
  ShootAt(lifting);
  EXPECT_EQ(game.score - scoreBefore, 600);
  EXPECT_EQ(n.humansRescued, 1);
  EXPECT_EQ(n.enemies[kLander], 2);
  EXPECT_EQ(n.hits, 3);

  // A lander whose human was shot out of its grip pays the bonus still, but
  // rescues nobody.
  Human& lost = Present(5, 1800);
  Lander* robbed = Lifting(lost);
  ShootAt(lost.GetX() + 10, lost.GetY() + 20);
  ASSERT_EQ(lost.GetState(), Human::kDead);
  robbed->Think();
  ASSERT_NE(robbed->GetState(), Lander::kLifting);
  const int scoreThen = game.score;
  ShootAt(robbed);
  EXPECT_TRUE(robbed->IsDead());
  EXPECT_EQ(game.score - scoreThen, 600);
  EXPECT_EQ(n.humansRescued, 1);
  EXPECT_EQ(n.humansLost, 2);

  // A human carried off the top is lost; the mutant it leaves is no kill.
  Human& taken = Present(6, 2200);
  Lander* abductor = Lifting(taken);
  const int destroyed = n.EnemiesDestroyed();
  for (int i = 0; i < 400 && !abductor->IsDead(); ++i) {
    abductor->Move();
    abductor->Think();
    taken.Step();
  }
  EXPECT_EQ(taken.GetState(), Human::kDead);
  EXPECT_EQ(n.humansLost, 3);
  EXPECT_EQ(n.EnemiesDestroyed(), destroyed);
  EXPECT_EQ(n.enemies[kMutant], 0);

  // The ship lost: a life, counted when the game takes it, 101 steps later.
  ship.Explode();
  for (int i = 0; i < 100; ++i) LogicStep();
  EXPECT_EQ(n.livesLost, 0);
  LogicStep();
  EXPECT_EQ(n.livesLost, 1);
  EXPECT_EQ(game.lives, 2);
}

TEST_F(GameNumbersTest, BeamsOnTheBossAreHitsAndItsLastHeadHitBeatsIt) {
  boss.Init(2048, 100, 2, "MM");
  stage.Show(&boss);
  BossState& state = world->boss;
  for (int& hits : state.legHits) hits = 0;
  for (int& hits : state.leftArmHits) hits = 0;
  for (int& hits : state.rightArmHits) hits = 0;
  state.torsoHits = 0;
  state.headHits = 2;
  const auto [lx, ly] = kav_test::InsidePoint(boss.HeadOutline());
  for (int shot = 0; shot < 3; ++shot) {
    boss.SwingLimbs();
    Bullet& b = bullets[0];
    b.SetVelocity(Bullet::kSpeed, 0);
    b.BuildOutline();
    b.SetPosition(boss.Head().GetX() + lx - 436, boss.Head().GetY() + ly - 4);
    stage.Show(&b);
    boss.Collide();
  }
  EXPECT_EQ(state.headHits, 0);
  EXPECT_EQ(gameNumbers.hits, 2) << "the third beam found nothing to strike";
  EXPECT_EQ(gameNumbers.bosses, 1);
  EXPECT_EQ(gameNumbers.EnemiesDestroyed(), 1);
}

// A whole game to its last life, seen as the player sees its end and as the
// replay's checker recomputes it.
class GameEndTest : public GameFixture {
 protected:
  void TearDown() override {
    SetActionSource(nullptr);
    SetActionObserver(nullptr);
    platform.OnWait(nullptr);
    EndGame();
    RemoveGameObjects();
    stage.Hide(&ship);
    GameFixture::TearDown();
  }
  static void Collect(const Element* node, std::set<std::string>& texts) {
    for (; node; node = node->GetRight()) {
      if (auto* label = dynamic_cast<const TextLabel*>(node))
        if (label->GetText() && label->GetText()[0]) texts.insert(label->GetText());
      Collect(node->GetLeft(), texts);
    }
  }
};

// Flies into trouble: up and down, firing now and then, never a bomb.
class Reckless : public ActionSource {
 public:
  bool Next(uint8_t& actions) override {
    ++step_;
    actions = ((step_ / 60) % 2 ? kActionUp : kActionDown) | (step_ % 7 == 0 ? kActionFire : 0) |
              ((step_ / 200) % 2 ? kActionRight : kActionLeft);
    return true;
  }

 private:
  long step_ = 0;
};

TEST_F(GameEndTest, TheScreenAtAGamesEndShowsTheNumbersItsReplayGivesBack) {
  ScratchFolder folder;
  Reckless pilot;
  gameRecorder.Begin(31337, 1796688000);
  BeginGame(31337);
  SetActionSource(&pilot);
  PlayGame();
  SetActionSource(nullptr);
  ASSERT_EQ(game.lives, 0) << "the game ended with its last life";
  const GameSummary summary = SummariseGame(false, 1);
  ASSERT_TRUE(gameRecorder.Finish(game.score, game.waveIndex + 1));
  EndGame();
  RemoveGameObjects();
  stage.Hide(&ship);
  EXPECT_EQ(summary.numbers.livesLost, 3);
  EXPECT_GT(summary.numbers.shots, 0);

  // The screen, left alone: the numbers shown, then it goes on by itself.
  std::set<std::string> shown;
  long steps = 0;
  ScriptScreen(platform, [&](long w) {
    steps = w;
    if (w == 20) Collect(stage.Elements().Root(), shown);
  });
  RunNumbersScreen(summary, settingsStore.Current().bestWave);
  EXPECT_EQ(steps, kNumbersScreenSteps - 1) << "the waits are counted from 0";
  EXPECT_EQ(stage.Elements().Count(), 0) << "nothing of the screen stays";

  // The replay played again by the game's own checker.
  const std::string command = "cd '" + kav_test::DataDir() + "' && DISPLAY= ./kav --verify --stats '" +
                              folder.Path(gameRecorder.LastFile()) + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char line[2048];
  while (std::fgets(line, sizeof line, pipe)) output += line;
  ASSERT_EQ(pclose(pipe), 0) << output;
  const std::string json = output.substr(output.find('\n') + 1);
  EXPECT_EQ(json, GameSummaryJson(summary) + "\n");
  const nlohmann::json stats = nlohmann::json::parse(json);

  // What the screen showed is what the replay says.
  const auto showing = [&shown](const std::string& text) { return shown.count(text) == 1; };
  EXPECT_TRUE(showing("Game over"));
  EXPECT_TRUE(showing(std::to_string(stats["score"].get<int>())));
  EXPECT_TRUE(showing(FormatPlayTime(stats["steps"].get<uint32_t>())));
  EXPECT_TRUE(showing(std::to_string(stats["shots"].get<int>()) + ", " + std::to_string(stats["hits"].get<int>()) +
                      " hit (" + std::to_string(summary.numbers.HitPercent()) + "%)"));
  int destroyed = 0;
  for (const auto& [kind, count] : stats["enemies"].items()) destroyed += count.get<int>();
  EXPECT_TRUE(showing(std::to_string(destroyed)));
  for (const std::string& kinds : EnemyKindLines(summary.numbers)) EXPECT_TRUE(showing(kinds)) << kinds;
  if (stats["enemies"]["lander"].get<int>() > 0) {
    bool named = false;
    for (const std::string& text : shown) named = named || text.find(" lander") != std::string::npos;
    EXPECT_TRUE(named);
  }
  for (const NumbersRow& row : GameNumbersRows(summary, settingsStore.Current().bestWave)) {
    EXPECT_TRUE(showing(row.caption)) << row.caption;
    EXPECT_TRUE(showing(row.value)) << row.caption << ": " << row.value;
  }
  EXPECT_EQ(GameNumbersRows(summary, 1)[6].value, std::to_string(stats["humans_lost"].get<int>()));
  EXPECT_EQ(GameNumbersRows(summary, 1)[8].value, std::to_string(stats["lives_lost"].get<int>()));
}

TEST_F(GameEndTest, AKeyOrAGamepadButtonGoesOnAtOnce) {
  GameSummary summary;
  summary.practice = true;
  summary.startWave = 12;
  long steps = 0;
  std::set<std::string> shown;
  ScriptScreen(platform, [&](long w) {
    steps = w;
    if (w == 10) Collect(stage.Elements().Root(), shown);
    if (w == 30) platform.Type(KEY_SPACE);
  });
  RunNumbersScreen(summary, 12);
  EXPECT_EQ(steps, 30);
  EXPECT_EQ(shown.count("Practice over"), 1u);
  EXPECT_EQ(shown.count("A practice game from wave 12  \"Twelfth Wave\""), 1u);

  ScriptScreen(platform, [&](long w) {
    steps = w;
    PadState pad;
    pad.present = true;
    if (w == 25) pad.buttons = 1u << 3;
    platform.SetPad(pad);
  });
  RunNumbersScreen(summary, 12);
  EXPECT_EQ(steps, 25);
}

}  // namespace
