// frmMain: the main window and the program's start-up object. It owns the options
// record, the reader and the sound player, answers the reader's events (highlight,
// command states, one unit's pause and sound) and issues the playback commands.
//
// A reading is one call, clsReadUp::PlayText, made from a command handler; the
// reader yields to the event loop after every unit and the player dispatches
// events while a unit plays, so pause, stop, slider moves, timers and the close
// request all arrive as handlers nested inside that call. There is one thread.
#pragma once
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/FallbackOutput.h"
#include "audio/SoundOutput.h"
#include "audio/clsPlaySound.h"
#include "conversion/BookText.h"
#include "conversion/ReverseConverter.h"
#include "conversion/TempleteAccent.h"
#include "engine/ReadUpEvents.h"
#include "engine/clsReadUp.h"
#include "settings/COptions.h"
#include "settings/IOptionsWindow.h"
#include "ui/QtMessagePump.h"
#include "ui/modClipboard.h"
#include "ui/modSubClass.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressDialog;
class QSettings;
class QTimer;
class QToolButton;

namespace ekoto {

class AudioExportJob;
class ReadTextBox;
class VolumeBar;
class frmDictionary;
class frmOptions;
class CConvTemplete;

// What the window is given rather than what it makes: main.cpp passes the real
// ones, tests pass a paced null output, a fake converter and scratch paths.
struct MainWindowServices {
  ISoundOutput& output;
  IReverseConverter& converter;
  std::u16string sOptionsPath;    // options.dat, read at start-up
  std::u16string sProgramFolder;  // with its trailing "/": the voice and template defaults
  // A converter of its own for saving a reading as audio on another thread.
  std::function<std::unique_ptr<IReverseConverter>()> makeConverter = nullptr;
  std::u16string sOptionsSavePath = {};  // where it is saved at the end; "" : sOptionsPath
  // Accent sources: one for the window's readings, one more for each save on
  // its thread. nullptr: every unit at the voice's own pitch.
  std::function<std::unique_ptr<IAccentSource>()> makeAccentSource = nullptr;
};

// Files larger than this are not read when dropped.
inline constexpr qint64 kMaxDroppedFileBytes = 50LL * 1024 * 1024;

class frmMain : public QMainWindow,
                public IReadUpEvents,
                public IEventYield,
                public IOptionsWindow,
                public IWindowMessageReceiver,
                public IClipboardWindow {
  Q_OBJECT

 public:
  // Start-up: defaults, sliders, timers, tooltips, options.dat, the message hook;
  // then the window is shown and laid out.
  explicit frmMain(const MainWindowServices& services, QWidget* parent = nullptr);
  ~frmMain() override;

  // Commands (menu items and player buttons).
  void mnuRun_Play_Click();
  void mnuRun_SlowPlay_Click();
  void mnuRun_Pause_Click();
  void mnuRun_Stop_Click();
  void mnuRun_CaretPlay_Click();
  // Closes the window, which ends the program.
  void mnuRun_Exit_Click() { close(); }
  void mnuProperty_Mute_Click();
  void mnuView_Playbar_Click();
  void mnuView_Volumebar_Click();
  void mnuView_Speedbar_Click();
  // 0 stop, 1 pause, 2 play, 3 play from the caret, 4 slow play; others do nothing.
  void cmdPlayerInterface_Click(int nIndex);
  // Shows the options dialog modally; it is unloaded when it closes.
  void mnuSystem_Options_Click();
  // The options dialog, loaded (filled from the record) and hidden when not loaded yet.
  frmOptions* OptionsForm();
  bool IsOptionsFormLoaded() const { return m_pOptionsForm != nullptr; }
  // The about box, window-modal: a reading goes on while it is open.
  void mnuSystem_About_Click();
  // The voice-building dialog, window-modal like the about box.
  void mnuTool_CreateFilePA_Click();
  // The dictionary window over the template at sPath; modal over a dialog
  // parent (the options dialog), else a window of its own.
  void mnuTool_Dictionary_Click();
  frmDictionary* OpenDictionary(const std::u16string& sPath, QWidget* parent, bool bModal);
  // Reads text aloud with table in place of the template file (the dictionary
  // window's entries, saved or not); the text box is not highlighted.
  void HearWithTemplete(const std::u16string& text, const CConvTemplete& table);

  // IOptionsWindow: volume 0.00-4.00 and speed 0.000-1.000 on the sliders; a
  // value out of range gives the slider's raw value 1.
  float GetVolume() override;
  void SetVolume(float volume) override;
  float GetSpeed() override;
  void SetSpeed(float speed) override;
  int32_t WindowLeft() override { return p_WindowLeft; }
  int32_t WindowTop() override { return p_WindowTop; }
  int32_t WindowWidth() override { return p_WindowWidth; }
  int32_t WindowHeight() override { return p_WindowHeight; }
  void SetWindowLeft(int32_t left) override;
  void SetWindowTop(int32_t top) override;
  void SetWindowWidth(int32_t width) override;
  void SetWindowHeight(int32_t height) override;

  // Enables the commands for a state: Stopped (T,F,F), Playing (F,T,T), Paused (T,F,T).
  void SetEnableds(bool bPlay, bool bPause, bool bStop);
  // The tooltips of the player buttons and sliders, or none.
  void EnabledTooltip(bool bEnabled);
  // Plays one unit at the current volume (0 when muted) after lWaitMs of
  // silence (the speed pause; none from the voice list).
  void sdPlaySound(const std::u16string& s, int32_t lWaitMs = 0);
  // Reads strReadText from its start one second from now (the last text given wins).
  void Timer_SetToStart(const std::u16string& strReadText) override;
  // IClipboardWindow: the clipboard-watching setting; while the options dialog
  // is open, its check box as it stands.
  bool ClipboardWatchOn() override;
  // Font, bar visibility and menu checks from the record; no re-layout.
  void ApplyOptions(const COptions& options);
  // Places the controls for the client area's size and the bars' visibility.
  void Form_Resize();
  // Samples the window's bounds while it is in its normal state.
  void tmr1000_Timer();
  // A file list dropped on the text box: the first file is read aloud.
  void txtReadText_OLEDragDrop(const QStringList& paths);

  // The dispatcher of the window's hooked events.
  void EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret) override;

  // Shows a problem in the status bar (and on stderr); the same text only once.
  void ReportProblem(const QString& sMessage);
  // The sound output's reason it cannot play (shown in words, its details on
  // stderr), or "" once it plays again, which takes the message away.
  void ReportSoundProblem(const std::string& sError);
  // Takes away a message that a reading or a stop makes stale (a save error, the
  // offer to resume); the sound problem stays while it is true.
  void ClearStaleStatus();

  // Additions to the original window (frmMainFile.cpp, frmMainFeatures.cpp).
  // The file dialog, then OpenTextFile.
  void mnuFile_Open_Click();
  // Puts a text file into the text box (stopping a reading), with the refusals
  // of a drop. Returns false, the text box unchanged, when it was refused.
  bool OpenTextFile(const QString& sPath);
  // The file dialog, then SaveReadingAs.
  void mnuFile_SaveAudio_Click();
  // Writes the reading of the text (of the selection while stopped, when there
  // is one) to sPath in the background, with a progress dialog that can cancel.
  void SaveReadingAs(const QString& sPath);
  bool IsSaving() const { return m_pExport != nullptr; }
  // Moves the reading (or the paused position) to the next or previous sentence.
  void mnuRun_NextSentence_Click();
  void mnuRun_PrevSentence_Click();
  // Tempo of the voice, ×0.5 to ×3.0, its pitch kept; the speed slider's pause is apart from it.
  double Tempo() const { return m_dTempo; }
  void SetTempo(double dTempo);
  // 抑揚: each unit at the pitch of its mora (when there is an accent source), kept in ekoto.ini.
  bool Intonation() const { return m_bIntonation; }
  void SetIntonation(bool bIntonation) { m_bIntonation = bIntonation; }
  // At start: opens sFile when given, and offers the reading kept at the last
  // close when the text is the same (held as a pause at its sentence).
  void RestoreReading(const QString& sFile);
  // Where the settings beyond options.dat are kept: ekoto.ini beside it.
  QString FeatureSettingsPath() const;
  // The chapters of what the text box shows, from the book it was opened from;
  // none once the text is edited or replaced (frmMainBook.cpp).
  const std::vector<Chapter>& Chapters() const;
  // Moves the reading place to chapter nIndex's start: while reading or paused
  // as Ctrl+→ does, when stopped held there as a pause. False for no such chapter.
  bool mnuChapter_Click(int nIndex);

  QMenu* mnuFile = nullptr;
  QMenu* mnuChapter = nullptr;
  QAction* mnuFile_Open = nullptr;
  QAction* mnuFile_SaveAudio = nullptr;
  QAction* mnuRun_NextSentence = nullptr;
  QAction* mnuRun_PrevSentence = nullptr;
  QAction* mnuProperty_Tempo_Faster = nullptr;
  QAction* mnuProperty_Tempo_Slower = nullptr;
  std::vector<QAction*> mnuProperty_Tempo;  // the presets, slowest first
  QProgressDialog* prgSaving = nullptr;

  COptions clsOptions;

  // The controls, reached by the other windows as a form's controls are.
  QLabel* Label1 = nullptr;
  ReadTextBox* txtReadText = nullptr;
  QFrame* fraPlay = nullptr;
  std::array<QToolButton*, 5> cmdPlayerInterface{};
  QGroupBox* fraVolume = nullptr;
  VolumeBar* Volumebar = nullptr;
  QLabel* lblVolume = nullptr;
  QGroupBox* fraSpeed = nullptr;
  VolumeBar* Speedbar = nullptr;
  QLabel* lblSpeed = nullptr;
  QTimer* tmr1000 = nullptr;
  QTimer* tmrClipboard = nullptr;

  QAction* mnuRun_Play = nullptr;
  QAction* mnuRun_SlowPlay = nullptr;
  QAction* mnuRun_Pause = nullptr;
  QAction* mnuRun_Stop = nullptr;
  QAction* mnuRun_CaretPlay = nullptr;
  QAction* mnuRun_Exit = nullptr;
  QAction* mnuProperty_Volume_Large = nullptr;
  QAction* mnuProperty_Volume_Middle = nullptr;
  QAction* mnuProperty_Volume_Small = nullptr;
  QAction* mnuProperty_Speed_Fast = nullptr;
  QAction* mnuProperty_Speed_Middle = nullptr;
  QAction* mnuProperty_Speed_Slow = nullptr;
  QAction* mnuProperty_Mute = nullptr;
  QAction* mnuView_Playbar = nullptr;
  QAction* mnuView_Volumebar = nullptr;
  QAction* mnuView_Speedbar = nullptr;
  QAction* mnuSystem_Options = nullptr;
  QMenu* mnuSystem = nullptr;
  QAction* mnuSystem_About = nullptr;
  QMenu* mnuTool = nullptr;
  QAction* mnuTool_CreateFilePA = nullptr;
  QAction* mnuTool_Dictionary = nullptr;

 signals:
  // Shutdown has finished and no reading is left on the stack: the program may end.
  void Unloaded();
  // A save started by SaveReadingAs has ended (saved, cancelled or failed).
  void SavingFinished(bool bSaved);

 protected:
  // IReadUpEvents.
  void OnPlay() override;
  void OnPlayPos(int32_t lSeek, int32_t lLength) override;
  void OnPlaySound(std::u16string s) override;
  void OnPause() override;
  void OnStop() override;
  void OnConvertion(std::u16string& txt) override;
  // IEventYield: lets waiting events run once.
  void DoEvents() override;

  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void CreateFeatureMenus(QMenu* mnuRun, QMenu* mnuProperty);
  void SetUpAccessibility();
  void SaveFeatureSettings();
  // A file's text and chapters for the text box; a refusal is reported and gives false.
  bool ReadBookFile(const QString& sPath, BookText& retBook);
  // The chapters of the text just put into the text box, and the file it came from.
  void AdoptBook(BookText book, const QString& sPath);
  // Adopts the dropped book waiting for the delayed start when strShown is its text.
  void TakePendingBook(const std::u16string& strShown);
  void CreateChapterMenu(QMenu* mnuBefore);
  void RefreshChapterMenu();
  // Holds a pause at text box position lOffset, as if a reading had been paused there.
  bool HoldTextAt(int32_t lOffset);
  // A chapter chosen before a caret reading's start: read it once that reading has unwound.
  void ReadChapterWhenUnwound();
  // The place in a book with chapters, by its path; false (nothing written) for other texts.
  bool KeepBookPlace(QSettings& ini);
  // Opens the kept book (sFile when it names it) held at its place; false when
  // no book is kept or sFile is another file.
  bool RestoreBookPlace(const QString& sFile);
  void FinishSaving();
  void Form_Unload();
  void Volumebar_Scroll();
  void Speedbar_Scroll();
  void tmrClipboard_Timer();
  void ChangedClipboard();
  void SetToStart(const std::u16string& strReadText);
  // Reads the text box from its start; a running or paused reading is stopped first.
  void ReadFromStart();
  // Every reading goes through here; what waited for it to end follows it.
  // lSeekOffset: where strText starts in the text box.
  void ReadAloud(const std::u16string& strText, int32_t lSeekOffset = 0);
  void AfterReading();
  // Tells the program it may end once the window has closed and no reading is left.
  void FinishUnloadIfUnwound();
  std::u16string TextBoxText() const;
  void SelectText(int32_t lStart, int32_t lLength);
  int TwipsX(int nTwips) const;
  int TwipsY(int nTwips) const;

  IReverseConverter& m_converter;
  const std::u16string m_sOptionsPath;
  const std::u16string m_sOptionsSavePath;
  QWidget* m_pClient = nullptr;  // the client area the layout fills
  QtMessagePump m_pump{this};
  // Without a sound device the reading keeps its pace, silently.
  FallbackOutput m_soundOutput;
  clsPlaySound m_clsPlaySound;
  clsReadUp m_clsReadUp{*this, *this, m_converter};
  modSubClass m_hook;
  modClipboard m_clipboard{*this};

  int32_t m_hWnd = 0;
  bool m_bNotReady = false;
  bool m_bUnloaded = false;  // Unloaded has been emitted
  int32_t m_lSeekOffset = 0;
  // The speed the user set, while a slow reading runs at three quarters of it.
  std::optional<float> m_fSlowPlayUserSpeed;
  std::u16string m_strPendingText;
  // A delayed start stopped the running reading; read the text box once it has unwound.
  bool m_bStartWhenUnwound = false;
  QString m_sLastProblem;
  std::unique_ptr<frmOptions> m_pOptionsForm;
  std::function<std::unique_ptr<IReverseConverter>()> m_makeConverter;
  std::unique_ptr<AudioExportJob> m_pExport;
  double m_dTempo = 1.0;
  const CConvTemplete* m_pHearTemplete = nullptr;  // set while the dictionary window's text is read
  std::function<std::unique_ptr<IAccentSource>()> m_makeAccentSource;
  std::unique_ptr<IAccentSource> m_pAccent;  // the window's readings'
  // m_pAccent with the entries of the template being read; empty without m_pAccent.
  std::optional<CTempleteAccent> m_templeteAccent;
  bool m_bIntonation = true;
  std::vector<Chapter> m_aChapters;
  QString m_sBookPath;  // absolute; "" for text that came from no file
  std::optional<std::pair<BookText, QString>> m_pendingBook;  // dropped, waiting for its delayed start
  int32_t m_lChapterWhenUnwound = -1;

  int32_t p_WindowLeft = 0;
  int32_t p_WindowTop = 0;
  int32_t p_WindowWidth = 0;
  int32_t p_WindowHeight = 0;
};

}  // namespace ekoto
