// What is on the screen: the render list of elements, drawn into the engine's
// frames, faded in and out, and pointed at with the mouse. Every screen shows
// and hides its elements here and draws one frame a step.
#pragma once

#include "scene/render_list.h"

struct MusicTrack;
class Element;

class Stage {
 public:
  Stage() = default;
  ~Stage() { list_.Forget(); }
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  Element* AddElement(Element* e) { return list_.Add(e); }
  void RemoveElement(Element* e) { list_.Remove(e); }
  // Routine showing and hiding: only acts when the element isn't already in
  // that state, so the render list's error messages are left for real misuse.
  void Show(Element* e);
  void Hide(Element* e);
  RenderList& Elements() { return list_; }

  // One step of the scene's animation, then the frame drawn (a screen).
  void DrawFrame();
  // The scene drawn as it stands: over a question or a pause nothing may
  // move, and a game moves its animation in its own step.
  void DrawStillFrame();
  // One step of the scene's animation without drawing.
  void Animate() { list_.AdvanceAll(); }
  void FadeIn(MusicTrack* music);
  void FadeOut(MusicTrack* music);

  // The input of one step (see Input::Poll); a button going down presses the
  // element under the pointer, its release releases it.
  void PollInput(int& key, int& leftClick, int& rightClick, int& mouseX, int& mouseY);
  // Id of the topmost clickable element under the point (or -1), lit after a
  // moment under the pointer.
  int ElementAt(int x, int y) { return list_.PointAt(x, y); }

 private:
  void ClearUnlessCovered(BITMAP* target);
  void Draw(bool advance);

  RenderList list_;
};

extern Stage stage;
