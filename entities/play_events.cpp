#include "entities/play_events.h"

namespace {
void (*eventSink)(PlayEvent) = nullptr;
}

void ReportPlayEvent(PlayEvent event) {
  if (eventSink) eventSink(event);
}

void SetPlayEventSink(void (*sink)(PlayEvent event)) { eventSink = sink; }
