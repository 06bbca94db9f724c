// CFileDialogs: Qt's file dialogs behind CFile's filter text, and the file
// operations through QFile and QDir.
#include "ui/CFileDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <utility>
#include <vector>

#include "util/CFile.h"

namespace ekoto {
namespace {

FileDialogRunner& Runner() {
  static FileDialogRunner runner;
  return runner;
}

struct FilePatterns {
  QString sDescription;
  QString sPatterns;  // ";" between patterns, as CFile writes them
};

// "description|pattern|description|pattern"; a description without a pattern is dropped.
std::vector<FilePatterns> ParseFilter(const QString& strFilter) {
  const QStringList parts = strFilter.split(u'|');
  std::vector<FilePatterns> pairs;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) pairs.push_back({parts[i], parts[i + 1]});
  return pairs;
}

// Qt reads the patterns from the parentheses at the end of a name filter:
// "声源ファイル(*.pa)" already ends in them and is kept as the user knows it.
QStringList NameFilters(const std::vector<FilePatterns>& pairs) {
  QStringList filters;
  for (const FilePatterns& pair : pairs) {
    if (pair.sDescription.endsWith(u'(' + pair.sPatterns + u')') && !pair.sPatterns.contains(u';')) {
      filters.append(pair.sDescription);
    } else {
      QString patterns = pair.sPatterns;
      filters.append(pair.sDescription + QStringLiteral(" (") + patterns.replace(u';', u' ') + u')');
    }
  }
  return filters;
}

std::optional<FileDialogAnswer> RunQtDialog(const FileDialogRequest& request) {
  QFileDialog dialog(request.owner);
  switch (request.kind) {
    case FileDialogRequest::Kind::kOpen: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case FileDialogRequest::Kind::kOpenMulti: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case FileDialogRequest::Kind::kSave:
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      // The name typed may still get its extension: the question comes after that.
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
      break;
    case FileDialogRequest::Kind::kReplace:
      break;
    case FileDialogRequest::Kind::kFolder:
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly);
      dialog.setWindowTitle(request.sCaption);
      break;
  }
  if (!request.sDirectory.isEmpty()) dialog.setDirectory(request.sDirectory);
  if (!request.filters.isEmpty()) {
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.filters.value(request.nFilter));
  }
  if (!request.sFileName.isEmpty()) dialog.selectFile(request.sFileName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FileDialogAnswer{dialog.selectedFiles(),
                          static_cast<int>(std::max<qsizetype>(0, request.filters.indexOf(dialog.selectedNameFilter())))};
}

std::optional<FileDialogAnswer> AskReplace(const FileDialogRequest& request) {
  const QMessageBox::StandardButton button = QMessageBox::question(
      request.owner, QStringLiteral("名前を付けて保存"),
      QStringLiteral("%1 は既にあります。\n置き換えますか?").arg(QDir::toNativeSeparators(request.sFileName)),
      QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  if (button != QMessageBox::Yes) return std::nullopt;
  return FileDialogAnswer{{request.sFileName}, 0};
}

std::optional<FileDialogAnswer> RunDialog(const FileDialogRequest& request) {
  std::optional<FileDialogAnswer> answer = Runner()                                            ? Runner()(request)
                                           : request.kind == FileDialogRequest::Kind::kReplace ? AskReplace(request)
                                                                                               : RunQtDialog(request);
  if (answer && answer->paths.isEmpty()) return std::nullopt;
  return answer;
}

// The dialog for a CFile filter; the answer's filter index is within the pairs.
std::optional<FileDialogAnswer> RunFileDialog(FileDialogRequest::Kind kind, QWidget* owner,
                                              const std::vector<FilePatterns>& pairs, const QString& sFileName,
                                              const QString& sDirectory, int nDefFilterIndex) {
  FileDialogRequest request;
  request.kind = kind;
  request.owner = owner;
  request.filters = NameFilters(pairs);
  request.nFilter = nDefFilterIndex >= 1 && nDefFilterIndex <= static_cast<int>(pairs.size()) ? nDefFilterIndex - 1 : 0;
  request.sFileName = sFileName;
  request.sDirectory = sDirectory;
  std::optional<FileDialogAnswer> answer = RunDialog(request);
  if (answer && (answer->nFilter < 0 || answer->nFilter >= static_cast<int>(pairs.size()))) answer->nFilter = 0;
  return answer;
}

// The extension after the last "." of a pattern's first entry, "" for none or a wildcard.
QString PatternExtension(const FilePatterns& pair) {
  const QString sPattern = pair.sPatterns.section(u';', 0, 0).trimmed();
  const qsizetype nDot = sPattern.lastIndexOf(u'.');
  const QString sExt = nDot < 0 ? QString() : sPattern.mid(nDot + 1);
  return sExt.contains(u'*') ? QString() : sExt;
}

// sPath as it will be saved: the selected filter's extension is added unless the
// name already ends in one of the filters' extensions.
QString WithExtension(const QString& sPath, const std::vector<FilePatterns>& pairs, int nFilter) {
  if (pairs.empty()) return sPath;
  for (const FilePatterns& pair : pairs) {
    const QString sExt = PatternExtension(pair);
    if (!sExt.isEmpty() && sPath.endsWith(u'.' + sExt, Qt::CaseInsensitive)) return sPath;
  }
  const QString sExt = PatternExtension(pairs[static_cast<size_t>(nFilter)]);
  return sExt.isEmpty() ? sPath : sPath + u'.' + sExt;
}

bool IsInside(const QString& sPath, const QString& sFolder) {
  return QDir::cleanPath(QFileInfo(sPath).absoluteFilePath())
      .startsWith(QDir::cleanPath(QFileInfo(sFolder).absoluteFilePath()) + u'/');
}

// A folder with everything in it, or one file, which replaces a file of its name.
bool CopyEntry(const QString& sFrom, const QString& sTo) {
  const QFileInfo from(sFrom);
  if (from.isDir() && !from.isSymLink()) {
    if (IsInside(sTo, sFrom) || !QDir().mkpath(sTo)) return false;
    bool bOk = true;
    const QFileInfoList children =
        QDir(sFrom).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& child : children) bOk = CopyEntry(child.filePath(), sTo + u'/' + child.fileName()) && bOk;
    return bOk;
  }
  if (!from.exists()) return false;
  const QFileInfo to(sTo);
  if (to.isDir() && !to.isSymLink()) return false;
  if ((to.exists() || to.isSymLink()) && !QFile::remove(sTo)) return false;
  return QFile::copy(sFrom, sTo);
}

bool RemoveEntry(const QString& sPath) {
  const QFileInfo info(sPath);
  if (info.isDir() && !info.isSymLink()) return QDir(sPath).removeRecursively();
  return QFile::remove(sPath);
}

// Where sFrom goes in the folder sToPath.
QString TargetIn(const QString& sFrom, const QString& sToPath, bool bAutoReName) {
  const QString sTarget = QDir(sToPath).filePath(QFileInfo(sFrom).fileName());
  if (!bAutoReName) return sTarget;
  return QString::fromStdU16String(CFile().SameFileToReName(sTarget.toStdU16String()));
}

}  // namespace

void CFileDialogs::SetDialogRunner(FileDialogRunner runner) { Runner() = std::move(runner); }

bool CFileDialogs::ShowOpenFileDialog(QWidget* lhWnd, QString& returnFilePath, const QString& strFilter,
                                      const QString& strFileName, const QString& strDefDir, int nDefFilterIndex) {
  const std::optional<FileDialogAnswer> answer = RunFileDialog(FileDialogRequest::Kind::kOpen, lhWnd, ParseFilter(strFilter),
                                                               strFileName, strDefDir, nDefFilterIndex);
  if (!answer) return false;
  returnFilePath = answer->paths.first();
  return true;
}

bool CFileDialogs::ShowOpenFileDialogMultiSel(QWidget* lhWnd, QString& returnFilePath, const QString& strFilter,
                                              QStringList& varFiles, const QString& strDefDir, int nDefFilterIndex) {
  const std::optional<FileDialogAnswer> answer = RunFileDialog(FileDialogRequest::Kind::kOpenMulti, lhWnd,
                                                               ParseFilter(strFilter), QString(), strDefDir, nDefFilterIndex);
  if (!answer) return false;
  varFiles = answer->paths;
  returnFilePath = answer->paths.first();
  return true;
}

bool CFileDialogs::ShowSaveFileDialog(QWidget* lhWnd, QString& returnFilePath, const QString& strFilter,
                                      const QString& strFileName, const QString& strDefDir, int nDefFilterIndex) {
  const std::vector<FilePatterns> pairs = ParseFilter(strFilter);
  QString sFileName = strFileName;
  for (int nFilterIndex = nDefFilterIndex;;) {
    const std::optional<FileDialogAnswer> answer =
        RunFileDialog(FileDialogRequest::Kind::kSave, lhWnd, pairs, sFileName, strDefDir, nFilterIndex);
    if (!answer) return false;
    const QString sPath = WithExtension(answer->paths.first(), pairs, answer->nFilter);
    const QFileInfo target(sPath);
    FileDialogRequest question;
    question.kind = FileDialogRequest::Kind::kReplace;
    question.owner = lhWnd;
    question.sFileName = sPath;
    if ((!target.exists() && !target.isSymLink()) || RunDialog(question)) {
      returnFilePath = sPath;
      return true;
    }
    sFileName = sPath;
    nFilterIndex = answer->nFilter + 1;
  }
}

QString CFileDialogs::ShowFolderDialog(QWidget* hWnd, const QString& Caption, const QString& sDefaultFolder) {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::kFolder;
  request.owner = hWnd;
  request.sCaption = Caption;
  request.sDirectory = sDefaultFolder;
  const std::optional<FileDialogAnswer> answer = RunDialog(request);
  return answer ? answer->paths.first() : QString();
}

QString CFileDialogs::GetCompactPath(const QFontMetrics& metrics, const QString& FilePath, int nWidth) {
  if (FilePath.isEmpty()) return QString();
  return metrics.elidedText(FilePath, Qt::ElideMiddle, nWidth);
}

bool CFileDialogs::SHCopy(const QStringList& cleFromFiles, const QString& strToPath, bool bAutoReName) {
  if (!QDir().mkpath(strToPath)) return false;
  bool bOk = true;
  for (const QString& sFrom : cleFromFiles) bOk = CopyEntry(sFrom, TargetIn(sFrom, strToPath, bAutoReName)) && bOk;
  return bOk;
}

bool CFileDialogs::SHMove(const QStringList& cleFromFiles, const QString& strToPath, bool bAutoReName) {
  if (!QDir().mkpath(strToPath)) return false;
  bool bOk = true;
  for (const QString& sFrom : cleFromFiles) {
    const QString sTarget = TargetIn(sFrom, strToPath, bAutoReName);
    if (IsInside(sTarget, sFrom)) {
      bOk = false;
      continue;
    }
    // A rename never replaces anything; what is in the way goes by copying.
    if (QDir().rename(sFrom, sTarget)) continue;
    bOk = CopyEntry(sFrom, sTarget) && RemoveEntry(sFrom) && bOk;
  }
  return bOk;
}

bool CFileDialogs::SHReName(const QStringList& cleFromFiles, const QStringList& cleToFiles) {
  if (cleFromFiles.size() != cleToFiles.size()) return false;
  bool bOk = true;
  for (qsizetype i = 0; i < cleFromFiles.size(); ++i) {
    const QFileInfo to(cleToFiles[i]);
    bOk = !to.exists() && !to.isSymLink() && QDir().rename(cleFromFiles[i], cleToFiles[i]) && bOk;
  }
  return bOk;
}

bool CFileDialogs::SHDelete(const QStringList& cleFromFiles) {
  bool bOk = true;
  for (const QString& sPath : cleFromFiles) bOk = QFile::moveToTrash(sPath) && bOk;
  return bOk;
}

QString CFileDialogs::GetSpecialFolderPath(int flag) {
  static constexpr struct {
    int nFlag;
    QStandardPaths::StandardLocation location;
  } kFolders[] = {
      {-2, QStandardPaths::TempLocation},          {0, QStandardPaths::DesktopLocation},
      {5, QStandardPaths::DocumentsLocation},      {13, QStandardPaths::MusicLocation},
      {14, QStandardPaths::MoviesLocation},        {20, QStandardPaths::FontsLocation},
      {26, QStandardPaths::GenericConfigLocation}, {28, QStandardPaths::GenericDataLocation},
      {32, QStandardPaths::GenericCacheLocation},  {39, QStandardPaths::PicturesLocation},
      {40, QStandardPaths::HomeLocation},
  };
  for (const auto& folder : kFolders) {
    if (folder.nFlag != flag) continue;
    QString sPath = QStandardPaths::writableLocation(folder.location);
    while (sPath.size() > 1 && sPath.endsWith(u'/')) sPath.chop(1);
    return sPath;
  }
  return QString();
}

bool CFileDialogs::ShowPropertyDialog(const QString& FilePath) {
  const QFileInfo info(FilePath);
  if (FilePath.isEmpty() || !info.exists()) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}

}  // namespace ekoto
