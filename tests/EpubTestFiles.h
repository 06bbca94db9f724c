// Zip archives and small EPUB books made in memory with libzip, for the book
// tests: any entry can be missing, broken, huge or badly named.
#pragma once
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace ekoto::testing {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// The archive's bytes; entries deflated unless bStored.
inline std::string ZipBytes(const ZipEntries& entries, bool bStored = false) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* pBuffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(pBuffer);
  zip_t* pArchive = zip_open_from_source(pBuffer, ZIP_TRUNCATE, &error);
  for (const auto& [sName, sBytes] : entries) {
    zip_source_t* pEntry = zip_source_buffer(pArchive, sBytes.data(), sBytes.size(), 0);
    const zip_int64_t lIndex = zip_file_add(pArchive, sName.c_str(), pEntry, ZIP_FL_ENC_UTF_8);
    zip_set_file_compression(pArchive, static_cast<zip_uint64_t>(lIndex), bStored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
  }
  zip_close(pArchive);
  std::string sOut;
  zip_stat_t stat;
  if (zip_source_stat(pBuffer, &stat) == 0 && zip_source_open(pBuffer) == 0) {
    sOut.resize(stat.size);
    zip_source_read(pBuffer, sOut.data(), stat.size);
    zip_source_close(pBuffer);
  }
  zip_source_free(pBuffer);
  zip_error_fini(&error);
  return sOut;
}

inline std::string ContainerXml(const std::string& sOpfPath) {
  return R"(<?xml version="1.0"?><container version="1.0" xmlns="urn:oasis:names:tc:opendocument:xmlns:container">)"
         R"(<rootfiles><rootfile full-path=")" + sOpfPath + R"(" media-type="application/oebps-package+xml"/></rootfiles></container>)";
}

inline std::string Xhtml(const std::string& sBody) {
  return R"(<?xml version="1.0" encoding="UTF-8"?><html xmlns="http://www.w3.org/1999/xhtml" xmlns:epub="http://www.idpf.org/2007/ops">)"
         R"(<head><title>t</title></head><body>)" + sBody + "</body></html>";
}

// An EPUB 3 book in OEBPS/: two chapters, the second with a section that the
// table of contents points into, and a ruby in the first.
inline ZipEntries SmallBook(
    const std::string& sFirst = "<h1>第一章</h1><p><ruby>冷<rp>(</rp><rt>ひ</rt><rp>)</rp></ruby>いやりとした風。</p>",
    const std::string& sSecond = R"(<h1>第二章</h1><p>朝が来た。</p><p id="s2">夜も来た。</p>)") {
  const std::string sOpf =
      R"(<?xml version="1.0"?><package xmlns="http://www.idpf.org/2007/opf" version="3.0"><manifest>)"
      R"(<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>)"
      R"(<item id="c1" href="text/ch1.xhtml" media-type="application/xhtml+xml"/>)"
      R"(<item id="c2" href="text/ch%202.xhtml" media-type="application/xhtml+xml"/>)"
      R"(</manifest><spine><itemref idref="c1"/><itemref idref="c2"/></spine></package>)";
  const std::string sNav = Xhtml(
      R"(<nav epub:type="toc"><ol><li><a href="text/ch1.xhtml">第一章</a></li>)"
      R"(<li><a href="text/ch%202.xhtml">第二章</a><ol><li><a href="text/ch%202.xhtml#s2">その二</a></li></ol></li></ol></nav>)");
  return {{"mimetype", "application/epub+zip"},
          {"META-INF/container.xml", ContainerXml("OEBPS/content.opf")},
          {"OEBPS/content.opf", sOpf},
          {"OEBPS/nav.xhtml", sNav},
          {"OEBPS/text/ch1.xhtml", Xhtml(sFirst)},
          {"OEBPS/text/ch 2.xhtml", Xhtml(sSecond)}};
}

}  // namespace ekoto::testing
