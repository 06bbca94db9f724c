// libxml2 behind two calls, for the readers in this folder only: a document
// parsed as XML (well-formed or refused, with the line of the fault) or as HTML
// (always some tree, as a browser would make one). No network access, no
// external entities, no DTD loading; libxml2's own depth and size bounds apply.
#pragma once
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>

namespace ekoto {

struct XmlDocFree {
  void operator()(xmlDoc* pDoc) const { xmlFreeDoc(pDoc); }
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

// nullptr with retError set ("line N: what") when bytes are not well-formed XML.
XmlDocPtr ParseXml(std::string_view bytes, std::u16string& retError);

// HTML in the given charset (UTF-8 when libxml2 does not know it); nullptr
// only when libxml2 cannot make a tree at all.
XmlDocPtr ParseHtml(std::string_view bytes, const std::string& sCharset);

// The element's name without its prefix, as libxml2 keeps it.
std::string_view LocalName(const xmlNode* pNode);

// The value of the attribute with this local name (any namespace), "" if none.
std::string AttributeOf(const xmlNode* pNode, std::string_view sName);

// Calls enter(node) for every node below pRoot in document order; when it
// returns true the node's children follow, then leave(node). Iterative, so a
// deep tree cannot exhaust the stack.
template <class Enter, class Leave>
void WalkTree(xmlNode* pRoot, Enter&& enter, Leave&& leave) {
  xmlNode* pNode = pRoot->children;
  while (pNode != nullptr) {
    const bool bInto = enter(pNode);
    if (bInto && pNode->children != nullptr) {
      pNode = pNode->children;
      continue;
    }
    if (bInto) leave(pNode);
    while (pNode->next == nullptr) {
      pNode = pNode->parent;
      if (pNode == nullptr || pNode == pRoot) return;
      leave(pNode);
    }
    pNode = pNode->next;
  }
}

}  // namespace ekoto
