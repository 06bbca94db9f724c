// The pieces of the speech-dispatcher module that work on values: SSML, the
// names of characters and keys, the audio escaping, the sample conversion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "speechd/CharNames.h"
#include "speechd/SsipChannel.h"
#include "speechd/SsmlText.h"
#include "speechd/UnitAudio.h"

namespace {

using ekoto::SpeechMark;

TEST(SpeechdParts, SsmlToTextAndMarks) {
  struct Row {
    std::string ssml;
    std::u16string text;
    std::vector<std::pair<size_t, std::string>> marks;
  };
  const Row rows[] = {
      {"<speak>今日は<mark name=\"m1\"/>晴れ。</speak>", u"今日は晴れ。", {{3, "m1"}}},
      {"<speak><mark name='a'/>x<mark name=\"b\" /></speak>", u"x", {{0, "a"}, {1, "b"}}},
      {"a&lt;b&gt;&amp;&quot;&apos;", u"a<b>&\"'", {}},
      {"&#x3042;&#12356;&#x1F600;", u"あい\U0001F600", {}},
      {"5 &unknown; &#0; &#xD800; & x", u"5 &unknown; &#0; &#xD800; & x", {}},
      {"text <unclosed mark", u"text ", {}},
      {"\xff\xfe\xe3\x81\x82", u"\uFFFD\uFFFDあ", {}},
      {"<speak><s>一</s><break time=\"1s\"/><s>二</s></speak>", u"一二", {}},
      {"<marker name=\"no\"/>x", u"x", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ssml);
    const ekoto::SpeechText parsed = ekoto::ParseSsml(row.ssml);
    EXPECT_EQ(parsed.sText, row.text);
    std::vector<std::pair<size_t, std::string>> marks;
    for (const SpeechMark& mark : parsed.marks) marks.emplace_back(mark.nOffset, mark.sName);
    EXPECT_EQ(marks, row.marks);
  }
}

TEST(SpeechdParts, CharAndKeyNames) {
  struct Row {
    bool bKey;
    std::u16string in;
    std::u16string out;
  };
  const Row rows[] = {
      {false, u"a", u"エー"},          {false, u"Z", u"ゼット"},       {false, u"Ｂ", u"ビー"},
      {false, u"7", u"なな"},          {false, u"、", u"てん"},        {false, u"。", u"まる"},
      {false, u"?", u"はてな"},        {false, u"？", u"はてな"},      {false, u" ", u"スペース"},
      {false, u"あ", u"あ"},           {false, u"漢", u"漢"},          {false, u"\U0001F600", u"\U0001F600"},
      {true, u"a", u"エー"},           {true, u"space", u"スペース"},  {true, u"shift_a", u"シフト エー"},
      {true, u"control_alt_delete", u"コントロール オルト デリート"}, {true, u"kp-5", u"テンキーご"},
      {true, u"f12", u"エフ12"},       {true, u"underscore", u"アンダーバー"}, {true, u"_", u"アンダーバー"},
      {true, u"unheard-of", u"unheard-of"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.bKey ? ekoto::KeyName(row.in) : ekoto::CharName(row.in), row.out);
  }
}

TEST(SpeechdParts, AudioEscapingInvertsBitFiveOfNewlineAndEscape) {
  const struct {
    std::string in, out;
  } rows[] = {
      {"", ""}, {"ab", "ab"}, {"\n", "\x7d\x2a"}, {"\x7d", "\x7d\x5d"}, {std::string("a\0\n\x7d", 4), std::string("a\0\x7d\x2a\x7d\x5d", 6)}};
  for (const auto& row : rows) EXPECT_EQ(ekoto::EscapeAudioBytes(row.in), row.out);
}

TEST(SpeechdParts, SamplesBecomeSixteenBitMono) {
  struct Row {
    std::vector<uint8_t> bytes;
    int bits, channels;
    std::vector<int16_t> pcm;
  };
  const Row rows[] = {
      {{0, 128, 255}, 8, 1, {-32768, 0, 32512}},
      {{0x00, 0x80, 0xff, 0x7f, 0x01, 0x00}, 16, 1, {-32768, 32767, 1}},
      {{0x00, 0x80, 0x33}, 16, 1, {-32768}},  // a partial last sample is left out
      {{0, 255, 128, 128}, 8, 2, {-128, 0}},  // channels are averaged
      {{1, 2, 3}, 24, 1, {}},
  };
  for (const Row& row : rows) EXPECT_EQ(ekoto::SampleToPcm16(row.bytes, row.bits, row.channels), row.pcm);
}

}  // namespace
