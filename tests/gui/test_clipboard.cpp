// Clipboard watching: what a copy leads to, through the real clipboard of the
// offscreen platform, the window's message hook and its delayed start.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTimer>

#include "MainWindowTestKit.h"
#include "ui/modClipboard.h"

namespace ekoto::testing {
namespace {

// The main window, counting the clipboard notices its dispatcher is handed.
class WatchingWindow : public LoggingWindow {
 public:
  using LoggingWindow::LoggingWindow;
  int nNotices = 0;
  void EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret) override {
    if (uMsg == kWmDrawClipboard) ++nNotices;
    LoggingWindow::EventNofity(hWnd_, uMsg, wParam, lParam, ret);
  }
};

struct Offer {
  const char* text = nullptr;  // text/plain
  const char* html = nullptr;  // text/html
  const char* rtf = nullptr;   // text/rtf
  bool bImage = false;
};

QMimeData* MakeMime(const Offer& offer) {
  auto* mime = new QMimeData;
  if (offer.text) mime->setText(QString::fromUtf8(offer.text));
  if (offer.html) mime->setHtml(QString::fromUtf8(offer.html));
  if (offer.rtf) mime->setData(QStringLiteral("text/rtf"), QByteArray(offer.rtf));
  if (offer.bImage) {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    mime->setImageData(image);
  }
  return mime;
}

class ClipboardTest : public ::testing::Test, public MainWindowFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(VoiceWritten());
    QGuiApplication::clipboard()->clear();
    w = OpenWindow<WatchingWindow>();
    w->clsOptions.bClipboard = true;
    output.onWrite = [this](const std::vector<uint8_t>& bytes) {
      units.push_back(UnitOfLength(bytes.size()));
      if (atUnit && units.size() == atUnitIndex) Later(w.get(), std::exchange(atUnit, nullptr));
    };
  }
  void TearDown() override {
    output.onWrite = nullptr;
    w.reset();
    QGuiApplication::clipboard()->clear();
  }

  template <class Window>
  std::unique_ptr<Window> OpenWindow() {
    const std::u16string folder = Utf8ToUtf16(dir.Root().string()) + u"/";
    return std::make_unique<Window>(MainWindowServices{output, converter, folder + u"options.dat", folder});
  }

  // Copies as another program would; returns once the window has been told.
  void Copy(const Offer& offer) {
    const int nBefore = w->nNotices;
    QGuiApplication::clipboard()->setMimeData(MakeMime(offer));
    ASSERT_TRUE(WaitUntil([&] { return w->nNotices > nBefore; }));
  }

  // The delayed start is armed for one second; make that second pass now.
  void LetTheSecondPass() {
    ASSERT_TRUE(w->tmrClipboard->isActive());
    ASSERT_EQ(w->tmrClipboard->interval(), 1000);
    w->tmrClipboard->start(0);
    ASSERT_TRUE(WaitUntil([&] { return !w->tmrClipboard->isActive(); }));
    w->tmrClipboard->setInterval(1000);
  }

  bool ReadingEnded() const { return !w->log.empty() && w->log.back() == "stop" && w->mnuRun_Play->isEnabled(); }

  std::unique_ptr<WatchingWindow> w;
  std::vector<std::string> units;
  size_t atUnitIndex = 0;
  std::function<void()> atUnit;
};

TEST_F(ClipboardTest, CopiedPlainTextIsShownAndReadFromItsStartASecondLater) {
  w->txtReadText->setPlainText(QStringLiteral("まえ"));
  Copy({.text = "あいう"});
  // Nothing yet: the text waits for its second.
  EXPECT_EQ(w->txtReadText->toPlainText(), "まえ");
  EXPECT_TRUE(units.empty());
  LetTheSecondPass();
  ASSERT_TRUE(WaitUntil([&] { return ReadingEnded(); }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "あいう");
  EXPECT_EQ(units, (std::vector<std::string>{"あ", "い", "う"}));
}

TEST_F(ClipboardTest, TextThatAlsoComesAsHtmlIsRead) {
  Copy({.text = "かき", .html = "<b>かき</b>"});
  LetTheSecondPass();
  ASSERT_TRUE(WaitUntil([&] { return ReadingEnded(); }));
  EXPECT_EQ(units, (std::vector<std::string>{"か", "き"}));
}

TEST_F(ClipboardTest, CopiesThatAreNotPlainTextAloneOrComeWhileTheSettingIsOffAreIgnored) {
  const struct {
    const char* name;
    Offer offer;
    bool bSetting;
  } cases[] = {
      {"text with rich text", {.text = "あい", .rtf = "{\\rtf1 あい}"}, true},
      {"a picture", {.bImage = true}, true},
      {"text with a picture", {.text = "あい", .bImage = true}, true},
      {"plain text, setting off", {.text = "あい"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    w->clsOptions.bClipboard = c.bSetting;
    w->txtReadText->setPlainText(QStringLiteral("まえ"));
    Copy(c.offer);
    EXPECT_FALSE(w->tmrClipboard->isActive());
    EXPECT_EQ(w->txtReadText->toPlainText(), "まえ");
  }
  EXPECT_TRUE(units.empty());
}

TEST_F(ClipboardTest, OfTwoCopiesWithinASecondOnlyTheLastIsRead) {
  Copy({.text = "あい"});
  Copy({.text = "さしす"});
  LetTheSecondPass();
  ASSERT_TRUE(WaitUntil([&] { return ReadingEnded(); }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "さしす");
  EXPECT_EQ(units, (std::vector<std::string>{"さ", "し", "す"}));
}

TEST_F(ClipboardTest, TextOnTheClipboardAtStartUpIsNotRead) {
  w.reset();
  QGuiApplication::clipboard()->setMimeData(MakeMime({.text = "あいう"}));
  w = OpenWindow<WatchingWindow>();
  w->clsOptions.bClipboard = true;
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(w->nNotices, 0);
  EXPECT_FALSE(w->tmrClipboard->isActive());
  EXPECT_TRUE(w->txtReadText->toPlainText().isEmpty());
}

TEST_F(ClipboardTest, CopyDuringAReadingStopsItAndReadsTheNewTextFromItsStart) {
  w->txtReadText->setPlainText(QStringLiteral("あいうえおかきくけこあいうえおかきくけこ"));
  atUnitIndex = 2;
  atUnit = [this] {
    Copy({.text = "せそ"});
    // The second passes while the old reading still runs.
    w->tmrClipboard->start(0);
  };
  w->mnuRun_Play->trigger();
  ASSERT_TRUE(WaitUntil([&] { return ReadingEnded() && units.size() >= 4 && units.back() == "そ"; }));
  EXPECT_LT(units.size(), 10u);
  EXPECT_EQ(w->txtReadText->toPlainText(), "せそ");
  EXPECT_EQ(std::vector<std::string>(units.end() - 2, units.end()), (std::vector<std::string>{"せ", "そ"}));
  EXPECT_EQ(std::count(w->log.begin(), w->log.end(), "play"), 2);
}

TEST_F(ClipboardTest, WhileTheOptionsDialogIsOpenItsCheckBoxDecides) {
  for (const bool bChecked : {true, false}) {
    SCOPED_TRACE(bChecked);
    w->clsOptions.bClipboard = !bChecked;
    QDialog options(w.get());
    auto* chkClipboard = new QCheckBox(&options);
    chkClipboard->setObjectName(QStringLiteral("chkClipboard"));
    chkClipboard->setChecked(bChecked);
    options.show();
    Copy({.text = "あ"});
    EXPECT_EQ(w->tmrClipboard->isActive(), bChecked);
    w->tmrClipboard->stop();
  }
}

TEST_F(ClipboardTest, AfterShutdownCopiesReachNothing) {
  w->close();
  QGuiApplication::clipboard()->setMimeData(MakeMime({.text = "あいう"}));
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(w->nNotices, 0);
  EXPECT_FALSE(w->tmrClipboard->isActive());
}

TEST(ClipboardFormats, OnlyPlainTextWithoutPictureOrRichTextCounts) {
  const struct {
    const char* name;
    QStringList formats;
    bool bRead;
  } cases[] = {
      {"plain text", {"text/plain"}, true},
      {"X11 text with its charset", {"text/plain;charset=utf-8"}, true},
      {"browser: HTML and text", {"text/html", "text/plain"}, true},
      {"word processor: RTF and text", {"text/plain", "text/rtf"}, false},
      {"RTF by its other name", {"application/rtf", "text/plain"}, false},
      {"picture and text", {"image/png", "text/plain"}, false},
      {"picture only", {"image/png"}, false},
      {"HTML only", {"text/html"}, false},
      {"nothing", {}, false},
      {"a type that merely starts like text", {"text/plainish"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QMimeData data;
    for (const QString& format : c.formats) data.setData(format, QByteArray("x"));
    EXPECT_EQ(IsPlainTextOnly(data), c.bRead);
  }
}

}  // namespace
}  // namespace ekoto::testing
