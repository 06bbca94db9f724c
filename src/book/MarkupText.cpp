#include "book/MarkupText.h"

#include <algorithm>
#include <cctype>

#include "book/XmlParse.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

constexpr int32_t kMaxTitleUnits = 200;

bool IsOneOf(std::string_view sName, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), sName) != names.end();
}

// Elements whose text is not part of what is read.
bool IsSkipped(std::string_view sName) {
  return IsOneOf(sName, {"head", "script", "style", "title", "template", "noscript", "rp", "rt", "rtc", "svg",
                         "math", "iframe", "object", "select", "textarea"});
}

bool IsBlock(std::string_view sName) {
  return IsOneOf(sName, {"p", "div", "section", "article", "aside", "nav", "header", "footer", "main", "body",
                         "blockquote", "ul", "ol", "li", "dl", "dt", "dd", "table", "tr", "caption", "figure",
                         "figcaption", "address", "hr", "pre", "center", "details", "summary", "form", "fieldset",
                         "legend", "h1", "h2", "h3", "h4", "h5", "h6"});
}

int HeadingLevel(std::string_view sName) {
  if (sName.size() == 2 && sName[0] == 'h' && sName[1] >= '1' && sName[1] <= '6') return sName[1] - '0';
  return 0;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

// Kana, kanji, full-width forms and CJK punctuation: a line break in the
// source between two of them is no space on the page.
bool IsWide(char16_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF60);
}

// Runs of white space as one space, none at either end.
std::u16string Collapsed(std::u16string_view s) {
  std::u16string out;
  bool bSpace = false;
  for (const char16_t c : s) {
    if (IsSpace(c)) {
      bSpace = true;
      continue;
    }
    if (bSpace && !out.empty()) out.push_back(u' ');
    bSpace = false;
    out.push_back(c);
  }
  return out;
}

std::u16string ContentOf(const xmlNode* pNode) {
  return pNode->content != nullptr ? Utf8ToUtf16(reinterpret_cast<const char*>(pNode->content)) : std::u16string();
}

// The text below pNode, <rt> and <rp> left out, white space collapsed.
std::u16string TextBelow(xmlNode* pNode) {
  std::u16string sText;
  WalkTree(
      pNode,
      [&sText](xmlNode* p) {
        if (p->type == XML_TEXT_NODE || p->type == XML_CDATA_SECTION_NODE) sText += ContentOf(p);
        return p->type == XML_ELEMENT_NODE && !IsSkipped(LocalName(p));
      },
      [](xmlNode*) {});
  return Collapsed(sText);
}

}  // namespace

std::u16string PlainTitle(std::u16string_view s) {
  std::u16string out;
  bool bInRuby = false;
  for (const char16_t c : s) {
    if (c == u'《') bInRuby = true;
    if (!bInRuby && c != u'｜') out.push_back(IsSpace(c) ? u' ' : c);
    if (c == u'》') bInRuby = false;
  }
  out = Collapsed(out);
  if (out.size() > kMaxTitleUnits) out.resize(kMaxTitleUnits);
  return out;
}

std::string HtmlCharset(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return "UTF-8";
  if (bytes.starts_with("\xFF\xFE")) return "UTF-16LE";
  if (bytes.starts_with("\xFE\xFF")) return "UTF-16BE";
  std::string sHead(bytes.substr(0, 4096));
  std::transform(sHead.begin(), sHead.end(), sHead.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  // <meta charset="..."> or <meta http-equiv=... content="text/html; charset=...">.
  for (size_t at = sHead.find("<meta"); at != std::string::npos; at = sHead.find("<meta", at + 1)) {
    const size_t end = sHead.find('>', at);
    const size_t cs = sHead.find("charset=", at);
    if (cs == std::string::npos || (end != std::string::npos && cs > end)) continue;
    size_t i = cs + 8;
    while (i < sHead.size() && (sHead[i] == '"' || sHead[i] == '\'' || sHead[i] == ' ')) ++i;
    std::string sName;
    while (i < sHead.size() && (std::isalnum(static_cast<unsigned char>(sHead[i])) || sHead[i] == '-' ||
                                sHead[i] == '_' || sHead[i] == '.' || sHead[i] == ':')) {
      sName.push_back(sHead[i++]);
    }
    if (sName.empty()) continue;
    // Japanese pages that say Shift_JIS are written in Windows' superset of it.
    if (IsOneOf(sName, {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j", "ms_kanji", "cp932"})) {
      return "CP932";
    }
    return sName;
  }
  return "UTF-8";
}

bool MarkupTextBuilder::AppendDocument(std::string_view bytes, MarkupKind kind, std::u16string& retError,
                                       const std::string& sCharset) {
  BreakLine();
  m_lDocumentStart = static_cast<int32_t>(m_sText.size());
  m_anchors.clear();
  XmlDocPtr doc;
  if (kind == MarkupKind::kXhtml) {
    doc = ParseXml(bytes, retError);
    if (!doc) return false;
  } else {
    const std::string sUsed = sCharset.empty() ? HtmlCharset(bytes) : sCharset;
    // The parser is told the charset, so the BOM is not needed to find it.
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) bytes.remove_prefix(2);
    doc = ParseHtml(bytes, sUsed);
    if (!doc) return true;
  }
  m_aOpenHeadings.clear();
  m_nPre = 0;
  WalkTree(
      reinterpret_cast<xmlNode*>(doc.get()), [this](xmlNode* p) { return Enter(p); },
      [this](xmlNode* p) { Leave(p); });
  BreakLine();
  if (m_bOverflow) {
    retError = u"the text is longer than " + Utf8ToUtf16(std::to_string(m_lMaxUnits)) + u" characters";
    return false;
  }
  return true;
}

bool MarkupTextBuilder::Enter(xmlNode* pNode) {
  if (m_bOverflow) return false;
  if (pNode->type == XML_TEXT_NODE || pNode->type == XML_CDATA_SECTION_NODE) {
    AppendText(ContentOf(pNode));
    return false;
  }
  if (pNode->type != XML_ELEMENT_NODE) return false;
  const std::string_view sName = LocalName(pNode);
  if (IsSkipped(sName)) return false;
  if (IsBlock(sName)) BreakLine();
  for (const char* sAttr : {"id", "name"}) {
    if (sAttr[0] == 'n' && sName != "a") continue;
    const std::string sId = AttributeOf(pNode, sAttr);
    if (!sId.empty()) m_anchors.try_emplace(sId, static_cast<int32_t>(m_sText.size()));
  }
  if (sName == "br") {
    while (!m_sText.empty() && m_sText.back() == u' ') m_sText.pop_back();
    m_sText.push_back(u'\n');
    m_bPendingSpace = false;
    m_bPendingLineBreak = false;
    return false;
  }
  if (sName == "ruby") {
    AppendRuby(pNode);
    return false;
  }
  if (const int nLevel = HeadingLevel(sName)) m_aOpenHeadings.push_back({static_cast<int32_t>(m_sText.size()), nLevel});
  if (sName == "pre") ++m_nPre;
  return true;
}

void MarkupTextBuilder::Leave(xmlNode* pNode) {
  const std::string_view sName = LocalName(pNode);
  if (sName == "pre") --m_nPre;
  if (HeadingLevel(sName) != 0 && !m_aOpenHeadings.empty()) {
    const OpenHeading heading = m_aOpenHeadings.back();
    m_aOpenHeadings.pop_back();
    std::u16string sTitle = PlainTitle(std::u16string_view(m_sText).substr(static_cast<size_t>(heading.lStart)));
    if (!sTitle.empty()) m_aHeadings.push_back({std::move(sTitle), heading.lStart, heading.nLevel});
  }
  if (IsBlock(sName)) BreakLine();
}

void MarkupTextBuilder::AppendText(std::u16string_view s) {
  if (m_sText.size() + s.size() > static_cast<size_t>(m_lMaxUnits)) {
    m_bOverflow = true;
    return;
  }
  for (const char16_t c : s) {
    if (m_nPre > 0) {
      if (c != u'\r') m_sText.push_back(c);
      continue;
    }
    if (IsSpace(c)) {
      m_bPendingSpace = true;
      m_bPendingLineBreak = m_bPendingLineBreak || c == u'\n';
      continue;
    }
    const bool bJoined = m_bPendingLineBreak && !m_sText.empty() && IsWide(m_sText.back()) && IsWide(c);
    if (m_bPendingSpace && !bJoined && !m_sText.empty() && m_sText.back() != u'\n' && m_sText.back() != u' ') {
      m_sText.push_back(u' ');
    }
    m_bPendingSpace = false;
    m_bPendingLineBreak = false;
    m_sText.push_back(c);
  }
}

void MarkupTextBuilder::AppendRuby(xmlNode* pRuby) {
  // Bases and rubies pair up in order: <rb>s each make a base, and so does the
  // text (and any other element) before an <rt>.
  std::vector<std::u16string> aBases;
  std::vector<std::u16string> aRubies;
  std::u16string sOpenBase;
  auto closeBase = [&] {
    if (!Collapsed(sOpenBase).empty()) aBases.push_back(Collapsed(sOpenBase));
    sOpenBase.clear();
  };
  for (xmlNode* p = pRuby->children; p != nullptr; p = p->next) {
    if (p->type == XML_TEXT_NODE || p->type == XML_CDATA_SECTION_NODE) {
      sOpenBase += ContentOf(p);
      continue;
    }
    if (p->type != XML_ELEMENT_NODE) continue;
    const std::string_view sName = LocalName(p);
    if (sName == "rp") continue;
    if (sName == "rb") {
      closeBase();
      aBases.push_back(TextBelow(p));
    } else if (sName == "rt") {
      closeBase();
      aRubies.push_back(TextBelow(p));
    } else if (sName == "rtc") {
      closeBase();
      for (xmlNode* q = p->children; q != nullptr; q = q->next) {
        if (q->type == XML_ELEMENT_NODE && LocalName(q) == "rt") aRubies.push_back(TextBelow(q));
      }
    } else {
      sOpenBase += TextBelow(p);
    }
  }
  closeBase();
  std::u16string sOut;
  for (size_t i = 0; i < aBases.size(); ++i) {
    const bool bRuby = i < aRubies.size() && !aRubies[i].empty();
    sOut += bRuby ? u"｜" + aBases[i] + u"《" + aRubies[i] + u"》" : aBases[i];
  }
  AppendText(sOut);
}

void MarkupTextBuilder::BreakLine() {
  while (!m_sText.empty() && m_sText.back() == u' ') m_sText.pop_back();
  if (!m_sText.empty() && m_sText.back() != u'\n') m_sText.push_back(u'\n');
  m_bPendingSpace = false;
  m_bPendingLineBreak = false;
}

std::u16string MarkupTextBuilder::TakeText() {
  while (!m_sText.empty() && IsSpace(m_sText.back())) m_sText.pop_back();
  std::u16string sText = std::move(m_sText);
  m_sText.clear();
  return sText;
}

BookText BookOfHtml(std::string_view bytes, const std::string& sCharset) {
  MarkupTextBuilder builder(INT32_MAX / 2);
  std::u16string sIgnored;
  builder.AppendDocument(bytes, MarkupKind::kHtml, sIgnored, sCharset);
  BookText book;
  book.aChapters = builder.Headings();
  book.sText = builder.TakeText();
  for (Chapter& chapter : book.aChapters) {
    chapter.lOffset = std::min(chapter.lOffset, static_cast<int32_t>(book.sText.size()));
  }
  std::stable_sort(book.aChapters.begin(), book.aChapters.end(),
                   [](const Chapter& a, const Chapter& b) { return a.lOffset < b.lOffset; });
  return book;
}

}  // namespace ekoto
