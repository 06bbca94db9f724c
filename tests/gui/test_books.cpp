// Books in the window: an EPUB opened shows its text and its table of contents
// in the 目次 menu; a chapter chosen moves the reading place there, while
// reading and while stopped; the place is kept by the book's path.
#include <QAction>
#include <QMenu>
#include <QSettings>

#include "../EpubTestFiles.h"
#include "MainWindowTestKit.h"

namespace ekoto::testing {
namespace {

class BookTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Hiragana, so that every unit has a sample and is heard.
    WriteString(dir.Path("book.epub"),
                ZipBytes(SmallBook("<h1>いち</h1><p>あい。うえ。</p>", R"(<h1>に</h1><p>かき。</p><p id="s2">くけ。こ</p>)")));
    sBook = QString::fromStdString(dir.Path("book.epub").string());
  }
  std::string Pos(const char16_t* sAt, int nLength) const {
    return "pos " + std::to_string(w->txtReadText->toPlainText().indexOf(QString::fromUtf16(sAt))) + "+" +
           std::to_string(nLength);
  }
  QStringList MenuEntries() const {
    QStringList entries;
    for (QAction* action : w->mnuChapter->actions()) entries.append(action->text());
    return entries;
  }
  QString sBook;
};

TEST_F(BookTest, ChaptersListedChosenWhileReadingAndStoppedAndKeptByPath) {
  EXPECT_FALSE(w->mnuChapter->menuAction()->isEnabled());
  ASSERT_TRUE(w->OpenTextFile(sBook));
  EXPECT_EQ(w->txtReadText->toPlainText(), "いち\nあい。うえ。\nに\nかき。\nくけ。こ");
  EXPECT_TRUE(w->mnuChapter->menuAction()->isEnabled());
  EXPECT_EQ(MenuEntries(), QStringList({"第一章", "第二章", "\u3000その二"}));  // the titles of the table of contents

  // While reading: the next unit after the choice is the chapter's first.
  AtUnit(1, [this] { w->mnuChapter->actions().at(2)->trigger(); });
  w->mnuRun_Play_Click();
  EXPECT_EQ(units, (std::vector<std::string>{"い", "く", "け", "こ"}));
  EXPECT_EQ(w->log, (std::vector<std::string>{"play", Pos(u"いち", 6), Pos(u"くけ", 3), Pos(u"こ", 1), "stop"}));

  // Stopped: held as a pause at the chapter (a sentence starting mid-line is cut there).
  w->log.clear();
  EXPECT_TRUE(w->mnuChapter_Click(1));
  EXPECT_EQ(w->log, std::vector<std::string>({Pos(u"いち", 6), Pos(u"に", 5)}));
  EXPECT_TRUE(w->mnuRun_Stop->isEnabled());
  w->close();
  const QSettings ini(w->FeatureSettingsPath(), QSettings::IniFormat);
  EXPECT_EQ(ini.value("Resume/Chapter").toInt(), 1);
  EXPECT_FALSE(ini.contains("Resume/Text"));

  // The next start offers the place, with or without the book named; another file forgets it.
  for (const QString& sFile : {QString(), sBook}) {
    auto next = OpenWindow();
    next->RestoreReading(sFile);
    EXPECT_EQ(next->txtReadText->toPlainText(), "いち\nあい。うえ。\nに\nかき。\nくけ。こ");
    EXPECT_TRUE(next->mnuRun_Stop->isEnabled());
    EXPECT_EQ(next->log.empty() ? "" : next->log.back(), Pos(u"に", 5));
    next->close();
  }
  // An edit makes the chapters wrong: the menu is greyed.
  auto edited = OpenWindow();
  ASSERT_TRUE(edited->OpenTextFile(sBook));
  edited->txtReadText->insertPlainText(QStringLiteral("す"));
  EXPECT_TRUE(edited->Chapters().empty());
  EXPECT_FALSE(edited->mnuChapter->menuAction()->isEnabled());
  EXPECT_FALSE(edited->mnuChapter_Click(0));
}

}  // namespace
}  // namespace ekoto::testing
