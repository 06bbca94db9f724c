// modShellEx: the command's split, the desktop's openers and started programs.
#include "ui/modShellEx.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ekoto {
namespace {

// "https://...", "mailto:...": a scheme of two letters or more, so that nothing
// that merely holds a colon is taken for an address.
bool IsAddress(const QString& sFile) {
  const QUrl url(sFile, QUrl::StrictMode);
  return url.isValid() && url.scheme().size() > 1 && !sFile.startsWith(u'/');
}

bool StartProgram(const QString& sProgram, const QStringList& arguments, bool bWait) {
  if (!bWait) return QProcess::startDetached(sProgram, arguments);
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(sProgram, arguments);
  if (!process.waitForStarted()) return false;
  // The caller's windows stay responsive: their events run between the polls.
  while (process.state() != QProcess::NotRunning) {
    QCoreApplication::processEvents();
    process.waitForFinished(100);
  }
  return true;
}

}  // namespace

bool FindOnPath(const QString& strPath, QString& strFullPath) {
  strFullPath.clear();
  if (strPath.isEmpty()) return false;
  if (strPath.contains(u'/')) {
    const QFileInfo info(strPath);
    if (info.isFile() && info.isExecutable()) strFullPath = info.absoluteFilePath();
  } else {
    strFullPath = QStandardPaths::findExecutable(strPath);
  }
  return !strFullPath.isEmpty();
}

ShellCommandParts SplitShellCommand(const QString& strCommand) {
  // Index 0 would leave an empty file: a leading space stops the search.
  for (qsizetype p = strCommand.indexOf(u' '); p > 0; p = strCommand.indexOf(u' ', p + 1)) {
    QString sFullPath;
    if (FindOnPath(strCommand.left(p), sFullPath)) return {strCommand.left(p), strCommand.mid(p + 1)};
  }
  return {strCommand, QString()};
}

bool ShellExec(const QString& strCommand, bool bWait) {
  const ShellCommandParts parts = SplitShellCommand(strCommand);
  QString sProgram;
  bool bStarted = false;
  if (FindOnPath(parts.sFile, sProgram)) {
    bStarted = StartProgram(sProgram, QProcess::splitCommand(parts.sParameters), bWait);
  } else if (IsAddress(parts.sFile)) {
    bStarted = QDesktopServices::openUrl(QUrl(parts.sFile, QUrl::StrictMode));
  } else if (QFileInfo::exists(parts.sFile)) {
    bStarted = QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(parts.sFile).absoluteFilePath()));
  }
  if (bStarted) return true;
  // Last, the whole command as a program with its arguments.
  const QStringList words = QProcess::splitCommand(strCommand);
  return !words.isEmpty() && StartProgram(words.first(), words.mid(1), bWait);
}

}  // namespace ekoto
