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
  bool bOptionsBesideWritable = false; // that options.dat may be replaced by this user
  bool bUserCopyExists = false;        // <config>/ekoto/options.dat exists
};

// Where options.dat is read at start-up and saved at the end.
struct OptionsFiles {
  std::u16string sLoadPath;
  std::u16string sSavePath;
};

// Saved beside the program (programFolder + "options.dat") when this user can
// save there: the folder is writable and an options.dat there, if any, too.
// Otherwise saved in <config>/ekoto/options.dat, where <config> is sConfigHome
// when it is an absolute path and sHome + "/.config" otherwise; with neither,
// beside the program again (which may fail), or "" when the program folder is
// unknown too. Read from where it is saved, except that an options.dat beside
// the program that cannot be saved is read until the user's own copy exists.
OptionsFiles ChooseOptionsFiles(const OptionsPlace& place);

// ChooseOptionsFiles for this program folder and these environment values,
// looking at the file system for the rest.
OptionsFiles OptionsFilesFor(const std::u16string& programFolder, const std::u16string& configHome,
                             const std::u16string& home);

// OptionsFilesFor this executable's folder, $XDG_CONFIG_HOME and $HOME
// (the password database's home when $HOME is unset).
OptionsFiles UserOptionsFiles();
// The same for the program in programFolder ("" for none known).
OptionsFiles UserOptionsFiles(const std::u16string& programFolder);

// Creates the missing folders above filePath (mode 0700, as for a
// configuration folder). Returns true iff the folder now exists.
bool CreateFolderFor(const std::u16string& filePath);

}  // namespace ekoto
