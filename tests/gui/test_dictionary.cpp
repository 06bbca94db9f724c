// The dictionary window driven as a user would: entries added, changed and
// deleted through its fields, the file after each save, the test line's
// reading with unsaved entries, and a file changed outside merged or reloaded.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

#include "MainWindowTestKit.h"
#include "conversion/ConvTemplete.h"
#include "ui/DictionaryModel.h"
#include "ui/frmDictionary.h"

namespace ekoto::testing {
namespace {

class DictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteString(dir.Path("templete.txt"), "// \xe6\xb3\xa8\xe9\x87\x88\r\n日本\tにほん\r\n東京\tとうきょう\r\n");
    form = std::make_unique<frmDictionary>(DictionaryServices{.sTempletePath = dir.Path16("templete.txt"),
                                                              .options = {},
                                                              .converter = converter,
                                                              .hear = nullptr});
  }

  std::string File() const { return ReadString(dir.Path("templete.txt")); }

  // Selects the entry with text sFrom in the table, as a click would.
  void Select(const char* sFrom) {
    const int nRow = form->Model().RowOf(Utf8ToUtf16(sFrom));
    ASSERT_GE(nRow, 0) << sFrom;
    form->lstEntries->setCurrentIndex(form->Proxy().mapFromSource(form->Model().index(nRow, 0)));
  }

  void Fill(const char* text, const char* reading, bool bWholeWord = false) {
    form->txtText->setText(QString::fromUtf8(text));
    form->txtReading->setText(QString::fromUtf8(reading));
    form->chkWholeWord->setChecked(bWholeWord);
  }

  std::string Reading() const { return form->lblReading->text().toStdString(); }

  ScratchDir dir;
  IdentityConverter converter;
  std::unique_ptr<frmDictionary> form;
};

TEST_F(DictionaryTest, AddEditDeleteSave) {
  form->txtTest->setText(QStringLiteral("三鷹の東京"));
  EXPECT_EQ(Reading(), "三鷹のとうきょう");

  Fill("三鷹", "ミタカ");
  form->cmdAdd->click();
  EXPECT_EQ(Reading(), "みたかのとうきょう") << "an unsaved entry reads at once, katakana as hiragana";
  ASSERT_TRUE(form->SaveFile());
  EXPECT_EQ(File(), "// \xe6\xb3\xa8\xe9\x87\x88\r\n日本\tにほん\r\n東京\tとうきょう\r\n//@\r\n三鷹\tミタカ\r\n");
  LoadConvTemplete(dir.Path16("templete.txt"));  // as the program does at every play
  EXPECT_EQ(ConvTemplete(u"三鷹へ"), u"みたかへ");

  Select("三鷹");
  EXPECT_EQ(form->txtReading->text().toStdString(), "ミタカ");
  Fill("三鷹", "み[たか", true);
  form->txtNote->setText(QStringLiteral("市"));
  form->cmdEdit->click();
  ASSERT_TRUE(form->SaveFile());
  EXPECT_EQ(File(), "// \xe6\xb3\xa8\xe9\x87\x88\r\n日本\tにほん\r\n東京\tとうきょう\r\n//@\tword\taccent=み[たか\tnote=市\r\n三鷹\tみたか\r\n");
  EXPECT_EQ(Reading(), "みたかのとうきょう");

  Select("東京");
  form->cmdDelete->click();
  EXPECT_EQ(Reading(), "みたかの東京");
  ASSERT_TRUE(form->SaveFile());
  EXPECT_EQ(File(), "// \xe6\xb3\xa8\xe9\x87\x88\r\n日本\tにほん\r\n//@\tword\taccent=み[たか\tnote=市\r\n三鷹\tみたか\r\n");

  form->txtSearch->setText(QStringLiteral("三鷹"));
  EXPECT_EQ(form->Proxy().rowCount(), 1);
  form->txtSearch->clear();
  EXPECT_EQ(form->Proxy().rowCount(), 2);
  // Sorted by reading, the selection still names the entry it shows.
  form->lstEntries->sortByColumn(DictionaryModel::kReading, Qt::DescendingOrder);
  form->lstEntries->setCurrentIndex(form->Proxy().index(0, 0));
  EXPECT_EQ(form->txtText->text().toStdString(), "三鷹");
}

TEST_F(DictionaryTest, OutsideChangesAreMergedOrReloaded) {
  Fill("町田", "まちだ");
  form->cmdAdd->click();
  Select("日本");
  form->cmdDelete->click();
  // Meanwhile the file is edited by hand: a new entry, and 東京 changed.
  WriteString(dir.Path("templete.txt"), "// \xe6\xb3\xa8\xe9\x87\x88\r\n日本\tにほん\r\n東京\tとーきょー\r\n横浜\tよこはま\r\n");
  int nAsked = 0;
  form->askChanged = [&nAsked] {
    ++nAsked;
    return frmDictionary::ChangedChoice::kMerge;
  };
  ASSERT_TRUE(form->SaveFile());
  EXPECT_EQ(nAsked, 1);
  EXPECT_EQ(File(), "// \xe6\xb3\xa8\xe9\x87\x88\r\n東京\tとーきょー\r\n横浜\tよこはま\r\n//@\r\n町田\tまちだ\r\n");

  // Cancel keeps the edits and the file; reload takes the file as it is.
  Fill("八王子", "はちおうじ");
  form->cmdAdd->click();
  WriteString(dir.Path("templete.txt"), "川崎\tかわさき\n");
  form->askChanged = [] { return frmDictionary::ChangedChoice::kCancel; };
  EXPECT_FALSE(form->SaveFile());
  EXPECT_EQ(File(), "川崎\tかわさき\n");
  form->askChanged = [] { return frmDictionary::ChangedChoice::kReload; };
  form->SaveFile();
  EXPECT_EQ(File(), "川崎\tかわさき\n");
  EXPECT_EQ(form->Model().rowCount(), 1);
  form->txtTest->setText(QStringLiteral("川崎と八王子"));
  EXPECT_EQ(Reading(), "かわさきと八王子");

  WriteString(dir.Path("templete.txt"), "川崎\tかわさき\n八王子\tはちおーじ\n");
  form->cmdReload->click();
  EXPECT_EQ(Reading(), "かわさきとはちおーじ");
}

TEST_F(DictionaryTest, WarningsAndImports) {
  const struct {
    const char* list;
    const char* result;
  } rows[] = {
      {.list = "表記\t読み\t注釈\n東京都\tとうきょうと\t首都\n\tx\n", .result = "1 語を取り込みました (未保存)。読めない行 1 行は飛ばしました"},
      {.list = "\"a,b\",えーびー\n", .result = "1 語を取り込みました (未保存)"},
  };
  for (const auto& row : rows) EXPECT_EQ(form->ImportList(row.list).toStdString(), row.result) << row.list;
  EXPECT_EQ(form->ImportList(std::string_view("a\tb\0", 4)).toStdString(), "文字の一覧ではありません。");
  const auto warning = [this](const char* sFrom) {
    const int nRow = form->Model().RowOf(Utf8ToUtf16(sFrom));
    return form->Model().index(nRow, DictionaryModel::kWarning).data().toString().toStdString();
  };
  EXPECT_EQ(warning("東京"), "「東京都」の中では置き換わらない");
  EXPECT_EQ(warning("東京都"), "「東京」を含む");
  EXPECT_EQ(warning("日本"), "");
  Fill("ほ", "ぽ");
  form->cmdAdd->click();
  EXPECT_EQ(warning("日本"), "読みが「ほ」に置き換わる");
}

// 聞く reads the test line in the main window's voice with the window's
// entries, saved or not; the main window's own reading keeps to the file.
class DictionaryHearTest : public WindowTest {};

TEST_F(DictionaryHearTest, HearsUnsavedEntriesThroughTheMainWindow) {
  WriteString(dir.Path("words.txt"), "");
  w->clsOptions.sConvTempletePath = dir.Path16("words.txt");
  frmDictionary* form = w->OpenDictionary(w->clsOptions.sConvTempletePath, w.get(), false);
  ASSERT_NE(form, nullptr);
  form->txtText->setText(QStringLiteral("X"));
  form->txtReading->setText(QStringLiteral("カキ"));
  form->cmdAdd->click();
  form->txtTest->setText(QStringLiteral("XさX"));
  form->cmdHear->click();
  EXPECT_EQ(units, (std::vector<std::string>{"か", "き", "さ", "か", "き"}));
  units.clear();
  SetText(u"XさX");
  w->mnuRun_Play_Click();
  EXPECT_EQ(units, (std::vector<std::string>{"さ"}));
}

}  // namespace
}  // namespace ekoto::testing
