#include "scene/element.h"

#include <cstdio>

void Element::Draw(BITMAP*) {}
int Element::HitTest(int, int) { return 0; }
void Element::Highlight() { highlighted = 1; }
void Element::Unhighlight() { highlighted = 0; }
void Element::OnPress() {}
void Element::OnRelease() {}

void Element::SetName(const char* text) { std::snprintf(name, sizeof name, "%s", text); }

void Element::SetViewport(int l, int t, int r, int b) {
  viewport = {l, t, r, b};
  worldSpace = 1;
}
