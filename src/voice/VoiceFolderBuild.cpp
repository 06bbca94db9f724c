#include "voice/VoiceFolderBuild.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "util/Utf.h"
#include "voice/AudioImport.h"
#include "voice/PaCheck.h"
#include "voice/PaWriter.h"

namespace ekoto {
namespace {

std::u16string Path16(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }

std::filesystem::path PathOf(const std::u16string& s) { return std::filesystem::path(Utf16ToUtf8(s)); }

}  // namespace

bool IsRecordingFileName(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".wav" || ext == ".flac" || ext == ".ogg";
}

PaStatus ListRecordings(const std::u16string& sFolder, std::vector<std::filesystem::path>& retFiles) {
  retFiles.clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(PathOf(sFolder), ec);
  if (ec) return PaStatus::Error(u"cannot read folder " + sFolder + u": " + Utf8ToUtf16(ec.message()));
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code ecFile;
    if (it->is_regular_file(ecFile) && IsRecordingFileName(it->path())) retFiles.push_back(it->path());
  }
  if (ec) return PaStatus::Error(u"cannot read folder " + sFolder + u": " + Utf8ToUtf16(ec.message()));
  if (retFiles.empty()) return PaStatus::Error(u"no WAV, FLAC or OGG files in " + sFolder);
  std::sort(retFiles.begin(), retFiles.end());
  return PaStatus::Ok();
}

VoiceBuildResult BuildVoiceFromFolder(const VoiceBuildSettings& settings, const VoiceBuildProgress& progress) {
  std::vector<std::filesystem::path> files;
  VoiceBuildResult result;
  result.status = ListRecordings(settings.sFolder, files);
  if (!result.status.bOk) return result;
  return BuildVoiceFromFiles(files, settings, progress);
}

VoiceBuildResult BuildVoiceFromFiles(const std::vector<std::filesystem::path>& files,
                                     const VoiceBuildSettings& settings, const VoiceBuildProgress& progress) {
  VoiceBuildResult result;
  if (files.empty()) {
    result.status = PaStatus::Error(u"no recordings to build from");
    return result;
  }
  int32_t lRate = settings.lSampleRate;
  std::vector<PaUnit> units;
  std::map<std::u16string, std::filesystem::path> fileOfUnit;
  for (size_t i = 0; i < files.size(); ++i) {
    if (progress && !progress(i, files.size())) {
      result.status = PaStatus::Error(u"cancelled");
      return result;
    }
    const std::filesystem::path& file = files[i];
    PaUnit unit;
    unit.sName = Utf8ToUtf16(file.stem().string());
    const auto [first, inserted] = fileOfUnit.try_emplace(unit.sName, file);
    if (!inserted) {
      result.status = PaStatus::Error(Path16(first->second) + u" and " + Path16(file) + u" give the same unit");
      return result;
    }
    MonoClip clip;
    result.status = ReadMonoClip(Path16(file), clip);
    if (!result.status.bOk) return result;
    if (lRate == 0) lRate = clip.lSampleRate;
    result.status = ConvertToPcm(clip, lRate, settings.nBitsPerSample, unit.bytSample);
    if (!result.status.bOk) {
      result.status.sMessage = Path16(file) + u": " + result.status.sMessage;
      return result;
    }
    units.push_back(std::move(unit));
  }
  if (progress) progress(files.size(), files.size());

  result.status = WritePAFile(settings.sOutPath, units, lRate, settings.bCipher ? 1 : 0, settings.nBitsPerSample);
  if (!result.status.bOk) {
    result.status.sMessage = settings.sOutPath + u": " + result.status.sMessage;
    return result;
  }
  result.nUnits = static_cast<int32_t>(units.size());
  result.lSampleRate = lRate;
  // What the readers will find in the file just written.
  result.missingUnits = CheckPAFile(settings.sOutPath).missingUnits;
  return result;
}

}  // namespace ekoto
