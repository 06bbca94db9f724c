// The volume step of modReadAndPlaySound: a unit's sample, fetched from the voice
// source file, with every byte scaled around the middle value 127.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "voice/PaFile.h"

namespace ekoto {

// The sample of unit in the voice file at path, every byte b turned into
// ClipToByte((b - 127) * factor + 127) in single precision. Empty when the unit
// is not found or the file is missing or invalid; retHeader as FindPASound leaves it.
std::vector<uint8_t> LoadSoundWithVolume(const std::u16string& path, const std::u16string& unit, float factor,
                                         PAHEADER& retHeader);

// 0 below 0 (and for NaN), 255 above 255, otherwise v rounded to the nearest
// integer with ties to even.
uint8_t ClipToByte(float v);

}  // namespace ekoto
