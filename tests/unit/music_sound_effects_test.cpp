// The sound effects as the game loads them from kav.dat (samples 138..150):
// format, levels that survive mixing, clean starts and ends, a seamless loop,
// and sounds that differ where the game tells events apart by ear.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/data_index.h"
#include "support/allegro_fixture.h"

namespace {

class SoundEffects : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    kav_test::InitHeadlessAllegro();
    data_ = load_datafile((kav_test::DataDir() + "/kav.dat").c_str());
  }
  static void TearDownTestSuite() {
    if (data_) unload_datafile(data_);
    data_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(data_, nullptr) << "kav.dat missing from " << kav_test::DataDir(); }

  static const SAMPLE* Sample(int index) {
    return data_[index].type == DAT_SAMPLE ? static_cast<const SAMPLE*>(data_[index].dat) : nullptr;
  }
  // The sample as floats in -1..1 (Allegro keeps 16-bit samples unsigned).
  static std::vector<float> Wave(int index) {
    std::vector<float> out;
    const SAMPLE* s = Sample(index);
    if (!s || s->bits != 16) return out;
    const uint16_t* raw = static_cast<const uint16_t*>(s->data);
    for (unsigned long i = 0; i < s->len; ++i) out.push_back((static_cast<int>(raw[i]) - 0x8000) / 32768.0f);
    return out;
  }
  static double Seconds(int index) { return static_cast<double>(Sample(index)->len) / Sample(index)->freq; }
  static float Peak(const std::vector<float>& w) {
    float p = 0.0f;
    for (float v : w) p = std::max(p, std::fabs(v));
    return p;
  }
  static double Rms(const std::vector<float>& w, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += w[i] * w[i];
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
  }
  // Sign changes per second: a rough measure of pitch and brightness.
  static double CrossingRate(const std::vector<float>& w, size_t from, size_t to, int rate) {
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i)
      if ((w[i - 1] < 0.0f) != (w[i] < 0.0f)) ++crossings;
    return crossings * static_cast<double>(rate) / (to - from);
  }
  // Share of the energy below about 200 Hz.
  static double LowShare(const std::vector<float>& w, int rate) {
    double a = 1.0 - std::exp(-2.0 * 3.14159265 * 200.0 / rate);
    double z = 0.0, low = 0.0, all = 0.0;
    for (float v : w) {
      z += a * (v - z);
      low += z * z;
      all += static_cast<double>(v) * v;
    }
    return all > 0.0 ? low / all : 0.0;
  }

  static DATAFILE* data_;
};

DATAFILE* SoundEffects::data_ = nullptr;

TEST_F(SoundEffects, EveryEffectIsA16BitMonoSampleAtOneRate) {
  for (int i = dat::kSndSeize; i <= dat::kSndShipExplodes; ++i) {
    const SAMPLE* s = Sample(i);
    ASSERT_NE(s, nullptr) << "object " << i << " is not a sample";
    EXPECT_EQ(s->bits, 16) << i;
    EXPECT_EQ(s->stereo, 0) << i;
    EXPECT_EQ(s->freq, 44100) << i;
    EXPECT_GT(s->len, 2000u) << i;
  }
}

TEST_F(SoundEffects, LevelsLeaveHeadroomForSeveralAtOnce) {
  for (int i = dat::kSndSeize; i <= dat::kSndShipExplodes; ++i) {
    std::vector<float> w = Wave(i);
    EXPECT_LE(Peak(w), 0.75f) << i;
    EXPECT_GE(Peak(w), 0.2f) << i << " is too faint to hear at half volume";
  }
  // Samples play at volume 128 of 255 and voices are not scaled down, so
  // copies started in the same step add up. The falling whistle always plays
  // as three voices in unison; a wave materialises all its enemies at once
  // (eight in the first wave).
  EXPECT_LE(3 * 0.5f * Peak(Wave(dat::kSndFalling)), 0.5f);
  EXPECT_LE(8 * 0.5f * Peak(Wave(dat::kSndMaterialise)), 1.0f);
  // The loop runs under everything else for the whole wave.
  EXPECT_LE(Peak(Wave(dat::kSndPlayLoop)), 0.35f);
}

TEST_F(SoundEffects, OneShotsStartAndStopWithoutAClick) {
  for (int i = dat::kSndSeize; i <= dat::kSndShipExplodes; ++i) {
    if (i == dat::kSndPlayLoop) continue;
    std::vector<float> w = Wave(i);
    ASSERT_GT(w.size(), 64u);
    EXPECT_LT(std::fabs(w.front()), 0.01f) << i;
    EXPECT_LT(std::fabs(w.back()), 0.01f) << i;
    EXPECT_LT(Rms(w, w.size() - 32, w.size()), 0.01) << i << " is cut off while still sounding";
  }
}

TEST_F(SoundEffects, PlayLoopJoinsItsEndToItsStartSeamlessly) {
  std::vector<float> w = Wave(dat::kSndPlayLoop);
  ASSERT_GT(w.size(), 44100u) << "at least a second, so the repetition is not a buzz";
  std::vector<float> steps;
  for (size_t i = 1; i < w.size(); ++i) steps.push_back(std::fabs(w[i] - w[i - 1]));
  std::sort(steps.begin(), steps.end());
  float typicalLargeStep = steps[steps.size() * 99 / 100];
  EXPECT_LE(std::fabs(w.front() - w.back()), typicalLargeStep) << "the seam jumps: it would click every loop";
  // The wave's slope carries across too: a kink at the seam buzzes at the
  // loop rate even without a jump.
  float slopeBefore = w[w.size() - 1] - w[w.size() - 2];
  float slopeAcross = w[0] - w[w.size() - 1];
  float slopeAfter = w[1] - w[0];
  EXPECT_LE(std::fabs(slopeAcross - slopeBefore), typicalLargeStep);
  EXPECT_LE(std::fabs(slopeAfter - slopeAcross), typicalLargeStep);
}

TEST_F(SoundEffects, ShipExplosionIsHeavierThanAnEnemyExplosion) {
  std::vector<float> enemy = Wave(dat::kSndEnemyDestroyed), ship = Wave(dat::kSndShipExplodes);
  EXPECT_GE(Seconds(dat::kSndShipExplodes), 2.0 * Seconds(dat::kSndEnemyDestroyed));
  EXPECT_LE(Seconds(dat::kSndEnemyDestroyed), 1.5) << "enemies die often; their bang is short";
  EXPECT_GT(LowShare(ship, 44100), LowShare(enemy, 44100)) << "the ship's blast is deeper";
  EXPECT_GT(Rms(ship, 0, ship.size()), Rms(enemy, 0, enemy.size()));
}

TEST_F(SoundEffects, ShotAndMissileLaunchesSoundDifferent) {
  const int launches[] = {dat::kSndShot, dat::kSndMissile1, dat::kSndMissile2, dat::kSndMissile34};
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) {
      std::vector<float> x = Wave(launches[a]), y = Wave(launches[b]);
      size_t n = std::min(x.size(), y.size());
      double dot = 0.0, xx = 0.0, yy = 0.0;
      for (size_t i = 0; i < n; ++i) {
        dot += x[i] * y[i];
        xx += x[i] * x[i];
        yy += y[i] * y[i];
      }
      double similarity = dot / std::sqrt(xx * yy);
      double brightnessRatio = CrossingRate(x, 0, x.size(), 44100) / CrossingRate(y, 0, y.size(), 44100);
      double lengthRatio = static_cast<double>(x.size()) / y.size();
      bool apart = std::fabs(std::log(brightnessRatio)) > 0.2 || std::fabs(std::log(lengthRatio)) > 0.2;
      EXPECT_LT(similarity, 0.5) << launches[a] << " and " << launches[b] << " are near copies";
      EXPECT_TRUE(apart) << launches[a] << " and " << launches[b] << " have the same length and brightness";
    }
  }
  EXPECT_LE(Seconds(dat::kSndShot), 0.3) << "the shot repeats rapidly";
}

TEST_F(SoundEffects, FallingWhistleFallsForTheWholeDescent) {
  std::vector<float> w = Wave(dat::kSndFalling);
  // The last faller lands about four seconds after the whistle starts.
  EXPECT_GE(Seconds(dat::kSndFalling), 4.0);
  const size_t half = 22050;
  double start = CrossingRate(w, half / 2, half / 2 + half, 44100);
  double end = CrossingRate(w, w.size() - 2 * half, w.size() - half, 44100);
  EXPECT_GT(start, 2.0 * end) << "the pitch drops as it falls";
}

TEST_F(SoundEffects, OwIsAShortVoicedCry) {
  std::vector<float> w = Wave(dat::kSndOw);
  EXPECT_GE(Seconds(dat::kSndOw), 0.25);
  EXPECT_LE(Seconds(dat::kSndOw), 1.5);
  // A voice sits at speech pitch, not at hiss or hum.
  double rate = CrossingRate(w, 0, w.size(), 44100);
  EXPECT_GT(rate, 150.0);
  EXPECT_LT(rate, 3000.0);
}

}  // namespace
