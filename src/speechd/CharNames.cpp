#include "speechd/CharNames.h"

#include <array>

namespace ekoto {
namespace {

constexpr std::array<std::u16string_view, 26> kLetters = {
    u"エー", u"ビー", u"シー", u"ディー", u"イー", u"エフ", u"ジー", u"エイチ", u"アイ",
    u"ジェー", u"ケー", u"エル", u"エム", u"エヌ", u"オー", u"ピー", u"キュー", u"アール",
    u"エス", u"ティー", u"ユー", u"ブイ", u"ダブリュー", u"エックス", u"ワイ", u"ゼット"};
constexpr std::array<std::u16string_view, 10> kDigits = {u"ゼロ", u"いち", u"に",  u"さん",  u"よん",
                                                         u"ご",   u"ろく", u"なな", u"はち", u"きゅう"};

struct Named {
  char16_t c;
  std::u16string_view name;
};
constexpr Named kPunctuation[] = {
    {u' ', u"スペース"},          {u'\u3000', u"ぜんかくスペース"}, {u'\t', u"タブ"},
    {u'\n', u"かいぎょう"},        {u'。', u"まる"},                 {u'、', u"てん"},
    {u'｡', u"まる"},              {u'､', u"てん"},                  {u',', u"カンマ"},
    {u'.', u"ピリオド"},          {u'!', u"びっくりマーク"},        {u'?', u"はてな"},
    {u':', u"コロン"},            {u';', u"セミコロン"},            {u'(', u"かっこ"},
    {u')', u"かっことじ"},        {u'「', u"かぎかっこ"},           {u'」', u"かぎかっことじ"},
    {u'『', u"にじゅうかぎかっこ"}, {u'』', u"にじゅうかぎかっことじ"}, {u'[', u"だいかっこ"},
    {u']', u"だいかっことじ"},    {u'{', u"ちゅうかっこ"},          {u'}', u"ちゅうかっことじ"},
    {u'<', u"しょうなり"},        {u'>', u"だいなり"},              {u'\'', u"アポストロフィ"},
    {u'"', u"ダブルクオート"},     {u'-', u"ハイフン"},              {u'_', u"アンダーバー"},
    {u'/', u"スラッシュ"},        {u'\\', u"バックスラッシュ"},      {u'@', u"アットマーク"},
    {u'#', u"シャープ"},          {u'$', u"ドル"},                  {u'%', u"パーセント"},
    {u'&', u"アンド"},            {u'*', u"アスタリスク"},          {u'+', u"プラス"},
    {u'=', u"イコール"},          {u'~', u"チルダ"},                {u'^', u"キャレット"},
    {u'|', u"たてぼう"},          {u'`', u"バッククオート"},         {u'・', u"なかぐろ"},
    {u'ー', u"ちょうおん"},        {u'〜', u"なみせん"},             {u'￥', u"えん"},
};

struct Key {
  std::u16string_view key;
  std::u16string_view name;
};
constexpr Key kKeys[] = {
    {u"space", u"スペース"},           {u"enter", u"エンター"},          {u"return", u"エンター"},
    {u"tab", u"タブ"},                 {u"escape", u"エスケープ"},       {u"backspace", u"バックスペース"},
    {u"delete", u"デリート"},          {u"insert", u"インサート"},       {u"home", u"ホーム"},
    {u"end", u"エンド"},               {u"prior", u"ページアップ"},      {u"page-up", u"ページアップ"},
    {u"next", u"ページダウン"},        {u"page-down", u"ページダウン"},  {u"up", u"うえ"},
    {u"down", u"した"},                {u"left", u"ひだり"},             {u"right", u"みぎ"},
    {u"shift", u"シフト"},             {u"control", u"コントロール"},    {u"alt", u"オルト"},
    {u"meta", u"メタ"},                {u"super", u"スーパー"},          {u"hyper", u"ハイパー"},
    {u"window", u"ウィンドウズ"},      {u"menu", u"メニュー"},           {u"caps-lock", u"キャプスロック"},
    {u"num-lock", u"ナムロック"},      {u"scroll-lock", u"スクロールロック"}, {u"pause", u"ポーズ"},
    {u"break", u"ブレーク"},           {u"print", u"プリントスクリーン"}, {u"underscore", u"アンダーバー"},
    {u"double-quote", u"ダブルクオート"}, {u"kp-enter", u"テンキーエンター"},
};

// Full-width forms of ASCII (U+FF01 to U+FF5E) named as their ASCII twins.
char16_t Narrow(char16_t c) { return c >= 0xFF01 && c <= 0xFF5E ? static_cast<char16_t>(c - 0xFEE0) : c; }

// The words for one key without modifiers.
std::u16string SingleKeyName(std::u16string_view key) {
  for (const Key& k : kKeys) {
    if (k.key == key) return std::u16string(k.name);
  }
  if (key.size() >= 2 && key.size() <= 3 && key[0] == u'f' && key[1] >= u'1' && key[1] <= u'9') {
    return u"エフ" + std::u16string(key.substr(1));
  }
  if (key.starts_with(u"kp-") && key.size() > 3) return u"テンキー" + CharName(key.substr(3));
  return CharName(key);
}

}  // namespace

std::u16string CharName(std::u16string_view c) {
  if (c.size() != 1) return std::u16string(c);
  const char16_t n = Narrow(c[0]);
  if (n >= u'A' && n <= u'Z') return std::u16string(kLetters[n - u'A']);
  if (n >= u'a' && n <= u'z') return std::u16string(kLetters[n - u'a']);
  if (n >= u'0' && n <= u'9') return std::u16string(kDigits[n - u'0']);
  for (const Named& p : kPunctuation) {
    if (p.c == n || p.c == c[0]) return std::u16string(p.name);
  }
  return std::u16string(c);
}

std::u16string KeyName(std::u16string_view key) {
  // Modifiers come first, joined by "_": "shift_a", "control_alt_delete". A
  // "_" at either end of what is left is a name itself ("_", "shift__").
  std::u16string out;
  for (size_t join = key.find(u'_'); join != std::u16string_view::npos && join > 0 && join + 1 < key.size();
       join = key.find(u'_')) {
    out += SingleKeyName(key.substr(0, join)) + u" ";
    key.remove_prefix(join + 1);
  }
  return out + SingleKeyName(key);
}

}  // namespace ekoto
