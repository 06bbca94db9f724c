#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "engine/clsReadUp.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Returns the piece as its own reading, so hiragana input reads unchanged;
// pieces holding "×" fail.
class EchoConverter : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    ++calls;
    if (piece.find(u'×') != std::u16string::npos) return false;
    reading = piece;
    return true;
  }
  int calls = 0;
};

// Records every event as one line; lets a test act at a given OnPlaySound.
class Recorder : public IReadUpEvents, public IEventYield {
 public:
  void OnPlay() override { log.push_back("play"); }
  void OnPlayPos(int32_t lSeek, int32_t lLength) override {
    log.push_back("pos " + std::to_string(lSeek) + " " + std::to_string(lLength));
  }
  void OnPlaySound(std::u16string s) override {
    log.push_back("sound " + Utf16ToUtf8(s));
    ++sounds;
  }
  void OnPause() override { log.push_back("pause"); }
  void OnStop() override { log.push_back("stop"); }
  void OnConvertion(std::u16string& txt) override {
    log.push_back("conv " + Utf16ToUtf8(txt));
    if (convert) txt = convert(txt);
  }
  void DoEvents() override {
    if (atSound && sounds == atSoundIndex) {
      auto action = std::move(atSound);
      atSound = nullptr;
      action();
    }
  }

  std::vector<std::string> log;
  int sounds = 0;
  int atSoundIndex = 0;
  std::function<void()> atSound;
  std::function<std::u16string(const std::u16string&)> convert;
};

class ReadUpTest : public ::testing::Test {
 protected:
  Recorder rec;
  EchoConverter converter;
  clsReadUp reader{rec, rec, converter};
};

using Log = std::vector<std::string>;

TEST_F(ReadUpTest, EmptyTextGivesPlayThenStop) {
  reader.PlayText(u"");
  EXPECT_EQ(rec.log, (Log{"play", "stop"}));
  EXPECT_EQ(converter.calls, 0);
}

TEST_F(ReadUpTest, ReadsSentencesWithPositions) {
  reader.PlayText(u"あ。い");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 2", "conv あ。", "sound あ", "sound 。", "pos 2 1", "conv い",
                          "sound い", "stop"}));
}

TEST_F(ReadUpTest, TrailingMarkGivesAnEmptyLastSentence) {
  reader.PlayText(u"か。");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 2", "conv か。", "sound か", "sound 。", "pos 2 0", "conv ",
                          "sound ", "stop"}));
}

TEST_F(ReadUpTest, TextWithoutMarkIsOneSentenceHoweverLong) {
  const std::u16string text(120, u'あ');
  reader.PlayText(text);
  EXPECT_EQ(rec.log[1], "pos 0 120");
  EXPECT_EQ(rec.sounds, 120);
}

TEST_F(ReadUpTest, LongSentencesArriveInPiecesOfFifty) {
  std::u16string text(119, u'あ');
  text += u'。';
  reader.PlayText(text);
  Log positions;
  for (const auto& line : rec.log)
    if (line.rfind("pos", 0) == 0) positions.push_back(line);
  EXPECT_EQ(positions, (Log{"pos 0 50", "pos 50 50", "pos 100 20", "pos 120 0"}));
}

TEST_F(ReadUpTest, ConvertionHandlerDecidesWhatIsRead) {
  rec.convert = [](const std::u16string&) { return std::u16string(u"きょー"); };
  reader.PlayText(u"今日");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 2", "conv 今日", "sound きょ", "sound ぉ", "stop"}));
}

TEST_F(ReadUpTest, FailedConversionReadsAsOneEmptyUnit) {
  reader.PlayText(u"×");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 1", "conv ×", "sound ", "stop"}));
}

TEST_F(ReadUpTest, PauseThenResumeReplaysThePausedUnit) {
  // Pause during unit 3 (index 2) of sentence 2.
  rec.atSoundIndex = 6;  // あいう。 gives 4 units, then かきく: the 6th sound is き.
  rec.atSound = [&] { reader.PauseText(); };
  reader.PlayText(u"あいう。かきく");
  EXPECT_EQ(rec.log.back(), "pause");
  EXPECT_TRUE(reader.HoldsPosition());

  rec.log.clear();
  reader.PlayText(u"ignored");
  EXPECT_EQ(rec.log, (Log{"play", "pos 4 3", "conv かきく", "sound き", "sound く", "stop"}));
  EXPECT_FALSE(reader.HoldsPosition());
}

TEST_F(ReadUpTest, PauseOnTheVeryFirstUnitHoldsNoPosition) {
  rec.atSoundIndex = 1;
  rec.atSound = [&] { reader.PauseText(); };
  reader.PlayText(u"あい");
  EXPECT_FALSE(reader.HoldsPosition());
  rec.log.clear();
  reader.PlayText(u"う");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 1", "conv う", "sound う", "stop"}));
}

TEST_F(ReadUpTest, StopDuringReadingRaisesOnStopTwice) {
  rec.atSoundIndex = 1;
  rec.atSound = [&] { reader.StopText(); };
  reader.PlayText(u"あい。う");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 3", "conv あい。", "sound あ", "stop", "stop"}));
  EXPECT_FALSE(reader.HoldsPosition());
}

TEST_F(ReadUpTest, PauseThenStopThenPlayStartsAfresh) {
  rec.atSoundIndex = 2;
  rec.atSound = [&] { reader.PauseText(); };
  reader.PlayText(u"あい");
  reader.StopText();
  rec.log.clear();
  reader.PlayText(u"え");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 1", "conv え", "sound え", "stop"}));
}

TEST_F(ReadUpTest, PauseWhileIdleIsDroppedByTheNextPlay) {
  reader.PauseText();
  rec.log.clear();
  reader.PlayText(u"あ");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 1", "conv あ", "sound あ", "stop"}));
}

TEST_F(ReadUpTest, PlayWhileReadingIsRefused) {
  rec.atSoundIndex = 1;
  rec.atSound = [&] { reader.PlayText(u"ん"); };
  reader.PlayText(u"あい");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 2", "conv あい", "sound あ", "sound い", "stop"}));
}

TEST_F(ReadUpTest, ThrowingHandlerEndsReadingAndAllowsTheNext) {
  rec.atSoundIndex = 1;
  rec.atSound = [] { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(reader.PlayText(u"あい"), std::runtime_error);
  EXPECT_FALSE(reader.IsReading());
  EXPECT_NE(rec.log.back(), "stop");
  rec.log.clear();
  reader.StopText();
  reader.PlayText(u"う");
  EXPECT_EQ(rec.log.back(), "stop");
  EXPECT_EQ(rec.sounds, 2);
}

TEST_F(ReadUpTest, ResumeConvertsThePausedSentenceAfresh) {
  int conversions = 0;
  rec.convert = [&](const std::u16string& txt) {
    ++conversions;
    return txt;
  };
  rec.atSoundIndex = 2;
  rec.atSound = [&] { reader.PauseText(); };
  reader.PlayText(u"あいう");
  reader.PlayText(u"");
  EXPECT_EQ(conversions, 2);
  EXPECT_EQ(rec.sounds, 4);  // あ, い, then い again and う
}

TEST_F(ReadUpTest, WaveFilePlayerIsSilentWhenAbsent) {
  reader.PlaySoundFromFile(u"/nonexistent.wav");
  std::u16string played;
  reader.SetWaveFilePlayer([&](const std::u16string& fp) { played = fp; });
  reader.PlaySoundFromFile(u"a.wav");
  EXPECT_EQ(played, u"a.wav");
}

}  // namespace
}  // namespace ekoto
