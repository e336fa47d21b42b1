#pragma once
// The main window "Lumora模拟器" and the program-wide state behind it, made in
// start-up order by the constructor: folders and settings, the pacing clock's
// rate, the machine powered on, the screen, the window with its menu, the
// wave output with the ring attached. The main loop is a single-shot precise
// timer re-armed from the pacing clock: it sleeps until the next frame is due
// instead of polling, and every pass first lets Qt serve the window's events.
//
// Modal dialogs (debug, About, the open-file dialog) pause the frames: Qt's
// nested event loop would otherwise keep running them. The wave output keeps
// draining the ring meanwhile, then plays silence.
#include <QAction>
#include <QMainWindow>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "host/keyboard.h"
#include "host/pacing.h"
#include "host/screen.h"
#include "host/startup.h"
#include "machine/machine.h"
#include "machine/resource_store.h"
#include "sound/sample_ring.h"
#include "sound/wave_output.h"

class QDialog;
class QLabel;

namespace rq4800 {

class LogWindow;
class QtWaveDevice;
class ScreenWidget;

struct DesktopOptions {
  std::string programFolder;               // the folder of the program file
  IPacingClock* pacingClock = nullptr;     // steady clock when null
  IMeasureClock* measureClock = nullptr;   // steady clock when null
  IHostClock* hostClock = nullptr;         // the host's local time when null
  bool sound = true;                       // false: no wave device at all
  bool runLoop = true;                     // false: passes run only when called
};

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const DesktopOptions& options);
  ~MainWindow() override;

  // Program-wide state, in the order start-up makes it.
  FrontEndPaths paths;
  uint32_t frequency = 0;
  Pacing pacing;
  ResourceStore resources;
  std::unique_ptr<Machine> machine;
  Screen screen;
  KeyState keys;  // releases held back until a frame has seen the key
  SampleRing ring;
  WaveOutput waveOutput;
  bool soundOn = false;
  std::string sharedFilePath;  // the last file loaded or dropped

  ScreenWidget* screenWidget = nullptr;
  QLabel* faultLabel = nullptr;
  LogWindow* logWindow = nullptr;
  std::map<int, QAction*> actions;  // by command id

  // One pass of the main loop: a frame and a paint when due (fast play: a
  // run of frames), then the timer is re-armed for the next due time.
  void PacingPass();
  void RunCommand(int id);
  // The file load of a chosen or dropped file: its extension picks the action.
  void LoadFile(const std::string& path);
  void Paint();
  // Frames stand still while any pause is held; leaving the last one starts
  // the frame schedule afresh.
  void Pause();
  void Resume();
  bool Paused() const { return pauseDepth_ > 0; }
  void ShowStatus(const QString& text);
  // Debug-log text from anywhere in the machine.
  void TakeLog(std::string_view text);

  int framesRun = 0;  // frames this window has run, for the CPU-use benchmark

 signals:
  void quitRequested();
  void dialogOpened(QDialog* dialog);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void OpenFileDialog();
  int RunModal(QDialog& dialog);
  void ShowFault();

  std::unique_ptr<IPacingClock> ownPacingClock_;
  IPacingClock* clock_ = nullptr;
  std::unique_ptr<QtWaveDevice> waveDevice_;
  QTimer loopTimer_;
  bool runLoop_ = true;
  int pauseDepth_ = 0;
  bool exiting_ = false;
  bool faultShown_ = false;
  struct LogChain {
    void (*sink)(void*, std::string_view) = nullptr;
    void* context = nullptr;
  } previousLog_;
};

}  // namespace rq4800
