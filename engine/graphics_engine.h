// The one engine object: brings Allegro up and down, owns the back buffer, the
// loaded data file and the render list, draws frames and fades, plays samples
// and polls the player's input. Everything else reaches the machine through it.
#pragma once

#include <allegro.h>

#include "engine/clock.h"
#include "engine/platform.h"
#include "scene/render_list.h"

struct MusicTrack;
class Element;

class GraphicsEngine {
 public:
  GraphicsEngine();
  ~GraphicsEngine();
  GraphicsEngine(const GraphicsEngine&) = delete;
  GraphicsEngine& operator=(const GraphicsEngine&) = delete;

  // Start-up of the running game; logs each step and ends the process with
  // exit codes 1 to 4 on the fatal failures.
  void Initialise();
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

  // Frames, fades and sound effects.
  void DrawFrame();
  void FadeIn(MusicTrack* music);
  void FadeOut(MusicTrack* music);
  void PlaySample(int index, int loop);
  void StopSample(int index);

  // Input.
  void PollInput(int& key, int& leftClick, int& rightClick, int& mouseX, int& mouseY);
  void WaitMouseRelease();
  int ElementAt(int x, int y) { return renderList_.PointAt(x, y); }
  void PollKeyboard() { platform_->PollKeyboard(); }
  bool KeyHeld(int scancode) { return platform_->KeyHeld(scancode); }
  const char* KeyName(int scancode) { return platform_->KeyName(scancode); }
  int ScancodeToAscii(int scancode) { return platform_->ScancodeToAscii(scancode); }
  void ShowMouse() { platform_->ShowMouse(true); }
  void HideMouse() { platform_->ShowMouse(false); }

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

  int mouseUsable_ = -1;
  int soundUsable_ = -1;
  int width_ = 1024;
  int height_ = 768;
  RenderList renderList_;
  BITMAP* backBuffer_ = nullptr;
  DATAFILE* data_ = nullptr;
  int mouseSpeed_ = 2;
  char message_[256] = {};

  bool timerInstalled_ = false;
  bool clockPumping_ = false;
  ClockPump clockPump_;
  int previousLeft_ = 0;
  int previousRight_ = 0;
  Platform* platform_;
};

extern GraphicsEngine engine;

// Font handles fetched at start-up; the message box draws with dialogFont.
extern FONT* spareFont;
extern FONT* scoreFont;
extern FONT* messageFont;
extern FONT* dialogFont;

// The 100 ms tick and 50 Hz frame timer callbacks installed by the engine and
// the main function.
void InstallFrameTimer();
