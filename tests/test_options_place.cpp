// Settings beside a program folder the user cannot write (an installed copy
// once run as root): they are read, then saved for the user, whose copy counts
// from then on. Runs as a user for real: as "nobody" in a child when the tests
// run as root.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "PaTestFiles.h"
#include "StoredOptionsWindow.h"
#include "settings/OptionsLocation.h"
#include "settings/modLoadAndSaveOptions.h"

namespace ekoto::testing {
namespace {

// One run of the program: reads the settings, makes the font one point larger
// and saves. Returns the size it read, or 0 when the save failed.
int RunOnce(const std::u16string& programFolder, const std::u16string& configHome) {
  const OptionsFiles files = OptionsFilesFor(programFolder, configHome, u"");
  COptions options;
  StoredOptionsWindow window;
  LoadOptions(files.sLoadPath, options, window);
  const int nRead = options.nFontSize;
  ++options.nFontSize;
  return SaveOptions(files.sSavePath, options, window) ? nRead : 0;
}

TEST(OptionsPlace, SettingsBesideAnUnwritableProgramAreTakenOverAndThenSavedForTheUser) {
  ScratchDir dir;
  const std::filesystem::path bin = dir.Path("bin"), config = dir.Path("config");
  ASSERT_TRUE(std::filesystem::create_directories(bin) && std::filesystem::create_directories(config));
  WriteString(bin / "options.dat", "// \r\nFontSize=12\r\n");
  const passwd* nobody = getpwnam("nobody");
  const bool bRoot = geteuid() == 0;
  ASSERT_TRUE(bRoot ? nobody && chown(config.c_str(), nobody->pw_uid, nobody->pw_gid) == 0 : chmod(bin.c_str(), 0555) == 0);
  const pid_t child = fork();
  if (child == 0) {
    if (bRoot && (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)) _exit(9);
    const std::u16string programFolder = Utf8ToUtf16(bin.string()) + u"/", configHome = Utf8ToUtf16(config.string());
    // The second run reads what the first saved.
    _exit(RunOnce(programFolder, configHome) != 12 ? 1 : RunOnce(programFolder, configHome) != 13 ? 2 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  chmod(bin.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the first run did not read the file beside the program and save it; "
                                       "2: the second run did not read the user's copy; 9: no user to be";
  EXPECT_EQ(ReadString(bin / "options.dat"), "// \r\nFontSize=12\r\n");
}

}  // namespace
}  // namespace ekoto::testing
