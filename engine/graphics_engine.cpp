#include "engine/graphics_engine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/allegro_platform.h"
#include "engine/data_file_check.h"
#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "engine/log.h"
#include "engine/translucent_blend.h"
#include "music/music_track.h"
#include "scene/element.h"

FONT* spareFont = nullptr;
FONT* scoreFont = nullptr;
FONT* messageFont = nullptr;
FONT* dialogFont = nullptr;

static AllegroPlatform allegroPlatform;

GraphicsEngine::GraphicsEngine() : platform_(&allegroPlatform) { TickCounter.store(0); }

GraphicsEngine::~GraphicsEngine() { renderList_.Forget(); }

void GraphicsEngine::SetPlatform(Platform* platform) {
  platform_ = platform ? platform : &allegroPlatform;
}

void GraphicsEngine::Fail(int exitCode) {
  Log(message_);
  std::exit(exitCode);
}

void GraphicsEngine::Initialise() {
  Log("GraphicsEngine: Initialise()\n");
  Log("GraphicsEngine: allegro_init\n");
  if (allegro_init() != 0) {
    std::snprintf(message_, sizeof message_, "Error.\n%s\n\n", allegro_error);
    Fail(1);
  }

  Log("GraphicsEngine: install_keyboard\n");
  if (install_keyboard() != 0) {
    std::snprintf(message_, sizeof message_, "Error initializing keyboard system.\n%s\n\n", allegro_error);
    Fail(2);
  }

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
  } else {
    timerInstalled_ = true;
  }
  if (mouseUsable_ && install_mouse() == -1) mouseUsable_ = 0;
  allegroPlatform.SetTimerInstalled(timerInstalled_);
  allegroPlatform.SetMouseInstalled(mouseUsable_ != 0);

  set_color_depth(16);
  Log("GraphicsEngine: set_gfx_mode\n");
  if (set_gfx_mode(GFX_AUTODETECT, width_, height_, 0, 0) != 0) {
    std::snprintf(message_, sizeof message_, "Error setting graphics mode: %dx%d.\n%s\n\n", width_, height_,
                  allegro_error);
    Fail(3);
  }
  backBuffer_ = create_bitmap(width_, height_);

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
    position_mouse(20, 20);
    set_mouse_speed(mouseSpeed_, mouseSpeed_);
    show_mouse(screen);
  }

  if (timerInstalled_) {
    install_int(TickCallback, 100);
  } else {
    // Without the timer thread the clocks follow the system's monotonic clock.
    clockPumping_ = true;
    clockPump_.Start();
  }
}

void InstallFrameTimer() {
  // 23863 ticks of the 1193181 Hz hardware clock: one fiftieth of a second.
  if (timer_driver) install_int_ex(FrameCallback, 23863);
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
  if (!backBuffer_) backBuffer_ = create_bitmap(width_, height_);
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

void GraphicsEngine::ReleaseOffscreen() {
  if (backBuffer_) destroy_bitmap(backBuffer_);
  backBuffer_ = nullptr;
  if (data_) unload_datafile(data_);
  data_ = nullptr;
}

void GraphicsEngine::Shutdown() {
  if (backBuffer_) destroy_bitmap(backBuffer_);
  backBuffer_ = nullptr;
  set_gfx_mode(GFX_TEXT, 80, 25, 0, 0);
  allegro_exit();
}

void GraphicsEngine::Show(Element* e) {
  if (!e->IsOnList()) renderList_.Add(e);
}

void GraphicsEngine::Hide(Element* e) {
  if (e->IsOnList()) renderList_.Remove(e);
}

void GraphicsEngine::DrawFrame() {
  clear_bitmap(backBuffer_);
  renderList_.DrawAll(backBuffer_);
  platform_->Present(backBuffer_);
}

void GraphicsEngine::FadeIn(MusicTrack* music) {
  BITMAP* target = create_bitmap(width_, height_);
  if (!target) return;
  clear_bitmap(target);
  renderList_.DrawAll(target);
  clear_to_color(backBuffer_, makecol(0, 0, 0));
  set_trans_blender(0, 0, 0, 80);
  for (int step = 0; step < 8; ++step) {
    if (music) PollTrack(music);
    DrawTranslucent(backBuffer_, target, 80);
    platform_->Present(backBuffer_);
  }
  destroy_bitmap(target);
}

void GraphicsEngine::FadeOut(MusicTrack* music) {
  renderList_.DrawAll(backBuffer_);
  BITMAP* black = create_bitmap(width_, height_);
  if (!black) return;
  clear_to_color(black, makecol(0, 0, 0));
  set_trans_blender(0, 0, 0, 80);
  for (int step = 0; step < 8; ++step) {
    if (music) PollTrack(music);
    DrawTranslucent(backBuffer_, black, 80);
    platform_->Present(backBuffer_);
  }
  destroy_bitmap(black);
}

void GraphicsEngine::PlaySample(int index, int loop) { platform_->PlaySample(Sample(index), 128, 128, 1000, loop); }

void GraphicsEngine::StopSample(int index) { platform_->StopSample(Sample(index)); }

void GraphicsEngine::PollInput(int& keyValue, int& leftClick, int& rightClick, int& mouseX, int& mouseY) {
  keyValue = 0;
  if (platform_->KeyPressed()) keyValue = platform_->ReadKey();
  platform_->ClearKeyBuffer();

  int buttons = platform_->MouseButtons();
  int left = buttons & 1;
  int right = buttons & 2;
  leftClick = 0;
  rightClick = 0;
  if (left || right) {
    if (!previousLeft_ && !previousRight_) renderList_.Press(platform_->MouseX(), platform_->MouseY());
  } else if (previousLeft_ || previousRight_) {
    renderList_.Release();
    leftClick = previousLeft_;
    rightClick = previousRight_;
  }
  platform_->ClearKeyBuffer();
  previousLeft_ = left;
  previousRight_ = right;
  mouseX = platform_->MouseX();
  mouseY = platform_->MouseY();
}

void GraphicsEngine::WaitMouseRelease() {
  while (platform_->MouseButtons() & 3) platform_->WaitForFrame();
}

void GraphicsEngine::WaitForFrame() {
  if (clockPumping_) clockPump_.Advance();
  platform_->WaitForFrame();
}
