// Writing voice source files: 8- or 16-bit mono samples keyed by unit names, in
// the format the readers of PaFile.h take. Used by the authoring tools.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "voice/PaStatus.h"

namespace ekoto {

// One unit: its name and its mono sample, raw PCM as the file's header gives it
// (8 bits: unsigned, 128 is silence; 16 bits: signed little-endian).
struct PaUnit {
  std::u16string sName;
  std::vector<uint8_t> bytSample;
};

// The bytes of a voice source file holding units in the given order: header
// (nBitsPerSample, 1 channel, lSampleRate, nCipher), then the table right after it.
// With nCipher 1 every sample is ciphered on its own. Fails, naming the unit, on a
// name that is empty, has no CP932 form or repeats an earlier one, and on an empty
// sample or one that is not a whole number of samples; also on an empty list, a
// rate of 0 or less, or bits other than 8 and 16.
PaStatus BuildPAImage(const std::vector<PaUnit>& units, int32_t lSampleRate, int16_t nCipher,
                      std::vector<uint8_t>& retBytes, int16_t nBitsPerSample = 8);

// BuildPAImage written as the file at path, atomically: on any failure the path
// keeps what it held before (or stays absent).
PaStatus WritePAFile(const std::u16string& path, const std::vector<PaUnit>& units, int32_t lSampleRate,
                     int16_t nCipher, int16_t nBitsPerSample = 8);

}  // namespace ekoto
