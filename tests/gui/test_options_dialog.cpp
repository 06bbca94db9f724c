// The options dialog opened from the main window's menu and driven as a user
// would: what OK writes into the record and applies, what cancel and the close
// box leave alone, the browse and voice list buttons, and the font chooser.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "MainWindowTestKit.h"
#include "ui/CFileDialogs.h"
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
      EXPECT_TRUE(form->isVisible() && form->isModal());
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

// Each opening is filled from the record; OK writes back each control as it stands.
TEST_F(OptionsDialogTest, OkWritesEachControlAsItStands) {
  const struct { std::function<void(frmOptions&)> edit; std::function<void(COptions&)> expect; } rows[] = {
      {[](frmOptions&) {}, [](COptions&) {}},
      {[](frmOptions& f) { f.chkClipboard->setChecked(true); }, [](COptions& o) { o.bClipboard = true; }},
      {[](frmOptions& f) { f.chkANNarrow->setChecked(false); }, [](COptions& o) { o.bANNarrow = false; }},
      {[](frmOptions& f) { f.chkAUpperCase->setChecked(false); }, [](COptions& o) { o.bAUpperCase = false; }},
      {[](frmOptions& f) { f.chkNumeric->setChecked(false); }, [](COptions& o) { o.bNumeric = false; }},
      {[](frmOptions& f) { f.txtPAPath->setText(" /no/such.pa  "); }, [](COptions& o) { o.sPAPath = u" /no/such.pa  "; }},
      {[](frmOptions& f) { f.txtConvTempletePath->setText("置換.txt"); }, [](COptions& o) { o.sConvTempletePath = u"置換.txt"; }},
      // The chosen font at whole points, halves to even; only weight 700 is bold.
      {[this](frmOptions& f) { nextFont = FontOf("IPAGothic", 10.5, QFont::Bold), f.Command3->click(); },
       [](COptions& o) { o.sFontName = u"IPAGothic", o.nFontSize = 10, o.bFontBold = true; }},
      {[this](frmOptions& f) { nextFont = FontOf("Noto Sans CJK JP", 11.5, QFont::DemiBold), f.Command3->click(); },
       [](COptions& o) { o.sFontName = u"Noto Sans CJK JP", o.nFontSize = 12, o.bFontBold = false; }},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    COptions expected = w->clsOptions;
    rows[i].expect(expected);
    RunOptions([&](frmOptions& form) {
      const COptions& o = w->clsOptions;
      EXPECT_EQ(std::tuple(form.chkClipboard->isChecked(), form.chkANNarrow->isChecked(), form.chkAUpperCase->isChecked(),
                           form.chkNumeric->isChecked(), form.txtPAPath->text().toStdU16String(),
                           form.txtConvTempletePath->text().toStdU16String(), form.lblFont->font().family()),
                std::tuple(o.bClipboard, o.bANNarrow, o.bAUpperCase, o.bNumeric, o.sPAPath, o.sConvTempletePath,
                           w->txtReadText->font().family()))
          << i;
      rows[i].edit(form);
      form.Command1->click();
    });
    EXPECT_EQ(w->clsOptions, expected) << i;
    const QFont font = w->txtReadText->font();
    EXPECT_EQ(std::tuple(font.family().toStdU16String(), font.pointSize(), font.bold()),
              std::tuple(expected.sFontName, expected.nFontSize, expected.bFontBold)) << i;
  }
  // 抑揚 goes to the window's own settings, not to the options record.
  const COptions before = w->clsOptions;
  RunOptions([](frmOptions& form) {
    EXPECT_TRUE(form.chkIntonation->isChecked());
    form.chkIntonation->setChecked(false);
    form.Command1->click();
  });
  EXPECT_FALSE(w->Intonation());
  EXPECT_EQ(w->clsOptions, before);
}

// Cancel, Escape and the close box throw every edit away, the browsed paths and chosen font too.
// While the dialog is open, the clipboard watcher reads its check box as it stands.
TEST_F(OptionsDialogTest, CancelEscapeAndCloseBoxChangeNothing) {
  const std::function<void(frmOptions&)> ways[] = {
      [](frmOptions& f) { f.Command2->click(); },
      [](frmOptions& f) { f.close(); },
      [](frmOptions& f) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&f, &escape);
      },
  };
  nextFont = FontOf("Noto Sans CJK JP", 20, QFont::Bold);
  const COptions before = w->clsOptions;
  const QFont fontBefore = w->txtReadText->font();
  for (const auto& dismiss : ways) {
    RunOptions([&](frmOptions& form) {
      EXPECT_FALSE(form.chkClipboard->isChecked());  // from the record, not the last edits
      form.chkClipboard->setChecked(true);
      EXPECT_TRUE(w->ClipboardWatchOn());
      form.txtConvTempletePath->setText("edited.txt");
      nextFile.reset();  // a cancelled browse leaves the field
      form.cmdOpenDlg[1]->click();
      nextFile = FileDialogAnswer{{"/chosen/other.pa"}, 0};
      form.cmdOpenDlg[0]->click();
      form.Command3->click();
      EXPECT_EQ(std::tuple(form.txtPAPath->text(), form.txtConvTempletePath->text(), form.lblFont->font().pointSizeF()),
                std::tuple(QString("/chosen/other.pa"), QString("edited.txt"), 20.0));
      EXPECT_EQ(std::pair(fileRequests[1].kind, fileRequests[1].owner), std::pair(FileDialogRequest::Kind::kOpen, static_cast<QWidget*>(&form)));
      EXPECT_EQ(fileRequests[0].filters + fileRequests[1].filters,
                (QStringList{"テンプレートファイル(*.txt)", "声源ファイル(*.pa)"}));
      fileRequests.clear();
      dismiss(form);
    });
    EXPECT_EQ(w->clsOptions, before);
    EXPECT_EQ(w->txtReadText->font(), fontBefore);
  }
}

// The voice list of the typed voice file; closing the main window closes both dialogs without writing.
TEST_F(OptionsDialogTest, VoiceListOfTheTypedFileAndClosingTheMainWindow) {
  const std::vector<PaUnit> voice = {{u"ぱ", std::vector<uint8_t>(100, 90)}, {u"ぴ", std::vector<uint8_t>(100, 90)}};
  ASSERT_TRUE(WritePAFile(dir.Path16("typed.pa"), voice, 8000, 1).bOk);
  const COptions before = w->clsOptions;
  QStringList shown;
  RunOptions([&](frmOptions& form) {
    form.chkNumeric->setChecked(false);
    form.txtPAPath->setText(QString::fromStdU16String(dir.Path16("typed.pa")));
    // Every button says in words what it does, also those that show only a mark.
    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
      const QString sName = QAccessible::queryAccessibleInterface(const_cast<QPushButton*>(button))->text(QAccessible::Name);
      EXPECT_TRUE(std::any_of(sName.begin(), sName.end(), [](QChar c) { return c.isLetter(); })) << sName.toStdString();
    }
    Later(&form, [&] {
      auto* list = qobject_cast<frmPA*>(QApplication::activeModalWidget());
      ASSERT_NE(list, nullptr);
      shown = ListLines(*list->List1) << list->windowTitle();
      w->close();
    });
    form.cmdOpenDlg[2]->click();
    EXPECT_FALSE(form.isVisible());
  });
  EXPECT_EQ(shown, (QStringList{"ぱ", "ぴ", "サポートされている声 - 2声"}));
  EXPECT_EQ(w->clsOptions, before);
  EXPECT_EQ(nUnloaded, 1);
}

}  // namespace
}  // namespace ekoto::testing
