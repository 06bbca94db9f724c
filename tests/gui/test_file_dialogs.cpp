// CFile's desktop side: the filter text as Qt's dialogs get it, what comes back
// from the open, save and folder dialogs, the elided path, copy, move, rename
// and delete to the trash in a scratch folder, special folders, the file manager.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QUrl>

#include "MainWindowTestKit.h"
#include "ui/CFileDialogs.h"

namespace ekoto::testing {
namespace {

class FileDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CFileDialogs::SetDialogRunner([this](const FileDialogRequest& request) {
      requests.push_back(request);
      return answer;
    });
  }
  void TearDown() override { CFileDialogs::SetDialogRunner(nullptr); }

  std::optional<FileDialogAnswer> answer;
  std::vector<FileDialogRequest> requests;
};

// The filter text as Qt gets it, and what comes back from the open, save and folder dialogs.
TEST_F(FileDialogsTest, FilterPairsBecomeQtNameFilters) {
  const struct { const char* filter; int nIndex; QStringList filters; int nSelected; } rows[] = {
      {"声源ファイル(*.pa)|*.pa", 0, {"声源ファイル(*.pa)"}, 0},
      {"Text|*.txt|All files|*.*", 2, {"Text (*.txt)", "All files (*.*)"}, 1},
      {"Text|*.txt|All files|*.*", 1, {"Text (*.txt)", "All files (*.*)"}, 0},
      {"Text|*.txt|All files|*.*", 9, {"Text (*.txt)", "All files (*.*)"}, 0},
      {"Texts (*.txt)|*.txt;*.log", 0, {"Texts (*.txt) (*.txt *.log)"}, 0},
      {"Text|*.txt|dangling", 0, {"Text (*.txt)"}, 0},
      {"", 0, {}, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.filter);
    requests.clear();
    QString sPath = "unchanged";
    EXPECT_FALSE(CFileDialogs().ShowOpenFileDialog(nullptr, sPath, QString::fromUtf8(row.filter), "name.txt", "/tmp",
                                                    row.nIndex));
    EXPECT_EQ(sPath, "unchanged");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, FileDialogRequest::Kind::kOpen);
    EXPECT_EQ(requests[0].filters, row.filters);
    EXPECT_EQ(requests[0].nFilter, row.nSelected);
    EXPECT_EQ(requests[0].sFileName, "name.txt");
    EXPECT_EQ(requests[0].sDirectory, "/tmp");
  }
}

TEST_F(FileDialogsTest, OpenAndMultipleSelectionReturnTheChosenPaths) {
  QString sPath;
  answer = FileDialogAnswer{{"/data/声.pa"}, 0};
  EXPECT_TRUE(CFileDialogs().ShowOpenFileDialog(nullptr, sPath, "声源ファイル(*.pa)|*.pa", "", "", 0));
  EXPECT_EQ(sPath, "/data/声.pa");

  QStringList files;
  answer = FileDialogAnswer{{"/data/a.txt", "/data/b.txt"}, 0};
  EXPECT_TRUE(CFileDialogs().ShowOpenFileDialogMultiSel(nullptr, sPath, "Text|*.txt", files, "", 0));
  EXPECT_EQ(files, (QStringList{"/data/a.txt", "/data/b.txt"}));
  EXPECT_EQ(sPath, "/data/a.txt");
  EXPECT_EQ(requests.back().kind, FileDialogRequest::Kind::kOpenMulti);

  // Nothing chosen counts as a cancel.
  answer = FileDialogAnswer{{}, 0};
  files = {"kept"};
  EXPECT_FALSE(CFileDialogs().ShowOpenFileDialogMultiSel(nullptr, sPath, "Text|*.txt", files, "", 0));
  EXPECT_EQ(files, QStringList{"kept"});
}

TEST_F(FileDialogsTest, SaveAddsTheSelectedFiltersExtensionWhenMissing) {
  const struct { const char* filter; const char* chosen; int nFilter; const char* result; } rows[] = {
      {"Text|*.txt", "/d/report", 0, "/d/report.txt"},
      {"Text|*.txt", "/d/report.txt", 0, "/d/report.txt"},
      {"Text|*.txt", "/d/report.TXT", 0, "/d/report.TXT"},
      {"Text|*.txt", "/d/report.txt.bak", 0, "/d/report.txt.bak.txt"},
      {"Text|*.txt|Voice|*.pa", "/d/voice", 1, "/d/voice.pa"},
      {"All|*.*", "/d/report", 0, "/d/report"},
      {"All|*", "/d/report", 0, "/d/report"},
      {"Logs|*.log;*.txt", "/d/run", 0, "/d/run.log"},
      {"", "/d/report", 0, "/d/report"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.chosen);
    answer = FileDialogAnswer{{row.chosen}, row.nFilter};
    QString sPath;
    EXPECT_TRUE(CFileDialogs().ShowSaveFileDialog(nullptr, sPath, row.filter, "", "", 0));
    EXPECT_EQ(sPath, row.result);
    EXPECT_EQ(requests.back().kind, FileDialogRequest::Kind::kSave);
  }
}

TEST_F(FileDialogsTest, FolderDialogGivesTheFolderOrNothing) {
  answer = FileDialogAnswer{{"/home/user/voices"}, 0};
  EXPECT_EQ(CFileDialogs().ShowFolderDialog(nullptr, "声源フォルダ", "/home"), "/home/user/voices");
  EXPECT_EQ(requests.back().kind, FileDialogRequest::Kind::kFolder);
  answer.reset();
  EXPECT_EQ(CFileDialogs().ShowFolderDialog(nullptr, "", ""), "");
}

// Qt's own dialog, answered as a user would.
TEST(FileDialogsQt, OpenDialogReturnsTheFileAcceptedInIt) {
  ScratchDir dir;
  WriteBytes(dir.Path("voice.pa"), {1, 2, 3});
  const QString sFile = QString::fromStdString(dir.Path("voice.pa").string());
  QWidget owner;
  QTimer::singleShot(0, &owner, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"声源ファイル(*.pa)"});
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    dialog->selectFile(sFile);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  QString sPath;
  EXPECT_TRUE(CFileDialogs().ShowOpenFileDialog(&owner, sPath, "声源ファイル(*.pa)|*.pa", "",
                                                QString::fromStdString(dir.Root().string()), 0));
  EXPECT_EQ(sPath, sFile);
}

// The elided path keeps both ends.
TEST(FileDialogsCompactPath, ShortensInTheMiddleToFit) {
  const QFontMetrics metrics(QApplication::font());
  const QString sPath = "/home/user/documents/voices/ekoto/50on.pa";
  EXPECT_EQ(CFileDialogs().GetCompactPath(metrics, "", 100), "");
  EXPECT_EQ(CFileDialogs().GetCompactPath(metrics, sPath, metrics.horizontalAdvance(sPath) + 1), sPath);
  const int nWidth = metrics.horizontalAdvance(sPath) / 2;
  const QString sShort = CFileDialogs().GetCompactPath(metrics, sPath, nWidth);
  EXPECT_LE(metrics.horizontalAdvance(sShort), nWidth);
  EXPECT_TRUE(sShort.contains(QChar(0x2026)));
  EXPECT_TRUE(sShort.startsWith("/home"));
  EXPECT_TRUE(sShort.endsWith(".pa"));
}

// Copy, move, rename and delete to the trash in a scratch folder.
class FileOperationsTest : public ::testing::Test {
 protected:
  QString P(const std::string& name) const { return QString::fromStdString(dir.Path(name).string()); }
  std::string Text(const std::string& name) const { return FileText(dir.Path(name)); }
  void Put(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(dir.Path(name).parent_path());
    WriteBytes(dir.Path(name), std::vector<uint8_t>(text.begin(), text.end()));
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir.Path(name)); }

  ScratchDir dir;
};

TEST_F(FileOperationsTest, CopyReplacesOrRenamesAndTakesFoldersWhole) {
  Put("a.txt", "new");
  Put("tree/sub/b.txt", "bee");
  Put("out/a.txt", "old");
  EXPECT_TRUE(CFileDialogs().SHCopy({P("a.txt"), P("tree")}, P("out"), false));
  EXPECT_EQ(Text("out/a.txt"), "new");
  EXPECT_EQ(Text("out/tree/sub/b.txt"), "bee");
  EXPECT_TRUE(Exists("a.txt"));

  Put("a.txt", "newer");
  EXPECT_TRUE(CFileDialogs().SHCopy({P("a.txt"), P("a.txt")}, P("out"), true));
  EXPECT_EQ(Text("out/a.txt"), "new");
  EXPECT_EQ(Text("out/a(1).txt"), "newer");
  EXPECT_EQ(Text("out/a(2).txt"), "newer");

  // Into a folder that does not exist yet; a missing source fails the whole call.
  EXPECT_FALSE(CFileDialogs().SHCopy({P("missing.txt"), P("a.txt")}, P("made/here"), false));
  EXPECT_EQ(Text("made/here/a.txt"), "newer");
  // A folder into itself would never end.
  EXPECT_FALSE(CFileDialogs().SHCopy({P("tree")}, P("tree/sub"), false));
}

TEST_F(FileOperationsTest, MoveLeavesNothingBehind) {
  Put("a.txt", "ay");
  Put("tree/b.txt", "bee");
  Put("out/a.txt", "old");
  EXPECT_TRUE(CFileDialogs().SHMove({P("a.txt"), P("tree")}, P("out"), false));
  EXPECT_EQ(Text("out/a.txt"), "ay");
  EXPECT_EQ(Text("out/tree/b.txt"), "bee");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_FALSE(Exists("tree"));

  Put("a.txt", "again");
  EXPECT_TRUE(CFileDialogs().SHMove({P("a.txt")}, P("out"), true));
  EXPECT_EQ(Text("out/a(1).txt"), "again");
  EXPECT_EQ(Text("out/a.txt"), "ay");
  EXPECT_FALSE(Exists("a.txt"));
}

TEST_F(FileOperationsTest, RenameGoesPairwiseAndNeverReplaces) {
  Put("a.txt", "ay");
  Put("b.txt", "bee");
  Put("taken.txt", "mine");
  EXPECT_TRUE(CFileDialogs().SHReName({P("a.txt"), P("b.txt")}, {P("x.txt"), P("y.txt")}));
  EXPECT_EQ(Text("x.txt"), "ay");
  EXPECT_EQ(Text("y.txt"), "bee");
  EXPECT_FALSE(CFileDialogs().SHReName({P("x.txt")}, {P("taken.txt")}));
  EXPECT_EQ(Text("taken.txt"), "mine");
  EXPECT_EQ(Text("x.txt"), "ay");
  EXPECT_FALSE(CFileDialogs().SHReName({P("x.txt"), P("y.txt")}, {P("z.txt")}));
  EXPECT_TRUE(Exists("x.txt"));
}

TEST_F(FileOperationsTest, DeleteMovesToTheTrash) {
  // The trash of a scratch home, not the user's.
  const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
  std::filesystem::create_directories(dir.Path("share"));
  qputenv("XDG_DATA_HOME", dir.Path("share").string().c_str());
  Put("gone.txt", "bye");
  const bool bDeleted = CFileDialogs().SHDelete({P("gone.txt")});
  const bool bMissing = CFileDialogs().SHDelete({P("never.txt")});
  if (oldDataHome.isNull()) {
    qunsetenv("XDG_DATA_HOME");
  } else {
    qputenv("XDG_DATA_HOME", oldDataHome);
  }
  EXPECT_TRUE(bDeleted);
  EXPECT_FALSE(bMissing);
  EXPECT_FALSE(Exists("gone.txt"));
  EXPECT_EQ(Text("share/Trash/files/gone.txt"), "bye");
}

// Special folders by number, and the file manager opened on a file's folder.
TEST(SpecialFolders, KnownNumbersHaveTheirFolderWithoutATrailingSlash) {
  CFileDialogs files;
  EXPECT_EQ(files.GetSpecialFolderPath(40), QDir::homePath());
  EXPECT_EQ(files.GetSpecialFolderPath(-2), QDir::cleanPath(QDir::tempPath()));
  for (int flag : {-3, -1, 7, 1000}) EXPECT_EQ(files.GetSpecialFolderPath(flag), "") << flag;
  for (int flag : {0, 5, 13, 14, 20, 26, 28, 32, 39}) {
    const QString sPath = files.GetSpecialFolderPath(flag);
    EXPECT_FALSE(sPath.isEmpty()) << flag;
    EXPECT_FALSE(sPath.endsWith('/')) << flag;
  }
}

// Records what the desktop would be asked to open.
class UrlSink : public QObject {
  Q_OBJECT

 public slots:
  void Open(const QUrl& url) { urls.append(url); }

 public:
  QList<QUrl> urls;
};

TEST(PropertyDialog, OpensTheFilesFolderInTheFileManager) {
  ScratchDir dir;
  WriteBytes(dir.Path("voice.pa"), {1});
  UrlSink sink;
  QDesktopServices::setUrlHandler("file", &sink, "Open");
  const bool bShown = CFileDialogs().ShowPropertyDialog(QString::fromStdString(dir.Path("voice.pa").string()));
  const bool bMissing = CFileDialogs().ShowPropertyDialog(QString::fromStdString(dir.Path("none.pa").string()));
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_TRUE(bShown);
  EXPECT_FALSE(bMissing);
  ASSERT_EQ(sink.urls.size(), 1);
  EXPECT_EQ(sink.urls[0], QUrl::fromLocalFile(QString::fromStdString(dir.Root().string())));
}

}  // namespace
}  // namespace ekoto::testing

#include "test_file_dialogs.moc"
