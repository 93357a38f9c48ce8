#include "scene/stage.h"

#include <allegro.h>

#include "engine/graphics_engine.h"
#include "engine/input.h"
#include "engine/translucent_blend.h"
#include "music/music_track.h"
#include "scene/element.h"
#include "scene/view.h"

Stage stage;

void Stage::Show(Element* e) {
  if (!e->IsOnList()) list_.Add(e);
}

void Stage::Hide(Element* e) {
  if (e->IsOnList()) list_.Remove(e);
}

void Stage::DrawFrame() { Draw(true); }

void Stage::DrawStillFrame() { Draw(false); }

void Stage::Draw(bool advance) {
  // A game played with no display still moves its animation.
  if (engine.Headless() || framesAtRefresh_ > 0) {
    if (advance) list_.AdvanceAll();
    if (!engine.Headless()) NoteStep();
    return;
  }
  if (advance) list_.AdvanceAll();
  NoteStep();
  Paint();
}

void Stage::NoteStep() {
  const bool elementsMoving = list_.NoteAll(cutPending_);
  const bool viewMoving = view_.Note(ViewX, ViewY, cutPending_);
  moving_ = elementsMoving || viewMoving;
  cutPending_ = false;
  ++stepsNoted_;
}

void Stage::Paint() {
  // Frames drawn at once (a pause, a step of its own) come between those at
  // the refresh: the next between steps is drawn afresh.
  stepsPainted_ = -1;
  engine.TakeDisplaySwitch();
  BITMAP* target = engine.BeginFrame();
  ClearUnlessCovered(target);
  list_.DrawAll(target, false);
  engine.EndFrame();
}

void Stage::DrawBetweenSteps(double fraction) {
  if (engine.Headless()) return;
  // No step since the frame before and nothing on its way: the same picture
  // would be drawn again. (The volume label shows for a while and goes by
  // itself, and a switch of the display wants a new frame.)
  const bool notice = engine.NoticeShowing();
  if (stepsNoted_ == stepsPainted_ && !moving_ && !notice && !noticePainted_ && !engine.DisplaySwitchAsked())
    return;
  stepsPainted_ = stepsNoted_;
  noticePainted_ = notice;
  StepTrail::DrawBetween(fraction);
  // The world's view on its way too: the world map, the scanner and
  // everything in the world are drawn from it.
  const int viewX = ViewX, viewY = ViewY;
  ViewX = view_.X(ViewX, true);
  ViewY = view_.Y(ViewY);
  const long long painted = stepsPainted_;
  Paint();
  stepsPainted_ = painted;
  ViewX = viewX;
  ViewY = viewY;
  StepTrail::DrawAsTheyStand();
}

// A picture covering the whole screen drawn first makes clearing useless.
void Stage::ClearUnlessCovered(BITMAP* target) {
  const Element* first = list_.First();
  if (!first || !first->Covers(target->w, target->h)) clear_bitmap(target);
}

void Stage::FadeIn(MusicTrack* music) {
  if (engine.Headless()) return;
  BITMAP* target = create_bitmap(engine.Width(), engine.Height());
  if (!target) return;
  ClearUnlessCovered(target);
  list_.DrawAll(target);
  BITMAP* frame = engine.BackBuffer();
  clear_to_color(frame, makecol(0, 0, 0));
  set_trans_blender(0, 0, 0, 80);
  for (int step = 0; step < 8; ++step) {
    if (music) PollTrack(music);
    DrawTranslucent(frame, target, 80);
    // One step of the fade a refresh, where frames follow the display.
    engine.WaitForRefresh();
    engine.PresentWhole(frame);
  }
  destroy_bitmap(target);
}

void Stage::FadeOut(MusicTrack* music) {
  if (engine.Headless()) return;
  BITMAP* frame = engine.BackBuffer();
  list_.DrawAll(frame);
  BITMAP* black = create_bitmap(engine.Width(), engine.Height());
  if (!black) return;
  clear_to_color(black, makecol(0, 0, 0));
  set_trans_blender(0, 0, 0, 80);
  for (int step = 0; step < 8; ++step) {
    if (music) PollTrack(music);
    DrawTranslucent(frame, black, 80);
    engine.WaitForRefresh();
    engine.PresentWhole(frame);
  }
  destroy_bitmap(black);
}

void Stage::PollInput(int& key, int& leftClick, int& rightClick, int& mouseX, int& mouseY) {
  const InputPoll poll = input.Poll();
  if (poll.pressed) list_.Press(poll.mouseX, poll.mouseY);
  if (poll.released) list_.Release();
  key = poll.key;
  leftClick = poll.leftClick;
  rightClick = poll.rightClick;
  mouseX = poll.mouseX;
  mouseY = poll.mouseY;
}
