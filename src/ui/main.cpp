// ekoto [FILE], ekoto --version: the program. Wires the real sound output and the MeCab converter to the
// main window and ends when the window has closed and its reading has unwound.
// FILE is put into the text box at start (the desktop's "Open with").
// EKOTO_SOUND_OUTPUT=null plays through the paced null output (no sound card);
// EKOTO_DROP_FILE=path reads that file at start-up as if it had been dropped;
// EKOTO_SHOW=about opens the about box at start-up (for screenshots).
// EKOTO_SHOW=options opens the options dialog at start-up; EKOTO_SHOW=voices
// also opens the voice list of its voice path over it (for screenshots).
#include <QApplication>
#include <QPushButton>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string_view>

#include "audio/AlsaOutput.h"
#include "audio/NullOutput.h"
#include "conversion/AccentEstimator.h"
#include "conversion/MecabReverseConverter.h"
#include "settings/OptionsLocation.h"
#include "ui/JapaneseFonts.h"
#include "ui/QtTranslations.h"
#include "ui/ShutdownSignals.h"
#include "ui/frmMain.h"
#include "ui/frmOptions.h"
#include "util/ProgramFolder.h"

int main(int argc, char** argv) {
  // Answered before QApplication, which needs a display.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::puts("ekoto " EKOTO_VERSION);
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Ekoto"));
  QApplication::setApplicationVersion(QStringLiteral(EKOTO_VERSION));
  // The window ends the program itself, once a reading under the close has unwound.
  QApplication::setQuitOnLastWindowClosed(false);
  ekoto::InstallJapaneseFontFallback();
  ekoto::InstallQtTranslations(app);

  std::unique_ptr<ekoto::ISoundOutput> output;
  if (qEnvironmentVariable("EKOTO_SOUND_OUTPUT") == QLatin1String("null")) {
    output = std::make_unique<ekoto::NullOutput>(true);
  } else {
    output = std::make_unique<ekoto::AlsaOutput>();
  }
  ekoto::IReverseConverter& converter = ekoto::DefaultReverseConverter();

  const ekoto::OptionsFiles optionsFiles = ekoto::UserOptionsFiles();
  // The first estimator made is the window's own (later ones are for saves, on
  // the window's thread too); it is loaded once the window is up.
  ekoto::CAccentEstimator* pWindowAccent = nullptr;
  const auto makeAccent = [&pWindowAccent] {
    auto accent = std::make_unique<ekoto::CAccentEstimator>();
    if (pWindowAccent == nullptr) pWindowAccent = accent.get();
    return accent;
  };
  ekoto::frmMain window({*output, converter, optionsFiles.sLoadPath, ekoto::ProgramFolder(),
                         [] { return std::make_unique<ekoto::MecabReverseConverter>(); }, optionsFiles.sSavePath,
                         makeAccent});
  if (auto* mecab = dynamic_cast<ekoto::MecabReverseConverter*>(&converter)) {
    mecab->SetReportHook([&window](const std::u16string& sMessage) {
      window.ReportProblem(QString::fromStdU16String(sMessage));
    });
  }
  QObject::connect(&window, &ekoto::frmMain::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);

  // A signal, the end of the desktop session and a quit from elsewhere close the
  // window as its close box does, so the settings are saved.
  ekoto::ShutdownSignals shutdownSignals;
  QObject::connect(&shutdownSignals, &ekoto::ShutdownSignals::Requested, &window, &QWidget::close);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager&) { window.close(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, &QWidget::close);

  // The dictionaries load once the window is up, not under the first play; a
  // missing one is reported in the status bar right away.
  QTimer::singleShot(0, &window, [&converter, &window, pWindowAccent] {
    std::u16string reading;
    converter.ReverseConvert(u"読み", reading);
    if (pWindowAccent && !pWindowAccent->Preload()) {
      window.ReportProblem(QString::fromStdU16String(pWindowAccent->LoadError()));
    }
  });

  const QStringList args = QApplication::arguments();
  window.RestoreReading(args.size() > 1 ? args.at(1) : QString());

  const QString sDropFile = qEnvironmentVariable("EKOTO_DROP_FILE");
  if (!sDropFile.isEmpty()) window.txtReadText_OLEDragDrop({sDropFile});
  if (qEnvironmentVariable("EKOTO_SHOW") == QLatin1String("about")) window.mnuSystem_About_Click();

  const QString sShow = qEnvironmentVariable("EKOTO_SHOW");
  if (sShow == QLatin1String("options") || sShow == QLatin1String("voices")) {
    QTimer::singleShot(0, &window, [&window, sShow] {
      if (sShow == QLatin1String("voices")) {
        QTimer::singleShot(0, &window, [&window] { window.OptionsForm()->cmdOpenDlg[2]->click(); });
      }
      window.mnuSystem_Options_Click();
    });
  }

  const int nResult = QApplication::exec();
  if (auto* mecab = dynamic_cast<ekoto::MecabReverseConverter*>(&converter)) mecab->SetReportHook(nullptr);
  return nResult;
}
