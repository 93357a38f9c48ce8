#include "entities/world.h"

namespace {
World ownWorld;
}

World* world = &ownWorld;
