// Pitch accent: the written notation, the combination rules on hand-made
// words, fitting a plan onto the spoken reading, the score, and the estimator
// with the installed accent dictionary on annotated sentences.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "PaTestFiles.h"
#include "RunTool.h"
#include "conversion/AccentEstimator.h"
#include "conversion/AccentFit.h"
#include "conversion/AccentNotation.h"
#include "conversion/AccentNumerals.h"
#include "conversion/AccentRules.h"
#include "conversion/AccentScore.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/Morae.h"
#include "conversion/ReadingOfText.h"
#include "conversion/ReadingScore.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// A plan drawn as levels: H or L per mora, ' after the nucleus, | between
// phrases, _ for a pause, ? for a question.
std::string Levels(const AccentPlan& plan) {
  std::string s;
  for (size_t i = 0; i < plan.size(); ++i) {
    if (i > 0 && plan[i].bPhraseStart) s += plan[i - 1].bPauseAfter ? '_' : '|';
    s += plan[i].bHigh ? 'H' : 'L';
    if (plan[i].bNucleus) s += '\'';
    if (plan[i].bQuestion) s += '?';
  }
  return s;
}

struct SampleRow {
  std::string id, text;
  std::u16string reading, accent;
};

// The rows of tests/data/accent_sample.tsv, a slice of an annotated corpus.
std::vector<SampleRow> SampleRows() {
  std::vector<SampleRow> rows;
  std::ifstream in(std::string(EKOTO_TEST_DATA_DIR) + "/accent_sample.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("id\t", 0) == 0) continue;
    std::vector<std::string> col;
    for (size_t pos = 0, tab; (tab = line.find('\t', pos)) != std::string::npos || pos <= line.size(); pos = tab + 1) {
      col.push_back(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos));
      if (tab == std::string::npos) break;
    }
    if (col.size() == 4) rows.push_back({col[0], col[1], Utf8ToUtf16(col[2]), Utf8ToUtf16(col[3])});
  }
  return rows;
}

TEST(AccentNotationTest, LevelsPhrasesAndMarks) {
  struct Row {
    std::u16string notation;
    std::string levels;
  };
  const std::vector<Row> rows = {
      {.notation = u"^あ]めが$", .levels = "H'LL"},  // 雨: falls after the first mora
      {.notation = u"^あ[めが$", .levels = "LHH"},   // 飴: flat
      {.notation = u"^は[し]を#わ[たる$", .levels = "LH'L|LHH"},
      {.notation = u"^じょ[ーいんぎ]ーんわ$", .levels = "LHHHH'LLL"},  // small kana join the mora before
      {.notation = u"^きょ[ーわ_は]れ?$", .levels = "LHH_H'L?"},
      {.notation = u"^ちぇっく$", .levels = "LLL"},
      {.notation = u"^$", .levels = ""},
  };
  for (const Row& row : rows) {
    const AccentPlan plan = ParseAccentNotation(row.notation);
    EXPECT_EQ(Levels(plan), row.levels) << Utf16ToUtf8(row.notation);
    EXPECT_EQ(FormatAccentNotation(plan), row.notation);
  }
}

TEST(AccentNotationTest, AnnotatedSentencesRoundTripAndSpellTheirReading) {
  const auto rows = SampleRows();
  ASSERT_GE(rows.size(), 30u);
  for (const SampleRow& row : rows) {
    const AccentPlan plan = ParseAccentNotation(row.accent);
    EXPECT_EQ(FormatAccentNotation(plan), row.accent) << row.id;
    std::u16string spelled;
    for (const MoraAccent& mora : plan) spelled += mora.sMora;
    EXPECT_EQ(spelled, StripPunctuation(row.reading)) << row.id;
  }
}

AccentWord Word(const std::u16string& pos, const std::u16string& sub1, const std::u16string& pron, int nAccent,
                const std::u16string& rule, const std::u16string& conjugation = u"", const std::u16string& base = u"",
                const std::u16string& surface = u"") {
  AccentWord word;
  word.sSurface = surface.empty() ? pron : surface;
  word.sPartOfSpeech = pos;
  word.sSubclass1 = sub1;
  word.sConjugation = conjugation;
  word.sBase = base.empty() ? pron : base;
  word.sPron = pron;
  word.nAccent = nAccent;
  word.nMorae = static_cast<int>(SplitMorae(pron).size());
  word.sChainRule = rule;
  return word;
}

TEST(AccentRulesTest, WordsJoinIntoPhrasesAndPlaceTheNucleus) {
  const AccentWord ga = Word(u"助詞", u"格助詞", u"が", 0, u"名詞%F1");
  const AccentWord wo = Word(u"助詞", u"格助詞", u"を", 0, u"動詞%F5/名詞%F1");
  const AccentWord to = Word(u"助詞", u"格助詞", u"と", 0, u"形容詞%F1/動詞%F1");
  const AccentWord ni = Word(u"助詞", u"格助詞", u"に", 0, u"動詞%F5/名詞%F1");
  const AccentWord te = Word(u"助詞", u"接続助詞", u"て", 0, u"動詞%F1/形容詞%F1/名詞%F5");
  const AccentWord ta = Word(u"助動詞", u"", u"た", 0, u"動詞%F2@1/形容詞%F4@-2", u"基本形");
  const AccentWord nai = Word(u"助動詞", u"", u"ない", 1, u"動詞%F3@0/形容詞%F2@1", u"基本形");
  const AccentWord masu = Word(u"助動詞", u"", u"ます", 1, u"動詞%F4@1/助詞%F2@1", u"基本形");
  const AccentWord de = Word(u"助動詞", u"", u"で", 1, u"名詞%F1", u"連用形", u"だ");
  const AccentWord aru = Word(u"助動詞", u"", u"ある", 1, u"動詞%F1", u"基本形");
  const AccentWord comma = Word(u"記号", u"読点", u"", 0, u"");
  const AccentWord teki = Word(u"名詞", u"接尾", u"てき", 0, u"C3", u"", u"", u"的");
  const auto noun = [](const std::u16string& pron, int nAccent, const std::u16string& rule = u"C1") {
    return Word(u"名詞", u"一般", pron, nAccent, rule);
  };
  const auto verb = [](const std::u16string& pron, int nAccent, const std::u16string& conjugation,
                       const std::u16string& base, const std::u16string& sub1 = u"自立") {
    return Word(u"動詞", sub1, pron, nAccent, u"", conjugation, base);
  };
  struct Row {
    std::string name;
    std::vector<AccentWord> words;
    std::u16string notation;
  };
  const std::vector<Row> rows = {
      {"particle keeps an initial fall", {Word(u"名詞", u"一般", u"あめ", 1, u"C3"), ga}, u"^あ]めが$"},
      {"particle keeps a flat noun flat", {Word(u"名詞", u"一般", u"あめ", 0, u"C3"), ga}, u"^あ[めが$"},
      {"last-mora noun falls on the particle", {Word(u"名詞", u"一般", u"はし", 2, u"C3"), wo}, u"^は[し]を$"},
      {"人 falls on its last mora", {Word(u"名詞", u"一般", u"ひと", 0, u"C3", u"", u"", u"人"), ga}, u"^ひ[と]が$"},
      {"a noun falling on its last mora is flat before の, a dependent noun is not",
       {noun(u"おとこ", 3), Word(u"助詞", u"連体化", u"の", 0, u"動詞%F2@0/形容詞%F1"), comma,
        verb(u"する", 0, u"基本形", u"する"), Word(u"名詞", u"非自立", u"ため", 2, u"C3"),
        Word(u"助詞", u"連体化", u"の", 0, u"動詞%F2@0/形容詞%F1")},
       u"^お[とこの#す[るため]の$"},
      {"compound keeps the second part's nucleus (C1)",
       {Word(u"名詞", u"固有名詞", u"とーきょー", 0, u"C2"), Word(u"名詞", u"一般", u"とちじ", 2, u"C1")},
       u"^と[ーきょーとち]じ$"},
      {"a noun of five morae after a noun starts anew",
       {Word(u"名詞", u"固有名詞", u"はんしん", 1, u"C2"), Word(u"名詞", u"一般", u"だいしんさい", 3, u"C1")},
       u"^は]んしん#だ[いし]んさい$"},
      {"a compound's nucleus falls back off ん",
       {Word(u"名詞", u"一般", u"ちゅーしん", 0, u"C2"), Word(u"名詞", u"接尾", u"ぶ", 1, u"C3")},
       u"^ちゅ[ーし]んぶ$"},
      {"adverb is a phrase of its own",
       {Word(u"副詞", u"一般", u"とても", 0, u""), Word(u"形容詞", u"自立", u"たかい", 2, u"", u"基本形")},
       u"^と[ても#た[か]い$"},
      {"an adjective's く form falls a mora early",
       {Word(u"形容詞", u"自立", u"たかく", 2, u"", u"連用テ接続", u"たかい")}, u"^た]かく$"},
      {"conjugated stem falls a mora early, not before ば; ます moves the nucleus",
       {verb(u"たべ", 2, u"連用形", u"たべる"), Word(u"助動詞", u"", u"まし", 1, u"動詞%F4@1", u"連用形", u"ます"), ta, comma,
        verb(u"すれ", 2, u"仮定形", u"する"), Word(u"助詞", u"接続助詞", u"ば", 0, u"動詞%F2@0/形容詞%F1")},
       u"^た[べま]した#す[れ]ば$"},
      {"た keeps a flat verb flat, たら falls, and so do た and a plain verb before a particle",
       {verb(u"かんじ", 0, u"連用形", u"かんじる"), ta, comma, verb(u"いっ", 0, u"連用タ接続", u"いう"),
        Word(u"助動詞", u"", u"たら", 1, u"動詞%F2@1/形容詞%F4@-2", u"仮定形", u"た"), comma,
        verb(u"かっ", 0, u"連用タ接続", u"かう"), ta, Word(u"助詞", u"接続助詞", u"が", 0, u"名詞%F1"), comma,
        verb(u"する", 0, u"基本形", u"する"), Word(u"助詞", u"接続助詞", u"が", 0, u"名詞%F1")},
       u"^か[んじた#い[った]ら#か[った]が#す[る]が$"},
      {"a flat phrase falls on the な of ない when more follows",
       {verb(u"かわ", 0, u"未然形", u"かう"), nai, Word(u"名詞", u"非自立", u"の", 0, u"動詞%F2@0/形容詞%F2@-1"), comma,
        verb(u"かわ", 0, u"未然形", u"かう"), nai},
       u"^か[わな]いの#か[わない$"},
      {"a flat noun falls on the だ of だった and of だが",
       {noun(u"がくせー", 0), Word(u"助動詞", u"", u"だっ", 0, u"名詞%F1", u"連用タ接続", u"だ"), ta, comma,
        noun(u"がくせー", 0), Word(u"助動詞", u"", u"だ", 0, u"名詞%F1", u"基本形"), Word(u"助詞", u"接続助詞", u"が", 0, u"名詞%F1")},
       u"^が[くせーだ]った#が[くせーだ]が$"},
      {"として, による and という before a noun join the phrase before them; によれば does not",
       {noun(u"めーたー", 1), to, verb(u"し", 0, u"連用形", u"する"), te, comma, noun(u"あめ", 1), ni,
        verb(u"よる", 0, u"基本形", u"よる"), Word(u"助詞", u"接続助詞", u"と", 0, u"動詞%F1"), comma, noun(u"あめ", 1),
        ni, verb(u"よれ", 0, u"仮定形", u"よる"), Word(u"助詞", u"接続助詞", u"ば", 0, u"動詞%F1"), comma, noun(u"あめ", 1), to, verb(u"いう", 0, u"基本形", u"いう"),
        noun(u"おと", 2)},
       u"^め]ーたーとして#あ]めによると#あ]めに#よ[れば#あ]めという#お[と]$"},
      {"ます after an auxiliary verb or たり leaves a fallen phrase alone",
       {verb(u"もっ", 1, u"連用タ接続", u"もつ"), te, verb(u"い", 0, u"連用形", u"いる", u"非自立"), masu, comma,
        verb(u"つい", 1, u"連用タ接続", u"つく"), Word(u"助詞", u"並立助詞", u"たり", 1, u"名詞%F2@1/動詞%F4@1")},
       u"^も]っています#つ]いたり$"},
      {"a final ます is heard flat, ますか is not",
       {verb(u"つかい", 0, u"連用形", u"つかう"), masu, Word(u"助詞", u"終助詞", u"か", 0, u"動詞%F1"), comma,
        verb(u"つかい", 0, u"連用形", u"つかう"), masu},
       u"^つ[かいま]すか#つ[かいます$"},
      {"a flat phrase falls before the は of では and the も of ても",
       {noun(u"あめ", 0), de, Word(u"助詞", u"係助詞", u"は", 0, u"名詞%F1"), comma, verb(u"し", 0, u"連用形", u"する"), te,
        Word(u"助詞", u"係助詞", u"も", 0, u"名詞%F1")},
       u"^あ[めで]は#し[て]も$"},
      {"ください starts anew after a fallen phrase, not after a flat one",
       {verb(u"つけ", 2, u"連用形", u"つける"), te, verb(u"ください", 3, u"命令ｉ", u"くださる", u"非自立"), comma,
        verb(u"きい", 0, u"連用タ接続", u"きく"), te, verb(u"ください", 3, u"命令ｉ", u"くださる", u"非自立")},
       u"^つ]けて#く[ださ]い#き[いてくださ]い$"},
      {"ところ starts anew after a fallen predicate, not after a flat one",
       {verb(u"み", 1, u"連用タ接続", u"みる"), ta, Word(u"名詞", u"非自立", u"ところ", 0, u"C3"), comma,
        verb(u"かっ", 0, u"連用タ接続", u"かう"), ta, Word(u"名詞", u"非自立", u"ところ", 0, u"C3")},
       u"^み]た#と[ころ]#か[ったところ]$"},
      {"a noun after a dependent noun starts anew; そのため is flat",
       {Word(u"連体詞", u"", u"その", 0, u""), Word(u"名詞", u"非自立", u"ため", 2, u"C3"), noun(u"しろ", 0), wo},
       u"^そ[のため#し[ろを$"},
      {"各 is a phrase of its own before its noun; お joins it",
       {Word(u"接頭詞", u"名詞接続", u"かく", 1, u"P1", u"", u"", u"各"), noun(u"がっこー", 0), comma,
        Word(u"接頭詞", u"名詞接続", u"お", 0, u"P1"), noun(u"ちゃ", 0)},
       u"^か]く#が[っこー#お[ちゃ$"},
      {"a compound verb falls in its second verb",
       {verb(u"おり", 2, u"連用形", u"おりる"), verb(u"はじめ", 0, u"連用形", u"はじめる", u"非自立"), ta},
       u"^お[りはじ]めた$"},
      {"くる after て brings its nucleus to a flat phrase; しまう does not",
       {verb(u"つれ", 0, u"連用形", u"つれる"), te, verb(u"き", 1, u"連用形", u"くる", u"非自立"), ta, comma,
        verb(u"わすれ", 0, u"連用形", u"わすれる"), te, verb(u"しまっ", 2, u"連用タ接続", u"しまう", u"非自立"), ta},
       u"^つ[れてき]た#わ[すれてしまった$"},
      {"ある after a long phrase starts anew, sooner after a fallen one; after a short one it joins",
       {noun(u"せーじ", 0, u"C2"), noun(u"けーたい", 0, u"C2"), de, aru, comma, noun(u"あめ", 0), de, aru, comma,
        noun(u"ちゅーしんち", 3), de, aru},
       u"^せ[ーじけ]ーたいで#あ]る#あ[めであ]る#ちゅ[ーし]んちで#あ]る$"},
      {"the passive of a verbal noun's する keeps the noun's nucleus",
       {Word(u"名詞", u"サ変接続", u"でざいん", 2, u"C2"), Word(u"動詞", u"自立", u"さ", 0, u"-1", u"未然レル接続", u"する"),
        verb(u"れ", 0, u"連用形", u"れる", u"接尾"), ta},
       u"^で[ざ]いんされた$"},
      {"verbal noun and する are one flat phrase",
       {Word(u"名詞", u"サ変接続", u"べんきょー", 0, u"C2"), Word(u"動詞", u"自立", u"する", 0, u"", u"基本形")},
       u"^べ[んきょーする$"},
      {"volitional falls before う",
       {Word(u"動詞", u"自立", u"あるこ", 2, u"", u"未然ウ接続", u"あるく"),
        Word(u"助動詞", u"", u"う", 0, u"動詞%F1", u"基本形")},
       u"^あ[るこ]う$"},
      {"X者 falls before 者; たち keeps an accented noun's nucleus and falls before a voiceless mora",
       {Word(u"名詞", u"サ変接続", u"へんしゅー", 0, u"C2"), Word(u"名詞", u"接尾", u"しゃ", 1, u"C4", u"", u"", u"者"),
        comma, noun(u"へーし", 1), Word(u"名詞", u"接尾", u"たち", 1, u"C3", u"", u"", u"たち"), comma,
        Word(u"名詞", u"代名詞", u"わたし", 0, u"C3"), Word(u"名詞", u"接尾", u"たち", 1, u"C3", u"", u"", u"たち")},
       u"^へ[んしゅ]ーしゃ#へ]ーしたち#わ[た]したち$"},
      {"the そう of appearance falls on its そ",
       {verb(u"おち", 2, u"連用形", u"おちる"), Word(u"名詞", u"接尾", u"そー", 0, u"C1", u"", u"", u"そう"),
        Word(u"助動詞", u"", u"な", 1, u"動詞%F3@0")},
       u"^お[ちそ]ーな$"},
      {"X的 is flat",
       {Word(u"名詞", u"一般", u"けーざい", 1, u"C1"), teki, Word(u"助動詞", u"", u"な", 1, u"動詞%F3@0")},
       u"^け[ーざいてきな$"},
      {"learned: an accented noun joins a fallen adverb",
       {Word(u"副詞", u"", u"もっと", 1, u""), noun(u"まえ", 1)}, u"^も[っとま]え$"},
      {"ordinal falls on its prefix",
       {Word(u"接頭詞", u"数接続", u"だい", 1, u"P2", u"", u"", u"第"), Word(u"名詞", u"数", u"いち", 2, u"C3", u"", u"", u"一")},
       u"^だ]いいち$"},
      {"prefix said apart falls on its first mora, or is low when it has one",
       {Word(u"接頭詞", u"名詞接続", u"かく", 2, u"P2", u"", u"", u"各"), noun(u"がっこー", 0), comma,
        Word(u"接頭詞", u"名詞接続", u"ひ", 1, u"P2", u"", u"", u"非"), noun(u"げんじつ", 0)},
       u"^か]く#が[っこー#ひ#げ[んじつ$"},
      {"flat-making suffix", {noun(u"じどー", 0), Word(u"名詞", u"接尾", u"しき", 1, u"C3", u"", u"", u"式")},
       u"^じ[どーしき$"},
      {"どのくらい is flat", {Word(u"連体詞", u"", u"どの", 1, u""), Word(u"助詞", u"副助詞", u"くらい", 1, u"動詞%F2@1/形容詞%F2@1/名詞%F4@1")},
       u"^ど[のくらい$"},
      {"ず moves a verb's nucleus onto the mora before it, but not in かかわらず",
       {verb(u"よま", 1, u"未然形", u"よむ"), Word(u"助動詞", u"", u"ず", 1, u"動詞%F4@0", u"連用ニ接続"), comma,
        verb(u"かかわら", 3, u"未然形", u"かかわる"), Word(u"助動詞", u"", u"ず", 1, u"動詞%F4@0", u"連用ニ接続")},
       u"^よ[ま]ず#か[かわ]らず$"},
      {"そんな is flat", {Word(u"連体詞", u"", u"そんな", 3, u""), noun(u"ひと", 0)}, u"^そ[んな#ひ[と$"},
      {"誰 loses its fall before も", {Word(u"名詞", u"代名詞", u"だれ", 1, u"C3", u"", u"", u"誰"), Word(u"助詞", u"係助詞", u"も", 0, u"名詞%F1")},
       u"^だ[れも$"},
      {"から keeps a flat noun flat", {noun(u"みなと", 0, u"C2"), Word(u"助詞", u"格助詞", u"から", 2, u"名詞%F1")},
       u"^み[なとから$"},
      {"symbol ends a phrase",
       {Word(u"名詞", u"一般", u"あめ", 0, u"C3"), Word(u"記号", u"読点", u"", 0, u""),
        Word(u"名詞", u"一般", u"あめ", 0, u"C3")},
       u"^あ[め#あ[め$"},
      {"particle joins across a closing bracket",
       {Word(u"記号", u"括弧開", u"", 0, u""), Word(u"感動詞", u"", u"はい", 1, u""),
        Word(u"記号", u"括弧閉", u"", 0, u""), Word(u"助詞", u"格助詞", u"と", 0, u"形容詞%F1/動詞%F1")},
       u"^は]いと$"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatAccentNotation(PlanOfWords(row.words)), row.notation) << row.name;
  }
}

// Numbers: their katakana reading goes back to the digits for the dictionary,
// then digits and counter are said as that reading with the counter's accent.
TEST(AccentNumeralsTest, NumbersAreFoundAgainAndSaidWithTheirCounter) {
  struct TextRow {
    const char* name;
    std::u16string written, sentence, text;
    std::vector<std::u16string> kana;
  };
  const std::vector<TextRow> texts = {
      {"counter taken in", u"6か月で", u"ロッカゲツで", u"6か月で", {u"ロッカゲツ"}},
      {"two numbers side by side", u"３分の１の人", u"サンブンノイチの人", u"３分の１の人", {u"サンブンノ", u"イチ"}},
      {"not the same sound inside a katakana word", u"ゴルフ5", u"ゴルフゴ", u"ゴルフ5", {u"ゴ"}},
      {"numeral option off", u"6か月", u"6か月", u"6か月", {}},
      {"changed by the template", u"5", u"いつつ", u"いつつ", {}},
  };
  for (const TextRow& row : texts) {
    const DigitsText digits = PutDigitsBack(row.written, row.sentence);
    EXPECT_EQ(Utf16ToUtf8(digits.sText), Utf16ToUtf8(row.text)) << row.name;
    std::vector<std::u16string> kana;
    for (const NumeralSpan& numeral : digits.numerals) {
      kana.push_back(numeral.sKana);
      EXPECT_EQ(digits.sText.substr(numeral.nStart, numeral.nLength).find_first_of(u"0123456789０１２３４５６７８９"), 0U)
          << row.name;
    }
    EXPECT_EQ(kana, row.kana) << row.name;
  }

  const auto digits = [](const std::u16string& s) { return Word(u"名詞", u"数", u"", 0, u"", u"", u"", s); };
  const AccentWord kagetsu = Word(u"名詞", u"接尾", u"かげつ", 1, u"C1", u"", u"", u"か月");
  const AccentWord nin = Word(u"名詞", u"接尾", u"にん", 1, u"C3", u"", u"", u"人");
  struct WordsRow {
    const char* name;
    std::vector<AccentWord> words;
    std::u16string kana, notation;
  };
  const std::vector<WordsRow> numbers = {
      {"counter's own nucleus (C1), the numeral's sound change", {digits(u"6"), kagetsu}, u"ロッカゲツ",
       u"^ろ[っか]げつ$"},
      {"fall at the numeral's end (C3), not on its long vowel", {digits(u"20"), nin}, u"ニジュウニン",
       u"^に[じゅ]ーにん$"},
      {"unit words belong to the numeral", {digits(u"3"), Word(u"名詞", u"数", u"まん", 1, u"C3", u"", u"", u"万"), nin},
       u"サンマンニン", u"^さ[んま]んにん$"},
      {"native counting word", {digits(u"1"), Word(u"助動詞", u"", u"つ", 1, u"動詞%F1")}, u"ヒトツ", u"^ひ[と]つ$"},
      {"number alone", {digits(u"15")}, u"ジュウゴ", u"^じゅ]ーご$"},
      {"a year in two phrases, up to its hundreds and the rest", {digits(u"1957"), Word(u"名詞", u"接尾", u"ねん", 1, u"C3", u"", u"", u"年")},
       u"センキュウヒャクゴジュウナナネン", u"^せ]んきゅーひゃく#ご[じゅーなな]ねん$"},
  };
  for (const WordsRow& row : numbers) {
    EXPECT_EQ(Utf16ToUtf8(FormatAccentNotation(PlanOfWords(NumeralWords(row.words, row.kana)))),
              Utf16ToUtf8(row.notation))
        << row.name;
  }
}

TEST(AccentFitTest, PlanFollowsTheSpokenReading) {
  struct Row {
    std::u16string planned, reading, fitted;
  };
  const std::vector<Row> rows = {
      {.planned = u"^あ]めが$", .reading = u"あめが", .fitted = u"^あ]めが$"},
      {.planned = u"^と[ーきょー$", .reading = u"とうきょう", .fitted = u"^と[うきょう$"},  // long vowel written out
      {.planned = u"^に[ほ]んが$", .reading = u"にっぽんが", .fitted = u"^に[っぽ]んが$"},  // misread mora, extra mora
      {.planned = u"^こ[れわ]$", .reading = u"これ", .fitted = u"^こ[れ]$"},  // nucleus on a mora not said
      {.planned = u"^そ[の#た]の$", .reading = u"そのほかの", .fitted = u"^そ[の#ほ[か]の$"},  // a word said otherwise
      {.planned = u"^あ]め#ふ]る$", .reading = u"あめがふる", .fitted = u"^あ]めが#ふ]る$"},  // an extra particle
      {.planned = u"^あ]めが#ふ]る$", .reading = u"あめが、ふる。", .fitted = u"^あ]めが_ふ]る$"},
      {.planned = u"^あ[めがふる$", .reading = u"あめが、ふる", .fitted = u"^あ[めが_ふ[る$"},  // pause starts a phrase
      {.planned = u"^$", .reading = u"あめ", .fitted = u"^あ[め$"},
      {.planned = u"^と$", .reading = u"PCと 「ABC」", .fitted = u"^P[C#と[ABC$"},  // letters are said, brackets not
      {.planned = u"^$", .reading = u"𠮷か", .fitted = u"^𠮷[か$"},  // a surrogate pair is one mora
      {.planned = u"^あ]め$", .reading = u"。", .fitted = u"^$"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatAccentNotation(FitPlanToReading(ParseAccentNotation(row.planned), row.reading)), row.fitted)
        << Utf16ToUtf8(row.planned) << " on " << Utf16ToUtf8(row.reading);
  }
  // A sentence of thousands of morae, a mora short of its plan near the start.
  const std::u16string sLong(3000, u'か');
  const AccentPlan fitted = FitPlanToReading(ParseAccentNotation(u"^ご" + sLong + u"]が$"), sLong + u"が");
  ASSERT_EQ(fitted.size(), 3001u);
  EXPECT_TRUE(fitted[2999].bNucleus);
}

TEST(AccentScoreTest, CountsMoraePhrasesAndSentences) {
  struct Row {
    std::string name;
    std::u16string produced, reference;
    double morae, phrases, sentences;
  };
  const std::vector<Row> rows = {
      {"identical", u"^あ]めが#ふ]る$", u"^あ]めが#ふ]る$", 1.0, 1.0, 1.0},
      {"first phrase flat instead of falling", u"^あ[めが#ふ]る$", u"^あ]めが#ふ]る$", 2.0 / 5, 0.5, 0.0},
      {"boundary missed, levels of the first phrase right", u"^あ[めがふる$", u"^あ[めが#ふ[る$", 4.0 / 5, 0.0, 0.0},
      {"readings differ in spelling only", u"^と[うきょう$", u"^と[ーきょー$", 1.0, 1.0, 1.0},
      {"an extra mora costs nothing", u"^に[っぽんの$", u"^に[ほんの$", 1.0, 1.0, 1.0},
      {"nothing produced", u"^$", u"^あ]め$", 0.0, 0.0, 0.0},
  };
  for (const Row& row : rows) {
    AccentScore score;
    score.Add(ParseAccentNotation(row.produced), ParseAccentNotation(row.reference));
    EXPECT_DOUBLE_EQ(score.MoraLevelRate(), row.morae) << row.name;
    EXPECT_DOUBLE_EQ(score.PhraseRate(), row.phrases) << row.name;
    EXPECT_DOUBLE_EQ(score.SentenceRate(), row.sentences) << row.name;
  }
}

std::u16string Estimate(CAccentEstimator& estimator, const std::u16string& text) {
  return FormatAccentNotation(AccentOfText(text, {}, DefaultReverseConverter(), estimator));
}

TEST(AccentEstimatorTest, MinimalPairsQuestionsAndPauses) {
  CAccentEstimator estimator;
  ASSERT_TRUE(estimator.Preload()) << Utf16ToUtf8(estimator.LoadError());
  const std::vector<std::pair<std::u16string, std::u16string>> rows = {
      {u"雨が降る。", u"^あ]めが#ふ]る$"},
      {u"飴をなめる。", u"^あ[めを#な[め]る$"},
      {u"箸で食べる。", u"^は]しで#た[べ]る$"},
      {u"橋を渡る。", u"^は[し]を#わ[たる$"},
      {u"神に祈る。", u"^か]みに#い[の]る$"},
      {u"紙に書く。", u"^か[み]に#か]く$"},
      {u"家を出た。", u"^い[え]を#で]た$"},  // the dictionary's 出 is flat, its 出る is not
      {u"雨ですか？", u"^あ]めですか?$"},
      {u"来月の歌舞伎座の出し物はなんですか。", u"^ら]いげつの#か[ぶきざの#だ[し]ものわ#な]んですか?$"},
      {u"欠陥が無いか、検査する。", u"^け[っかんが#な]いか_け]んさする$"},  // no rise before a comma
      {u"最低３ヶ月に検査する。", u"^さ[いてー#さ[んか]げつに#け]んさする$"},  // the number as written
      {u"船は港から離れていった。", u"^ふ]ねわ#み[なとから#は[な]れていった$"},  // 離れ as はなれ]る
      {u"", u"^$"},
  };
  for (const auto& [text, notation] : rows) EXPECT_EQ(Estimate(estimator, text), notation) << Utf16ToUtf8(text);
  EXPECT_EQ(estimator.LoadError(), u"");
}

TEST(AccentEstimatorTest, WithoutItsDictionaryPlansNothingAndSaysWhy) {
  CAccentEstimator estimator("/nonexistent/naist-jdic");
  EXPECT_FALSE(estimator.Preload());
  EXPECT_TRUE(estimator.PlanAccent(u"雨が降る。", u"雨が降る。", u"あめがふる。").empty());
  EXPECT_NE(estimator.LoadError().find(u"open-jtalk-mecab-naist-jdic"), std::u16string::npos);
  EXPECT_NE(estimator.LoadError().find(u"/nonexistent/naist-jdic"), std::u16string::npos);
}

// A floor under the accuracy on the annotated slice, so that a rule that
// breaks many sentences shows here and not only in the measurements.
TEST(AccentEstimatorTest, AnnotatedSliceStaysAccurate) {
  CAccentEstimator estimator;
  AccentScore score;
  for (const SampleRow& row : SampleRows()) {
    score.Add(AccentOfText(Utf8ToUtf16(row.text), {}, DefaultReverseConverter(), estimator),
              ParseAccentNotation(row.accent));
  }
  EXPECT_GE(score.MoraLevelRate(), 0.90);
  EXPECT_GE(score.PhraseRate(), 0.72);
}

TEST(AccentToolsTest, SayPrintsOneLinePerLineAndScorePrintsTheFigures) {
  const std::string sample = std::string(EKOTO_TEST_DATA_DIR) + "/accent_sample.tsv";
  const auto say = testing::RunTool("ekoto-say", "--accent < '" + sample + "'", "/dev/null");
  EXPECT_EQ(say.status, 0);
  size_t lines = 0;
  for (const char c : say.output) lines += c == '\n' ? 1 : 0;
  std::ifstream in(sample);
  size_t expected = 0;
  for (std::string line; std::getline(in, line);) ++expected;
  EXPECT_EQ(lines, expected);
  // The marks of the user's dictionary, whichever way the estimator says みたか (三鷹 as the template writes it).
  testing::ScratchDir dir;
  for (const std::string marks : {"み[たか", "み]たか"}) {
    testing::WriteString(dir.Path("templete.txt"), "//@\taccent=" + marks + "\n三鷹\tみたか\n");
    const auto marked = testing::RunTool("ekoto-say", "--accent --template '" + dir.Path("templete.txt").string() + "' 三鷹に行く");
    EXPECT_EQ(marked.output.rfind("^" + marks + "に#", 0), 0U) << marked.output;
  }

  const auto score = testing::RunTool("ekoto-score", "--accent '" + sample + "'");
  EXPECT_EQ(score.status, 0) << score.output;
  for (const char* figure : {"morae high/low right", "accent phrases right", "sentences right"}) {
    EXPECT_NE(score.output.find(figure), std::string::npos) << figure;
  }
  EXPECT_EQ(testing::RunTool("ekoto-score", "--accent /nonexistent.tsv").status, 1);
}

}  // namespace
}  // namespace ekoto
