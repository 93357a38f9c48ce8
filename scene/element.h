// Everything the game shows is an Element: it carries what the render list
// needs to keep it in draw order and find it under the pointer, plus whether its
// position is a screen position or a world position. The render list never owns
// an element; an element must be off the list before it dies.
#pragma once

struct BITMAP;

class Element {
 public:
  Element() = default;
  virtual ~Element() = default;
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  virtual void Draw(BITMAP* target);
  // Moves the animation on by what the clock says has passed, just before
  // the element is drawn in a frame of the running scene. Some of what it
  // moves (the boss's limbs) is what collisions test, so a game played
  // without a display still advances every frame.
  virtual void Advance() {}
  // True when drawing it replaces every pixel of a width x height target, so
  // that nothing drawn before it can show.
  virtual bool Covers(int /*width*/, int /*height*/) const { return false; }
  // The scene's step is done: what moves notes where it stands, so that a
  // frame shown before the next step can draw it on its way (StepTrail);
  // `cut` forgets where it came from. True when it is on its way somewhere
  // (it moved between its last two steps).
  virtual bool NoteStep(bool /*cut*/) { return false; }
  // Put on the screen: drawn where it stands until its next step is noted.
  virtual void ForgetSteps() {}
  virtual int HitTest(int x, int y);
  virtual void Highlight();
  virtual void Unhighlight();
  virtual void OnPress();
  virtual void OnRelease();

  int GetId() const { return id; }
  void SetId(int value) { id = value; }
  int GetLayer() const { return layer; }
  void SetLayer(int value) { layer = value; }
  void SetClickable(int value) { clickable = value; }
  int IsClickable() const { return clickable; }
  int IsOnList() const { return onList; }
  int IsWorldSpace() const { return worldSpace; }
  int IsHighlighted() const { return highlighted; }
  const char* GetName() const { return name; }

  void SetName(const char* text);
  // Stores the screen rectangle (bounds inclusive) a world-space element is
  // drawn into, and switches world-space drawing on.
  void SetViewport(int left, int top, int right, int bottom);
  void SetWorldSpace() { worldSpace = 1; }

  // Links of the render list's tree; only the render list uses these.
  Element* GetLeft() const { return left; }
  Element* GetRight() const { return right; }
  void SetLeft(Element* e) { left = e; }
  void SetRight(Element* e) { right = e; }
  void SetOnList(int value) { onList = value; }

 protected:
  int id = -1;
  int layer = 0;
  int clickable = 0;
  char name[32] = {};
  int onList = 0;
  int worldSpace = 0;
  int highlighted = 0;
  Element* left = nullptr;
  Element* right = nullptr;
  struct Viewport {
    int left, top, right, bottom;
  } viewport = {0, 0, 0, 0};
};
