#include "speechd/SpeechSettings.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

namespace ekoto {
namespace {

bool ParsePercent(std::string_view value, int& ret) {
  int n = 0;
  const char* end = value.data() + value.size();
  const auto [ptr, ec] = std::from_chars(value.data() + (value.starts_with('+') ? 1 : 0), end, n);
  if (ec != std::errc() || ptr != end || n < -100 || n > 100) return false;
  ret = n;
  return true;
}

bool OneOf(std::string_view value, std::initializer_list<std::string_view> allowed) {
  for (std::string_view a : allowed) {
    if (value == a) return true;
  }
  return false;
}

}  // namespace

bool ApplySpeechSetting(SpeechSettings& settings, std::string_view key, std::string_view value) {
  if (key == "rate") return ParsePercent(value, settings.nRate);
  if (key == "pitch") return ParsePercent(value, settings.nPitch);
  if (key == "volume") return ParsePercent(value, settings.nVolume);
  if (key == "pitch_range") {
    int ignored = 0;
    return ParsePercent(value, ignored);
  }
  if (key == "punctuation_mode") return OneOf(value, {"none", "some", "most", "all"});
  if (key == "cap_let_recogn") return OneOf(value, {"none", "spell", "icon"});
  if (key == "spelling_mode") {
    if (!OneOf(value, {"on", "off"})) return false;
    settings.bSpelling = value == "on";
    return true;
  }
  if (key == "voice") {
    return OneOf(value, {"male1", "male2", "male3", "female1", "female2", "female3", "child_male", "child_female"});
  }
  // Any language is taken: whatever the client says, the text is read as Japanese.
  if (key == "language") return !value.empty();
  if (key == "synthesis_voice") {
    settings.sVoice = value == "NULL" ? "" : std::string(value);
    return true;
  }
  return false;
}

float VolumeFactor(const SpeechSettings& settings, float userVolume) {
  return userVolume * static_cast<float>(settings.nVolume + 100) / 200.0f;
}

int UnitPauseMs(const SpeechSettings& settings) { return settings.nRate < 0 ? -settings.nRate * 5 : 0; }

double Tempo(const SpeechSettings& settings) {
  return settings.nRate > 0 ? std::pow(3.0, settings.nRate / 100.0) : 1.0;
}

double PitchSemitones(const SpeechSettings& settings) { return settings.nPitch / 25.0; }

}  // namespace ekoto
