// Is the planned pitch in the sound? Reads a few sentences through the reader
// with their accent plans, shapes every unit as playback does, and measures its
// F0 over the unit after its glide in (UnitF0). Prints, mora by mora, the planned level,
// the voice's own F0 and the F0 heard, and the share of neighbouring morae
// planned high/low whose F0 moves the planned way (goal >= 90 %).
// Plans: made by hand, and the accent estimator's when it is built in.
// With a file of sentences (tab-separated, the text in the second column, as
// the reading sets have it), the estimator's plans for them are measured too,
// with the share only.
// Usage: bench_pitch_contour [voice.pa=data/50on.pa beside the program] [sentences.tsv]
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "HandMadeAccent.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/Pcm16.h"
#include "audio/PitchEstimate.h"
#include "audio/UnitTempo.h"
#include "conversion/AccentEstimator.h"
#include "conversion/MecabReverseConverter.h"
#include "engine/clsReadUp.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

using namespace ekoto;

namespace {

// The hand-made sentences are given as their reading already.
class KanaAsItIs : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    reading = piece;
    return true;
  }
};

// Keeps the plans it passes on, joined, to print beside the sound.
class PlanRecorder : public IAccentSource {
 public:
  explicit PlanRecorder(IAccentSource& source) : m_source(source) {}
  AccentPlan PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                        const std::u16string& sReading) override {
    AccentPlan plan = m_source.PlanAccent(sWritten, sSentence, sReading);
    m_plan.insert(m_plan.end(), plan.begin(), plan.end());
    return plan;
  }
  const AccentPlan& Plan() const { return m_plan; }
  void Forget() { m_plan.clear(); }

 private:
  IAccentSource& m_source;
  AccentPlan m_plan;
};

struct HeardUnit {
  std::u16string sUnit;
  double dPlanned;  // semitones
  double hzOwn;     // the unit as recorded
  double hzHeard;   // the unit as played
};

class MeasuringReader : public IReadUpEvents, public IEventYield {
 public:
  MeasuringReader(std::u16string sVoice, IReverseConverter& converter, IAccentSource& source)
      : m_sVoice(std::move(sVoice)), m_reader(*this, *this, converter) {
    m_reader.SetAccentSource(&source);
  }
  std::vector<HeardUnit> Read(const std::u16string& text) {
    m_units.clear();
    m_reader.PlayText(text);
    return m_units;
  }
  void OnPlaySound(std::u16string s) override {
    PAHEADER header;
    const std::vector<uint8_t> bytes = LoadSoundWithVolume(m_sVoice, s, 1.0f, header);
    const std::vector<int16_t> pcm = ToPcm16(bytes, header.nBitsPerSample, header.nChannels);
    const UnitPitch& pitch = m_reader.PitchOfUnit();
    double hzOwn = 0, hzHeard = 0;
    if (!pcm.empty()) {
      hzOwn = UnitF0(pcm, header.lSampleRate);
      hzHeard = UnitF0(StretchPcm(pcm, header.lSampleRate, 1.0, pitch), header.lSampleRate);
    }
    m_units.push_back({s, pitch.dHold, hzOwn, hzHeard});
  }
  void OnPlay() override {}
  void OnPlayPos(int32_t, int32_t) override {}
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string&) override {}
  void DoEvents() override {}

 private:
  std::u16string m_sVoice;
  clsReadUp m_reader;
  std::vector<HeardUnit> m_units;
};

bool IsPunctuation(const std::u16string& unit) {
  return unit.empty() || unit.find_first_of(u"、。？！?! 　") != std::u16string::npos;
}

struct Tally {
  int nPairs = 0, nRight = 0, nUnheard = 0;
};

// Prints the sentence's morae and adds its neighbouring high/low pairs to tally.
void Report(const std::u16string& text, const AccentPlan& plan, const std::vector<HeardUnit>& units, Tally& tally,
            bool bPrint = true) {
  if (bPrint) std::printf("\n%s\n", Utf16ToUtf8(text).c_str());
  std::vector<HeardUnit> morae;
  for (const HeardUnit& unit : units) {
    if (!IsPunctuation(unit.sUnit)) morae.push_back(unit);
  }
  if (plan.empty() || morae.size() != plan.size()) {
    if (bPrint) std::printf("  no plan for its %zu units: read at one pitch\n", morae.size());
    return;
  }
  if (bPrint) std::printf("  mora  plan  st     own Hz  heard Hz  heard st\n");
  for (size_t i = 0; i < morae.size(); ++i) {
    const HeardUnit& m = morae[i];
    const double dHeard = m.hzOwn > 0 && m.hzHeard > 0 ? 12.0 * std::log2(m.hzHeard / m.hzOwn) : NAN;
    if (bPrint) {
      std::printf("  %-4s  %-4s %+5.1f  %7.1f  %8.1f  %+7.1f\n", Utf16ToUtf8(m.sUnit).c_str(),
                  plan[i].bHigh ? "H" : "L", m.dPlanned, m.hzOwn, m.hzHeard, dHeard);
    }
    if (i == 0 || plan[i].bHigh == plan[i - 1].bHigh) continue;
    if (morae[i].hzHeard <= 0 || morae[i - 1].hzHeard <= 0) {
      ++tally.nUnheard;
      continue;
    }
    ++tally.nPairs;
    tally.nRight += (morae[i].hzHeard > morae[i - 1].hzHeard) == plan[i].bHigh;
  }
}

void Summary(const char* sWhose, const Tally& tally) {
  std::printf("\n%s plans: %d of %d neighbouring high/low pairs move the planned way: %.1f %% (goal >= 90 %%)",
              sWhose, tally.nRight, tally.nPairs, tally.nPairs ? 100.0 * tally.nRight / tally.nPairs : 0.0);
  std::printf("; %d pairs with a mora of no measurable pitch left out\n", tally.nUnheard);
}

}  // namespace

int main(int argc, char** argv) {
  const std::u16string voice = argc > 1 ? Utf8ToUtf16(argv[1]) : ProgramFolder() + u"50on.pa";

  bench::HandMadeAccent handMade;
  PlanRecorder handPlans(handMade);
  KanaAsItIs kana;
  MeasuringReader byHand(voice, kana, handPlans);
  Tally tally;
  for (const bench::HandSentence& sentence : bench::HandSentences()) {
    handPlans.Forget();
    const std::vector<HeardUnit> units = byHand.Read(sentence.sKana);
    Report(sentence.sText, handPlans.Plan(), units, tally);
  }
  Summary("hand-made", tally);

  CAccentEstimator estimator;
  PlanRecorder estimated(estimator);
  MeasuringReader byEstimate(voice, DefaultReverseConverter(), estimated);
  Tally estimatedTally;
  for (const bench::HandSentence& sentence : bench::HandSentences()) {
    estimated.Forget();
    const std::vector<HeardUnit> units = byEstimate.Read(sentence.sText);
    Report(sentence.sText, estimated.Plan(), units, estimatedTally);
  }
  Summary("estimated", estimatedTally);

  if (argc > 2) {
    std::ifstream in(argv[2]);
    Tally fileTally;
    int nSentences = 0;
    for (std::string line; std::getline(in, line);) {
      const size_t tab = line.find('\t');
      if (tab == std::string::npos || line.starts_with("id\t") || line.starts_with('#')) continue;
      const std::u16string text = Utf8ToUtf16(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
      estimated.Forget();
      Report(text, estimated.Plan(), byEstimate.Read(text), fileTally, false);
      ++nSentences;
    }
    std::printf("\n%d sentences of %s:", nSentences, argv[2]);
    Summary(" estimated", fileTally);
  }
  return 0;
}
