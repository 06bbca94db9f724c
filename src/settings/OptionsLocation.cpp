#include "settings/OptionsLocation.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/CFile.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

constexpr char16_t kOptionsFileName[] = u"options.dat";

bool IsAbsolute(const std::u16string& path) { return !path.empty() && path.front() == u'/'; }

// "/" gives "", so that joining with "/" never doubles it.
std::u16string WithoutTrailingSlashes(std::u16string path) {
  while (!path.empty() && path.back() == u'/') path.pop_back();
  return path;
}

std::u16string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? Utf8ToUtf16(value) : std::u16string();
}

std::u16string HomeFromPasswd() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir) {
    return u"";
  }
  return Utf8ToUtf16(found->pw_dir);
}

bool IsWritableFolder(const std::u16string& folder) {
  const std::string path = Utf16ToUtf8(folder);
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The user's own options.dat, "" when neither folder is known.
std::u16string UserOptionsPath(const std::u16string& sConfigHome, const std::u16string& sHome) {
  // A relative $XDG_CONFIG_HOME is invalid and ignored.
  if (IsAbsolute(sConfigHome)) return WithoutTrailingSlashes(sConfigHome) + u"/ekoto/" + kOptionsFileName;
  if (IsAbsolute(sHome)) return WithoutTrailingSlashes(sHome) + u"/.config/ekoto/" + kOptionsFileName;
  return u"";
}

}  // namespace

OptionsFiles ChooseOptionsFiles(const OptionsPlace& place) {
  const bool bProgramFolderKnown = !place.sProgramFolder.empty();
  const std::u16string sBeside = bProgramFolderKnown ? place.sProgramFolder + kOptionsFileName : u"";
  const std::u16string sUser = UserOptionsPath(place.sConfigHome, place.sHome);
  const bool bBesideSavable = bProgramFolderKnown && place.bProgramFolderWritable &&
                              (!place.bOptionsBesideProgram || place.bOptionsBesideWritable);
  OptionsFiles files;
  files.sSavePath = bBesideSavable || sUser.empty() ? sBeside : sUser;
  // Settings left beside an installed copy (say by a run as root) are taken
  // over once; from then on the user's own copy is what counts.
  const bool bReadBeside = bProgramFolderKnown && place.bOptionsBesideProgram &&
                           !(files.sSavePath == sUser && place.bUserCopyExists);
  files.sLoadPath = bReadBeside ? sBeside : files.sSavePath;
  return files;
}

OptionsFiles OptionsFilesFor(const std::u16string& programFolder, const std::u16string& configHome,
                             const std::u16string& home) {
  OptionsPlace place;
  place.sProgramFolder = programFolder;
  place.sConfigHome = configHome;
  place.sHome = home;
  if (!programFolder.empty()) {
    place.bProgramFolderWritable = IsWritableFolder(programFolder);
    place.bOptionsBesideProgram = CFile().IsFile(programFolder + kOptionsFileName);
    place.bOptionsBesideWritable =
        ::faccessat(AT_FDCWD, Utf16ToUtf8(programFolder + kOptionsFileName).c_str(), W_OK, AT_EACCESS) == 0;
  }
  place.bUserCopyExists = CFile().IsFile(UserOptionsPath(configHome, home));
  return ChooseOptionsFiles(place);
}

OptionsFiles UserOptionsFiles() { return UserOptionsFiles(ProgramFolder()); }

OptionsFiles UserOptionsFiles(const std::u16string& programFolder) {
  std::u16string home = Environment("HOME");
  if (home.empty()) home = HomeFromPasswd();
  return OptionsFilesFor(programFolder, Environment("XDG_CONFIG_HOME"), home);
}

bool CreateFolderFor(const std::u16string& filePath) {
  const std::string path = Utf16ToUtf8(filePath);
  const size_t last = path.rfind('/');
  if (last == std::string::npos || last == 0) return true;  // the current or the root folder
  const std::string folder = path.substr(0, last);
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string step = folder.substr(0, slash);
    if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st;
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace ekoto
