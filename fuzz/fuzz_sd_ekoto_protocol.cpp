// sd_ekoto's protocol input after INIT: whatever the server sends, every
// message begins (701) only after the one before has ended (702, 703 or 704),
// and no more messages begin than were taken ("200 OK SPEAKING"). The voice
// file is missing, so no audio is made and the reading runs at full speed.
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "speechd/SpeechModule.h"

namespace {

// Reads every character as itself: the protocol is tried, not the analyser.
class AsWritten : public ekoto::IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    reading = piece;
    return true;
  }
};

std::string ReadAll(int fd) {
  std::string out;
  char buffer[65536];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(n));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::string_view commands = fuzz::Bytes(data, size);
  // DEBUG ON opens the file it names.
  if (commands.find("DEBUG") != std::string_view::npos) return 0;
  const std::string input = "INIT\n" + std::string(commands);
  // Input and output in memory files: the input is there whole before the module reads.
  const int in = memfd_create("sd_ekoto_in", 0), out = memfd_create("sd_ekoto_out", 0);
  if (in < 0 || out < 0 || write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
    fuzz::Fail("no memory file");
  }
  lseek(in, 0, SEEK_SET);
  SsipChannel channel(in, out);
  ModuleConfig config;
  config.bRealTime = false;
  config.nMaxMessageBytes = 4096;
  AsWritten converter;
  SpeechModule module(
      channel, config, [] { return UserSetup{{{"missing", u"/nonexistent/voice.pa"}}, u"", {}, 4.0f}; }, converter);
  module.Run();
  close(in);

  const std::string replies = ReadAll(out);
  close(out);
  bool bOpen = false;
  size_t nTaken = 0, nBegun = 0;
  for (size_t at = 0; at < replies.size();) {
    const size_t nl = replies.find('\n', at);
    const std::string_view line = std::string_view(replies).substr(at, nl - at);
    at = nl == std::string::npos ? replies.size() : nl + 1;
    if (line == "200 OK SPEAKING") ++nTaken;
    if (line == "701 BEGIN") {
      if (bOpen) fuzz::Fail("a message began before the one before ended");
      bOpen = true;
      if (++nBegun > nTaken) fuzz::Fail("more messages began than were taken");
    } else if (line == "702 END" || line == "703 STOP" || line == "704 PAUSE") {
      if (!bOpen) fuzz::Fail("an end without a beginning");
      bOpen = false;
    }
  }
  return 0;
}
