#include "book/XmlParse.h"

#include <libxml/HTMLparser.h>
#include <libxml/encoding.h>
#include <libxml/parser.h>

#include <climits>

#include "util/Utf.h"

namespace ekoto {
namespace {

struct ParserCtxtFree {
  void operator()(xmlParserCtxt* pCtxt) const { xmlFreeParserCtxt(pCtxt); }
};
struct HtmlCtxtFree {
  void operator()(htmlParserCtxt* pCtxt) const { htmlFreeParserCtxt(pCtxt); }
};

}  // namespace

XmlDocPtr ParseXml(std::string_view bytes, std::u16string& retError) {
  if (bytes.size() > INT_MAX) {
    retError = u"too large for the XML parser";
    return nullptr;
  }
  std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) {
    retError = u"out of memory";
    return nullptr;
  }
  XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA));
  if (!doc || !ctxt->wellFormed) {
    const xmlError* pError = xmlCtxtGetLastError(ctxt.get());
    std::string sWhat = pError != nullptr && pError->message != nullptr ? pError->message : "not well-formed";
    while (!sWhat.empty() && (sWhat.back() == '\n' || sWhat.back() == ' ')) sWhat.pop_back();
    retError = u"line " + Utf8ToUtf16(std::to_string(pError != nullptr ? pError->line : 0)) + u": " +
               Utf8ToUtf16(sWhat);
    return nullptr;
  }
  return doc;
}

XmlDocPtr ParseHtml(std::string_view bytes, const std::string& sCharset) {
  if (bytes.size() > INT_MAX) return nullptr;
  // libxml2 would read a charset it does not know as Latin-1.
  xmlCharEncodingHandler* pHandler = xmlFindCharEncodingHandler(sCharset.c_str());
  const char* sUsed = pHandler != nullptr ? sCharset.c_str() : "UTF-8";
  if (pHandler != nullptr) xmlCharEncCloseFunc(pHandler);
  std::unique_ptr<htmlParserCtxt, HtmlCtxtFree> ctxt(htmlNewParserCtxt());
  if (!ctxt) return nullptr;
  return XmlDocPtr(htmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                      sUsed,
                                      HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                          HTML_PARSE_NONET));
}

std::string_view LocalName(const xmlNode* pNode) {
  return pNode->name != nullptr ? std::string_view(reinterpret_cast<const char*>(pNode->name)) : std::string_view();
}

std::string AttributeOf(const xmlNode* pNode, std::string_view sName) {
  for (const xmlAttr* pAttr = pNode->properties; pAttr != nullptr; pAttr = pAttr->next) {
    if (pAttr->name == nullptr || sName != reinterpret_cast<const char*>(pAttr->name)) continue;
    std::string sValue;
    for (const xmlNode* pText = pAttr->children; pText != nullptr; pText = pText->next) {
      if (pText->content != nullptr) sValue += reinterpret_cast<const char*>(pText->content);
    }
    return sValue;
  }
  return {};
}

}  // namespace ekoto
