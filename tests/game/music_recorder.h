// Stands in for the sound card behind the music: records what the screens ask
// of their tracks (when playback starts, every volume change, the stop) and
// how much decoded sound reached it.
#pragma once

#include <vector>

struct MusicRecord {
  int starts = 0;
  int startVolume = -1;
  int startPan = -1;
  std::vector<int> volumes;  // every Adjust, in order
  int stops = 0;
  long buffers = 0;          // filled buffers received
  long loudSamples = 0;      // samples away from silence
};

// Installs the recorder for every track opened from now on (and clears the
// record); Uninstall restores the real sound output.
class MusicRecorder {
 public:
  MusicRecorder();
  ~MusicRecorder();
  const MusicRecord& Record() const;
};
