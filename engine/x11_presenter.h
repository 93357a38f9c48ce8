// Frames put on an X11 display in step with its refresh, through the X
// server's Present extension: a frame is handed over for the next refresh,
// shown whole at that refresh (no tearing), and the server says when each
// refresh happened, which times the frames drawn for the ones to come.
//
// The presenter has an X connection of its own (the library's belongs to the
// library's thread). Where the server makes pixmaps of shared memory, it keeps
// a picture of its own there, the picture's size: the game writes each
// enlarged frame into it, and the server copies it to the window once, at the
// refresh; a part of the window the desktop uncovers is shown again from it.
// Elsewhere the game writes into the library's own screen picture (shared
// with the server, read-only) and the rows that changed are copied from it
// into one of two pixmaps of the server's, presented in turn; the library
// then repaints what is uncovered itself, from its picture.
//
// Main thread only. Attach after every change of mode, Detach before the
// library's window goes away.
#pragma once

#include <cstdint>
#include <string>

#include "engine/display_modes.h"
#include "engine/refresh_grid.h"
#include "engine/sharp_scaler.h"

struct _XDisplay;

class X11Presenter {
 public:
  X11Presenter() = default;
  ~X11Presenter();
  X11Presenter(const X11Presenter&) = delete;
  X11Presenter& operator=(const X11Presenter&) = delete;

  // Takes the library's window and screen picture (a 32-bit screen on the
  // X11 system driver). False, with the reason in `why`, when the display
  // lacks what it needs; the presenter is then inactive.
  bool Attach(const PictureArea& picture, std::string* why);
  void Detach();
  bool Active() const { return active_; }
  // The presenter's own picture to write frames into (its rows at 0 ..
  // height - 1 are the picture's), or none: write into the library's screen.
  const PixelRows& OwnPicture() const { return ownPicture_; }

  // Waits until the display has shown the frame handed over last (or, when
  // nothing is pending, until its next refresh) and returns when the next
  // frame handed over will be seen, in monotonic nanoseconds. A display that
  // doesn't answer within a few refreshes is taken as unsynchronised for that
  // frame; one that never answers ends presenting (Active turns false).
  long long WaitForRefresh();
  // The screen's rows [top, bottom] changed since the frame handed over
  // before (top > bottom: none did): the picture goes to the display at the
  // refresh WaitForRefresh foretold, or at the next one when presented
  // without waiting. With nothing changed only the refresh is asked for.
  void Present(int top, int bottom);

  // Waits (a moment at most) until the frame handed over last has been
  // copied out of the presenter's own picture, so that the next may be
  // written there.
  void WaitUntilShown();

  // The display's refresh as measured (0 until known).
  double RefreshHz() const;

 private:
  struct Band {
    int top = 1, bottom = 0;  // empty when top > bottom
    bool Empty() const { return top > bottom; }
    void Add(int t, int b);
  };
  bool Fail(std::string* why, const char* reason);
  // Reads every event waiting; true once the completion of `serial_` is in.
  bool HandleEvents();
  // Waits for the completion of `waitingFor_` until `deadline`; true when it came.
  bool WaitForAnswer(long long deadline);
  bool MakeOwnPicture(const PictureArea& picture, int depth);
  bool Begin(const PictureArea& picture);
  void HandleEvent(void* event);
  void AskForRefresh();
  int IdlePixmap() const;
  void Release();

  _XDisplay* display_ = nullptr;
  bool active_ = false;
  PictureArea picture_;
  unsigned long window_ = 0;
  int presentOpcode_ = 0;
  unsigned long eventContext_ = 0;
  unsigned long ownPixmap_ = 0;
  void* ownShm_ = nullptr;
  PixelRows ownPicture_;
  unsigned long pixmaps_[2] = {0, 0};
  bool busy_[2] = {false, false};
  // Rows of each pixmap older than the shared picture (picture rows).
  Band stale_[2];
  // Rows that changed since the display last showed a frame of ours.
  Band unshown_;
  int lastPixmap_ = 1;
  void* gc_ = nullptr;
  void* image_ = nullptr;
  void* shm_ = nullptr;
  unsigned long updateRegion_ = 0;

  uint32_t serial_ = 0;
  // The serial whose completion the next wait waits for (0: none).
  uint32_t waitingFor_ = 0;
  uint32_t lastPresented_ = 0;
  bool targetKnown_ = false;
  uint64_t target_ = 0;
  int missedAnswers_ = 0;
  // Whether the server's times are the monotonic clock's.
  bool serverClockUsable_ = true;
  RefreshGrid grid_;
};
