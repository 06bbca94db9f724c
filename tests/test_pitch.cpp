// Pitch in the sound: the units' levels from an accent plan, the glide that
// moves a unit's pitch without changing its length, and minimal pairs said with
// the bundled voice whose morae are heard to rise or fall as planned.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "PaTestFiles.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/Pcm16.h"
#include "audio/PitchEstimate.h"
#include "audio/TimeStretch.h"
#include "audio/UnitTempo.h"
#include "engine/SplitSyllables.h"
#include "engine/clsReadUp.h"
#include "engine/UnitPitch.h"
#include "voice/PaWriter.h"

namespace ekoto {
namespace {

// A plan spelt one letter a mora: H high, L low, N the high nucleus; '#' starts
// a phrase, ',' puts a pause after the mora before it, '?' makes it a question's end.
AccentPlan Plan(const std::vector<std::u16string>& morae, const std::string& levels) {
  AccentPlan plan;
  bool bStart = true;
  for (char c : levels) {
    if (c == '#') bStart = true;
    if (c == ',') plan.back().bPauseAfter = true;
    if (c == '?') plan.back().bQuestion = true;
    if (c != 'H' && c != 'L' && c != 'N') continue;
    plan.push_back({.sMora = morae[plan.size()], .bHigh = c != 'L', .bNucleus = c == 'N',
                    .bPhraseStart = std::exchange(bStart, false)});
  }
  return plan;
}

std::vector<double> Holds(const std::vector<UnitPitch>& pitches) {
  std::vector<double> holds;
  for (const UnitPitch& p : pitches) holds.push_back(p.dHold);
  return holds;
}

constexpr double H = kHighLevel, L = kLowLevel;

TEST(UnitPitch, UnitsTakeTheLevelOfTheirMora) {
  struct Row {
    std::u16string sReading;
    std::vector<std::u16string> morae;
    std::string levels;
    std::vector<double> holds;  // empty: every unit flat
  };
  const Row rows[] = {
      {.sReading = u"あめ", .morae = {u"あ", u"め"}, .levels = "NL", .holds = {H, L}},
      {.sReading = u"あめ", .morae = {u"あ", u"め"}, .levels = "LH", .holds = {L, H}},
      // きょ is one unit and one mora; ー, っ and ん are morae of their own.
      {.sReading = u"きょーっん", .morae = {u"きょ", u"ー", u"っ", u"ん"}, .levels = "LHHH", .holds = {L, H, H, H}},
      // Punctuation belongs to no mora: it holds the level the unit before ended on.
      {.sReading = u"かみ、かみ。", .morae = {u"か", u"み", u"か", u"み"}, .levels = "LH,#LH",
       .holds = {L, H, H, L, H, H - kFinalFall}},
      // Each nucleus lowers the highs of the phrases after it, down to a floor; a pause resets them.
      {.sReading = u"あいうえお", .morae = {u"あ", u"い", u"う", u"え", u"お"}, .levels = "N#N#N#N,#H",
       .holds = {H, H - kDownstep, kLowestHigh, kLowestHigh, H}},
      // Morae that do not spell the reading: no plan at all.
      {.sReading = u"あめ", .morae = {u"あ", u"に"}, .levels = "NL", .holds = {}},
      {.sReading = u"あめ", .morae = {u"あ", u"め", u"だ"}, .levels = "NLL", .holds = {}},
      {.sReading = u"あめ", .morae = {}, .levels = "", .holds = {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.levels));
    const auto units = SplitSyllables(row.sReading);
    const std::vector<UnitPitch> pitches = UnitPitches(units, row.sReading, Plan(row.morae, row.levels));
    ASSERT_EQ(pitches.size(), units.size());
    if (row.holds.empty()) {
      for (const UnitPitch& p : pitches) EXPECT_TRUE(p.IsFlat());
    } else {
      EXPECT_EQ(Holds(pitches), row.holds);
    }
  }
}

TEST(UnitPitch, JoinsGlideAndSentencesEndFallingOrRising) {
  const std::u16string sReading = u"かみ、かみ";
  const auto units = SplitSyllables(sReading);
  std::vector<UnitPitch> pitches = UnitPitches(units, sReading, Plan({u"か", u"み", u"か", u"み"}, "LH,#LH"));
  // Each unit starts where the one before ended; after a pause it starts at its own level.
  EXPECT_EQ(pitches[1].dStart, L);
  EXPECT_EQ(pitches[3].dStart, L);
  EXPECT_EQ(pitches[1].dEnd, H);
  EXPECT_EQ(pitches[4].dEnd, H - kFinalFall);
  pitches = UnitPitches(units, sReading, Plan({u"か", u"み", u"か", u"み"}, "LH,#LH?"));
  EXPECT_EQ(pitches[4].dEnd, H + kQuestionRise);
}

// The reader asks its accent source for each sentence's plan and gives every
// unit its pitch while the unit is played.
class PitchRecorder : public IReadUpEvents, public IEventYield, public IReverseConverter, public IAccentSource {
 public:
  void OnPlaySound(std::u16string) override { holds.push_back(reader.PitchOfUnit().dHold); }
  AccentPlan PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                        const std::u16string& sReading) override {
    asked.push_back(sWritten + u"|" + sSentence + u"|" + sReading);
    return sReading == u"あめ。" ? Plan({u"あ", u"め"}, "NL") : AccentPlan{};
  }
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    reading = piece == u"雨。" ? u"あめ。" : piece;
    return true;
  }
  void OnPlay() override {}
  void OnPlayPos(int32_t, int32_t) override {}
  void OnPause() override {}
  void OnStop() override {}
  // The owner's conversion writes the second sentence in katakana, as the numeral step does.
  void OnConvertion(std::u16string& txt) override {
    if (txt == u"かみ") txt = u"カミ";
  }
  void DoEvents() override {}

  clsReadUp reader{*this, *this, *this};
  std::vector<std::u16string> asked;
  std::vector<double> holds;
};

TEST(UnitPitch, ReaderGivesEachUnitThePitchOfItsSentencesPlan) {
  PitchRecorder r;
  r.reader.PlayText(u"雨。かみ");
  EXPECT_TRUE(r.asked.empty());
  EXPECT_EQ(r.holds, (std::vector<double>{0, 0, 0, 0, 0}));
  r.holds.clear();
  r.reader.SetAccentSource(&r);
  r.reader.PlayText(u"雨。かみ");
  // Each sentence as written, as converted, and its reading.
  EXPECT_EQ(r.asked, (std::vector<std::u16string>{u"雨。|雨。|あめ。", u"かみ|カミ|カミ"}));
  // A sentence without a plan is read at one pitch.
  EXPECT_EQ(r.holds, (std::vector<double>{H, L, L - kFinalFall, 0, 0}));
  EXPECT_TRUE(r.reader.PitchOfUnit().IsFlat());
}

constexpr int kRate = 22050;

std::vector<int16_t> Tone(double dHz, size_t n) {
  std::vector<int16_t> tone(n);
  for (size_t i = 0; i < n; ++i) tone[i] = static_cast<int16_t>(10000 * std::sin(2 * M_PI * dHz * i / kRate));
  return tone;
}

// hz moved from hzRef by about dSemitones: the same within 3 % when 0, else the
// same way by at least a sixth of it (the frame also hears the glide's later steps).
void ExpectMoved(double hz, double hzRef, double dSemitones) {
  if (dSemitones == 0.0) {
    EXPECT_NEAR(hz, hzRef, hzRef * 0.03);
  } else {
    EXPECT_GT(12.0 * std::log2(hz / hzRef) / dSemitones, 1.0 / 6.0) << hz << " Hz against " << hzRef << " Hz";
  }
}

TEST(UnitPitch, GlideMovesThePitchAndKeepsTheLength) {
  const std::vector<int16_t> tone = Tone(200, kRate / 2);
  struct Row { double dStart, dHold, dEnd, dTempo, hzAtHold; };
  const Row rows[] = {
      {0, 0, 0, 1.0, 200}, {0, 12, 12, 1.0, 400}, {-12, 0, 12, 1.0, 200}, {4, 4, -8, 2.0, 252},
      {-3, 2, 2, 0.75, 224.5},  // crosses the voice's own pitch: once a click
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.dStart << " " << row.dHold << " " << row.dEnd << " x" << row.dTempo);
    const std::vector<int16_t> out =
        StretchPcm(tone, kRate, row.dTempo, {.dStart = row.dStart, .dHold = row.dHold, .dEnd = row.dEnd});
    EXPECT_NEAR(double(out.size()), tone.size() / row.dTempo, 2.0);
    const double hzAtHold = EstimateF0(out, kRate, 0.4, 512);
    EXPECT_NEAR(hzAtHold, row.hzAtHold, row.hzAtHold * 0.03);
    ExpectMoved(EstimateF0(out, kRate, 0.05, 512), hzAtHold, row.dStart - row.dHold);
    ExpectMoved(EstimateF0(out, kRate, 0.9, 512), hzAtHold, row.dEnd - row.dHold);
    // No click: no step between samples larger than the steepest the highest pitch makes
    // (the last samples left out: the sound is cut there, as a unit's quiet tail is).
    const double hzMax = 200 * std::exp2(std::max({row.dStart, row.dHold, row.dEnd}) / 12);
    int nMaxStep = 0;
    for (size_t i = 1; i < out.size() * 97 / 100; ++i) nMaxStep = std::max(nMaxStep, std::abs(out[i] - out[i - 1]));
    EXPECT_LT(nMaxStep, 10000 * 2 * M_PI * hzMax / kRate * 1.1);
  }
  EXPECT_EQ(EstimateF0(std::vector<int16_t>(4096, 0), kRate, 0.5), 0.0);
}

// The bundled voice, and the same units stored as 8-bit samples.
std::u16string Voice(int nBits, const testing::ScratchDir& dir) {
  const std::u16string bundled = Utf8ToUtf16(std::string(EKOTO_BIN_DIR) + "/50on.pa");
  if (nBits == 16) return bundled;
  std::vector<PaUnit> units;
  int32_t lRate = 0;
  for (const char16_t* name : {u"あ", u"め", u"か", u"み"}) {
    PAHEADER header;
    const std::vector<int16_t> pcm = ToPcm16(LoadSoundWithVolume(bundled, name, 1.0f, header), 16);
    PaUnit unit{name, {}};
    for (int16_t s : pcm) unit.bytSample.push_back(static_cast<uint8_t>((s >> 8) + 128));
    units.push_back(unit);
    lRate = header.lSampleRate;
  }
  const std::u16string path = dir.Path16("v8.pa");
  EXPECT_TRUE(WritePAFile(path, units, lRate, 1, 8).bOk);
  return path;
}

TEST(UnitPitch, MinimalPairsRiseAndFallInTheSound) {
  struct Row { const char* word; std::u16string sReading; std::string levels; bool bRises; };
  const Row rows[] = {
      {"雨", u"あめ", "NL", false},
      {"飴", u"あめ", "LH", true},
      {"神", u"かみ", "NL", false},
      {"紙", u"かみ", "LH", true},
  };
  testing::ScratchDir dir;
  for (int nBits : {16, 8}) {
    const std::u16string voice = Voice(nBits, dir);
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.word) + ", " + std::to_string(nBits) + " bits");
      const auto units = SplitSyllables(row.sReading);
      const std::vector<UnitPitch> pitches =
          UnitPitches(units, row.sReading, Plan({row.sReading.substr(0, 1), row.sReading.substr(1)}, row.levels));
      double hz[2] = {};
      for (size_t i = 0; i < 2; ++i) {
        PAHEADER header;
        std::vector<uint8_t> bytes = LoadSoundWithVolume(voice, units[i], 1.0f, header);
        int16_t nBitsOut = header.nBitsPerSample;
        // A unit at the voice's own pitch is left as recorded.
        EXPECT_EQ(StretchUnit(bytes, nBitsOut, header.nChannels, header.lSampleRate, 1.0, pitches[i]),
                  !pitches[i].IsFlat());
        // Measured after the glide in, where the vowel carries the pitch.
        hz[i] = UnitF0(ToPcm16(bytes, nBitsOut), header.lSampleRate);
        ASSERT_GT(hz[i], 0.0) << "no pitch heard in unit " << i;
      }
      // The two levels lie three semitones apart: at least half of it must be heard.
      const double dSemitones = 12.0 * std::log2(hz[1] / hz[0]);
      if (row.bRises) {
        EXPECT_GT(dSemitones, 1.5) << hz[0] << " Hz then " << hz[1] << " Hz";
      } else {
        EXPECT_LT(dSemitones, -1.5) << hz[0] << " Hz then " << hz[1] << " Hz";
      }
    }
  }
}

}  // namespace
}  // namespace ekoto
