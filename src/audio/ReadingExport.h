// Saving a reading as an audio file: the text goes through the same reader,
// conversion chain, voice, volume, speed and tempo as playing it, and the units
// and the waits before them (as silence) are written as 16-bit PCM. The file
// type follows the name's extension. The file appears whole or not at all: it
// is written under a temporary name beside the target and renamed at the end.
// A symbolic link is written through to the file it names; a file replaced
// keeps its mode, a new one follows the umask.
// Runs on any thread; the converter and the progress object are used by it alone.
#pragma once
#include <cstdint>
#include <string>

#include "conversion/AccentPlan.h"
#include "conversion/ConversionChain.h"
#include "conversion/ReverseConverter.h"

namespace ekoto {

struct ExportSettings {
  std::u16string sPAPath;
  std::u16string sTempletePath;  // empty: no template
  ReadingOptions reading;
  float fVolume = 4.0f;  // 0 to 4; 0 writes silence of the full length
  float fSpeed = 1.0f;   // 0 to 1: 1000 - speed × 1000 ms of silence before each unit
  double dTempo = 1.0;   // 0.5 to 3: each unit time-stretched, its pitch kept
  // Borrowed, and used by the export's thread alone; nullptr reads at the voice's own pitch.
  IAccentSource* pAccent = nullptr;
};

enum class ExportStatus {
  kSaved,
  kCancelled,
  kNoSound,       // not one unit of the text has a sample in the voice
  kBadFileType,   // the extension names no type this libsndfile can write
  kWriteFailed,   // see sDetail
};

struct ExportResult {
  ExportStatus status = ExportStatus::kSaved;
  std::string sDetail;  // libsndfile's or the system's words, for kWriteFailed
  int64_t lFrames = 0;  // frames written, when saved
};

// What the export reports to while it runs.
class IExportProgress {
 public:
  virtual ~IExportProgress() = default;
  // Percent of the text's characters reached; called when it changes.
  virtual void Progress(int nPercent) = 0;
  // Returns true iff the export should stop; asked after every unit.
  virtual bool Cancelled() = 0;
};

// The libsndfile format for sPath's extension (.wav, .flac, .ogg or .oga, any
// case), or 0 when it names none of them or this libsndfile cannot write it.
int AudioFileFormat(const std::string& sPath);

// Reads text into the file sPath (UTF-8). Nothing is left at sPath, and an
// existing file there is kept, unless the result is kSaved.
ExportResult ExportReading(const std::u16string& text, const ExportSettings& settings, IReverseConverter& converter,
                           const std::string& sPath, IExportProgress& progress);

}  // namespace ekoto
