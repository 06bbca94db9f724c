// The pieces of the speech-dispatcher module that work on values (SSML, the
// names of characters and keys, the audio escaping, the sample conversion, the
// steps of its state), the time-stretching behind its rate and pitch, and the
// window's 抑揚 setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "PaTestFiles.h"
#include "audio/TimeStretch.h"
#include "speechd/CharNames.h"
#include "speechd/ModuleState.h"
#include "speechd/SsipChannel.h"
#include "speechd/SsmlText.h"
#include "speechd/UserSetup.h"

namespace {

TEST(SpeechdParts, SsmlToTextAndMarks) {
  struct Row { std::string ssml; std::u16string text; std::vector<std::pair<size_t, std::string>> marks; };
  const Row rows[] = {
      {"<speak><mark name='a'/>今日は<mark name=\"b\" /></speak>", u"今日は", {{0, "a"}, {3, "b"}}},
      {"a&lt;b&gt;&amp;&quot;&apos;&#x3042;&#12356;&#x1F600;", u"a<b>&\"'あい\U0001F600", {}},
      {"5 &unknown; &#0; &#xD800; & x", u"5 &unknown; &#0; &#xD800; & x", {}},
      {"text <unclosed mark", u"text ", {}},
      {"\xff\xfe\xe3\x81\x82", u"\uFFFD\uFFFDあ", {}},
      {"<s>一</s><break time=\"1s\"/><marker name=\"no\"/><s>二</s>", u"一。二", {}},
      {"<p>あ</p><p>い</p>", u"あ。い", {}}, {"<p>あ！</p>\n<p>い</p><break/>", u"あ！\nい", {}},
      {"a<!-- x > y -->b<![CDATA[<c>]]>", u"ab<c>", {}}, {"<?xml version=\"1.0\"?><speak>あ</speak>", u"あ", {}},
      {"<mark name=\"a>b\"/>c<mark/><mark name=\"x&amp;y\"/>", u"c", {{0, "a>b"}, {1, "x&y"}}},
      {"&#x0x41;&#+65;&#65;", u"&#x0x41;&#+65;&#65;", {}},  // no XML: every reference stays as written
      {"<speak>a & b</speak>", u"a  b", {}},                 // broken: what libxml2 recovers
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ssml);
    const ekoto::SpeechText parsed = ekoto::ParseSsml(row.ssml);
    EXPECT_EQ(parsed.sText, row.text);
    std::vector<std::pair<size_t, std::string>> marks;
    for (const ekoto::SpeechMark& mark : parsed.marks) marks.emplace_back(mark.nOffset, mark.sName);
    EXPECT_EQ(marks, row.marks);
  }
}

// Rows name (state, input) and the step: next state, events sent, what the reader is told.
TEST(SpeechdParts, StateStepsAndTheirEvents) {
  using S = ekoto::ModuleState;
  using I = ekoto::ModuleInput;
  using A = ekoto::ReaderAction;
  struct Row { S state; I input; S next; std::string_view events; A action = A::kNone; };
  for (const Row& row : std::initializer_list<Row>{
           {S::kIdle, I::kBegin, S::kSpeaking, "701 BEGIN\n"}, {S::kHeld, I::kBegin, S::kSpeaking, "701 BEGIN\n"},
           {S::kStopping, I::kBegin, S::kStopping, ""}, {S::kHolding, I::kMessage, S::kStopping, "", A::kStop},
           {S::kHeld, I::kMessage, S::kHeld, ""}, {S::kPausing, I::kStop, S::kStopping, "", A::kStop},
           {S::kHeld, I::kStop, S::kIdle, "", A::kStop}, {S::kIdle, I::kStop, S::kIdle, ""},
           {S::kSpeaking, I::kPause, S::kPausing, ""}, {S::kStopping, I::kPause, S::kStopping, ""},
           {S::kSpeaking, I::kPausePlace, S::kSpeaking, ""}, {S::kPausing, I::kPausePlace, S::kHolding, "", A::kPause},
           {S::kPausing, I::kReadingDone, S::kIdle, "702 END\n"}, {S::kStopping, I::kReadingDone, S::kIdle, "703 STOP\n"},
           {S::kHolding, I::kReadingDone, S::kHeld, ekoto::kHeldPlaceEvents}, {S::kEnded, I::kReadingDone, S::kEnded, ""},
           {S::kPausing, I::kEnd, S::kEnded, "", A::kStop}, {S::kHeld, I::kEnd, S::kEnded, ""}}) {
    const ekoto::ModuleStep step = ekoto::NextStep(row.state, row.input);
    EXPECT_EQ(std::tuple(step.next, step.events, step.action), std::tuple(row.next, row.events, row.action))
        << int(row.state) << " " << int(row.input);
  }
}

TEST(SpeechdParts, CharAndKeyNames) {
  const std::pair<std::u16string, std::u16string> chars[] = {
      {u"a", u"エー"}, {u"Ｂ", u"ビー"}, {u"7", u"なな"}, {u"、", u"てん"}, {u"。", u"まる"}, {u"?", u"はてな"},
      {u"？", u"はてな"}, {u" ", u"スペース"}, {u"あ", u"あ"}, {u"漢", u"漢"}, {u"\U0001F600", u"\U0001F600"}};
  for (const auto& [in, out] : chars) EXPECT_EQ(ekoto::CharName(in), out);
  const std::pair<std::u16string, std::u16string> keys[] = {
      {u"space", u"スペース"}, {u"shift_a", u"シフト エー"}, {u"control_alt_delete", u"コントロール オルト デリート"},
      {u"kp-5", u"テンキーご"}, {u"f12", u"エフ12"}, {u"underscore", u"アンダーバー"}, {u"_", u"アンダーバー"},
      {u"shift__", u"シフト アンダーバー"},
      {u"unheard-of", u"unheard-of"}};
  for (const auto& [in, out] : keys) EXPECT_EQ(ekoto::KeyName(in), out);
}

TEST(SpeechdParts, AudioEscapingInvertsBitFiveOfNewlineAndEscape) {
  EXPECT_EQ(ekoto::EscapeAudioBytes(std::string("a\0\n\x7d", 4)), std::string("a\0\x7d\x2a\x7d\x5d", 6));
}

constexpr int kRate = 22050;

// Rising zero crossings per second over the middle half (the ends ramp in and out).
double Frequency(const std::vector<int16_t>& pcm) {
  const size_t from = pcm.size() / 4, to = pcm.size() * 3 / 4;
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) crossings += pcm[i - 1] < 0 && pcm[i] >= 0;
  return crossings * double(kRate) / double(to - from);
}

TEST(TimeStretch, LengthFollowsTempoAndPitchMovesBySemitonesOnly) {
  std::vector<int16_t> tone(kRate);  // a second of 440 Hz
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440 * i / kRate));
  struct Row { double tempo, semitones, hz; };
  for (const Row& row : {Row{0.5, 0, 440}, Row{1.5, 0, 440}, Row{3.0, 0, 440}, Row{1.0, 12, 880}, Row{1.0, -12, 220},
                         Row{2.0, 4, 554.4}}) {
    SCOPED_TRACE(::testing::Message() << "tempo " << row.tempo << ", semitones " << row.semitones);
    const std::vector<int16_t> out = ekoto::ChangeTempoAndPitch(tone, kRate, row.tempo, row.semitones);
    EXPECT_NEAR(double(out.size()), tone.size() / row.tempo, tone.size() * 0.05);
    EXPECT_NEAR(Frequency(out), row.hz, row.hz * 0.03);
  }
  // Where nothing can be stretched the input comes back as it is.
  const std::vector<int16_t> part(tone.begin(), tone.begin() + kRate / 10);
  struct Unchanged { std::vector<int16_t> pcm; int rate; double tempo; };
  for (const Unchanged& row : {Unchanged{part, kRate, 1.0}, Unchanged{part, kRate, 0.0}, Unchanged{part, kRate, NAN},
                               Unchanged{part, 0, 2.0}, Unchanged{{}, kRate, 2.0}})
    EXPECT_EQ(ekoto::TimeStretch(row.pcm, row.rate, row.tempo), row.pcm);
}

TEST(SpeechdParts, IntonationFollowsTheWindowsEkotoIni) {
  // ini "": no ekoto.ini beside options.dat.
  const struct { std::string ini; bool bIntonation; } rows[] = {
      {"", true},
      {"[General]\nTempo=1.5\nIntonation=false\n", false},
      {"[General]\r\nIntonation=false\r\n", false},
      {"[General]\nIntonation=true\n", true},
      {"[Resume]\nIntonation=false\n", true},  // another group's key
  };
  for (const auto& row : rows) {
    ekoto::testing::ScratchDir dir;
    if (!row.ini.empty()) ekoto::testing::WriteString(dir.Path("ekoto.ini"), row.ini);
    EXPECT_EQ(ekoto::LoadUserSetup(dir.Path16(""), dir.Path16("options.dat")).bIntonation, row.bIntonation) << row.ini;
  }
}

// A voice file whose name holds a tab or a newline would break the voice list's lines.
TEST(SpeechdParts, VoiceNamesKeepTheVoiceListsLinesWhole) {
  ekoto::testing::ScratchDir dir;
  for (const char* name : {"50on.pa", "x\ty\nz.pa"}) ekoto::testing::WriteString(dir.Path(name), "");
  std::vector<std::string> names;
  for (const auto& voice : ekoto::LoadUserSetup(dir.Path16(""), dir.Path16("options.dat")).voices) {
    names.push_back(voice.sName);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"50on", "x_y_z"}));
}

}  // namespace
