#include "conversion/TempleteStore.h"

#include <sys/stat.h>

#include <string_view>
#include <vector>

#include "util/CFile.h"
#include "util/Cp932.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (const uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ULL;
  return h;
}

FileStamp StampOf(const std::u16string& path, const std::vector<uint8_t>& bytes) {
  struct stat st {};
  if (::stat(Utf16ToUtf8(path).c_str(), &st) != 0) return {};
  return {.bExists = true,
          .lModifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          .lSize = static_cast<int64_t>(st.st_size),
          .lHash = Fnv1a(bytes)};
}

bool Exists(const std::u16string& path) {
  struct stat st {};
  return ::stat(Utf16ToUtf8(path).c_str(), &st) == 0;
}

}  // namespace

bool ReadTempleteFile(const std::u16string& path, TempleteFileText& file) {
  std::vector<uint8_t> bytes;
  if (!Exists(path)) {
    file = {};
    return true;
  }
  if (!CFile().ReadFileForBinary(path, bytes)) return false;
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  file.sText = DecodeTextBytes(view);
  file.bUtf8Bom = view.starts_with(kUtf8Bom);
  file.bUtf8 = file.bUtf8Bom || (IsValidUtf8(view) && Utf16ToUtf8(file.sText) == view && !file.sText.empty() &&
                                 view.size() != file.sText.size());
  file.stamp = StampOf(path, bytes);
  return true;
}

FileStamp CurrentStamp(const std::u16string& path) {
  std::vector<uint8_t> bytes;
  if (!Exists(path)) return {};
  if (!CFile().ReadFileForBinary(path, bytes)) return {.bExists = true, .lModifiedNs = 0, .lSize = -1, .lHash = 0};
  return StampOf(path, bytes);
}

SaveStatus SaveTempleteFile(const std::u16string& path, const std::u16string& text, TempleteFileText& file) {
  if (CurrentStamp(path) != file.stamp) return SaveStatus::kChangedOutside;
  std::string bytes;
  if (file.bUtf8Bom) bytes = EncodeUtf8WithBom(text);
  else if (file.bUtf8) bytes = Utf16ToUtf8(text);
  else bytes = EncodeTextBytes(text);
  if (!CFile().WriteFileForBinary(path, std::vector<uint8_t>(bytes.begin(), bytes.end()), false)) {
    return SaveStatus::kFailed;
  }
  file.sText = text;
  file.stamp = CurrentStamp(path);
  return SaveStatus::kSaved;
}

}  // namespace ekoto
