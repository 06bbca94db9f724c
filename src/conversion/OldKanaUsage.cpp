#include "conversion/OldKanaUsage.h"

#include <span>

namespace ekoto {
namespace {

// Stems (one kanji) of the verbs that end in ふ in the old usage and in う today
// (思ふ 思はない 思ひ 思へば → 思う 思わない 思い 思えば).
constexpr std::u16string_view kWaVerbStems =
    u"言云思問違使失笑払買会逢遭合歌習酔食喰争扱養救伴従向揃縫拾補添沿追負洗祝誘疑迷吸吹舞叶願囲貰奪覆漂慕"
    u"賄賑味構戦敬繕纏伺諂誓担貪紛装繋貫競厭乞請煩整匂狂倣被謂給賜候随繕擁払";
// Those of them that are also nouns taking the particle は (歌は, 味は): their は stays.
constexpr std::u16string_view kNounStems = u"会合歌戦味食舞匂";
// Stems of the verbs that end in へる in the old usage and える today (考へる → 考える).
constexpr std::u16string_view kEruVerbStems =
    u"考答教変加迎与唱訴数抑捕押栄衰震備支添揃整違仕替換称湛蓄伝堪耐終据植飢甘控訴鍛誂拵聳貯迎";
constexpr std::u16string_view kKanjiNumerals = u"一二三四五六七八九十幾";

// Spellings that today's usage never has.
constexpr std::u16string_view kSigns[] = {
    u"ゐ", u"ゑ", u"ヰ", u"ヱ", u"でせう", u"ませう", u"だらう", u"けふ", u"さう", u"やう", u"かうし", u"かうな",
    u"かうい", u"ちよつと", u"やつぱり", u"もつと", u"そつと", u"きつと", u"ずつと", u"ぢつと", u"じつと", u"やつと",
    u"ちよい", u"なかつた", u"よかつた", u"いづれ", u"まづ", u"もらは", u"しまは", u"おもは", u"つかは", u"ちがは",
    u"すつかり", u"しつかり", u"うつかり", u"がつかり", u"はつきり", u"すつきり", u"びつくり", u"ゆつくり",
};
// The stems of kEruVerbStems whose へ is a sign: those that are no nouns taking
// the particle へ (駅伝へ, 半数へ).
constexpr std::u16string_view kEruVerbSigns = u"考答教変与唱訴抑捕押栄衰震備支整蓄湛称堪耐据植拵聳貯誂";

bool IsKanji(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == u'々';
}
bool IsHiragana(char16_t c) { return c >= 0x3041 && c <= 0x309F; }
bool In(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }
bool IsWaVerbStem(char16_t c) { return In(kWaVerbStems, c); }

// Spellings replaced wherever they stand, longest first within each group.
struct Respelling {
  std::u16string_view sOld;
  std::u16string_view sNew;
  std::u16string_view sNotBefore = {};  // the respelling is skipped when one of these follows
};

// Respelled before the a-row + う rule would take their やう or はう for a long o:
// Sino-Japanese syllables with a large や (しやう 生, きやう 京), and verbs
// written in kana whose は is said わ (もらはう → もらおう).
constexpr Respelling kBeforeLongO[] = {
    {u"もらは", u"もらわ"}, {u"しまは", u"しまわ"}, {u"おもは", u"おもわ"}, {u"つかは", u"つかわ"}, {u"ちがは", u"ちがわ"},
    {u"きやう", u"きょう"}, {u"ぎやう", u"ぎょう"}, {u"しやう", u"しょう"}, {u"じやう", u"じょう"},
    {u"ちやう", u"ちょう"}, {u"ぢやう", u"じょう"}, {u"にやう", u"にょう"}, {u"ひやう", u"ひょう"},
    {u"びやう", u"びょう"}, {u"ぴやう", u"ぴょう"}, {u"みやう", u"みょう"}, {u"りやう", u"りょう"},
    {u"てふ", u"ちょう"},
};

constexpr Respelling kWords[] = {
    {u"でせう", u"でしょう"}, {u"ませう", u"ましょう"}, {u"けふ", u"きょう"},
    {u"いづれ", u"いずれ"}, {u"いづこ", u"いずこ"}, {u"まづ", u"まず"}, {u"づつ", u"ずつ"}, {u"ちよつと", u"ちょっと"}, {u"ちよい", u"ちょい"}, {u"ぢや", u"じゃ"}, {u"ぢゆ", u"じゅ"}, {u"ぢよ", u"じょ"},
    {u"ちや", u"ちゃ"}, {u"くわ", u"か"}, {u"ぐわ", u"が"},
    {u"ゐ", u"い"}, {u"ゑ", u"え"}, {u"ヰ", u"イ"}, {u"ヱ", u"エ"},
    {u"いはゆる", u"いわゆる"}, {u"いはば", u"いわば"}, {u"あひだ", u"あいだ"}, {u"いきほひ", u"いきおい"},
    {u"おほ", u"おお"}, {u"とほ", u"とお"}, {u"こほ", u"こお"}, {u"ほほ", u"ほお"}, {u"なほ", u"なお"},
    {u"かほ", u"かお"}, {u"しほ", u"しお"}, {u"まへ", u"まえ"}, {u"かんがへ", u"かんがえ"},
    {u"こたへ", u"こたえ"}, {u"おしへ", u"おしえ"}, {u"ゆふ", u"ゆう"}, {u"いふ", u"いう", u"く"},
    {u"おもふ", u"おもう"}, {u"おもひ", u"おもい"}, {u"しまふ", u"しまう"}, {u"しまひ", u"しまい"},
    {u"ちがふ", u"ちがう"}, {u"ちがひ", u"ちがい"}, {u"もらふ", u"もらう"}, {u"もらひ", u"もらい"},
    {u"かまは", u"かまわ"}, {u"かまふ", u"かまう"}, {u"つかふ", u"つかう"}, {u"たまふ", u"たまう"},
    // a small っ written large before k- and s-
    {u"すつかり", u"すっかり"}, {u"しつかり", u"しっかり"}, {u"うつかり", u"うっかり"},
    {u"がつかり", u"がっかり"}, {u"はつきり", u"はっきり"}, {u"すつきり", u"すっきり"},
    {u"びつくり", u"びっくり"}, {u"ゆつくり", u"ゆっくり"}, {u"につこり", u"にっこり"},
    {u"ひつそり", u"ひっそり"}, {u"まつくら", u"まっくら"}, {u"さつき", u"さっき"}, {u"こつそり", u"こっそり"},
};

std::u16string ApplyRespellings(std::u16string_view text, std::span<const Respelling> respellings) {
  std::u16string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size();) {
    bool bDone = false;
    for (const Respelling& r : respellings) {
      if (!text.substr(i).starts_with(r.sOld)) continue;
      const size_t next = i + r.sOld.size();
      if (next < text.size() && In(r.sNotBefore, text[next])) continue;
      out += r.sNew;
      i = next;
      bDone = true;
      break;
    }
    if (!bDone) out += text[i++];
  }
  return out;
}

// A-row kana + う said as a long o (さう → そう, だらう → だろう, 思はう → 思おう).
std::u16string RespellLongO(std::u16string_view text) {
  constexpr std::u16string_view kARow = u"かさたなまやらがざだばわ";
  constexpr std::u16string_view kORow = u"こそとのもよろごぞどぼお";
  std::u16string out(text);
  for (size_t i = 0; i + 1 < out.size(); ++i) {
    if (out[i + 1] != u'う') continue;
    const size_t a = kARow.find(out[i]);
    if (a != std::u16string_view::npos) {
      out[i] = kORow[a];
    } else if (out[i] == u'は') {
      out[i] = i > 0 && IsWaVerbStem(out[i - 1]) ? u'お' : u'ほ';
    }
  }
  return out;
}

// は, ひ, ふ, へ, ほ inside words, after a verb's stem.
std::u16string RespellHaRow(std::u16string_view text) {
  std::u16string out(text);
  for (size_t i = 1; i < out.size(); ++i) {
    const char16_t prev = out[i - 1];
    const char16_t next = i + 1 < out.size() ? out[i + 1] : u'\0';
    const bool bKanji = IsKanji(prev);
    switch (out[i]) {
      case u'は':
        if (IsWaVerbStem(prev) && !In(kNounStems, prev) && IsHiragana(next)) out[i] = u'わ';
        break;
      case u'ひ':
        // 思ひ; 互ひに, 幸ひの: a kanji's kana ending before a particle
        if (IsWaVerbStem(prev) || (bKanji && In(u"にのもがをは、。", next))) out[i] = u'い';
        break;
      case u'ふ':
        // 思ふ, 向かふ; a kanji + ふと is the adverb (時ふと).
        if (IsWaVerbStem(prev) || (i >= 2 && IsKanji(out[i - 2]) && In(u"かがさたなまらわ", prev)) ||
            (bKanji && (!IsHiragana(next) || In(u"のかにもやよがべまでしはをけ", next)))) {
          out[i] = u'う';
        }
        break;
      case u'へ':
        if (IsWaVerbStem(prev) || In(kEruVerbStems, prev) || (bKanji && In(u"るれらろたてまなずぬよさば", next))) {
          out[i] = u'え';
        }
        break;
      case u'ほ':
        if (IsWaVerbStem(prev)) out[i] = u'お';
        break;
      default:
        break;
    }
  }
  return out;
}

// A large つ before t- and p- said as a small っ (行つた, もつと, やつぱり).
std::u16string RespellSmallTsu(std::u16string_view text) {
  std::u16string out(text);
  for (size_t i = 1; i + 1 < out.size(); ++i) {
    if (out[i] != u'つ' || !In(u"たてちとぱぴぷぺぽ", out[i + 1])) continue;
    const char16_t prev = out[i - 1];
    if (!(IsKanji(prev) || IsHiragana(prev)) || In(kKanjiNumerals, prev)) continue;
    // ひとつと, いつとなく, かつて: a つ of the word itself.
    if (out[i + 1] == u'と' && In(u"とみよいむ", prev)) continue;
    if (out[i + 1] == u'て' && prev == u'か' && (i < 2 || !IsHiragana(out[i - 2]))) continue;
    out[i] = u'っ';
  }
  return out;
}

}  // namespace

bool IsOldKanaParagraph(std::u16string_view p) {
  for (std::u16string_view sign : kSigns) {
    if (p.find(sign) != std::u16string_view::npos) return true;
  }
  for (size_t i = 1; i + 1 < p.size(); ++i) {
    const char16_t prev = p[i - 1];
    const char16_t next = p[i + 1];
    // なつて, あつた, 向かつた (not かつて, につたえる)
    if (p[i] == u'つ' && IsHiragana(prev) && (i + 2 >= p.size() || p[i + 2] != u'え') &&
        (next == u'た' || (next == u'て' && In(u"なあいだしまらやわ", prev)))) {
      return true;
    }
    // 向かふ, 扱ふ after a kanji and one kana
    if (p[i] == u'ふ' && i >= 2 && IsKanji(p[i - 2]) && In(u"かがさたなまらわ", prev) &&
        (!IsHiragana(next) || In(u"のかにもやよがべまでしはをけ", next))) {
      return true;
    }
    if (!IsKanji(prev)) continue;
    switch (p[i]) {
      case u'つ':
        if ((next == u'た' || next == u'て') && !In(kKanjiNumerals, prev)) return true;
        break;
      case u'ふ':
        if (IsWaVerbStem(prev) || In(u"。、」』）！？…―", next)) return true;
        break;
      case u'は':
        if (IsWaVerbStem(prev) && !In(kNounStems, prev) && In(u"れずぬなう", next)) return true;
        break;
      case u'ひ':
        if (IsWaVerbStem(prev) && next != u'と') return true;
        break;
      case u'へ':
        if (In(kEruVerbSigns, prev) || next == u'る' || (IsWaVerbStem(prev) && In(u"ばなたてず", next))) return true;
        break;
      case u'か': case u'が': case u'さ': case u'た': case u'ば': case u'ま':
        // 書かう, 飲まう (向かう and 住まう are today's spelling)
        if (next == u'う' && prev != u'向' && prev != u'住') return true;
        break;
      default:
        break;
    }
  }
  return false;
}

std::u16string ModernKanaSpelling(std::u16string_view text) {
  std::u16string s = ApplyRespellings(text, kBeforeLongO);
  s = RespellLongO(s);
  s = ApplyRespellings(s, kWords);
  s = RespellHaRow(s);
  return RespellSmallTsu(s);
}

}  // namespace ekoto
