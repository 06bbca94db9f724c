#include "voice/PaWriter.h"

#include <limits>
#include <optional>
#include <unordered_set>

#include "util/CFile.h"
#include "util/Cp932.h"
#include "voice/CRC4.h"
#include "voice/PaFile.h"
#include "voice/PaScan.h"

namespace ekoto {
namespace {

void PutInt16(std::vector<uint8_t>& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u & 0xFF));
  out.push_back(static_cast<uint8_t>(u >> 8));
}

void PutInt32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>((u >> shift) & 0xFF));
}

std::u16string Quoted(const std::u16string& name) { return u"\"" + name + u"\""; }

}  // namespace

PaStatus BuildPAImage(const std::vector<PaUnit>& units, int32_t lSampleRate, int16_t nCipher,
                      std::vector<uint8_t>& retBytes, int16_t nBitsPerSample) {
  if (units.empty()) return PaStatus::Error(u"no units to write");
  if (units.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    return PaStatus::Error(u"too many units");
  }
  if (lSampleRate <= 0) return PaStatus::Error(u"the sample rate must be positive");
  if (nBitsPerSample != 8 && nBitsPerSample != 16) return PaStatus::Error(u"samples must have 8 or 16 bits");
  const size_t nBytesPerSample = static_cast<size_t>(nBitsPerSample / 8);

  // Names first: nothing is assembled for a list that cannot be written.
  std::vector<std::string> names;
  names.reserve(units.size());
  std::unordered_set<std::u16string> seen;
  size_t total = kPaHeaderSize;
  for (const PaUnit& unit : units) {
    if (unit.sName.empty()) return PaStatus::Error(u"a unit has an empty name");
    std::optional<std::string> name = EncodeCp932(unit.sName);
    if (!name) return PaStatus::Error(u"unit " + Quoted(unit.sName) + u" has no Shift_JIS (CP932) form");
    if (!seen.insert(unit.sName).second) return PaStatus::Error(u"unit " + Quoted(unit.sName) + u" appears twice");
    if (unit.bytSample.empty()) return PaStatus::Error(u"unit " + Quoted(unit.sName) + u" has an empty sample");
    if (unit.bytSample.size() % nBytesPerSample != 0) {
      return PaStatus::Error(u"unit " + Quoted(unit.sName) + u" ends in a partial sample");
    }
    // L + 1 must still be a valid length for a reader working in 32 bits.
    if (unit.bytSample.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max()) ||
        name->size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
      return PaStatus::Error(u"unit " + Quoted(unit.sName) + u" is too long");
    }
    total += 8 + name->size() + unit.bytSample.size() + 1;
    names.push_back(std::move(*name));
  }

  std::vector<uint8_t> out;
  out.reserve(total);
  out.insert(out.end(), {'P', 'A', ' ', ' ', 1});
  PutInt32(out, lSampleRate);
  PutInt16(out, nBitsPerSample);
  PutInt16(out, 1);
  PutInt32(out, static_cast<int32_t>(units.size()));
  PutInt32(out, static_cast<int32_t>(kPaHeaderSize));
  PutInt16(out, nCipher);

  CRC4 rc4;
  for (size_t k = 0; k < units.size(); ++k) {
    PutInt32(out, static_cast<int32_t>(names[k].size()));
    out.insert(out.end(), names[k].begin(), names[k].end());
    std::vector<uint8_t> stored = units[k].bytSample;
    // Every sample on its own: the keystream starts afresh for each.
    if (nCipher == 1) rc4.EncryptByte(stored, kPaCipherKey);
    PutInt32(out, static_cast<int32_t>(stored.size()));
    out.insert(out.end(), stored.begin(), stored.end());
    // The sample area carries one byte more than the sample; readers skip it.
    out.push_back(0);
  }
  retBytes = std::move(out);
  return PaStatus::Ok();
}

PaStatus WritePAFile(const std::u16string& path, const std::vector<PaUnit>& units, int32_t lSampleRate,
                     int16_t nCipher, int16_t nBitsPerSample) {
  std::vector<uint8_t> bytes;
  PaStatus status = BuildPAImage(units, lSampleRate, nCipher, bytes, nBitsPerSample);
  if (!status.bOk) return status;
  if (!CFile().WriteFileForBinary(path, bytes, false)) return PaStatus::Error(u"cannot write " + path);
  return PaStatus::Ok();
}

}  // namespace ekoto
