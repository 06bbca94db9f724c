// The about box (texts, version, links opened through the desktop) and
// ShellExec's command split and program start with scripts in a scratch folder.
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVersionNumber>

#include "MainWindowTestKit.h"
#include "controls/Button.h"
#include "ui/Twips.h"
#include "ui/frmAbout.h"
#include "ui/modShellEx.h"

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

void ClickLink(Button& link) {
  const QPointF at(3, 3);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent e(type, at, link.mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &e);
  }
}

// The about box: version text, picture, notice that fits, links, and its menu item.
TEST(AboutVersionText, MinorNumberHasAtLeastTwoDigits) {
  const struct { const char* version; const char* text; } cases[] = {
      {"1.16", "version 1.16"}, {"2.5", "version 2.05"},   {"0.1.0", "version 0.01"},
      {"3", "version 3.00"},    {"1.123.4", "version 1.123"},
  };
  for (const auto& c : cases) EXPECT_EQ(AboutVersionText(QString::fromLatin1(c.version)), c.text) << c.version;
}

TEST(About, ShowsVersionPictureLinksAndNotice) {
  frmAbout about;
  const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(EKOTO_VERSION));
  EXPECT_EQ(about.Label2->text(),
            QStringLiteral("version %1.%2").arg(version.majorVersion()).arg(version.minorVersion(), 2, 10, QChar('0')));
  EXPECT_EQ(about.Label3->text().count(u'\n'), 1);
  EXPECT_TRUE(MakerHomePage().startsWith("https://"));
  EXPECT_TRUE(MakerMailAddress().contains(u'@'));
  for (Button* link : {about.Button1, about.Button2}) EXPECT_TRUE(link->LinkStyle() && link->FlatStyle());
  EXPECT_FALSE(about.Image1->pixmap().isNull());
  EXPECT_EQ(about.Image1->pixmap().size(), QSize(32, 32));
  EXPECT_EQ(about.width(), TwipsToPixels(5250, about.logicalDpiX()));
  EXPECT_GE(about.height(), TwipsToPixels(2745, about.logicalDpiY()));
  // Both lines of the notice fit inside the box.
  EXPECT_GE(about.Label3->height(), 2 * about.Label3->fontMetrics().lineSpacing());
  EXPECT_LE(about.Label3->geometry().bottom(), about.height());
}

TEST(About, LinksOpenTheHomePageAndANewMailAndOkCloses) {
  UrlCatcher catcher;
  frmAbout about;
  about.show();
  ClickLink(*about.Button1);
  ClickLink(*about.Button2);
  EXPECT_EQ(catcher.opened, (QStringList{MakerHomePage(), "mailto:" + MakerMailAddress()}));
  about.Command1->click();
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(About, MainWindowMenusOpenTheAboutBox) {
  MainWindowFixture fixture;
  auto w = fixture.OpenWindow();
  w->mnuSystem_About->trigger();
  auto* about = w->findChild<frmAbout*>();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->windowModality(), Qt::WindowModal);
  // Closing the main window closes the about box with it.
  w->close();
  EXPECT_FALSE(about->isVisible());
}

class ShellExecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each script writes its arguments, one per line, to its own .out file.
    for (const char* name : {"run.sh", "my tool.sh"}) {
      const std::filesystem::path script = dir.Path(name);
      const std::string body = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.out\"\n";
      WriteBytes(script, std::vector<uint8_t>(body.begin(), body.end()));
      std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    WriteBytes(dir.Path("data.txt"), {'x'});
  }
  QString P(const char* name) const { return QString::fromStdString(dir.Path(name).string()); }
  std::string Out(const char* script) const { return FileText(dir.Path(script).string() + ".out"); }
  ScratchDir dir;
};

// ShellExec: the command is split after its first part that is a program, which is then started.
TEST_F(ShellExecTest, CommandIsCutAfterTheFirstPartThatIsAProgram) {
  const struct { const char* name; QString command, file, parameters; } cases[] = {
      {"program and argument", P("run.sh") + " readme.txt", P("run.sh"), "readme.txt"},
      {"name with a space", P("my tool.sh") + " a b", P("my tool.sh"), "a b"},
      {"no part exists", P("no such") + "/file.txt x", P("no such") + "/file.txt x", ""},
      {"leading space", " " + P("run.sh") + " x", " " + P("run.sh") + " x", ""},
      {"a document is not a program", P("data.txt") + " x", P("data.txt") + " x", ""},
      {"found along PATH", "sh -c true", "sh", "-c true"},
      {"no space", P("run.sh"), P("run.sh"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ShellCommandParts parts = SplitShellCommand(c.command);
    EXPECT_EQ(parts.sFile, c.file);
    EXPECT_EQ(parts.sParameters, c.parameters);
  }
}

TEST_F(ShellExecTest, FindOnPathFindsProgramsOnly) {
  QString full;
  EXPECT_TRUE(FindOnPath("sh", full));
  EXPECT_TRUE(full.startsWith(u'/') && full.endsWith("/sh"));
  EXPECT_TRUE(FindOnPath(P("run.sh"), full));
  EXPECT_EQ(full, P("run.sh"));
  for (const QString& missing : {P("data.txt"), P("nothing.sh"), QString("ekoto-no-such-program"), QString()}) {
    EXPECT_FALSE(FindOnPath(missing, full)) << missing.toStdString();
    EXPECT_TRUE(full.isEmpty());
  }
}

TEST_F(ShellExecTest, StartsTheProgramWithItsArgumentsWaitingOrNot) {
  EXPECT_TRUE(ShellExec(P("run.sh") + " hello \"big world\"", true));
  EXPECT_EQ(Out("run.sh"), "hello\nbig world\n");
  EXPECT_TRUE(ShellExec(P("my tool.sh") + " x", true));
  EXPECT_EQ(Out("my tool.sh"), "x\n");
  EXPECT_TRUE(ShellExec(P("run.sh") + " later", false));
  ASSERT_TRUE(WaitUntil([&] { return Out("run.sh") == "later\n"; }));
  // Nothing to start gives false.
  EXPECT_FALSE(ShellExec(P("missing.sh") + " x", true));
  EXPECT_FALSE(ShellExec(QString(), true));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("missing.sh.out")));
}

TEST_F(ShellExecTest, AddressesGoToTheDesktop) {
  UrlCatcher catcher;
  EXPECT_TRUE(ShellExec("https://example.org/a?b=c", false));
  EXPECT_TRUE(ShellExec("mailto:someone@example.org", false));
  EXPECT_EQ(catcher.opened, (QStringList{"https://example.org/a?b=c", "mailto:someone@example.org"}));
}

}  // namespace
}  // namespace ekoto::testing

#include "test_about.moc"
