// What the options dialog and the text box show of a hand-edited options.dat:
// the font size as recorded and shown, the face name kept when the font chooser
// is confirmed as it opened (on the face standing in for an uninstalled one),
// and the hint on where voices come from.
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

TEST(SettingsShown, TheRecordedFontIsTheFontShownAndTheChooserConfirmedAsItOpenedKeepsIt) {
  MainWindowFixture fixture;
  SetChooseFontRunner(nullptr);
  const struct { const char* line; int nSize; } rows[] = {{"FontSize=0", 10}, {"FontSize=3", 6}, {"FontSize=100000", 72}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    std::ofstream(fixture.dir.Path("options.dat"), std::ios::binary | std::ios::trunc) << "// \r\n" << row.line << "\r\n";
    auto w = fixture.OpenWindow();
    EXPECT_EQ(std::pair(w->clsOptions.nFontSize, w->txtReadText->font().pointSize()), std::pair(row.nSize, row.nSize));
    const QString sMenuItem = w->mnuTool_CreateFilePA->text().section(u'(', 0, 0);
    QString sHint;
    bool bChooserSeen = false;
    Later(w.get(), [&] {
      frmOptions& form = *w->OptionsForm();
      sHint = form.Label1->text();
      Later(&form, [&] {
        if (auto* chooser = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) bChooserSeen = true, chooser->accept();
      });
      form.Command3->click();
      form.Command1->click();
    });
    w->mnuSystem_Options->trigger();
    EXPECT_EQ(std::tuple(bChooserSeen, w->clsOptions.sFontName, w->clsOptions.nFontSize),
              std::tuple(true, std::u16string(u"ＭＳ Ｐゴシック"), row.nSize));
    EXPECT_TRUE(!sMenuItem.isEmpty() && sHint.contains(sMenuItem) && sHint.contains("ekoto-pa")) << sHint.toStdString();
  }
}

}  // namespace
}  // namespace ekoto::testing
