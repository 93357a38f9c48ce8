#pragma once

// The one routine through which points are earned: keeps the best score and the
// texts, and gives an extra life and bomb every 10000 points (one per call).
void AddScore(int points);
// The score and the best score shown as they stand.
void ShowScores();

// Puts the icons for the current lives and bombs on the render list / takes the
// icon of a lost life or used bomb off.
void ShowLifeAndBombIcons();
void TakeLifeIcon();
void TakeBombIcon();
