// Plays a sound file (WAV or anything libsndfile reads) through clsPlaySound and
// returns when it has ended. The reader's PlaySoundFromFile uses it.
#pragma once
#include <string>

#include "audio/clsPlaySound.h"

namespace ekoto {

// Plays the file at path to its end, as 16-bit samples at the file's own rate and
// channel count. A missing or unreadable file, or one over 256 MiB as 16-bit
// samples, plays nothing and is not reported.
void PlayWaveFile(const std::u16string& path, clsPlaySound& player);

}  // namespace ekoto
