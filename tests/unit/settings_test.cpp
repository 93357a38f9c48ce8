// The settings file: what is written is read back; a damaged file keeps what
// is right and takes the default for each wrong entry, and says which; a save
// that fails leaves the old file as it was.
#include <allegro.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "game/controls.h"
#include "support/allegro_fixture.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// Every field away from its default.
Settings Chosen() {
  Settings s;
  const int keys[kSettingsKeyCount] = {KEY_W, KEY_S, KEY_A, KEY_D, KEY_LCONTROL, KEY_ENTER_PAD};
  for (int i = 0; i < kSettingsKeyCount; ++i) s.keys[i] = keys[i];
  s.fullscreen = false;
  s.scale = 2;
  s.refresh = RefreshMode::kStep;
  s.musicVolume = 3;
  s.effectsVolume = 0;
  s.muted = true;
  s.padFire = 31;
  s.padBomb = 0;
  s.padStart = 12;
  s.server = "http://scores.example.org:8470";
  s.onlineName = "Ann #1";
  s.bestWave = 13;
  return s;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kav_test::InitHeadlessAllegro();
    char pattern[] = "/tmp/kav-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    file = dir + "/vevarnholt.cfg";
  }
  void TearDown() override {
    chmod(dir.c_str(), 0755);
    const std::string command = "chmod -R u+rwx '" + dir + "' && rm -rf '" + dir + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  // The settings a file of this text gives, its problem lines in `problems`.
  Settings LoadText(const std::string& text) {
    WriteText(file, text);
    problems.clear();
    return LoadSettings(file, &problems);
  }
  bool HasProblem(const std::string& line) const {
    for (const std::string& p : problems)
      if (p == line) return true;
    return false;
  }
  std::string Problems() const {
    std::string all;
    for (const std::string& p : problems) all += "  " + p + "\n";
    return all;
  }

  std::string dir, file;
  std::vector<std::string> problems;
};

TEST_F(SettingsFileTest, TheDefaultsAreTheArrowsZAndSpaceFullScreenAtFullVolume) {
  const Settings s = DefaultSettings();
  ASSERT_EQ(kSettingsKeyCount, kControlCount);
  const int keys[kSettingsKeyCount] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_Z, KEY_SPACE};
  for (int i = 0; i < kSettingsKeyCount; ++i) EXPECT_EQ(s.keys[i], keys[i]) << "key " << i;
  EXPECT_TRUE(s.fullscreen);
  EXPECT_EQ(s.scale, kScaleFit);
  EXPECT_EQ(s.refresh, RefreshMode::kDisplay);
  EXPECT_EQ(s.musicVolume, 8);
  EXPECT_EQ(s.effectsVolume, 8);
  EXPECT_FALSE(s.muted);
  EXPECT_EQ(s.padFire, 0);
  EXPECT_EQ(s.padBomb, 1);
  EXPECT_EQ(s.padStart, 7);
  EXPECT_TRUE(s == Settings());
}

TEST_F(SettingsFileTest, EveryFieldSurvivesARoundTrip) {
  const Settings chosen = Chosen();
  ASSERT_TRUE(SaveSettings(file, chosen));
  EXPECT_TRUE(LoadSettings(file, &problems) == chosen) << Problems();
  EXPECT_TRUE(problems.empty()) << Problems();

  // And back to the defaults over the old file, each field changing again.
  ASSERT_TRUE(SaveSettings(file, DefaultSettings()));
  EXPECT_TRUE(LoadSettings(file, &problems) == DefaultSettings());
  EXPECT_TRUE(problems.empty()) << Problems();
  EXPECT_FALSE(Exists(file + ".tmp"));
}

TEST_F(SettingsFileTest, TheFileIsPlainTextWithSectionsAndKeyNames) {
  ASSERT_TRUE(SaveSettings(file, Chosen()));
  const std::string text = ReadText(file);
  for (const char* line :
       {"[display]\n", "fullscreen = no\n", "scale = 2\n", "refresh = step\n", "[sound]\n", "music = 3\n", "effects = 0\n",
        "muted = yes\n", "[controls]\n", "up = 23\n", "up_name = W\n", "fire = 117\n", "fire_name = LCONTROL\n",
        "bomb = 91\n", "bomb_name = ENTER_PAD\n", "[gamepad]\n", "fire = 31\n", "start = 12\n", "[online]\n",
        "server = http://scores.example.org:8470\n", "name = Ann #1\n"})
    EXPECT_NE(text.find(line), std::string::npos) << "missing \"" << line << "\" in\n" << text;
}

TEST_F(SettingsFileTest, EveryScancodeHasItsOwnNameAndNothingElseHasOne) {
  std::set<std::string> names;
  for (int scancode = 1; scancode < KEY_MAX; ++scancode) {
    const char* name = KeyConstantName(scancode);
    ASSERT_NE(name, nullptr) << scancode;
    EXPECT_TRUE(names.insert(name).second) << name << " named twice";
  }
  EXPECT_STREQ(KeyConstantName(KEY_UP), "UP");
  EXPECT_STREQ(KeyConstantName(KEY_Z), "Z");
  EXPECT_STREQ(KeyConstantName(KEY_SPACE), "SPACE");
  EXPECT_STREQ(KeyConstantName(KEY_9_PAD), "9_PAD");
  EXPECT_STREQ(KeyConstantName(KEY_F12), "F12");
  EXPECT_STREQ(KeyConstantName(KEY_CAPSLOCK), "CAPSLOCK");
  EXPECT_EQ(KeyConstantName(0), nullptr);
  EXPECT_EQ(KeyConstantName(KEY_MAX), nullptr);
  EXPECT_EQ(KeyConstantName(-1), nullptr);
}

TEST_F(SettingsFileTest, AMissingOrEmptyFileGivesTheDefaultsWithoutComplaint) {
  EXPECT_TRUE(LoadSettings(file, &problems) == DefaultSettings());
  EXPECT_TRUE(problems.empty()) << Problems();
  EXPECT_TRUE(LoadSettings(dir + "/no/such/folder/vevarnholt.cfg", &problems) == DefaultSettings());
  EXPECT_TRUE(problems.empty()) << Problems();
  EXPECT_TRUE(LoadText("") == DefaultSettings());
  EXPECT_TRUE(problems.empty()) << Problems();
  EXPECT_TRUE(LoadSettings(file, nullptr) == DefaultSettings());  // no list wanted
}

// The library's parser loops for ever on a UTF-8 sequence decoding above
// 0x3FFFFFFF. Loads of such bytes run in a child process, so that a hang fails
// the test within seconds instead of stopping the suite: `check` gives the
// child's verdict, and says what was wrong on standard error.
::testing::AssertionResult FinishesRight(const std::function<bool()>& check) {
  const pid_t child = fork();
  if (child < 0) return ::testing::AssertionFailure() << "fork failed";
  if (child == 0) _exit(check() ? 0 : 1);
  int status = 0;
  pid_t done = 0;
  for (int tenth = 0; tenth < 300 && done == 0; ++tenth) {  // 30 s
    done = waitpid(child, &status, WNOHANG);
    if (done == 0) usleep(100000);
  }
  if (done == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return ::testing::AssertionFailure() << "loading did not finish";
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return ::testing::AssertionFailure() << "wrong settings or problem lines (see above)";
  return ::testing::AssertionSuccess();
}

TEST_F(SettingsFileTest, BytesOutsideAsciiAreReadAsQuestionMarksAndNeverHang) {
  WriteText(file, "[controls]\nup = \xfd\xae\x86\x90\x9e\xaf\nfire = 24\nbomb = 2\xc3\xa9\n");
  EXPECT_TRUE(FinishesRight([&] {
    std::vector<std::string> lines;
    const Settings s = LoadSettings(file, &lines);
    const bool right = s.keys[kUp] == KEY_UP && s.keys[kFire] == KEY_X && s.keys[kSmartBomb] == KEY_SPACE &&
                       lines.size() == 2 && lines[0] == "up key: \"??????\" is not a number" &&
                       lines[1] == "smart bomb key: \"2??\" is not a number";
    if (!right)
      for (const std::string& line : lines) std::fprintf(stderr, "  %s\n", line.c_str());
    return right;
  }));
}

TEST_F(SettingsFileTest, BinaryGarbageGivesTheDefaultsAndAFewPrintableLines) {
  EXPECT_TRUE(FinishesRight([&] {
    std::mt19937 random(20240611);
    for (int round = 0; round < 20; ++round) {
      std::string garbage(1 + random() % 20000, '\0');
      for (char& c : garbage) c = static_cast<char>(random());
      const Settings s = LoadText(garbage);
      bool right = s == DefaultSettings() && problems.size() <= 30;
      for (const std::string& line : problems) {
        right = right && line.size() <= 120;
        for (char c : line) right = right && c >= 0x20 && c < 0x7F;
      }
      if (!right) {
        std::fprintf(stderr, "round %d:\n%s", round, Problems().c_str());
        return false;
      }
    }
    return true;
  }));
}

TEST_F(SettingsFileTest, UnknownEntriesAndSectionsAreIgnoredAndNamed) {
  const Settings s = LoadText(
      "stray = 1\n"
      "[controls]\n"
      "fier = 3\n"
      "fire = 24\n"
      "fire_name = Q\n"  // the name is for the reader: the number counts
      "[keys]\n"
      "up = 1\n"
      "[Sound]\n"  // the library matches names in any case
      "MUSIC = 2\n");
  Settings expected;
  expected.keys[kFire] = KEY_X;
  expected.musicVolume = 2;
  EXPECT_TRUE(s == expected);
  EXPECT_TRUE(HasProblem("unknown entry \"fier\" in [controls]")) << Problems();
  EXPECT_TRUE(HasProblem("unknown section [keys]")) << Problems();
  EXPECT_TRUE(HasProblem("unknown entry \"stray\" before any section")) << Problems();
  EXPECT_EQ(problems.size(), 3u) << Problems();
}

TEST_F(SettingsFileTest, ManyUnknownEntriesAreCountedNotListed) {
  std::string text = "[controls]\nfire = 24\n";
  for (int i = 0; i < 500; ++i) text += "junk" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  const Settings s = LoadText(text);
  EXPECT_EQ(s.keys[kFire], KEY_X);
  ASSERT_EQ(problems.size(), 9u) << Problems();
  EXPECT_EQ(problems.back(), "and 492 more unknown entries");
}

// Each wrong fire key next to a right up key: the up key is kept, the fire
// key takes its default, and the line says why.
TEST_F(SettingsFileTest, AWrongScancodeGivesItsActionTheDefault) {
  const struct {
    const char* value;
    const char* problem;
  } cases[] = {
      {"0", "fire key: 0 is not a key"},
      {"127", "fire key: 127 is not a key"},
      {"300", "fire key: 300 is not a key"},
      {"-5", "fire key: -5 is not a key"},
      {"99999999999999999999", "fire key: 99999999999999999999 is not a key"},
      {"abc", "fire key: \"abc\" is not a number"},
      {"7abc", "fire key: \"7abc\" is not a number"},
      {"0x1A", "fire key: \"0x1A\" is not a number"},
      {"26.0", "fire key: \"26.0\" is not a number"},
      {"-", "fire key: \"-\" is not a number"},
      {"", "fire key: no value"},
      {"59", "fire key: Escape cannot be a game key"},
  };
  for (const auto& c : cases) {
    const Settings s = LoadText(std::string("[controls]\nup = 17\nfire = ") + c.value + "\n");
    EXPECT_EQ(s.keys[kUp], KEY_Q) << c.value;
    EXPECT_EQ(s.keys[kFire], KEY_Z) << c.value;
    EXPECT_TRUE(HasProblem(c.problem)) << c.value << ":\n" << Problems();
    EXPECT_EQ(problems.size(), 1u) << c.value << ":\n" << Problems();
  }
  // Leading zeros and the library's trimming of spaces are fine.
  EXPECT_EQ(LoadText("[controls]\nfire =   024  \n").keys[kFire], KEY_X);
  EXPECT_TRUE(problems.empty()) << Problems();
}

TEST_F(SettingsFileTest, EscapeIsNeverAGameKey) {
  for (int i = 0; i < kSettingsKeyCount; ++i) {
    const char* names[kSettingsKeyCount] = {"up", "down", "left", "right", "fire", "bomb"};
    const Settings s = LoadText(std::string("[controls]\n") + names[i] + " = 59\n");
    EXPECT_TRUE(s == DefaultSettings()) << names[i];
    ASSERT_EQ(problems.size(), 1u) << Problems();
    EXPECT_NE(problems[0].find("Escape cannot be a game key"), std::string::npos) << problems[0];
  }
}

TEST_F(SettingsFileTest, TwoActionsOnOneKeyGiveTheLaterOneItsDefault) {
  Settings s = LoadText("[controls]\nup = 17\nfire = 24\nbomb = 24\n");
  EXPECT_EQ(s.keys[kUp], KEY_Q);
  EXPECT_EQ(s.keys[kFire], KEY_X);
  EXPECT_EQ(s.keys[kSmartBomb], KEY_SPACE);
  EXPECT_TRUE(HasProblem("smart bomb key: same key as fire")) << Problems();
  EXPECT_EQ(problems.size(), 1u) << Problems();

  // Swapped keys are two keys, not one.
  s = LoadText("[controls]\nup = 85\ndown = 84\n");
  EXPECT_EQ(s.keys[kUp], KEY_DOWN);
  EXPECT_EQ(s.keys[kDown], KEY_UP);
  EXPECT_TRUE(problems.empty()) << Problems();
}

TEST_F(SettingsFileTest, WhenTheDefaultStillClashesAllSixKeysTakeTheirDefaults) {
  // Up on the space bar leaves the smart bomb, at its default, on it too.
  Settings s = LoadText("[controls]\nup = 75\nfire = 24\n");
  EXPECT_TRUE(s == DefaultSettings());
  EXPECT_TRUE(HasProblem("smart bomb key: same key as up")) << Problems();
  EXPECT_TRUE(HasProblem("game keys: two actions still share one key, all reset")) << Problems();

  // The same when the later key is present and wrong.
  s = LoadText("[controls]\nup = 85\ndown = 85\nleft = 45\n");
  EXPECT_TRUE(s == DefaultSettings());
  EXPECT_TRUE(HasProblem("down key: same key as up")) << Problems();
}

TEST_F(SettingsFileTest, AScaleOtherThanFitOrOneToFourFitsThePicture) {
  for (const char* value : {"7", "5", "-1", "big", "2.5", "fits"}) {
    const Settings s = LoadText(std::string("[display]\nfullscreen = no\nscale = ") + value + "\n");
    EXPECT_EQ(s.scale, kScaleFit) << value;
    EXPECT_FALSE(s.fullscreen) << value;
    EXPECT_EQ(problems.size(), 1u) << Problems();
    EXPECT_TRUE(HasProblem(std::string("scale: \"") + value + "\" is not fit or 1 to 4")) << Problems();
  }
  LoadText("[display]\nscale =\n");
  EXPECT_TRUE(HasProblem("scale: no value")) << Problems();
  for (int scale = 1; scale <= 4; ++scale)
    EXPECT_EQ(LoadText("[display]\nscale = " + std::to_string(scale) + "\n").scale, scale);
  EXPECT_EQ(LoadText("[display]\nscale = FIT\n").scale, kScaleFit);
  // Files of earlier versions wrote 0 for the automatic choice.
  EXPECT_EQ(LoadText("[display]\nscale = 0\n").scale, kScaleFit);
  EXPECT_TRUE(problems.empty()) << Problems();
}

TEST_F(SettingsFileTest, TheRefreshIsTheDisplaysOrOneFrameAStep) {
  EXPECT_EQ(DefaultSettings().refresh, RefreshMode::kDisplay);
  EXPECT_EQ(LoadText("[display]\nrefresh = step\n").refresh, RefreshMode::kStep);
  EXPECT_EQ(LoadText("[display]\nrefresh = Display\n").refresh, RefreshMode::kDisplay);
  EXPECT_TRUE(problems.empty()) << Problems();
  for (const char* value : {"60", "vsync", "steps"}) {
    const Settings s = LoadText(std::string("[display]\nscale = 2\nrefresh = ") + value + "\n");
    EXPECT_EQ(s.refresh, RefreshMode::kDisplay) << value;
    EXPECT_EQ(s.scale, 2) << "the wrong entry falls back alone";
    EXPECT_TRUE(HasProblem(std::string("refresh: \"") + value + "\" is not display or step")) << Problems();
  }
}

TEST_F(SettingsFileTest, NumbersBeyondEveryIntegerTypeAreOutOfRangeNeverWrappedIntoIt) {
  // 2^32 + 2 would wrap to 2 in 32 bits; the others overflow 64 bits as well.
  for (const char* value : {"4294967298", "99999999999", "18446744073709551618", "-99999999999999999999999"}) {
    const Settings s = LoadText(std::string("[display]\nscale = ") + value + "\n");
    EXPECT_EQ(s.scale, 0) << value;
    EXPECT_TRUE(HasProblem(std::string("scale: \"") + value + "\" is not fit or 1 to 4")) << Problems();
  }
  EXPECT_EQ(LoadText("[display]\nscale = +2\n").scale, 0);
  EXPECT_TRUE(HasProblem("scale: \"+2\" is not fit or 1 to 4")) << Problems();
}

TEST_F(SettingsFileTest, AVolumeOutsideZeroToEightIsFull) {
  Settings s = LoadText("[sound]\nmusic = 99\neffects = -1\nmuted = yes\n");
  EXPECT_EQ(s.musicVolume, 8);
  EXPECT_EQ(s.effectsVolume, 8);
  EXPECT_TRUE(s.muted);
  EXPECT_TRUE(HasProblem("music volume: 99 is not 0 to 8")) << Problems();
  EXPECT_TRUE(HasProblem("effects volume: -1 is not 0 to 8")) << Problems();
  s = LoadText("[sound]\nmusic = 0\neffects = 8\n");
  EXPECT_EQ(s.musicVolume, 0);
  EXPECT_EQ(s.effectsVolume, 8);
  EXPECT_TRUE(problems.empty()) << Problems();
}

TEST_F(SettingsFileTest, YesAndNoAreReadInTheCommonSpellings) {
  for (const char* yes : {"yes", "YES", "true", "On", "1"}) {
    const Settings s = LoadText(std::string("[display]\nfullscreen = no\n[sound]\nmuted = ") + yes + "\n");
    EXPECT_TRUE(s.muted) << yes;
    EXPECT_TRUE(problems.empty()) << Problems();
  }
  for (const char* no : {"no", "False", "off", "0"})
    EXPECT_FALSE(LoadText(std::string("[display]\nfullscreen = ") + no + "\n").fullscreen) << no;
  const Settings s = LoadText("[display]\nfullscreen = maybe\n[sound]\nmuted = \n");
  EXPECT_TRUE(s.fullscreen);
  EXPECT_FALSE(s.muted);
  EXPECT_TRUE(HasProblem("fullscreen: \"maybe\" is not yes or no")) << Problems();
  EXPECT_TRUE(HasProblem("muted: no value")) << Problems();
}

TEST_F(SettingsFileTest, GamepadButtonsOutsideZeroTo31OrSharedTakeTheirDefaults) {
  Settings s = LoadText("[gamepad]\nfire = 32\nbomb = -1\nstart = 9\n");
  EXPECT_EQ(s.padFire, 0);
  EXPECT_EQ(s.padBomb, 1);
  EXPECT_EQ(s.padStart, 9);
  EXPECT_TRUE(HasProblem("gamepad fire button: 32 is not 0 to 31")) << Problems();
  EXPECT_TRUE(HasProblem("gamepad bomb button: -1 is not 0 to 31")) << Problems();

  s = LoadText("[gamepad]\nfire = 4\nbomb = 4\n");
  EXPECT_EQ(s.padFire, 4);
  EXPECT_EQ(s.padBomb, 1);
  EXPECT_TRUE(HasProblem("gamepad bomb button: same button as gamepad fire")) << Problems();

  s = LoadText("[gamepad]\nfire = 4\nbomb = 3\nstart = 3\n");
  EXPECT_EQ(s.padStart, 7);

  s = LoadText("[gamepad]\nfire = 1\n");  // the bomb's default is button 1
  EXPECT_EQ(s.padFire, 0);
  EXPECT_EQ(s.padBomb, 1);
  EXPECT_TRUE(HasProblem("gamepad buttons: two actions still share one button, all reset")) << Problems();
}

TEST_F(SettingsFileTest, AVeryLongLineCostsOnlyItsOwnEntry) {
  const std::string longValue(200000, '9');
  const std::string longName(100000, 'n');
  const Settings s = LoadText("[controls]\nfire = 24\nup = " + longValue + "\n" + longName +
                              " = 1\nbomb = 25\n[sound]\nmusic = " + std::string(50000, 'x') + "\neffects = 2\n");
  EXPECT_EQ(s.keys[kFire], KEY_X);
  EXPECT_EQ(s.keys[kUp], KEY_UP);
  EXPECT_EQ(s.keys[kSmartBomb], KEY_Y);
  EXPECT_EQ(s.musicVolume, 8);
  EXPECT_EQ(s.effectsVolume, 2);
  EXPECT_EQ(problems.size(), 3u) << Problems();
  for (const std::string& line : problems) EXPECT_LE(line.size(), 80u) << line;
  EXPECT_TRUE(HasProblem("up key: 999999999999999999999999... is not a key")) << Problems();
}

TEST_F(SettingsFileTest, AFileOverAMebibyteIsNotReadAtAll) {
  const Settings s = LoadText("[controls]\nfire = 24\n" + std::string(1 << 20, '#'));
  EXPECT_TRUE(s == DefaultSettings());
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "settings file is larger than 1 MiB");
}

TEST_F(SettingsFileTest, AFolderOrAPipeInPlaceOfTheFileGivesTheDefaults) {
  ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
  EXPECT_TRUE(LoadSettings(file, &problems) == DefaultSettings());
  EXPECT_TRUE(HasProblem("settings file is not a regular file")) << Problems();
  EXPECT_FALSE(SaveSettings(file, Chosen()));
  struct stat info;
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_FALSE(Exists(file + ".tmp"));

  // Nobody writes to the pipe: reading must not wait for someone to.
  const std::string pipe = dir + "/pipe.cfg";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  problems.clear();
  EXPECT_TRUE(LoadSettings(pipe, &problems) == DefaultSettings());
  EXPECT_TRUE(HasProblem("settings file is not a regular file")) << Problems();
}

TEST_F(SettingsFileTest, ADamagedFileIsRewrittenCleanlyOnTheNextSave) {
  Settings s = LoadText(
      "[controls]\nfire = 24\nbomb = 59\nfier = 1\n"
      "[display]\nscale = 7\n"
      "[junk]\nx = y\n" +
      std::string("\x01\xff\xfe garbage\n"));
  EXPECT_FALSE(problems.empty());
  s.musicVolume = 5;  // a setting changes
  ASSERT_TRUE(SaveSettings(file, s));
  const std::string text = ReadText(file);
  for (const char* gone : {"fier", "junk", "garbage", "59", "scale = 7"})
    EXPECT_EQ(text.find(gone), std::string::npos) << gone << " still in\n" << text;
  problems.clear();
  EXPECT_TRUE(LoadSettings(file, &problems) == s);
  EXPECT_TRUE(problems.empty()) << Problems();
}

TEST_F(SettingsFileTest, AStaleTemporaryFileIsNotCarriedIntoTheNewOne) {
  WriteText(file + ".tmp", "[controls]\nfire = 3\nleftover = 1\n");
  ASSERT_TRUE(SaveSettings(file, DefaultSettings()));
  EXPECT_EQ(ReadText(file).find("leftover"), std::string::npos);
  EXPECT_TRUE(LoadSettings(file, &problems) == DefaultSettings());
  EXPECT_FALSE(Exists(file + ".tmp"));
}

TEST_F(SettingsFileTest, TheValuesAreWrittenAsGivenAndJudgedOnReading) {
  Settings wrong;
  wrong.keys[kSmartBomb] = wrong.keys[kFire];
  wrong.musicVolume = 12;
  ASSERT_TRUE(SaveSettings(file, wrong));
  const Settings s = LoadSettings(file, &problems);
  EXPECT_EQ(s.keys[kSmartBomb], KEY_SPACE);
  EXPECT_EQ(s.musicVolume, 8);
  EXPECT_EQ(problems.size(), 2u) << Problems();
}

TEST_F(SettingsFileTest, SavingMakesTheLastFolderButNeverAMissingParent) {
  const std::string folder = dir + "/vevarnholt";
  ASSERT_TRUE(SaveSettings(folder + "/vevarnholt.cfg", Chosen()));
  struct stat info;
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);  // the player's own folder
  EXPECT_TRUE(LoadSettings(folder + "/vevarnholt.cfg", nullptr) == Chosen());

  EXPECT_FALSE(SaveSettings(dir + "/home/.config/vevarnholt/vevarnholt.cfg", Chosen()));
  EXPECT_FALSE(Exists(dir + "/home"));

  WriteText(dir + "/plain", "a file, not a folder");
  EXPECT_FALSE(SaveSettings(dir + "/plain/vevarnholt.cfg", Chosen()));
  EXPECT_FALSE(SaveSettings("", Chosen()));
  EXPECT_FALSE(SaveSettings(dir + "/", Chosen()));
}

TEST_F(SettingsFileTest, AFolderThatCannotBeWrittenLosesNothing) {
  ASSERT_TRUE(SaveSettings(file, Chosen()));
  const std::string saved = ReadText(file);
  chmod(dir.c_str(), 0555);
  if (access(dir.c_str(), W_OK) == 0) {
    // The superuser writes anywhere: for it, a folder standing where the new
    // file would be written fails the save just the same.
    chmod(dir.c_str(), 0755);
    ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
  }
  EXPECT_FALSE(SaveSettings(file, DefaultSettings()));
  EXPECT_EQ(ReadText(file), saved);
  EXPECT_TRUE(LoadSettings(file, nullptr) == Chosen());
}

TEST_F(SettingsFileTest, ASaveCutShortByAFullDiskLosesNothing) {
  ASSERT_TRUE(SaveSettings(file, Chosen()));
  const std::string saved = ReadText(file);
  // A file size limit makes the write stop part-way, as a full disk would;
  // the library's writer doesn't notice, the read-back must.
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 100;
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saveResult = SaveSettings(file, DefaultSettings());
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(saveResult);
  EXPECT_EQ(ReadText(file), saved);
  EXPECT_FALSE(Exists(file + ".tmp"));
}

TEST_F(SettingsFileTest, AReadOnlySettingsFileIsLeftAsItIs) {
  ASSERT_TRUE(SaveSettings(file, Chosen()));
  const std::string saved = ReadText(file);
  chmod(file.c_str(), 0444);
  EXPECT_FALSE(SaveSettings(file, DefaultSettings()));
  EXPECT_EQ(ReadText(file), saved);
  EXPECT_FALSE(Exists(file + ".tmp"));
  EXPECT_TRUE(LoadSettings(file, nullptr) == Chosen());  // still read
}

TEST_F(SettingsFileTest, TheLibrarysOwnConfigurationIsLeftInPlace) {
  push_config_state();
  const char probe[] = "[probe]\nvalue = 5\n";
  set_config_data(probe, static_cast<int>(sizeof probe - 1));
  WriteText(file, "[probe]\nvalue = 6\n[controls]\nfire = 24\n");
  EXPECT_EQ(LoadSettings(file, nullptr).keys[kFire], KEY_X);
  EXPECT_EQ(get_config_int("probe", "value", 0), 5);
  EXPECT_EQ(get_config_string("controls", "fire", nullptr), nullptr);
  ASSERT_TRUE(SaveSettings(file, Chosen()));
  EXPECT_EQ(get_config_int("probe", "value", 0), 5);
  EXPECT_EQ(get_config_string("display", "scale", nullptr), nullptr);
  pop_config_state();
}

}  // namespace

TEST_F(SettingsFileTest, WithoutAnOnlineSectionNoServerIsSetAndNoNameChosen) {
  const Settings s = LoadText("[sound]\nmusic = 5\n");
  EXPECT_EQ(s.server, "");
  EXPECT_EQ(s.onlineName, "");
  EXPECT_TRUE(problems.empty()) << Problems();
  // Empty entries are the defaults, no fault.
  LoadText("[online]\nserver =\nname =\n");
  EXPECT_TRUE(problems.empty()) << Problems();
}

TEST_F(SettingsFileTest, AWrongServerOrNameFallsBackAloneWithItsProblemLine) {
  Settings s = LoadText("[online]\nserver = ftp://x.org\nname = Bob\n[sound]\nmusic = 2\n");
  EXPECT_EQ(s.server, "");
  EXPECT_EQ(s.onlineName, "Bob");
  EXPECT_EQ(s.musicVolume, 2);
  EXPECT_TRUE(HasProblem("server: \"ftp://x.org\" is not an http:// or https:// address")) << Problems();

  s = LoadText("[online]\nserver = https://scores.example.org/game\nname = ThisNameIsFarTooLongToShow\n");
  EXPECT_EQ(s.server, "https://scores.example.org/game");
  EXPECT_EQ(s.onlineName, "");
  EXPECT_TRUE(HasProblem("online name: \"ThisNameIsFarTooLongToSh...\" is not 1 to 20 printable characters"))
      << Problems();

  // A byte outside ASCII is read as '?', which a name may hold.
  s = LoadText("[online]\nname = Zo\xc3\xab\n");
  EXPECT_EQ(s.onlineName, "Zo??");
}

TEST_F(SettingsFileTest, ServerAddressesAndOnlineNamesAreJudgedStrictly) {
  for (const char* good : {"http://127.0.0.1:8470", "https://scores.example.org", "http://h/p?q=1"})
    EXPECT_TRUE(IsServerUrl(good)) << good;
  for (const char* bad : {"", "http://", "https://", "http:///x", "127.0.0.1:8470", "http://a b", "http://a\tb",
                          "HTTP://x", "file:///etc/passwd", "http://\x7f"})
    EXPECT_FALSE(IsServerUrl(bad)) << bad;
  EXPECT_FALSE(IsServerUrl("http://" + std::string(kServerUrlLength, 'a')));

  for (const char* good : {"A", "Ann", "a b", "<b>&x</b>", "12345678901234567890"})
    EXPECT_TRUE(IsOnlineName(good)) << good;
  for (const char* bad : {"", " ", "   ", "123456789012345678901", "tab\there", "new\nline", "\x7f"})
    EXPECT_FALSE(IsOnlineName(bad)) << bad;
}
