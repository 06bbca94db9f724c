// The voice settings the server sends with SET, and what they mean for the
// reading: volume is a gain on the user's own volume, a negative rate a pause
// before each unit, a positive rate a faster tempo at the same pitch, pitch a
// shift of up to four semitones.
#pragma once
#include <string>
#include <string_view>

namespace ekoto {

struct SpeechSettings {
  int nRate = 0;     // -100 to 100
  int nPitch = 0;    // -100 to 100
  int nVolume = 100; // -100 to 100
  bool bSpelling = false;
  std::string sVoice;  // synthesis_voice; "" for the user's voice
};

// Applies one "key=value" of a SET. Returns false when the key is unknown or
// the value is not one the key takes; settings are then unchanged.
bool ApplySpeechSetting(SpeechSettings& settings, std::string_view key, std::string_view value);

// The gain for the samples: the user's volume (0 to 4) at volume 100, half of
// it at 0, silence at -100.
float VolumeFactor(const SpeechSettings& settings, float userVolume);
// Milliseconds of silence before each unit: 0 from rate 0 up, 5 per step below.
int UnitPauseMs(const SpeechSettings& settings);
// Tempo of the time-stretch: 1 up to rate 0, 3 at rate 100 (3 to the power rate/100).
double Tempo(const SpeechSettings& settings);
// The pitch shift in semitones: pitch / 25, so four semitones up at 100 and down at -100.
double PitchSemitones(const SpeechSettings& settings);

}  // namespace ekoto
