// The steps of the text road, each on a table: reading options, numerals,
// kanji-to-hiragana of a sentence, the whole chain with a template, and the
// cutting of hiragana into units.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/ConvNumeric2Hira.h"
#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "conversion/TextOptions.h"
#include "engine/SplitSyllables.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

struct StepCase {
  const char* input;
  const char* output;
};

template <class Step>
void ExpectStep(Step step, std::initializer_list<StepCase> rows) {
  for (const StepCase& row : rows) EXPECT_EQ(Utf16ToUtf8(step(Utf8ToUtf16(row.input))), row.output) << row.input;
}

std::u16string Units(const std::u16string& s) {
  std::u16string out;
  for (const std::u16string& unit : SplitSyllables(s)) out += (out.empty() ? u"" : u"|") + unit;
  return out;
}

TEST(TextStepsTest, UpperCase) {
  ExpectStep(ToUpperCaseText, {{"", ""}, {"abc xyz", "ABC XYZ"}, {"ａｂｃ", "ＡＢＣ"}, {"éσ", "ÉΣ"},
                               {"straße", "STRASSE"}, {"𐐨", "𐐀"}, {"今日はmeetingです、ｶﾀｶﾅ", "今日はMEETINGです、ｶﾀｶﾅ"}});
}

TEST(TextStepsTest, NarrowKeepsWhatTheAnalyserOnlyReadsFullWidth) {
  ExpectStep(NarrowText, {{"ＡＢＣａｂｃ１２３", "ABCabc123"}, {"！＃～", "!#~"}, {"全角　空白", "全角 空白"},
                          {"、。「」・", "､｡｢｣･"}, {"￥１００", "¥100"}, {"今日はＯＫ。", "今日はOK｡"},
                          {"カタカナガッパーヴ", "カタカナガッパーヴ"}, {"ｶﾞｯﾊﾟｰ", "ｶﾞｯﾊﾟｰ"}, {"゛゜ー", "゛゜ー"},
                          {"か\u3099漢字𠮷", "か\u3099漢字𠮷"}, {"→■○│ㄱ한", "→■○│ㄱ한"}});
}

TEST(TextStepsTest, NumeralsByValue) {
  ExpectStep([](const std::u16string& run) { return Numeric2Hira(run); },
             {{"1", "いち"}, {"4", "よん"}, {"7", "なな"}, {"9", "きゅう"}, {"10", "じゅう"}, {"11", "じゅういち"},
              {"1001", "せんいち"}, {"1234", "せんにひゃくさんじゅうよん"},
              // Sound changes of the hundreds and thousands, and those not made.
              {"100", "ひゃく"}, {"300", "さんびゃく"}, {"600", "ろっぴゃく"}, {"800", "はっぴゃく"},
              {"1000", "せん"}, {"3000", "さんぜん"}, {"6000", "ろくせん"}, {"8888", "はっせんはっぴゃくはちじゅうはち"},
              // Groups of four places; an empty group says no word.
              {"12345", "いちまんにせんさんびゃくよんじゅうご"}, {"10000000", "せんまん"},
              {"100000001", "いちおくいち"}, {"100010000", "いちおくいちまん"}, {"30000000000000000", "さんけい"},
              {"0", "れい"}, {"000", "れい"}, {"007", "なな"}, {"", ""}, {"1２3", "ひゃくにじゅうさん"}, {"０", "れい"}});
  // In text, numbers come out in katakana with their counter, which the analyser passes on whole.
  ExpectStep(ConvNumeric2Hira, {{"第3章", "第サンショー"}, {"3.14", "サンテンイチヨン"}, {"1,500", "センゴヒャク"},
                                {"0円", "ゼロエン"}, {"12月31日", "ジュウニガツサンジュウイチニチ"},
                                {"a1b22c333", "aイチbニジュウニcサンビャクサンジュウサン"},
                                {"価格は1２0円", "価格はヒャクニジュウエン"}, {"𠮷野家3号店", "𠮷野家サンゴー店"},
                                {"x²٣", "x²٣"}});
  EXPECT_EQ(Numeric2Hira(u"11" + std::u16string(68, u'0')), u"じゅういちむりょうたいすう");
  // Past 10^68 there is no group word; digits and places are still read.
  EXPECT_EQ(Numeric2Hira(u"2" + std::u16string(75, u'0')), u"にせん");
}

TEST(TextStepsTest, SyllableUnits) {
  ExpectStep(Units, {{"", ""}, {"きょう", "きょ|う"}, {"がっこう", "が|っ|こ|う"}, {"しゃ", "しゃ"},
                     // Small vowels, っ and ん never join; only one small ゃゅょ does; katakana don't.
                     {"ふぁん", "ふ|ぁ|ん"}, {"ゃあ", "ゃ|あ"}, {"きゃゅ", "きゃ|ゅ"}, {"キャ", "キ|ャ"},
                     // ー lengthens the vowel of the kana before it, voiced and small ones included.
                     {"とーきょー", "と|ぉ|きょ|ぉ"}, {"にー", "に|ぃ"}, {"ぎゅー", "ぎゅ|ぅ"}, {"んー", "ん|ぅ"},
                     {"げーむ", "げ|ぇ|む"}, {"でぃー", "で|ぃ|ぃ"}, {"ゔー", "ゔ|ぅ"},
                     // っ, katakana and ー itself are in no row.
                     {"っー", "っ|ー"}, {"カー", "カ|ー"}, {"かーー", "か|ぁ|ー"}, {"ーあ", "ー|あ"}});
}

// Reads a piece as "<piece>"; fails on the pieces it is told to, after scribbling
// into the reading.
class FakeConverter : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    calls.push_back(piece);
    if (piece.empty() || failing.count(piece) > 0) {
      reading += u"x";
      return false;
    }
    reading = u"<" + piece + u">";
    return true;
  }
  std::vector<std::u16string> calls;
  std::set<std::u16string> failing;
};

TEST(TextStepsTest, KanjiToHiraganaPiecesAndFailures) {
  FakeConverter converter;
  EXPECT_EQ(ConvKanji2Hiragana(u"", converter), u"");
  EXPECT_TRUE(converter.calls.empty());
  const std::u16string sLong(60, u'字');
  EXPECT_EQ(ConvKanji2Hiragana(u"今日は、晴れ。" + sLong + u"。", converter),
            u"<今日は、><晴れ。><" + sLong.substr(0, 50) + u"><" + sLong.substr(50) + u"。>");
  EXPECT_EQ(converter.calls,
            (std::vector<std::u16string>{u"今日は、", u"晴れ。", sLong.substr(0, 50), sLong.substr(50) + u"。", u""}));
  // A failing piece is left out, and what it wrote does not leak.
  converter.failing = {u"雨"};
  EXPECT_EQ(ConvKanji2Hiragana(u"晴れ、雨", converter), u"<晴れ、>");
  converter.failing = {u"晴れ、", u"雨"};
  EXPECT_EQ(ConvKanji2Hiragana(u"晴れ、雨", converter), u"");
}

TEST(TextStepsTest, ChainOrderAndOptions) {
  const auto path = std::filesystem::temp_directory_path() / "ekoto_chain_templete.txt";
  std::ofstream(path, std::ios::binary) << "Q\tx\nＲ\tｙ\n百\t100\r\n";
  LoadConvTemplete(Utf8ToUtf16(path.string()));
  const struct {
    ReadingOptions options;
    const char* input;
    const char* output;
  } rows[] = {
      {{}, "ｐａｇｅ　１２、ok。", "PAGE ジュウニ､OK｡"},
      {{.bAUpperCase = false}, "ｃ１", "cイチ"},
      {{.bANNarrow = false}, "ｃ１", "Ｃイチ"},
      {{.bNumeric = false}, "ｃ１", "C1"},
      {{false, false, false}, "ｃ１", "ｃ１"},
      // The template sees upper-cased narrow text; nothing reshapes its replacement;
      // its digits are read as numerals.
      {{}, "ｑ ｒ", "x R"},
      {{.bANNarrow = false}, "ｑ ｒ", "Ｑ ｙ"},
      {{}, "百円", "ヒャクエン"},
      {{false, false, false}, "百円", "100円"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Utf16ToUtf8(ApplyReadingOptions(Utf8ToUtf16(row.input), row.options)), row.output) << row.input;
  }
  std::ofstream(path, std::ios::binary) << "";
  LoadConvTemplete(Utf8ToUtf16(path.string()));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace ekoto
