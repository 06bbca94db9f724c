// Clipboard watching: what a copy leads to, through the real clipboard of the
// offscreen platform, the window's message hook and its delayed start.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "MainWindowTestKit.h"
#include "ui/modClipboard.h"

namespace ekoto::testing {
namespace {

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

class ClipboardTest : public WindowTest {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    WindowTest::SetUp();
    w->clsOptions.bClipboard = true;
  }
  void TearDown() override {
    WindowTest::TearDown();
    w.reset();
    QGuiApplication::clipboard()->clear();
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
  void ReadToTheEnd() {
    LetTheSecondPass();
    ASSERT_TRUE(WaitUntil([&] { return ReadingEnded(); }));
  }
  bool ReadingEnded() const { return !w->log.empty() && w->log.back() == "stop" && w->mnuRun_Play->isEnabled(); }
};

// What a copy leads to: plain text (also with HTML) is read a second later, the last of two.
TEST_F(ClipboardTest, PlainTextIsShownAndReadFromItsStartASecondLater) {
  const struct {
    const char* name;
    std::vector<Offer> copies;
    const char* text;
    std::vector<std::string> units;
  } rows[] = {
      {"plain text", {{.text = "あいう"}}, "あいう", {"あ", "い", "う"}},
      {"text that also comes as HTML", {{.text = "かき", .html = "<b>かき</b>"}}, "かき", {"か", "き"}},
      {"two copies within a second", {{.text = "あい"}, {.text = "さしす"}}, "さしす", {"さ", "し", "す"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    units.clear();
    w->log.clear();
    w->txtReadText->setPlainText(QStringLiteral("まえ"));
    for (const Offer& offer : row.copies) Copy(offer);
    // Nothing yet: the text waits for its second.
    EXPECT_EQ(w->txtReadText->toPlainText(), "まえ");
    EXPECT_TRUE(units.empty());
    ReadToTheEnd();
    EXPECT_EQ(w->txtReadText->toPlainText(), row.text);
    EXPECT_EQ(units, row.units);
  }
}

// What is ignored: rich text, pictures, copies with the setting off, and start-up content.
TEST_F(ClipboardTest, CopiesThatAreNotPlainTextAloneOrComeWhileTheSettingIsOffAreIgnored) {
  const struct { const char* name; Offer offer; bool bSetting; } cases[] = {
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

TEST_F(ClipboardTest, TextOnTheClipboardAtStartUpIsNotRead) {
  w.reset();
  QGuiApplication::clipboard()->setMimeData(MakeMime({.text = "あいう"}));
  w = OpenWindow();
  w->clsOptions.bClipboard = true;
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(w->nNotices, 0);
  EXPECT_FALSE(w->tmrClipboard->isActive());
  EXPECT_TRUE(w->txtReadText->toPlainText().isEmpty());
}

// A copy during a reading replaces it; the open options dialog's check box decides.
TEST_F(ClipboardTest, CopyDuringAReadingStopsItAndReadsTheNewTextFromItsStart) {
  w->txtReadText->setPlainText(QStringLiteral("あいうえおかきくけこあいうえおかきくけこ"));
  AtUnit(2, [this] {
    Copy({.text = "せそ"});
    // The second passes while the old reading still runs.
    w->tmrClipboard->start(0);
  });
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

// The format rule by itself, for offers the real clipboard cannot make.
TEST(ClipboardFormats, OnlyPlainTextWithoutPictureOrRichTextCounts) {
  const struct { const char* name; QStringList formats; bool bRead; } cases[] = {
      {"plain text", {"text/plain"}, true},
      {"X11 text with its charset", {"text/plain;charset=utf-8"}, true},
      {"RTF by its other name", {"application/rtf", "text/plain"}, false},
      {"HTML only", {"text/html"}, false},
      {"nothing", {}, false},
      {"a type that merely starts like text", {"text/plainish"}, false},
      {"files copied in a file manager", {"text/uri-list", "text/plain"}, false},
      {"files copied in GNOME Files", {"x-special/gnome-copied-files", "text/plain"}, false},
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
