// Conversion template: parsing the file and applying the replacements with
// case-free matching.
#include "conversion/ConvTemplete.h"

#include <unicode/stringoptions.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

#include "conversion/WordBounds.h"
#include "util/CFile.h"

namespace ekoto {

namespace {

// Full case folding of every BMP unit that folds to one unit; kAskIcu where
// the fold grows (ß → ss) and for surrogates. Built once: folding then costs
// one look-up per unit instead of one ICU call.
constexpr char16_t kAskIcu = 0xFFFF;

class BmpFoldTable {
 public:
  BmpFoldTable() : m_fold(0x10000, kAskIcu) {
    for (UChar32 c = 0; c < 0x10000; ++c) {
      if (U16_IS_SURROGATE(c)) continue;
      const UChar src = static_cast<UChar>(c);
      UChar dest[8];
      UErrorCode status = U_ZERO_ERROR;
      const int32_t n = u_strFoldCase(dest, 8, &src, 1, U_FOLD_CASE_DEFAULT, &status);
      if (U_SUCCESS(status) && n == 1) m_fold[c] = dest[0];
    }
  }
  char16_t Fold(char16_t c) const { return m_fold[c]; }

 private:
  std::vector<char16_t> m_fold;
};

const BmpFoldTable& GetFoldTable() {
  static const BmpFoldTable table;
  return table;
}

// Case-folded copy of a text. Folding can change lengths (ß → ss), so while it
// has, origin holds for every folded unit the position in the original text of
// the character it came from; a match found in the fold is mapped back through
// it and counts only when it starts and ends on whole characters. Texts whose
// characters all keep their length (nearly all) need no map.
struct FoldedText {
  std::u16string s;
  bool bSameLength = true;
  std::vector<uint32_t> origin;  // unless bSameLength: s.size() + 1 entries, the last the text's length

  size_t OriginOf(size_t i) const { return bSameLength ? i : origin[i]; }

  // original is the text this is the fold of.
  bool IsCharBoundary(std::u16string_view original, size_t i) const {
    if (i == 0 || i == s.size()) return true;
    if (bSameLength) return !(U16_IS_TRAIL(original[i]) && U16_IS_LEAD(original[i - 1]));
    return origin[i] != origin[i - 1];
  }
};

// Folds the character at text[i] that the table cannot, advancing i past it;
// returns the number of units written to dest.
constexpr size_t kMaxFoldUnits = 16;
size_t FoldCharWithIcu(std::u16string_view text, size_t& i, char16_t* dest) {
  const size_t nStart = i;
  U16_FWD_1(text.data(), i, text.size());
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = u_strFoldCase(reinterpret_cast<UChar*>(dest), kMaxFoldUnits,
                                  reinterpret_cast<const UChar*>(text.data() + nStart),
                                  static_cast<int32_t>(i - nStart), U_FOLD_CASE_DEFAULT, &status);
  if (U_SUCCESS(status)) return static_cast<size_t>(n);
  std::copy(text.data() + nStart, text.data() + i, dest);  // keep the character as it is
  return i - nStart;
}

FoldedText Fold(std::u16string_view text) {
  const BmpFoldTable& table = GetFoldTable();
  FoldedText f;
  // Room for the rest of the text is kept at every step; it grows only when a fold grows.
  f.s.resize(text.size());
  size_t o = 0;  // units written
  size_t i = 0;
  while (i < text.size()) {
    const char16_t folded = table.Fold(text[i]);
    if (folded != kAskIcu) {
      if (!f.bSameLength) f.origin.push_back(static_cast<uint32_t>(i));
      f.s[o++] = folded;
      ++i;
      continue;
    }
    const size_t nStart = i;
    char16_t dest[kMaxFoldUnits];
    const size_t n = FoldCharWithIcu(text, i, dest);
    if (f.bSameLength && n != i - nStart) {  // the first change of length: map what came before
      f.bSameLength = false;
      f.origin.reserve(text.size() + n + 1);
      for (uint32_t k = 0; k < o; ++k) f.origin.push_back(k);
    }
    if (!f.bSameLength) f.origin.insert(f.origin.end(), n, static_cast<uint32_t>(nStart));
    if (n > i - nStart) f.s.resize(f.s.size() + n - (i - nStart));
    std::copy(dest, dest + n, f.s.data() + o);
    o += n;
  }
  f.s.resize(o);
  if (!f.bSameLength) f.origin.push_back(static_cast<uint32_t>(text.size()));
  return f;
}

}  // namespace

bool CConvTemplete::Load(const std::u16string& path) {
  std::u16string text;
  if (path.empty() || !CFile().ReadFile(path, text)) return false;
  LoadFromText(text);
  return true;
}

void CConvTemplete::LoadFromText(const std::u16string& text) { LoadEntries(ParseTempleteEntries(text)); }

void CConvTemplete::LoadEntries(std::vector<TempleteEntry> entries) {
  for (TempleteEntry& entry : entries) {
    if (entry.bDictionary) entry = EntryForReading(entry);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const TempleteEntry& a, const TempleteEntry& b) {
    return a.sFrom.size() > b.sFrom.size();
  });
  m_folded.clear();
  m_folded.reserve(entries.size());
  m_nReplacementUnits = 0;
  for (const TempleteEntry& entry : entries) {
    m_nReplacementUnits += entry.sTo.size();
    FoldedText to = Fold(entry.sTo);
    m_folded.push_back({Fold(entry.sFrom).s, std::move(to.s), to.bSameLength});
  }
  m_matcher.Build(m_folded.size(), [this](size_t i) -> const std::u16string& { return m_folded[i].sFrom; });
  m_entries = std::move(entries);
  static const std::u16string kNoKey;
  m_accentMatcher.Build(m_entries.size(), [this](size_t i) -> const std::u16string& {
    return m_entries[i].sAccent.empty() ? kNoKey : m_entries[i].sTo;
  });
}

std::vector<size_t> CConvTemplete::AccentedEntriesIn(std::u16string_view text) const {
  std::vector<uint32_t> found;
  m_accentMatcher.FindIn(text, 0, text.size(), found);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return {found.begin(), found.end()};
}

std::vector<size_t> CConvTemplete::EntriesIn(std::u16string_view text) const {
  const FoldedText folded = Fold(text);
  std::vector<uint32_t> found;
  m_matcher.FindIn(folded.s, 0, folded.s.size(), found);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return {found.begin(), found.end()};
}

std::u16string CConvTemplete::Apply(const std::u16string& text) const { return ApplyEntries(text, false); }

std::u16string CConvTemplete::ApplyTryingEveryEntry(const std::u16string& text) const {
  return ApplyEntries(text, true);
}

std::u16string CConvTemplete::ApplyEntries(const std::u16string& text, bool bEveryEntry) const {
  // Positions in the fold are kept in 32 bits.
  if (m_entries.empty() || text.size() >= std::numeric_limits<uint32_t>::max()) return text;
  const size_t nMaxLength = MaxResultLength(text.size());
  std::u16string cur = text;
  FoldedText folded = Fold(cur);
  IWordBounds& words = m_pWordBounds ? *m_pWordBounds : MecabWordBounds();

  // The entries still to try, smallest index first. A text changes only where
  // an entry replaced something, so after each change only the stretches
  // around the replacements are searched again for entries further down.
  std::vector<uint32_t> pending;  // a heap, smallest on top
  if (!bEveryEntry) {
    m_matcher.FindIn(folded.s, 0, folded.s.size(), pending);
    std::sort(pending.begin(), pending.end());
  }
  uint32_t nNextEvery = 0;  // trying every entry: the next one
  const auto takeNext = [&](uint32_t& k) {
    if (bEveryEntry) {
      k = nNextEvery++;
      return k < m_entries.size();
    }
    if (pending.empty()) return false;
    std::pop_heap(pending.begin(), pending.end(), std::greater<>());
    k = pending.back();
    pending.pop_back();
    return true;
  };
  const size_t nReach = m_matcher.LongestKey() > 0 ? m_matcher.LongestKey() - 1 : 0;
  std::vector<uint32_t> found;
  // Stretches of next to search again: every replacement widened by nReach
  // on both sides, overlapping ones joined.
  std::vector<std::pair<size_t, size_t>> windows;

  // Kept across entries and swapped with cur and folded.s, so their memory is reused.
  std::u16string next;
  std::u16string nextFold;
  uint32_t k = 0;
  for (uint32_t nLast = UINT32_MAX; takeNext(k);) {
    if (k == nLast) continue;  // found more than once
    nLast = k;
    const FoldedEntry& entry = m_folded[k];
    // While no fold changes length, the fold of the result is pieced together
    // like the result itself instead of being folded again.
    const bool bPieceFold = folded.bSameLength && entry.bToSameLength;
    size_t nCopied = 0;  // original text before this position is already in next
    bool bReplaced = false;
    size_t nFrom = 0;
    windows.clear();
    for (size_t nPos; (nPos = folded.s.find(entry.sFrom, nFrom)) != std::u16string::npos;) {
      const size_t nEnd = nPos + entry.sFrom.size();
      if (!folded.IsCharBoundary(cur, nPos) || !folded.IsCharBoundary(cur, nEnd)) {
        nFrom = nPos + 1;  // the match would cut a character in two
        continue;
      }
      const size_t nOrigin = folded.OriginOf(nPos);
      if (m_entries[k].bWholeWord && !words.IsWholeWords(cur, nOrigin, folded.OriginOf(nEnd))) {
        nFrom = nPos + 1;
        continue;
      }
      if (!bReplaced) {
        next.clear();
        nextFold.clear();
        bReplaced = true;
      }
      next.append(cur, nCopied, nOrigin - nCopied);
      const size_t nWindowStart = next.size() > nReach ? next.size() - nReach : 0;
      const size_t nWindowEnd = next.size() + m_entries[k].sTo.size() + nReach;
      if (!windows.empty() && nWindowStart <= windows.back().second) windows.back().second = nWindowEnd;
      else windows.emplace_back(nWindowStart, nWindowEnd);
      next += m_entries[k].sTo;
      if (bPieceFold) {
        nextFold.append(folded.s, nCopied, nOrigin - nCopied);
        nextFold += entry.sTo;
      }
      nCopied = folded.OriginOf(nEnd);
      nFrom = nEnd;
      if (next.size() > nMaxLength) break;
    }
    if (!bReplaced) continue;
    next.append(cur, nCopied);
    if (next.size() > nMaxLength) continue;  // the entry is skipped
    cur.swap(next);
    if (k + 1 == m_entries.size()) break;
    found.clear();
    if (bPieceFold) {
      nextFold.append(folded.s, nCopied);
      folded.s.swap(nextFold);
      if (bEveryEntry) continue;
      // A new occurrence overlaps a replacement: it lies within a window.
      for (const auto& [nBegin, nUntil] : windows) m_matcher.FindIn(folded.s, nBegin, std::min(nUntil, folded.s.size()), found);
    } else {
      folded = Fold(cur);
      if (bEveryEntry) continue;
      m_matcher.FindIn(folded.s, 0, folded.s.size(), found);
    }
    for (const uint32_t j : found) {
      if (j <= k) continue;
      pending.push_back(j);
      std::push_heap(pending.begin(), pending.end(), std::greater<>());
    }
  }
  return cur;
}

namespace {

CConvTemplete& ProcessTable() {
  static CConvTemplete table;
  return table;
}

}  // namespace

void LoadConvTemplete(const std::u16string& path) { ProcessTable().Load(path); }

const CConvTemplete& ConvTempleteTable() { return ProcessTable(); }

std::u16string ConvTemplete(const std::u16string& text) { return ProcessTable().Apply(text); }

}  // namespace ekoto
