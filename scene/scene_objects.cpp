// The order of these definitions is the order of construction; destruction runs
// in reverse. Keep them in one file so the order holds.
#include "scene/scene_objects.h"

ImageElement splashPicture;
AnimatedSprite logoVe, logoVarn, logoHolt, logoSubtitle;
ImageElement playButton;
ImageElement controlsButton;
ImageElement helpButton;
ImageElement quitButton;
RectangleShape playBox, controlsBox, helpBox, quitBox;
WorldMap worldMap;
TextLabel bigLabel;
TextLabel scoreLabel;
TextLabel middleLabel;
TextLabel bottomLabel;
TextLabel bestScoreLabel;
TextLabel promoLabel;
AnimatedSprite lifeIcons[4];
AnimatedSprite bombIcons[4];
TextLabel highScoreValueLabels[10];
TextLabel highScoreNameLabels[10];
TextLabel storyLabels[20];
TextLabel controlNameLabels[6];
TextLabel controlKeyLabels[6];
