#include "conversion/AccentJoinTable.h"

#include <array>
#include <string>
#include <string_view>

namespace ekoto {
namespace {

// One decision: a word of class sWord after a word of class sPrev joins its
// phrase or not. A class is "part of speech,subclass", with ",word" added for
// particles and auxiliaries in the finer rows. cFallen: '1' when the phrase so
// far has its nucleus, '0' when it is flat, '*' either; cAccented likewise for
// the dictionary's accent of the word itself.
struct JoinRow {
  std::u16string_view sPrev;
  std::u16string_view sWord;
  char16_t cFallen;
  char16_t cAccented;
  bool bJoins;
};

// Made by tools/learn_accent_joins.py from the even-numbered sentences of the
// annotated JSUT set (accent_dev.tsv), with the table empty: a row is kept
// where deciding its pairs one way is right at least 3 times more often than
// the rules and in at least 60 % of them. Finer rows come first; the first row
// that matches decides.
constexpr std::array kRows = {
    JoinRow{u"副詞,*", u"名詞,一般", u'1', u'1', true},  // 5 pairs: rules 1 right, row 4
    JoinRow{u"助動詞,*,で", u"助動詞,*,あっ", u'1', u'1', false},  // 7 pairs: rules 4 right, row 7
    JoinRow{u"助動詞,*,な", u"名詞,非自立", u'1', u'1', false},  // 6 pairs: rules 1 right, row 5
    JoinRow{u"名詞,サ変接続", u"形容詞,自立", u'0', u'1', true},  // 3 pairs: rules 0 right, row 3
    JoinRow{u"名詞,一般", u"名詞,一般", u'0', u'1', true},  // 102 pairs: rules 80 right, row 83
    JoinRow{u"名詞,一般", u"形容詞,自立", u'0', u'1', true},  // 4 pairs: rules 0 right, row 4
    JoinRow{u"名詞,形容動詞語幹", u"名詞,サ変接続", u'0', u'0', true},  // 4 pairs: rules 0 right, row 4
    JoinRow{u"名詞,接尾", u"名詞,一般", u'0', u'1', true},  // 10 pairs: rules 4 right, row 7
    JoinRow{u"名詞,接尾", u"名詞,一般", u'1', u'1', true},  // 11 pairs: rules 4 right, row 7
    JoinRow{u"名詞,接尾", u"名詞,副詞可能", u'1', u'1', true},  // 4 pairs: rules 0 right, row 4
    JoinRow{u"形容詞,自立", u"形容詞,自立", u'1', u'1', false},  // 4 pairs: rules 0 right, row 4
    JoinRow{u"助詞,接続助詞,て", u"形容詞,非自立", u'*', u'*', false},  // 4 pairs: rules 0 right, row 4
    JoinRow{u"名詞,サ変接続", u"名詞,副詞可能", u'*', u'*', true},  // 5 pairs: rules 1 right, row 4
    JoinRow{u"名詞,固有名詞", u"名詞,一般", u'*', u'*', true},  // 35 pairs: rules 20 right, row 26
    JoinRow{u"名詞,形容動詞語幹", u"名詞,一般", u'*', u'*', true},  // 5 pairs: rules 0 right, row 5
    JoinRow{u"名詞,接尾", u"名詞,一般", u'*', u'*', true},  // 7 pairs: rules 2 right, row 5
    JoinRow{u"助詞,格助詞", u"助動詞,*", u'*', u'*', false},  // 3 pairs: rules 0 right, row 3
};

std::u16string ClassOf(const AccentWord& w) {
  return w.sPartOfSpeech + u',' + (w.sSubclass1.empty() ? std::u16string(u"*") : w.sSubclass1);
}

bool IsFunctionWord(const AccentWord& w) { return w.sPartOfSpeech == u"助詞" || w.sPartOfSpeech == u"助動詞"; }

bool Matches(std::u16string_view sRow, const std::u16string& sClass, const AccentWord& w) {
  if (sRow == sClass) return true;
  return IsFunctionWord(w) && sRow.size() == sClass.size() + 1 + w.sSurface.size() && sRow.starts_with(sClass) &&
         sRow[sClass.size()] == u',' && sRow.ends_with(w.sSurface);
}

bool MatchesFlag(char16_t cRow, bool bValue) { return cRow == u'*' || (cRow == u'1') == bValue; }

}  // namespace

std::optional<bool> LearnedJoin(const AccentWord& prev, const AccentWord& word, bool bPhraseFallen) {
  const std::u16string sPrev = ClassOf(prev);
  const std::u16string sWord = ClassOf(word);
  for (const JoinRow& row : kRows) {
    if (MatchesFlag(row.cFallen, bPhraseFallen) && MatchesFlag(row.cAccented, word.nAccent != 0) &&
        Matches(row.sPrev, sPrev, prev) && Matches(row.sWord, sWord, word)) {
      return row.bJoins;
    }
  }
  return std::nullopt;
}

}  // namespace ekoto
