// Conversion template: parsing the file and applying the replacements with
// case-free matching.
#include "conversion/ConvTemplete.h"

#include <unicode/stringoptions.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

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

void AddLine(std::u16string_view line, std::vector<TempleteEntry>& entries) {
  const size_t nFirst = line.find_first_not_of(u' ');
  if (nFirst == std::u16string_view::npos) return;  // empty, or spaces only (no tab)
  if (line.substr(nFirst).starts_with(u"//")) return;
  const size_t nTab = line.find(u'\t');
  // A line without a tab has no meaning; an empty text to find would change nothing.
  if (nTab == std::u16string_view::npos || nTab == 0) return;
  TempleteEntry entry{std::u16string(line.substr(0, nTab)), {}};
  for (const char16_t c : line.substr(nTab + 1)) {
    if (c != u'\t') entry.sTo += c;
  }
  entries.push_back(std::move(entry));
}

}  // namespace

bool CConvTemplete::Load(const std::u16string& path) {
  std::u16string text;
  if (path.empty() || !CFile().ReadFile(path, text)) return false;
  LoadFromText(text);
  return true;
}

void CConvTemplete::LoadFromText(const std::u16string& text) {
  std::vector<TempleteEntry> entries;
  const std::u16string_view all(text);
  size_t i = 0;
  while (i < all.size()) {
    size_t nEnd = all.find(u'\n', i);
    const size_t nNext = nEnd == std::u16string_view::npos ? all.size() : nEnd + 1;
    if (nEnd == std::u16string_view::npos) nEnd = all.size();
    else if (nEnd > i && all[nEnd - 1] == u'\r') --nEnd;  // CR LF
    AddLine(all.substr(i, nEnd - i), entries);
    i = nNext;
  }
  std::stable_sort(entries.begin(), entries.end(), [](const TempleteEntry& a, const TempleteEntry& b) {
    return a.sFrom.size() > b.sFrom.size();
  });
  m_folded.clear();
  m_nReplacementUnits = 0;
  for (const TempleteEntry& entry : entries) {
    m_nReplacementUnits += entry.sTo.size();
    FoldedText to = Fold(entry.sTo);
    m_folded.push_back({Fold(entry.sFrom).s, std::move(to.s), to.bSameLength});
  }
  m_entries = std::move(entries);
}

std::u16string CConvTemplete::Apply(const std::u16string& text) const {
  // Positions in the fold are kept in 32 bits.
  if (m_entries.empty() || text.size() >= std::numeric_limits<uint32_t>::max()) return text;
  const size_t nMaxLength = MaxResultLength(text.size());
  std::u16string cur = text;
  FoldedText folded = Fold(cur);
  // Kept across entries and swapped with cur and folded.s, so their memory is reused.
  std::u16string next;
  std::u16string nextFold;
  for (size_t k = 0; k < m_entries.size(); ++k) {
    const FoldedEntry& entry = m_folded[k];
    // While no fold changes length, the fold of the result is pieced together
    // like the result itself instead of being folded again.
    const bool bPieceFold = folded.bSameLength && entry.bToSameLength;
    size_t nCopied = 0;  // original text before this position is already in next
    bool bReplaced = false;
    size_t nFrom = 0;
    for (size_t nPos; (nPos = folded.s.find(entry.sFrom, nFrom)) != std::u16string::npos;) {
      const size_t nEnd = nPos + entry.sFrom.size();
      if (!folded.IsCharBoundary(cur, nPos) || !folded.IsCharBoundary(cur, nEnd)) {
        nFrom = nPos + 1;  // the match would cut a character in two
        continue;
      }
      if (!bReplaced) {
        next.clear();
        nextFold.clear();
        bReplaced = true;
      }
      const size_t nOrigin = folded.OriginOf(nPos);
      next.append(cur, nCopied, nOrigin - nCopied);
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
    if (bPieceFold) {
      nextFold.append(folded.s, nCopied);
      folded.s.swap(nextFold);
    } else {
      folded = Fold(cur);
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

std::u16string ConvTemplete(const std::u16string& text) { return ProcessTable().Apply(text); }

}  // namespace ekoto
