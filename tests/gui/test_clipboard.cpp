// Clipboard watching: what a copy leads to, through the real clipboard of the
// offscreen platform, the window's message hook and its delayed start.
#include <QAction>
#include <QClipboard>
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
  if (offer.bImage) mime->setImageData(QImage(4, 4, QImage::Format_RGB32));
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
  bool ReadingEnded() const { return !w->log.empty() && w->log.back() == "stop" && w->mnuRun_Play->isEnabled(); }
};

// What a copy leads to: plain text (also with HTML) is read from its start a second later, the
// last of two; rich text, pictures, and copies while the setting is off are ignored.
TEST_F(ClipboardTest, PlainTextAloneIsShownAndReadASecondLater) {
  const struct { std::vector<Offer> copies; bool bSetting; const char* text; std::vector<std::string> units; } rows[] = {
      {{{.text = "あいう"}}, true, "あいう", {"あ", "い", "う"}},
      {{{.text = "かき", .html = "<b>かき</b>"}}, true, "かき", {"か", "き"}},
      // Ruby from a page: the HTML flavour gives the notation the reading chain reads.
      {{{.text = "かあき", .html = "<ruby>か<rp>(</rp><rt>あ</rt><rp>)</rp></ruby>き"}}, true, "｜か《あ》き", {"あ", "き"}},  // the ruby is read for its base
      {{{.text = "あい"}, {.text = "さしす"}}, true, "さしす", {"さ", "し", "す"}},
      {{{.text = "あい", .rtf = "{\\rtf1 あい}"}}, true, "まえ", {}},
      {{{.bImage = true}}, true, "まえ", {}},
      {{{.text = "あい", .bImage = true}}, true, "まえ", {}},
      {{{.text = "あい"}}, false, "まえ", {}},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    units.clear();
    w->log.clear();
    w->clsOptions.bClipboard = rows[i].bSetting;
    w->txtReadText->setPlainText(QStringLiteral("まえ"));
    for (const Offer& offer : rows[i].copies) Copy(offer);
    // Nothing yet: the text waits for its second, which is made to pass now.
    EXPECT_EQ(w->txtReadText->toPlainText(), "まえ") << i;
    EXPECT_TRUE(units.empty()) << i;
    EXPECT_EQ(w->tmrClipboard->isActive(), !rows[i].units.empty()) << i;
    if (w->tmrClipboard->isActive()) {
      EXPECT_EQ(w->tmrClipboard->interval(), 1000) << i;
      w->tmrClipboard->start(0);
      EXPECT_TRUE(WaitUntil([&] { return ReadingEnded(); })) << i;
      w->tmrClipboard->setInterval(1000);
    }
    EXPECT_EQ(w->txtReadText->toPlainText(), rows[i].text) << i;
    EXPECT_EQ(units, rows[i].units) << i;
  }
}

// Text already on the clipboard at start-up is not read, and after shutdown copies reach nothing.
TEST_F(ClipboardTest, NothingIsReadFromBeforeStartUpOrAfterShutdown) {
  w.reset();
  QGuiApplication::clipboard()->setMimeData(MakeMime({.text = "あいう"}));
  w = OpenWindow();
  w->clsOptions.bClipboard = true;
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  w->close();
  QGuiApplication::clipboard()->setMimeData(MakeMime({.text = "かき"}));
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(w->nNotices, 0);
  EXPECT_FALSE(w->tmrClipboard->isActive());
  EXPECT_TRUE(w->txtReadText->toPlainText().isEmpty());
}

// A compositor announces the clipboard again whenever the window gains focus
// (Wayland): such an announcement is no copy. Only a change of the plain text on
// the clipboard is read, so the same text copied again is not read twice.
TEST_F(ClipboardTest, AnAnnouncementWithoutNewTextIsNoCopy) {
  w.reset();
  QGuiApplication::clipboard()->setText(QStringLiteral("あいう"));  // there before the program starts
  w = OpenWindow();
  w->clsOptions.bClipboard = true;
  const struct { Offer copy; bool bRead; } steps[] = {  // an empty offer is a mere announcement
      {{}, false},  // the first focus: the start-up text again
      {{.text = "かき"}, true}, {{}, false}, {{}, false},
      {{.text = "かき"}, false},  // the same text offered anew
      {{.bImage = true}, false},
      {{.text = "かき"}, true},  // after a picture it is news again
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const int nBefore = w->nNotices;
    if (steps[i].copy.text || steps[i].copy.bImage) QGuiApplication::clipboard()->setMimeData(MakeMime(steps[i].copy));
    else emit QGuiApplication::clipboard()->changed(QClipboard::Clipboard);
    ASSERT_TRUE(WaitUntil([&] { return w->nNotices > nBefore; })) << i;
    EXPECT_EQ(w->tmrClipboard->isActive(), steps[i].bRead) << i;
    w->tmrClipboard->stop();
  }
}

// A copy during a reading replaces it.
TEST_F(ClipboardTest, CopyDuringAReadingStopsItAndReadsTheNewTextFromItsStart) {
  w->txtReadText->setPlainText(QStringLiteral("あいうえおかきくけこあいうえおかきくけこ"));
  AtUnit(2, [this] {
    Copy({.text = "せそ"});
    w->tmrClipboard->start(0);  // the second passes while the old reading still runs
  });
  w->mnuRun_Play->trigger();
  ASSERT_TRUE(WaitUntil([&] { return ReadingEnded() && units.size() >= 4 && units.back() == "そ"; }));
  EXPECT_LT(units.size(), 10u);
  EXPECT_EQ(w->txtReadText->toPlainText(), "せそ");
  EXPECT_EQ(std::vector<std::string>(units.end() - 2, units.end()), (std::vector<std::string>{"せ", "そ"}));
  EXPECT_EQ(std::count(w->log.begin(), w->log.end(), "play"), 2);
}

// The format rule by itself, for offers the real clipboard cannot make.
TEST(ClipboardFormats, OnlyPlainTextWithoutPictureOrRichTextCounts) {
  const struct { QStringList formats; bool bRead; } cases[] = {
      {{"text/plain"}, true},
      {{"text/plain;charset=utf-8"}, true},  // X11 text with its charset
      {{"application/rtf", "text/plain"}, false},
      {{"text/rtf", "text/plain"}, false},
      {{"text/plainish"}, false},
      {{"text/uri-list", "text/plain"}, false},  // files copied in a file manager
      {{"x-special/gnome-copied-files", "text/plain"}, false},
  };
  for (const auto& c : cases) {
    QMimeData data;
    for (const QString& format : c.formats) data.setData(format, QByteArray("x"));
    EXPECT_EQ(IsPlainTextOnly(data), c.bRead) << c.formats.join(' ').toStdString();
  }
}

}  // namespace
}  // namespace ekoto::testing
