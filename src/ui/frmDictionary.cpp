#include "ui/frmDictionary.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

#include "conversion/AccentNotation.h"
#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/Morae.h"
#include "conversion/SplitText.h"
#include "conversion/TempleteAccent.h"
#include "ui/DictionaryModel.h"
#include "util/CFile.h"

namespace ekoto {

frmDictionary::frmDictionary(const DictionaryServices& services, QWidget* parent)
    : QDialog(parent), m_services(services) {
  setWindowTitle(QStringLiteral("辞書"));
  setObjectName(QStringLiteral("frmDictionary"));
  m_model = new DictionaryModel(this);
  m_proxy = new DictionaryFilter(*m_model, this);
  CreateControls();
  askChanged = [this] {
    QMessageBox box(QMessageBox::Question, QStringLiteral("辞書"),
                    QStringLiteral("辞書のファイルがほかで書き換えられています。"), QMessageBox::NoButton, this);
    QPushButton* merge = box.addButton(QStringLiteral("この変更を合わせる(&M)"), QMessageBox::AcceptRole);
    QPushButton* reload = box.addButton(QStringLiteral("変更を捨てて読み直す(&R)"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(merge);
    box.exec();
    if (box.clickedButton() == merge) return ChangedChoice::kMerge;
    if (box.clickedButton() == reload) return ChangedChoice::kReload;
    return ChangedChoice::kCancel;
  };
  ReloadFile();
}

frmDictionary::~frmDictionary() = default;

void frmDictionary::CreateControls() {
  auto* lblSearch = new QLabel(QStringLiteral("検索(&F):"), this);
  txtSearch = new QLineEdit(this);
  txtSearch->setClearButtonEnabled(true);
  lblSearch->setBuddy(txtSearch);
  txtSearch->setAccessibleName(QStringLiteral("検索"));
  txtSearch->setAccessibleDescription(QStringLiteral("入力した文字を表記、読み、注釈に含む語だけを表示します"));

  lstEntries = new QTableView(this);
  lstEntries->setModel(m_proxy);
  lstEntries->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstEntries->setSelectionMode(QAbstractItemView::SingleSelection);
  lstEntries->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstEntries->setTabKeyNavigation(false);
  lstEntries->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // file order until a header is clicked
  lstEntries->setSortingEnabled(true);
  lstEntries->horizontalHeader()->setStretchLastSection(true);
  lstEntries->verticalHeader()->hide();
  lstEntries->setAccessibleName(QStringLiteral("語の一覧"));
  lstEntries->setAccessibleDescription(QStringLiteral("表記、読み、注釈、単語のみ、注意の列。Delete キーで削除します"));
  auto* del = new QShortcut(QKeySequence::Delete, lstEntries, nullptr, nullptr, Qt::WidgetShortcut);
  connect(del, &QShortcut::activated, this, &frmDictionary::cmdDelete_Click);

  auto* fraEntry = new QGroupBox(QStringLiteral("語"), this);
  const auto field = [fraEntry](const char16_t* sLabel, const char16_t* sName, QLineEdit*& edit) {
    auto* label = new QLabel(QString::fromUtf16(sLabel), fraEntry);
    edit = new QLineEdit(fraEntry);
    label->setBuddy(edit);
    edit->setAccessibleName(QString::fromUtf16(sName));
    return label;
  };
  QLabel* lblText = field(u"表記(&W):", u"表記", txtText);
  QLabel* lblReadingField = field(u"読み(&R):", u"読み", txtReading);
  QLabel* lblNote = field(u"注釈(&M):", u"注釈", txtNote);
  txtReading->setAccessibleDescription(
      QStringLiteral("ひらがなかカタカナで。アクセントの記号 [ ] # ^ $ _ ? も書けます"));
  chkWholeWord = new QCheckBox(QStringLiteral("単語としてだけ置き換える(&O)"), fraEntry);
  chkWholeWord->setAccessibleDescription(QStringLiteral("長い語の一部には当てません。名前に向きます"));
  cmdAdd = new QPushButton(QStringLiteral("追加(&A)"), fraEntry);
  cmdEdit = new QPushButton(QStringLiteral("変更(&E)"), fraEntry);
  cmdDelete = new QPushButton(QStringLiteral("削除(&D)"), fraEntry);
  auto* grid = new QGridLayout(fraEntry);
  grid->addWidget(lblText, 0, 0);
  grid->addWidget(txtText, 0, 1);
  grid->addWidget(lblReadingField, 1, 0);
  grid->addWidget(txtReading, 1, 1);
  grid->addWidget(lblNote, 2, 0);
  grid->addWidget(txtNote, 2, 1);
  grid->addWidget(chkWholeWord, 3, 1);
  auto* entryButtons = new QHBoxLayout;
  entryButtons->addStretch();
  for (QPushButton* button : {cmdAdd, cmdEdit, cmdDelete}) entryButtons->addWidget(button);
  grid->addLayout(entryButtons, 4, 0, 1, 2);

  auto* fraTest = new QGroupBox(QStringLiteral("試し読み"), this);
  auto* lblTest = new QLabel(QStringLiteral("文(&T):"), fraTest);
  txtTest = new QLineEdit(fraTest);
  lblTest->setBuddy(txtTest);
  txtTest->setAccessibleName(QStringLiteral("試し読みの文"));
  lblReading = new QLabel(fraTest);
  lblReading->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  lblReading->setFocusPolicy(Qt::StrongFocus);
  lblReading->setAccessibleName(QStringLiteral("読み"));
  cmdHear = new QPushButton(QStringLiteral("聞く(&H)"), fraTest);
  cmdHear->setEnabled(static_cast<bool>(m_services.hear));
  cmdHear->setAccessibleDescription(QStringLiteral("試し読みの文を、この辞書の語で読み上げます"));
  auto* testGrid = new QGridLayout(fraTest);
  testGrid->addWidget(lblTest, 0, 0);
  testGrid->addWidget(txtTest, 0, 1);
  testGrid->addWidget(cmdHear, 0, 2);
  testGrid->addWidget(lblReading, 1, 1, 1, 2);

  cmdImport = new QPushButton(QStringLiteral("取り込み(&I)..."), this);
  cmdExport = new QPushButton(QStringLiteral("書き出し(&X)..."), this);
  cmdReload = new QPushButton(QStringLiteral("読み直す(&L)"), this);
  cmdSave = new QPushButton(QStringLiteral("保存(&S)"), this);
  cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
  lblStatus = new QLabel(this);
  lblStatus->setAccessibleName(QStringLiteral("状態"));
  for (QPushButton* button : {cmdAdd, cmdEdit, cmdDelete, cmdHear, cmdImport, cmdExport, cmdReload, cmdSave, cmdClose}) {
    button->setAutoDefault(false);
  }

  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(lblSearch);
  searchRow->addWidget(txtSearch, 1);
  auto* fileRow = new QHBoxLayout;
  for (QPushButton* button : {cmdImport, cmdExport}) fileRow->addWidget(button);
  fileRow->addStretch();
  for (QPushButton* button : {cmdReload, cmdSave, cmdClose}) fileRow->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(searchRow);
  layout->addWidget(lstEntries, 1);
  layout->addWidget(fraEntry);
  layout->addWidget(fraTest);
  layout->addWidget(lblStatus);
  layout->addLayout(fileRow);
  resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 36);

  connect(txtSearch, &QLineEdit::textChanged, m_proxy, &DictionaryFilter::SetSearch);
  connect(lstEntries->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &frmDictionary::SelectionToFields);
  connect(cmdAdd, &QPushButton::clicked, this, &frmDictionary::cmdAdd_Click);
  connect(cmdEdit, &QPushButton::clicked, this, &frmDictionary::cmdEdit_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &frmDictionary::cmdDelete_Click);
  for (QLineEdit* edit : {txtText, txtReading, txtNote}) {
    connect(edit, &QLineEdit::returnPressed, this, &frmDictionary::cmdAdd_Click);
  }
  connect(txtTest, &QLineEdit::textChanged, this, &frmDictionary::UpdateReading);
  connect(m_model, &QAbstractItemModel::dataChanged, this, &frmDictionary::UpdateReading);
  connect(m_model, &QAbstractItemModel::rowsInserted, this, &frmDictionary::UpdateReading);
  connect(m_model, &QAbstractItemModel::rowsRemoved, this, &frmDictionary::UpdateReading);
  connect(m_model, &QAbstractItemModel::modelReset, this, &frmDictionary::UpdateReading);
  const auto hear = [this] {
    if (m_services.hear) m_services.hear(txtTest->text().toStdU16String(), m_model->Table());
  };
  connect(cmdHear, &QPushButton::clicked, this, hear);
  connect(txtTest, &QLineEdit::returnPressed, this, hear);
  connect(cmdImport, &QPushButton::clicked, this, &frmDictionary::cmdImport_Click);
  connect(cmdExport, &QPushButton::clicked, this, &frmDictionary::cmdExport_Click);
  connect(cmdReload, &QPushButton::clicked, this, &frmDictionary::ReloadFile);
  connect(cmdSave, &QPushButton::clicked, this, &frmDictionary::SaveFile);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void frmDictionary::SetStatus(const QString& sText) {
  lblStatus->setText(sText);
  lblStatus->setAccessibleName(QStringLiteral("状態 %1").arg(sText));
}

bool frmDictionary::ReloadFile() {
  TempleteFileText file;
  if (!ReadTempleteFile(m_services.sTempletePath, file)) {
    SetStatus(QStringLiteral("読めません: %1").arg(QString::fromStdU16String(m_services.sTempletePath)));
    return false;
  }
  m_file = std::move(file);
  m_model->Load(m_file.sText);
  SetStatus(QStringLiteral("%1 語").arg(m_model->rowCount()));
  return true;
}

bool frmDictionary::SaveFile() {
  SaveStatus status = SaveTempleteFile(m_services.sTempletePath, m_model->Document().Text(), m_file);
  if (status == SaveStatus::kChangedOutside) {
    switch (askChanged()) {
      case ChangedChoice::kReload: return ReloadFile();
      case ChangedChoice::kCancel: return false;
      case ChangedChoice::kMerge: {
        TempleteFileText newer;
        if (!ReadTempleteFile(m_services.sTempletePath, newer)) break;
        TempleteDocument merged;
        merged.Load(newer.sText);
        m_model->Document().RepeatEditsOn(merged);
        m_file = std::move(newer);
        m_model->SetDocument(std::move(merged));
        status = SaveTempleteFile(m_services.sTempletePath, m_model->Document().Text(), m_file);
        break;
      }
    }
  }
  if (status != SaveStatus::kSaved) {
    // An installed template may be read-only: the options name another one.
    SetStatus(QStringLiteral("保存できません: %1 (オプションで書き込めるテンプレートを選べます)")
                  .arg(QString::fromStdU16String(m_services.sTempletePath)));
    return false;
  }
  // The saved file is the new starting point: reading it back drops the edit marks.
  m_model->Load(m_file.sText);
  SetStatus(QStringLiteral("保存しました (%1 語)").arg(m_model->rowCount()));
  return true;
}

int frmDictionary::SelectedRow() const {
  const QModelIndex current = lstEntries->currentIndex();
  if (!current.isValid()) return -1;
  return m_proxy->mapToSource(current).row();
}

void frmDictionary::SelectionToFields() {
  const int nRow = SelectedRow();
  if (nRow < 0) return;
  const TempleteEntry& entry = m_model->Document().Entry(static_cast<size_t>(nRow));
  txtText->setText(QString::fromStdU16String(entry.sFrom));
  txtReading->setText(QString::fromStdU16String(WrittenReading(entry)));
  txtNote->setText(QString::fromStdU16String(entry.sNote));
  chkWholeWord->setChecked(entry.bWholeWord);
}

namespace {

// Why the fields make no entry; "" when they do.
QString FieldProblem(const QString& sText, const QString& sReading) {
  if (sText.isEmpty()) return QStringLiteral("表記を入れてください。");
  if (sText.trimmed().startsWith(QStringLiteral("//"))) return QStringLiteral("表記を // で始めることはできません。");
  if (sReading.isEmpty()) return QStringLiteral("読みを入れてください。");
  return {};
}

}  // namespace

void frmDictionary::cmdAdd_Click() {
  const QString sProblem = FieldProblem(txtText->text(), txtReading->text());
  if (!sProblem.isEmpty()) return SetStatus(sProblem);
  const TempleteEntry entry = DictionaryEntry(txtText->text().toStdU16String(), txtReading->text().toStdU16String(),
                                              txtNote->text().toStdU16String(), chkWholeWord->isChecked());
  const int nRow = m_model->RowOf(entry.sFrom);
  if (nRow >= 0) {
    m_model->Replace(nRow, entry);
  } else {
    m_model->Add(entry);
  }
  const int nShown = m_proxy->mapFromSource(m_model->index(nRow >= 0 ? nRow : m_model->rowCount() - 1, 0)).row();
  if (nShown >= 0) lstEntries->selectRow(nShown);
  SetStatus(QStringLiteral("「%1」を%2しました (未保存)").arg(txtText->text(), nRow >= 0 ? QStringLiteral("変更") : QStringLiteral("追加")));
}

void frmDictionary::cmdEdit_Click() {
  const int nRow = SelectedRow();
  if (nRow < 0) return SetStatus(QStringLiteral("変える語を一覧で選んでください。"));
  const QString sProblem = FieldProblem(txtText->text(), txtReading->text());
  if (!sProblem.isEmpty()) return SetStatus(sProblem);
  m_model->Replace(nRow, DictionaryEntry(txtText->text().toStdU16String(), txtReading->text().toStdU16String(),
                                         txtNote->text().toStdU16String(), chkWholeWord->isChecked()));
  SetStatus(QStringLiteral("「%1」を変更しました (未保存)").arg(txtText->text()));
}

void frmDictionary::cmdDelete_Click() {
  const int nRow = SelectedRow();
  if (nRow < 0) return SetStatus(QStringLiteral("削除する語を一覧で選んでください。"));
  const QString sText = QString::fromStdU16String(m_model->Document().Entry(static_cast<size_t>(nRow)).sFrom);
  m_model->Remove(nRow);
  SetStatus(QStringLiteral("「%1」を削除しました (未保存)").arg(sText));
}

QString frmDictionary::ImportList(std::string_view bytes) {
  const WordListRead list = ReadWordList(bytes);
  if (!list.sError.empty()) return QString::fromStdU16String(list.sError);
  for (const TempleteEntry& entry : list.entries) {
    const int nRow = m_model->RowOf(entry.sFrom);
    if (nRow >= 0) m_model->Replace(nRow, entry);
    else m_model->Add(entry);
  }
  QString sDone = QStringLiteral("%1 語を取り込みました (未保存)").arg(list.entries.size());
  if (list.nSkipped > 0) sDone += QStringLiteral("。読めない行 %1 行は飛ばしました").arg(list.nSkipped);
  return sDone;
}

void frmDictionary::cmdImport_Click() {
  const QString sPath = QFileDialog::getOpenFileName(this, QStringLiteral("語の一覧を取り込む"), QString(),
                                                     QStringLiteral("語の一覧 (*.tsv *.csv *.txt);;すべて (*)"));
  if (sPath.isEmpty()) return;
  QFile file(sPath);
  if (file.size() > static_cast<qint64>(kMaxWordListBytes)) return SetStatus(QStringLiteral("一覧が大きすぎます (64 MB まで)。"));
  if (!file.open(QIODevice::ReadOnly)) return SetStatus(QStringLiteral("読めません: %1").arg(sPath));
  const QByteArray bytes = file.readAll();
  SetStatus(ImportList(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))));
}

void frmDictionary::cmdExport_Click() {
  const QString sTsv = QStringLiteral("TSV、UTF-8 (*.tsv)");
  const QString sCsv = QStringLiteral("CSV、UTF-8 (*.csv)");
  const QString sCsv932 = QStringLiteral("CSV、シフト JIS (*.csv)");
  QString sFilter = sTsv;
  const QString sPath = QFileDialog::getSaveFileName(this, QStringLiteral("語の一覧を書き出す"), QString(),
                                                     sTsv + QStringLiteral(";;") + sCsv + QStringLiteral(";;") + sCsv932,
                                                     &sFilter);
  if (sPath.isEmpty()) return;
  const WordListFormat format = sFilter == sCsv932 ? WordListFormat::kCsvCp932
                                : sFilter == sCsv  ? WordListFormat::kCsvUtf8
                                                   : WordListFormat::kTsvUtf8;
  std::string bytes;
  if (!WriteWordList(m_model->Document().Entries(), format, bytes)) {
    return SetStatus(QStringLiteral("シフト JIS にない文字があります。UTF-8 で書き出してください。"));
  }
  const bool bWritten = CFile().WriteFileForBinary(sPath.toStdU16String(), {bytes.begin(), bytes.end()}, false);
  SetStatus(bWritten ? QStringLiteral("書き出しました: %1").arg(sPath) : QStringLiteral("書き出せません: %1").arg(sPath));
}

void frmDictionary::UpdateReading() {
  const std::u16string text = txtTest->text().toStdU16String();
  std::u16string reading;
  std::optional<CTempleteAccent> accent;
  if (m_services.pAccent) accent.emplace(*m_services.pAccent, m_model->Table());
  AccentPlan plan;
  bool bPlanned = accent.has_value();  // every piece with a reading got a plan
  for (const std::u16string& piece : SplitByChars(text, kSentenceMarks)) {
    const std::u16string sentence = ApplyReadingOptions(piece, m_services.options, m_model->Table());
    const std::u16string pieceReading = ConvKanji2Hiragana(sentence, m_services.converter);
    reading += pieceReading;
    if (!bPlanned) continue;
    const AccentPlan piecePlan = accent->PlanAccent(piece, sentence, pieceReading);
    bPlanned = !piecePlan.empty() || SplitMorae(pieceReading).empty();
    plan.insert(plan.end(), piecePlan.begin(), piecePlan.end());
  }
  lblReading->setText(QString::fromStdU16String(bPlanned && !plan.empty() ? FormatAccentNotation(plan) : reading));
  lblReading->setAccessibleName(QStringLiteral("読み %1").arg(lblReading->text()));
}

void frmDictionary::done(int nResult) {
  if (m_model->Document().IsModified()) {
    const auto answer = QMessageBox::question(this, QStringLiteral("辞書"), QStringLiteral("変更を保存しますか。"),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return;
    if (answer == QMessageBox::Save && !SaveFile()) return;
  }
  QDialog::done(nResult);
}

}  // namespace ekoto
