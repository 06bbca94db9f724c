// The volume step of modReadAndPlaySound: a unit's sample, fetched from the voice
// source file, scaled by the volume according to the header's bits per sample.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "voice/PaFile.h"

namespace ekoto {

// The sample of unit in the voice file at path, scaled by factor as ScaleSample
// does for the file's bits per sample. Empty when the unit is not found or the
// file is missing or invalid; retHeader as FindPASound leaves it.
std::vector<uint8_t> LoadSoundWithVolume(const std::u16string& path, const std::u16string& unit, float factor,
                                         PAHEADER& retHeader);

// Scales raw samples in place. 8 bits: unsigned, every byte b becomes
// ClipToByte((b - 127) * factor + 127) in single precision. 16 bits: signed
// little-endian, every sample s becomes s * factor rounded to nearest even and
// clipped to -32768..32767 (a trailing odd byte is left alone). Other widths are
// left unchanged.
void ScaleSample(std::vector<uint8_t>& sample, int16_t nBitsPerSample, float factor);

// 0 below 0 (and for NaN), 255 above 255, otherwise v rounded to the nearest
// integer with ties to even.
uint8_t ClipToByte(float v);

// The same for a signed 16-bit sample: -32768..32767.
int16_t ClipToInt16(float v);

}  // namespace ekoto
