#include "book/ZipArchive.h"

#include <zip.h>

#include "util/Utf.h"

namespace ekoto {
namespace {

std::u16string ZipErrorText(int nError) {
  zip_error_t error;
  zip_error_init_with_code(&error, nError);
  std::u16string sText = Utf8ToUtf16(zip_error_strerror(&error));
  zip_error_fini(&error);
  return sText;
}

}  // namespace

ZipArchive::~ZipArchive() {
  if (m_pArchive != nullptr) zip_discard(m_pArchive);
}

BookStatus ZipArchive::Opened(zip_t* pArchive, int nError) {
  if (pArchive == nullptr) {
    return BookStatus::Error(BookError::kNotAnArchive, u"not a zip archive (" + ZipErrorText(nError) + u")");
  }
  m_pArchive = pArchive;
  return BookStatus::Ok();
}

BookStatus ZipArchive::OpenBytes(std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* pSource = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (pSource == nullptr) {
    zip_error_fini(&error);
    return BookStatus::Error(BookError::kNotAnArchive, u"not a zip archive");
  }
  zip_t* pArchive = zip_open_from_source(pSource, ZIP_RDONLY, &error);
  const int nError = zip_error_code_zip(&error);
  zip_error_fini(&error);
  if (pArchive == nullptr) zip_source_free(pSource);
  return Opened(pArchive, nError);
}

BookStatus ZipArchive::OpenFile(const std::string& sPath) {
  int nError = 0;
  zip_t* pArchive = zip_open(sPath.c_str(), ZIP_RDONLY, &nError);
  return Opened(pArchive, nError);
}

bool ZipArchive::Has(const std::string& sName) const {
  return m_pArchive != nullptr && zip_name_locate(m_pArchive, sName.c_str(), 0) >= 0;
}

BookStatus ZipArchive::Read(const std::string& sName, std::string& retBytes) {
  const std::u16string sShown = Utf8ToUtf16(sName);
  const zip_int64_t lIndex = m_pArchive != nullptr ? zip_name_locate(m_pArchive, sName.c_str(), 0) : -1;
  if (lIndex < 0) return BookStatus::Error(BookError::kDamaged, u"missing file " + sShown);
  const auto tooLarge = [&] {
    return BookStatus::Error(BookError::kTooLarge,
                             u"file " + sShown + u" is too large when unpacked (a zip bomb?)");
  };
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(m_pArchive, static_cast<zip_uint64_t>(lIndex), 0, &stat) == 0 &&
      (stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > static_cast<zip_uint64_t>(m_limits.lMaxEntryBytes)) {
    return tooLarge();
  }
  zip_file_t* pFile = zip_fopen_index(m_pArchive, static_cast<zip_uint64_t>(lIndex), 0);
  if (pFile == nullptr) {
    return BookStatus::Error(BookError::kDamaged,
                             u"cannot unpack " + sShown + u" (" + Utf8ToUtf16(zip_strerror(m_pArchive)) + u")");
  }
  std::string sBytes;
  char buffer[64 * 1024];
  BookStatus status;
  for (;;) {
    const zip_int64_t lGot = zip_fread(pFile, buffer, sizeof buffer);
    if (lGot < 0) {
      status = BookStatus::Error(BookError::kDamaged, u"cannot unpack " + sShown + u" (" +
                                                          Utf8ToUtf16(zip_file_strerror(pFile)) + u")");
      break;
    }
    if (lGot == 0) break;
    m_lBytesRead += lGot;
    if (static_cast<int64_t>(sBytes.size()) + lGot > m_limits.lMaxEntryBytes) {
      status = tooLarge();
      break;
    }
    if (m_lBytesRead > m_limits.lMaxTotalBytes) {
      status = BookStatus::Error(BookError::kTooLarge, u"the book is too large when unpacked (a zip bomb?)");
      break;
    }
    sBytes.append(buffer, static_cast<size_t>(lGot));
  }
  zip_fclose(pFile);
  if (status.ok()) retBytes = std::move(sBytes);
  return status;
}

}  // namespace ekoto
