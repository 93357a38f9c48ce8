// Synthesised drums for the music. Each hit is added to a mono buffer at
// 44.1 kHz at `start` seconds with a velocity 0..1.
#pragma once
#include <vector>

namespace audio {

void RenderKick(std::vector<float>* out, double start, double velocity, double punch);
void RenderSnare(std::vector<float>* out, double start, double velocity, unsigned seed);
void RenderClap(std::vector<float>* out, double start, double velocity, unsigned seed);
// `open` 0 (closed tick) .. 1 (open, ringing).
void RenderHat(std::vector<float>* out, double start, double velocity, double open, unsigned seed);
void RenderShaker(std::vector<float>* out, double start, double velocity, unsigned seed);
// A rising noise sweep that leads into a new section, `length` seconds long.
void RenderRiser(std::vector<float>* out, double start, double length, double velocity, unsigned seed);

}  // namespace audio
