// What is on the screen: the render list of elements, drawn into the engine's
// frames, faded in and out, and pointed at with the mouse. Every screen shows
// and hides its elements here and draws one frame a step.
#pragma once

#include "scene/render_list.h"
#include "scene/step_trail.h"

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

  // The end of a step: one step of the scene's animation, then the frame
  // drawn (a screen).
  void DrawFrame();
  // The end of a step with the scene as it stands: over a question or a
  // pause nothing may move, and a game moves its animation in its own step.
  void DrawStillFrame();
  // While a loop shows frames at the display's refresh (see
  // RunPacedLoop), the steps' frames are not drawn: each step only notes
  // where everything stands, and the loop draws the scene between its last
  // two steps at every refresh. Nested loops count.
  void BeginFramesAtRefresh() { ++framesAtRefresh_; }
  void EndFramesAtRefresh() { --framesAtRefresh_; }
  // The scene `fraction` (0..1) of the way from its step before last to its
  // last step, drawn and shown.
  void DrawBetweenSteps(double fraction);
  // Something that shows on its own (a pause) draws its frames at once,
  // inside a loop at the display's refresh too.
  class DrawsAtOnce {
   public:
    explicit DrawsAtOnce(Stage& stage) : stage_(stage), saved_(stage.framesAtRefresh_) { stage.framesAtRefresh_ = 0; }
    ~DrawsAtOnce() { stage_.framesAtRefresh_ = saved_; }
    DrawsAtOnce(const DrawsAtOnce&) = delete;
    DrawsAtOnce& operator=(const DrawsAtOnce&) = delete;

   private:
    Stage& stage_;
    int saved_;
  };
  // A cut of the scene (a wave starts, the ship comes back, a new screen's
  // view): at the next step everything is drawn where it stands, nothing on
  // its way from where it was.
  void Cut() { cutPending_ = true; }
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
  void NoteStep();
  void Paint();

  RenderList list_;
  int framesAtRefresh_ = 0;
  bool cutPending_ = false;
  // Steps noted so far, the step the last frame between steps showed, and
  // whether anything was on its way at the last step.
  long long stepsNoted_ = 0;
  long long stepsPainted_ = -1;
  bool moving_ = false;
  bool noticePainted_ = false;
  // The view (ViewX, ViewY) at the last two steps.
  StepTrail view_;
};

extern Stage stage;
