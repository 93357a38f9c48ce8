// Recorded games played again through the game's own loop, with the
// recording's actions in place of the player's: watched on the display
// (`--replay`), or verified headless (`--verify`) against the result the
// recording holds. The attract demo on the title plays one too.
#pragma once

#include <string>

#include "game/player_actions.h"
#include "replay/replay_file.h"

struct DisplayRequest;

// The recording's actions, one a step. A watched replay runs four steps to a
// frame while the right arrow is held. When the actions run out, the result
// of that moment (where a quit question answered yes left the recorded game)
// is kept. At each checkpoint the game's state is compared with the one
// recorded: the first that differs ends the game there.
class ReplaySource : public ActionSource {
 public:
  ReplaySource(const Replay& replay, bool watched) : replay_(replay), watched_(watched) {}
  bool Next(uint8_t& actions) override;
  bool RanOut() const { return ranOut_; }
  const ReplayResult& ResultWhenRanOut() const { return resultWhenRanOut_; }
  uint32_t StepsPlayed() const { return static_cast<uint32_t>(next_); }
  // The step at whose checkpoint the game first departed from the recording,
  // or 0.
  uint32_t DepartedAt() const { return departedAt_; }

 private:
  const Replay& replay_;
  bool watched_;
  size_t next_ = 0;
  int stepOfFrame_ = 0;
  bool ranOut_ = false;
  ReplayResult resultWhenRanOut_;
  uint32_t departedAt_ = 0;
};

// Plays the recorded game from its seed to its end (or until the source
// stops it) and gives the result it reached. The screens around a game are
// not shown.
ReplayResult PlayRecordedGame(const Replay& replay, ReplaySource& source);

// The `--verify FILE` command: one line "score <n>, wave <w>, steps <s>" (and
// ", from wave <f>" for a practice game) and 0 when the file's result is
// reached again with every checkpoint matching; with `stats`, the game's
// numbers follow as one line of JSON (see GameSummaryJson). A
// one-line message on standard error and kExitBadData for a damaged, foreign,
// other-format or other-rules file, a game that departs from the recording
// ("replay departs from its game at step N") or a result that differs. 4 when
// the game's data file can't be loaded; kExitIoError when the result line
// cannot be written.
int VerifyReplayFile(const std::string& file, bool stats = false);

// Reads a replay for `--replay` (or `--verify`): false, with the message
// written to standard error, when the file is no good or was played by other
// rules.
bool LoadReplayToWatch(const std::string& file, Replay& replay);
// The game started up on its display: plays the replay at normal speed with
// its sounds; Escape stops it.
void WatchReplay(const Replay& replay);
