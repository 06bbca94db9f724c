// The voice windows: the building dialog turning a folder of recordings into a
// .pa (or naming the bad recording and leaving none), and the voice list with
// its caption, its message for a file without a list, and double-click play.
#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>

#include "../RecordingFiles.h"
#include "MainWindowTestKit.h"
#include "ui/frmCreatePA.h"
#include "ui/frmPA.h"
#include "voice/PaFile.h"

namespace ekoto::testing {
namespace {

TEST(VoiceBuilder, RecordingsBecomeAVoiceOrTheBadOneIsNamed) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.Path("rec"));
  for (const char* unit : {"あ", "い", "きゃ"})
    ASSERT_TRUE(WriteTone(dir.Path("rec") / (std::string(unit) + ".wav"), 16000, 800));
  frmCreatePA dialog;
  dialog.txtFolder->setText(QString::fromStdString(dir.Path("rec").string()));
  dialog.txtOutPath->setText(QString::fromStdU16String(dir.Path16("voice.pa")));
  dialog.cboRate->setCurrentIndex(dialog.cboRate->findData(8000));
  dialog.chkCipher->setChecked(true);
  dialog.cmdCreate_Click();
  EXPECT_TRUE(dialog.lblResult->text().contains("3 単位")) << dialog.lblResult->text().toStdString();
  PAHEADER header;
  EXPECT_EQ(GetPASoundNames(dir.Path16("voice.pa"), header).value_or(std::vector<std::u16string>{}).size(), 3u);
  EXPECT_EQ(std::pair(header.lSampleRate, header.nCipher), std::pair(int32_t{8000}, int16_t{1}));
  EXPECT_TRUE(ListLines(*dialog.lstMissing).contains("う"));  // a unit the readers need that it lacks

  // An unreadable recording is named and no voice is left behind.
  std::filesystem::remove(dir.Path("voice.pa"));
  WriteBytes(dir.Path("rec") / "か.wav", {'R', 'I', 'F', 'F', 0, 0});
  dialog.cmdCreate_Click();
  EXPECT_TRUE(dialog.lblResult->text().contains("か.wav")) << dialog.lblResult->text().toStdString();
  EXPECT_FALSE(std::filesystem::exists(dir.Path("voice.pa")));
  EXPECT_EQ(dialog.lstMissing->count(), 0);
}

std::vector<uint8_t> Image(std::initializer_list<const char16_t*> names) {
  std::vector<PaUnit> units;
  for (const char16_t* name : names) units.push_back({name, std::vector<uint8_t>(120, 90)});
  std::vector<uint8_t> image;
  EXPECT_TRUE(BuildPAImage(units, 8000, 0, image).bOk);
  return image;
}

// A file without a readable list gives the message, owned by the caller.
TEST_F(WindowTest, VoiceListOfAFileWithoutAListShowsTheMessage) {
  std::vector<std::pair<QWidget*, QString>> messages;
  frmPA::SetMessageHook([&](QWidget* parent, const QString& sText) { messages.emplace_back(parent, sText); });
  const std::vector<uint8_t> image = Image({u"あ"});
  std::vector<uint8_t> noEntries = image, badVersion = image;
  noEntries[13] = 0;  // the entry count
  badVersion[4] = 2;
  WriteBytes(dir.Path("none.pa"), noEntries);
  WriteBytes(dir.Path("version.pa"), badVersion);
  WriteBytes(dir.Path("cut.pa"), std::vector<uint8_t>(image.begin(), image.begin() + 30));
  for (const std::u16string& path : {dir.Path16("missing.pa"), dir.Path16("none.pa"), dir.Path16("version.pa"),
                                     dir.Path16("cut.pa"), Utf8ToUtf16(dir.Root().string())}) {
    messages.clear();
    QWidget owner;
    ShowVoiceList(*w, path, &owner);
    EXPECT_EQ(messages, (std::vector<std::pair<QWidget*, QString>>{
                            {&owner, "PAファイルが見つかりません\n" + QString::fromStdU16String(path)}}));
  }
  frmPA::SetMessageHook(nullptr);
}

// The list in file order; a double-click plays the line's unit from the stored voice, nothing for
// a unit it lacks, silence at mute.
TEST_F(WindowTest, VoiceListDoubleClickPlaysTheLineFromTheStoredVoice) {
  // The sounds come from the stored voice (its lengths name the units), which lacks ん.
  WriteBytes(dir.Path("other.pa"), Image({u"か", u"あ", u"ん"}));
  frmPA form(*w);
  ASSERT_TRUE(form.Form_Load(dir.Path16("other.pa")));
  EXPECT_EQ(ListLines(*form.List1) << form.windowTitle(),
            (QStringList{"か", "あ", "ん", "サポートされている声 - 3声"}));
  form.show();
  QApplication::processEvents();
  auto doubleClick = [&](int nRow) {
    const QPoint at = form.List1->visualItemRect(form.List1->item(nRow)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
      QMouseEvent event(type, at, form.List1->viewport()->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
      QApplication::sendEvent(form.List1->viewport(), &event);
    }
  };
  for (int nRow : {1, 2, 0}) doubleClick(nRow);
  EXPECT_EQ(units, (std::vector<std::string>{"あ", "か"}));
  for (const int nKey : {Qt::Key_Return, Qt::Key_Space}) QTest::keyClick(form.List1, static_cast<Qt::Key>(nKey));
  EXPECT_EQ(units, (std::vector<std::string>{"あ", "か", "か", "か"})) << "Enter and Space play the current line";
  EXPECT_TRUE(form.isVisible());
  w->mnuProperty_Mute->trigger();
  doubleClick(0);
  ASSERT_EQ(lastBytes.size(), UnitLength(5));
  EXPECT_TRUE(std::all_of(lastBytes.begin(), lastBytes.end(), [](uint8_t b) { return b == 127; }));
}

}  // namespace
}  // namespace ekoto::testing
