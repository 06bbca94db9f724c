// The text of HTML and XHTML documents as the text box shows it: block elements
// (p, div, headings, list items, table rows, ...) on lines of their own, <br> a
// line break, runs of white space one space (none for a line break between
// two Japanese characters), <pre> as written; script, style,
// head and the like left out; <ruby>base<rt>ruby</rt></ruby> as the notation
// ｜base《ruby》 that the reading chain reads (<rp> dropped; several base/ruby
// pairs in one <ruby> give one notation each).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conversion/BookText.h"

struct _xmlNode;  // libxml2's node, kept out of this header

namespace ekoto {

enum class MarkupKind { kHtml, kXhtml };

// Joins the text of several documents (an EPUB book's reading order) into one.
class MarkupTextBuilder {
 public:
  explicit MarkupTextBuilder(int32_t lMaxUnits) : m_lMaxUnits(lMaxUnits) {}

  // Appends one document's text, starting on a new line. kHtml bytes are read
  // in sCharset, or, when it is "", in the charset of their BOM or meta tag
  // (UTF-8 without either). Returns false with retError set when a kXhtml
  // document is not well-formed or the text would pass lMaxUnits.
  bool AppendDocument(std::string_view bytes, MarkupKind kind, std::u16string& retError,
                      const std::string& sCharset = {});
  // Where the last document appended starts in the text.
  int32_t DocumentStart() const { return m_lDocumentStart; }
  // Where each element with an id (or <a name>) of the last document starts.
  const std::unordered_map<std::string, int32_t>& Anchors() const { return m_anchors; }
  // The h1-h6 headings of every document so far, as chapters.
  const std::vector<Chapter>& Headings() const { return m_aHeadings; }
  // The text, without the white space at its end; the builder is left empty.
  std::u16string TakeText();

 private:
  bool Enter(::_xmlNode* pNode);
  void Leave(::_xmlNode* pNode);
  void AppendText(std::u16string_view s);
  void AppendRuby(::_xmlNode* pRuby);
  void BreakLine();

  const int32_t m_lMaxUnits;
  std::u16string m_sText;
  bool m_bPendingSpace = false;
  bool m_bPendingLineBreak = false;  // the pending white space holds a line break
  int m_nPre = 0;  // depth of <pre> elements around the text
  bool m_bOverflow = false;
  int32_t m_lDocumentStart = 0;
  std::unordered_map<std::string, int32_t> m_anchors;
  struct OpenHeading {
    int32_t lStart;
    int nLevel;
  };
  std::vector<OpenHeading> m_aOpenHeadings;
  std::vector<Chapter> m_aHeadings;
};

// The charset named by the bytes' BOM, else by a meta tag in their first 4 KB
// (Shift_JIS and its aliases as CP932), else "UTF-8".
std::string HtmlCharset(std::string_view bytes);

// One HTML document (a file, or what the clipboard holds) with its headings as
// chapters. sCharset as for AppendDocument. Never fails: broken HTML gives
// what a browser would show of it.
BookText BookOfHtml(std::string_view bytes, const std::string& sCharset = {});

// A chapter title from text that may hold ruby notation: the bases only, on one line.
std::u16string PlainTitle(std::u16string_view s);

}  // namespace ekoto
