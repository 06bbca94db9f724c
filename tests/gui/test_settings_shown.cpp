// What the options dialog and the text box show of the settings: a font size
// from a hand-edited options.dat, the font chooser confirmed as it opened, and
// the hint on where voices come from.
#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QLabel>
#include <QPushButton>
#include <fstream>

#include "MainWindowTestKit.h"
#include "ui/frmOptions.h"
#include "ui/modShowChooseFont.h"

namespace ekoto::testing {
namespace {

class SettingsShownTest : public ::testing::Test, public MainWindowFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(VoiceWritten()); }

  // Opens the options dialog, runs action on it and closes it.
  void RunOptions(frmMain& w, std::function<void(frmOptions&)> action) {
    Later(&w, [&w, action] {
      action(*w.OptionsForm());
      if (w.IsOptionsFormLoaded()) w.OptionsForm()->reject();
    });
    w.mnuSystem_Options->trigger();
  }
};

TEST_F(SettingsShownTest, TheRecordedFontSizeIsTheSizeShown) {
  const struct { const char* line; int nSize; } rows[] = {{"FontSize=0", 10}, {"FontSize=100000", 72}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    std::ofstream(dir.Path("options.dat"), std::ios::binary | std::ios::trunc) << "// \r\n" << row.line << "\r\n";
    auto w = OpenWindow();
    EXPECT_EQ(w->clsOptions.nFontSize, row.nSize);
    EXPECT_EQ(w->txtReadText->font().pointSize(), row.nSize);
    // OK in the options dialog keeps it.
    RunOptions(*w, [](frmOptions& form) { form.Command1->click(); });
    EXPECT_EQ(w->clsOptions.nFontSize, row.nSize);
  }
}

// The face named in options.dat is not installed; the chooser opens on the
// face that stands in for it. Confirmed as it is, the name is kept.
TEST_F(SettingsShownTest, TheFontChooserConfirmedAsItOpenedKeepsTheFaceName) {
  SetChooseFontRunner(nullptr);
  auto w = OpenWindow();
  ASSERT_EQ(w->clsOptions.sFontName, u"ＭＳ Ｐゴシック");
  bool bChooserSeen = false;
  RunOptions(*w, [&](frmOptions& form) {
    Later(&form, [&] {
      if (auto* chooser = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
        bChooserSeen = true;
        chooser->accept();
      }
    });
    form.Command3->click();
    form.Command1->click();
  });
  EXPECT_TRUE(bChooserSeen);
  EXPECT_EQ(w->clsOptions.sFontName, u"ＭＳ Ｐゴシック");
}

TEST_F(SettingsShownTest, TheHintNamesTheVoiceBuilderThisProgramHas) {
  auto w = OpenWindow();
  QString sMenuItem = w->mnuTool_CreateFilePA->text();
  sMenuItem.truncate(sMenuItem.indexOf(u'('));
  ASSERT_FALSE(sMenuItem.isEmpty());
  const QString sHint = w->OptionsForm()->Label1->text();
  EXPECT_TRUE(sHint.contains(sMenuItem)) << sHint.toStdString();
  EXPECT_TRUE(sHint.contains(QStringLiteral("ekoto-pa"))) << sHint.toStdString();
}

}  // namespace
}  // namespace ekoto::testing
