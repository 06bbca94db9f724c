// The two readers of the voice source file, over an in-memory index of each file's
// table. The index answers exactly what a scan from the start would: the first entry
// of a name with a positive length wins, and a table that breaks off hides every
// entry from the break on and withholds the header.
#include "voice/PaFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "util/RegularFile.h"
#include "util/Utf.h"
#include "voice/CRC4.h"
#include "voice/PaScan.h"

namespace ekoto {
namespace {

// What tells one state of a file from another. A rewrite in place changes the
// modification and change times; a replacement by rename changes the inode.
struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime{};
  timespec ctime{};

  explicit FileStamp(const struct stat& st)
      : dev(st.st_dev), ino(st.st_ino), size(st.st_size), mtime(st.st_mtim), ctime(st.st_ctim) {}

  bool operator==(const FileStamp& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
  }
};

struct SampleSpot {
  int64_t lOffset = 0;
  int32_t lLength = 0;
};

struct PaIndex {
  explicit PaIndex(const FileStamp& s) : stamp(s) {}

  FileStamp stamp;
  // File times tick coarsely (a few milliseconds, seconds on some file systems), so a
  // file changed within a tick of being indexed would keep its stamp. An index is
  // reused only when the file was already older than kRacyWindow when it was built.
  bool bTrusted = false;
  PaScanEnd end = PaScanEnd::Missing;
  PAHEADER header;
  std::vector<std::u16string> names;  // the entries read before the walk ended
  std::unordered_map<std::u16string, SampleSpot> firstPositive;
  // Samples already read and deciphered, kept with the index they came from, so a
  // reading deciphers every unit once; bounded by the file's size.
  mutable std::mutex sampleMutex;
  mutable std::unordered_map<std::u16string, std::vector<uint8_t>> samples;
};

constexpr time_t kRacyWindow = 2;  // seconds

bool OlderThan(const timespec& t, const timespec& limit) {
  return t.tv_sec < limit.tv_sec || (t.tv_sec == limit.tv_sec && t.tv_nsec < limit.tv_nsec);
}

std::shared_ptr<const PaIndex> BuildIndex(int fd, const struct stat& st) {
  auto index = std::make_shared<PaIndex>(FileStamp(st));
  const PaScanResult scan = ScanPAFile(fd, st.st_size, [&index](const PaEntryInfo& e) {
    index->names.push_back(e.sName);
    if (e.lLength > 0) index->firstPositive.try_emplace(e.sName, SampleSpot{e.lSampleOffset, e.lLength});
  });
  index->end = scan.end;
  index->header = scan.header;
  timespec limit{};
  clock_gettime(CLOCK_REALTIME, &limit);
  limit.tv_sec -= kRacyWindow;
  index->bTrusted = OlderThan(st.st_mtim, limit) && OlderThan(st.st_ctim, limit);
  return index;
}

// One index per path, rebuilt when the file on disk is no longer the one indexed.
class PaIndexCache {
 public:
  // The index of the file as it is now, or nullptr when it must be read afresh.
  std::shared_ptr<const PaIndex> Peek(const std::string& path, const struct stat& st) {
    const FileStamp stamp(st);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_indexes.find(path);
    if (it != m_indexes.end() && it->second->bTrusted && it->second->stamp == stamp) return it->second;
    return nullptr;
  }

  std::shared_ptr<const PaIndex> Get(const std::string& path, int fd, const struct stat& st) {
    const FileStamp stamp(st);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_indexes.find(path);
    if (it != m_indexes.end() && it->second->bTrusted && it->second->stamp == stamp) return it->second;
    if (it == m_indexes.end() && m_indexes.size() >= kMaxFiles) m_indexes.erase(m_indexes.begin());
    std::shared_ptr<const PaIndex> index = BuildIndex(fd, st);
    m_indexes[path] = index;
    return index;
  }

 private:
  // A program uses one voice at a time; the voice list window may look at another.
  static constexpr size_t kMaxFiles = 8;
  std::mutex m_mutex;
  std::map<std::string, std::shared_ptr<const PaIndex>> m_indexes;
};

PaIndexCache& Cache() {
  static PaIndexCache cache;
  return cache;
}

// The open file with its status; the descriptor is closed on every way out.
class OpenPaFile {
 public:
  explicit OpenPaFile(const std::u16string& path) : m_path(Utf16ToUtf8(path)) {
    m_fd = OpenRegularFile(m_path);
    if (m_fd >= 0 && fstat(m_fd, &m_st) != 0) {
      close(m_fd);
      m_fd = -1;
    }
  }
  ~OpenPaFile() {
    if (m_fd >= 0) close(m_fd);
  }
  OpenPaFile(const OpenPaFile&) = delete;
  OpenPaFile& operator=(const OpenPaFile&) = delete;

  // Missing, unreadable and empty files have nothing to offer.
  bool Usable() const { return m_fd >= 0 && m_st.st_size > 0; }
  std::shared_ptr<const PaIndex> Index() { return Cache().Get(m_path, m_fd, m_st); }
  int Fd() const { return m_fd; }
  int64_t Size() const { return m_st.st_size; }

 private:
  std::string m_path;
  int m_fd = -1;
  struct stat m_st {};
};

// A sample deciphered before, when the file has not changed since: found with one
// stat and no open.
bool FindCachedSample(const std::u16string& path, const std::u16string& unit, std::vector<uint8_t>& retSample,
                      PAHEADER& retHeader) {
  const std::string sPath = Utf16ToUtf8(path);
  struct stat st {};
  if (stat(sPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const std::shared_ptr<const PaIndex> index = Cache().Peek(sPath, st);
  if (!index) return false;
  std::lock_guard<std::mutex> lock(index->sampleMutex);
  const auto cached = index->samples.find(unit);
  if (cached == index->samples.end()) return false;
  retSample = cached->second;
  retHeader = index->header;
  return true;
}

}  // namespace

bool FindPASound(const std::u16string& path, const std::u16string& unit, std::vector<uint8_t>& retSample,
                 PAHEADER& retHeader) {
  if (FindCachedSample(path, unit, retSample, retHeader)) return true;
  OpenPaFile file(path);
  if (!file.Usable()) return false;
  const std::shared_ptr<const PaIndex> index = file.Index();

  const auto it = index->firstPositive.find(unit);
  if (it == index->firstPositive.end()) {
    // Not found: the header only when every entry was read.
    if (index->end == PaScanEnd::Complete) retHeader = index->header;
    return false;
  }
  const SampleSpot spot = it->second;
  // A sample that runs past the end of the file ends the scan there.
  if (spot.lLength > file.Size() - spot.lOffset) return false;
  std::vector<uint8_t> sample(static_cast<size_t>(spot.lLength));
  if (!ReadFileRange(file.Fd(), spot.lOffset, spot.lLength, sample.data())) return false;
  // A fresh keystream for every sample.
  if (index->header.nCipher == 1) CRC4().DecryptByte(sample, kPaCipherKey);
  if (index->bTrusted) {
    std::lock_guard<std::mutex> lock(index->sampleMutex);
    index->samples.emplace(unit, sample);
  }
  retSample = std::move(sample);
  retHeader = index->header;
  return true;
}

std::optional<std::vector<std::u16string>> GetPASoundNames(const std::u16string& path, PAHEADER& retHeader) {
  OpenPaFile file(path);
  if (!file.Usable()) return std::nullopt;
  const std::shared_ptr<const PaIndex> index = file.Index();
  if (index->end != PaScanEnd::Complete || index->header.lEntryCount <= 0) return std::nullopt;
  retHeader = index->header;
  return index->names;
}

}  // namespace ekoto
