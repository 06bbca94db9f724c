// The options dialog opened from the main window's menu and driven as a user
// would: what OK writes into the record and applies, what cancel and the close
// box leave alone, the browse and voice list buttons, and the font chooser.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <optional>

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

class OptionsDialogTest : public ::testing::Test, public MainWindowFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(VoiceWritten());
    w = OpenWindow();
    SetChooseFontRunner([this](const QFont& initial, QWidget* owner) {
      fontRequests.push_back(initial);
      fontOwners.push_back(owner);
      return nextFont;
    });
    CFileDialogs::SetDialogRunner([this](const FileDialogRequest& request) {
      fileRequests.push_back(request);
      return nextFile;
    });
    frmPA::SetMessageHook([this](QWidget*, const QString& sText) { messages.push_back(sText); });
  }
  void TearDown() override {
    SetChooseFontRunner(nullptr);
    CFileDialogs::SetDialogRunner(nullptr);
    frmPA::SetMessageHook(nullptr);
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

  std::unique_ptr<LoggingWindow> w;
  std::optional<QFont> nextFont;  // the font chooser's answer; none is a cancel
  std::vector<QFont> fontRequests;
  std::vector<QWidget*> fontOwners;
  std::optional<FileDialogAnswer> nextFile;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<QString> messages;
};

TEST_F(OptionsDialogTest, MenuItemAndControlsCarryTheirTexts) {
  EXPECT_EQ(w->mnuSystem_Options->text(), "オプション(&O) ...");
  EXPECT_EQ(w->mnuSystem_Options->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  RunOptions([](frmOptions& form) {
    EXPECT_EQ(form.windowTitle(), "オプション");
    const std::pair<QString, QString> texts[] = {
        {form.Frame1->title(), "設定"},
        {form.chkClipboard->text(), "クリップボードの監視(&C)"},
        {form.chkANNarrow->text(), "アルファベット、数字、記号は半角読み(&N)"},
        {form.chkAUpperCase->text(), "アルファベットは大文字読み(&U)"},
        {form.chkNumeric->text(), "数字を桁読み(&E)"},
        {form.Command3->text(), "フォント(&F)"},
        {form.Label2[1]->text(), "テンプレート(&T):"},
        {form.Label2[0]->text(), "声源(&V):"},
        {form.cmdOpenDlg[0]->text(), "..."},
        {form.cmdOpenDlg[1]->text(), "..."},
        {form.cmdOpenDlg[2]->text(), "!"},
        {form.Label1->text(), "※声源ファイルの作成にはKoekit Toolを使用して下さい。"},
        {form.lblFont->text(), "#"},
        {form.Command1->text(), "OK"},
        {form.Command2->text(), "キャンセル"},
    };
    for (const auto& [actual, expected] : texts) EXPECT_EQ(actual, expected);
    // The access keys of the two labels lead to their fields.
    EXPECT_EQ(form.Label2[1]->buddy(), form.txtConvTempletePath);
    EXPECT_EQ(form.Label2[0]->buddy(), form.txtPAPath);
  });
}

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

TEST_F(OptionsDialogTest, OkWithoutChangesLeavesRecordAndFontAsTheyWere) {
  w->clsOptions.sPAPath = u"  spaced.pa ";
  const COptions before = w->clsOptions;
  const QFont fontBefore = w->txtReadText->font();
  RunOptions([](frmOptions& form) { form.Command1->click(); });
  EXPECT_EQ(w->clsOptions, before);
  EXPECT_EQ(w->txtReadText->font(), fontBefore);
}

TEST_F(OptionsDialogTest, OkWritesEachControlAsItStands) {
  const struct {
    const char* name;
    std::function<void(frmOptions&)> edit;
    std::function<void(COptions&)> expect;
  } rows[] = {
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
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    COptions expected = w->clsOptions;
    row.expect(expected);
    RunOptions([&row](frmOptions& form) {
      row.edit(form);
      form.Command1->click();
    });
    EXPECT_EQ(w->clsOptions, expected);
  }
}

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

TEST_F(OptionsDialogTest, OkAppliesTheChosenFontAtTheSizeChosen) {
  const struct {
    const char* name;
    QFont chosen;
    int nSize;
    bool bBold, bItalic, bUnderline, bStrike;
  } rows[] = {
      {"12 pt stays 12 pt", FontOf("Noto Sans CJK JP", 12), 12, false, false, false, false},
      {"10 pt", FontOf("Noto Sans CJK JP", 10), 10, false, false, false, false},
      {"bold 700", FontOf("Noto Sans CJK JP", 11, QFont::Bold), 11, true, false, false, false},
      {"demibold 600 is not bold", FontOf("Noto Sans CJK JP", 11, QFont::DemiBold), 11, false, false, false, false},
      {"black 900 is not bold", FontOf("Noto Sans CJK JP", 11, QFont::Black), 11, false, false, false, false},
      {"10.5 pt rounds to the even 10", FontOf("Noto Sans CJK JP", 10.5), 10, false, false, false, false},
      {"11.5 pt rounds to the even 12", FontOf("Noto Sans CJK JP", 11.5), 12, false, false, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    nextFont = row.chosen;
    nextFont->setItalic(row.bItalic);
    RunOptions([](frmOptions& form) {
      form.Command3->click();
      form.Command1->click();
    });
    EXPECT_EQ(w->clsOptions.sFontName, u"Noto Sans CJK JP");
    EXPECT_EQ(w->clsOptions.nFontSize, row.nSize);
    EXPECT_EQ(w->clsOptions.bFontBold, row.bBold);
    EXPECT_EQ(w->txtReadText->font().pointSize(), row.nSize);
    EXPECT_EQ(w->txtReadText->font().bold(), row.bBold);
  }
}

TEST_F(OptionsDialogTest, FontChooserTakesStyleAndEffectsAsChosen) {
  QFont chosen = FontOf("IPAGothic", 16);
  chosen.setItalic(true);
  chosen.setUnderline(true);
  chosen.setStrikeOut(true);
  nextFont = chosen;
  RunOptions([](frmOptions& form) {
    form.Command3->click();
    form.Command1->click();
  });
  EXPECT_EQ(w->clsOptions.sFontName, u"IPAGothic");
  EXPECT_TRUE(w->clsOptions.bFontItalic);
  EXPECT_TRUE(w->clsOptions.bFontUnderline);
  EXPECT_TRUE(w->clsOptions.bFontStrikethrough);
  EXPECT_FALSE(w->clsOptions.bFontBold);
  const QFont applied = w->txtReadText->font();
  EXPECT_TRUE(applied.italic() && applied.underline() && applied.strikeOut());
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

TEST_F(OptionsDialogTest, BrowseButtonsFillTheirFieldOrLeaveItOnCancel) {
  const struct {
    int nIndex;
    const char* filter;
    QLineEdit* frmOptions::*field;
  } rows[] = {
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
  std::vector<PaUnit> units = {{u"ぱ", std::vector<uint8_t>(100, 90)}, {u"ぴ", std::vector<uint8_t>(100, 90)}};
  ASSERT_TRUE(WritePAFile(dir.Path16("typed.pa"), units, 8000, 1).bOk);
  QStringList shown;
  QString caption;
  RunOptions([&](frmOptions& form) {
    form.txtPAPath->setText(QString::fromStdU16String(dir.Path16("typed.pa")));
    Later(&form, [&] {
      auto* list = qobject_cast<frmPA*>(QApplication::activeModalWidget());
      ASSERT_NE(list, nullptr);
      caption = list->windowTitle();
      for (int i = 0; i < list->List1->count(); ++i) shown.append(list->List1->item(i)->text());
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

TEST_F(OptionsDialogTest, VoiceListOfAMissingTypedFileOnlyShowsTheMessage) {
  RunOptions([&](frmOptions& form) {
    form.txtPAPath->setText("/no/such.pa");
    form.cmdOpenDlg[2]->click();  // returns at once: no window to close
    EXPECT_EQ(QApplication::activeModalWidget(), &form);
  });
  EXPECT_EQ(messages, (std::vector<QString>{"PAファイルが見つかりません\n/no/such.pa"}));
}

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
  std::vector<PaUnit> units = {{u"ぱ", std::vector<uint8_t>(100, 90)}};
  ASSERT_TRUE(WritePAFile(dir.Path16("typed.pa"), units, 8000, 0).bOk);
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
