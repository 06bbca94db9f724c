// Time-stretching: the length follows the tempo, the pitch stays.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/TimeStretch.h"

namespace {

constexpr int kRate = 22050;

std::vector<int16_t> Sine(double hz, double seconds) {
  std::vector<int16_t> pcm(static_cast<size_t>(kRate * seconds));
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * i / kRate));
  return pcm;
}

// Rising zero crossings per second over the middle half (the ends ramp in and out).
double Frequency(const std::vector<int16_t>& pcm) {
  const size_t from = pcm.size() / 4, to = pcm.size() * 3 / 4;
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) crossings += pcm[i - 1] < 0 && pcm[i] >= 0;
  return crossings * double(kRate) / double(to - from);
}

TEST(TimeStretch, LengthFollowsTempoAndPitchStays) {
  const std::vector<int16_t> tone = Sine(440, 1.0);
  for (double tempo : {0.5, 1.5, 2.0, 3.0}) {
    SCOPED_TRACE(tempo);
    const std::vector<int16_t> out = ekoto::TimeStretch(tone, kRate, tempo);
    EXPECT_NEAR(double(out.size()), tone.size() / tempo, tone.size() * 0.05);
    EXPECT_NEAR(Frequency(out), 440.0, 440.0 * 0.03);
  }
}

TEST(TimeStretch, PitchMovesBySemitonesAtAnyTempo) {
  const std::vector<int16_t> tone = Sine(440, 1.0);
  struct Row { double tempo, semitones, hz; };
  for (const Row& row : {Row{1.0, 12.0, 880.0}, Row{1.0, -12.0, 220.0}, Row{2.0, 4.0, 554.4}}) {
    SCOPED_TRACE(row.semitones);
    const std::vector<int16_t> out = ekoto::ChangeTempoAndPitch(tone, kRate, row.tempo, row.semitones);
    EXPECT_NEAR(double(out.size()), tone.size() / row.tempo, tone.size() * 0.05);
    EXPECT_NEAR(Frequency(out), row.hz, row.hz * 0.03);
  }
}

TEST(TimeStretch, UnchangedWhereNothingCanBeStretched) {
  const std::vector<int16_t> tone = Sine(300, 0.1);
  struct Row { std::vector<int16_t> pcm; int rate; double tempo; };
  for (const Row& row : {Row{tone, kRate, 1.0}, Row{tone, kRate, 0.0}, Row{tone, kRate, NAN}, Row{tone, 0, 2.0},
                         Row{{}, kRate, 2.0}})
    EXPECT_EQ(ekoto::TimeStretch(row.pcm, row.rate, row.tempo), row.pcm);
}

}  // namespace
