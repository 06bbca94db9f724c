// Where options.dat lives: beside the executable for a portable copy (or a
// build tree), else in the user's configuration folder ($XDG_CONFIG_HOME/ekoto).
#pragma once
#include <string>

namespace ekoto {

// What the choice depends on, gathered from the file system and environment.
struct OptionsPlace {
  std::u16string sProgramFolder;       // with its trailing "/"; "" when unknown
  bool bProgramFolderWritable = false;
  bool bOptionsBesideProgram = false;  // an options.dat is already there
  std::u16string sConfigHome;          // $XDG_CONFIG_HOME; "" when unset
  std::u16string sHome;                // the user's home folder; "" when unknown
};

// programFolder + "options.dat" when that folder is writable or already holds
// one; else <config>/ekoto/options.dat, where <config> is sConfigHome when it
// is an absolute path and sHome + "/.config" otherwise. When neither gives a
// folder, the program folder's path again (which may not be writable), or ""
// when the program folder is unknown too.
std::u16string ChooseOptionsFilePath(const OptionsPlace& place);

// ChooseOptionsFilePath for this program folder and these environment values,
// looking at the file system for the rest.
std::u16string OptionsFilePathFor(const std::u16string& programFolder, const std::u16string& configHome,
                                  const std::u16string& home);

// OptionsFilePathFor this executable's folder, $XDG_CONFIG_HOME and $HOME
// (the password database's home when $HOME is unset).
std::u16string OptionsFilePath();

// Creates the missing folders above filePath (mode 0700, as for a
// configuration folder). Returns true iff the folder now exists.
bool CreateFolderFor(const std::u16string& filePath);

}  // namespace ekoto
