#include <gtest/gtest.h>

#include <string>

#include "conversion/ConvNumeric2Hira.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

struct NumeralCase {
  std::string input;
  std::string reading;
};

void PrintTo(const NumeralCase& c, std::ostream* os) { *os << c.input << " → " << c.reading; }

std::string ReadRun(const std::string& run) { return Utf16ToUtf8(Numeric2Hira(Utf8ToUtf16(run))); }
std::string ReadText(const std::string& text) { return Utf16ToUtf8(ConvNumeric2Hira(Utf8ToUtf16(text))); }

class Numeric2HiraTest : public ::testing::TestWithParam<NumeralCase> {};

TEST_P(Numeric2HiraTest, ReadsRun) { EXPECT_EQ(ReadRun(GetParam().input), GetParam().reading) << GetParam().input; }

INSTANTIATE_TEST_SUITE_P(
    Places, Numeric2HiraTest,
    ::testing::Values(NumeralCase{"1", "いち"}, NumeralCase{"4", "よん"}, NumeralCase{"7", "なな"},
                      NumeralCase{"9", "きゅう"}, NumeralCase{"10", "じゅう"}, NumeralCase{"11", "じゅういち"},
                      NumeralCase{"20", "にじゅう"}, NumeralCase{"1001", "せんいち"},
                      NumeralCase{"1010", "せんじゅう"},
                      NumeralCase{"1234", "せんにひゃくさんじゅうよん"},
                      NumeralCase{"9999", "きゅうせんきゅうひゃくきゅうじゅうきゅう"}));

// Every sound change of the hundreds and thousands, and the ones that are not made.
INSTANTIATE_TEST_SUITE_P(
    SoundChanges, Numeric2HiraTest,
    ::testing::Values(NumeralCase{"100", "ひゃく"}, NumeralCase{"300", "さんびゃく"},
                      NumeralCase{"600", "ろっぴゃく"}, NumeralCase{"800", "はっぴゃく"},
                      NumeralCase{"1000", "せん"}, NumeralCase{"3000", "さんぜん"},
                      NumeralCase{"6000", "ろくせん"}, NumeralCase{"8000", "はっせん"},
                      NumeralCase{"3333", "さんぜんさんびゃくさんじゅうさん"},
                      NumeralCase{"6666", "ろくせんろっぴゃくろくじゅうろく"},
                      NumeralCase{"8888", "はっせんはっぴゃくはちじゅうはち"}));

INSTANTIATE_TEST_SUITE_P(
    Groups, Numeric2HiraTest,
    ::testing::Values(NumeralCase{"10000", "いちまん"},
                      NumeralCase{"12345", "いちまんにせんさんびゃくよんじゅうご"},
                      NumeralCase{"100000", "じゅうまん"}, NumeralCase{"10000000", "せんまん"},
                      NumeralCase{"20000000", "にせんまん"}, NumeralCase{"100000000", "いちおく"},
                      NumeralCase{"100010000", "いちおくいちまん"},
                      NumeralCase{"100000001", "いちおくいち"},
                      NumeralCase{"1000000000000", "いちちょう"},
                      NumeralCase{"30000000000000000", "さんけい"},
                      NumeralCase{"1" + std::string(68, '0'), "いちむりょうたいすう"},
                      NumeralCase{"11" + std::string(68, '0'), "じゅういちむりょうたいすう"},
                      // Past 10^68 there is no group word; digits and places are still read.
                      NumeralCase{"1" + std::string(72, '0'), "いち"},
                      NumeralCase{"2" + std::string(75, '0'), "にせん"},
                      NumeralCase{"1" + std::string(71, '0') + "1", "いちいち"},
                      NumeralCase{"5" + std::string(72, '0') + "1" + std::string(68, '0'), "ごじゅういちむりょうたいすう"}));

INSTANTIATE_TEST_SUITE_P(
    Zeros, Numeric2HiraTest,
    ::testing::Values(NumeralCase{"0", "れい"}, NumeralCase{"000", "れい"}, NumeralCase{"00000", "れい"},
                      NumeralCase{"007", "なな"}, NumeralCase{"0010", "じゅう"}, NumeralCase{"", ""}));

// Full-width digits count by their value, also mixed with ASCII ones.
INSTANTIATE_TEST_SUITE_P(
    FullWidth, Numeric2HiraTest,
    ::testing::Values(NumeralCase{"１２", "じゅうに"}, NumeralCase{"1２3", "ひゃくにじゅうさん"},
                      NumeralCase{"０", "れい"}, NumeralCase{"１００００", "いちまん"}));

class ConvNumeric2HiraTest : public ::testing::TestWithParam<NumeralCase> {};

TEST_P(ConvNumeric2HiraTest, ReplacesEveryRun) {
  EXPECT_EQ(ReadText(GetParam().input), GetParam().reading) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvNumeric2HiraTest,
    ::testing::Values(NumeralCase{"第3章", "第サンショー"}, NumeralCase{"3.14", "サンテンイチヨン"},
                      NumeralCase{"1,500", "センゴヒャク"}, NumeralCase{"0円", "ゼロエン"},
                      NumeralCase{"12月31日", "ジュウニガツサンジュウイチニチ"},
                      NumeralCase{"a1b22c333", "aイチbニジュウニcサンビャクサンジュウサン"},
                      NumeralCase{"１０円", "ジュウエン"}, NumeralCase{"価格は1２0円", "価格はヒャクニジュウエン"},
                      NumeralCase{"𠮷野家3号店", "𠮷野家サンゴー店"}, NumeralCase{"数字なし。", "数字なし。"},
                      NumeralCase{"", ""},
                      // Only ASCII and full-width digits make runs.
                      NumeralCase{"x²٣", "x²٣"}));

}  // namespace
}  // namespace ekoto
