// frmDictionary: the user's dictionary, a window over the conversion template.
// A table of entries (search as you type, sort by column, warnings for entries
// that hide or rewrite each other), fields to add or change one, a test line
// that shows any sentence's reading with the entries as they stand, unsaved
// ones included, and a button to hear it. Saving replaces the template file
// atomically; a file changed outside meanwhile is reloaded or merged, as the
// user chooses, never overwritten.
#pragma once
#include <QDialog>
#include <functional>
#include <string>

#include "conversion/AccentPlan.h"
#include "conversion/ConversionChain.h"
#include "conversion/ReverseConverter.h"
#include "conversion/TempleteStore.h"
#include "conversion/WordList.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace ekoto {

class DictionaryFilter;
class DictionaryModel;

struct DictionaryServices {
  std::u16string sTempletePath;  // the template the program reads
  ReadingOptions options;        // for the test line
  IReverseConverter& converter;
  // The test line's accent, with the window's entries' marks; null: the reading alone.
  IAccentSource* pAccent = nullptr;
  // Reads a text aloud with the window's entries; null: no hear button.
  std::function<void(const std::u16string&, const CConvTemplete&)> hear = nullptr;
};

class frmDictionary : public QDialog {
  Q_OBJECT

 public:
  // What to do when the file changed outside since it was read.
  enum class ChangedChoice { kReload, kMerge, kCancel };

  explicit frmDictionary(const DictionaryServices& services, QWidget* parent = nullptr);
  ~frmDictionary() override;

  // Reads the template file again; unsaved edits are dropped.
  bool ReloadFile();
  // Saves to the template file; true when the file now holds the entries.
  bool SaveFile();
  // Adds an entry from the fields, or changes the entry of the same text.
  void cmdAdd_Click();
  // Changes the selected entry to the fields.
  void cmdEdit_Click();
  void cmdDelete_Click();
  void cmdImport_Click();
  void cmdExport_Click();
  // The test line's reading into lblReading, in the accent notation when there
  // is an accent source that can plan it.
  void UpdateReading();

  // Imports a list's bytes; "" or the message for the user.
  QString ImportList(std::string_view bytes);

  // Asked when the file changed outside; tests answer without a dialog.
  std::function<ChangedChoice()> askChanged;

  QLineEdit* txtSearch = nullptr;
  QTableView* lstEntries = nullptr;
  QLineEdit* txtText = nullptr;
  QLineEdit* txtReading = nullptr;
  QLineEdit* txtNote = nullptr;
  QCheckBox* chkWholeWord = nullptr;
  QPushButton* cmdAdd = nullptr;
  QPushButton* cmdEdit = nullptr;
  QPushButton* cmdDelete = nullptr;
  QLineEdit* txtTest = nullptr;
  QLabel* lblReading = nullptr;
  QPushButton* cmdHear = nullptr;
  QPushButton* cmdSave = nullptr;
  QPushButton* cmdReload = nullptr;
  QPushButton* cmdImport = nullptr;
  QPushButton* cmdExport = nullptr;
  QPushButton* cmdClose = nullptr;
  QLabel* lblStatus = nullptr;

  DictionaryModel& Model() { return *m_model; }
  DictionaryFilter& Proxy() { return *m_proxy; }

 protected:
  void done(int nResult) override;

 private:
  void CreateControls();
  // The selected entry's row in the model; -1 when none.
  int SelectedRow() const;
  void SelectionToFields();
  void SetStatus(const QString& sText);

  DictionaryServices m_services;
  DictionaryModel* m_model = nullptr;
  DictionaryFilter* m_proxy = nullptr;
  TempleteFileText m_file;  // the file as last read or saved
};

}  // namespace ekoto
