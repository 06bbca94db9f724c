#include "voice/PaCheck.h"

#include <unordered_map>

#include "util/Cp932.h"
#include "util/Utf.h"
#include "voice/PaScan.h"
#include "voice/RequiredUnits.h"

namespace ekoto {
namespace {

std::u16string Num(int64_t n) { return Utf8ToUtf16(std::to_string(n)); }

std::u16string EntryLabel(const PaEntryInfo& e) {
  return u"entry " + Num(e.lIndex + 1) + u" \"" + e.sName + u"\" (offset " + Num(e.lOffset) + u"): ";
}

}  // namespace

bool PaCheckResult::Passed() const {
  for (const PaProblem& p : problems) {
    if (p.bError) return false;
  }
  return true;
}

PaCheckResult CheckPAFile(const std::u16string& path) {
  PaCheckResult result;
  auto error = [&result](std::u16string message) { result.problems.push_back({true, std::move(message)}); };
  auto warning = [&result](std::u16string message) { result.problems.push_back({false, std::move(message)}); };

  std::vector<PaEntryInfo> entries;
  const PaScanResult scan = ScanPAFile(path, [&entries](const PaEntryInfo& e) {
    entries.push_back(e);
  });
  result.lEntriesRead = scan.lEntriesRead;
  if (!scan.HeaderPassed()) {
    error(DescribeScanEnd(scan));
    return result;
  }
  result.header = scan.header;
  result.bHeaderRead = true;

  const PAHEADER& h = scan.header;
  if (h.lSampleRate <= 0) error(u"sample rate " + Num(h.lSampleRate) + u" is not positive");
  if (h.nBitsPerSample != 8 && h.nBitsPerSample != 16) {
    error(u"bits per sample is " + Num(h.nBitsPerSample) + u"; playback scales only 8- and 16-bit samples");
  }
  if (h.nChannels <= 0) error(u"channel count " + Num(h.nChannels) + u" is not positive");
  if (h.nChannels > 1) warning(u"samples have " + Num(h.nChannels) + u" channels; voices are normally mono");
  if (h.nCipher != 0 && h.nCipher != 1) warning(u"cipher flag " + Num(h.nCipher) + u" reads as plain samples");
  if (h.lEntryCount <= 0) error(u"the file has no entries (entry count " + Num(h.lEntryCount) + u")");
  if (h.lTableOffset >= 0 && h.lTableOffset < kPaHeaderSize) {
    warning(u"the table offset " + Num(h.lTableOffset) + u" lies inside the header");
  }

  // The entry a lookup of each name reads: its first one with a sample.
  std::unordered_map<std::u16string, const PaEntryInfo*> firstEntry;
  std::unordered_map<std::u16string, const PaEntryInfo*> played;
  for (const PaEntryInfo& e : entries) {
    const auto [first, inserted] = firstEntry.try_emplace(e.sName, &e);
    if (!inserted) {
      warning(EntryLabel(e) + u"the name repeats entry " + Num(first->second->lIndex + 1) +
              u"; only the first entry with a sample is played");
    }
    if (e.lLength == 0) warning(EntryLabel(e) + u"no sample; it is never played");
    const std::optional<std::string> roundTrip = EncodeCp932(e.sName);
    if (!roundTrip || *roundTrip != e.bytName) {
      warning(EntryLabel(e) + u"the name bytes are not valid Shift_JIS (CP932)");
    }
    const int64_t end = e.lSampleOffset + e.lLength;
    if (end > scan.lFileSize) {
      error(EntryLabel(e) + u"the sample of " + Num(e.lLength) + u" bytes runs past the end of the file");
    } else if (end + 1 > scan.lFileSize) {
      warning(EntryLabel(e) + u"the sample area lacks its extra last byte");
    }
    if (h.nBitsPerSample == 16 && e.lLength % 2 != 0) warning(EntryLabel(e) + u"the sample ends in half a sample");
    if (e.lLength > 0) played.try_emplace(e.sName, &e);
  }
  if (scan.end != PaScanEnd::Complete) error(DescribeScanEnd(scan) + u"; the entries from there on are lost");

  for (const std::u16string& unit : RequiredUnits()) {
    const auto it = played.find(unit);
    if (it == played.end() || it->second->lSampleOffset + it->second->lLength > scan.lFileSize) {
      result.missingUnits.push_back(unit);
    }
  }
  if (!result.missingUnits.empty()) {
    std::u16string list;
    for (const std::u16string& unit : result.missingUnits) list += (list.empty() ? u"" : u" ") + unit;
    error(Num(static_cast<int64_t>(result.missingUnits.size())) + u" units that ordinary text needs have no sample: " +
          list);
  }
  return result;
}

}  // namespace ekoto
