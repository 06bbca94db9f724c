// DictionaryModel: the template's entries as a table for the dictionary
// window (text, reading, comment, whole word, warnings), over a
// TempleteDocument it owns. Every change rebuilds the table the window reads
// with, so the test line always reads with the entries as they stand.
#pragma once
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <vector>

#include "conversion/ConvTemplete.h"
#include "conversion/TempleteDocument.h"

namespace ekoto {

class DictionaryModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kText, kReading, kNote, kWholeWord, kWarning, kColumns };

  explicit DictionaryModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Replaces everything with the entries of a template text.
  void Load(std::u16string_view text);
  // Takes over a document (after a merge), keeping its edits.
  void SetDocument(TempleteDocument document);

  const TempleteDocument& Document() const { return m_document; }
  // The entries as they stand, ready to apply.
  const CConvTemplete& Table() const { return m_table; }

  void Add(const TempleteEntry& entry);
  void Replace(int nRow, const TempleteEntry& entry);
  void Remove(int nRow);
  // Row of the first entry whose text to find is sFrom; -1 when none.
  int RowOf(std::u16string_view sFrom) const;
  // Returns true iff the row's text, reading or comment holds sFolded (case-folded).
  bool RowContains(int nRow, const QString& sFolded) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
  QVariant headerData(int nSection, Qt::Orientation orientation, int nRole = Qt::DisplayRole) const override;

 private:
  // The table and the warnings after any change.
  void Rebuild();

  TempleteDocument m_document;
  CConvTemplete m_table;
  std::vector<QString> m_warnings;  // per row; "" when the entry is clear
  std::vector<QString> m_searchTexts;  // per row: text, reading and comment, case-folded
};

// The search: rows whose text, reading or comment holds the typed text, case
// ignored. Each keystroke looks at one prepared string per row.
class DictionaryFilter : public QSortFilterProxyModel {
 public:
  explicit DictionaryFilter(DictionaryModel& model, QObject* parent = nullptr);
  void SetSearch(const QString& sText);

 protected:
  bool filterAcceptsRow(int nSourceRow, const QModelIndex& sourceParent) const override;

 private:
  DictionaryModel& m_model;
  QString m_sFolded;
};

}  // namespace ekoto
