// The user's own settings for sd_ekoto: the options.dat the program keeps
// (voice, template, reading flags, volume), and the voices to offer.
#pragma once
#include <string>

#include "speechd/SpeechModule.h"

namespace ekoto {

// The folder the bundled data is looked for from: programFolder when it holds
// 50on.pa, else its parent. A module sits one folder deeper than the programs
// (<prefix>/lib/speech-dispatcher-modules/, ~/.local/libexec/speech-dispatcher-modules/),
// and BundledFilePath then finds <prefix>/share/ekoto/ from the parent.
std::u16string ModuleDataBase(const std::u16string& programFolder);

// The program's start-up defaults overridden by the options file at
// optionsPath (as the program reads it). The voices are the user's voice
// source file first, then the other .pa files beside it and in the bundled
// data folder, each named after its file; a missing voice file is left out.
UserSetup LoadUserSetup(const std::u16string& programFolder, const std::u16string& optionsPath);

}  // namespace ekoto
