#include "util/ProgramFolder.h"

#include <unistd.h>

#include <climits>

#include "util/Utf.h"

namespace ekoto {

std::u16string ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || length == static_cast<ssize_t>(sizeof buffer)) return {};
  std::string path(buffer, static_cast<size_t>(length));
  path.erase(path.rfind('/') + 1);
  return Utf8ToUtf16(path);
}

}  // namespace ekoto
