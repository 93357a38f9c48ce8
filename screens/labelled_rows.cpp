#include "screens/labelled_rows.h"

#include <allegro.h>

#include <cstdio>

#include "scene/stage.h"

void LabelledRows::Open(FONT* font, int top, int spacing, int layer) {
  top_ = top;
  spacing_ = spacing;
  const int white = makecol(255, 255, 255), yellow = makecol(255, 252, 25), black = makecol(0, 0, 0);
  for (int row = 0; row < kMaxRows; ++row) {
    captionLabels_[row].Init(font, captions_[row], 500, RowY(row), 0, white, black, TextLabel::kRight, layer);
    valueLabels_[row].Init(font, values_[row], 524, RowY(row), 0, yellow, black, TextLabel::kLeft, layer);
  }
}

void LabelledRows::Set(int row, const std::string& caption, const std::string& value) {
  if (row < 0 || row >= kMaxRows) return;
  std::snprintf(captions_[row], sizeof captions_[row], "%s", caption.c_str());
  std::snprintf(values_[row], sizeof values_[row], "%s", value.c_str());
  stage.Show(&captionLabels_[row]);
  stage.Show(&valueLabels_[row]);
}

void LabelledRows::Close() {
  for (int row = 0; row < kMaxRows; ++row) {
    stage.Hide(&captionLabels_[row]);
    stage.Hide(&valueLabels_[row]);
  }
}
