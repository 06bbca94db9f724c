// frmMain: books, an addition to the original window. Files are read through
// the core's book loader (EPUB, HTML, plain text); the chapters of what the
// text box shows fill the 目次 menu, and choosing one moves the reading place
// there. A book's place is kept in ekoto.ini by its path and chapter.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "book/BookLoader.h"
#include "ui/ReadTextBox.h"
#include "ui/frmMain.h"

namespace ekoto {
namespace {

QString BookFailure(BookError error) {
  switch (error) {
    case BookError::kNotAnArchive: return QStringLiteral("EPUB (zip) として読めません");
    case BookError::kDamaged: return QStringLiteral("壊れています");
    case BookError::kTooLarge: return QStringLiteral("大きすぎます");
    case BookError::kUnsafePath: return QStringLiteral("書庫の外を指す名前があります");
    case BookError::kUnreadable:
    case BookError::kNone: break;
  }
  return QStringLiteral("読み込めません");
}

}  // namespace

bool frmMain::ReadBookFile(const QString& sPath, BookText& retBook) {
  // A file with no text to read is refused with a word in the status bar, and the
  // text box keeps what the user had in it.
  const QFileInfo file(sPath);
  const BookKind kind = BookKindOfPath(sPath.toStdU16String());
  if (kind != BookKind::kEpub && file.size() > kMaxDroppedFileBytes) {
    ReportProblem(QStringLiteral("ファイルが大きすぎるため読み込みません (50 MB まで): %1").arg(file.fileName()));
    return false;
  }
  const BookStatus status = LoadBook(sPath.toStdU16String(), retBook);
  if (status.error == BookError::kUnreadable || file.isDir()) {
    ReportProblem(QStringLiteral("ファイルを読み込めません: %1").arg(file.fileName()));
    return false;
  }
  if (!status.ok()) {
    ReportProblem(QStringLiteral("本を開けません (%1): %2")
                      .arg(BookFailure(status.error), QString::fromStdU16String(status.sMessage)));
    return false;
  }
  // Text files hold no NUL character; programs, pictures and archives do.
  if (kind == BookKind::kPlainText && retBook.sText.find(u'\0') != std::u16string::npos) {
    ReportProblem(QStringLiteral("テキストファイルではありません: %1").arg(file.fileName()));
    return false;
  }
  return true;
}

void frmMain::AdoptBook(BookText book, const QString& sPath) {
  m_aChapters = std::move(book.aChapters);
  m_sBookPath = sPath.isEmpty() ? QString() : QFileInfo(sPath).absoluteFilePath();
  // An edit of the text from here on makes the chapters wrong: they are then dropped.
  txtReadText->document()->setModified(false);
  RefreshChapterMenu();
}

void frmMain::TakePendingBook(const std::u16string& strShown) {
  std::optional<std::pair<BookText, QString>> pending = std::exchange(m_pendingBook, std::nullopt);
  if (pending && pending->first.sText == strShown) {
    AdoptBook(std::move(pending->first), pending->second);
  } else {
    AdoptBook({}, {});
  }
}

const std::vector<Chapter>& frmMain::Chapters() const {
  static const std::vector<Chapter> kNone;
  return txtReadText->document()->isModified() ? kNone : m_aChapters;
}

void frmMain::CreateChapterMenu(QMenu* mnuBefore) {
  mnuChapter = new QMenu(QStringLiteral("目次(&C)"), this);
  menuBar()->insertMenu(mnuBefore->menuAction(), mnuChapter);
  connect(mnuChapter, &QMenu::aboutToShow, this, &frmMain::RefreshChapterMenu);
  connect(txtReadText->document(), &QTextDocument::modificationChanged, this, &frmMain::RefreshChapterMenu);
  RefreshChapterMenu();
}

void frmMain::RefreshChapterMenu() {
  const std::vector<Chapter>& chapters = Chapters();
  mnuChapter->clear();
  mnuChapter->menuAction()->setEnabled(!chapters.empty());
  for (size_t i = 0; i < chapters.size(); ++i) {
    // Deeper levels are indented by a full-width space each.
    const QString sIndent(std::clamp(chapters[i].nLevel - 1, 0, 5), QChar(0x3000));
    QAction* action = mnuChapter->addAction(sIndent + QString::fromStdU16String(chapters[i].sTitle));
    connect(action, &QAction::triggered, this, [this, i] { mnuChapter_Click(static_cast<int>(i)); });
  }
}

bool frmMain::mnuChapter_Click(int nIndex) {
  const std::vector<Chapter>& chapters = Chapters();
  if (nIndex < 0 || static_cast<size_t>(nIndex) >= chapters.size()) return false;
  const Chapter& chapter = chapters[static_cast<size_t>(nIndex)];
  const bool bActive = m_clsReadUp.IsReading() || m_clsReadUp.HoldsPosition();
  bool bMoved = false;
  if (bActive && chapter.lOffset >= m_lSeekOffset) {
    bMoved = m_clsReadUp.SeekPosition(chapter.lOffset - m_lSeekOffset);
  } else if (m_clsReadUp.IsReading()) {
    // The reading started after the chapter (at the caret): it stops, and the
    // chapter is read once it has unwound (AfterReading).
    m_lChapterWhenUnwound = chapter.lOffset;
    m_clsReadUp.StopText();
    bMoved = true;
  } else {
    bMoved = HoldTextAt(chapter.lOffset);
  }
  if (bMoved) statusBar()->showMessage(QStringLiteral("目次: %1").arg(QString::fromStdU16String(chapter.sTitle)));
  return bMoved;
}

bool frmMain::HoldTextAt(int32_t lOffset) {
  if (m_clsReadUp.IsReading()) return false;
  if (m_clsReadUp.HoldsPosition()) m_clsReadUp.StopText();
  m_lSeekOffset = 0;
  if (!m_clsReadUp.HoldAt(TextBoxText(), 0)) return false;
  if (!m_clsReadUp.SeekPosition(lOffset)) {
    m_clsReadUp.StopText();
    return false;
  }
  SetEnableds(true, false, true);
  return true;
}

void frmMain::ReadChapterWhenUnwound() {
  const int32_t lOffset = std::exchange(m_lChapterWhenUnwound, -1);
  if (lOffset < 0 || m_bNotReady) return;
  // From the event loop: the handler that ran the stopped reading returns first.
  QTimer::singleShot(0, this, [this, lOffset] {
    if (HoldTextAt(lOffset)) mnuRun_Play_Click();
  });
}

bool frmMain::KeepBookPlace(QSettings& ini) {
  const std::vector<Chapter>& chapters = Chapters();
  if (m_sBookPath.isEmpty() || chapters.empty()) return false;
  const int32_t lPosition = m_lSeekOffset + m_clsReadUp.SentenceStart();
  const auto after = std::upper_bound(chapters.begin(), chapters.end(), lPosition,
                                      [](int32_t l, const Chapter& chapter) { return l < chapter.lOffset; });
  ini.setValue(QStringLiteral("Resume/Book"), m_sBookPath);
  ini.setValue(QStringLiteral("Resume/Chapter"), static_cast<int>(after - chapters.begin()) - 1);
  ini.setValue(QStringLiteral("Resume/Position"), lPosition);
  ini.setValue(QStringLiteral("Resume/Length"), static_cast<qint64>(txtReadText->toPlainText().size()));
  return true;
}

bool frmMain::RestoreBookPlace(const QString& sFile) {
  const QSettings ini(FeatureSettingsPath(), QSettings::IniFormat);
  const QString sBook = ini.value(QStringLiteral("Resume/Book")).toString();
  if (sBook.isEmpty()) return false;
  if (!sFile.isEmpty() && QFileInfo(sFile).canonicalFilePath() != QFileInfo(sBook).canonicalFilePath()) return false;
  // A book that is gone, or changed, starts from the beginning.
  if (!OpenTextFile(sFile.isEmpty() ? sBook : sFile)) return true;
  if (txtReadText->toPlainText().size() != ini.value(QStringLiteral("Resume/Length")).toLongLong()) return true;
  if (!HoldTextAt(ini.value(QStringLiteral("Resume/Position"), 0).toInt())) return true;
  const int nChapter = ini.value(QStringLiteral("Resume/Chapter"), -1).toInt();
  const std::vector<Chapter>& chapters = Chapters();
  const QString sWhere = nChapter >= 0 && static_cast<size_t>(nChapter) < chapters.size()
                             ? QString::fromStdU16String(chapters[static_cast<size_t>(nChapter)].sTitle)
                             : QStringLiteral("前回の場所");
  statusBar()->showMessage(
      QStringLiteral("前回の続き (%1) から読めます: 再生 (F5) で続きから、停止で最初から").arg(sWhere));
  return true;
}

}  // namespace ekoto
