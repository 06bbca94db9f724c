// The options dialog opened from the main window's menu and driven as a user
// would: what OK writes into the record and applies, what cancel and the close
// box leave alone, the browse and voice list buttons, and the font chooser.
#include <QApplication>
#include <QCheckBox>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>
#include <tuple>

#include "MainWindowTestKit.h"
#include "ui/CFileDialogs.h"
#include "ui/JapaneseFonts.h"
#include "ui/frmOptions.h"
#include "ui/frmPA.h"
#include "ui/modShowChooseFont.h"

namespace ekoto::testing {
namespace {

QFont FontOf(const char* family, double pointSize, int weight = QFont::Normal) {
  QFont font(QString::fromUtf8(family));
  font.setPointSizeF(pointSize);
  font.setWeight(static_cast<QFont::Weight>(weight));
  return font;
}

class OptionsDialogTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    SetChooseFontRunner([this](const QFont& initial, QWidget*) {
      fontRequests.push_back(initial);
      return nextFont;
    });
    CFileDialogs::SetDialogRunner([this](const FileDialogRequest& request) {
      fileRequests.push_back(request);
      return nextFile;
    });
  }
  void TearDown() override {
    WindowTest::TearDown();
    SetChooseFontRunner(nullptr);
    CFileDialogs::SetDialogRunner(nullptr);
  }

  // Opens the dialog from its menu item, runs action on it from the event loop
  // and returns once the dialog has closed. One the action leaves open is cancelled.
  void RunOptions(const std::function<void(frmOptions&)>& action) {
    Later(w.get(), [this, action] {
      ASSERT_TRUE(w->IsOptionsFormLoaded());
      frmOptions* form = w->OptionsForm();
      EXPECT_TRUE(form->isVisible());
      EXPECT_TRUE(form->isModal());
      action(*form);
      if (w->IsOptionsFormLoaded() && w->OptionsForm()->isVisible()) w->OptionsForm()->reject();
    });
    w->mnuSystem_Options->trigger();
    EXPECT_FALSE(w->IsOptionsFormLoaded()) << "the dialog stays loaded after closing";
  }

  std::optional<QFont> nextFont;  // the font chooser's answer; none is a cancel
  std::vector<QFont> fontRequests;
  std::optional<FileDialogAnswer> nextFile;
  std::vector<FileDialogRequest> fileRequests;
};

// Opening fills the dialog from the record; OK writes back each control as it stands.
TEST_F(OptionsDialogTest, OpensFilledFromTheRecordAndTheReadingFont) {
  w->clsOptions.bClipboard = true;
  w->clsOptions.bANNarrow = false;
  w->clsOptions.bAUpperCase = true;
  w->clsOptions.bNumeric = false;
  w->clsOptions.sPAPath = u"/voices/こえ.pa";
  w->clsOptions.sConvTempletePath = u"";
  w->txtReadText->setFont(FontOf("Noto Sans CJK JP", 14));
  RunOptions([](frmOptions& form) {
    EXPECT_TRUE(form.chkClipboard->isChecked());
    EXPECT_FALSE(form.chkANNarrow->isChecked());
    EXPECT_TRUE(form.chkAUpperCase->isChecked());
    EXPECT_FALSE(form.chkNumeric->isChecked());
    EXPECT_EQ(form.txtPAPath->text(), "/voices/こえ.pa");
    EXPECT_EQ(form.txtConvTempletePath->text(), "");
    EXPECT_EQ(form.lblFont->font().family(), "Noto Sans CJK JP");
    EXPECT_EQ(form.lblFont->font().pointSizeF(), 14.0);
  });
}

TEST_F(OptionsDialogTest, OkWritesEachControlAsItStands) {
  const struct {
    const char* name;
    std::function<void(frmOptions&)> edit;
    std::function<void(COptions&)> expect;
  } rows[] = {
      {"nothing changed", [](frmOptions&) {}, [](COptions&) {}},
      {"clipboard on", [](frmOptions& f) { f.chkClipboard->setChecked(true); }, [](COptions& o) { o.bClipboard = true; }},
      {"narrow off", [](frmOptions& f) { f.chkANNarrow->setChecked(false); }, [](COptions& o) { o.bANNarrow = false; }},
      {"upper case off", [](frmOptions& f) { f.chkAUpperCase->setChecked(false); },
       [](COptions& o) { o.bAUpperCase = false; }},
      {"numerals off", [](frmOptions& f) { f.chkNumeric->setChecked(false); }, [](COptions& o) { o.bNumeric = false; }},
      {"voice path kept with its blanks", [](frmOptions& f) { f.txtPAPath->setText(" /no/such/voice.pa  "); },
       [](COptions& o) { o.sPAPath = u" /no/such/voice.pa  "; }},
      {"template path emptied", [](frmOptions& f) { f.txtConvTempletePath->clear(); },
       [](COptions& o) { o.sConvTempletePath = u""; }},
      {"template path typed", [](frmOptions& f) { f.txtConvTempletePath->setText("置換.txt"); },
       [](COptions& o) { o.sConvTempletePath = u"置換.txt"; }},
  };
  w->clsOptions.sPAPath = u"  spaced.pa ";
  const QFont fontBefore = w->txtReadText->font();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    COptions expected = w->clsOptions;
    row.expect(expected);
    RunOptions([&row](frmOptions& form) {
      row.edit(form);
      form.Command1->click();
    });
    EXPECT_EQ(w->clsOptions, expected);
    EXPECT_EQ(w->txtReadText->font(), fontBefore);
  }
}

// Cancel, Escape and the close box throw every edit away.
TEST_F(OptionsDialogTest, CancelEscapeAndCloseBoxChangeNothing) {
  const struct {
    const char* name;
    std::function<void(frmOptions&)> dismiss;
  } ways[] = {
      {"cancel", [](frmOptions& f) { f.Command2->click(); }},
      {"close box", [](frmOptions& f) { f.close(); }},
      {"escape", [](frmOptions& f) {
         QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(&f, &escape);
       }},
  };
  nextFont = FontOf("Noto Sans CJK JP", 20, QFont::Bold);
  nextFile = FileDialogAnswer{{"/chosen/other.pa"}, 0};
  const COptions before = w->clsOptions;
  const QFont fontBefore = w->txtReadText->font();
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    RunOptions([&way](frmOptions& form) {
      form.chkClipboard->setChecked(true);
      form.chkNumeric->setChecked(false);
      form.txtConvTempletePath->setText("edited.txt");
      form.cmdOpenDlg[0]->click();
      EXPECT_EQ(form.txtPAPath->text(), "/chosen/other.pa");
      form.Command3->click();
      EXPECT_EQ(form.lblFont->font().pointSizeF(), 20.0);
      way.dismiss(form);
      EXPECT_FALSE(form.isVisible());
    });
    EXPECT_EQ(w->clsOptions, before);
    EXPECT_EQ(w->txtReadText->font(), fontBefore);
  }
  // The next opening starts from the record again, not from the edits.
  RunOptions([](frmOptions& form) {
    EXPECT_FALSE(form.chkClipboard->isChecked());
    EXPECT_NE(form.txtPAPath->text(), "/chosen/other.pa");
  });
}

// The font chooser: whole points halved to even, only weight 700 is bold, effects kept.
TEST_F(OptionsDialogTest, OkAppliesTheChosenFontAtTheSizeChosen) {
  QFont styled = FontOf("IPAGothic", 16);
  styled.setItalic(true);
  styled.setUnderline(true);
  styled.setStrikeOut(true);
  const struct { const char* name; QFont chosen; int nSize; bool bBold; } rows[] = {
      {"12 pt stays 12 pt", FontOf("Noto Sans CJK JP", 12), 12, false},
      {"bold 700", FontOf("Noto Sans CJK JP", 11, QFont::Bold), 11, true},
      {"demibold 600 is not bold", FontOf("Noto Sans CJK JP", 11, QFont::DemiBold), 11, false},
      {"black 900 is not bold", FontOf("Noto Sans CJK JP", 11, QFont::Black), 11, false},
      {"10.5 pt rounds to the even 10", FontOf("Noto Sans CJK JP", 10.5), 10, false},
      {"11.5 pt rounds to the even 12", FontOf("Noto Sans CJK JP", 11.5), 12, false},
      {"italic, underlined, struck out", styled, 16, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    nextFont = row.chosen;
    RunOptions([](frmOptions& form) {
      form.Command3->click();
      form.Command1->click();
    });
    EXPECT_EQ(w->clsOptions.sFontName, row.chosen.family().toStdU16String());
    EXPECT_EQ(w->clsOptions.nFontSize, row.nSize);
    EXPECT_EQ(w->clsOptions.bFontBold, row.bBold);
    const auto effects = std::tuple(row.chosen.italic(), row.chosen.underline(), row.chosen.strikeOut());
    EXPECT_EQ(std::tuple(w->clsOptions.bFontItalic, w->clsOptions.bFontUnderline, w->clsOptions.bFontStrikethrough),
              effects);
    const QFont applied = w->txtReadText->font();
    EXPECT_EQ(applied.pointSize(), row.nSize);
    EXPECT_EQ(applied.bold(), row.bBold);
    EXPECT_EQ(std::tuple(applied.italic(), applied.underline(), applied.strikeOut()), effects);
  }
}

TEST_F(OptionsDialogTest, EachFontPressStartsFromTheFontInUse) {
  w->clsOptions.bFontBold = true;
  w->ApplyOptions(w->clsOptions);
  RunOptions([this](frmOptions& form) {
    nextFont = FontOf("Noto Sans CJK JP", 20);
    form.Command3->click();
    EXPECT_EQ(form.lblFont->font().pointSizeF(), 20.0);
    // Cancelled: the working font is the reading font again, not the first choice.
    nextFont.reset();
    form.Command3->click();
    EXPECT_EQ(form.lblFont->font().pointSizeF(), 10.0);
    form.Command1->click();
  });
  ASSERT_EQ(fontRequests.size(), 2u);
  for (const QFont& initial : fontRequests) {
    EXPECT_EQ(initial.family(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(initial.pointSizeF(), 10.0);
    EXPECT_TRUE(initial.bold());
  }
  EXPECT_EQ(w->clsOptions.nFontSize, 10);
  EXPECT_TRUE(w->clsOptions.bFontBold);
  EXPECT_EQ(w->clsOptions.sFontName, u"ＭＳ Ｐゴシック");
}

// The browse buttons and the voice list of the typed (not the stored) voice file.
TEST_F(OptionsDialogTest, BrowseButtonsFillTheirFieldOrLeaveItOnCancel) {
  const struct { int nIndex; const char* filter; QLineEdit* frmOptions::*field; } rows[] = {
      {0, "声源ファイル(*.pa)", &frmOptions::txtPAPath},
      {1, "テンプレートファイル(*.txt)", &frmOptions::txtConvTempletePath},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.nIndex);
    fileRequests.clear();
    RunOptions([this, &row](frmOptions& form) {
      QLineEdit* field = form.*row.field;
      field->setText("typed");
      nextFile.reset();
      form.cmdOpenDlg[static_cast<size_t>(row.nIndex)]->click();
      EXPECT_EQ(field->text(), "typed");
      nextFile = FileDialogAnswer{{"/home/user/選んだ.file"}, 0};
      form.cmdOpenDlg[static_cast<size_t>(row.nIndex)]->click();
      EXPECT_EQ(field->text(), "/home/user/選んだ.file");
      ASSERT_EQ(fileRequests.size(), 2u);
      EXPECT_EQ(fileRequests[0].kind, FileDialogRequest::Kind::kOpen);
      EXPECT_EQ(fileRequests[0].owner, &form);
      EXPECT_EQ(fileRequests[0].filters, QStringList{QString::fromUtf8(row.filter)});
      EXPECT_TRUE(fileRequests[0].sFileName.isEmpty());
      EXPECT_TRUE(fileRequests[0].sDirectory.isEmpty());
    });
  }
}

TEST_F(OptionsDialogTest, VoiceListShowsTheTypedVoiceNotTheStoredOne) {
  const std::vector<PaUnit> voice = {{u"ぱ", std::vector<uint8_t>(100, 90)}, {u"ぴ", std::vector<uint8_t>(100, 90)}};
  ASSERT_TRUE(WritePAFile(dir.Path16("typed.pa"), voice, 8000, 1).bOk);
  QStringList shown;
  QString caption;
  RunOptions([&](frmOptions& form) {
    form.txtPAPath->setText(QString::fromStdU16String(dir.Path16("typed.pa")));
    Later(&form, [&] {
      auto* list = qobject_cast<frmPA*>(QApplication::activeModalWidget());
      ASSERT_NE(list, nullptr);
      caption = list->windowTitle();
      shown = ListLines(*list->List1);
      list->close();
    });
    form.cmdOpenDlg[2]->click();
    EXPECT_TRUE(form.isVisible()) << "the voice list closes on its own";
    form.Command2->click();
  });
  EXPECT_EQ(caption, "サポートされている声 - 2声");
  EXPECT_EQ(shown, (QStringList{"ぱ", "ぴ"}));
  EXPECT_EQ(w->clsOptions.sPAPath, dir.Path16("50on.pa"));
}

// The clipboard watcher and the main window's close while the dialogs are open.
TEST_F(OptionsDialogTest, ClipboardWatcherReadsTheCheckBoxAsItStands) {
  // Loaded hidden when not open: filled from the record.
  w->clsOptions.bClipboard = true;
  EXPECT_TRUE(w->ClipboardWatchOn());
  EXPECT_TRUE(w->OptionsForm()->chkClipboard->isChecked());
  EXPECT_FALSE(w->OptionsForm()->isVisible());
  // Open: the unconfirmed state counts.
  RunOptions([this](frmOptions& form) {
    form.chkClipboard->setChecked(false);
    EXPECT_FALSE(w->ClipboardWatchOn());
    form.chkClipboard->setChecked(true);
    EXPECT_TRUE(w->ClipboardWatchOn());
    form.Command2->click();
  });
}

TEST_F(OptionsDialogTest, ClosingTheMainWindowClosesTheOpenDialogsWithoutWriting) {
  ASSERT_TRUE(WritePAFile(dir.Path16("typed.pa"), {{u"ぱ", std::vector<uint8_t>(100, 90)}}, 8000, 0).bOk);
  const COptions before = w->clsOptions;
  bool bListOpen = false;
  RunOptions([&](frmOptions& form) {
    form.chkNumeric->setChecked(false);
    form.txtPAPath->setText(QString::fromStdU16String(dir.Path16("typed.pa")));
    Later(&form, [&] {
      bListOpen = qobject_cast<frmPA*>(QApplication::activeModalWidget()) != nullptr;
      w->close();
    });
    form.cmdOpenDlg[2]->click();
    EXPECT_FALSE(form.isVisible());
  });
  EXPECT_TRUE(bListOpen);
  EXPECT_EQ(w->clsOptions, before);
  EXPECT_EQ(nUnloaded, 1);
}

// Qt's own font dialog, answered as a user would: the choice arrives.
TEST_F(OptionsDialogTest, QtFontDialogAnswersTheChooser) {
  SetChooseFontRunner(nullptr);
  const QString family = JapaneseFallbackFace();
  RunOptions([&](frmOptions& form) {
    Later(&form, [&] {
      auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      QFont font(family);
      font.setPointSize(18);
      font.setUnderline(true);
      dialog->setCurrentFont(font);
      dialog->accept();
    });
    form.Command3->click();
    form.Command1->click();
  });
  EXPECT_EQ(w->clsOptions.nFontSize, 18);
  EXPECT_TRUE(w->clsOptions.bFontUnderline);
}

}  // namespace
}  // namespace ekoto::testing
