// The voice-building dialog: a folder of tiny recordings becomes a .pa the
// readers list, with the units it lacks shown; a bad recording is named and
// no .pa is left behind.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "../RecordingFiles.h"
#include "MainWindowTestKit.h"
#include "ui/frmCreatePA.h"
#include "voice/PaFile.h"

namespace ekoto::testing {
namespace {

class VoiceBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.Path("rec"));
    dialog.txtFolder->setText(QString::fromStdString(dir.Path("rec").string()));
    dialog.txtOutPath->setText(Out());
  }
  QString Out() const { return QString::fromStdString(dir.Path("voice.pa").string()); }
  void Record(const char* unit) { ASSERT_TRUE(WriteTone(dir.Path("rec") / (std::string(unit) + ".wav"), 16000, 800)); }

  ScratchDir dir;
  frmCreatePA dialog;
};

// A folder of recordings becomes a voice, at their rate or the one chosen.
TEST_F(VoiceBuilderTest, FolderOfRecordingsBecomesAVoiceAndTheLackingUnitsAreListed) {
  for (const char* unit : {"あ", "い", "きゃ"}) Record(unit);
  dialog.cboRate->setCurrentIndex(dialog.cboRate->findData(8000));
  dialog.chkCipher->setChecked(true);
  dialog.cmdCreate_Click();

  EXPECT_TRUE(dialog.lblResult->text().contains("3 単位")) << dialog.lblResult->text().toStdString();
  EXPECT_EQ(dialog.prgBuild->value(), dialog.prgBuild->maximum());
  PAHEADER header;
  const auto names = GetPASoundNames(Out().toStdU16String(), header);
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(*names, (std::vector<std::u16string>{u"あ", u"い", u"きゃ"}));
  EXPECT_EQ(header.lSampleRate, 8000);
  EXPECT_EQ(header.nCipher, 1);

  const QStringList missing = ListLines(*dialog.lstMissing);
  EXPECT_TRUE(missing.contains("う"));
  EXPECT_TRUE(missing.contains("か"));
  EXPECT_FALSE(missing.contains("あ") || missing.contains("い") || missing.contains("きゃ"));
  EXPECT_TRUE(dialog.lblMissing->text().contains(QString::number(missing.size())));
  EXPECT_TRUE(dialog.cmdCreate->isEnabled());
}

TEST_F(VoiceBuilderTest, RecordingsKeepTheirRateUnlessOneIsChosen) {
  Record("あ");
  ASSERT_EQ(dialog.cboRate->currentData().toInt(), 0);
  dialog.cmdCreate_Click();
  PAHEADER header;
  ASSERT_TRUE(GetPASoundNames(Out().toStdU16String(), header).has_value());
  EXPECT_EQ(header.lSampleRate, 16000);
  EXPECT_EQ(header.nCipher, 0);
}

// Failures leave no voice behind.
TEST_F(VoiceBuilderTest, UnreadableRecordingIsNamedAndNoVoiceIsWritten) {
  Record("あ");
  WriteBytes(dir.Path("rec") / "か.wav", {'R', 'I', 'F', 'F', 0, 0});
  dialog.cmdCreate_Click();
  const QString result = dialog.lblResult->text();
  EXPECT_TRUE(result.contains("作成できませんでした")) << result.toStdString();
  EXPECT_TRUE(result.contains("か.wav")) << result.toStdString();
  EXPECT_FALSE(std::filesystem::exists(dir.Path("voice.pa")));
  EXPECT_EQ(dialog.lstMissing->count(), 0);
}

TEST_F(VoiceBuilderTest, EmptyFieldsAskForAFolderAndAFile) {
  dialog.txtFolder->clear();
  dialog.cmdCreate_Click();
  EXPECT_TRUE(dialog.lblResult->text().contains("指定してください"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("voice.pa")));
}

}  // namespace
}  // namespace ekoto::testing
