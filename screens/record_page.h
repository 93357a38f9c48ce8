// The "Record" page, opened from the help screen with R: the totals of every
// game played from the menu (practice games too) across all runs: games, time
// played, the best wave, enemies destroyed and humans rescued. Any key or a
// click goes back.
#pragma once

#include <string>
#include <vector>

#include "game/player_record.h"
#include "screens/numbers_screen.h"

struct MusicTrack;

// The page's rows for a record.
std::vector<NumbersRow> RecordRows(const PlayerRecord& record);

// Shown over whatever the screen below shows, which stays as it was.
void RunRecordPage(MusicTrack* track);
