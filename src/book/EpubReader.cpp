#include "book/EpubReader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "book/MarkupText.h"
#include "book/XmlParse.h"
#include "book/ZipArchive.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

struct ManifestItem {
  std::string sPath;  // inside the archive
  std::string sMediaType;
  std::string sProperties;
};

struct TocEntry {
  std::u16string sTitle;
  std::string sTarget;  // archive path, "#fragment" kept
  int nLevel;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// href (percent-encoded, relative to the folder sBase ends in) as a path inside
// the archive, its "#fragment" kept; nullopt for an absolute path, a URL or a
// name that climbs out of the archive with "..".
std::optional<std::string> ResolveHref(const std::string& sBase, std::string_view href) {
  std::string sFragment;
  if (const size_t hash = href.find('#'); hash != std::string_view::npos) {
    sFragment = std::string(href.substr(hash));
    href = href.substr(0, hash);
  }
  std::string sDecoded;
  for (size_t i = 0; i < href.size(); ++i) {
    if (href[i] == '%' && i + 2 < href.size() && HexValue(href[i + 1]) >= 0 && HexValue(href[i + 2]) >= 0) {
      sDecoded.push_back(static_cast<char>(HexValue(href[i + 1]) * 16 + HexValue(href[i + 2])));
      i += 2;
    } else {
      sDecoded.push_back(href[i]);
    }
  }
  if (sDecoded.starts_with('/') || sDecoded.find(':') != std::string::npos) return std::nullopt;
  std::vector<std::string> aParts;
  const std::string sJoined = sBase + sDecoded;
  size_t start = 0;
  while (start <= sJoined.size()) {
    const size_t slash = std::min(sJoined.find('/', start), sJoined.size());
    const std::string sPart = sJoined.substr(start, slash - start);
    if (sPart == "..") {
      if (aParts.empty()) return std::nullopt;
      aParts.pop_back();
    } else if (!sPart.empty() && sPart != ".") {
      aParts.push_back(sPart);
    }
    start = slash + 1;
  }
  std::string sPath;
  for (const std::string& sPart : aParts) sPath += (sPath.empty() ? "" : "/") + sPart;
  return sPath + sFragment;
}

std::string FolderOf(const std::string& sPath) {
  const size_t slash = sPath.rfind('/');
  return slash == std::string::npos ? std::string() : sPath.substr(0, slash + 1);
}

std::string WithoutFragment(const std::string& sTarget) { return sTarget.substr(0, sTarget.find('#')); }

BookStatus Damaged(const std::string& sFile, const std::u16string& sWhat) {
  return BookStatus::Error(BookError::kDamaged, Utf8ToUtf16(sFile) + u": " + sWhat);
}

BookStatus ReadXml(ZipArchive& archive, const std::string& sPath, XmlDocPtr& retDoc) {
  std::string sBytes;
  if (BookStatus status = archive.Read(sPath, sBytes); !status.ok()) return status;
  std::u16string sError;
  retDoc = ParseXml(sBytes, sError);
  return retDoc ? BookStatus::Ok() : Damaged(sPath, u"bad XML, " + sError);
}

// The first element below pRoot with this local name, or nullptr.
xmlNode* FindElement(xmlNode* pRoot, std::string_view sName) {
  xmlNode* pFound = nullptr;
  WalkTree(
      pRoot,
      [&](xmlNode* p) {
        if (pFound == nullptr && p->type == XML_ELEMENT_NODE && LocalName(p) == sName) pFound = p;
        return pFound == nullptr;
      },
      [](xmlNode*) {});
  return pFound;
}

std::vector<xmlNode*> ChildElements(xmlNode* pParent, std::string_view sName) {
  std::vector<xmlNode*> aFound;
  for (xmlNode* p = pParent != nullptr ? pParent->children : nullptr; p != nullptr; p = p->next) {
    if (p->type == XML_ELEMENT_NODE && LocalName(p) == sName) aFound.push_back(p);
  }
  return aFound;
}

std::u16string TextOf(xmlNode* pNode) {
  std::string sText;
  WalkTree(
      pNode,
      [&sText](xmlNode* p) {
        if (p->type == XML_TEXT_NODE && p->content != nullptr) sText += reinterpret_cast<const char*>(p->content);
        return p->type == XML_ELEMENT_NODE && LocalName(p) != "rt" && LocalName(p) != "rp";
      },
      [](xmlNode*) {});
  return PlainTitle(Utf8ToUtf16(sText));
}

// EPUB 3: the <nav epub:type="toc"> of the nav document, its nested <ol>s as levels.
void ReadNavToc(xmlNode* pRoot, const std::string& sBase, std::vector<TocEntry>& retToc) {
  xmlNode* pNav = nullptr;
  WalkTree(
      pRoot,
      [&](xmlNode* p) {
        if (p->type == XML_ELEMENT_NODE && LocalName(p) == "nav" && pNav == nullptr &&
            AttributeOf(p, "type") == "toc") {
          pNav = p;
        }
        return pNav == nullptr;
      },
      [](xmlNode*) {});
  if (pNav == nullptr) return;
  int nDepth = 0;
  WalkTree(
      pNav,
      [&](xmlNode* p) {
        if (p->type != XML_ELEMENT_NODE) return false;
        if (LocalName(p) == "ol") ++nDepth;
        if (LocalName(p) == "a" || LocalName(p) == "span") {
          const std::optional<std::string> target = ResolveHref(sBase, AttributeOf(p, "href"));
          const std::u16string sTitle = TextOf(p);
          if (LocalName(p) == "a" && target && !sTitle.empty()) {
            retToc.push_back({sTitle, *target, std::max(nDepth, 1)});
          }
          return false;
        }
        return true;
      },
      [&](xmlNode* p) {
        if (LocalName(p) == "ol") --nDepth;
      });
}

// EPUB 2: the navPoints of toc.ncx, nested as levels.
void ReadNcxToc(xmlNode* pRoot, const std::string& sBase, std::vector<TocEntry>& retToc) {
  int nDepth = 0;
  WalkTree(
      pRoot,
      [&](xmlNode* p) {
        if (p->type != XML_ELEMENT_NODE) return false;
        if (LocalName(p) != "navPoint") return true;
        ++nDepth;
        xmlNode* pLabel = FindElement(p, "navLabel");
        const std::vector<xmlNode*> aContent = ChildElements(p, "content");
        const std::optional<std::string> target =
            aContent.empty() ? std::nullopt : ResolveHref(sBase, AttributeOf(aContent[0], "src"));
        const std::u16string sTitle = pLabel != nullptr ? TextOf(pLabel) : std::u16string();
        if (target && !sTitle.empty()) retToc.push_back({sTitle, *target, nDepth});
        return true;
      },
      [&](xmlNode* p) {
        if (LocalName(p) == "navPoint") --nDepth;
      });
}

}  // namespace

BookStatus ReadEpub(ZipArchive& archive, BookText& retBook, const BookLimits& limits) {
  XmlDocPtr container;
  if (BookStatus status = ReadXml(archive, "META-INF/container.xml", container); !status.ok()) return status;
  xmlNode* pRootfile = FindElement(reinterpret_cast<xmlNode*>(container.get()), "rootfile");
  if (pRootfile == nullptr) return Damaged("META-INF/container.xml", u"names no package document");
  const std::optional<std::string> opfPath = ResolveHref("", AttributeOf(pRootfile, "full-path"));
  if (!opfPath || opfPath->empty()) {
    return BookStatus::Error(BookError::kUnsafePath, u"the package document's name leaves the archive: " +
                                                         Utf8ToUtf16(AttributeOf(pRootfile, "full-path")));
  }
  const std::string sOpf = WithoutFragment(*opfPath);
  XmlDocPtr package;
  if (BookStatus status = ReadXml(archive, sOpf, package); !status.ok()) return status;
  xmlNode* pPackageRoot = reinterpret_cast<xmlNode*>(package.get());
  const std::string sOpfFolder = FolderOf(sOpf);

  std::map<std::string, ManifestItem> manifest;
  for (xmlNode* pItem : ChildElements(FindElement(pPackageRoot, "manifest"), "item")) {
    const std::string sHref = AttributeOf(pItem, "href");
    const std::optional<std::string> path = ResolveHref(sOpfFolder, sHref);
    if (!path) continue;  // outside the archive: a spine entry naming it is refused below
    manifest[AttributeOf(pItem, "id")] = {WithoutFragment(*path), AttributeOf(pItem, "media-type"),
                                          AttributeOf(pItem, "properties")};
  }
  xmlNode* pSpine = FindElement(pPackageRoot, "spine");
  if (pSpine == nullptr) return Damaged(sOpf, u"has no reading order (spine)");
  const std::vector<xmlNode*> aItemrefs = ChildElements(pSpine, "itemref");
  if (static_cast<int64_t>(aItemrefs.size()) > limits.nMaxDocuments) {
    return BookStatus::Error(BookError::kTooLarge, Utf8ToUtf16(sOpf) + u": too many documents in the reading order");
  }

  MarkupTextBuilder builder(limits.lMaxTextUnits);
  std::map<std::string, int32_t> targets;  // "path" and "path#id" → offset
  for (xmlNode* pItemref : aItemrefs) {
    if (AttributeOf(pItemref, "linear") == "no") continue;
    const std::string sIdref = AttributeOf(pItemref, "idref");
    const auto item = manifest.find(sIdref);
    if (item == manifest.end()) {
      return Damaged(sOpf, u"the reading order names " + Utf8ToUtf16(sIdref) +
                               u", which is not in the manifest or leaves the archive");
    }
    const ManifestItem& document = item->second;
    std::string sBytes;
    if (BookStatus status = archive.Read(document.sPath, sBytes); !status.ok()) return status;
    const MarkupKind kind = document.sMediaType == "text/html" ? MarkupKind::kHtml : MarkupKind::kXhtml;
    std::u16string sError;
    if (!builder.AppendDocument(sBytes, kind, sError)) {
      if (sError.starts_with(u"line ")) return Damaged(document.sPath, u"bad XML, " + sError);
      return BookStatus::Error(BookError::kTooLarge, sError);
    }
    targets.try_emplace(document.sPath, builder.DocumentStart());
    // Only this document's anchors are at hand now; the table of contents comes later.
    for (const auto& [sId, lOffset] : builder.Anchors()) targets.try_emplace(document.sPath + "#" + sId, lOffset);
  }

  std::vector<TocEntry> toc;
  std::string sNavPath;
  for (const auto& [sId, item] : manifest) {
    if (item.sProperties.find("nav") != std::string::npos) sNavPath = item.sPath;
  }
  if (!sNavPath.empty()) {
    XmlDocPtr nav;
    if (BookStatus status = ReadXml(archive, sNavPath, nav); !status.ok()) return status;
    ReadNavToc(reinterpret_cast<xmlNode*>(nav.get()), FolderOf(sNavPath), toc);
  }
  if (toc.empty()) {
    const auto ncx = manifest.find(AttributeOf(pSpine, "toc"));
    if (ncx != manifest.end()) {
      XmlDocPtr doc;
      if (BookStatus status = ReadXml(archive, ncx->second.sPath, doc); !status.ok()) return status;
      ReadNcxToc(reinterpret_cast<xmlNode*>(doc.get()), FolderOf(ncx->second.sPath), toc);
    }
  }

  BookText book;
  if (toc.empty()) book.aChapters = builder.Headings();
  book.sText = builder.TakeText();
  for (const TocEntry& entry : toc) {
    auto target = targets.find(entry.sTarget);
    if (target == targets.end()) target = targets.find(WithoutFragment(entry.sTarget));
    if (target == targets.end()) continue;  // not in the reading order
    book.aChapters.push_back({entry.sTitle, target->second, entry.nLevel});
  }
  const int32_t lEnd = static_cast<int32_t>(book.sText.size());
  for (Chapter& chapter : book.aChapters) chapter.lOffset = std::min(chapter.lOffset, lEnd);
  std::stable_sort(book.aChapters.begin(), book.aChapters.end(),
                   [](const Chapter& a, const Chapter& b) { return a.lOffset < b.lOffset; });
  retBook = std::move(book);
  return BookStatus::Ok();
}

BookStatus ReadEpubBytes(std::string_view bytes, BookText& retBook, const BookLimits& limits) {
  ZipArchive archive(limits);
  if (BookStatus status = archive.OpenBytes(bytes); !status.ok()) return status;
  return ReadEpub(archive, retBook, limits);
}

}  // namespace ekoto
