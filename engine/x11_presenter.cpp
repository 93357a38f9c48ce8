#include "engine/x11_presenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xpresent.h>
#include <poll.h>
#include <time.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "engine/x11_library_state.h"

namespace {

// A display that says nothing for this long has missed a refresh (a
// minimised window, a busy server); after a few such the presenter gives up.
constexpr int kAnswerWaitMs = 100;
constexpr int kMissedAnswersToGiveUp = 5;

long long NowNs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Errors on the presenter's own connection are counted, not fatal (Xlib's
// default handler ends the process); the library's go where they went.
Display* ownDisplay = nullptr;
int ownErrors = 0;
XErrorHandler previousHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
  if (display == ownDisplay) {
    ++ownErrors;
    return 0;
  }
  return previousHandler ? previousHandler(display, error) : 0;
}

Display* Dpy(_XDisplay* display) { return reinterpret_cast<Display*>(display); }

// While frames go out from the presenter's own picture, the library's is
// black: a part of the window uncovered is left to the window's black
// background and the presenter shows the whole picture again. Called on the
// library's thread.
std::atomic<bool> uncovered{false};
void (*libraryRedrawer)(int, int, int, int) = nullptr;
void OnUncovered(int, int, int, int) { uncovered = true; }

}  // namespace

void X11Presenter::Band::Add(int t, int b) {
  if (t > b) return;
  if (Empty()) {
    top = t;
    bottom = b;
    return;
  }
  top = std::min(top, t);
  bottom = std::max(bottom, b);
}

X11Presenter::~X11Presenter() {
  Release();
  if (display_) {
    XCloseDisplay(Dpy(display_));
    ownDisplay = nullptr;
    display_ = nullptr;
  }
}

bool X11Presenter::Fail(std::string* why, const char* reason) {
  if (why) *why = reason;
  Release();
  return false;
}

bool X11Presenter::Attach(const PictureArea& picture, std::string* why) {
  Release();
  const LibraryX11Head& library = _xwin;
  if (!library.display || library.window == None || !library.ximage) return Fail(why, "no X11 window");
  XImage* screenImage = library.ximage;
  if (screenImage->bits_per_pixel != 32 || screenImage->format != ZPixmap) return Fail(why, "the screen is not 32-bit");
  if (picture.x < 0 || picture.y < 0 || picture.x + picture.width > screenImage->width ||
      picture.y + picture.height > screenImage->height)
    return Fail(why, "the picture does not lie on the screen");

  if (!display_) {
    display_ = reinterpret_cast<_XDisplay*>(XOpenDisplay(DisplayString(library.display)));
    if (!display_) return Fail(why, "no second connection to the X server");
    ownDisplay = Dpy(display_);
    XErrorHandler before = XSetErrorHandler(OnXError);
    if (before != OnXError) previousHandler = before;
  }
  Display* dpy = Dpy(display_);
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XPresentQueryExtension(dpy, &presentOpcode_, &eventBase, &errorBase) ||
      !XPresentQueryVersion(dpy, &major, &minor))
    return Fail(why, "the X server has no Present extension");
  if (!XFixesQueryExtension(dpy, &eventBase, &errorBase)) return Fail(why, "the X server has no XFIXES extension");

  ownErrors = 0;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(dpy, library.window, &attributes)) return Fail(why, "the window cannot be read");
  window_ = library.window;

  if (MakeOwnPicture(picture, attributes.depth)) {
    updateRegion_ = XFixesCreateRegion(dpy, nullptr, 0);
    // One pixmap, written only once its frame is shown: its completion is
    // all that is waited for.
    eventContext_ = XPresentSelectInput(dpy, window_, PresentCompleteNotifyMask);
    XSync(dpy, False);
    if (ownErrors) return Fail(why, "the X server refused the presenting window");
    libraryRedrawer = _xwin_window_redrawer;
    _xwin_window_redrawer = OnUncovered;
    return Begin(picture);
  }

  // Else the library's own picture, copied into pixmaps of the server's: its
  // shared memory when it has some, else its bytes sent over the connection.
  XImage* image = nullptr;
  const XShmSegmentInfo* theirs = reinterpret_cast<const XShmSegmentInfo*>(screenImage->obdata);
  if (theirs && XShmQueryExtension(dpy)) {
    XShmSegmentInfo* shm = new XShmSegmentInfo();
    shm->shmid = theirs->shmid;
    shm->shmaddr = theirs->shmaddr;
    shm->readOnly = True;
    shm_ = shm;
    image = XShmCreateImage(dpy, attributes.visual, attributes.depth, ZPixmap, theirs->shmaddr, shm,
                            screenImage->width, screenImage->height);
    if (image && XShmAttach(dpy, shm)) {
      XSync(dpy, False);
      if (ownErrors) {
        XShmDetach(dpy, shm);
        image->data = nullptr;
        XDestroyImage(image);
        image = nullptr;
      }
    } else if (image) {
      image->data = nullptr;
      XDestroyImage(image);
      image = nullptr;
    }
    if (!image) {
      delete shm;
      shm_ = nullptr;
      ownErrors = 0;
    }
  }
  if (!image)
    image = XCreateImage(dpy, attributes.visual, attributes.depth, ZPixmap, 0, screenImage->data,
                         screenImage->width, screenImage->height, 32, screenImage->bytes_per_line);
  image_ = image;
  if (!image || image->bytes_per_line != screenImage->bytes_per_line || image->bits_per_pixel != 32)
    return Fail(why, "the screen's picture cannot be shared");

  for (unsigned long& pixmap : pixmaps_)
    pixmap = XCreatePixmap(dpy, window_, picture.width, picture.height, attributes.depth);
  gc_ = XCreateGC(dpy, pixmaps_[0], 0, nullptr);
  updateRegion_ = XFixesCreateRegion(dpy, nullptr, 0);
  eventContext_ = XPresentSelectInput(dpy, window_, PresentCompleteNotifyMask | PresentIdleNotifyMask);
  XSync(dpy, False);
  if (ownErrors) return Fail(why, "the X server refused the presenting window");
  return Begin(picture);
}

bool X11Presenter::Begin(const PictureArea& picture) {
  picture_ = picture;
  uncovered = false;
  for (int i = 0; i < 2; ++i) {
    busy_[i] = false;
    stale_[i] = Band();
    stale_[i].Add(0, picture.height - 1);
  }
  unshown_ = Band();
  unshown_.Add(0, picture.height - 1);
  waitingFor_ = 0;
  targetKnown_ = false;
  missedAnswers_ = 0;
  grid_.Restart();
  active_ = true;
  return true;
}

// A picture of the presenter's own in shared memory the server may write,
// made a pixmap of the server's: each frame is written there and copied to
// the window once, at the refresh.
bool X11Presenter::MakeOwnPicture(const PictureArea& picture, int depth) {
  Display* dpy = Dpy(display_);
  Bool sharedPixmaps = False;
  int major = 0, minor = 0;
  if (!XShmQueryVersion(dpy, &major, &minor, &sharedPixmaps) || !sharedPixmaps || XShmPixmapFormat(dpy) != ZPixmap)
    return false;
  const long pitch = static_cast<long>(picture.width) * 4;
  XShmSegmentInfo* shm = new XShmSegmentInfo();
  shm->shmid = shmget(IPC_PRIVATE, static_cast<size_t>(pitch) * picture.height, IPC_CREAT | 0600);
  shm->shmaddr = shm->shmid >= 0 ? static_cast<char*>(shmat(shm->shmid, nullptr, 0)) : reinterpret_cast<char*>(-1);
  shm->readOnly = False;
  bool made = shm->shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(dpy, shm);
  if (made) {
    XSync(dpy, False);
    made = ownErrors == 0;
  }
  // Gone once both sides let go, whatever ends the program.
  if (shm->shmid >= 0) shmctl(shm->shmid, IPC_RMID, nullptr);
  if (made) {
    ownPixmap_ = XShmCreatePixmap(dpy, window_, shm->shmaddr, shm, picture.width, picture.height, depth);
    XSync(dpy, False);
    made = ownErrors == 0;
    if (!made) ownPixmap_ = 0;
  }
  if (!made) {
    if (shm->shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm->shmaddr);
    delete shm;
    XSync(dpy, False);
    ownErrors = 0;
    return false;
  }
  ownShm_ = shm;
  ownPicture_.pixels = reinterpret_cast<uint8_t*>(shm->shmaddr);
  ownPicture_.pitch = pitch;
  ownPicture_.width = picture.width;
  ownPicture_.height = picture.height;
  return true;
}

void X11Presenter::Detach() { Release(); }

void X11Presenter::Release() {
  active_ = false;
  if (!display_) return;
  Display* dpy = Dpy(display_);
  if (eventContext_) XPresentFreeInput(dpy, window_, eventContext_);
  eventContext_ = 0;
  for (unsigned long& pixmap : pixmaps_) {
    if (pixmap) XFreePixmap(dpy, pixmap);
    pixmap = 0;
  }
  if (gc_) XFreeGC(dpy, static_cast<GC>(gc_));
  gc_ = nullptr;
  if (ownPixmap_) {
    XFreePixmap(dpy, ownPixmap_);
    ownPixmap_ = 0;
    // The library paints its window itself again.
    _xwin_window_redrawer = libraryRedrawer;
  }
  if (ownShm_) {
    XShmSegmentInfo* shm = static_cast<XShmSegmentInfo*>(ownShm_);
    XShmDetach(dpy, shm);
    XSync(dpy, False);
    shmdt(shm->shmaddr);
    delete shm;
    ownShm_ = nullptr;
  }
  ownPicture_ = PixelRows();
  if (updateRegion_) XFixesDestroyRegion(dpy, updateRegion_);
  updateRegion_ = 0;
  if (shm_) XShmDetach(dpy, static_cast<XShmSegmentInfo*>(shm_));
  if (image_) {
    // The bytes are the library's.
    XImage* image = static_cast<XImage*>(image_);
    image->data = nullptr;
    XDestroyImage(image);
    image_ = nullptr;
  }
  // Every request about the old window reaches the server before the
  // library takes the window and its memory away.
  XSync(dpy, True);
  delete static_cast<XShmSegmentInfo*>(shm_);
  shm_ = nullptr;
  window_ = 0;
}

double X11Presenter::RefreshHz() const {
  return grid_.Known() ? 1e9 / static_cast<double>(grid_.PeriodNs()) : 0.0;
}

void X11Presenter::HandleEvent(void* raw) {
  XEvent& event = *static_cast<XEvent*>(raw);
  if (event.type != GenericEvent || event.xcookie.extension != presentOpcode_) return;
  Display* dpy = Dpy(display_);
  if (!XGetEventData(dpy, &event.xcookie)) return;
  if (event.xcookie.evtype == PresentCompleteNotify) {
    const XPresentCompleteNotifyEvent& done = *static_cast<XPresentCompleteNotifyEvent*>(event.xcookie.data);
    const long long now = NowNs();
    long long shownAt = static_cast<long long>(done.ust) * 1000;
    // A server whose clock is not this machine's monotonic one: the time the
    // answer came is the best there is.
    if (serverClockUsable_ && (shownAt > now + 1000000 || now - shownAt > 1000000000LL)) serverClockUsable_ = false;
    if (!serverClockUsable_) shownAt = now;
    // Frames replaced before they were seen report the refresh too late to
    // place it well.
    if (done.mode != PresentCompleteModeSkip) grid_.Report(done.msc, shownAt);
    if (done.serial_number == lastPresented_ && done.mode != PresentCompleteModeSkip) unshown_ = Band();
    if (done.serial_number == waitingFor_) {
      waitingFor_ = 0;
      target_ = done.msc + 1;
      targetKnown_ = true;
    }
  } else if (event.xcookie.evtype == PresentIdleNotify) {
    const XPresentIdleNotifyEvent& idle = *static_cast<XPresentIdleNotifyEvent*>(event.xcookie.data);
    for (int i = 0; i < 2; ++i)
      if (pixmaps_[i] == idle.pixmap) busy_[i] = false;
  }
  XFreeEventData(dpy, &event.xcookie);
}

bool X11Presenter::HandleEvents() {
  Display* dpy = Dpy(display_);
  while (XPending(dpy) > 0) {
    XEvent event;
    XNextEvent(dpy, &event);
    HandleEvent(&event);
  }
  return waitingFor_ == 0;
}

void X11Presenter::AskForRefresh() {
  waitingFor_ = ++serial_;
  // 0 asks for the refresh now under way: the answer comes at once with the
  // display's counter.
  XPresentNotifyMSC(Dpy(display_), window_, waitingFor_, targetKnown_ ? target_ : 0, 0, 0);
  XFlush(Dpy(display_));
}

void X11Presenter::WaitUntilShown() {
  // Only the presenter's own picture is read by the server after the frame
  // is handed over.
  if (!active_ || !ownPixmap_ || waitingFor_ == 0 || waitingFor_ != lastPresented_) return;
  WaitForAnswer(NowNs() + kAnswerWaitMs * 1000000LL);
}

bool X11Presenter::WaitForAnswer(long long deadline) {
  Display* dpy = Dpy(display_);
  while (!HandleEvents()) {
    const long long left = deadline - NowNs();
    if (left <= 0) return false;
    pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, static_cast<int>((left + 999999) / 1000000));
  }
  return true;
}

long long X11Presenter::WaitForRefresh() {
  if (!active_) return 0;
  // Uncovered while nothing changed: the picture as it stands, again.
  if (ownPixmap_ && uncovered && waitingFor_ == 0) Present(1, 0);
  if (waitingFor_ == 0) AskForRefresh();
  if (!WaitForAnswer(NowNs() + kAnswerWaitMs * 1000000LL)) {
    // No answer: carry on by the clock; a late answer is still read.
    waitingFor_ = 0;
    if (++missedAnswers_ >= kMissedAnswersToGiveUp) {
      Release();
      return 0;
    }
    if (targetKnown_) ++target_;
    return NowNs() + grid_.PeriodNs();
  }
  missedAnswers_ = 0;
  return grid_.TimeOf(target_);
}

int X11Presenter::IdlePixmap() const {
  // The other one first: the one shown last may still be on its way.
  const int other = 1 - lastPixmap_;
  if (!busy_[other]) return other;
  if (!busy_[lastPixmap_]) return lastPixmap_;
  return -1;
}

void X11Presenter::Present(int top, int bottom) {
  if (!active_) return;
  Display* dpy = Dpy(display_);
  int first = std::max(top - picture_.y, 0);
  int last = std::min(bottom - picture_.y, picture_.height - 1);
  if (ownPixmap_ && uncovered.exchange(false)) {
    first = 0;
    last = picture_.height - 1;
  }
  if (first > last) {
    // Nothing new: the display's clock is still wanted.
    HandleEvents();
    if (waitingFor_ == 0) AskForRefresh();
    return;
  }
  unshown_.Add(first, last);
  HandleEvents();
  if (ownPixmap_) {
    // Only the rows not shown yet are copied to the window.
    XRectangle update = {0, static_cast<short>(unshown_.top), static_cast<unsigned short>(picture_.width),
                         static_cast<unsigned short>(unshown_.bottom - unshown_.top + 1)};
    XFixesSetRegion(dpy, updateRegion_, &update, 1);
    const uint64_t target = waitingFor_ == 0 && targetKnown_ ? target_ : 0;
    lastPresented_ = ++serial_;
    XPresentPixmap(dpy, window_, ownPixmap_, lastPresented_, None, updateRegion_, picture_.x, picture_.y, None,
                   None, None, 0, target, 0, 0, nullptr, 0);
    waitingFor_ = lastPresented_;
    XFlush(dpy);
    return;
  }
  for (Band& stale : stale_) stale.Add(first, last);
  int pixmap = IdlePixmap();
  if (pixmap < 0) {
    // Both still with the server: wait a moment for one.
    const long long deadline = NowNs() + 20000000LL;
    while (pixmap < 0 && NowNs() < deadline) {
      pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
      poll(&fd, 1, 2);
      HandleEvents();
      pixmap = IdlePixmap();
    }
    if (pixmap < 0) {
      // This frame is dropped; its rows go with the next one.
      if (waitingFor_ == 0) AskForRefresh();
      return;
    }
  }

  Band& stale = stale_[pixmap];
  XImage* image = static_cast<XImage*>(image_);
  GC gc = static_cast<GC>(gc_);
  const int rows = stale.bottom - stale.top + 1;
  if (shm_)
    XShmPutImage(dpy, pixmaps_[pixmap], gc, image, picture_.x, picture_.y + stale.top, 0, stale.top,
                 picture_.width, rows, False);
  else
    XPutImage(dpy, pixmaps_[pixmap], gc, image, picture_.x, picture_.y + stale.top, 0, stale.top, picture_.width,
              rows);
  stale = Band();

  XRectangle update = {0, static_cast<short>(unshown_.top), static_cast<unsigned short>(picture_.width),
                       static_cast<unsigned short>(unshown_.bottom - unshown_.top + 1)};
  XFixesSetRegion(dpy, updateRegion_, &update, 1);
  const uint64_t target = waitingFor_ == 0 && targetKnown_ ? target_ : 0;
  lastPresented_ = ++serial_;
  XPresentPixmap(dpy, window_, pixmaps_[pixmap], lastPresented_, None, updateRegion_, picture_.x, picture_.y, None,
                 None, None, 0, target, 0, 0, nullptr, 0);
  busy_[pixmap] = true;
  lastPixmap_ = pixmap;
  // The next wait is for this frame to be seen.
  waitingFor_ = lastPresented_;
  XFlush(dpy);
}
