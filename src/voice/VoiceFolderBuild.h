// A voice source file made from a folder of recordings, one file per unit named
// by the unit ("か.wav"): what the voice-building dialog runs.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "voice/PaStatus.h"

namespace ekoto {

struct VoiceBuildSettings {
  std::u16string sFolder;
  std::u16string sOutPath;
  int32_t lSampleRate = 0;  // 0: the rate of the first recording
  bool bCipher = false;
  int16_t nBitsPerSample = 8;  // 8 or 16
};

struct VoiceBuildResult {
  PaStatus status;
  int32_t nUnits = 0;
  int32_t lSampleRate = 0;
  // The units ordinary text needs that the written voice lacks, in RequiredUnits() order.
  std::vector<std::u16string> missingUnits;
};

// Told before each recording is read (nDone of nTotal); returning false cancels.
using VoiceBuildProgress = std::function<bool(size_t nDone, size_t nTotal)>;

// Returns true iff path names a recording: .wav, .flac or .ogg in any case.
bool IsRecordingFileName(const std::filesystem::path& path);

// The recordings directly in sFolder, in name order. Fails on a folder that cannot
// be read and on one without recordings.
PaStatus ListRecordings(const std::u16string& sFolder, std::vector<std::filesystem::path>& retFiles);

// Reads every recording, converts it to mono at the rate and bits and writes the
// voice file atomically: on failure or cancel sOutPath keeps what it held before.
// Fails, naming the file, on a recording that cannot be read and on two files
// that give the same unit.
VoiceBuildResult BuildVoiceFromFolder(const VoiceBuildSettings& settings, const VoiceBuildProgress& progress);

// The same from a list of recordings (sFolder unused): what ekoto-pa build runs.
VoiceBuildResult BuildVoiceFromFiles(const std::vector<std::filesystem::path>& files,
                                     const VoiceBuildSettings& settings, const VoiceBuildProgress& progress);

}  // namespace ekoto
