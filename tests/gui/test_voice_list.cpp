// The voice list window: its caption and list in file order with duplicates,
// the message for a file without a list (and no window then), its layout, and
// a double-click playing the unit from the stored voice through the main window.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

#include "MainWindowTestKit.h"
#include "ui/Twips.h"
#include "ui/frmPA.h"

namespace ekoto::testing {
namespace {

std::vector<PaUnit> Units(std::initializer_list<const char16_t*> names) {
  std::vector<PaUnit> units;
  for (const char16_t* name : names) units.push_back({name, std::vector<uint8_t>(120, 90)});
  return units;
}

// The writer refuses a repeated name; a repeat is made by overwriting the CP932
// bytes of one two-byte name with another's.
std::vector<uint8_t> WithNameReplaced(std::vector<uint8_t> image, std::vector<uint8_t> from, std::vector<uint8_t> to) {
  auto at = std::search(image.begin(), image.end(), from.begin(), from.end());
  if (at != image.end()) std::copy(to.begin(), to.end(), at);
  return image;
}

// Counts every showing of a voice list window anywhere in the program.
class ShowCounter : public QObject {
 public:
  ShowCounter() { qApp->installEventFilter(this); }
  ~ShowCounter() override { qApp->removeEventFilter(this); }
  int nShown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && qobject_cast<frmPA*>(watched) != nullptr) ++nShown;
    return false;
  }
};

void SendMouse(QWidget* target, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

void DoubleClickRow(QListWidget* list, int nRow) {
  QWidget* viewport = list->viewport();
  const QPoint at = list->visualItemRect(list->item(nRow)).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
    SendMouse(viewport, type, at);
  }
}

class VoiceListTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frmPA::SetMessageHook([this](QWidget* parent, const QString& sText) {
      messages.push_back(sText);
      messageParents.push_back(parent);
    });
  }
  void TearDown() override {
    WindowTest::TearDown();
    frmPA::SetMessageHook(nullptr);
  }
  // Loads path into form and shows it, ready for clicks.
  void Show(frmPA& form, const char* file) {
    ASSERT_TRUE(form.Form_Load(dir.Path16(file)));
    form.show();
    QApplication::processEvents();
  }

  std::vector<QString> messages;
  std::vector<QWidget*> messageParents;
};

// Caption and lines in file order, repeats included.
TEST_F(VoiceListTest, ListsEveryEntryInFileOrderAndCountsThemInTheCaption) {
  std::vector<uint8_t> image;
  ASSERT_TRUE(BuildPAImage(Units({u"あ", u"い", u"う"}), 8000, 0, image).bOk);
  // う (82 A4) becomes a second あ (82 A0).
  WriteBytes(dir.Path("dup.pa"), WithNameReplaced(image, {0x82, 0xA4}, {0x82, 0xA0}));
  ASSERT_TRUE(WritePAFile(dir.Path16("ciphered.pa"), Units({u"きゃ", u"ヴ", u"ん", u"ぱ"}), 22050, 1).bOk);

  const struct { const char* file; const char* caption; QStringList lines; } rows[] = {
      {"dup.pa", "サポートされている声 - 3声", {"あ", "い", "あ"}},
      {"ciphered.pa", "サポートされている声 - 4声", {"きゃ", "ヴ", "ん", "ぱ"}},
      {"50on.pa", "サポートされている声 - 15声", {"あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ", "さ", "し",
                                                 "す", "せ", "そ"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    frmPA form(*w);
    ASSERT_TRUE(form.Form_Load(dir.Path16(row.file)));
    EXPECT_EQ(form.windowTitle(), row.caption);
    EXPECT_EQ(ListLines(*form.List1), row.lines);
  }
  EXPECT_TRUE(messages.empty());
}

// Any file without a readable list: the message, and no window.
TEST_F(VoiceListTest, FileWithoutAListShowsTheMessageAndNoWindow) {
  std::vector<uint8_t> image;
  ASSERT_TRUE(BuildPAImage(Units({u"あ"}), 8000, 0, image).bOk);
  std::vector<uint8_t> noEntries = image;
  noEntries[13] = 0;  // the entry count
  std::vector<uint8_t> badMagic = image;
  badMagic[0] = 'X';
  std::vector<uint8_t> badVersion = image;
  badVersion[4] = 2;
  WriteBytes(dir.Path("none.pa"), noEntries);
  WriteBytes(dir.Path("magic.pa"), badMagic);
  WriteBytes(dir.Path("version.pa"), badVersion);
  WriteBytes(dir.Path("cut.pa"), std::vector<uint8_t>(image.begin(), image.begin() + 30));

  const std::u16string paths[] = {dir.Path16("missing.pa"), dir.Path16("none.pa"), dir.Path16("magic.pa"),
                                  dir.Path16("version.pa"), dir.Path16("cut.pa"),
                                  Utf8ToUtf16(dir.Root().string()), u""};
  QWidget owner;
  for (const std::u16string& path : paths) {
    SCOPED_TRACE(Utf16ToUtf8(path));
    messages.clear();
    messageParents.clear();
    ShowCounter shows;
    ShowVoiceList(*w, path, &owner);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "PAファイルが見つかりません\n" + QString::fromStdU16String(path));
    EXPECT_EQ(messageParents[0], &owner);
    EXPECT_EQ(shows.nShown, 0);
  }
}

// A double-click plays the line's unit from the stored voice, silent at mute.
TEST_F(VoiceListTest, DoubleClickPlaysTheLineFromTheStoredVoice) {
  // The listed file names the units; their sounds come from the stored voice,
  // whose units have lengths that name them.
  std::vector<uint8_t> image;
  ASSERT_TRUE(BuildPAImage(Units({u"か", u"あ", u"ん"}), 8000, 0, image).bOk);
  WriteBytes(dir.Path("other.pa"), WithNameReplaced(image, {0x82, 0xF1}, {0x82, 0xA9}));  // ん becomes か
  WriteBytes(dir.Path("other-n.pa"), image);

  frmPA form(*w);
  Show(form, "other.pa");
  ASSERT_EQ(ListLines(*form.List1), (QStringList{"か", "あ", "か"}));
  for (int nRow : {1, 2, 0}) DoubleClickRow(form.List1, nRow);
  EXPECT_EQ(units, (std::vector<std::string>{"あ", "か", "か"}));

  // A unit the stored voice lacks plays nothing.
  frmPA missing(*w);
  Show(missing, "other-n.pa");
  units.clear();
  DoubleClickRow(missing.List1, 2);  // ん
  EXPECT_TRUE(units.empty());
  DoubleClickRow(missing.List1, 0);
  EXPECT_EQ(units, (std::vector<std::string>{"か"}));

  w->mnuProperty_Mute->trigger();
  DoubleClickRow(missing.List1, 0);
  ASSERT_EQ(lastBytes.size(), UnitLength(5));
  EXPECT_TRUE(std::all_of(lastBytes.begin(), lastBytes.end(), [](uint8_t b) { return b == 127; }));
}

// The label and the list follow the window's size.
TEST_F(VoiceListTest, LabelAndListFollowTheWindowSize) {
  frmPA form(*w);
  Show(form, "50on.pa");
  const int n120x = TwipsToPixels(120, form.logicalDpiX());
  const int n120y = TwipsToPixels(120, form.logicalDpiY());
  for (const QSize size : {QSize(300, 400), QSize(180, 520), QSize(640, 200)}) {
    SCOPED_TRACE(size.width());
    form.resize(size);
    QApplication::processEvents();
    ASSERT_EQ(form.size(), size);
    EXPECT_EQ(form.Label1->geometry(), QRect(n120x, n120y, size.width() - n120x, form.Label1->height()));
    const QRect list = form.List1->geometry();
    EXPECT_EQ(list.left(), 0);
    EXPECT_EQ(list.top(), form.Label1->geometry().bottom() + 1 + n120y);
    EXPECT_EQ(list.width(), size.width());
    EXPECT_EQ(list.bottom() + 1, size.height());
  }
}

}  // namespace
}  // namespace ekoto::testing
