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

// The folder of the program's window as seen from the module's folder, so that
// the module reads the options.dat the window saves: the module's own folder
// when the window is beside it (a build tree, a portable copy), <prefix>/bin/
// when it is installed there and the module in <prefix>/lib/… or
// <prefix>/libexec/…; "" when no window is found there (a per-user install of
// the module alone), which leaves the user's configuration folder.
std::u16string WindowProgramFolder(const std::u16string& moduleFolder);

// The program's start-up defaults overridden by the options file at
// optionsPath (as the program reads it). The voices are the user's voice
// source file first, then the other .pa files beside it and in the bundled
// data folder, each named after its file (control characters, which would
// break the voice list, as "_"); a missing voice file is left out.
UserSetup LoadUserSetup(const std::u16string& programFolder, const std::u16string& optionsPath);

}  // namespace ekoto
