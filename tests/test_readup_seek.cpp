// Moving a reading to the next or previous sentence, and holding a position
// at a sentence's start, on the reader alone.
#include <gtest/gtest.h>

#include <functional>

#include "engine/clsReadUp.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

class SameReading : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    reading = piece;
    return true;
  }
};

// Keeps the units heard (space-separated) and the highlights; runs one action at a unit.
class Ear : public IReadUpEvents, public IEventYield {
 public:
  void OnPlay() override {}
  void OnPlayPos(int32_t lSeek, int32_t lLength) override {
    highlights += std::to_string(lSeek) + "+" + std::to_string(lLength) + " ";
  }
  void OnPlaySound(std::u16string s) override {
    heard += (heard.empty() ? "" : " ") + Utf16ToUtf8(s);
    ++nUnits;
  }
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string&) override {}
  void DoEvents() override {
    if (action && nUnits == nAtUnit) std::exchange(action, nullptr)();
  }
  std::string heard;
  std::string highlights;
  int nUnits = 0;
  int nAtUnit = 0;
  std::function<void()> action;
};

// Sentences: 0 "あい。" (0+3), 1 "うえ。" (3+3), 2 "お" (6+1).
constexpr char16_t kText[] = u"あい。うえ。お";

struct SeekCase {
  const char* name;
  int nAtUnit;             // the unit after which the moves are made
  bool bPauseFirst;        // pause there and make the moves while paused
  std::vector<int> moves;  // SeekSentence deltas, in order
  std::vector<bool> accepted;
  const char* heard;       // everything heard, the resume included
};

const SeekCase kSeekCases[] = {
    {"next while reading", 1, false, {1}, {true}, "あ う え 。 お"},
    {"previous from the second sentence", 4, false, {-1}, {true}, "あ い 。 う あ い 。 う え 。 お"},
    {"next at the last sentence does nothing", 7, false, {1}, {false}, "あ い 。 う え 。 お"},
    {"previous at the first sentence does nothing", 1, false, {-1}, {false}, "あ い 。 う え 。 お"},
    {"two moves before the unit ends add up", 1, false, {1, 1, 1}, {true, true, false}, "あ お"},
    {"next while paused", 2, true, {1}, {true}, "あ い う え 。 お"},
    {"back to the first sentence while paused stays held", 4, true, {-1}, {true}, "あ い 。 う あ い 。 う え 。 お"},
    {"past the end while paused does nothing", 7, true, {1}, {false}, "あ い 。 う え 。 お お"},
};

class SeekTest : public ::testing::TestWithParam<SeekCase> {};

TEST_P(SeekTest, MovesTheReading) {
  const SeekCase& c = GetParam();
  Ear ear;
  SameReading converter;
  clsReadUp reader(ear, ear, converter);
  std::vector<bool> accepted;
  auto move = [&] {
    for (int nDelta : c.moves) accepted.push_back(reader.SeekSentence(nDelta));
  };
  ear.nAtUnit = c.nAtUnit;
  ear.action = c.bPauseFirst ? std::function<void()>([&] { reader.PauseText(); }) : move;
  reader.PlayText(kText);
  if (c.bPauseFirst) {
    move();
    reader.PlayText(u"ignored: the held position is resumed");
  }
  EXPECT_EQ(accepted, c.accepted);
  EXPECT_EQ(ear.heard, c.heard);
  EXPECT_FALSE(reader.HoldsPosition());
}

INSTANTIATE_TEST_SUITE_P(Cases, SeekTest, ::testing::ValuesIn(kSeekCases),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(SeekTest, IdleReaderHasNothingToMove) {
  Ear ear;
  SameReading converter;
  clsReadUp reader(ear, ear, converter);
  EXPECT_FALSE(reader.SeekSentence(1));
  reader.PlayText(kText);
  EXPECT_FALSE(reader.SeekSentence(-1));
}

TEST(SeekTest, HoldAtResumesFromThatSentenceWithItsHighlight) {
  Ear ear;
  SameReading converter;
  clsReadUp reader(ear, ear, converter);
  EXPECT_FALSE(reader.HoldAt(kText, 3));
  EXPECT_FALSE(reader.HoldsPosition());
  ASSERT_TRUE(reader.HoldAt(kText, 1));
  EXPECT_EQ(ear.highlights, "3+3 ");
  reader.PlayText(u"other");
  EXPECT_EQ(ear.heard, "う え 。 お");
}

}  // namespace
}  // namespace ekoto
