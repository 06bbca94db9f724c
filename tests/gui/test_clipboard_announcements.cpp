// A compositor announces the clipboard again whenever the window gains focus
// (Wayland): such an announcement is no copy. Only a change of the plain text
// on the clipboard is read, so the same text copied again is not read twice.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "MainWindowTestKit.h"

namespace ekoto::testing {
namespace {

enum class Step { kAnnounce, kCopyText, kCopyPicture };

TEST(ClipboardAnnouncements, OnlyAChangeOfTheTextIsACopy) {
  MainWindowFixture fixture;
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("あいう"));  // there before the program starts
  auto w = fixture.OpenWindow();
  w->clsOptions.bClipboard = true;
  const struct { Step step; const char* text; bool bRead; } steps[] = {
      {Step::kAnnounce, nullptr, false},   // the first focus: the start-up text again
      {Step::kCopyText, "かき", true},
      {Step::kAnnounce, nullptr, false},
      {Step::kAnnounce, nullptr, false},
      {Step::kCopyText, "かき", false},    // the same text offered anew
      {Step::kCopyPicture, nullptr, false},
      {Step::kCopyText, "かき", true},     // after a picture it is news again
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    const int nBefore = w->nNotices;
    if (steps[i].step == Step::kAnnounce) emit clipboard->changed(QClipboard::Clipboard);
    if (steps[i].step == Step::kCopyText) clipboard->setText(QString::fromUtf8(steps[i].text));
    if (steps[i].step == Step::kCopyPicture) {
      QImage image(4, 4, QImage::Format_RGB32);
      image.fill(Qt::blue);
      clipboard->setImage(image);
    }
    ASSERT_TRUE(WaitUntil([&] { return w->nNotices > nBefore; }));
    EXPECT_EQ(w->tmrClipboard->isActive(), steps[i].bRead);
    w->tmrClipboard->stop();
  }
  w.reset();
  clipboard->clear();
}

}  // namespace
}  // namespace ekoto::testing
