// A restless player for long runs: it steers at random, fires in bursts, now
// and then detonates a bomb, presses Escape and answers the quit question with
// No (by key or by clicking the No button, after fumbling a little), and
// clicks the mouse where nothing is. Its aim is helped: beams are launched
// straight at enemies and at the boss's parts, so that waves end.
#pragma once

#include <random>
#include <utility>

#include "support/scripted_platform.h"

class Element;
class PolygonShape;
struct AuditResult;

class SoakBot {
 public:
  SoakBot(ScriptedPlatform& platform, unsigned seed);

  // Before a step of play: keys and mouse for the step, then the aimed beams.
  void BeforePlayStep();
  // Before a step of a pause (wave intro, wave cleared): keys only.
  void BeforePauseStep();
  // While the quit question is open (its elements are the audit's strangers):
  // a few steps of fumbling, then No. Never Yes: that would end the process.
  void WhileQuestionOpen(const AuditResult& audit);
  // While the game is paused (a typed P or Pause did it): a few waits, then
  // P or Pause again.
  void WhilePaused();

  // Share of play steps in which beams are aimed at enemies (0 = never).
  void SetAimChance(double chance) { aimChance_ = chance; }

  int QuestionsAnswered() const { return questionsAnswered_; }
  int Pauses() const { return pauses_; }
  int QuestionsAnsweredByClick() const { return answeredByClick_; }
  int EscapesPressed() const { return escapesPressed_; }
  bool QuestionStuck() const { return questionStuck_; }

 private:
  void Steer();
  void Mouse();
  void AimAtEnemies();
  void AimAtBoss();
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  ScriptedPlatform& platform_;
  std::mt19937 random_;
  double aimChance_ = 0.5;

  bool fireDown_ = false;
  int fireStepsLeft_ = 0;
  bool bombDown_ = false;
  bool escapeDown_ = false;
  int mouseButtons_ = 0;

  // The question being answered.
  int questionWaits_ = 0;
  int fumbles_ = 0;
  bool answerByClick_ = false;
  bool clickPending_ = false;
  int questionsAnswered_ = 0;
  int pausedWaits_ = 0;
  int pauses_ = 0;
  int answeredByClick_ = 0;
  int escapesPressed_ = 0;
  bool questionStuck_ = false;

};
