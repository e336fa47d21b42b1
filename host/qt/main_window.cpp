#include "host/qt/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QShortcut>
#include <QStatusBar>
#include <QUrl>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/debug_log.h"
#include "host/keyboard.h"
#include "host/paths.h"
#include "host/qt/about_dialog.h"
#include "host/qt/debug_dialog.h"
#include "host/qt/debugger_window.h"
#include "host/qt/key_map.h"
#include "host/qt/log_window.h"
#include "host/qt/menu_table.h"
#include "host/qt/qt_wave_device.h"
#include "host/qt/screen_widget.h"
#include "host/skin_layout.h"
#include "storage/download_file.h"

namespace rq4800 {

namespace {

// Fast play runs frames back to back, but hands the event loop back after
// this much of the pacing clock or this many frames, whichever comes first,
// so that keys, menus and sound refills are still served.
constexpr uint64_t kFastPlaySlicesPerSecond = 100;  // 10 ms
constexpr int kFastPlayMaxFrames = 25;

void LogSink(void* context, std::string_view text) {
  static_cast<MainWindow*>(context)->TakeLog(text);
}

void ProblemSink(void* context, std::string_view text) {
  static_cast<MainWindow*>(context)->TakeProblem(text);
}

}  // namespace

MainWindow::MainWindow(const DesktopOptions& options) : QMainWindow(nullptr), runLoop_(options.runLoop) {
  DebugLogTarget previous = SetDebugLogTarget({&LogSink, this});
  previousLog_ = {previous.sink, previous.context};
  // From here on, start-up's problems are kept for the window to show.
  previous = SetProblemTarget({&ProblemSink, this});
  previousProblem_ = {previous.sink, previous.context};

  // Folders, settings and the pacing clock's rate.
  paths = ChooseFrontEndPaths(options.programFolder, options.userFolders);
  PrepareProgramFolder(paths);
  // The language first: the question about a data folder in use is asked in it.
  ApplyLanguage(options);
  ClaimDataFolder(options);
  EnterWorkingFolder(paths);
  clock_ = options.pacingClock;
  if (clock_ == nullptr) {
    ownPacingClock_ = std::make_unique<SteadyPacingClock>();
    clock_ = ownPacingClock_.get();
  }
  SteadyMeasureClock steadyMeasure;
  frequency = SettingsFrequency(paths, *clock_, options.measureClock ? *options.measureClock : steadyMeasure);

  // The machine, powered on with the user's firmware files or the built-in
  // ones, and the screen.
  emulator = std::make_unique<Emulator>(EmulatorOptions{paths.dataDirectory, options.hostClock, options.rewind});
  emulator->pacing.ticksPerFrame = TicksPerFrame(frequency);
  emulator->pacing.fastPlay = false;
  ApplyFirmwareSettings(emulator->resources, paths);
  emulator->PowerOn();
  machine = emulator->machine.get();
  const ResourceStore& resources = emulator->resources;

  // The window.
  setWindowTitle(tr("Lumora模拟器"));
  if (auto icon = resources.Find(resource::kProgramIcon); !icon.empty()) {
    QPixmap pixmap;
    if (pixmap.loadFromData(icon.data(), static_cast<uint>(icon.size()), "BMP")) setWindowIcon(pixmap);
  }
  screenWidget = new ScreenWidget(emulator->screen.frameBuffer, this);
  screenWidget->beforePaint = [this] { emulator->Paint(); };
  screenWidget->buttonDown = [this](int x, int y) {
    if (emulator->ButtonDown(x, y) >= 0) screenWidget->update();
  };
  screenWidget->buttonUp = [this] {
    emulator->ButtonUp();
    screenWidget->update();
  };
  setCentralWidget(screenWidget);
  // The device's keyboard is the screen's: with the focus there, the menu bar
  // has a widget to hand the keys back to when it is done with them.
  screenWidget->setFocusPolicy(Qt::StrongFocus);
  screenWidget->setFocus();
  BuildMenu();
  BuildStateMenu();
  BuildDebuggerItem();
  SetUpKeysAndFiles();
  BuildLanguageMenu();
  runStateLabel = new QLabel(this);
  runStateLabel->setObjectName(QStringLiteral("runState"));
  statusBar()->addPermanentWidget(runStateLabel);
  faultLabel = new QLabel(this);
  faultLabel->setObjectName(QStringLiteral("fault"));
  statusBar()->addPermanentWidget(faultLabel);
  statusBar()->setSizeGripEnabled(false);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setAcceptDrops(true);

  // Sound: the ring is attached whether a device opened or not.
  if (options.waveDevice != nullptr) {
    emulator->OpenSound(*options.waveDevice);
  } else if (options.sound) {
    waveDevice_ = std::make_unique<QtWaveDevice>();
    connect(waveDevice_.get(), &QtWaveDevice::blocksFinished, this, [this] {
      emulator->ServiceSound();
      CheckRecording();
    });
    emulator->OpenSound(*waveDevice_);
  }
  BuildViewMenu(options.scale);
  BuildSoundMenu();

  loopTimer_.setSingleShot(true);
  loopTimer_.setTimerType(Qt::PreciseTimer);
  connect(&loopTimer_, &QTimer::timeout, this, &MainWindow::PacingPass);
  if (runLoop_) loopTimer_.start(0);

  started_ = true;
  if (!startupProblems_.isEmpty()) ShowProblem(std::exchange(startupProblems_, {}));
}

MainWindow::~MainWindow() {
  loopTimer_.stop();
  delete debuggerWindow;  // before the emulator it is attached to
  SetDebugLogTarget({previousLog_.sink, previousLog_.context});
  SetProblemTarget({previousProblem_.sink, previousProblem_.context});
}

void MainWindow::BuildMenu() {
  std::map<QString, QMenu*> menus;
  for (const MenuItem& item : kMainMenu) {
    const QString title = QCoreApplication::translate(kMenuContext, item.menu);
    QMenu*& menu = menus[title];
    if (menu == nullptr) {
      menu = menuBar()->addMenu(title);
      menu->setObjectName(QString::fromUtf8(item.menu));  // found by its source title in every language
      // Queued: when one menu closes because the next opens, that one is
      // found open and the menu bar keeps the keys.
      connect(menu, &QMenu::aboutToHide, this,
              [this] { QTimer::singleShot(0, this, &MainWindow::ReturnKeysToDevice); });
      connect(menu, &QMenu::aboutToShow, this, &MainWindow::EndRewind);
    }
    if (item.text == nullptr) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QCoreApplication::translate(kMenuContext, item.text));
    action->setData(item.id);
    action->setCheckable(item.checkable);
    const int id = item.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    // The accelerators are a table of their own, as on the device's home
    // platform: the menu shows its texts as they stand ("复位        F8"
    // already names its key) and no shortcut column is added.
    if (item.accelerator != nullptr) {
      auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(item.accelerator)), this);
      shortcut->setContext(Qt::WindowShortcut);
      connect(shortcut, &QShortcut::activated, this, [this, id] { RunCommand(id); });
    }
    actions[id] = action;
  }
}

void MainWindow::PacingPass() {
  if (exiting_ || Paused() || !emulator->Running()) return;
  // The emulator decides what each clock reading runs; the window shows it.
  const auto pass = [this] {
    const PacingStep step = emulator->Advance(clock_->Ticks());
    if (step.runFrame && !emulator->rewinding) ++framesRun;
    if (step.paint) Paint();
    return step.waitTicks;
  };
  uint64_t waitTicks = pass();
  if (emulator->pacing.fastPlay && !emulator->rewinding) {
    const uint64_t start = clock_->Ticks();
    const uint64_t budget = clock_->TicksPerSecond() / kFastPlaySlicesPerSecond;
    for (int n = 1; n < kFastPlayMaxFrames && clock_->Ticks() - start < budget; ++n) waitTicks = pass();
  }
  emulator->ServiceSound();
  CheckRecording();
  ShowFault();
  if (emulator->Held()) return DebuggerHeld();
  if (runLoop_) loopTimer_.start(WaitMilliseconds(waitTicks, clock_->TicksPerSecond()));
}

void MainWindow::Paint() {
  emulator->Paint();
  // Between frames only the LCD panel changes; key highlights ask for their own paint.
  screenWidget->UpdateFrameRect(skin::kPanelLeft, skin::kPanelTop, skin::kPanelRight - skin::kPanelLeft + 1,
                                skin::kPanelHeight);
}

void MainWindow::Pause() {
  ++pauseDepth_;
  EndRewind();
}

void MainWindow::Resume() {
  if (pauseDepth_ > 0 && --pauseDepth_ == 0) {
    RestartPacing(emulator->pacing);
    KickLoop();
  }
}

void MainWindow::ShowStatus(const QString& text) { statusBar()->showMessage(text); }

void MainWindow::ShowFault() {
  if (machine->faulted && !faultShown_) {
    faultLabel->setText(tr("不支持的指令 %1 at %2")
                            .arg(QString::asprintf("%02X", machine->faultOpcode & 0xFF),
                                 QString::asprintf("%04X", machine->faultAddress & 0xFFFF)));
    faultShown_ = true;
  } else if (!machine->faulted && faultShown_) {
    faultLabel->clear();
    faultShown_ = false;
  }
}

void MainWindow::TakeLog(std::string_view text) {
  if (previousLog_.sink != nullptr) {
    previousLog_.sink(previousLog_.context, text);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  if (logWindow != nullptr) logWindow->Append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void MainWindow::RunCommand(int id) {
  switch (id) {
    case command::kExit:
      if (!exiting_ && ConfirmQuit()) Quit();
      return;
    case command::kReset:
      emulator->ColdReset();
      break;
    case command::kSaveFlash:
      SaveFlash();
      break;
    case command::kFastPlay:
      emulator->SetFastPlay(!emulator->pacing.fastPlay);
      actions[command::kFastPlay]->setChecked(emulator->pacing.fastPlay);
      KickLoop();
      break;
    case command::kDebug: {
      DebugDialog dialog(*machine, this);
      RunModal(dialog);
      break;
    }
    case command::kDownload:
      OpenFileDialog();
      break;
    case command::kInitialiseFlash:
      if (!ConfirmInitialiseFlash()) return;
      emulator->InitialiseFlash();
      ShowStatus(tr("FLASH已恢复为默认内容（保存FLASH后才写入映像文件）"));
      break;
    case command::kAbout: {
      AboutDialog dialog(this, &paths);
      RunModal(dialog);
      break;
    }
    case command::kFlashInfo:
      ShowLogWindow(true);
      machine->storage.PrintInfo();
      logWindow->Flush();
      break;
    default:
      return;
  }
  ShowFault();
  Paint();
}

int MainWindow::RunModal(QDialog& dialog) {
  Pause();
  emit dialogOpened(&dialog);
  int result = dialog.exec();
  Resume();
  return result;
}

void MainWindow::OpenFileDialog() {
  QFileDialog dialog(this);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::DontUseNativeDialog);  // its texts follow the program's language
  dialog.setNameFilters(OpenFileFilters());
  dialog.setDefaultSuffix(QStringLiteral("bin"));
  if (sharedFilePath.empty()) {
    dialog.setDirectory(QDir::currentPath());
  } else {
    dialog.selectFile(QString::fromStdString(sharedFilePath));
  }
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  // The chosen file's folder becomes the working folder, which exit remembers.
  std::error_code ignored;
  std::filesystem::current_path(FolderOf(path), ignored);
  LoadFile(path);
}

QString MainWindow::LoadFile(const std::string& path, bool startProgram) {
  sharedFilePath = path;
  if (QString::fromStdString(path).endsWith(QStringLiteral(".fls"), Qt::CaseInsensitive)) return OpenFlashImage(path);
  // DownloadProgram takes ".bin" files only and leaves every other alone.
  DownloadResult result = startProgram ? emulator->DownloadProgram(path) : download::Result(download::kNotAFileType);
  const bool started = startProgram && result.Ok();
  if (!startProgram || result.code == download::kNotAFileType) result = emulator->Download(path);
  QString line =
      QStringLiteral("%1: %2").arg(QString::fromStdString(FileNameOf(path)), QString::fromStdString(DescribeDownloadResult(result)));
  if (started) line += tr("; Files starts it");
  if (result.Ok()) RememberFile(path);
  ShowStatus(line);
  ShowFault();
  Paint();
  return line;
}

void MainWindow::LoadFiles(const std::vector<std::string>& paths) {
  QStringList results;
  for (const std::string& path : paths) results << LoadFile(path, true);
  if (results.size() > 1) ShowStatus(results.join(QStringLiteral("; ")));
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (RewindKey(event, true)) return;
  const HostKey key = HostKeyFromQt(event->key(), event->modifiers());
  if (key != HostKey::kNone) emulator->KeyDown(key, (event->modifiers() & Qt::ShiftModifier) != 0);
  if (char32_t c = CharacterOf(*event)) emulator->Character(c);
  screenWidget->update();  // the key's pressed look
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats its press only; the key comes up once, at the end.
  if (RewindKey(event, false) || event->isAutoRepeat()) return;
  const HostKey key = HostKeyFromQt(event->key(), event->modifiers());
  if (key != HostKey::kNone) emulator->KeyUp(key);
  if (char32_t c = CharacterOf(*event)) emulator->CharacterUp(c);
  screenWidget->update();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The close box asks as "退出" does; a cancelled or failed save keeps the window.
  if (!exiting_) RunCommand(command::kExit);
  if (exiting_) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  LoadFiles(paths);
  event->acceptProposedAction();
}

}  // namespace rq4800
