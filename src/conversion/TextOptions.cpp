// Upper case through ICU's case mapping; narrowing through ICU's
// Fullwidth-Halfwidth transliterator restricted to the forms we narrow.
#include "conversion/TextOptions.h"

#include <unicode/translit.h>
#include <unicode/uniset.h>
#include <unicode/ustring.h>

#include <memory>
#include <vector>

namespace ekoto {

namespace {

// The characters narrowed. Katakana, ー (U+30FC), the combining voicing marks and
// Hangul jamo are left out on purpose, and so are the arrows and shapes the
// transliterator would also narrow (→ ■ ○ │), which the analyser reads only wide.
constexpr char16_t kNarrowedSet[] = u"[\\u3000-\\u3002\\u300C\\u300D\\u30FB\\uFF01-\\uFF5E\\uFFE0-\\uFFE6]";

// Narrow form of every BMP unit, 0 where the unit stays. Every character of the
// set maps to exactly one character without regard to its neighbours, so the
// transliterator is asked once per character of the set and its answers are
// kept: narrowing megabytes then costs one table look-up per unit.
class NarrowTable {
 public:
  NarrowTable() : m_narrow(0x10000, u'\0') {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> trans(
        icu::Transliterator::createInstance("Fullwidth-Halfwidth", UTRANS_FORWARD, status));
    icu::UnicodeSet set(icu::UnicodeString(kNarrowedSet), status);
    if (U_FAILURE(status) || !trans) return;  // no ICU data: narrowing changes nothing
    for (int32_t r = 0; r < set.getRangeCount(); ++r) {
      for (UChar32 c = set.getRangeStart(r); c <= set.getRangeEnd(r); ++c) {
        icu::UnicodeString s(c);
        trans->transliterate(s);
        if (s.length() == 1 && s[0] != c) m_narrow[c] = s[0];
      }
    }
  }

  char16_t Narrow(char16_t c) const { return m_narrow[c]; }

 private:
  std::vector<char16_t> m_narrow;
};

const NarrowTable& GetNarrowTable() {
  static const NarrowTable table;
  return table;
}

}  // namespace

std::u16string ToUpperCaseText(const std::u16string& text) {
  if (text.empty()) return text;
  // Most texts keep their length; the rare growth (ß→SS) is asked for again.
  std::u16string out(text.size() + 16, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = u_strToUpper(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                           reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                           "", &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<size_t>(n), u'\0');
    status = U_ZERO_ERROR;
    n = u_strToUpper(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                     reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()), "",
                     &status);
  }
  if (U_FAILURE(status)) return text;
  out.resize(static_cast<size_t>(n));
  return out;
}

std::u16string NarrowText(const std::u16string& text) {
  const NarrowTable& table = GetNarrowTable();
  std::u16string out(text);
  for (char16_t& c : out) {
    // Nothing below the ideographic space narrows: skip the table for ASCII and Latin.
    if (c < u'\u3000') continue;
    if (const char16_t n = table.Narrow(c)) c = n;
  }
  return out;
}

}  // namespace ekoto
