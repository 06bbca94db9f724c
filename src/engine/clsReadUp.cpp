#include "engine/clsReadUp.h"

#include <algorithm>

#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/SpokenText.h"
#include "engine/SplitSyllables.h"

namespace ekoto {
namespace {

// Clears the reading flag on every way out of PlayText, a throwing handler included.
class ReadingGuard {
 public:
  explicit ReadingGuard(bool& flag) : m_flag(flag) { m_flag = true; }
  ~ReadingGuard() { m_flag = false; }
  ReadingGuard(const ReadingGuard&) = delete;
  ReadingGuard& operator=(const ReadingGuard&) = delete;

 private:
  bool& m_flag;
};

}  // namespace

clsReadUp::clsReadUp(IReadUpEvents& events, IEventYield& eventLoop, IReverseConverter& converter)
    : m_events(events), m_eventLoop(eventLoop), m_converter(converter) {}

void clsReadUp::PlayText(const std::u16string& strText) {
  // Only one reading may run: a second one would replace the sentence list
  // under the loop that is walking it.
  if (m_bReading) return;
  ReadingGuard guard(m_bReading);

  // Only a request left over from before is dropped: the owner yields while it
  // answers OnPlay, and a pause or stop made there belongs to this reading.
  m_nRequest = kNone;
  m_events.OnPlay();
  if (m_nRequest == kStop) {
    Finish();
    return;
  }
  // Paused before the first unit: a held position stays held, none is made.
  if (m_nRequest == kPause) return;

  const bool bResume = HoldsPosition();
  m_bHeldAtStart = false;
  if (!bResume) {
    if (strText.empty()) {
      Finish();
      return;
    }
    m_sText = strText;
    m_aSentences = ReadSentenceSpans(m_sText);
  }

  // SeekPosition may cut a sentence in two while this runs: the count is read again.
  while (m_lSentenceIndex < static_cast<int32_t>(m_aSentences.size())) {
    const TextSpan sentence = m_aSentences[m_lSentenceIndex];
    m_events.OnPlayPos(sentence.lStart, sentence.lLength);

    const std::u16string sWritten = SaidSentence(m_sText, sentence);
    std::u16string txt = sWritten;
    m_events.OnConvertion(txt);
    const std::u16string sReading = ConvKanji2Hiragana(txt, m_converter);
    const std::vector<std::u16string> units = SplitSyllables(sReading);
    std::vector<UnitPitch> pitches;
    if (m_pAccent) pitches = UnitPitches(units, sReading, m_pAccent->PlanAccent(sWritten, txt, sReading));

    bool bSought = false;
    for (int32_t j = m_lUnitIndex; j < static_cast<int32_t>(units.size()); ++j) {
      m_pitchOfUnit = pitches.empty() ? UnitPitch{} : pitches[j];
      m_pitchOfUnit.bInContour = m_pAccent != nullptr;
      m_events.OnPlaySound(units[j]);
      m_pitchOfUnit = {};
      m_eventLoop.DoEvents();
      if (m_nRequest == kSeek) {
        m_nRequest = kNone;
        m_lSentenceIndex = m_lSeekTarget;
        bSought = true;
        break;
      }
      if (m_nRequest == kPause) {
        // The unit during which the pause took effect is played again on resume.
        m_lUnitIndex = j;
        return;
      }
      if (m_nRequest == kStop) {
        Finish();
        return;
      }
    }
    m_lUnitIndex = 0;
    if (!bSought) ++m_lSentenceIndex;
  }
  Finish();
}

bool clsReadUp::SeekSentence(int32_t nDelta) {
  const bool bPending = m_bReading && m_nRequest == kSeek;
  if (!m_bReading && !HoldsPosition()) return false;
  if (m_bReading && !bPending && m_nRequest != kNone) return false;
  const int64_t lTarget = static_cast<int64_t>(bPending ? m_lSeekTarget : m_lSentenceIndex) + nDelta;
  if (lTarget < 0 || lTarget >= static_cast<int64_t>(m_aSentences.size())) return false;
  return MoveToSentence(static_cast<int32_t>(lTarget));
}

bool clsReadUp::SeekPosition(int32_t lPosition) {
  if (!m_bReading && !HoldsPosition()) return false;
  if (m_bReading && m_nRequest != kNone && m_nRequest != kSeek) return false;
  if (lPosition < 0 || static_cast<size_t>(lPosition) > m_sText.size()) return false;
  const auto after = std::upper_bound(m_aSentences.begin(), m_aSentences.end(), lPosition,
                                      [](int32_t l, const TextSpan& span) { return l < span.lStart; });
  int32_t lTarget = static_cast<int32_t>(after - m_aSentences.begin()) - 1;
  TextSpan& span = m_aSentences[static_cast<size_t>(lTarget)];
  if (lPosition > span.lStart && lPosition < span.lStart + span.lLength) {
    const TextSpan rest{lPosition, span.lStart + span.lLength - lPosition};
    span.lLength = lPosition - span.lStart;
    m_aSentences.insert(m_aSentences.begin() + lTarget + 1, rest);
    // The sentence being read keeps its number when the cut lies before it.
    if (m_lSentenceIndex > lTarget) ++m_lSentenceIndex;
    ++lTarget;
  }
  return MoveToSentence(lTarget);
}

int32_t clsReadUp::SentenceStart() const {
  if (m_lSentenceIndex < 0 || static_cast<size_t>(m_lSentenceIndex) >= m_aSentences.size()) return 0;
  return m_aSentences[static_cast<size_t>(m_lSentenceIndex)].lStart;
}

bool clsReadUp::MoveToSentence(int32_t lTarget) {
  if (m_bReading) {
    m_lSeekTarget = lTarget;
    m_nRequest = kSeek;
    return true;
  }
  m_lSentenceIndex = lTarget;
  m_lUnitIndex = 0;
  m_bHeldAtStart = true;
  const TextSpan sentence = m_aSentences[m_lSentenceIndex];
  m_events.OnPlayPos(sentence.lStart, sentence.lLength);
  return true;
}

bool clsReadUp::HoldAt(const std::u16string& strText, int32_t lSentence) {
  if (m_bReading || lSentence < 0) return false;
  std::vector<TextSpan> sentences = ReadSentenceSpans(strText);
  if (lSentence >= static_cast<int32_t>(sentences.size())) return false;
  m_sText = strText;
  m_aSentences = std::move(sentences);
  m_lSentenceIndex = lSentence;
  m_lUnitIndex = 0;
  m_bHeldAtStart = true;
  m_events.OnPlayPos(m_aSentences[lSentence].lStart, m_aSentences[lSentence].lLength);
  return true;
}

void clsReadUp::Finish() {
  m_bHeldAtStart = false;
  m_lUnitIndex = 0;
  m_lSentenceIndex = 0;
  m_nRequest = kNone;
  m_events.OnStop();
}

void clsReadUp::PauseText() {
  m_nRequest = kPause;
  m_events.OnPause();
}

void clsReadUp::StopText() {
  m_nRequest = kStop;
  m_bHeldAtStart = false;
  m_lUnitIndex = 0;
  m_lSentenceIndex = 0;
  m_events.OnStop();
}

void clsReadUp::PlaySoundFromFile(const std::u16string& fp) {
  if (m_waveFilePlayer) m_waveFilePlayer(fp);
}

void clsReadUp::SetWaveFilePlayer(std::function<void(const std::u16string&)> player) {
  m_waveFilePlayer = std::move(player);
}

}  // namespace ekoto
