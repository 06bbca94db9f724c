#include "audio/ReadingExport.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "audio/LoadSoundWithVolume.h"
#include "audio/Pcm16.h"
#include "audio/UnitTempo.h"
#include "conversion/ConvTemplete.h"
#include "conversion/TempleteAccent.h"
#include "engine/clsReadUp.h"

namespace ekoto {
namespace {

// The file a save to sPath replaces: a symbolic link is followed to the file it
// names (which need not exist yet), so the link stays a link.
std::filesystem::path SaveTarget(const std::string& sPath) {
  std::filesystem::path target(sPath);
  std::error_code error;
  for (int nLinks = 0; nLinks < 40 && std::filesystem::is_symlink(target, error); ++nLinks) {
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// The mode a new file of this process gets: 0666 less the umask, read from
// /proc because umask() cannot be read without changing it for every thread.
mode_t NewFileMode() {
  mode_t mask = 022;
  if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    unsigned int nMask = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
      if (std::sscanf(line, "Umask: %o", &nMask) == 1) mask = static_cast<mode_t>(nMask);
    }
    std::fclose(status);
  }
  return 0666 & ~mask;
}

// A sound file written under a temporary name in the target's folder; Commit
// renames it into place, anything else removes it. The file replaced keeps its
// mode; a new one gets the mode the umask allows.
class AtomicSoundFile {
 public:
  AtomicSoundFile(const std::string& sPath, int nFormat) : m_target(SaveTarget(sPath)), m_nFormat(nFormat) {}
  ~AtomicSoundFile() {
    if (m_file != nullptr) sf_close(m_file);
    if (!m_sTempPath.empty()) std::remove(m_sTempPath.c_str());
  }
  AtomicSoundFile(const AtomicSoundFile&) = delete;
  AtomicSoundFile& operator=(const AtomicSoundFile&) = delete;

  bool IsOpen() const { return m_file != nullptr; }
  int SampleRate() const { return m_nRate; }

  bool Open(int nRate, std::string& sError) {
    std::string sTemplate = (m_target.parent_path() / ("." + m_target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(sTemplate.data());
    if (fd < 0) {
      sError = std::strerror(errno);
      return false;
    }
    m_sTempPath = sTemplate;
    struct stat old {};
    fchmod(fd, stat(m_target.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode());
    m_fd = fd;
    SF_INFO info{};
    info.samplerate = nRate;
    info.channels = 1;
    info.format = m_nFormat;
    m_file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (m_file == nullptr) {
      sError = sf_strerror(nullptr);
      close(fd);
      return false;
    }
    m_nRate = nRate;
    return true;
  }

  bool Write(const int16_t* pcm, size_t nFrames, std::string& sError) {
    if (sf_writef_short(m_file, pcm, static_cast<sf_count_t>(nFrames)) != static_cast<sf_count_t>(nFrames)) {
      sError = sf_strerror(m_file);
      return false;
    }
    m_lFrames += static_cast<int64_t>(nFrames);
    return true;
  }

  int64_t Frames() const { return m_lFrames; }

  bool Commit(std::string& sError) {
    sf_write_sync(m_file);
    const bool bSynced = fsync(m_fd) == 0;
    const int nClose = sf_close(m_file);
    m_file = nullptr;
    if (!bSynced || nClose != 0) {
      sError = bSynced ? sf_error_number(nClose) : std::strerror(errno);
      return false;
    }
    if (std::rename(m_sTempPath.c_str(), m_target.c_str()) != 0) {
      sError = std::strerror(errno);
      return false;
    }
    m_sTempPath.clear();
    return true;
  }

 private:
  std::filesystem::path m_target;
  int m_nFormat;
  std::string m_sTempPath;
  SNDFILE* m_file = nullptr;
  int m_fd = -1;
  int m_nRate = 0;
  int64_t m_lFrames = 0;
};

// The reader's owner for one export: every unit goes to the file instead of a device.
class ExportSink : public IReadUpEvents, public IEventYield {
 public:
  ExportSink(const ExportSettings& settings, IReverseConverter& converter, AtomicSoundFile& file,
             IExportProgress& progress, int32_t lTextLength)
      : m_settings(settings), m_file(file), m_progress(progress), m_lTextLength(lTextLength),
        m_reader(*this, *this, converter) {
    if (!settings.sTempletePath.empty()) m_templete.Load(settings.sTempletePath);
    if (settings.pAccent) m_reader.SetAccentSource(&m_accent.emplace(*settings.pAccent, m_templete));
  }

  void Read(const std::u16string& text) { m_reader.PlayText(text); }
  bool Failed() const { return !m_sError.empty(); }
  const std::string& Error() const { return m_sError; }
  bool WasCancelled() const { return m_bCancelled; }

  void OnPlay() override {}
  void OnPause() override {}
  void OnStop() override {}
  void OnPlayPos(int32_t lSeek, int32_t /*lLength*/) override {
    const int nPercent = m_lTextLength > 0 ? static_cast<int>(100LL * lSeek / m_lTextLength) : 0;
    if (nPercent != m_nPercent) m_progress.Progress(m_nPercent = nPercent);
  }
  void OnConvertion(std::u16string& txt) override {
    txt = ApplyReadingOptions(std::move(txt), m_settings.reading, m_templete);
  }
  void OnPlaySound(std::u16string s) override {
    // The same wait as playing: 1000 − speed × 1000 ms, here as silence.
    const int32_t lWait = 1000 - static_cast<int32_t>(m_settings.fSpeed * 1000.0f + 0.5f);
    if (lWait > 0) AddSilence(lWait);
    PAHEADER header;
    const std::vector<uint8_t> bytes = LoadSoundWithVolume(m_settings.sPAPath, s, m_settings.fVolume, header);
    if (bytes.empty() || header.nChannels != 1) return;
    std::vector<int16_t> pcm = ToPcm16(bytes, header.nBitsPerSample);
    if (pcm.empty()) return;
    pcm = StretchPcm(std::move(pcm), header.lSampleRate, m_settings.dTempo, m_reader.PitchOfUnit());
    if (!m_file.IsOpen()) {
      if (!Check(m_file.Open(header.lSampleRate, m_sError))) return;
      // Waits before the first sound were counted before the rate was known.
      AddSilence(0);
    }
    if (header.lSampleRate != m_file.SampleRate()) {
      m_sError = "the voice file changed while it was read";
      m_reader.StopText();
      return;
    }
    Check(m_file.Write(pcm.data(), pcm.size(), m_sError));
  }
  void DoEvents() override {
    if (!m_bCancelled && m_progress.Cancelled()) {
      m_bCancelled = true;
      m_reader.StopText();
    }
  }

 private:
  bool Check(bool bOk) {
    if (!bOk) m_reader.StopText();
    return bOk;
  }

  void AddSilence(int32_t lMs) {
    m_lPendingMs += lMs;
    if (!m_file.IsOpen() || Failed()) return;
    std::vector<int16_t> silence(static_cast<size_t>(int64_t{m_file.SampleRate()} * m_lPendingMs / 1000), 0);
    m_lPendingMs = 0;
    if (!silence.empty()) Check(m_file.Write(silence.data(), silence.size(), m_sError));
  }

  const ExportSettings& m_settings;
  AtomicSoundFile& m_file;
  IExportProgress& m_progress;
  int32_t m_lTextLength;
  CConvTemplete m_templete;
  std::optional<CTempleteAccent> m_accent;  // settings.pAccent with this template's entries
  clsReadUp m_reader;
  int64_t m_lPendingMs = 0;
  int m_nPercent = -1;
  bool m_bCancelled = false;
  std::string m_sError;
};

std::string LowerExtension(const std::string& sPath) {
  std::string ext = std::filesystem::path(sPath).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

int AudioFileFormat(const std::string& sPath) {
  const std::string ext = LowerExtension(sPath);
  int nFormat = 0;
  if (ext == ".wav") nFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  if (ext == ".flac") nFormat = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  if (ext == ".ogg" || ext == ".oga") nFormat = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  SF_INFO info{};
  info.samplerate = 22050;
  info.channels = 1;
  info.format = nFormat;
  return nFormat != 0 && sf_format_check(&info) ? nFormat : 0;
}

ExportResult ExportReading(const std::u16string& text, const ExportSettings& settings, IReverseConverter& converter,
                           const std::string& sPath, IExportProgress& progress) {
  ExportResult result;
  const int nFormat = AudioFileFormat(sPath);
  if (nFormat == 0) {
    result.status = ExportStatus::kBadFileType;
    return result;
  }
  AtomicSoundFile file(sPath, nFormat);
  ExportSink sink(settings, converter, file, progress, static_cast<int32_t>(text.size()));
  sink.Read(text);
  std::string sError = sink.Error();
  if (sink.WasCancelled()) {
    result.status = ExportStatus::kCancelled;
  } else if (!sError.empty() || (file.IsOpen() && !file.Commit(sError))) {
    result.status = ExportStatus::kWriteFailed;
    result.sDetail = sError;
  } else if (!file.IsOpen() && file.Frames() == 0) {
    result.status = ExportStatus::kNoSound;
  }
  result.lFrames = file.Frames();
  return result;
}

}  // namespace ekoto
