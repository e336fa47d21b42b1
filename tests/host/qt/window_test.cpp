// The desktop window on Qt's offscreen platform: start-up, menu, commands,
// keys, mouse, drops, dialogs and the paced loop, each against the same
// window the program shows, with a fake pacing clock instead of real time.
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/debug_log.h"
#include "host/qt/about_dialog.h"
#include "host/qt/debug_dialog.h"
#include "host/qt/log_window.h"
#include "host/qt/main_window.h"
#include "host/qt/qt_wave_device.h"
#include "host/qt/screen_widget.h"
#include "host/settings_file.h"
#include "host/skin_layout.h"

namespace rq4800 {
namespace {

constexpr uint64_t kTicksPerMs = 1'000'000;  // a nanosecond clock: 1000 MHz

// A pacing clock that moves only when a test moves it, and a measurement
// clock whose one-second wait moves the pacing clock by 3000 ticks per µs.
struct FakeClock final : IPacingClock, IMeasureClock {
  uint64_t ticks = 5'000'000'000;
  uint64_t ms = 0;
  uint64_t Ticks() override { return ticks; }
  uint64_t TicksPerSecond() override { return 1'000 * kTicksPerMs; }
  uint64_t Milliseconds() override { return ms; }
  void Sleep(int milliseconds) override {
    ms += static_cast<uint64_t>(milliseconds);
    ticks += static_cast<uint64_t>(milliseconds) * 3'000'000;
  }
};

struct FixedTime final : IHostClock {
  LocalTime Now() override { return {2024, 5, 17, 10, 30, 0}; }
};

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Files the device keeps in one folder of its flash file system.
int FilesInFolder(Machine& machine, std::string_view folder) {
  machine.storage.Scan();
  const ParsedRecord* record = machine.storage.FindFolder(folder);
  if (record == nullptr || !record->HasIndexBlock()) return 0;
  ParsedRecord files[flashfs::kMaxFilesPerFolder];
  return FlashFileSystem::ParseRecords(machine.storage.Block(record->IndexBlock()), flashfs::kMaxFilesPerFolder,
                                       files);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> folder;
  std::string previousWorkingFolder;
  FakeClock clock;
  FixedTime time;

  std::string Folder() const { return folder->path().toStdString() + "/"; }

  // A program folder whose settings already hold the frequency, so that
  // start-up measures nothing.
  std::unique_ptr<MainWindow> MakeWindow(bool sound = false) {
    std::ofstream(Folder() + "rq4800.ini", std::ios::app) << "[CPU]\nFrequency=1000\n";
    return MakeWindowAsIs(sound);
  }
  std::unique_ptr<MainWindow> MakeWindowAsIs(bool sound = false) {
    DesktopOptions options;
    options.programFolder = Folder();
    options.pacingClock = &clock;
    options.measureClock = &clock;
    options.hostClock = &time;
    options.sound = sound;
    options.runLoop = false;
    return std::make_unique<MainWindow>(options);
  }

  // Passes of the main loop, one per millisecond of the fake clock.
  static void RunFor(MainWindow& window, FakeClock& clock, int milliseconds) {
    for (int i = 0; i < milliseconds; ++i) {
      window.PacingPass();
      clock.ticks += kTicksPerMs;
    }
  }

  static void ShowActive(MainWindow& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
  }

 private slots:
  void init() {
    previousWorkingFolder = std::filesystem::current_path().string();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
  }

  void cleanup() {
    std::filesystem::current_path(previousWorkingFolder);
    folder.reset();
  }

  void startUpPreparesTheProgramFolderAndMeasuresTheClock() {
    std::ofstream(Folder() + "rq4800.ini") << "; mine\n[Firmware]\nROM1=\n";
    auto window = MakeWindowAsIs();
    QVERIFY(std::filesystem::is_directory(Folder() + "data"));
    // The measured rate went back into the file, beside what the user wrote.
    QCOMPARE(QString::fromStdString(ReadAll(Folder() + "rq4800.ini")),
             QStringLiteral("; mine\n[Firmware]\nROM1=\n[CPU]\nFrequency=3000\n"));
    QCOMPARE(window->frequency, 3000u);
    QCOMPARE(window->pacing.ticksPerFrame, uint64_t{60'000'000});
    // The working folder is the program folder when the settings name none.
    QCOMPARE(QDir::currentPath(), QDir(folder->path()).canonicalPath());

    QCOMPARE(window->windowTitle(), QStringLiteral("Lumora模拟器"));
    QCOMPARE(window->screenWidget->size(), QSize(470, 611));
    QVERIFY(window->menuBar()->isVisible() || !window->isVisible());
    QCOMPARE(window->machine->bus.ring, &window->ring);
  }

  void menuHasEveryItemWithItsTextIdAndOrder() {
    auto window = MakeWindow();
    struct Expected {
      const char* text;  // null: separator
      int id;
    };
    const std::vector<std::pair<QString, std::vector<Expected>>> expected = {
        {QStringLiteral("文件"),
         {{"文件下载...", 40049},
          {"初始化FLASH", 40052},
          {"保存FLASH", 40007},
          {nullptr, 0},
          {"复位        F8", 40004},
          {nullptr, 0},
          {"退出", 40001}}},
        {QStringLiteral("设置"), {{"快速播放", 40012}, {"FLASH信息", 40056}, {"调试", 40030}}},
        {QStringLiteral("帮助"), {{"关于", 40054}}},
    };
    const QList<QAction*> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), qsizetype(expected.size()));
    for (size_t m = 0; m < expected.size(); ++m) {
      QCOMPARE(menus[m]->text(), expected[m].first);
      const QList<QAction*> items = menus[m]->menu()->actions();
      QCOMPARE(items.size(), qsizetype(expected[m].second.size()));
      for (qsizetype i = 0; i < items.size(); ++i) {
        const Expected& e = expected[m].second[static_cast<size_t>(i)];
        if (e.text == nullptr) {
          QVERIFY(items[i]->isSeparator());
          continue;
        }
        QCOMPARE(items[i]->text(), QString::fromUtf8(e.text));
        QCOMPARE(items[i]->data().toInt(), e.id);
        // The menu shows no shortcut column of its own.
        QVERIFY(items[i]->shortcut().isEmpty());
        QCOMPARE(items[i]->isCheckable(), e.id == 40012);
        QVERIFY(!items[i]->isChecked());
      }
    }
  }

  void acceleratorsAreF5AndF8Only() {
    auto window = MakeWindow();
    QStringList keys;
    for (QShortcut* shortcut : window->findChildren<QShortcut*>()) keys << shortcut->key().toString();
    keys.sort();
    QCOMPARE(keys, QStringList({QStringLiteral("F5"), QStringLiteral("F8")}));
  }

  void resetByMenuAndByF8() {
    DebugLogCapture log;
    auto window = MakeWindow();
    ShowActive(*window);
    RunFor(*window, clock, 200);
    const int before = CountOf(log.text, "cold reset\n");
    window->machine->bus.ram[0x2000] = 0xA5;
    window->actions[40004]->trigger();
    QCOMPARE(CountOf(log.text, "cold reset\n"), before + 1);
    QCOMPARE(window->machine->bus.ram[0x2000], uint8_t{0});
    // The processor starts again at the reset vector.
    const int vector = window->machine->bus.Read(0xFFFC) | window->machine->bus.Read(0xFFFD) << 8;
    QCOMPARE(int(window->machine->cpu.PC), vector);

    RunFor(*window, clock, 100);
    window->machine->bus.ram[0x2000] = 0xA5;
    QTest::keyClick(window.get(), Qt::Key_F8);
    QCOMPARE(CountOf(log.text, "cold reset\n"), before + 2);
    QCOMPARE(window->machine->bus.ram[0x2000], uint8_t{0});
  }

  void f5WritesTheWholeFlashImageAndAFailureShowsInTheStatusBar() {
    auto window = MakeWindow();
    ShowActive(*window);
    const std::string image = Folder() + "data/rq4800.fls";
    std::ofstream(image) << "an older, shorter file";
    window->machine->bus.flash[1234] = 0x5C;
    QTest::keyClick(window.get(), Qt::Key_F5);
    QCOMPARE(std::filesystem::file_size(image), uintmax_t{524288});
    QCOMPARE(uint8_t(ReadAll(image)[1234]), uint8_t{0x5C});
    QVERIFY(window->statusBar()->currentMessage().isEmpty());

    // The data directory has become a plain file: the save cannot happen.
    std::filesystem::remove_all(Folder() + "data");
    std::ofstream(Folder() + "data") << "x";
    window->actions[40007]->trigger();
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("保存FLASH失败")));
  }

  void fastPlayTwiceLeavesNormalPacing() {
    auto window = MakeWindow();
    QAction* fast = window->actions[40012];
    fast->trigger();
    QVERIFY(fast->isChecked());
    QVERIFY(window->pacing.fastPlay);
    // Fast play runs several frames in one pass of a clock that stands still.
    int start = window->framesRun;
    window->PacingPass();
    QVERIFY(window->framesRun - start > 1);

    fast->trigger();
    QVERIFY(!fast->isChecked());
    QVERIFY(!window->pacing.fastPlay);
    start = window->framesRun;
    RunFor(*window, clock, 10'000);
    QVERIFY(window->framesRun - start >= 500);
    QVERIFY(window->framesRun - start <= 501);
  }

  void mainLoopRunsFiftyFramesPerSecondOfItsClock() {
    auto window = MakeWindow();
    // The very first pass runs a frame at once.
    window->PacingPass();
    QCOMPARE(window->framesRun, 1);
    RunFor(*window, clock, 20'000);
    QVERIFY(window->framesRun >= 1000 && window->framesRun <= 1001);

    // A pause of the loop (a dialog) is not caught up afterwards.
    window->Pause();
    clock.ticks += 3000 * kTicksPerMs;
    window->PacingPass();
    const int paused = window->framesRun;
    window->Resume();
    RunFor(*window, clock, 1000);
    QVERIFY(window->framesRun - paused >= 50 && window->framesRun - paused <= 51);
  }

  void droppedFilesReachTheFlashInTheirOrder() {
    auto window = MakeWindow();
    const std::string txt = Folder() + "notes.txt";
    const std::string bas = Folder() + "prog.bas";
    std::ofstream(txt) << "HELLO FROM THE PC\r\nSECOND LINE\r\n";
    std::ofstream(bas) << "10 PRINT 1\r\n";
    const int texts = FilesInFolder(*window->machine, "txt ");
    const int programs = FilesInFolder(*window->machine, "bas ");

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(txt)), QUrl::fromLocalFile(QString::fromStdString(bas))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);

    QCOMPARE(FilesInFolder(*window->machine, "txt "), texts + 1);
    QCOMPARE(FilesInFolder(*window->machine, "bas "), programs + 1);
    // The text itself is in the flash.
    const auto* flash = reinterpret_cast<const char*>(window->machine->bus.flash.get());
    QVERIFY(std::string_view(flash, 524288).find("HELLO FROM THE PC") != std::string_view::npos);
    // The last file of the drop was loaded last and its result is shown.
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("prog.bas")));
    QCOMPARE(window->sharedFilePath, bas);
  }

  void theOpenFileDialogDownloadsAndRemembersTheLastFile() {
    auto window = MakeWindow();
    std::filesystem::create_directories(Folder() + "texts");
    const std::string txt = Folder() + "texts/memo.txt";
    std::ofstream(txt) << "A MEMO\r\n";
    const int texts = FilesInFolder(*window->machine, "txt ");

    int opened = 0;
    connect(window.get(), &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files != nullptr);
        QCOMPARE(files->nameFilters(), QStringList({QStringLiteral("Bin file (*.bin)"), QStringLiteral("Txt file(*.txt)"),
                                                    QStringLiteral("Skin file (*.ski)"), QStringLiteral("Bas file (*.bas)")}));
        QCOMPARE(files->selectedNameFilter(), QStringLiteral("Bin file (*.bin)"));
        QCOMPARE(files->defaultSuffix(), QStringLiteral("bin"));
        // No frames while it is open.
        const int frames = window->framesRun;
        RunFor(*window, clock, 100);
        QCOMPARE(window->framesRun, frames);
        if (++opened == 1) {
          files->selectNameFilter(QStringLiteral("Txt file(*.txt)"));
          files->selectFile(QString::fromStdString(txt));
          static_cast<QDialog*>(files)->accept();  // as the dialog's Open button does
        } else {
          // The second time it starts at the file loaded last; cancelling does nothing.
          QCOMPARE(files->selectedFiles().value(0), QString::fromStdString(txt));
          files->reject();
        }
      });
    });
    window->actions[40049]->trigger();
    QCOMPARE(opened, 1);
    QCOMPARE(FilesInFolder(*window->machine, "txt "), texts + 1);
    // The file's folder is the working folder now, which exit remembers.
    QCOMPARE(std::filesystem::current_path(), std::filesystem::canonical(Folder() + "texts"));
    window->actions[40049]->trigger();
    QCOMPARE(opened, 2);
    QCOMPARE(FilesInFolder(*window->machine, "txt "), texts + 1);
  }

  void keysReachTheKeyWords() {
    auto window = MakeWindow();
    uint32_t* keyWords = window->machine->bus.keyWords;
    QTest::keyPress(window.get(), Qt::Key_A);
    QCOMPARE(keyWords[3], 0x01u);
    // Auto-repeat presses again and never releases in between.
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true);
    QApplication::sendEvent(window.get(), &repeatUp);
    QCOMPARE(keyWords[3], 0x01u);
    QTest::keyPress(window.get(), Qt::Key_Q);
    QCOMPARE(keyWords[2], 0x01u);
    QTest::keyRelease(window.get(), Qt::Key_Q);
    for (int w = 0; w < 8; ++w) QCOMPARE(keyWords[w], 0u);

    // The digit 1 is the device's B key; the keypad's 1 is not.
    QTest::keyPress(window.get(), Qt::Key_1);
    QCOMPARE(keyWords[4], 0x10u);
    QTest::keyRelease(window.get(), Qt::Key_1);
    QTest::keyPress(window.get(), Qt::Key_1, Qt::KeypadModifier);
    QCOMPARE(keyWords[4], 0u);

    // Shift held: a letter does nothing, Shift itself is key code 51.
    QTest::keyPress(window.get(), Qt::Key_Shift);
    QCOMPARE(keyWords[5], 0x02u);
    QTest::keyPress(window.get(), Qt::Key_A, Qt::ShiftModifier);
    QCOMPARE(keyWords[3], 0u);
    QTest::keyRelease(window.get(), Qt::Key_Shift);

    // "*" arrives as a character (key code 38), and goes at its own key-up.
    QTest::keyPress(window.get(), '*');
    QCOMPARE(keyWords[1], 0x02u);
    QTest::keyRelease(window.get(), '*');
    QCOMPARE(keyWords[1], 0u);
  }

  void aClickOnASkinKeyShowsItPressedUntilTheRelease() {
    auto window = MakeWindow();
    window->show();
    Screen& screen = window->screen;
    // Key code 30, the A key: region (29, 484)..(62, 507).
    const int x = 45, y = 495;
    const uint32_t normal = screen.skinNormal.At(x, y);
    const uint32_t pressed = screen.skinPressed.At(x, y - skin::kPressedTop);
    QVERIFY(normal != pressed);
    QCOMPARE(screen.frameBuffer.At(x, y), normal);

    QTest::mousePress(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QCOMPARE(window->machine->bus.keyWords[3], 0x01u);
    QCOMPARE(screen.frameBuffer.At(x, y), pressed);
    // What the window shows is the frame buffer.
    QCOMPARE(window->screenWidget->Picture().pixel(x, y), pressed);
    QCOMPARE(QWidget::mouseGrabber(), window->screenWidget);

    // Released outside the window: still a release.
    QTest::mouseRelease(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(600, 700));
    QCOMPARE(window->machine->bus.keyWords[3], 0u);
    QCOMPARE(screen.frameBuffer.At(x, y), normal);
    QVERIFY(QWidget::mouseGrabber() == nullptr);

    // A click on the border of a key presses nothing.
    QTest::mouseClick(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(29, 495));
    for (int w = 0; w < 8; ++w) QCOMPARE(window->machine->bus.keyWords[w], 0u);
  }

  void debugDialogShowsTheMachineWhileItStandsStill() {
    auto window = MakeWindow();
    RunFor(*window, clock, 100);
    bool inspected = false;
    connect(window.get(), &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        auto* debug = qobject_cast<DebugDialog*>(dialog);
        QVERIFY(debug != nullptr);
        QCOMPARE(debug->windowTitle(), QStringLiteral("调试"));
        const QString line = debug->registerLine->text();
        const QString pc = QString::number(window->machine->cpu.PC, 16).toUpper().rightJustified(4, QLatin1Char('0'));
        QVERIFY2(line.startsWith(QStringLiteral("PC:") + pc + QStringLiteral(" SP:1")), qPrintable(line));
        QVERIFY(line.contains(QStringLiteral("  BANK:")));
        QVERIFY(debug->dump->toPlainText().startsWith(QStringLiteral("0000-")));
        QCOMPARE(debug->listButton->text(), QStringLiteral("反汇编"));

        // No frame runs while it is open, however much time passes.
        const int frames = window->framesRun;
        RunFor(*window, clock, 500);
        QCOMPARE(window->framesRun, frames);

        debug->address->setText(QStringLiteral("0xC000"));
        QTest::mouseClick(debug->listButton, Qt::LeftButton);
        QVERIFY(debug->listing->toPlainText().startsWith(QStringLiteral("C000")));
        // Enter and Esc neither list nor close.
        debug->address->setText(QStringLiteral("D000"));
        QTest::keyClick(debug->address, Qt::Key_Return);
        QTest::keyClick(debug, Qt::Key_Escape);
        QVERIFY(debug->isVisible());
        QVERIFY(debug->listing->toPlainText().startsWith(QStringLiteral("C000")));
        inspected = true;
        debug->close();
      });
    });
    window->actions[40030]->trigger();
    QVERIFY(inspected);
    // Closed: the frames go on at once.
    const int frames = window->framesRun;
    window->PacingPass();
    QCOMPARE(window->framesRun, frames + 1);
  }

  void aboutDialogShowsTheProgramAndItsLink() {
    auto window = MakeWindow();
    bool inspected = false;
    connect(window.get(), &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("版本信息"));
        QStringList texts;
        for (QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("RQ4800模拟器")));
        auto* about = qobject_cast<AboutDialog*>(dialog);
        QVERIFY(about != nullptr);
        QVERIFY(about->link->text().startsWith(QStringLiteral("网址 <a href=")));
        QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), qsizetype(1));
        QCOMPARE(buttons[0]->text(), QStringLiteral("确定"));
        const int frames = window->framesRun;
        RunFor(*window, clock, 200);
        QCOMPARE(window->framesRun, frames);
        inspected = true;
        QTest::mouseClick(buttons[0], Qt::LeftButton);
      });
    });
    window->actions[40054]->trigger();
    QVERIFY(inspected);
  }

  void flashReportGoesToTheLogWindowAndStandardOutput() {
    DebugLogCapture stdoutStandIn;
    auto window = MakeWindow();
    window->actions[40056]->trigger();
    QVERIFY(window->logWindow != nullptr);
    QVERIFY(window->logWindow->isVisible());
    QVERIFY(window->logWindow->toPlainText().contains(QStringLiteral("Core at")));
    QVERIFY(stdoutStandIn.text.find("Core at") != std::string::npos);
    // Later debug lines follow the report there.
    window->actions[40004]->trigger();
    window->logWindow->Flush();
    QVERIFY(window->logWindow->toPlainText().endsWith(QStringLiteral("cold reset")));
  }

  void aFaultShowsInTheStatusBarUntilAReset() {
    auto window = MakeWindow();
    window->machine->faulted = true;
    window->machine->faultOpcode = 0x02;
    window->machine->faultAddress = 0xC123;
    window->PacingPass();
    QCOMPARE(window->faultLabel->text(), QStringLiteral("不支持的指令 02 at C123"));
    window->actions[40004]->trigger();
    QVERIFY(window->faultLabel->text().isEmpty());
  }

  void exitWritesTheWorkingFolderBack() {
    auto window = MakeWindow();
    std::filesystem::create_directories(Folder() + "texts");
    std::filesystem::current_path(Folder() + "texts");
    QSignalSpy quit(window.get(), &MainWindow::quitRequested);
    window->show();
    window->close();  // the title bar's close box exits as "退出" does
    QCOMPARE(quit.count(), 1);
    QCOMPARE(ReadProfileString(Folder() + "rq4800.ini", "ROM", "Directory", ""),
             std::filesystem::canonical(Folder() + "texts").string());
    QCOMPARE(ReadProfileString(Folder() + "rq4800.ini", "CPU", "Frequency", ""), std::string("1000"));
    window->actions[40001]->trigger();
    QCOMPARE(quit.count(), 1);
  }

  void theAudioFeedFinishesBlocksInQueueOrder() {
    // What the audio sink pulls: blocks in the order queued, a block counted
    // finished once its last byte is taken, and a signal for each batch.
    BlockFeed feed;
    QVERIFY(feed.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    QSignalSpy finished(&feed, &BlockFeed::blocksFinished);
    int16_t a[882], b[882];
    for (int i = 0; i < 882; ++i) {
      a[i] = static_cast<int16_t>(i);
      b[i] = static_cast<int16_t>(-i);
    }
    feed.Queue(WaveBlock{a, 1764, true});
    feed.Queue(WaveBlock{b, 1764, true});
    QCOMPARE(feed.bytesAvailable(), qint64{3528});

    int16_t out[1000];
    QCOMPARE(feed.read(reinterpret_cast<char*>(out), 1000), qint64{1000});
    QCOMPARE(feed.TakeFinished(), 0);
    QCOMPARE(finished.count(), 0);
    // The rest of the first block and half of the second.
    QCOMPARE(feed.read(reinterpret_cast<char*>(out), 1646), qint64{1646});
    QCOMPARE(out[381], int16_t{881});
    QCOMPARE(out[382], int16_t{0});
    QCOMPARE(out[822], int16_t{-440});
    QCOMPARE(feed.TakeFinished(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(feed.TakeFinished(), 0);
    // A read past the queue takes what there is; the sink plays silence for the rest.
    QCOMPARE(feed.read(reinterpret_cast<char*>(out), 2000), qint64{882});
    QCOMPARE(out[440], int16_t{-881});
    QCOMPARE(feed.TakeFinished(), 1);
    QCOMPARE(feed.read(reinterpret_cast<char*>(out), 2000), qint64{0});
  }

  void screenshotOfTheBootedFirmware() {
    auto window = MakeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    RunFor(*window, clock, 4000);  // four seconds of device time
    QVERIFY(!window->machine->faulted);
    window->Paint();
    QImage shot = window->grab().toImage();
    QVERIFY(shot.width() >= 470 && shot.height() >= 611);
    const std::filesystem::path artefacts = std::filesystem::path(RQ4800_BINARY_DIR) / "artefacts";
    std::filesystem::create_directories(artefacts);
    QVERIFY(shot.save(QString::fromStdString((artefacts / "window.png").string())));

    // The firmware has drawn on its LCD: the dot field holds set dots.
    const QPoint origin = window->screenWidget->mapTo(window.get(), QPoint(0, 0));
    int dark = 0;
    for (int y = skin::kDotFieldY; y < skin::kDotFieldY + skin::kDotFieldHeight; ++y) {
      for (int x = skin::kDotFieldX; x < skin::kDotFieldX + skin::kDotFieldWidth; ++x) {
        dark += (shot.pixel(origin + QPoint(x, y)) & 0xFFFFFF) == 0;
      }
    }
    QVERIFY2(dark > 200, qPrintable(QStringLiteral("%1 set dot pixels").arg(dark)));
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::WindowTest)
#include "window_test.moc"
