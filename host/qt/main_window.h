#pragma once
// The main window "Lumora模拟器" and the program-wide state behind it, made in
// start-up order by the constructor: folders and settings, the pacing clock's
// rate, the machine powered on, the screen, the window with its menu, the
// wave output with the ring attached. The main loop is a single-shot precise
// timer re-armed from the pacing clock: it sleeps until the next frame is due
// instead of polling, and every pass first lets Qt serve the window's events.
//
// Modal dialogs (debug, About, the open-file dialog, the questions) pause the
// frames: Qt's nested event loop would otherwise keep running them. The wave
// output keeps draining the ring meanwhile, then plays silence. The user's
// own pause ("状态" menu, Ctrl+P) is the emulator's; frames run only when
// neither holds.
//
// The flash image file is written only when the user saves; quitting with a
// flash that differs from it asks first (save, don't save, cancel), and
// "初始化FLASH" asks before it wipes the flash. Problems reported by the
// platform-free code (a firmware file not used, a flash image kept aside,
// settings refused, a failed save), from start-up on, show in the status bar
// and in full in the log window.
#include <QAction>
#include <QLockFile>
#include <QMainWindow>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/data_folders.h"
#include "host/emulator.h"
#include "host/recent_files.h"
#include "host/keyboard.h"
#include "host/language.h"
#include "host/pacing.h"
#include "host/screen.h"
#include "host/startup.h"
#include "host/view_settings.h"
#include "machine/machine.h"
#include "machine/resource_store.h"
#include "sound/sample_ring.h"
#include "sound/wave_output.h"

class QDialog;
class QKeyEvent;
class QLabel;
class QMenu;
class QStyle;

namespace rq4800 {

class DebuggerWindow;
class LogWindow;
class QtWaveDevice;
class ScreenWidget;

struct DesktopOptions {
  std::string programFolder;               // the folder of the program file
  IPacingClock* pacingClock = nullptr;     // steady clock when null
  IMeasureClock* measureClock = nullptr;   // steady clock when null
  IHostClock* hostClock = nullptr;         // the host's local time when null
  bool sound = true;                       // false: no wave device at all
  bool rewind = true;                      // false: no rewind history is kept
  bool runLoop = true;                     // false: passes run only when called
  UserFolders userFolders = {};            // none known: settings and data beside the program
  std::optional<std::vector<std::string>> systemLanguages = {};  // the system's own when absent
  int scale = 0;                           // 1..4 for this run; 0: the settings' scale
  IWaveDevice* waveDevice = nullptr;       // a device of the caller's in place of the sound card
  bool readOnly = false;                   // --read-only: save nothing into the data folder
};

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const DesktopOptions& options);
  ~MainWindow() override;

  // Program-wide state, in the order start-up makes it.
  FrontEndPaths paths;
  uint32_t frequency = 0;
  // The emulator itself; the window only shows it and passes it events.
  std::unique_ptr<Emulator> emulator;
  Machine* machine = nullptr;  // emulator->machine
  std::string sharedFilePath;  // the last file loaded or dropped

  ScreenWidget* screenWidget = nullptr;
  QLabel* faultLabel = nullptr;
  QLabel* runStateLabel = nullptr;  // "暂停" while paused, "倒带" while rewinding
  QMenu* stateMenu = nullptr;       // "状态"
  QMenu* saveMenu = nullptr;        // its slots, refreshed as they open
  QMenu* loadMenu = nullptr;
  QAction* pauseAction = nullptr;
  LogWindow* logWindow = nullptr;
  DebuggerWindow* debuggerWindow = nullptr;  // made when first opened, kept while the window lives
  std::map<int, QAction*> actions;  // by command id
  Language language = Language::kChinese;  // the texts' language, fixed at start
  LanguageSetting languageSetting = LanguageSetting::kSystem;
  QMenu* languageMenu = nullptr;  // "语言" under "设置"

  // One pass of the main loop: a frame and a paint when due (fast play: a
  // run of frames), then the timer is re-armed for the next due time.
  void PacingPass();
  void RunCommand(int id);
  // The file load of a chosen or dropped file: its extension picks the action.
  // Returns the result line it shows ("memo.txt: stored").
  // startProgram: a ".bin" is also started through the firmware's launcher
  // (files dropped or named on the command line); the menu's download only
  // stores it.
  QString LoadFile(const std::string& path, bool startProgram = false);
  // Several files in order (a drop, the command line); every result is shown,
  // and a ".bin" among them is started from Files.
  void LoadFiles(const std::vector<std::string>& paths);
  // "保存FLASH": true when the image file now holds the flash; a failure is
  // shown in full and changes nothing on disk.
  bool SaveFlash();
  // True when quitting now would lose flash contents the image file lacks.
  bool FlashChanged() const;
  // Quits at once, without the question about a changed flash: the
  // benchmark's timed exit. Every user's way out goes through "退出".
  void Quit();
  void Paint();
  // Frames stand still while any pause is held; leaving the last one starts
  // the frame schedule afresh.
  void Pause();
  void Resume();
  bool Paused() const { return pauseDepth_ > 0; }
  void ShowStatus(const QString& text);
  // Debug-log text from anywhere in the machine.
  void TakeLog(std::string_view text);
  // A problem the user must learn about: the status bar shows its first line,
  // the log window (opened without taking the keyboard) the whole text.
  void TakeProblem(std::string_view text);

  // The "状态" menu's commands. A slot's save says where it went; a load
  // asks nothing and says what it did, or why the file was refused.
  void SaveSlot(int slot);
  void LoadSlot(int slot);
  void RefreshSlots();
  // The user's pause (the emulator's), apart from the dialogs' pauses.
  void TogglePause();
  void StepFrame();

  // The debugger window "调试器" (window_debugger.cpp).
  void OpenDebugger();
  void DebuggerRunsOn();
  void DebuggerDetached();

  int framesRun = 0;  // frames this window has run, for the CPU-use benchmark

  // The "视图" and "声音" menus (window_picture.cpp, window_sound.cpp): the
  // picture's size, full screen, the LCD-only view, screenshots; volume,
  // mute and recording. Each choice is kept in the settings at once.
  ViewSettings view;
  std::string PictureFolder() const;  // the setting, or the program folder
  void SetScale(int scale);
  void SetSmooth(bool on);
  void SetFullScreen(bool on);
  void SetLcdOnly(bool on);
  // F10 in full screen: the menu bar comes and goes.
  void ToggleMenuBar();
  // A PNG of the picture as shown, at the whole step it is shown at (at least
  // 1); returns the file, or empty after showing why not.
  QString TakeScreenshot();
  int ScreenshotScale() const;
  void SetPictureFolder(const std::string& folder);
  void SetVolume(int percent);
  void SetMute(bool on);
  void StartRecording();
  // Ends a recording and says where it went (or why it is cut short).
  void StopRecording();
  // One program per data folder (window_instance.cpp). Read-only: another
  // program holds the folder, or --read-only; neither the flash image, the
  // state slots nor the settings are written. quitAtStart: the user chose to
  // quit rather than open read-only; the program ends without showing it.
  bool readOnly = false;
  bool quitAtStart = false;
  // Recent files and the open-file dialog (window_files.cpp).
  RecentFiles recentFiles;
  QMenu* recentMenu = nullptr;  // "最近的文件"
  QStringList OpenFileFilters() const;
  void OpenRecentFile(const QString& path);
  // A chosen ".fls": checked as the image file would be, then (after the
  // question about a changed flash) loaded as the flash. Returns the line shown.
  QString OpenFlashImage(const std::string& path);
  // "按键设置..." (window_keys.cpp).
  void OpenKeyDialog();

 signals:
  void quitRequested();
  void dialogOpened(QDialog* dialog);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void BuildStateMenu();
  void ApplyLanguage(const DesktopOptions& options);
  void BuildLanguageMenu();
  void ChooseLanguageSetting(LanguageSetting setting);
  void BuildViewMenu(int scale);
  void BuildSoundMenu();
  void FitWindowToPicture();
  void ApplyVolume();
  void CheckRecording();
  void SaveViewSetting(ViewEntry entry);
  LocalTime Now() const;
  void BuildDebuggerItem();
  // The debugger stopped the machine during a pass: show it, hold the loop.
  void DebuggerHeld();
  void ClaimDataFolder(const DesktopOptions& options);
  void SetUpKeysAndFiles();
  void BuildRecentMenu();
  void RefreshRecentMenu();
  void RememberFile(const std::string& path);
  bool ConfirmQuitReadOnly();
  void ShowRunState();
  // Re-arms the main loop when it has frames (or rewind steps) to run.
  void KickLoop();
  // Backspace held: rewinding. True when the event was the rewind key's.
  bool RewindKey(QKeyEvent* event, bool down);
  // Stops rewinding where the Backspace release would not reach the window:
  // a menu or dialog opening, the window losing the keyboard.
  void EndRewind();
  void OpenFileDialog();
  int RunModal(QDialog& dialog);
  void ShowFault();
  // The questions; each runs as a paused modal dialog. ConfirmQuit is true
  // when nothing unsaved is left (saved now or never changed) or the user
  // chose to drop it; ConfirmInitialiseFlash defaults to no.
  bool ConfirmQuit();
  bool ConfirmInitialiseFlash();
  // One question: the choices' buttons, then 取消 (also Esc). Returns the
  // index of the choice taken, -1 for 取消; `preferred` is the default
  // button's index (-1: 取消).
  struct Choice {
    QString text;
    int role;  // QMessageBox::ButtonRole
  };
  int Ask(const QString& text, const QString& detail, const std::vector<Choice>& choices, int preferred);
  void ShowProblem(const QString& text);
  void ShowLogWindow(bool activate);
  // After a menu closed, the keyboard goes back to the device: the menu bar
  // would otherwise keep it (waiting for a second Esc) even though no menu is
  // open any more.
  void ReturnKeysToDevice();

  std::unique_ptr<IPacingClock> ownPacingClock_;
  IPacingClock* clock_ = nullptr;
  std::unique_ptr<QtWaveDevice> waveDevice_;
  std::map<int, QAction*> scaleActions_, volumeActions_;
  QAction* smoothAction_ = nullptr;
  QAction* fullScreenAction_ = nullptr;
  QAction* lcdOnlyAction_ = nullptr;
  QAction* muteAction_ = nullptr;
  QAction* recordAction_ = nullptr;
  QLabel* recordLabel_ = nullptr;
  std::unique_ptr<QLockFile> dataLock_;
  QTimer loopTimer_;
  QStyle* slotMenuStyle_ = nullptr;
  bool runLoop_ = true;
  int pauseDepth_ = 0;
  bool exiting_ = false;
  bool faultShown_ = false;
  bool started_ = false;           // the constructor has finished
  QString startupProblems_;        // problems met before the window existed
  bool logWindowDue_ = false;      // problems wait for the window's first show
  struct LogChain {
    void (*sink)(void*, std::string_view) = nullptr;
    void* context = nullptr;
  } previousLog_, previousProblem_;
};

}  // namespace rq4800
