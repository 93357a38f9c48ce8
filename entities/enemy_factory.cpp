#include "entities/enemy_factory.h"

#include <new>

#include "entities/baiter.h"
#include "entities/bomber.h"
#include "entities/bouncer.h"
#include "entities/enemy_roster.h"
#include "entities/fighter.h"
#include "entities/lander.h"
#include "entities/mine.h"
#include "entities/mutant.h"
#include "entities/orbiter.h"
#include "entities/phantom.h"
#include "entities/pod.h"
#include "entities/sentinel.h"
#include "entities/swarmer.h"

Entity* CreateEnemy(int type) {
  switch (type) {
    case kLander:
      // With nobody left to abduct, a lander comes as what it would become.
      if (world->humansAlive <= 0) return new (std::nothrow) Mutant;
      return new (std::nothrow) Lander;
    case kMutant:
      return new (std::nothrow) Mutant;
    case kFighter:
      return new (std::nothrow) Fighter;
    case kBouncer:
      return new (std::nothrow) Bouncer;
    case kSentinel:
      return new (std::nothrow) Sentinel;
    case kPod:
      return new (std::nothrow) Pod;
    case kSwarmer:
      return new (std::nothrow) Swarmer;
    case kBomber:
      return new (std::nothrow) Bomber;
    case kMine:
      return new (std::nothrow) Mine;
    case kBaiter:
      return new (std::nothrow) Baiter;
    case kPhantom:
      return new (std::nothrow) Phantom;
    case kOrbiter:
      return new (std::nothrow) Orbiter;
    default:
      return new (std::nothrow) Lander;
  }
}
