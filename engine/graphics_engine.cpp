#include "engine/graphics_engine.h"

#include <sys/prctl.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/allegro_platform.h"
#include "engine/data_file_check.h"
#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "engine/log.h"
#include "engine/quit_signals.h"
#include "engine/settings_store.h"

FONT* spareFont = nullptr;
FONT* scoreFont = nullptr;
FONT* messageFont = nullptr;
FONT* dialogFont = nullptr;

static AllegroPlatform allegroPlatform;
GraphicsEngine engine;

// Under the input thread's own 10 ms pace for its work.
constexpr unsigned long kLibraryTimerSlackNs = 8000000;

GraphicsEngine::GraphicsEngine() : platform_(&allegroPlatform) { TickCounter.store(0); }

void GraphicsEngine::SetPlatform(Platform* platform) {
  platform_ = platform ? platform : &allegroPlatform;
}

void GraphicsEngine::Fail(int exitCode) {
  Log(message_);
  std::exit(exitCode);
}

void GraphicsEngine::Initialise(const DisplayRequest& request) {
  Log("GraphicsEngine: Initialise()\n");
  Log("GraphicsEngine: allegro_init\n");
  // The library's input thread polls every millisecond, and its timer thread
  // wakes for the mouse pointer every ten; neither needs to be that exact.
  // Threads take the timer slack of the thread that starts them, so theirs
  // is made generous while they start (the kernel then gathers their
  // wake-ups), and the main thread's own is put back afterwards.
  prctl(PR_SET_TIMERSLACK, kLibraryTimerSlackNs, 0, 0, 0);
  if (allegro_init() != 0) {
    std::snprintf(message_, sizeof message_, "Error.\n%s\n\n", allegro_error);
    Fail(1);
  }

  InstallQuitSignals();

  Log("GraphicsEngine: install_keyboard\n");
  if (install_keyboard() != 0) {
    std::snprintf(message_, sizeof message_, "Error initializing keyboard system.\n%s\n\n", allegro_error);
    Fail(2);
  }

  settingsStore.Load();
  ApplyMusicVolume();

  set_volume_per_voice(0);
  Log("GraphicsEngine: install_sound\n");
  if (install_sound(DIGI_AUTODETECT, MIDI_NONE, "") != 0) {
    soundUsable_ = 0;
    std::snprintf(message_, sizeof message_, "Error initializing sound system.\n%s\n\n", allegro_error);
    Log(message_);
  }

  Log("GraphicsEngine: install_timer\n");
  if (install_timer() != 0) {
    mouseUsable_ = 0;
    std::snprintf(message_, sizeof message_, "Error initializing timer.\n%s\n\n", allegro_error);
    Log(message_);
  }
  if (mouseUsable_ && install_mouse() == -1) mouseUsable_ = 0;
  prctl(PR_SET_TIMERSLACK, 0, 0, 0, 0);
  allegroPlatform.SetMouseInstalled(mouseUsable_ != 0);
  allegroPlatform.InstallInputHooks();

  set_color_depth(16);
  Log("GraphicsEngine: set_gfx_mode\n");
  // The command line wins over the settings for this run only.
  const Settings& settings = settingsStore.Current();
  const bool fullscreen = request.fullscreen >= 0 ? request.fullscreen != 0 : settings.fullscreen;
  const int scale = request.scale >= 0 ? request.scale : settings.scale;
  const RefreshMode refresh = request.refresh ? *request.refresh : settings.refresh;
  if (!allegroPlatform.OpenDisplay(fullscreen, scale, refresh)) {
    std::snprintf(message_, sizeof message_, "Error setting graphics mode: %dx%d.\n%s\n\n", width_, height_,
                  allegro_error);
    Fail(3);
  }
  CreateBuffers();

  Log("GraphicsEngine: load_datafile\n");
  // A damaged file is refused before the library's loader can trip over it.
  const std::string dataFile = gameFolders.DataFile(kDataFileName);
  data_ = DataFileIntact(dataFile.c_str()) ? load_datafile(dataFile.c_str()) : nullptr;
  if (!data_ || !DataFileUsable()) {
    std::string searched;
    for (const std::string& folder : gameFolders.searched) searched += (searched.empty() ? "" : ", ") + folder;
    std::snprintf(message_, sizeof message_, "Error loading datafile: KAV.DAT\nLooked for %s in: %s\n",
                  kDataFileName, searched.c_str());
    Fail(4);
  }

  set_trans_blender(128, 128, 128, 128);
  FetchFonts();
  // Text is drawn with a transparent background unless a label asks
  // otherwise (the labels pass -1 to textout_ex anyway).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  text_mode(-1);
#pragma GCC diagnostic pop
  Log("GraphicsEngine: set colour palette\n");
  Log("GraphicsEngine: set_mouse_sprite\n");
  if (mouseUsable_) {
    const PictureArea& picture = allegroPlatform.Mode().picture;
    position_mouse(GameToScreenX(picture, 20), GameToScreenY(picture, 20));
    set_mouse_speed(mouseSpeed_, mouseSpeed_);
    allegroPlatform.ShowMouse(true);
  }

  // The 100 ms tick and the 50 Hz frames follow the monotonic clock, counted
  // by the main thread when it waits (the library's timer callbacks would
  // wake a thread of theirs for every one).
  clockPump.Start();
}

// A data file that loads but lacks an object the game uses, or holds the wrong
// kind at an index, would crash the game later: refuse it at start-up.
bool GraphicsEngine::DataFileUsable() const {
  int count = 0;
  while (data_[count].type != DAT_END) ++count;
  if (count < dat::kObjectCount) return false;
  for (int i = 0; i < dat::kObjectCount; ++i) {
    const DATAFILE& object = data_[i];
    if (!object.dat) return false;
    switch (dat::KindOf(i)) {
      case dat::kBitmap:
        if (object.type != DAT_BITMAP) return false;
        break;
      case dat::kFont:
        if (object.type != DAT_FONT) return false;
        break;
      case dat::kSample:
        if (object.type != DAT_SAMPLE) return false;
        break;
      case dat::kAny:
        break;
    }
  }
  return true;
}

void GraphicsEngine::FetchFonts() {
  spareFont = Font(dat::kFontSpare);
  scoreFont = Font(dat::kFontMedium);
  messageFont = Font(dat::kFontLarge);
  dialogFont = Font(dat::kFontSmall);
}

bool GraphicsEngine::InitialiseOffscreen(const char* dataFile) {
  if (!backBuffer_) CreateBuffers();
  if (!data_) {
    data_ = DataFileIntact(dataFile) ? load_datafile(dataFile) : nullptr;
    if (data_ && !DataFileUsable()) {
      unload_datafile(data_);
      data_ = nullptr;
    }
  }
  if (!data_) return false;
  set_trans_blender(128, 128, 128, 128);
  FetchFonts();
  return true;
}

void GraphicsEngine::CreateBuffers() {
  backBuffer_ = create_bitmap(width_, height_);
  shownBuffer_ = create_bitmap(width_, height_);
  if (backBuffer_) clear_bitmap(backBuffer_);
  if (shownBuffer_) clear_bitmap(shownBuffer_);
}

void GraphicsEngine::DestroyBuffers() {
  if (backBuffer_) destroy_bitmap(backBuffer_);
  if (shownBuffer_) destroy_bitmap(shownBuffer_);
  backBuffer_ = shownBuffer_ = nullptr;
}

void GraphicsEngine::ReleaseOffscreen() {
  DestroyBuffers();
  if (data_) unload_datafile(data_);
  data_ = nullptr;
}

void GraphicsEngine::Shutdown() {
  // The library's threads must be able to end.
  platform_->EndIdle();
  platform_->CloseDisplay();
  DestroyBuffers();
  set_gfx_mode(GFX_TEXT, 80, 25, 0, 0);
  allegro_exit();
}

BITMAP* GraphicsEngine::BeginFrame() {
  if (shownBuffer_) std::swap(backBuffer_, shownBuffer_);
  return backBuffer_;
}

void GraphicsEngine::EndFrame() {
  DrawNotice(backBuffer_);
  platform_->PresentChanges(backBuffer_, shownBuffer_);
}

void GraphicsEngine::PresentWhole(BITMAP* picture) { platform_->Present(picture); }

bool GraphicsEngine::TakeDisplaySwitch() {
  if (!displaySwitchAsked_) return false;
  displaySwitchAsked_ = false;
  const bool fullscreen = !platform_->Fullscreen();
  if (!platform_->SetFullscreen(fullscreen)) return false;
  Settings changed = settingsStore.Current();
  changed.fullscreen = fullscreen;
  settingsStore.Change(changed);
  return true;
}

int GraphicsEngine::EffectsVolume() const {
  const Settings& settings = settingsStore.Current();
  return settings.muted ? 0 : 128 * settings.effectsVolume / kVolumeSteps;
}

void GraphicsEngine::SetMusicLevelReceiver(void (*receiver)(int level)) {
  musicLevelReceiver_ = receiver;
  ApplyMusicVolume();
}

void GraphicsEngine::ApplyMusicVolume() {
  const Settings& settings = settingsStore.Current();
  if (musicLevelReceiver_) musicLevelReceiver_(settings.muted ? 0 : settings.musicVolume);
}

// A change of the volumes or muting: kept, heard at once (the music, and the
// looping effect of play), and shown for a moment.
void GraphicsEngine::ChangeSound(const Settings& changed, const char* notice) {
  settingsStore.Change(changed);
  ApplyMusicVolume();
  for (int index = 0; index < dat::kObjectCount; ++index)
    if (looping_[index]) platform_->AdjustSample(Sample(index), EffectsVolume(), 128, 1000, 1);
  ShowNotice(notice);
}

void GraphicsEngine::StepMusicVolume(int delta) {
  Settings changed = settingsStore.Current();
  changed.musicVolume = std::clamp(changed.musicVolume + delta, 0, kVolumeSteps);
  changed.muted = false;
  char text[sizeof notice_];
  std::snprintf(text, sizeof text, "Music volume %d/%d", changed.musicVolume, kVolumeSteps);
  ChangeSound(changed, text);
}

void GraphicsEngine::StepEffectsVolume(int delta) {
  Settings changed = settingsStore.Current();
  changed.effectsVolume = std::clamp(changed.effectsVolume + delta, 0, kVolumeSteps);
  changed.muted = false;
  char text[sizeof notice_];
  std::snprintf(text, sizeof text, "Effects volume %d/%d", changed.effectsVolume, kVolumeSteps);
  ChangeSound(changed, text);
}

void GraphicsEngine::ToggleMute() {
  Settings changed = settingsStore.Current();
  changed.muted = !changed.muted;
  ChangeSound(changed, changed.muted ? "Sound off (M)" : "Sound on");
}

// The label's second is the player's, whatever the game's clock does (it
// stands still in a paused game).
static long long WallMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void GraphicsEngine::ShowNotice(const char* text) {
  std::snprintf(notice_, sizeof notice_, "%s", text);
  noticeUntilMs_ = WallMs() + 1000;
}

bool GraphicsEngine::NoticeShowing() const { return noticeUntilMs_ > 0 && WallMs() < noticeUntilMs_; }

void GraphicsEngine::DrawNotice(BITMAP* target) {
  if (noticeUntilMs_ == 0) return;
  if (!NoticeShowing()) {
    noticeUntilMs_ = 0;
    return;
  }
  if (!dialogFont) return;
  const int w = text_length(dialogFont, notice_) + 24;
  const int h = text_height(dialogFont) + 12;
  const int x = (width_ - w) / 2, y = 80;
  rectfill(target, x, y, x + w - 1, y + h - 1, makecol(16, 16, 40));
  rect(target, x, y, x + w - 1, y + h - 1, makecol(0, 255, 255));
  textout_centre_ex(target, dialogFont, notice_, width_ / 2, y + 6, makecol(255, 255, 255), -1);
}

void GraphicsEngine::PlaySample(int index, int loop) {
  if (loop) looping_[index] = true;
  platform_->PlaySample(Sample(index), EffectsVolume(), 128, 1000, loop);
}

void GraphicsEngine::StopSample(int index) {
  looping_[index] = false;
  platform_->StopSample(Sample(index));
}

void GraphicsEngine::SuspendSamples() {
  for (int index = dat::kSndSeize; index <= dat::kSndShipExplodes; ++index) platform_->StopSample(Sample(index));
}

void GraphicsEngine::ResumeSamples() {
  for (int index = 0; index < dat::kObjectCount; ++index)
    if (looping_[index]) platform_->PlaySample(Sample(index), EffectsVolume(), 128, 1000, 1);
}

void GraphicsEngine::WaitIdle() {
  if (QuitRequested()) {
    platform_->EndIdle();
    std::exit(0);
  }
  platform_->WaitIdle();
}

long long GraphicsEngine::WaitForRefresh() {
  if (QuitRequested()) std::exit(0);
  return headless_ ? 0 : platform_->WaitForRefresh();
}

void GraphicsEngine::WaitForFrame() {
  // Asked to end from outside: as after the quit question.
  if (QuitRequested()) std::exit(0);
  platform_->WaitForFrame();
}
