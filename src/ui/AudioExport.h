// Saving a reading as audio off the window's thread: one job runs ExportReading
// on a thread of its own and reports its progress and end back on the window's
// thread. Destroying the job cancels it and waits for the thread, so no partial
// file is left behind.
#pragma once
#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>
#include <string>

#include "audio/ReadingExport.h"
#include "conversion/AccentPlan.h"
#include "conversion/ReverseConverter.h"

namespace ekoto {

class AudioExportJob : public QObject, private IExportProgress {
  Q_OBJECT

 public:
  // accent, when given, becomes the settings' accent source for this job's thread.
  AudioExportJob(std::u16string text, ExportSettings settings, std::unique_ptr<IReverseConverter> converter,
                 std::string sPath, std::unique_ptr<IAccentSource> accent = nullptr, QObject* parent = nullptr);
  ~AudioExportJob() override;

  void Start();
  // Asks the export to stop after the unit in progress; Finished follows.
  void Cancel() { m_bCancel = true; }
  const ExportResult& Result() const { return m_result; }

 signals:
  void ProgressChanged(int nPercent);
  void Finished();

 private:
  void Progress(int nPercent) override;
  bool Cancelled() override { return m_bCancel; }

  std::u16string m_text;
  ExportSettings m_settings;
  std::unique_ptr<IReverseConverter> m_converter;
  std::unique_ptr<IAccentSource> m_accent;
  std::string m_sPath;
  ExportResult m_result;
  std::atomic<bool> m_bCancel{false};
  std::unique_ptr<QThread> m_thread;
};

}  // namespace ekoto
