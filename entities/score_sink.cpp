#include "entities/score_sink.h"

namespace {
void (*scoreSink)(int) = nullptr;
}

void EarnPoints(int points) {
  if (scoreSink) scoreSink(points);
}

void SetScoreSink(void (*sink)(int points)) { scoreSink = sink; }
