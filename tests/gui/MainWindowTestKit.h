// What the main window tests drive the real window with: an identity reverse
// converter, a voice file made here, a paced null output that records every
// buffer, and a window that logs the reader's events as it answers them.
#pragma once
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../PaTestFiles.h"
#include "audio/NullOutput.h"
#include "conversion/ReverseConverter.h"
#include "ui/ReadTextBox.h"
#include "ui/frmMain.h"
#include "ui/modClipboard.h"
#include "util/Utf.h"
#include "voice/PaWriter.h"

namespace ekoto::testing {

// Hiragana in, the same hiragana out.
class IdentityConverter : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override { reading = piece; return true; }
};

// The units of the test voice. Unit i is kSampleByte repeated 400 + 8 i times
// (50 ms and a little more at 8000 Hz), so a buffer's length names its unit.
inline const std::vector<std::u16string>& VoiceUnits() {
  static const std::vector<std::u16string> units = {u"あ", u"い", u"う", u"え", u"お", u"か", u"き", u"く",
                                                    u"け", u"こ", u"さ", u"し", u"す", u"せ", u"そ"};
  return units;
}
inline constexpr uint8_t kSampleByte = 200;
inline size_t UnitLength(size_t i) { return 400 + 8 * i; }

inline std::string UnitOfLength(size_t nBytes) {
  for (size_t i = 0; i < VoiceUnits().size(); ++i)
    if (UnitLength(i) == nBytes) return Utf16ToUtf8(VoiceUnits()[i]);
  return "?";
}

// The paced null output, with a look at every buffer as it is written.
class RecordingOutput : public NullOutput {
 public:
  RecordingOutput() : NullOutput(true) {}
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override {
    if (!sFailure.empty()) return false;
    if (onWrite) onWrite(std::vector<uint8_t>(data, data + nBytes));
    return NullOutput::Write(handle, data, nBytes);
  }
  std::string TakeError() override { return sFailure.empty() ? NullOutput::TakeError() : sFailure; }
  std::function<void(const std::vector<uint8_t>&)> onWrite;
  std::string sFailure;  // when set, every write fails for this reason
};

// frmMain that logs each reader event after the window has answered it, and
// counts the clipboard notices its dispatcher is handed.
class LoggingWindow : public frmMain {
 public:
  using frmMain::frmMain;
  std::vector<std::string> log;
  int nSounds = 0;  // units the reader asked for
  bool bInUnit = false;  // a unit is being played right now
  int nNotices = 0;
  void EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret) override {
    if (uMsg == kWmDrawClipboard) ++nNotices;
    frmMain::EventNofity(hWnd_, uMsg, wParam, lParam, ret);
  }

 protected:
  void OnPlaySound(std::u16string s) override { ++nSounds, bInUnit = true, frmMain::OnPlaySound(std::move(s)), bInUnit = false; }
  void OnPlay() override { frmMain::OnPlay(); log.push_back("play"); }
  void OnPause() override { frmMain::OnPause(); log.push_back("pause"); }
  void OnStop() override { frmMain::OnStop(); log.push_back("stop"); }
  void OnPlayPos(int32_t lSeek, int32_t lLength) override {
    frmMain::OnPlayPos(lSeek, lLength);
    const QTextCursor cursor = txtReadText->textCursor();
    log.push_back("pos " + std::to_string(cursor.selectionStart()) + "+" +
                  std::to_string(cursor.selectionEnd() - cursor.selectionStart()));
  }
};

// Runs the event loop until pred holds or 10 s have passed; returns pred().
inline bool WaitUntil(const std::function<bool()>& pred) {
  QElapsedTimer clock;
  clock.start();
  for (QEventLoop loop; !pred() && clock.elapsed() < 10000; loop.exec()) QTimer::singleShot(10, &loop, &QEventLoop::quit);
  return pred();
}

// Runs action from the event loop, as a click arriving during a reading would.
inline void Later(QObject* context, std::function<void()> action) { QTimer::singleShot(0, context, std::move(action)); }

inline QStringList ListLines(const QListWidget& list) {
  QStringList lines;
  for (int i = 0; i < list.count(); ++i) lines.append(list.item(i)->text());
  return lines;
}

inline std::string FileText(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

// A scratch program folder holding the test voice as 50on.pa; options.dat goes there too.
class MainWindowFixture {
 public:
  MainWindowFixture() {
    std::vector<PaUnit> units;
    for (size_t i = 0; i < VoiceUnits().size(); ++i)
      units.push_back({VoiceUnits()[i], std::vector<uint8_t>(UnitLength(i), kSampleByte)});
    m_bVoiceWritten = WritePAFile(dir.Path16("50on.pa"), units, 8000, 0).bOk;
  }

  bool VoiceWritten() const { return m_bVoiceWritten; }

  std::unique_ptr<LoggingWindow> OpenWindow() {
    const std::u16string folder = Utf8ToUtf16(dir.Root().string()) + u"/";
    auto window = std::make_unique<LoggingWindow>(
        MainWindowServices{output, converter, folder + u"options.dat", folder});
    QObject::connect(window.get(), &frmMain::Unloaded, [this] { ++nUnloaded; });
    return window;
  }

  ScratchDir dir;
  RecordingOutput output;
  IdentityConverter converter;
  int nUnloaded = 0;

 private:
  bool m_bVoiceWritten = false;
};

// The main window open on the test voice, with the units it writes recorded.
class WindowTest : public ::testing::Test, public MainWindowFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(VoiceWritten());
    w = OpenWindow();
    output.onWrite = [this](const std::vector<uint8_t>& bytes) {
      units.push_back(UnitOfLength(bytes.size()));
      lastBytes = bytes;
      OnUnit();
      if (atUnit && units.size() == atUnitIndex) Later(w.get(), std::exchange(atUnit, nullptr));
    };
  }
  void TearDown() override { output.onWrite = nullptr; }
  virtual void OnUnit() {}

  // Runs action (from the event loop, during the unit's wait) when the n-th unit starts.
  void AtUnit(size_t n, std::function<void()> action) {
    atUnitIndex = n;
    atUnit = std::move(action);
  }
  void SetText(const char16_t* text) { w->txtReadText->setPlainText(QString::fromUtf16(text)); }
  void SetCaret(int nPos) {
    QTextCursor cursor = w->txtReadText->textCursor();
    cursor.setPosition(nPos);
    w->txtReadText->setTextCursor(cursor);
  }

  std::unique_ptr<LoggingWindow> w;
  std::vector<std::string> units;
  std::vector<uint8_t> lastBytes;
  size_t atUnitIndex = 0;
  std::function<void()> atUnit;
};

}  // namespace ekoto::testing
