// Every screen object: globals with static storage, constructed before main in
// the order of scene_objects.cpp and destroyed in reverse after it. Screens
// re-initialise them and show or hide them on the stage. (The objects of play
// are in entities/play_objects.h.)
#pragma once

#include "engine/graphics_engine.h"
#include "scene/animated_sprite.h"
#include "scene/image_element.h"
#include "scene/polygon_shape.h"
#include "scene/text_label.h"
#include "scene/world_map.h"

extern ImageElement splashPicture;
extern AnimatedSprite logoVe, logoVarn, logoHolt, logoSubtitle;
extern ImageElement playButton, controlsButton, helpButton, quitButton;
extern RectangleShape playBox, controlsBox, helpBox, quitBox;
extern WorldMap worldMap;
extern TextLabel bigLabel;
extern TextLabel scoreLabel;
extern TextLabel middleLabel;
extern TextLabel bottomLabel;
extern TextLabel bestScoreLabel;
extern TextLabel promoLabel;
extern AnimatedSprite lifeIcons[4];
extern AnimatedSprite bombIcons[4];
extern TextLabel highScoreValueLabels[10];
extern TextLabel highScoreNameLabels[10];
extern TextLabel storyLabels[20];
extern TextLabel controlNameLabels[6];
extern TextLabel controlKeyLabels[6];

// Menu ids of the four boxes (the message-box buttons use 16 and 17).
enum MenuId { kPlayId = 3, kControlsId = 4, kHelpId = 5, kQuitId = 6 };
