// Writing voice source files: 8-bit mono samples keyed by unit names, in the
// format the readers of PaFile.h take. Used by the authoring tool.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "voice/PaStatus.h"

namespace ekoto {

// One unit: its name and its unsigned 8-bit mono sample (128 is silence).
struct PaUnit {
  std::u16string sName;
  std::vector<uint8_t> bytSample;
};

// The bytes of a voice source file holding units in the given order: header
// (8 bits, 1 channel, lSampleRate, nCipher), then the table right after it.
// With nCipher 1 every sample is ciphered on its own. Fails, naming the unit, on a
// name that is empty, has no CP932 form or repeats an earlier one, and on an empty
// sample; also on an empty list or a rate of 0 or less.
PaStatus BuildPAImage(const std::vector<PaUnit>& units, int32_t lSampleRate, int16_t nCipher,
                      std::vector<uint8_t>& retBytes);

// BuildPAImage written as the file at path, atomically: on any failure the path
// keeps what it held before (or stays absent).
PaStatus WritePAFile(const std::u16string& path, const std::vector<PaUnit>& units, int32_t lSampleRate,
                     int16_t nCipher);

}  // namespace ekoto
