// The about box: its version text, its links opened through the desktop, and
// its menu item.
#include <QDesktopServices>
#include <QUrl>

#include "MainWindowTestKit.h"
#include "controls/Button.h"
#include "ui/frmAbout.h"

namespace ekoto::testing {
namespace {

// Stands in for the browser and the mail program.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  UrlCatcher() {
    for (const char* scheme : {"https", "mailto"}) QDesktopServices::setUrlHandler(scheme, this, "open");
  }
  ~UrlCatcher() override {
    for (const char* scheme : {"https", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
  }
  QStringList opened;
 public slots:
  void open(const QUrl& url) { opened.append(url.toString()); }
};

TEST(About, VersionTextLinksAndTheMenuItem) {
  const std::pair<const char*, const char*> versions[] = {
      {"2.5", "version 2.05"}, {"3", "version 3.00"}, {"1.123.4", "version 1.123"}};
  for (const auto& [version, text] : versions) EXPECT_EQ(AboutVersionText(version), text);
  UrlCatcher catcher;
  MainWindowFixture fixture;
  auto w = fixture.OpenWindow();
  w->mnuSystem_About->trigger();
  auto* about = w->findChild<frmAbout*>();
  ASSERT_TRUE(about != nullptr && about->isVisible());
  for (Button* link : {about->Button1, about->Button2}) emit link->Click();
  EXPECT_EQ(catcher.opened, (QStringList{MakerHomePage(), "mailto:" + MakerMailAddress()}));
  w->close();  // takes the about box with it
  EXPECT_FALSE(about->isVisible());
}

}  // namespace
}  // namespace ekoto::testing

#include "test_about.moc"
