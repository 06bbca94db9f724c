// CFileDialogs: the part of CFile that needs the desktop. File and folder dialogs,
// the elided path, copy, move, rename and delete to the trash, special folders and
// the file manager. Stateless, as CFile is: create one, call one operation.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QFontMetrics;
class QWidget;

namespace ekoto {

// What a file or folder dialog is asked to show.
struct FileDialogRequest {
  // kReplace asks whether the file sFileName may be replaced; any answer is yes.
  enum class Kind { kOpen, kOpenMulti, kSave, kFolder, kReplace };
  Kind kind = Kind::kOpen;
  QWidget* owner = nullptr;
  QStringList filters;  // Qt name filters, "声源ファイル(*.pa)" and the like
  int nFilter = 0;      // the filter selected at first, an index into filters
  QString sFileName;    // the name proposed
  QString sDirectory;   // the folder shown first; "" for the dialog's own choice
  QString sCaption;     // the folder dialog's title
};

// The user's choice: full paths, and the filter selected when they were chosen.
struct FileDialogAnswer {
  QStringList paths;
  int nFilter = 0;
};

// Runs one dialog; std::nullopt when the user cancels.
using FileDialogRunner = std::function<std::optional<FileDialogAnswer>(const FileDialogRequest&)>;

class CFileDialogs {
 public:
  // Replaces Qt's dialogs, for tests that answer them; a null runner restores them.
  static void SetDialogRunner(FileDialogRunner runner);

  // Open-file dialog for an existing file. nDefFilterIndex counts the filter's
  // pairs from 1; 0 selects the first. On true returnFilePath is the chosen
  // file's full path; on cancel false and returnFilePath is untouched.
  bool ShowOpenFileDialog(QWidget* lhWnd, QString& returnFilePath, const QString& strFilter,
                          const QString& strFileName, const QString& strDefDir, int nDefFilterIndex);
  // The same with several files: varFiles gets every chosen path, returnFilePath the first.
  bool ShowOpenFileDialogMultiSel(QWidget* lhWnd, QString& returnFilePath, const QString& strFilter,
                                  QStringList& varFiles, const QString& strDefDir, int nDefFilterIndex);
  // Save-file dialog. The first pattern of the selected filter gives the
  // extension added to a name that has none of the filters' extensions ("*.txt"
  // adds ".txt", "*.*" or "*" nothing): an extension typed wins. Before a file is
  // replaced it asks about that file, the name as completed; "no" returns to the dialog.
  bool ShowSaveFileDialog(QWidget* lhWnd, QString& returnFilePath, const QString& strFilter,
                          const QString& strFileName, const QString& strDefDir, int nDefFilterIndex);
  // Folder dialog; the chosen folder, "" when cancelled.
  QString ShowFolderDialog(QWidget* hWnd, const QString& Caption, const QString& sDefaultFolder);

  // The path shortened in its middle with "…" to fit nWidth pixels in metrics' font.
  QString GetCompactPath(const QFontMetrics& metrics, const QString& FilePath, int nWidth);

  // Copies each file or folder (with all it holds) into the folder strToPath,
  // which is made when missing. A name already there is replaced, or with
  // bAutoReName the copy takes a free name: report(1).txt. True iff all went well.
  bool SHCopy(const QStringList& cleFromFiles, const QString& strToPath, bool bAutoReName);
  // As SHCopy, but moves: a rename where it can, else copy and remove.
  bool SHMove(const QStringList& cleFromFiles, const QString& strToPath, bool bAutoReName);
  // Renames cleFromFiles[i] to cleToFiles[i]; an existing target is never replaced.
  // Lists of unequal length rename nothing. True iff every pair was renamed.
  bool SHReName(const QStringList& cleFromFiles, const QStringList& cleToFiles);
  // Moves each path to the desktop's trash. True iff all of them went.
  bool SHDelete(const QStringList& cleFromFiles);

  // A folder by its Windows special-folder number (0 desktop, 5 documents, 13
  // music, 14 videos, 20 fonts, 26 and 28 application data, 32 cache, 39
  // pictures, 40 home; −2 the temporary folder), without a trailing "/". The
  // Windows and system folders (−3, −1) and unknown numbers have none here: "".
  QString GetSpecialFolderPath(int flag);

  // There is no properties sheet on the desktops this runs on: the file's folder
  // is opened in the file manager instead. False for a path that does not exist
  // or when nothing could be opened.
  bool ShowPropertyDialog(const QString& FilePath);
};

}  // namespace ekoto
