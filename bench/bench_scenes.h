// The scenes the benchmark times, built from the real data file and the game's
// own set-up code: the library without a display, every screen object built,
// and a fixed random seed so each build of a scene is the same.
#pragma once

#include <string>

namespace bench {

// Brings the library up without a display, loads kav.dat and builds the screen
// objects. Returns false (with `error` set) when that fails.
bool StartHeadless(std::string& error);

// The kav.dat the benchmark reads: $KAV_DATA_DIR/kav.dat, else the build's.
std::string DataFilePath();

// Everything off the render list, enemies deleted, a new game set up.
void ClearScene();

// Wave 16 in its first step: every spawn-in just started.
void BuildWave16SpawnIn();
// Wave 16 with all its fighters entered in view of the ship, 20 beams, 60
// fighter missiles and 30 explosions in flight.
void BuildWave16Battle();
// Wave 20: enemies entered, the boss in view with its volleys flying and a
// dozen of its explosions running.
void BuildBossFight();
// The title screen's picture, table and logo, as its fade-in finds them.
void BuildTitleScene();

// What is on the screen, to check that a scene is what its name says.
struct SceneCount {
  int elements = 0;
  int enemies = 0;       // live enemies on the render list
  int spawnIns = 0;      // implosions on the render list
  int bullets = 0;
  int missiles = 0;
  int explosions = 0;    // enemy and boss explosions on the render list
  bool boss = false;
  bool shipAlive = false;
};
SceneCount CountScene();

}  // namespace bench
