// Numbers read with their counters, digit groups, decimals, codes, dates and
// times; the sentence splitter keeping such numbers whole; and the list of
// everyday expressions in data/number_readings.tsv read through MeCab.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "RunTool.h"
#include "conversion/ConvNumeric2Hira.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/ReadingOfText.h"
#include "conversion/ReadingScore.h"
#include "conversion/SplitText.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

TEST(NumberReadingTest, DigitsWithWhatFollows) {
  const std::vector<std::pair<std::u16string, std::u16string>> cases = {
      {u"8歳", u"ハッサイ"},                 {u"20歳で", u"ハタチで"},
      {u"1人と2人", u"ヒトリとフタリ"},      {u"4人", u"ヨニン"},
      {u"3本", u"サンボン"},                 {u"6本", u"ロッポン"},
      {u"4分", u"ヨンプン"},                 {u"10分", u"ジュップン"},
      {u"4時", u"ヨジ"},                     {u"9月", u"クガツ"},
      {u"12月1日", u"ジュウニガツツイタチ"}, {u"1日", u"イチニチ"},
      {u"24日", u"ニジュウヨッカ"},          {u"3日間", u"ミッカカン"},
      {u"第3日曜", u"第サン日曜"},           {u"2つ", u"フタツ"},
      {u"1か月", u"イッカゲツ"},             {u"100%", u"ヒャッパーセント"},
      {u"5gb", u"ゴgb"},                     {u"3軒", u"サンゲン"},
      {u"1万2千人", u"イチマンニセンニン"},  {u"20億円", u"ニジュウオクエン"},
      {u"1兆", u"イッチョー"},               {u"1,500円", u"センゴヒャクエン"},
      {u"１，５００", u"センゴヒャク"},      {u"1234,567", u"センニヒャクサンジュウヨン,ゴヒャクロクジュウナナ"},
      {u"3.14", u"サンテンイチヨン"},        {u"0.5%", u"レイテンゴパーセント"},
      {u"1.5万", u"イッテンゴマン"},         {u"０", u"ゼロ"},
      {u"007", u"ゼロゼロナナ"},             {u"090-1234-5678", u"ゼロキュウゼロ-イチニサンヨン-ゴロクナナハチ"},
      {u"123-4567", u"イチニサン-ヨンゴロクナナ"}, {u"1-2-3", u"イチノニノサン"},
      {u"3-1", u"サンタイイチ"},             {u"2024/12/6", u"ニセンニジュウヨネンジュウニガツムイカ"},
      {u"2024-01-05", u"ニセンニジュウヨネンイチガツイツカ"}, {u"13/40", u"ジュウサン/ヨンジュウ"},
      {u"10:30", u"ジュウジサンジュップン"}, {u"0:00", u"レイジ"},
      {u"10～20人", u"ジュウカラニジュウニン"}, {u"$5", u"ゴドル"},
      {u"a1b", u"aイチb"},                   {u"数字なし。", u"数字なし。"},
      // Only what reads as one number is joined; the rest is left as it stands.
      {u"1億2万3", u"イチオクニマンサン"},   {u"1万1万", u"イチマンイチ万"},
      {u"12345万", u"イチマンニセンサンビャクヨンジュウゴ万"}, {u"10:75", u"ジュウ:ナナジュウゴ"},
      {u"2024/13/1", u"ニセンニジュウヨン/ジュウサン/イチ"}, {u"1:2:3", u"イチ:ニ:サン"},
      // Full-width forms as they arrive with the narrowing option off.
      {u"０９０－１２３４－５６７８", u"ゼロキュウゼロ－イチニサンヨン－ゴロクナナハチ"},
      {u"１０：３０", u"ジュウジサンジュップン"}, {u"￥1,000", u"センエン"},
      {u"2千500円", u"ニセンゴヒャクエン"},   {u"1.05倍", u"イッテンゼロゴバイ"},
      {u"17日", u"ジュウシチニチ"},          {u"6ページ", u"ロッページ"},
      // Decimals after digit groups, digits before 百, signs, enclosed numbers, runs past the largest unit.
      {u"1,234.5円", u"センニヒャクサンジュウヨンテンゴエン"}, {u"$1,299.99", u"センニヒャクキュウジュウキュウテンキュウキュウドル"},
      {u"1,000.5万円", u"センテンゴマンエン"}, {u"3百", u"サンビャク"},
      {u"6百人", u"ロッピャクニン"},         {u"2千5百万", u"ニセンゴヒャクマン"},
      {u"-5度", u"マイナスゴド"},            {u"気温は−5度", u"気温はマイナスゴド"},
      {u"（ー3）", u"（マイナスサン）"},     {u"A-5", u"A-ゴ"},
      {u"ター5", u"ターゴ"},                 {u"①番と⑴", u"イチバンとイチ"},
      {u"㉑", u"ニジュウイチ"},
      {u"1111111111111111111111111111111111111111111111111111111111111111111111111", u"イチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチイチ"},
  };
  for (const auto& [text, said] : cases) {
    EXPECT_EQ(Utf16ToUtf8(ConvNumeric2Hira(text)), Utf16ToUtf8(said)) << Utf16ToUtf8(text);
  }
}

TEST(NumberReadingTest, SplitterKeepsNumbersWhole) {
  const std::vector<std::pair<std::u16string, std::vector<std::u16string>>> cases = {
      {u"1,500円。3.14です", {u"1,500円。", u"3.14です"}},
      {u"１，０００．５。", {u"１，０００．５。", u""}},
      {u"1,2,3.", {u"1,", u"2,", u"3.", u""}},
      {u"1234,567", {u"1234,", u"567"}},
      {u"3.と.5", {u"3.", u"と.", u"5"}},
  };
  for (const auto& [text, pieces] : cases) EXPECT_EQ(SplitByChars(text, kSentenceMarks), pieces);
}

// Every fourth expression of the list, and the readings around numbers that
// MeCab is corrected in; the tool ekoto-score reads the whole list.
TEST(NumberReadingTest, EverydayExpressionsThroughMecab) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"何の話", "なんのはなし"}, {"何人", "なんにん"},   {"言う", "ゆう"},
      {"言うと", "ゆうと"},       {"言った", "いった"}, {"言います", "いいます"},
      {"あいうえお", "あいうえお"},
      // 何 as one word with its counter and as two words; kanji numerals share the counters.
      {"何時", "なんじ"},         {"何本", "なんぼん"}, {"何階", "なんがい"},   {"何分", "なんぷん"},
      {"七時", "しちじ"},         {"九月", "くがつ"},   {"三階", "さんがい"},   {"四分", "よんぷん"},
  };
  std::ifstream in(EKOTO_TEST_DATA_DIR "/number_readings.tsv");
  ASSERT_TRUE(in);
  std::string line;
  for (int n = 0; std::getline(in, line);) {
    const size_t tab1 = line.find('\t');
    const size_t tab2 = line.find('\t', tab1 + 1);
    if (line[0] == '#' || line.starts_with("id\t") || n++ % 4 != 0) continue;
    cases.emplace_back(line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1));
  }
  ASSERT_GT(cases.size(), 80u);
  MecabReverseConverter converter;
  for (const auto& [text, said] : cases) {
    const std::u16string reading = ReadingOfText(Utf8ToUtf16(text), {}, converter);
    EXPECT_EQ(Utf16ToUtf8(StripPunctuation(reading)), said) << text;
  }
}

// ekoto-score skips comment lines and the header, and counts what is read exactly.
TEST(NumberReadingTest, ScoreToolReadsTheList) {
  const std::string path = ::testing::TempDir() + "ekoto_number_list.tsv";
  std::ofstream(path) << "# written for this test\nid\ttext\treading\na\t3人\tさんにん\nb\t8歳\tやさい\n";
  const testing::ToolResult result = testing::RunTool("ekoto-score", path);
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("sentences            2\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("exact sentences      50.0 %"), std::string::npos) << result.output;
  std::remove(path.c_str());
}

// With the numeral option off, digits reach the analyser as they are written.
TEST(NumberReadingTest, OptionOffLeavesDigits) {
  MecabReverseConverter converter;
  EXPECT_EQ(Utf16ToUtf8(ReadingOfText(u"1,500円と3.14", {.bNumeric = false}, converter)), "1,500えんと3.14");
}

}  // namespace
}  // namespace ekoto
