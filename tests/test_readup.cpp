// The reader's state machine, driven by scripted events: what it reports,
// and where it goes on after a pause, a stop or a refused play.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "engine/clsReadUp.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Returns the piece as its own reading; pieces holding "×" fail.
class EchoConverter : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    if (piece.find(u'×') != std::u16string::npos) return false;
    reading = piece;
    return true;
  }
};

// Records every event as one line; runs an action at a given OnPlaySound.
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
    if (atSound && sounds == atSoundIndex) std::exchange(atSound, nullptr)();
  }

  std::vector<std::string> log;
  int sounds = 0;
  int atSoundIndex = 0;
  std::function<void()> atSound;
  std::function<std::u16string(const std::u16string&)> convert;
};

using Log = std::vector<std::string>;
enum class Act { kNone, kPause, kStop, kPauseThenStop, kPlay };

TEST(ReadUpTest, Scripts) {
  const struct {
    const char* name;
    std::u16string text;
    int atSound;  // 0: the action comes before the reading
    Act act;
    const char16_t* again;  // played after the first reading, or nullptr
    bool bHolds;            // a position is held after the first reading
    Log expected;           // the log of the last reading
  } rows[] = {
      {"empty", u"", 0, Act::kNone, nullptr, false, {"play", "stop"}},
      {"sentences", u"あ。い", 0, Act::kNone, nullptr, false,
       {"play", "pos 0 2", "conv あ。", "sound あ", "sound 。", "pos 2 1", "conv い", "sound い", "stop"}},
      {"trailing mark", u"か。", 0, Act::kNone, nullptr, false,
       {"play", "pos 0 2", "conv か。", "sound か", "sound 。", "pos 2 0", "conv ", "sound ", "stop"}},
      {"failed conversion", u"×", 0, Act::kNone, nullptr, false, {"play", "pos 0 1", "conv ×", "sound ", "stop"}},
      // The highlight covers the sentence as shown; the ruby is converted instead of its base, a note not at all.
      {"ruby and notes", u"｜亜《あ》、い［＃注、ね］。", 0, Act::kNone, nullptr, false,
       {"play", "pos 0 6", "conv あ、", "sound あ", "sound 、", "pos 6 8", "conv い。", "sound い", "sound 。", "pos 14 0",
        "conv ", "sound ", "stop"}},
      {"old kana", u"言ふ。", 0, Act::kNone, nullptr, false,
       {"play", "pos 0 3", "conv 言う。", "sound 言", "sound う", "sound 。", "pos 3 0", "conv ", "sound ", "stop"}},
      // The paused unit is played again on resume, its sentence converted afresh.
      {"pause, resume", u"あいう。かきく", 6, Act::kPause, u"ignored", true,
       {"play", "pos 4 3", "conv かきく", "sound き", "sound く", "stop"}},
      {"pause at first unit", u"あい", 1, Act::kPause, u"う", false, {"play", "pos 0 1", "conv う", "sound う", "stop"}},
      {"stop", u"あい。う", 1, Act::kStop, nullptr, false, {"play", "pos 0 3", "conv あい。", "sound あ", "stop", "stop"}},
      {"pause, stop, play", u"あ。いう", 3, Act::kPauseThenStop, u"え", true,
       {"play", "pos 0 1", "conv え", "sound え", "stop"}},
      {"pause while idle", u"あ", 0, Act::kPause, nullptr, false, {"play", "pos 0 1", "conv あ", "sound あ", "stop"}},
      {"play while reading", u"あい", 1, Act::kPlay, nullptr, false,
       {"play", "pos 0 2", "conv あい", "sound あ", "sound い", "stop"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Recorder rec;
    EchoConverter converter;
    clsReadUp reader(rec, rec, converter);
    std::function<void()> action;
    switch (row.act) {
      case Act::kNone: break;
      case Act::kPause:
      case Act::kPauseThenStop: action = [&] { reader.PauseText(); }; break;
      case Act::kStop: action = [&] { reader.StopText(); }; break;
      case Act::kPlay: action = [&] { reader.PlayText(u"ん"); }; break;
    }
    if (row.atSound == 0 && action) {
      action();
      rec.log.clear();
    } else {
      rec.atSoundIndex = row.atSound;
      rec.atSound = action;
    }
    reader.PlayText(row.text);
    EXPECT_EQ(reader.HoldsPosition(), row.bHolds);
    if (row.act == Act::kPauseThenStop) reader.StopText();  // after the paused reading returned
    if (row.again) {
      rec.log.clear();
      reader.PlayText(row.again);
    }
    EXPECT_EQ(rec.log, row.expected);
    EXPECT_FALSE(reader.HoldsPosition());
  }
}

TEST(ReadUpTest, LongSentencesArriveInPiecesOfFiftyConvertedByTheHandler) {
  Recorder rec;
  EchoConverter converter;
  clsReadUp reader(rec, rec, converter);
  reader.PlayText(std::u16string(119, u'あ') + u"。");
  Log positions;
  for (const auto& line : rec.log)
    if (line.rfind("pos", 0) == 0) positions.push_back(line);
  EXPECT_EQ(positions, (Log{"pos 0 50", "pos 50 50", "pos 100 20", "pos 120 0"}));
  rec.log.clear();
  rec.convert = [](const std::u16string&) { return std::u16string(u"きょー"); };
  reader.PlayText(u"今日");
  EXPECT_EQ(rec.log, (Log{"play", "pos 0 2", "conv 今日", "sound きょ", "sound ぉ", "stop"}));
}

TEST(ReadUpTest, ThrowingHandlerEndsReadingAndAllowsTheNext) {
  Recorder rec;
  EchoConverter converter;
  clsReadUp reader(rec, rec, converter);
  rec.atSoundIndex = 1;
  rec.atSound = [] { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(reader.PlayText(u"あい"), std::runtime_error);
  EXPECT_FALSE(reader.IsReading());
  reader.StopText();
  reader.PlayText(u"う");
  EXPECT_EQ(rec.log.back(), "stop");
  EXPECT_EQ(rec.sounds, 2);
}

}  // namespace
}  // namespace ekoto

namespace ekoto {
namespace {

// A move to a text position (a chapter's start) while reading and while held:
// the sentence is cut there and the reading goes on from exactly that place.
TEST(ReadUpTest, SeekPositionCutsTheSentenceAtThePlace) {
  const struct {
    const char* name;
    bool bHeld;        // paused at the second unit, else moved while the first plays
    int32_t lPosition;
    bool bMoved;
    Log expected;      // after the move, to the end of the reading
  } rows[] = {
      {"inside a later sentence", false, 4, true,
       {"pos 4 3", "conv えお。", "sound え", "sound お", "sound 。", "pos 7 1", "conv か", "sound か", "stop"}},
      {"inside the sentence being read", false, 1, true,
       {"pos 1 2", "conv い。", "sound い", "sound 。", "pos 3 4", "conv うえお。", "sound う", "sound え", "sound お",
        "sound 。", "pos 7 1", "conv か", "sound か", "stop"}},
      {"held, at a sentence's start", true, 7, true, {"pos 7 1", "play", "pos 7 1", "conv か", "sound か", "stop"}},
      {"held, at the end: the last sentence", true, 8, true, {"pos 7 1", "play", "pos 7 1", "conv か", "sound か", "stop"}},
      {"held, past the end", true, 9, false, {"play", "pos 0 3", "conv あい。", "sound い", "sound 。",
                                             "pos 3 4", "conv うえお。", "sound う", "sound え", "sound お", "sound 。",
                                             "pos 7 1", "conv か", "sound か", "stop"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Recorder rec;
    EchoConverter converter;
    clsReadUp reader(rec, rec, converter);
    EXPECT_FALSE(reader.SeekPosition(0));  // idle
    bool bMoved = false;
    rec.atSoundIndex = row.bHeld ? 2 : 1;
    rec.atSound = [&] {
      if (row.bHeld) {
        reader.PauseText();
      } else {
        bMoved = reader.SeekPosition(row.lPosition);
        rec.log.clear();
      }
    };
    reader.PlayText(u"あい。うえお。か");
    if (row.bHeld) {
      rec.log.clear();
      bMoved = reader.SeekPosition(row.lPosition);
      reader.PlayText(u"");
    }
    EXPECT_EQ(bMoved, row.bMoved);
    EXPECT_EQ(rec.log, row.expected);
  }
}

}  // namespace
}  // namespace ekoto
