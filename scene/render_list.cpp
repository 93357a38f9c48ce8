#include "scene/render_list.h"

#include <cstdio>

#include "engine/clock.h"
#include "engine/log.h"
#include "scene/element.h"

void RenderList::Insert(Element* below, Element* subtree) {
  if (!subtree) return;
  Element* n = below;
  for (;;) {
    if (subtree->GetLayer() < n->GetLayer()) {
      if (!n->GetLeft()) {
        n->SetLeft(subtree);
        return;
      }
      n = n->GetLeft();
    } else {
      if (!n->GetRight()) {
        n->SetRight(subtree);
        return;
      }
      n = n->GetRight();
    }
  }
}

Element* RenderList::Add(Element* e) {
  if (e->IsOnList()) {
    char message[256];
    std::snprintf(message, sizeof message, "ERROR: Adding element (%d) already added\n", e->GetId());
    Log(message);
    return nullptr;
  }
  e->SetOnList(1);
  // Just arrived: drawn where it stands, never swept in from where it was
  // last seen.
  e->ForgetSteps();
  if (!root)
    root = e;
  else
    Insert(root, e);
  return e;
}

void RenderList::Remove(Element* e) {
  if (!e->IsOnList()) {
    char message[256];
    std::snprintf(message, sizeof message, "ERROR: Removing element (%d) not there\n", e->GetId());
    Log(message);
    return;
  }
  if (e == hovered) {
    e->Unhighlight();
    hovered = nullptr;
  }
  if (e == pressed) {
    e->Unhighlight();
    pressed = nullptr;
  }
  e->SetOnList(0);

  // Both grafts keep the in-order sequence of the remaining elements.
  bool unlinked = false;
  if (e == root) {
    Element* l = e->GetLeft();
    Element* r = e->GetRight();
    if (l) {
      root = l;
      Insert(l, r);
    } else {
      root = r;
    }
    unlinked = true;
  } else {
    Element* n = root;
    while (n) {
      if (n->GetLeft() == e) {
        n->SetLeft(e->GetLeft());
        Insert(n, e->GetRight());
        unlinked = true;
        break;
      }
      if (n->GetRight() == e) {
        n->SetRight(e->GetRight());
        Insert(n, e->GetLeft());
        unlinked = true;
        break;
      }
      n = e->GetLayer() < n->GetLayer() ? n->GetLeft() : n->GetRight();
    }
  }
  if (unlinked) {
    e->SetLeft(nullptr);
    e->SetRight(nullptr);
  }
}

void RenderList::DrawTree(Element* node, BITMAP* target, bool advance, bool draw) {
  // Left side recursively, right side as a loop.
  while (node) {
    if (node->GetLeft()) DrawTree(node->GetLeft(), target, advance, draw);
    if (advance) node->Advance();
    if (draw) node->Draw(target);
    node = node->GetRight();
  }
}

void RenderList::DrawAll(BITMAP* target, bool advance) { DrawTree(root, target, advance, true); }

void RenderList::AdvanceAll() { DrawTree(root, nullptr, true, false); }

bool RenderList::NoteTree(Element* node, bool cut) {
  bool moving = false;
  while (node) {
    if (node->GetLeft()) moving = NoteTree(node->GetLeft(), cut) || moving;
    moving = node->NoteStep(cut) || moving;
    node = node->GetRight();
  }
  return moving;
}

bool RenderList::NoteAll(bool cut) { return NoteTree(root, cut); }

Element* RenderList::First() const {
  Element* node = root;
  while (node && node->GetLeft()) node = node->GetLeft();
  return node;
}

Element* RenderList::Search(Element* node, int x, int y) {
  while (node) {
    if (node->GetRight()) {
      if (Element* found = Search(node->GetRight(), x, y)) return found;
    }
    if (node->IsClickable() && node->HitTest(x, y)) return node;
    node = node->GetLeft();
  }
  return nullptr;
}

int RenderList::PointAt(int x, int y) {
  if (!root) return -1;
  Element* found = Search(root, x, y);
  if (hovered && hovered != found) hovered->Unhighlight();
  if (!found) return -1;
  // Timed by the wall clock: a game's clock stands still while its quit
  // question is open, and the question's buttons must light up all the same.
  if (found == hovered) {
    if (!WallTickElapsed(hoverStamp, 1)) return found->GetId();
    found->Highlight();
  } else {
    hovered = found;
  }
  hoverStamp = WallTickNow();
  return found->GetId();
}

void RenderList::Press(int x, int y) {
  if (!root) return;
  if (Element* found = Search(root, x, y)) {
    pressed = found;
    found->OnPress();
  }
}

void RenderList::Release() {
  if (pressed) {
    pressed->OnRelease();
    pressed = nullptr;
  }
}

static int CountTree(const Element* node) {
  int n = 0;
  while (node) {
    n += 1 + CountTree(node->GetLeft());
    node = node->GetRight();
  }
  return n;
}

int RenderList::Count() const { return CountTree(root); }
