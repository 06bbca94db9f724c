#include "ui/DictionaryModel.h"

#include <algorithm>
#include <numeric>

namespace ekoto {

void DictionaryModel::Load(std::u16string_view text) {
  TempleteDocument document;
  document.Load(text);
  SetDocument(std::move(document));
}

void DictionaryModel::SetDocument(TempleteDocument document) {
  beginResetModel();
  m_document = std::move(document);
  Rebuild();
  endResetModel();
}

void DictionaryModel::Add(const TempleteEntry& entry) {
  const int nRow = rowCount();
  beginInsertRows({}, nRow, nRow);
  m_document.Add(entry);
  Rebuild();
  endInsertRows();
  emit dataChanged(index(0, kWarning), index(rowCount() - 1, kWarning));
}

void DictionaryModel::Replace(int nRow, const TempleteEntry& entry) {
  m_document.Replace(static_cast<size_t>(nRow), entry);
  Rebuild();
  emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void DictionaryModel::Remove(int nRow) {
  beginRemoveRows({}, nRow, nRow);
  m_document.Remove(static_cast<size_t>(nRow));
  Rebuild();
  endRemoveRows();
  if (rowCount() > 0) emit dataChanged(index(0, kWarning), index(rowCount() - 1, kWarning));
}

int DictionaryModel::RowOf(std::u16string_view sFrom) const {
  for (size_t i = 0; i < m_document.Count(); ++i) {
    if (m_document.Entry(i).sFrom == sFrom) return static_cast<int>(i);
  }
  return -1;
}

void DictionaryModel::Rebuild() {
  const std::vector<TempleteEntry> entries = m_document.Entries();
  m_table.LoadEntries(entries);
  // The table holds the entries longest first, ties in order: the same
  // stable sort maps its indices back to rows.
  std::vector<size_t> rowOf(entries.size());
  std::iota(rowOf.begin(), rowOf.end(), 0);
  std::stable_sort(rowOf.begin(), rowOf.end(),
                   [&entries](size_t a, size_t b) { return entries[a].sFrom.size() > entries[b].sFrom.size(); });
  m_searchTexts.clear();
  m_searchTexts.reserve(entries.size());
  for (const TempleteEntry& entry : entries) {
    m_searchTexts.push_back(
        QString::fromStdU16String(entry.sFrom + u'\n' + WrittenReading(entry) + u'\n' + entry.sNote).toCaseFolded());
  }
  const std::vector<TempleteEntry>& applied = m_table.Entries();
  m_warnings.assign(entries.size(), QString());
  const auto note = [this](size_t nRow, const QString& sText) {
    if (m_warnings[nRow].isEmpty()) m_warnings[nRow] = sText;
  };
  for (size_t k = 0; k < applied.size(); ++k) {
    const QString sFrom = QString::fromStdU16String(applied[k].sFrom);
    for (const size_t j : m_table.EntriesIn(applied[k].sFrom)) {
      if (j == k) continue;
      // j comes later (shorter or equal): inside this entry's text it never applies.
      note(rowOf[j], QStringLiteral("「%1」の中では置き換わらない").arg(sFrom));
      note(rowOf[k], QStringLiteral("「%1」を含む").arg(QString::fromStdU16String(applied[j].sFrom)));
    }
    for (const size_t j : m_table.EntriesIn(applied[k].sTo)) {
      // Only entries applied later rewrite this replacement.
      if (j > k) note(rowOf[k], QStringLiteral("読みが「%1」に置き換わる").arg(QString::fromStdU16String(applied[j].sFrom)));
    }
  }
}

bool DictionaryModel::RowContains(int nRow, const QString& sFolded) const {
  return m_searchTexts[static_cast<size_t>(nRow)].contains(sFolded);
}

DictionaryFilter::DictionaryFilter(DictionaryModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), m_model(model) {
  setSourceModel(&model);
}

void DictionaryFilter::SetSearch(const QString& sText) {
  m_sFolded = sText.toCaseFolded();
  invalidateRowsFilter();
}

bool DictionaryFilter::filterAcceptsRow(int nSourceRow, const QModelIndex&) const {
  return m_sFolded.isEmpty() || m_model.RowContains(nSourceRow, m_sFolded);
}

int DictionaryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_document.Count());
}

int DictionaryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant DictionaryModel::data(const QModelIndex& index, int nRole) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TempleteEntry& entry = m_document.Entry(static_cast<size_t>(index.row()));
  if (nRole == Qt::CheckStateRole && index.column() == kWholeWord) {
    return entry.bWholeWord ? Qt::Checked : Qt::Unchecked;
  }
  if (nRole != Qt::DisplayRole && nRole != Qt::ToolTipRole && nRole != Qt::AccessibleTextRole) return {};
  switch (index.column()) {
    case kText: return QString::fromStdU16String(entry.sFrom);
    case kReading: return QString::fromStdU16String(WrittenReading(entry));
    case kNote: return QString::fromStdU16String(entry.sNote);
    case kWholeWord:
      return nRole == Qt::DisplayRole ? QVariant() : QVariant(entry.bWholeWord ? QStringLiteral("単語のみ") : QString());
    case kWarning: return m_warnings[static_cast<size_t>(index.row())];
    default: return {};
  }
}

QVariant DictionaryModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const {
  if (orientation != Qt::Horizontal || nRole != Qt::DisplayRole) return {};
  static const char16_t* const kHeaders[] = {u"表記", u"読み", u"注釈", u"単語のみ", u"注意"};
  return nSection >= 0 && nSection < kColumns ? QString::fromUtf16(kHeaders[nSection]) : QVariant();
}

}  // namespace ekoto
