// A zip archive opened for reading entries by name, through libzip. Every byte
// inflated counts against BookLimits while it is read, so an entry whose
// header lies about its size is stopped at the limit all the same.
// Names are looked up inside the archive only; nothing is written to disk.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "book/BookStatus.h"

struct zip;

namespace ekoto {

class ZipArchive {
 public:
  explicit ZipArchive(const BookLimits& limits) : m_limits(limits) {}
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Opens the archive in bytes, which must outlive this object.
  BookStatus OpenBytes(std::string_view bytes);
  // Opens the archive in the regular file at sPath (UTF-8).
  BookStatus OpenFile(const std::string& sPath);

  // Returns true iff an entry has exactly this name.
  bool Has(const std::string& sName) const;
  // The whole entry, inflated; kDamaged when missing or broken, kTooLarge past a limit.
  BookStatus Read(const std::string& sName, std::string& retBytes);

 private:
  BookStatus Opened(struct zip* pArchive, int nError);

  const BookLimits m_limits;
  struct zip* m_pArchive = nullptr;
  int64_t m_lBytesRead = 0;
};

}  // namespace ekoto
