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

// Case-folded copy of a text, with for every folded unit the position in the
// original text of the character it came from. Folding can change lengths, so
// a match found in the fold is mapped back through origin; it counts only when
// it starts and ends on whole characters.
struct FoldedText {
  std::u16string s;
  std::vector<uint32_t> origin;  // s.size() + 1 entries; the last is the text's length

  bool IsCharBoundary(size_t i) const { return i == 0 || i == s.size() || origin[i] != origin[i - 1]; }
};

FoldedText Fold(std::u16string_view text) {
  const BmpFoldTable& table = GetFoldTable();
  FoldedText f;
  f.s.reserve(text.size());
  f.origin.reserve(text.size() + 1);
  size_t i = 0;
  while (i < text.size()) {
    const uint32_t nStart = static_cast<uint32_t>(i);
    const char16_t folded = table.Fold(text[i]);
    if (folded != kAskIcu) {
      f.s += folded;
      f.origin.push_back(nStart);
      ++i;
      continue;
    }
    // A supplementary character, a lone surrogate, or a fold that grows.
    U16_FWD_1(text.data(), i, text.size());
    const size_t nLen = i - nStart;
    UChar dest[16];
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = u_strFoldCase(dest, 16, reinterpret_cast<const UChar*>(text.data() + nStart),
                              static_cast<int32_t>(nLen), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status)) {  // keep the character as it is
      std::copy(text.data() + nStart, text.data() + i, dest);
      n = static_cast<int32_t>(nLen);
    }
    f.s.append(reinterpret_cast<const char16_t*>(dest), static_cast<size_t>(n));
    f.origin.insert(f.origin.end(), static_cast<size_t>(n), nStart);
  }
  f.origin.push_back(static_cast<uint32_t>(text.size()));
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
  m_foldedFrom.clear();
  for (const TempleteEntry& entry : entries) m_foldedFrom.push_back(Fold(entry.sFrom).s);
  m_entries = std::move(entries);
}

std::u16string CConvTemplete::Apply(const std::u16string& text) const {
  // Positions in the fold are kept in 32 bits.
  if (m_entries.empty() || text.size() >= std::numeric_limits<uint32_t>::max()) return text;
  std::u16string cur = text;
  FoldedText folded = Fold(cur);
  for (size_t k = 0; k < m_entries.size(); ++k) {
    const std::u16string& key = m_foldedFrom[k];
    std::u16string next;
    size_t nCopied = 0;  // original text before this position is already in next
    bool bReplaced = false;
    size_t nFrom = 0;
    for (size_t nPos; (nPos = folded.s.find(key, nFrom)) != std::u16string::npos;) {
      const size_t nEnd = nPos + key.size();
      if (!folded.IsCharBoundary(nPos) || !folded.IsCharBoundary(nEnd)) {
        nFrom = nPos + 1;  // the match would cut a character in two
        continue;
      }
      if (!bReplaced) next.reserve(cur.size() + m_entries[k].sTo.size());
      bReplaced = true;
      next.append(cur, nCopied, folded.origin[nPos] - nCopied);
      next += m_entries[k].sTo;
      nCopied = folded.origin[nEnd];
      nFrom = nEnd;
    }
    if (!bReplaced) continue;
    next.append(cur, nCopied);
    cur = std::move(next);
    if (k + 1 < m_entries.size()) folded = Fold(cur);
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
