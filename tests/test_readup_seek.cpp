// Moving a reading to the next or previous sentence, and holding a place at a
// sentence's start, on the reader alone.
#include <gtest/gtest.h>

#include <functional>

#include "engine/clsReadUp.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Reads every piece as itself; keeps the units heard and runs one action after unit nAt.
class Ear : public IReadUpEvents, public IEventYield, public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override { return reading = piece, true; }
  void OnPlay() override {}
  void OnPlayPos(int32_t lSeek, int32_t lLength) override { pos = std::to_string(lSeek) + "+" + std::to_string(lLength); }
  void OnPlaySound(std::u16string s) override { heard += (heard.empty() ? "" : " ") + Utf16ToUtf8(s), ++nUnits; }
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string&) override {}
  void DoEvents() override {
    if (action && nUnits == nAt) std::exchange(action, nullptr)();
  }
  std::string heard, pos;
  int nUnits = 0, nAt = 0;
  std::function<void()> action;
};

// Sentences: 0 "あい。" (0+3), 1 "うえ。" (3+3), 2 "お" (6+1).
constexpr char16_t kText[] = u"あい。うえ。お";

struct SeekCase {
  int nAt;             // the unit after which the moves are made
  bool bPauseFirst;    // pause there and make the moves while paused
  std::vector<int> moves;
  std::vector<bool> accepted;
  const char* heard;   // everything heard, the resume included
};

TEST(SeekTest, MovesTheReadingOrThePausedPlaceBySentences) {
  const SeekCase cases[] = {
      {1, false, {1}, {true}, "あ う え 。 お"},
      {4, false, {-1}, {true}, "あ い 。 う あ い 。 う え 。 お"},
      {7, false, {1}, {false}, "あ い 。 う え 。 お"},  // at the ends nothing moves
      {1, false, {-1}, {false}, "あ い 。 う え 。 お"},
      {1, false, {1, 1, 1}, {true, true, false}, "あ お"},  // moves before the unit ends add up
      {2, true, {1}, {true}, "あ い う え 。 お"},
      {4, true, {-1}, {true}, "あ い 。 う あ い 。 う え 。 お"},  // back to the start is still held
      {7, true, {1}, {false}, "あ い 。 う え 。 お お"},
  };
  for (const SeekCase& c : cases) {
    Ear ear;
    clsReadUp reader(ear, ear, ear);
    std::vector<bool> accepted;
    auto move = [&] {
      for (int nDelta : c.moves) accepted.push_back(reader.SeekSentence(nDelta));
    };
    ear.nAt = c.nAt;
    ear.action = c.bPauseFirst ? std::function<void()>([&] { reader.PauseText(); }) : move;
    reader.PlayText(kText);
    if (c.bPauseFirst) {
      move();
      reader.PlayText(u"ignored: the held place is resumed");
    }
    EXPECT_EQ(accepted, c.accepted) << c.heard;
    EXPECT_EQ(ear.heard, c.heard);
    EXPECT_FALSE(reader.SeekSentence(1)) << "an idle reader has nothing to move";
  }
}

TEST(SeekTest, HoldAtResumesFromThatSentenceWithItsHighlight) {
  Ear ear;
  clsReadUp reader(ear, ear, ear);
  EXPECT_FALSE(reader.HoldAt(kText, 3));
  ASSERT_TRUE(reader.HoldAt(kText, 1));
  EXPECT_EQ(ear.pos, "3+3");
  reader.PlayText(u"other");
  EXPECT_EQ(ear.heard, "う え 。 お");
}

}  // namespace
}  // namespace ekoto
