#include "util/CFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "util/Cp932.h"
#include "util/RegularFile.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

std::string ToFs(const std::u16string& path) { return Utf16ToUtf8(path); }
std::u16string FromFs(const std::string& path) { return Utf8ToUtf16(path); }

// Closes a descriptor once, whatever path the function takes out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now and reports close's own failure (a delayed write error).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::string JoinFs(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// The folder of a filesystem path ("." when it has none).
std::string FsFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link), so that writing through a link replaces the file, not the link.
std::string ResolveLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<size_t>(n) >= link.size()) return path;
    link.resize(static_cast<size_t>(n));
    path = (!link.empty() && link.front() == '/') ? link : JoinFs(FsFolder(path), link);
  }
  return path;
}

std::string RandomSuffix() {
  static std::atomic<uint64_t> counter{0};
  thread_local std::mt19937_64 rng{std::random_device{}() ^
                                   static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
  char buf[48];
  std::snprintf(buf, sizeof buf, "%ld.%llx.%llx", static_cast<long>(::getpid()),
                static_cast<unsigned long long>(counter.fetch_add(1)), static_cast<unsigned long long>(rng()));
  return buf;
}

constexpr char16_t kHex[] = u"0123456789ABCDEF";

void AppendEscape(std::u16string& out, uint8_t b) {
  out.push_back(u'%');
  out.push_back(kHex[b >> 4]);
  out.push_back(kHex[b & 0x0F]);
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The escape at s[i] ("%%" or "%XX"): its byte and how many units it takes;
// 0 when s[i] starts no escape.
size_t EscapeAt(const std::u16string& s, size_t i, uint8_t& retByte) {
  if (s[i] != u'%') return 0;
  if (i + 1 < s.size() && s[i + 1] == u'%') {
    retByte = '%';
    return 2;
  }
  const int hi = i + 1 < s.size() ? HexValue(s[i + 1]) : -1;
  const int lo = i + 2 < s.size() ? HexValue(s[i + 2]) : -1;
  if (hi < 0 || lo < 0) return 0;
  retByte = static_cast<uint8_t>(hi * 16 + lo);
  return 3;
}

// Bytes of the escaped forms as text: UTF-8 after a BOM, CP932 otherwise.
// (Not DecodeTextBytes: CP932 bytes that look like UTF-8 must stay CP932.)
std::u16string DecodeEscapedBytes(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return DecodeUtf8(bytes.substr(kUtf8Bom.size()));
  return DecodeCp932(bytes);
}

// The escaped form of bytes: "%%" for "%", %XX for '"', 0-31 and 127-255.
std::u16string EscapeBytes(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<uint8_t>(ch);
    if (b == '%') {
      out += u"%%";
    } else if (b == '"' || b < 0x20 || b >= 0x7F) {
      AppendEscape(out, b);
    } else {
      out.push_back(static_cast<char16_t>(b));
    }
  }
  return out;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool CFile::ReadFileForBinary(const std::u16string& FilePath, std::vector<uint8_t>& retBytes) {
  if (FilePath.empty()) return false;
  Fd fd(OpenRegularFile(ToFs(FilePath)));
  if (!fd.ok()) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return false;
  // Read to the end rather than trusting st_size: the file may change size.
  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size > 0 ? st.st_size : 0) + 1);
  size_t used = 0;
  while (true) {
    if (used == bytes.size()) bytes.resize(bytes.size() + bytes.size() / 2 + 65536);
    const ssize_t n = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  if (used == 0) return true;  // an empty file leaves retBytes as it was
  bytes.resize(used);
  retBytes.swap(bytes);
  return true;
}

bool CFile::ReadFile(const std::u16string& FilePath, std::u16string& retText) {
  std::vector<uint8_t> bytes;
  if (!ReadFileForBinary(FilePath, bytes)) return false;
  retText = DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

bool CFile::WriteFileForBinary(const std::u16string& FilePath, const std::vector<uint8_t>& byt, bool bReName) {
  const std::u16string path16 = bReName ? SameFileToReName(FilePath) : FilePath;
  if (path16.empty() || path16.back() == u'/') return false;
  const std::string target = ResolveLinks(ToFs(path16));
  const std::string folder = FsFolder(target);
  const std::string name = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
  if (name.empty() || name == "." || name == "..") return false;

  struct stat old;
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    // Only a regular file is replaced, and only one this process may write.
    if (!S_ISREG(old.st_mode)) return false;
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
  } else if (errno != ENOENT) {
    return false;
  }

  // The temporary file: hidden, beside the target, its name kept short enough.
  std::string tempPath;
  int rawFd = -1;
  for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
    tempPath = JoinFs(folder, "." + name.substr(0, 180) + ".tmp" + RandomSuffix());
    do {
      rawFd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    } while (rawFd < 0 && errno == EINTR);
    if (rawFd < 0 && errno != EEXIST) return false;
  }
  if (rawFd < 0) return false;
  Fd fd(rawFd);

  bool ok = true;
  if (exists) {
    // Keep the owner where allowed (root replacing a user's file), then the mode bits.
    struct stat now;
    if (::fstat(fd.get(), &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
      if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
        // Not allowed: the new file keeps this process's owner.
      }
    }
    ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd.get(), byt.data(), byt.size());
  ok = ok && ::fsync(fd.get()) == 0;
  ok = fd.Close() && ok;
  ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  // Make the rename itself durable. Some file systems cannot sync a folder;
  // the file is in place by now, so that is no failure.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.ok()) ::fsync(dir.get());
  return true;
}

bool CFile::WriteFile(const std::u16string& FilePath, const std::u16string& strText) {
  const std::string bytes = EncodeTextBytes(strText);
  return WriteFileForBinary(FilePath, std::vector<uint8_t>(bytes.begin(), bytes.end()), false);
}

bool CFile::AppendFileForBinary(const std::u16string& FilePath, const std::vector<uint8_t>& byt) {
  if (FilePath.empty()) return false;
  int raw;
  do {
    raw = ::open(ToFs(FilePath).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  } while (raw < 0 && errno == EINTR);
  Fd fd(raw);
  if (!fd.ok()) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const bool written = WriteAll(fd.get(), byt.data(), byt.size());
  return fd.Close() && written;
}

std::u16string CFile::SameFileToReName(const std::u16string& FilePath) {
  std::u16string path = FilePath;
  if (path.empty()) return path;
  const size_t slash = path.rfind(u'/');
  const std::u16string folder = slash == std::u16string::npos ? u"" : path.substr(0, slash + 1);
  int64_t number = 0;
  struct stat st;
  while (::lstat(ToFs(path).c_str(), &st) == 0) {
    const std::u16string fileName = path.substr(folder.size());
    const size_t dot = fileName.rfind(u'.');
    std::u16string base = dot == std::u16string::npos ? fileName : fileName.substr(0, dot);
    const std::u16string ext = dot == std::u16string::npos ? u"" : fileName.substr(dot);
    // A base that ends in "(digits)" carries its number: report(3) goes on as report(4).
    const size_t open = base.rfind(u'(');
    if (open != std::u16string::npos && base.size() >= open + 3 && base.back() == u')') {
      const std::u16string digits = base.substr(open + 1, base.size() - open - 2);
      if (digits.size() <= 15 && std::all_of(digits.begin(), digits.end(),
                                             [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        number = 0;
        for (char16_t c : digits) number = number * 10 + (c - u'0');
        base.resize(open);
      }
    }
    ++number;
    const std::string n = std::to_string(number);
    path = folder + base + u"(" + std::u16string(n.begin(), n.end()) + u")" + ext;
  }
  return path;
}

bool CFile::IsFile(const std::u16string& FilePath) {
  if (FilePath.empty()) return false;
  return Fd(OpenRegularFile(ToFs(FilePath))).ok();
}

std::u16string CFile::FindFile(const std::u16string& RootPath, const std::u16string& Filename) {
  if (RootPath.empty() || Filename.empty() || Filename == u"." || Filename == u".." ||
      Filename.find(u'/') != std::u16string::npos) {
    return u"";
  }
  const std::string name = ToFs(Filename);
  std::string root = ToFs(RootPath);
  while (root.size() > 1 && root.back() == '/') root.pop_back();

  // Depth first, the file in a folder before its subfolders, subfolders by
  // name. Symbolic links to folders are not entered, and a folder reached a
  // second time (a bind mount loop) is skipped.
  std::set<std::pair<dev_t, ino_t>> visited;
  std::vector<std::string> stack{root};
  while (!stack.empty()) {
    const std::string dir = std::move(stack.back());
    stack.pop_back();
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (!visited.insert({st.st_dev, st.st_ino}).second) continue;

    const std::string candidate = JoinFs(dir, name);
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return FromFs(candidate);

    DIR* d = ::opendir(dir.c_str());
    if (!d) continue;
    std::vector<std::string> subfolders;
    while (const dirent* entry = ::readdir(d)) {
      const std::string entryName = entry->d_name;
      if (entryName == "." || entryName == "..") continue;
      if (!IsValidUtf8(entryName)) continue;  // no UTF-16 path could name it
      bool isDir = entry->d_type == DT_DIR;
      if (entry->d_type == DT_UNKNOWN) {
        struct stat est;
        isDir = ::lstat(JoinFs(dir, entryName).c_str(), &est) == 0 && S_ISDIR(est.st_mode);
      }
      if (isDir) subfolders.push_back(entryName);
    }
    ::closedir(d);
    std::sort(subfolders.begin(), subfolders.end());
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) stack.push_back(JoinFs(dir, *it));
  }
  return u"";
}

std::u16string CFile::CreateTempPath(const std::u16string& strAppName) {
  std::string app = ToFs(strAppName);
  std::replace(app.begin(), app.end(), '/', '_');
  std::vector<std::string> folders;
  const char* env = std::getenv("TMPDIR");
  if (env && *env) folders.emplace_back(env);
  folders.emplace_back("/tmp");
  for (std::string folder : folders) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::string pattern = JoinFs(folder, app + "XXXXXX");
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) continue;
    ::close(fd);
    return FromFs(pattern);
  }
  return u"";
}

bool CFile::GetFileDateTime(const std::u16string& strFilePath, int optDestType, std::tm& retDate) {
  if (strFilePath.empty() || optDestType < 0 || optDestType > 2) return false;
  struct stat st;
  if (::stat(ToFs(strFilePath).c_str(), &st) != 0) return false;
  const time_t when = optDestType == 0 ? st.st_ctim.tv_sec : optDestType == 1 ? st.st_atim.tv_sec : st.st_mtim.tv_sec;
  std::tm local{};
  if (!::localtime_r(&when, &local)) return false;
  retDate = local;
  return true;
}

std::u16string CFile::MyRight(const std::u16string& text, int32_t nRight) {
  if (nRight < 1) return u"";
  const auto n = static_cast<size_t>(nRight);
  if (n >= text.size()) return text;
  return text.substr(text.size() - n);
}

std::u16string CFile::Inside(const std::u16string& strData, const std::u16string& strToken,
                             const std::u16string& strToken2, int32_t nStart, int32_t& retEnd) {
  retEnd = 0;
  if (strToken.empty() || strToken2.empty()) return u"";
  const size_t from = nStart > 1 ? static_cast<size_t>(nStart) - 1 : 0;
  if (from >= strData.size()) return u"";
  const size_t open = strData.find(strToken, from);
  if (open == std::u16string::npos) return u"";
  const size_t begin = open + strToken.size();
  const size_t close = strData.find(strToken2, begin);
  if (close == std::u16string::npos) return u"";
  retEnd = static_cast<int32_t>(close + strToken2.size() + 1);
  return strData.substr(begin, close - begin);
}

std::vector<std::u16string> CFile::InsideArray(const std::u16string& strData, const std::u16string& strToken,
                                               const std::u16string& strToken2) {
  std::vector<std::u16string> result;
  int32_t position = 1;
  while (true) {
    int32_t end = 0;
    std::u16string enclosed = Inside(strData, strToken, strToken2, position, end);
    if (end == 0) break;
    result.push_back(std::move(enclosed));
    position = end;
  }
  return result;
}

std::u16string CFile::EncodeFromText(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c == u'%') {
      out += u"%%";
    } else if (c == u'"' || c < 0x20 || c == 0x7F) {
      AppendEscape(out, static_cast<uint8_t>(c));
    } else if (c < 0x80) {
      out.push_back(c);
    } else if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
      out.push_back(c);  // outside CP932: kept as it is
      out.push_back(text[++i]);
    } else {
      const auto bytes = EncodeCp932(std::u16string_view(&text[i], 1));
      if (bytes && bytes->size() == 1) {
        AppendEscape(out, static_cast<uint8_t>((*bytes)[0]));  // single-byte code 128-255
      } else {
        out.push_back(c);  // a double-byte character, or one outside CP932: kept
      }
    }
  }
  return out;
}

std::u16string CFile::EncodeFromText2(const std::u16string& text) { return EscapeBytes(EncodeTextBytes(text)); }

std::u16string CFile::EncodeFromBinary(const std::vector<uint8_t>& bytSrc) {
  return EscapeBytes(std::string_view(reinterpret_cast<const char*>(bytSrc.data()), bytSrc.size()));
}

bool CFile::DecodeToBinary(const std::u16string& strEncode, std::vector<uint8_t>& retDest) {
  std::vector<uint8_t> out;
  out.reserve(strEncode.size());
  const size_t n = strEncode.size();
  size_t i = 0;
  while (i < n) {
    const char16_t c = strEncode[i];
    uint8_t b = 0;
    if (const size_t used = EscapeAt(strEncode, i, b)) {
      out.push_back(b);
      i += used;
    } else if (c == u'%') {
      return false;
    } else if (c < 0x80) {
      out.push_back(static_cast<uint8_t>(c));
      ++i;
    } else {
      // Characters kept by EncodeFromText: their CP932 bytes.
      size_t j = i;
      while (j < n && strEncode[j] >= 0x80) ++j;
      const auto bytes = EncodeCp932(std::u16string_view(strEncode).substr(i, j - i));
      if (!bytes) return false;
      out.insert(out.end(), bytes->begin(), bytes->end());
      i = j;
    }
  }
  retDest.swap(out);
  return true;
}

std::u16string CFile::DecodeToText(const std::u16string& strEncode) {
  std::u16string out;
  std::string pending;  // bytes of the current run of escapes and ASCII
  const auto flush = [&]() {
    if (!pending.empty()) out += DecodeEscapedBytes(pending);
    pending.clear();
  };
  const size_t n = strEncode.size();
  size_t i = 0;
  while (i < n) {
    const char16_t c = strEncode[i];
    uint8_t b = 0;
    if (const size_t used = EscapeAt(strEncode, i, b)) {
      pending.push_back(static_cast<char>(b));
      i += used;
    } else if (c < 0x80) {
      pending.push_back(static_cast<char>(c));  // a "%" that starts no escape is kept as it stands
      ++i;
    } else {
      flush();
      out.push_back(c);  // a character EncodeFromText kept
      ++i;
    }
  }
  flush();
  return out;
}

std::u16string CFile::GetFolderPathOnly(const std::u16string& FilePath) {
  const size_t slash = FilePath.rfind(u'/');
  return slash == std::u16string::npos ? u"" : FilePath.substr(0, slash + 1);
}

std::u16string CFile::GetFileNameOnly(const std::u16string& FilePath) {
  const size_t slash = FilePath.rfind(u'/');
  return slash == std::u16string::npos ? FilePath : FilePath.substr(slash + 1);
}

std::optional<std::u16string> CFile::GetExtOnly(const std::u16string& FilePath) {
  if (FilePath.empty()) return std::u16string();
  const std::u16string name = GetFileNameOnly(FilePath);
  if (name.empty()) return std::nullopt;
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(dot + 1);
}

std::u16string CFile::GetNameOnly(const std::u16string& FilePath) {
  const std::u16string name = GetFileNameOnly(FilePath);
  const size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? u"" : name.substr(0, dot);
}

}  // namespace ekoto
