#pragma once

// Gives every global scene object its picture, font, position, colours, layer
// and name, once at start-up. Nothing is put on the render list here.
void BuildScreenObjects();

constexpr int kMessageSize = 96;
extern char bigText[kMessageSize];
extern char middleText[kMessageSize];
extern char bottomText[kMessageSize];
extern const char* const kStoryLines[15];
extern const char kPromotionalLine[];
