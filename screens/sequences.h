// The two short scenes that frame a game: the astronauts' walk before it and
// their fall after it.
#pragma once

#include "screens/closing_sequence.h"
#include "screens/intro_sequence.h"
