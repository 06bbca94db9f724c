// options.dat is never lost: a program killed at any moment of a save leaves
// one whole version of the settings, and a save that cannot finish (the disk
// is full) leaves the old file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "OptionsSaverContents.h"
#include "PaTestFiles.h"
#include "settings/modLoadAndSaveOptions.h"

namespace ekoto {
namespace {

using testing::ReadBytes;
using testing::SaverContents;
using testing::SavedSettings;
using testing::ScratchDir;
using Bytes = std::vector<uint8_t>;

// Rounds of the kill test; EKOTO_KILL_ROUNDS raises it for a longer run by hand.
int KillRounds() {
  const char* env = std::getenv("EKOTO_KILL_ROUNDS");
  return env != nullptr && std::atoi(env) > 0 ? std::atoi(env) : 200;
}

class OptionsCrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    first_ = SavedWith(false, "first.dat");
    second_ = SavedWith(true, "second.dat");
    ASSERT_NE(first_.size(), second_.size());
    std::filesystem::create_directories(dir_.Path("config"));
    path_ = dir_.Path("config/options.dat").string();
    SavedSettings s = SaverContents(false);
    ASSERT_TRUE(SaveOptions(dir_.Path16("config/options.dat"), s.options, s.window));
  }

  // The bytes a save of one version writes, saved by the code under test itself.
  Bytes SavedWith(bool second, const std::string& name) {
    SavedSettings s = SaverContents(second);
    EXPECT_TRUE(SaveOptions(dir_.Path16(name), s.options, s.window));
    return ReadBytes(dir_.Path(name));
  }

  // Files in the config folder other than options.dat.
  int OtherFiles() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path("config"))) {
      n += entry.path().filename() != "options.dat" ? 1 : 0;
    }
    return n;
  }

  ScratchDir dir_;
  std::string path_;
  Bytes first_, second_;
};

// The saver writes the two versions in turn without end. Each round starts it,
// waits for its first save to finish, lets it run for a random moment (a few
// saves at most) and kills it.
TEST_F(OptionsCrashTest, KilledWhileSavingLeavesOneWholeVersion) {
  const int rounds = KillRounds();
  const unsigned seed = std::random_device{}();
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> delayUs(0, 3000);
  int seen[2] = {0, 0};
  for (int round = 0; round < rounds; ++round) {
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      dup2(started[1], 1);
      close(started[0]);
      close(started[1]);
      execl(EKOTO_OPTIONS_SAVER, "options_saver", path_.c_str(), "--signal-start", nullptr);
      _exit(127);
    }
    close(started[1]);
    char byte = 0;
    const bool bStarted = read(started[0], &byte, 1) == 1;
    close(started[0]);
    if (bStarted) usleep(delayUs(rng));
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(bStarted) << "the saver ended before its first save, status " << status;
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself, status " << status;

    const Bytes now = ReadBytes(path_);
    if (now == first_) {
      ++seen[0];
    } else if (now == second_) {
      ++seen[1];
    } else {
      FAIL() << "round " << round << " (seed " << seed << "): options.dat holds neither version, "
             << now.size() << " bytes";
    }
  }
  // Both versions turn up, or the kills never fell among the saves.
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  std::printf("%d kills: first version %d times, second %d times; %d stray files left in the folder\n", rounds,
              seen[0], seen[1], OtherFiles());
}

// A save that runs into the file size limit, as on a full disk, fails, keeps
// the old file and leaves nothing else behind.
TEST_F(OptionsCrashTest, FullDiskKeepsTheOldFile) {
  for (const rlim_t limit : {rlim_t{0}, rlim_t{16}, static_cast<rlim_t>(second_.size() - 1)}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Writes past the limit then fail with EFBIG instead of killing the process.
      signal(SIGXFSZ, SIG_IGN);
      const rlimit rl{limit, limit};
      if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(3);
      SavedSettings s = SaverContents(true);
      _exit(SaveOptions(dir_.Path16("config/options.dat"), s.options, s.window) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "limit " << limit;
    EXPECT_EQ(WEXITSTATUS(status), 1) << "limit " << limit << ": the save did not report its failure";
    EXPECT_EQ(ReadBytes(path_), first_) << "limit " << limit;
    EXPECT_EQ(OtherFiles(), 0) << "limit " << limit << ": temporary file left behind";
  }
}

}  // namespace
}  // namespace ekoto
