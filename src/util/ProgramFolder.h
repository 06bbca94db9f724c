// Where the running executable lives: bundled data files sit beside it.
#pragma once
#include <string>

namespace ekoto {

// The folder of the running executable, with a trailing "/"; "" when unknown.
std::u16string ProgramFolder();

}  // namespace ekoto
