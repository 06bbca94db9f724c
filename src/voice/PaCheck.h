// A structural check of a voice source file for its author: what the readers
// would stumble over, what they would silently pass by, and which units that
// ordinary text needs the voice lacks.
#pragma once
#include <string>
#include <vector>

#include "voice/PaFile.h"

namespace ekoto {

struct PaProblem {
  bool bError = true;  // false: a warning, the file still reads as intended
  std::u16string sMessage;
};

struct PaCheckResult {
  PAHEADER header;
  bool bHeaderRead = false;                // header is meaningful
  int32_t lEntriesRead = 0;
  std::vector<PaProblem> problems;         // in file order, the missing units last
  std::vector<std::u16string> missingUnits;  // of RequiredUnits(), in its order

  // Returns true iff no problem is an error.
  bool Passed() const;
};

// Errors: an unreadable file or header, a table that breaks off, a sample that
// runs past the end of the file, bits per sample other than 8, a rate or channel
// count of 0 or less, no entries, a required unit without a playable sample.
// Warnings: names that appear more than once, entries with no sample, names that
// are not valid CP932, a sample area without its extra byte, a table that
// overlaps the header, a cipher flag other than 0 and 1, more than one channel.
PaCheckResult CheckPAFile(const std::u16string& path);

}  // namespace ekoto
