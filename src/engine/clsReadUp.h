// clsReadUp reads one text aloud, one syllable unit at a time. It makes no sound
// itself: for every unit it raises OnPlaySound and its owner plays the sample
// before returning. Pause and stop are requests that the running reading notices
// between two units, after yielding to the owner's event loop.
//
// Data flow per sentence: OnPlayPos (the sentence as shown) → SaidSentence (ruby
// for bases, no notes, today's kana) → OnConvertion (the owner applies the
// reading options) → ConvKanji2Hiragana → SplitSyllables (and, with an accent
// source, the pitch of every unit) → OnPlaySound for each unit.
// Single-threaded: every call comes from the owner's thread.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "conversion/AccentPlan.h"
#include "conversion/ReverseConverter.h"
#include "conversion/SplitText.h"
#include "engine/ReadUpEvents.h"
#include "engine/UnitPitch.h"

namespace ekoto {

class clsReadUp {
 public:
  clsReadUp(IReadUpEvents& events, IEventYield& eventLoop, IReverseConverter& converter);

  // Reads strText from its beginning, or resumes a held position (strText is then
  // not looked at). Returns when the reading has ended, been stopped or paused.
  // A call that arrives while a reading runs is refused: it returns at once and
  // raises no event.
  void PlayText(const std::u16string& strText);
  // Requests a pause after the unit in progress; raises OnPause.
  void PauseText();
  // Requests a stop, drops the held position; raises OnStop.
  void StopText();
  // Moves the reading nDelta sentences on (or back) from the one being read or
  // held, to that sentence's start. While reading, the move takes effect after
  // the unit in progress; while paused, the held position moves and OnPlayPos
  // shows the new sentence. Returns false, changing nothing, when idle or when
  // the target lies outside the text.
  bool SeekSentence(int32_t nDelta);
  // Moves the reading, as SeekSentence does, to position lPosition of the text
  // being read or held (0 to its length): the sentence holding it is cut there,
  // so the reading goes on exactly from that place (a chapter's start).
  bool SeekPosition(int32_t lPosition);
  // Holds a paused position at the start of sentence lSentence of strText, as
  // if a reading of strText had been paused there, and raises OnPlayPos for it.
  // Returns false, changing nothing, while reading or for a sentence outside the text.
  bool HoldAt(const std::u16string& strText, int32_t lSentence);
  // The sentence being read, or the one a resume starts at.
  int32_t SentenceIndex() const { return m_lSentenceIndex; }
  // Where that sentence starts in the text being read or held; 0 when idle.
  int32_t SentenceStart() const;

  // Plays a wave file to its end through the player the owner set; silent when
  // there is none or the file cannot be played.
  void PlaySoundFromFile(const std::u16string& fp);
  void SetWaveFilePlayer(std::function<void(const std::u16string&)> player);

  // The source of each sentence's accent plan, borrowed; nullptr (the default)
  // reads every unit at the voice's own pitch. Takes effect at the next sentence.
  void SetAccentSource(IAccentSource* pAccent) { m_pAccent = pAccent; }
  // The pitch of the unit being played: valid during OnPlaySound, flat otherwise.
  const UnitPitch& PitchOfUnit() const { return m_pitchOfUnit; }

  // Returns true iff PlayText is on the call stack.
  bool IsReading() const { return m_bReading; }
  // Returns true iff a paused position is held for the next PlayText.
  bool HoldsPosition() const { return m_lUnitIndex != 0 || m_lSentenceIndex != 0 || m_bHeldAtStart; }

 private:
  enum Request : int16_t { kNone = 0, kPause = 1, kStop = 2, kSeek = 3 };

  void Finish();
  // SeekSentence's move once its target is known to lie inside the text.
  bool MoveToSentence(int32_t lTarget);

  IReadUpEvents& m_events;
  IEventYield& m_eventLoop;
  IReverseConverter& m_converter;
  std::function<void(const std::u16string&)> m_waveFilePlayer;
  IAccentSource* m_pAccent = nullptr;
  UnitPitch m_pitchOfUnit;

  int32_t m_lUnitIndex = 0;
  int16_t m_nRequest = kNone;
  // The sentences are kept as spans over one copy of the text: a long text is
  // split in one pass without making a string per sentence.
  std::u16string m_sText;
  std::vector<TextSpan> m_aSentences;
  int32_t m_lSentenceIndex = 0;
  int32_t m_lSeekTarget = 0;  // the sentence a kSeek request moves to
  // A paused position moved back to the first sentence's start is still held.
  bool m_bHeldAtStart = false;
  bool m_bReading = false;
};

}  // namespace ekoto
