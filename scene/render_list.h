// The set of elements on the screen, kept as an unbalanced search tree keyed by
// layer and linked through the elements themselves, so adding and removing never
// allocate. In-order is draw order: lower layers first, and within a layer the
// order of adding. Hit tests walk the reverse order, so the topmost element wins.
#pragma once

struct BITMAP;
class Element;

class RenderList {
 public:
  // Returns e, or null (after logging) when e is already on the list.
  Element* Add(Element* e);
  void Remove(Element* e);
  // Every element in draw order; `advance` first moves each one's animation
  // on (see Element::Advance), as a frame of the running scene does.
  void DrawAll(BITMAP* target, bool advance = true);
  // The animation alone, without drawing: a game played with no display.
  void AdvanceAll();
  // The scene's step is done: every element notes where it stands (see
  // Element::NoteStep).
  // True when anything is on its way somewhere.
  bool NoteAll(bool cut);
  // The element drawn first, or null when the list is empty.
  Element* First() const;
  // Id of the topmost clickable element under the point, or -1; drives the
  // hover highlight.
  int PointAt(int x, int y);
  void Press(int x, int y);
  void Release();
  // Drops the tree without touching any element (program exit).
  void Forget() { root = nullptr; }

  Element* Root() const { return root; }
  Element* Hovered() const { return hovered; }
  Element* Pressed() const { return pressed; }
  // Number of elements on the list (walks the tree; for checks and tests).
  int Count() const;

 private:
  static void Insert(Element* below, Element* subtree);
  static void DrawTree(Element* node, BITMAP* target, bool advance, bool draw);
  static bool NoteTree(Element* node, bool cut);
  static Element* Search(Element* node, int x, int y);

  int hoverStamp = 0;
  Element* root = nullptr;
  Element* hovered = nullptr;
  Element* pressed = nullptr;
};
