#pragma once

class Entity;

// A new enemy of the class of `type`, constructed but not set up; null when
// memory runs out. Type 0 gives a mutant while no human is present; a number
// outside 0..11 gives a lander.
Entity* CreateEnemy(int type);
