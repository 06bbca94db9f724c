// ekoto-pa: makes, lists, unpacks and checks voice source files (.pa).
// The work is done by the core library (voice/VoiceFolderBuild, PaScan, PaCheck,
// AudioImport); this file reads the command line and prints.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "util/CFile.h"
#include "util/Utf.h"
#include "voice/AudioImport.h"
#include "voice/PaCheck.h"
#include "voice/PaScan.h"
#include "voice/VoiceFolderBuild.h"

namespace fs = std::filesystem;
using namespace ekoto;

namespace {

constexpr const char* kUsage =
    "usage: ekoto-pa build OUT.pa INPUT... [--rate HZ] [--bits 8|16] [--cipher]\n"
    "         INPUT: WAV, FLAC or OGG files, or folders of them; the unit name is the\n"
    "         file name without its extension. Samples become mono at HZ (default:\n"
    "         the rate of the first input) and 8 bits (default) or 16 bits;\n"
    "         --cipher ciphers them.\n"
    "       ekoto-pa list FILE.pa\n"
    "       ekoto-pa extract FILE.pa DIR      (one WAV file per entry, at the file's bits)\n"
    "       ekoto-pa check FILE.pa            (structure, duplicates, missing units)\n"
    "       ekoto-pa --version\n";

int Fail(const std::string& message) {
  std::cerr << "ekoto-pa: " << message << "\n";
  return 1;
}

int Fail(const std::u16string& message) { return Fail(Utf16ToUtf8(message)); }

int Usage(const std::string& message) {
  std::cerr << "ekoto-pa: " << message << "\n" << kUsage;
  return 2;
}

std::u16string Path16(const fs::path& p) { return Utf8ToUtf16(p.string()); }

// Files named on the command line as they are; folders give their sound files in name order.
bool CollectInputs(const std::vector<std::string>& args, std::vector<fs::path>& files) {
  for (const std::string& arg : args) {
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
      std::vector<fs::path> found;
      for (const fs::directory_entry& e : fs::directory_iterator(arg, ec)) {
        if (e.is_regular_file() && IsRecordingFileName(e.path())) found.push_back(e.path());
      }
      if (ec) {
        Fail("cannot read folder " + arg + ": " + ec.message());
        return false;
      }
      std::sort(found.begin(), found.end());
      if (found.empty()) std::cerr << "ekoto-pa: warning: no WAV, FLAC or OGG files in " << arg << "\n";
      files.insert(files.end(), found.begin(), found.end());
    } else if (fs::is_regular_file(arg, ec)) {
      files.emplace_back(arg);
    } else {
      Fail("no such file or folder: " + arg);
      return false;
    }
  }
  return true;
}

int Build(const std::vector<std::string>& args, int32_t lRate, int16_t nBits, bool bCipher) {
  if (args.size() < 2) return Usage("build needs an output file and at least one input");
  std::vector<fs::path> files;
  if (!CollectInputs(std::vector<std::string>(args.begin() + 1, args.end()), files)) return 1;
  if (files.empty()) return Fail("no input files");

  VoiceBuildSettings settings;
  settings.sOutPath = Utf8ToUtf16(args[0]);
  settings.lSampleRate = lRate;
  settings.bCipher = bCipher;
  settings.nBitsPerSample = nBits;
  const VoiceBuildResult result = BuildVoiceFromFiles(files, settings, nullptr);
  if (!result.status.bOk) return Fail(result.status.sMessage);
  std::cout << "wrote " << args[0] << ": " << result.nUnits << " units, " << result.lSampleRate
            << " Hz, " << nBits << "-bit mono" << (bCipher ? ", ciphered" : "") << "\n";
  return 0;
}

void PrintHeader(const std::string& path, const PAHEADER& h) {
  std::cout << path << ": version " << int(h.version) << ", " << h.lSampleRate << " Hz, " << h.nBitsPerSample
            << " bits, " << h.nChannels << " channel(s), " << h.lEntryCount << " entries, table at "
            << h.lTableOffset << ", cipher flag " << h.nCipher << "\n";
}

int List(const std::string& path) {
  std::vector<PaEntryInfo> entries;
  const PaScanResult scan = ScanPAFile(Utf8ToUtf16(path), [&entries](const PaEntryInfo& e) { entries.push_back(e); });
  if (!scan.HeaderPassed()) return Fail(path + ": " + Utf16ToUtf8(DescribeScanEnd(scan)));
  const PAHEADER& h = scan.header;
  PrintHeader(path, h);
  const int64_t bytesPerSecond = int64_t{h.lSampleRate} * h.nChannels * std::max<int16_t>(1, h.nBitsPerSample / 8);
  for (const PaEntryInfo& e : entries) {
    char seconds[32] = "?";
    if (bytesPerSecond > 0) std::snprintf(seconds, sizeof seconds, "%.3f s", double(e.lLength) / bytesPerSecond);
    std::cout << (e.lIndex + 1) << "\t" << Utf16ToUtf8(e.sName) << "\t" << e.lLength << " bytes\t" << seconds
              << "\n";
  }
  if (scan.end != PaScanEnd::Complete) return Fail(path + ": " + Utf16ToUtf8(DescribeScanEnd(scan)));
  return 0;
}

// A unit name as a file name, or "" when it cannot be one.
std::string WavFileName(const std::u16string& name, std::map<std::u16string, int>& seen) {
  const std::string base = Utf16ToUtf8(name);
  if (base.empty() || base == "." || base == ".." || base.find_first_of(std::string("/\0", 2)) != std::string::npos) {
    return "";
  }
  const int n = ++seen[name];
  // A later entry of the same name gets a suffix; its sample is never played.
  return n == 1 ? base + ".wav" : base + "~" + std::to_string(n) + ".wav";
}

int Extract(const std::string& path, const std::string& dir) {
  std::u16string error;
  const std::optional<PaContents> contents = ReadPAContents(Utf8ToUtf16(path), error);
  if (!contents) return Fail(path + ": " + Utf16ToUtf8(error));
  const PAHEADER& h = contents->header;
  if (h.nBitsPerSample != 8 && h.nBitsPerSample != 16) return Fail(path + ": only 8- and 16-bit voices can be extracted");
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir)) return Fail("cannot make folder " + dir);

  int failures = 0;
  int written = 0;
  std::map<std::u16string, int> seen;
  for (const PaEntryData& entry : contents->entries) {
    const std::string name = Utf16ToUtf8(entry.sName);
    if (entry.bytSample.empty()) {
      std::cerr << "ekoto-pa: skipped \"" << name << "\": no sample\n";
      continue;
    }
    const std::string fileName = WavFileName(entry.sName, seen);
    if (fileName.empty()) {
      failures += Fail("unit \"" + name + "\" cannot be a file name");
      continue;
    }
    const std::optional<std::vector<uint8_t>> wav = MakeWavPcm(entry.bytSample, h.lSampleRate, h.nChannels, h.nBitsPerSample);
    const fs::path out = fs::path(dir) / fileName;
    if (!wav || !CFile().WriteFileForBinary(Path16(out), *wav, false)) {
      failures += Fail("cannot write " + out.string());
      continue;
    }
    ++written;
  }
  std::cout << "wrote " << written << " WAV files to " << dir << "\n";
  return failures == 0 ? 0 : 1;
}

int Check(const std::string& path) {
  const PaCheckResult result = CheckPAFile(Utf8ToUtf16(path));
  if (result.bHeaderRead) PrintHeader(path, result.header);
  for (const PaProblem& p : result.problems) {
    std::cout << (p.bError ? "error: " : "warning: ") << Utf16ToUtf8(p.sMessage) << "\n";
  }
  std::cout << (result.Passed() ? "check passed" : "check failed") << " (" << result.lEntriesRead << " entries read)\n";
  return result.Passed() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command");
  const std::string command = argv[1];
  if (command == "-h" || command == "--help" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "--version") {
    std::cout << "ekoto-pa " EKOTO_VERSION "\n";
    return 0;
  }
  std::vector<std::string> args;
  int32_t lRate = 0;
  int16_t nBits = 8;
  bool bBitsGiven = false;
  bool bCipher = false;
  bool bOptionsEnded = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (bOptionsEnded) {
      args.push_back(arg);
    } else if (arg == "--") {
      bOptionsEnded = true;
    } else if (arg == "--cipher") {
      bCipher = true;
    } else if (arg == "--rate" || arg.rfind("--rate=", 0) == 0) {
      std::string value;
      if (arg == "--rate") {
        if (++i >= argc) return Usage("--rate needs a value");
        value = argv[i];
      } else {
        value = arg.substr(7);
      }
      char* end = nullptr;
      const long rate = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || rate <= 0 || rate > 1000000) return Usage("bad rate: " + value);
      lRate = static_cast<int32_t>(rate);
    } else if (arg == "--bits" || arg.rfind("--bits=", 0) == 0) {
      std::string value;
      if (arg == "--bits") {
        if (++i >= argc) return Usage("--bits needs a value");
        value = argv[i];
      } else {
        value = arg.substr(7);
      }
      if (value != "8" && value != "16") return Usage("bad bits: " + value + " (8 or 16)");
      nBits = static_cast<int16_t>(std::stoi(value));
      bBitsGiven = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage("unknown option " + arg);
    } else {
      args.push_back(arg);
    }
  }
  if (command != "build" && (lRate != 0 || bBitsGiven || bCipher)) {
    return Usage("--rate, --bits and --cipher belong to build");
  }

  if (command == "build") return Build(args, lRate, nBits, bCipher);
  if (command == "list") return args.size() == 1 ? List(args[0]) : Usage("list takes one file");
  if (command == "extract") return args.size() == 2 ? Extract(args[0], args[1]) : Usage("extract takes a file and a folder");
  if (command == "check") return args.size() == 1 ? Check(args[0]) : Usage("check takes one file");
  return Usage("unknown command " + command);
}
