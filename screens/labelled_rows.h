// Rows of a caption and its value, the way the title screen sets its table:
// captions right-aligned in white up to x = 500, values left-aligned in
// yellow from x = 524. The rows own their texts.
#pragma once

#include <string>

#include "scene/text_label.h"

class LabelledRows {
 public:
  static constexpr int kMaxRows = 12;
  static constexpr int kTextLength = 95;

  // Rows `spacing` px apart from y = `top`, in `font`, on `layer`.
  void Open(FONT* font, int top, int spacing, int layer);
  // Row `row` shows `caption` and `value` (put on the stage when first set).
  void Set(int row, const std::string& caption, const std::string& value);
  // The row's y, for what is set between the rows.
  int RowY(int row) const { return top_ + spacing_ * row; }
  void Close();

 private:
  int top_ = 0, spacing_ = 0;
  char captions_[kMaxRows][kTextLength + 1] = {};
  char values_[kMaxRows][kTextLength + 1] = {};
  TextLabel captionLabels_[kMaxRows];
  TextLabel valueLabels_[kMaxRows];
};
