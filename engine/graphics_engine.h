// The one engine object: brings Allegro up and down, owns the back buffer, the
// loaded data file and the render list, draws frames and fades, plays samples
// and polls the player's input. Everything else reaches the machine through it.
#pragma once

#include <allegro.h>

#include <bitset>

#include "engine/clock.h"
#include "engine/platform.h"
#include "engine/settings.h"
#include "scene/render_list.h"

struct MusicTrack;
class Element;

// What the command line asks of the display for this run, over the settings.
struct DisplayRequest {
  int fullscreen = -1;  // -1 as the settings say, 0 window, 1 full screen
  int scale = 0;        // 0 as the settings say, else 1 or 2
};

class GraphicsEngine {
 public:
  GraphicsEngine();
  ~GraphicsEngine();
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

  // Frames, fades and sound effects. DrawFrame moves the scene's animation on
  // and draws it; DrawStillFrame draws it as it stands (a question or a
  // pause over a game, where nothing may move).
  void DrawFrame();
  void DrawStillFrame();
  // A game played with no display (a replay being verified): frames move the
  // animation on and draw nothing, fades do nothing.
  void SetHeadless(bool headless) { headless_ = headless; }
  bool Headless() const { return headless_; }
  // Switches between window and full screen when F11 or Alt+Enter asked for
  // it (DrawFrame does this itself); true when the display changed.
  bool TakeDisplaySwitch();
  void FadeIn(MusicTrack* music);
  void FadeOut(MusicTrack* music);
  void PlaySample(int index, int loop);
  void StopSample(int index);
  // Silences every sound effect (a paused game) and brings the looping ones
  // back afterwards.
  void SuspendSamples();
  void ResumeSamples();

  // Input. Besides the screen's key and clicks, PollInput serves the keys
  // every screen shares: F11 and Alt+Enter switch between window and full
  // screen (in DrawFrame), - = [ ] and M set the volumes; those keys never
  // reach the screen.
  void PollInput(int& key, int& leftClick, int& rightClick, int& mouseX, int& mouseY);
  void WaitMouseRelease();
  int ElementAt(int x, int y) { return renderList_.PointAt(x, y); }
  void PollKeyboard() { platform_->PollKeyboard(); }
  bool KeyHeld(int scancode) { return platform_->KeyHeld(scancode); }
  const char* KeyName(int scancode) { return platform_->KeyName(scancode); }
  int ScancodeToAscii(int scancode) { return platform_->ScancodeToAscii(scancode); }
  void ShowMouse() { platform_->ShowMouse(true); }
  void HideMouse() { platform_->ShowMouse(false); }
  // While a name or a key is typed every key belongs to the screen.
  void SetTyping(bool typing) { typing_ = typing; }
  // In play the game keys win over the volume keys (null: none).
  void SetGameKeys(const int* keys, int count) {
    gameKeys_ = keys;
    gameKeyCount_ = count;
  }
  bool IsGameKey(int scancode) const;
  // On the title, menu and help screens the gamepad's first button and start
  // act as Enter, its second as Escape.
  void SetPadActsAsKeys(bool on) { padActsAsKeys_ = on; }
  // The gamepad as the last PollInput read it (once a step), and whether a
  // button went down since the PollInput before.
  const PadState& Pad() const { return pad_; }
  bool PadPressed(int button) const { return button >= 0 && button < 32 && (padPresses_ >> button & 1u); }
  bool AnyPadPressed() const { return padPresses_ != 0; }
  // Whether the last PollInput saw the player at all: a key typed (the keys
  // every screen shares included), a mouse button, a gamepad button.
  bool InputSeen() const { return inputSeen_; }
  // Off: every key goes to the screen as it is, the shared ones too (a demo,
  // which any key ends).
  void SetSharedKeysEnabled(bool on) { sharedKeys_ = on; }
  // Forgets what the player is pressing now: typed keys, a held mouse button
  // (waited for), gamepad presses; nothing of it reaches the next screen.
  void DiscardInput();
  // True once after the window lost the input focus.
  bool TakeFocusLost() { return platform_->TakeFocusLost(); }
  // Waits while nothing moves, sleeping on the real machine; between
  // BeginIdle and EndIdle the machine itself goes quiet (see Platform).
  void WaitIdle();
  void BeginIdle() { platform_->BeginIdle(); }
  void EndIdle() { platform_->EndIdle(); }

  // The player's lasting choices, as the settings file holds them (the
  // command line's options for this run are not among them).
  const Settings& CurrentSettings() const { return settings_; }
  // Takes a change the player made and writes the settings file.
  void ChangeSettings(const Settings& settings);
  // Volumes 0..8 and muting, shown for a moment over the picture.
  void StepMusicVolume(int delta);
  void StepEffectsVolume(int delta);
  void ToggleMute();
  // True while the volume label shows (a paused game redraws for it).
  bool NoticeShowing() const;

  // Clocks.
  int TickNow() const { return ::TickNow(); }
  int TickElapsed(int start, int interval) const { return ::TickElapsed(start, interval); }
  void WaitForFrame();

  // The render list.
  Element* AddElement(Element* e) { return renderList_.Add(e); }
  void RemoveElement(Element* e) { renderList_.Remove(e); }
  // Routine showing and hiding: only acts when the element isn't already in
  // that state, so the render list's error messages are left for real misuse.
  void Show(Element* e);
  void Hide(Element* e);
  RenderList& Elements() { return renderList_; }

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
  void LoadSettingsFile();
  int EffectsVolume() const;
  void ApplyMusicVolume();
  void ShowNotice(const char* text);
  void ChangeSound(const Settings& changed, const char* notice);
  void ClearUnlessCovered(BITMAP* target);
  void CreateBuffers();
  void DestroyBuffers();
  // Draws the scene into the free buffer and shows what changed.
  void DrawInto(bool advance);
  void DrawNotice(BITMAP* target);
  int FilterSharedKeys(int keyValue);

  int mouseUsable_ = -1;
  int soundUsable_ = -1;
  int width_ = 1024;
  int height_ = 768;
  RenderList renderList_;
  // Frames are drawn into the two buffers in turn: the other one still
  // holds the frame on the screen, so that only what changed is copied.
  BITMAP* backBuffer_ = nullptr;
  BITMAP* shownBuffer_ = nullptr;
  DATAFILE* data_ = nullptr;
  int mouseSpeed_ = 2;
  char message_[256] = {};

  int previousLeft_ = 0;
  int previousRight_ = 0;
  Platform* platform_;

  Settings settings_;
  bool headless_ = false;
  bool typing_ = false;
  bool sharedKeys_ = true;
  bool inputSeen_ = false;
  bool displaySwitchAsked_ = false;
  const int* gameKeys_ = nullptr;
  int gameKeyCount_ = 0;
  bool padActsAsKeys_ = false;
  PadState pad_;
  unsigned padPresses_ = 0;
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


