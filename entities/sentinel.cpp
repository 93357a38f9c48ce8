#include "entities/sentinel.h"

#include <allegro.h>

// Keeps the still drift its set-up gives it: the standard move leaves it here.
void Sentinel::Place(int, int) { SetPosition(2048, 50); }

int Sentinel::ScannerColour() { return makecol(34, 139, 34); }
