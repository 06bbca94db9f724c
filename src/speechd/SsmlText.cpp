#include "speechd/SsmlText.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>

#include "util/Utf.h"

namespace ekoto {
namespace {

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, DocFree>;

// libxml2 reads one root element and no declaration inside it; the message
// may have several elements and text around them, so it is read inside a root
// of its own, after its own XML declaration, if any, is taken off.
std::string Wrapped(std::string_view ssml) {
  if (ssml.starts_with("<?xml")) {
    const size_t end = ssml.find("?>");
    ssml.remove_prefix(end == std::string_view::npos ? ssml.size() : end + 2);
  }
  std::string wrapped = "<ekoto-message>";
  if (IsValidUtf8(ssml)) {
    wrapped += ssml;
  } else {
    wrapped += Utf16ToUtf8(Utf8ToUtf16(ssml));
  }
  return wrapped + "</ekoto-message>";
}

XmlDoc ReadXml(const std::string& xml, bool bRecover) {
  // No network, no DTD, no messages on stderr: the server's log is the module's stderr.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | (bRecover ? XML_PARSE_RECOVER : 0);
  return XmlDoc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, "UTF-8", options));
}

bool EndsSentence(const std::u16string& text) {
  const size_t last = text.find_last_not_of(u" \t\r\n\u3000");
  return last == std::u16string::npos || std::u16string_view(u"。．.！？!?｡").find(text[last]) != std::u16string_view::npos;
}

bool IsNamed(const xmlNode* node, const char* name) {
  return xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

class SsmlWalk {
 public:
  SpeechText Take() { return std::move(m_result); }

  // Depth is bounded by libxml2 (256 levels unless XML_PARSE_HUGE).
  void Walk(const xmlNode* node) {
    for (; node; node = node->next) {
      if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
        AddText(reinterpret_cast<const char*>(node->content));
      } else if (node->type == XML_ELEMENT_NODE) {
        const bool bPause = IsNamed(node, "p") || IsNamed(node, "s") || IsNamed(node, "break");
        if (IsNamed(node, "mark")) AddMark(node);
        m_bPauseDue |= bPause;
        Walk(node->children);
        m_bPauseDue |= bPause;
      }
    }
  }

 private:
  void AddText(const char* utf8) {
    if (!utf8 || !*utf8) return;
    if (m_bPauseDue && !EndsSentence(m_result.sText)) m_result.sText += u'。';
    m_bPauseDue = false;
    m_result.sText += Utf8ToUtf16(utf8);
  }

  void AddMark(const xmlNode* node) {
    xmlChar* name = xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>("name"));
    if (name && *name) m_result.marks.push_back({m_result.sText.size(), reinterpret_cast<const char*>(name)});
    xmlFree(name);
  }

  SpeechText m_result;
  bool m_bPauseDue = false;  // a paragraph, sentence or break lies between the text so far and the next
};

}  // namespace

SpeechText ParseSsml(std::string_view ssml) {
  // Text without tags or references is read as it is (XML would turn its "\r" into "\n").
  if (ssml.find_first_of("<&") == std::string_view::npos) return {Utf8ToUtf16(ssml), {}};
  const std::string xml = Wrapped(ssml);
  XmlDoc doc = ReadXml(xml, false);
  if (!doc) {
    // Plain text that is no XML ("a & b") is read as it is too.
    if (ssml.find('<') == std::string_view::npos) return {Utf8ToUtf16(ssml), {}};
    doc = ReadXml(xml, true);
  }
  SsmlWalk walk;
  if (doc) walk.Walk(xmlDocGetRootElement(doc.get()));
  return walk.Take();
}

std::u16string SaidText(std::string_view ssml) {
  std::u16string said = ParseSsml(ssml).sText;
  // The resume adds one level of escaping. What looks like markup in the text
  // is taken off the held message and its resume alike, so that "a &lt; b"
  // and its resume still compare equal; two levels at most keep the work linear.
  for (int level = 0; level < 2 && said.find(u'<') != std::u16string::npos; ++level) {
    said = ParseSsml(Utf16ToUtf8(said)).sText;
  }
  return said;
}

}  // namespace ekoto
