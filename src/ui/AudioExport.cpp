#include "ui/AudioExport.h"

namespace ekoto {

AudioExportJob::AudioExportJob(std::u16string text, ExportSettings settings,
                               std::unique_ptr<IReverseConverter> converter, std::string sPath,
                               std::unique_ptr<IAccentSource> accent, QObject* parent)
    : QObject(parent),
      m_text(std::move(text)),
      m_settings(std::move(settings)),
      m_converter(std::move(converter)),
      m_accent(std::move(accent)),
      m_sPath(std::move(sPath)) {
  m_settings.pAccent = m_accent.get();
}

AudioExportJob::~AudioExportJob() {
  if (!m_thread) return;
  m_bCancel = true;
  m_thread->wait();
}

void AudioExportJob::Start() {
  m_thread.reset(QThread::create([this] { m_result = ExportReading(m_text, m_settings, *m_converter, m_sPath, *this); }));
  // The thread's end is seen on the job's own thread, after m_result is written.
  connect(m_thread.get(), &QThread::finished, this, &AudioExportJob::Finished, Qt::QueuedConnection);
  m_thread->start(QThread::LowPriority);
}

void AudioExportJob::Progress(int nPercent) {
  QMetaObject::invokeMethod(this, [this, nPercent] { emit ProgressChanged(nPercent); }, Qt::QueuedConnection);
}

}  // namespace ekoto
