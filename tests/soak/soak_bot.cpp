#include "game/game_state.h"
#include "soak/soak_bot.h"

#include <allegro.h>

#include <vector>

#include "engine/data_index.h"
#include "entities/boss.h"
#include "entities/entity.h"
#include "game/controls.h"
#include "scene/polygon_shape.h"
#include "entities/play_objects.h"
#include "screens/message_box.h"
#include "soak/play_audit.h"
#include "support/gunnery.h"

namespace {

// The mean of an outline's corners lies inside every enemy outline of the game.
RectangleShape* Button(const AuditResult& audit, int id) {
  for (Element* e : audit.strangers)
    if (e->GetId() == id)
      if (auto* button = dynamic_cast<RectangleShape*>(e)) return button;
  return nullptr;
}

}  // namespace

SoakBot::SoakBot(ScriptedPlatform& platform, unsigned seed) : platform_(platform), random_(seed) {}

void SoakBot::BeforePlayStep() {
  if (questionWaits_ > 0) ++questionsAnswered_;
  questionWaits_ = 0;
  Steer();
  Mouse();
  // Now and then the player wants out, and thinks better of it.
  if (!escapeDown_ && Chance(1.0 / 2500)) {
    escapeDown_ = true;
    ++escapesPressed_;
    platform_.Hold(KEY_ESC);
  }
  if (Chance(aimChance_)) {
    AimAtEnemies();
    AimAtBoss();
  }
}

void SoakBot::BeforePauseStep() {
  if (questionWaits_ > 0) ++questionsAnswered_;
  questionWaits_ = 0;
  Steer();
  if (!escapeDown_ && Chance(1.0 / 1500)) {
    escapeDown_ = true;
    ++escapesPressed_;
    platform_.Hold(KEY_ESC);
  }
}

void SoakBot::Steer() {
  // Each steering key flips now and then, so the ship wanders, stops and turns.
  for (int control : {kUp, kDown, kLeft, kRight})
    if (Chance(0.06)) platform_.Hold(ControlKey(control), !platform_.KeyHeld(ControlKey(control)));
  // Fire in bursts: the key must come up between shots.
  if (fireStepsLeft_ > 0) {
    --fireStepsLeft_;
  } else {
    fireDown_ = !fireDown_;
    fireStepsLeft_ = 1 + Below(fireDown_ ? 3 : 12);
    platform_.Hold(ControlKey(kFire), fireDown_);
  }
  // A bomb is a rare, short press.
  if (bombDown_) {
    bombDown_ = false;
    platform_.Hold(ControlKey(kSmartBomb), false);
  } else if (Chance(1.0 / 700)) {
    bombDown_ = true;
    platform_.Hold(ControlKey(kSmartBomb), true);
  }
  // Keys typed during play are read and thrown away.
  if (Chance(0.01)) {
    const int scancode = 1 + Below(KEY_MAX - 1);
    if (scancode != KEY_ESC) platform_.Type(scancode);
  }
}

void SoakBot::Mouse() {
  if (mouseButtons_) {
    if (Chance(0.3)) {
      mouseButtons_ = 0;
      platform_.SetMouse(platform_.MouseX(), platform_.MouseY(), 0);
    }
  } else if (Chance(0.005)) {
    mouseButtons_ = 1 + Below(3);
    platform_.SetMouse(Below(1024), Below(768), mouseButtons_);
  }
}

void SoakBot::WhilePaused() {
  if (pausedWaits_++ == 0) ++pauses_;
  if (pausedWaits_ < 3 + Below(20)) return;
  pausedWaits_ = 0;
  platform_.Type(Chance(0.5) ? KEY_P : KEY_PAUSE);
}

void SoakBot::WhileQuestionOpen(const AuditResult& audit) {
  ++questionWaits_;
  if (questionWaits_ == 1) {
    // Escape goes up at once, or the question would come back after No.
    escapeDown_ = false;
    platform_.Hold(KEY_ESC, false);
    mouseButtons_ = 0;
    platform_.SetMouse(platform_.MouseX(), platform_.MouseY(), 0);
    fumbles_ = Below(6);
    answerByClick_ = Chance(0.4);
    clickPending_ = false;
    return;
  }
  RectangleShape* yes = Button(audit, MessageBox::kYesId);
  RectangleShape* no = Button(audit, MessageBox::kNoId);
  if (clickPending_) {
    // The button comes up; the click is seen on the next step.
    platform_.SetMouse(platform_.MouseX(), platform_.MouseY(), 0);
    clickPending_ = false;
    return;
  }
  if (questionWaits_ > 300) {
    // Something swallows the answer: stop fumbling and report it.
    questionStuck_ = true;
    platform_.Type(KEY_N);
    return;
  }
  if (fumbles_ > 0) {
    --fumbles_;
    if (Chance(0.5)) {
      int scancode;
      do scancode = 1 + Below(KEY_MAX - 1);
      while (scancode == KEY_Y || scancode == KEY_N);
      platform_.Type(scancode);
    } else {
      // A click beside the buttons; never on Yes.
      int x, y;
      do {
        x = Below(1024);
        y = Below(768);
      } while ((yes && yes->HitTest(x, y)) || (no && no->HitTest(x, y)));
      platform_.SetMouse(x, y, 1);
      clickPending_ = true;
    }
    return;
  }
  if (answerByClick_ && no) {
    platform_.SetMouse((no->Left() + no->Right()) / 2, (no->Top() + no->Bottom()) / 2, 1);
    clickPending_ = true;
    answerByClick_ = false;
    ++answeredByClick_;
    fumbles_ = 0;
    return;
  }
  platform_.Type(KEY_N);
}

void SoakBot::AimAtEnemies() {
  std::vector<Entity*> targets;
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (e && !e->IsDead() && e->IsOnList()) targets.push_back(e);
  }
  // A few beams a step: enough to end waves, few enough that the enemies
  // still move, fire, abduct and mutate for a while.
  for (int shot = 0; shot < 2 && !targets.empty(); ++shot) {
    Entity* e = targets[Below(static_cast<int>(targets.size()))];
    const auto [cx, cy] = kav_test::OutlineCentre(e->GetOutline());
    kav_test::FireBeamAt(e->GetX() + e->GetDriftX() + cx, e->GetY() + e->GetDriftY() + cy);
  }
}

void SoakBot::AimAtBoss() {
  if (!boss.IsOnList() || boss.GetHeadHits() <= 0) return;
  // The boss can only be hurt in its order: legs, arms, torso, head.
  TimedSprite* part = nullptr;
  PolygonShape* outline = nullptr;
  for (int i = 0; i < Boss::kLegs && !part; ++i)
    if (boss.GetLegHits(i) > 0) part = &boss.Leg(i), outline = &boss.LegOutline(i);
  for (int i = 0; i < Boss::kArms && !part; ++i) {
    if (boss.GetLeftArmHits(i) > 0)
      part = &boss.LeftArm(i), outline = &boss.LeftArmOutline(i);
    else if (boss.GetRightArmHits(i) > 0)
      part = &boss.RightArm(i), outline = &boss.RightArmOutline(i);
  }
  if (!part && boss.GetTorsoHits() > 0) part = &boss.Torso(), outline = &boss.TorsoOutline();
  if (!part) part = &boss.Head(), outline = &boss.HeadOutline();
  const auto [lx, ly] = kav_test::InsidePoint(*outline);
  kav_test::FireBeamAt(part->GetX() + lx, part->GetY() + ly);
}
