// The pronunciation rules on hand-made words in the IPA dictionary's layout, and
// KAKASI as the reader of words the dictionary lacks.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "conversion/KakasiReader.h"
#include "conversion/PronunciationRules.h"

namespace ekoto {
namespace {

TEST(PronunciationRulesTest, MergedPronunciationKeepsWrittenVowelsAndDzu) {
  struct Case {
    std::u16string reading, pronunciation, expected;
  };
  const std::vector<Case> cases = {
      {u"トウキョウ", u"トーキョー", u"トーキョー"},  // o-row + ウ is said long
      {u"シュウカン", u"シューカン", u"シュウカン"},  // ゅう stays written
      {u"クウキ", u"クーキ", u"クウキ"},            // so does any u-row + ウ
      {u"オオキイ", u"オーキイ", u"オオキイ"},      // a repeated vowel stays
      {u"ツヅク", u"ツズク", u"ツヅク"},            // づ and ぢ stay as written
      {u"ハ", u"ワ", u"ワ"},                        // particles as said
      {u"トイウ", u"トユウ", u"トユウ"},
      {u"ヴァイオリン", u"バイオリン", u"バイオリン"},  // lengths differ: as said
      {u"センセイ", u"センセイ", u"センセイ"},
  };
  for (const Case& c : cases) {
    std::u16string out = u"前";
    AppendMergedPronunciation(c.reading, c.pronunciation, out);
    EXPECT_EQ(out, u"前" + c.expected);
  }
}

TEST(PronunciationRulesTest, LengthenEi) {
  struct Case {
    std::u16string kana, expected;
  };
  const std::vector<Case> cases = {
      {u"ケイエイ", u"ケーエー"}, {u"メイメイ", u"メーメー"}, {u"イエイエ", u"イエイエ"},  // a doubled word has a seam
      {u"カイギ", u"カイギ"},     {u"エイ", u"エー"},
  };
  for (const Case& c : cases) {
    std::u16string kana = u"テイ" + c.kana;
    LengthenEi(kana, 2);  // what came before the word is left alone
    EXPECT_EQ(kana, u"テイ" + c.expected);
  }
}

TEST(PronunciationRulesTest, KanjiNumeralDigits) {
  struct Case {
    std::u16string numeral, digits;
  };
  const std::vector<Case> cases = {
      {u"二万三千", u"23000"}, {u"千百十一", u"1111"},  {u"万", u"10000"},      {u"三億五千万", u"350000000"},
      {u"五兆", u"5000000000000"}, {u"二〇二四", u"2024"}, {u"二〇万", u"200000"}, {u"〇", u"0"},
      {u"万万", u""},         {u"万億", u""},          {u"東", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(KanjiNumeralDigits(c.numeral), c.digits);
}

TEST(PronunciationRulesTest, ReadKanjiNumeral) {
  struct Case {
    std::u16string numeral, said;
  };
  const std::vector<Case> cases = {
      {u"八百", u"はっぴゃく"}, {u"何千", u"なんぜん"}, {u"何百万", u"なんびゃくまん"}, {u"数十", u"すうじゅう"},
      {u"百兆", u"ひゃくちょー"},  // ょう said long, as elsewhere
      {u"何", u""},             {u"何三", u""},       {u"雨", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadKanjiNumeral(c.numeral), c.said) << c.said.size();
}

TEST(PronunciationRulesTest, JoinNumberAndCounter) {
  struct Case {
    std::u16string number, counter, saidNumber, saidCounter;
  };
  const std::vector<Case> cases = {
      {u"いち", u"ホン", u"いっ", u"ポン"},     {u"さん", u"ホン", u"さん", u"ボン"},
      {u"なん", u"ハイ", u"なん", u"バイ"},     {u"に", u"ホン", u"に", u"ホン"},
      {u"ろく", u"サツ", u"ろく", u"サツ"},     {u"はち", u"サツ", u"はっ", u"サツ"},
      {u"じゅう", u"ホン", u"じゅっ", u"ポン"}, {u"にじゅういち", u"トウ", u"にじゅういっ", u"トウ"},
      {u"に", u"ニン", u"ふたり", u""},         {u"じゅうに", u"ニン", u"じゅうに", u"ニン"},
      {u"よん", u"ジ", u"よ", u"ジ"},           {u"にじゅう", u"ニチ", u"はつか", u""},
      {u"じゅういち", u"ニチ", u"じゅういち", u"ニチ"},
      {u"よん", u"フン", u"よん", u"プン"},     {u"なな", u"ジ", u"しち", u"ジ"},
      {u"きゅう", u"ガツ", u"く", u"ガツ"},     {u"にじゅう", u"サイ", u"はたち", u""},
      {u"いち", u"パーセント", u"いっ", u"パーセント"},
  };
  for (const Case& c : cases) {
    std::u16string number = c.number, counter = c.counter;
    JoinNumberAndCounter(number, counter);
    EXPECT_EQ(number, c.saidNumber);
    EXPECT_EQ(counter, c.saidCounter);
  }
}

// Builds words as MeCab with the IPA dictionary would give them.
Morpheme Word(std::u16string_view surface, std::u16string_view pos, std::u16string_view sub1,
              std::u16string_view reading, std::u16string_view pronunciation, std::u16string_view sub2 = u"*") {
  return {.surface = surface,
          .partOfSpeech = pos,
          .subclass1 = sub1,
          .subclass2 = sub2,
          .reading = reading,
          .pronunciation = pronunciation};
}

class FakeReader final : public IUnknownWordReader {
 public:
  bool Read(std::u16string_view word, std::u16string& hiragana) override {
    const auto it = m_readings.find(std::u16string(word));
    if (it == m_readings.end()) return false;
    hiragana = it->second;
    return true;
  }
  std::map<std::u16string, std::u16string> m_readings = {{u"鵺", u"ぬえ"}};
};

TEST(PronunciationRulesTest, Sentences) {
  const Morpheme ha = Word(u"は", u"助詞", u"係助詞", u"ハ", u"ワ");
  const Morpheme u = Word(u"う", u"助動詞", u"*", u"ウ", u"ウ");
  const Morpheme en = Word(u"円", u"名詞", u"接尾", u"エン", u"エン", u"助数詞");
  const Morpheme hon = Word(u"本", u"名詞", u"接尾", u"ホン", u"ホン", u"助数詞");
  const Morpheme nin = Word(u"人", u"名詞", u"接尾", u"ニン", u"ニン", u"助数詞");
  const Morpheme meter = Word(u"メートル", u"名詞", u"接尾", u"メートル", u"メートル", u"助数詞");
  const Morpheme no = Word(u"の", u"助詞", u"連体化", u"ノ", u"ノ");
  const Morpheme ni = Word(u"に", u"助詞", u"格助詞", u"ニ", u"ニ");
  const Morpheme nani = Word(u"何", u"名詞", u"代名詞", u"ナニ", u"ナニ");
  auto number = [](std::u16string_view kanji, std::u16string_view kana) {
    return Word(kanji, u"名詞", u"数", kana, kana);
  };
  struct Case {
    std::vector<Morpheme> words;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {{Word(u"私", u"名詞", u"代名詞", u"ワタシ", u"ワタシ"), ha}, u"わたしわ"},
      {{Word(u"学校", u"名詞", u"一般", u"ガッコウ", u"ガッコー"), Word(u"へ", u"助詞", u"格助詞", u"ヘ", u"エ")},
       u"がっこーえ"},
      {{Word(u"経済", u"名詞", u"一般", u"ケイザイ", u"ケイザイ")}, u"けーざい"},  // Sino-Japanese えい
      {{Word(u"見て", u"動詞", u"自立", u"ミテ", u"ミテ"), Word(u"いる", u"動詞", u"非自立", u"イル", u"イル")},
       u"みている"},  // not across words
      {{Word(u"食べよ", u"動詞", u"自立", u"タベヨ", u"タベヨ"), u}, u"たべよー"},
      {{Word(u"ヴァイオリン", u"名詞", u"一般", u"ヴァイオリン", u"バイオリン")}, u"ゔぁいおりん"},
      {{Word(u"ボウリング", u"名詞", u"一般", u"", u"")}, u"ぼーりんぐ"},  // unknown loanword
      {{number(u"八", u"ハチ"), number(u"百", u"ヒャク"), en}, u"はっぴゃくえん"},
      {{number(u"二", u"ニ"), number(u"万", u"マン"), number(u"三", u"サン"), number(u"千", u"セン"), en},
       u"にまんさんぜんえん"},
      {{number(u"一", u"イチ"), hon}, u"いっぽん"},
      {{number(u"二", u"ニ"), nin, ha}, u"ふたりわ"},
      {{number(u"一", u"イチ"), meter}, u"いちめーとる"},  // loanword counters keep their sound
      {{Word(u"数", u"名詞", u"一般", u"カズ", u"カズ"), number(u"百", u"ヒャク")}, u"すうひゃく"},
      {{Word(u"鵺", u"名詞", u"一般", u"", u""), ha}, u"ぬえわ"},      // unknown kanji: the reader
      {{Word(u"鵼", u"名詞", u"一般", u"", u"")}, u"鵼"},              // no reading anywhere: kept
      {{Word(u"ヶ", u"記号", u"一般", u"", u""), Word(u"ヵ", u"記号", u"一般", u"", u"")}, u"かか"},  // no ゖ, ゕ
      {{Word(u"ABC", u"名詞", u"固有名詞", u"", u""), Word(u" ", u"", u"", u"", u""), ha}, u"ABC わ"},
      // Lone nouns the dictionary reads as in compounds, and 何 before d-, t- and n-row sounds
      {{Word(u"人々", u"名詞", u"一般", u"ヒトビト", u"ヒトビト"), no, Word(u"間", u"名詞", u"一般", u"マ", u"マ")},
       u"ひとびとのあいだ"},
      {{Word(u"間", u"名詞", u"一般", u"マ", u"マ"), ni}, u"まに"},
      {{Word(u"他", u"名詞", u"一般", u"タ", u"タ"), no}, u"ほかの"},
      {{Word(u"他", u"名詞", u"一般", u"タ", u"タ")}, u"た"},
      {{Word(u"語", u"名詞", u"一般", u"カタリ", u"カタリ"), ha}, u"ごわ"},
      {{Word(u"た", u"助動詞", u"*", u"タ", u"タ"), Word(u"後", u"名詞", u"非自立", u"ノチ", u"ノチ")}, u"たあと"},
      {{Word(u"、", u"記号", u"読点", u"、", u"、"), Word(u"後", u"名詞", u"接尾", u"ゴ", u"ゴ"), ni}, u"、のちに"},
      {{Word(u"年", u"名詞", u"接尾", u"ネン", u"ネン"), Word(u"後", u"名詞", u"接尾", u"ゴ", u"ゴ")}, u"ねんご"},
      {{Word(u"弾き", u"動詞", u"自立", u"ハジキ", u"ハジキ")}, u"ひき"},
      {{nani, Word(u"でも", u"助詞", u"副助詞", u"デモ", u"デモ")}, u"なんでも"},
      {{nani, Word(u"です", u"助動詞", u"*", u"デス", u"デス")}, u"なんです"},
      {{nani, Word(u"か", u"助詞", u"副助詞", u"カ", u"カ")}, u"なにか"},
      {{Word(u"何", u"名詞", u"数", u"ナン", u"ナン"), Word(u"名", u"名詞", u"接尾", u"メイ", u"メイ")}, u"なんめー"},
  };
  FakeReader reader;
  for (const Case& c : cases) {
    std::u16string out;
    AppendPronunciation(c.words, out, &reader);
    EXPECT_EQ(out, c.expected) << c.words.size() << " words";
  }
  // Without a reader an unknown kanji word stays as written.
  std::u16string out;
  AppendPronunciation(std::vector<Morpheme>{Word(u"鵺", u"名詞", u"一般", u"", u"")}, out);
  EXPECT_EQ(out, u"鵺");
}

TEST(KakasiReaderTest, ReadsKanjiAndRefusesWhatItCannot) {
  KakasiReader reader;
  std::u16string hiragana;
  ASSERT_TRUE(reader.Read(u"鰯", hiragana));
  EXPECT_EQ(hiragana, u"いわし");
  EXPECT_FALSE(reader.Read(u"𠮷", hiragana));  // not in EUC-JP
  EXPECT_FALSE(reader.Read(u"", hiragana));
}

}  // namespace
}  // namespace ekoto
