// The one engine object: brings Allegro up and down, owns the display, the
// back buffers and the loaded data file, presents frames, plays samples and
// sets the volumes. Everything else reaches the machine through it (the
// player's input through Input, which reads the same machine).
#pragma once

#include <allegro.h>

#include <bitset>
#include <optional>

#include "engine/clock.h"
#include "engine/platform.h"
#include "engine/settings.h"

// What the command line asks of the display for this run, over the settings.
struct DisplayRequest {
  int fullscreen = -1;  // -1 as the settings say, 0 window, 1 full screen
  int scale = -1;       // -1 as the settings say, else kScaleFit or 1 to kLargestScale
  std::optional<RefreshMode> refresh;  // nothing: as the settings say
};

class GraphicsEngine {
 public:
  GraphicsEngine();
  GraphicsEngine(const GraphicsEngine&) = delete;
  GraphicsEngine& operator=(const GraphicsEngine&) = delete;

  // Start-up of the running game; logs each step and ends the process with
  // exit codes 1 to 4 on the fatal failures. The settings file is read here.
  void Initialise(const DisplayRequest& request = DisplayRequest());
  void Shutdown();

  // For programs without a screen (tests, the benchmark): a back buffer and a
  // data file on top of an already installed library. Returns false when the
  // data file can't be loaded or doesn't hold what the game needs.
  bool InitialiseOffscreen(const char* dataFile);
  void ReleaseOffscreen();

  // The data file object at `index` (BITMAP*, FONT* or SAMPLE* by its kind).
  void* GetData(int index) const { return data_[index].dat; }
  BITMAP* Bitmap(int index) const { return static_cast<BITMAP*>(GetData(index)); }
  FONT* Font(int index) const { return static_cast<FONT*>(GetData(index)); }
  SAMPLE* Sample(int index) const { return static_cast<SAMPLE*>(GetData(index)); }

  // A frame: BeginFrame gives the buffer to draw it into, EndFrame puts the
  // volume label over it and shows what changed since the frame before.
  BITMAP* BeginFrame();
  void EndFrame();
  // Shows a whole picture at once (the steps of a fade).
  void PresentWhole(BITMAP* picture);
  // A game played with no display (a replay being verified): frames move the
  // animation on and draw nothing, fades do nothing.
  void SetHeadless(bool headless) { headless_ = headless; }
  bool Headless() const { return headless_; }
  // F11 or Alt+Enter asks for the other of window and full screen; the switch
  // happens at the next frame (TakeDisplaySwitch), true when it did.
  void AskDisplaySwitch() { displaySwitchAsked_ = true; }
  bool DisplaySwitchAsked() const { return displaySwitchAsked_; }
  bool TakeDisplaySwitch();
  void PlaySample(int index, int loop);
  void StopSample(int index);
  // Silences every sound effect (a paused game) and brings the looping ones
  // back afterwards.
  void SuspendSamples();
  void ResumeSamples();

  void ShowMouse() { platform_->ShowMouse(true); }
  void HideMouse() { platform_->ShowMouse(false); }
  // Waits while nothing moves, sleeping on the real machine; between
  // BeginIdle and EndIdle the machine itself goes quiet (see Platform).
  void WaitIdle();
  void BeginIdle() { platform_->BeginIdle(); }
  void EndIdle() { platform_->EndIdle(); }

  // Volumes 0..8 and muting, kept in the settings and shown for a moment over
  // the picture.
  void StepMusicVolume(int delta);
  void StepEffectsVolume(int delta);
  void ToggleMute();
  // True while the volume label shows (a paused game redraws for it).
  bool NoticeShowing() const;
  // Where the music's level goes (the music player is set up beside the
  // engine); the level follows the settings from then on.
  void SetMusicLevelReceiver(void (*receiver)(int level));

  // Clocks.
  int TickNow() const { return ::TickNow(); }
  int TickElapsed(int start, int interval) const { return ::TickElapsed(start, interval); }
  void WaitForFrame();
  // Frames at the display's refresh (see Platform::WaitForRefresh): the time
  // the next frame will be seen, or 0 when frames go one a step.
  long long WaitForRefresh();

  BITMAP* BackBuffer() const { return backBuffer_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int MouseUsable() const { return mouseUsable_; }
  int SoundUsable() const { return soundUsable_; }

  // Tests replace the machine with a scripted one; null restores the real one.
  void SetPlatform(Platform* platform);
  Platform& CurrentPlatform() { return *platform_; }

 private:
  [[noreturn]] void Fail(int exitCode);
  bool DataFileUsable() const;
  void FetchFonts();
  int EffectsVolume() const;
  void ApplyMusicVolume();
  void ShowNotice(const char* text);
  void ChangeSound(const Settings& changed, const char* notice);
  void CreateBuffers();
  void DestroyBuffers();
  void DrawNotice(BITMAP* target);

  int mouseUsable_ = -1;
  int soundUsable_ = -1;
  int width_ = 1024;
  int height_ = 768;
  // Frames are drawn into the two buffers in turn: the other one still
  // holds the frame on the screen, so that only what changed is copied.
  BITMAP* backBuffer_ = nullptr;
  BITMAP* shownBuffer_ = nullptr;
  DATAFILE* data_ = nullptr;
  int mouseSpeed_ = 2;
  char message_[256] = {};
  Platform* platform_;

  bool headless_ = false;
  bool displaySwitchAsked_ = false;
  void (*musicLevelReceiver_)(int) = nullptr;
  std::bitset<256> looping_;
  char notice_[48] = "";
  long long noticeUntilMs_ = 0;
};

extern GraphicsEngine engine;

// Font handles fetched at start-up; the message box draws with dialogFont.
extern FONT* spareFont;
extern FONT* scoreFont;
extern FONT* messageFont;
extern FONT* dialogFont;
