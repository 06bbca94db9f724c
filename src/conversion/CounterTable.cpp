#include "conversion/CounterTable.h"

#include <array>

namespace ekoto {
namespace {

constexpr bool kWhole = true;
constexpr bool kEnd = false;

// Native counting words and the readings that go with particular counters.
constexpr CounterSound kPeople[] = {
    {u"いち", kWhole, u"ひとり", u""}, {u"に", kWhole, u"ふたり", u""}, {u"よん", kEnd, u"よ", u"ニン"}};
constexpr CounterSound kThings[] = {
    {u"いち", kWhole, u"ひと", u"ツ"},   {u"に", kWhole, u"ふた", u"ツ"},  {u"さん", kWhole, u"みっ", u"ツ"},
    {u"よん", kWhole, u"よっ", u"ツ"},   {u"ご", kWhole, u"いつ", u"ツ"},  {u"ろく", kWhole, u"むっ", u"ツ"},
    {u"はち", kWhole, u"やっ", u"ツ"},   {u"きゅう", kWhole, u"ここの", u"ツ"}, {u"じゅう", kWhole, u"とお", u""}};
// Days of the month and counted days; the first of the month (ついたち) depends on
// the context and is left to the caller.
constexpr CounterSound kDays[] = {
    {u"に", kWhole, u"ふつか", u""},      {u"さん", kWhole, u"みっか", u""},    {u"ご", kWhole, u"いつか", u""},
    {u"ろく", kWhole, u"むいか", u""},    {u"なな", kWhole, u"なのか", u""},    {u"はち", kWhole, u"ようか", u""},
    {u"きゅう", kWhole, u"ここのか", u""}, {u"じゅう", kWhole, u"とおか", u""}, {u"にじゅう", kWhole, u"はつか", u""},
    {u"よん", kEnd, u"よっか", u""},      {u"なな", kEnd, u"しち", u"ニチ"},    {u"きゅう", kEnd, u"く", u"ニチ"}};
constexpr CounterSound kHours[] = {{u"よん", kEnd, u"よ", u"ジ"},
                                   {u"なな", kEnd, u"しち", u"ジ"},
                                   {u"きゅう", kEnd, u"く", u"ジ"},
                                   {u"ぜろ", kWhole, u"れい", u"ジ"}};
constexpr CounterSound kHourSpans[] = {{u"よん", kEnd, u"よ", u"ジカン"}, {u"きゅう", kEnd, u"く", u"ジカン"}};
constexpr CounterSound kMinutes[] = {{u"よん", kEnd, u"よん", u"プン"}};
constexpr CounterSound kMonths[] = {
    {u"よん", kWhole, u"し", u"ガツ"}, {u"なな", kWhole, u"しち", u"ガツ"}, {u"きゅう", kWhole, u"く", u"ガツ"}};
constexpr CounterSound kYears[] = {{u"よん", kEnd, u"よ", u"ネン"}};
constexpr CounterSound kYen[] = {{u"よん", kEnd, u"よ", u"エン"}};
constexpr CounterSound kAges[] = {{u"にじゅう", kWhole, u"はたち", u""}};
constexpr CounterSound kFloors[] = {{u"さん", kEnd, u"さん", u"ガイ"}, {u"なん", kEnd, u"なん", u"ガイ"}};
constexpr CounterSound kHouses[] = {{u"さん", kEnd, u"さん", u"ゲン"}, {u"なん", kEnd, u"なん", u"ゲン"}};
constexpr CounterSound kLosses[] = {{u"さん", kEnd, u"さん", u"パイ"}, {u"なん", kEnd, u"なん", u"パイ"}};
constexpr CounterSound kPairs[] = {{u"さん", kEnd, u"さん", u"ゾク"}, {u"なん", kEnd, u"なん", u"ゾク"}};

// Longer forms come before the forms they start with (時間 before 時): the
// first entry that matches is the longest.
constexpr Counter kCounters[] = {
    {u"人目", u"ニン", u"メ", false, kPeople},
    {u"人", u"ニン", u"", false, kPeople},
    {u"つ目", u"ツ", u"メ", false, kThings},
    {u"つ", u"ツ", u"", false, kThings},
    {u"時間目", u"ジカン", u"メ", false, kHourSpans},
    {u"時間", u"ジカン", u"", false, kHourSpans},
    {u"時", u"ジ", u"", false, kHours},
    {u"分の", u"ブン", u"ノ"},
    {u"分間", u"フン", u"カン", false, kMinutes},
    {u"分", u"フン", u"", false, kMinutes},
    {u"秒間", u"ビョウ", u"カン"},
    {u"秒", u"ビョウ", u""},
    {u"名", u"メイ", u""},
    {u"日間", u"ニチ", u"カン", false, kDays},
    {u"日目", u"ニチ", u"メ", false, kDays},
    {u"日中", u"ニチ", u"ジュウ", false, kDays},
    {u"日", u"ニチ", u"", false, kDays},
    {u"か月", u"カゲツ"},
    {u"ヶ月", u"カゲツ"},
    {u"ケ月", u"カゲツ"},
    {u"カ月", u"カゲツ"},
    {u"ヵ月", u"カゲツ"},
    {u"箇月", u"カゲツ"},
    {u"か国", u"カコク"},
    {u"ヶ国", u"カコク"},
    {u"カ国", u"カコク"},
    {u"か所", u"カショ"},
    {u"ヶ所", u"カショ"},
    {u"カ所", u"カショ"},
    {u"箇所", u"カショ"},
    {u"月", u"ガツ", u"", false, kMonths},
    {u"年間", u"ネン", u"カン", false, kYears},
    {u"年生", u"ネン", u"セイ", false, kYears},
    {u"年代", u"ネン", u"ダイ", false, kYears},
    {u"年目", u"ネン", u"メ", false, kYears},
    {u"年中", u"ネン", u"ジュウ", false, kYears},
    {u"年", u"ネン", u"", false, kYears},
    {u"週間", u"シュウカン"},
    {u"週目", u"シュウ", u"メ"},
    {u"歳", u"サイ", u"", false, kAges},
    {u"才", u"サイ", u"", false, kAges},
    {u"本", u"ホン"},
    {u"杯", u"ハイ"},
    {u"匹", u"ヒキ"},
    {u"回目", u"カイ", u"メ"},
    {u"回", u"カイ"},
    {u"階", u"カイ", u"", false, kFloors},
    {u"個", u"コ"},
    {u"冊", u"サツ"},
    {u"台", u"ダイ"},
    {u"枚", u"マイ"},
    {u"度", u"ド"},
    {u"号室", u"ゴウ", u"シツ"},
    {u"号", u"ゴウ"},
    {u"番目", u"バン", u"メ"},
    {u"番線", u"バン", u"セン"},
    {u"番地", u"バン", u"チ"},
    {u"番", u"バン"},
    {u"位", u"イ"},
    {u"倍", u"バイ"},
    {u"割", u"ワリ"},
    {u"章", u"ショウ"},
    {u"話", u"ワ"},
    {u"円", u"エン", u"", false, kYen},
    {u"件", u"ケン"},
    {u"軒", u"ケン", u"", false, kHouses},
    {u"足", u"ソク", u"", false, kPairs},
    {u"点", u"テン"},
    {u"歩", u"ホ"},
    {u"泊", u"ハク"},
    {u"頭", u"トウ"},
    {u"曲", u"キョク"},
    {u"問", u"モン"},
    {u"票", u"ヒョウ"},
    {u"行", u"ギョウ"},
    {u"丁目", u"チョウ", u"メ"},
    {u"世紀", u"セイキ"},
    {u"社", u"シャ"},
    {u"校", u"コウ"},
    {u"勝", u"ショウ"},
    {u"敗", u"ハイ", u"", false, kLosses},
    {u"巻", u"カン"},
    {u"代", u"ダイ"},
    {u"ページ", u"ページ"},
    {u"ポイント", u"ポイント"},
    {u"パーセント", u"パーセント"},
    {u"%", u"パーセント"},
    {u"％", u"パーセント"},
    {u"ドル", u"ドル", u"", true},
    {u"ユーロ", u"ユーロ", u"", true},
    {u"キロメートル", u"キロメートル", u"", true},
    {u"キログラム", u"キログラム", u"", true},
    {u"キロ", u"キロ", u"", true},
    {u"メートル走", u"メートル", u"ソウ", true},
    {u"メートル", u"メートル", u"", true},
    {u"センチ", u"センチ"},
    {u"ミリ", u"ミリ", u"", true},
    {u"グラム", u"グラム", u"", true},
    {u"km", u"キロメートル", u"", true},
    {u"kg", u"キログラム", u"", true},
    {u"cm", u"センチ"},
    {u"mm", u"ミリ", u"", true},
    {u"℃", u"ド"},
};

bool EndsWith(std::u16string_view s, std::u16string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

bool IsIn(char16_t c, std::u16string_view set) { return set.find(c) != std::u16string_view::npos; }

// The sound changes of the number's last word before a counter starting with the
// kana first (generic, by the counter's row).
void JoinByRow(std::u16string& sNumber, std::u16string& sCounter) {
  const char16_t first = sCounter[0];
  const bool bK = IsIn(first, u"カキクケコ");
  const bool bS = IsIn(first, u"サシスセソ");
  const bool bT = IsIn(first, u"タチツテト");
  const bool bH = IsIn(first, u"ハヒフヘホ");
  const bool bP = IsIn(first, u"パピプペポ");
  // h-row kana and the same kana with p and b.
  constexpr std::u16string_view kH = u"ハヒフヘホ", kPRow = u"パピプペポ", kBRow = u"バビブベボ";
  bool bGeminate = false;
  if (EndsWith(sNumber, u"いち") || EndsWith(sNumber, u"はち") || EndsWith(sNumber, u"じゅう")) {
    bGeminate = bK || bS || bT || bH || bP;
  } else if (EndsWith(sNumber, u"ろく") || EndsWith(sNumber, u"ひゃく")) {
    bGeminate = bK || bH || bP;
  }
  if (bGeminate) {
    sNumber.back() = u'っ';  // いち → いっ, じゅう → じゅっ
    if (bH) sCounter[0] = kPRow[kH.find(first)];
    return;
  }
  if (bH && (EndsWith(sNumber, u"さん") || EndsWith(sNumber, u"なん"))) {
    // 分, 泊, 発 and a lone 歩 take p; the others (本, 杯, 匹) b.
    const bool bPSound = first == u'フ' || sCounter == u"ホ" || sCounter == u"ハク" || sCounter == u"ハツ";
    sCounter[0] = (bPSound ? kPRow : kBRow)[kH.find(first)];
  }
}

}  // namespace

const Counter* CounterAtStart(std::u16string_view text) {
  const auto isLetter = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
  const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c; };
  for (const Counter& counter : kCounters) {
    const size_t n = counter.surface.size();
    if (text.size() < n) continue;
    // Units in Latin letters match in either case: the upper-case option runs first.
    bool bMatch = true;
    for (size_t i = 0; i < n && bMatch; ++i) bMatch = lower(text[i]) == counter.surface[i];
    if (!bMatch) continue;
    // A unit in Latin letters is one only when a word does not go on (5km, not 5kmh).
    if (isLetter(counter.surface[0]) && n < text.size() && isLetter(text[n])) continue;
    // 日曜, 月曜: a day of the week, not a counter.
    if (n < text.size() && text[n] == u'曜') continue;
    return &counter;
  }
  return nullptr;
}

void JoinNumberAndCounter(std::u16string& sNumber, std::u16string& sCounter, const Counter* counter) {
  if (sNumber.empty() || sCounter.empty()) return;
  if (!counter) {
    for (const Counter& entry : kCounters) {
      if (entry.said == sCounter) {
        counter = &entry;
        break;
      }
    }
  }
  if (counter) {
    for (const CounterSound& sound : counter->sounds) {
      if (sound.bWhole ? sNumber != sound.number : !EndsWith(sNumber, sound.number)) continue;
      sNumber.replace(sNumber.size() - sound.number.size(), sound.number.size(), sound.numberSaid);
      sCounter = sound.counterSaid;
      return;
    }
    if (counter->bPlain) return;
  }
  JoinByRow(sNumber, sCounter);
}

}  // namespace ekoto
