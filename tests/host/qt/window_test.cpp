// The desktop window on Qt's offscreen platform, paced by a fake clock instead of real time.
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QShortcut>
#include <QWindow>

#include "core/debug_log.h"
#include "host/qt/debug_dialog.h"
#include "host/qt/log_window.h"
#include "host/qt/screen_widget.h"
#include "host/skin_layout.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

class WindowTest : public QObject, WindowScratch {
  Q_OBJECT

  std::unique_ptr<MainWindow> MakeWindow(bool measure = false) { return MakeTestWindow(Folder(), clock, measure); }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() { End(); }

  void startUpPreparesTheProgramFolderAndMeasuresTheClock() {
    auto window = MakeWindow(true);
    QVERIFY(std::filesystem::is_directory(Folder() + "data"));
    // The settings file was created and the measured rate written into it.
    QCOMPARE(QString::fromStdString(ReadAll(Folder() + "rq4800.ini")), QStringLiteral("[CPU]\nFrequency=3000\n"));
    QCOMPARE(window->emulator->pacing.ticksPerFrame, uint64_t{60'000'000});
    QCOMPARE(window->windowTitle(), QStringLiteral("Lumora模拟器"));
    QCOMPARE(window->screenWidget->size(), QSize(470, 611));
    QCOMPARE(window->machine->bus.ring, &window->emulator->ring);
  }

  void menuHasEveryItemWithItsTextIdAndAccelerator() {
    auto window = MakeWindow();
    QStringList menu;  // each menu, then its items as text and command id; "-" is a separator
    for (QAction* title : window->menuBar()->actions()) {
      menu << title->text();
      for (QAction* item : title->menu()->actions()) {
        QVERIFY(item->shortcut().isEmpty());  // the menu shows no shortcut column of its own
        const QString entry = QStringLiteral("%1 %2").arg(item->text()).arg(item->data().toInt());
        menu << (item->isSeparator() ? QStringLiteral("-") : entry + (item->isCheckable() ? " checkable" : ""));
      }
    }
    QCOMPARE(menu, QStringList({"文件", "文件下载... 40049", "最近的文件 0", "初始化FLASH 40052", "保存FLASH 40007", "-",
                                "复位        F8 40004", "-", "退出 40001", "设置", "快速播放 40012 checkable",
                                "FLASH信息 40056", "调试 40030", "调试器      Ctrl+D 0", "按键设置... 0", "语言 0", "视图", "缩放 0",
                                "平滑缩放 0 checkable",
                                "全屏        F11 0 checkable", "只显示LCD   Ctrl+L 0 checkable", "-",
                                "截图        F12 0", "截图文件夹... 0", "声音", "静音        Ctrl+M 0 checkable",
                                "音量 0", "录音        Ctrl+R 0 checkable", "状态", "保存状态 0", "读取状态 0", "-",
                                "暂停        Ctrl+P 0 checkable", "帧步进      Ctrl+N 0", "倒带        按住Backspace 0",
                                "帮助", "关于 40054"}));
    // The accelerators are window shortcuts: F5 and F8, the "状态" menu's
    // keys (the slots' Ctrl and Alt digits, pause and frame advance), and
    // those of "视图", "声音" and the debugger window's.
    QStringList keys;
    for (QShortcut* shortcut : window->findChildren<QShortcut*>()) keys << shortcut->key().toString();
    keys.sort();
    QStringList expected = {"F5",  "F8",  "Ctrl+P", "Pause",  "Ctrl+N", "F10",
                            "F11", "F12", "Ctrl+L", "Ctrl+M", "Ctrl+R", "Ctrl+D"};
    for (int slot = 1; slot <= 9; ++slot) expected << QStringLiteral("Ctrl+%1").arg(slot) << QStringLiteral("Alt+%1").arg(slot);
    expected.sort();
    QCOMPARE(keys, expected);
  }

  void resetByMenuAndByF8IsAColdResetThatClearsAFault() {
    DebugLogCapture log;
    auto window = MakeWindow();
    ShowActive(*window);
    Machine& machine = *window->machine;
    machine.faulted = true;
    machine.faultOpcode = 0x02;
    machine.faultAddress = 0xC123;
    window->PacingPass();
    QCOMPARE(window->faultLabel->text(), QStringLiteral("不支持的指令 02 at C123"));
    const std::function<void()> resets[] = {[&] { window->actions[40004]->trigger(); },
                                            [&] { QTest::keyClick(window.get(), Qt::Key_F8); }};
    for (const auto& reset : resets) {
      const size_t before = log.text.size();
      machine.bus.ram[0x2000] = 0xA5;
      reset();
      QVERIFY(log.text.find("cold reset\n", before) != std::string::npos);
      QCOMPARE(machine.bus.ram[0x2000], uint8_t{0});
      QCOMPARE(int(machine.cpu.PC), machine.bus.Read(0xFFFC) | machine.bus.Read(0xFFFD) << 8);
      QVERIFY(window->faultLabel->text().isEmpty());
      RunFor(*window, 200);
    }
  }

  void f5WritesTheWholeFlashImageAndSaysSo() {
    auto window = MakeWindow();
    ShowActive(*window);
    const std::string image = Folder() + "data/rq4800.fls";
    std::ofstream(image) << "an older, shorter file";
    window->machine->bus.flash[1234] = 0x5C;
    QVERIFY(window->FlashChanged());
    QTest::keyClick(window.get(), Qt::Key_F5);
    QCOMPARE(std::filesystem::file_size(image), uintmax_t{524288});
    QCOMPARE(uint8_t(ReadAll(image)[1234]), uint8_t{0x5C});
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("FLASH已保存: %1").arg(QString::fromStdString(image)));
    QVERIFY(!window->FlashChanged());  // quitting now loses nothing
  }

  // Fifty frames a second of the loop's clock; fast play, chosen twice,
  // leaves that pacing as it was.
  void mainLoopRunsFiftyFramesPerSecondAndFastPlayTwiceKeepsIt() {
    auto window = MakeWindow();
    window->PacingPass();  // the very first pass runs a frame at once
    QCOMPARE(window->framesRun, 1);
    RunFor(*window, 20'000);
    QVERIFY(window->framesRun >= 1000 && window->framesRun <= 1001);

    QAction* fast = window->actions[40012];
    fast->trigger();
    QVERIFY(fast->isChecked());
    int start = window->framesRun;
    window->PacingPass();  // several frames in one pass of a clock that stands still
    QVERIFY(window->framesRun - start > 1);

    fast->trigger();
    QVERIFY(!fast->isChecked());
    start = window->framesRun;
    RunFor(*window, 10'000);
    QVERIFY(window->framesRun - start >= 500 && window->framesRun - start <= 501);
  }

  void droppedFilesReachTheFlashInTheirOrder() {
    auto window = MakeWindow();
    const std::string txt = Folder() + "notes.txt", bas = Folder() + "prog.bas";
    std::ofstream(txt) << "HELLO FROM THE PC\r\nSECOND LINE\r\n";
    std::ofstream(bas) << "10 PRINT 1\r\n";
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(txt)), QUrl::fromLocalFile(QString::fromStdString(bas))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);

    // The text is in the flash, where the file system keeps its files.
    const auto* flash = reinterpret_cast<const char*>(window->machine->bus.flash.get());
    QVERIFY(std::string_view(flash, 524288).find("HELLO FROM THE PC\r\nSECOND LINE") != std::string_view::npos);
    // Both results are shown, in the drop's order; the last file is the shared path.
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("notes.txt: stored; prog.bas: stored"));
    QCOMPARE(window->sharedFilePath, bas);
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
    RunFor(*window, 40);  // a frame sees it, so the key-up takes effect at once
    QTest::keyRelease(window.get(), Qt::Key_A);
    QCOMPARE(keyWords[3], 0u);
    // The keypad's digits are not the main row's (whose 1 is the device's B key).
    QTest::keyPress(window.get(), Qt::Key_1, Qt::KeypadModifier);
    QCOMPARE(keyWords[4], 0u);
    // "*" arrives as a character (key code 38), and goes at its own key-up.
    QTest::keyPress(window.get(), '*');
    QCOMPARE(keyWords[1], 0x02u);
    QTest::keyRelease(window.get(), '*');
    QCOMPARE(keyWords[1], 0x02u);  // a tap between two frames: held until one has seen it
    RunFor(*window, 40);
    QCOMPARE(keyWords[1], 0u);
  }

  void aClickOnASkinKeyShowsItPressedUntilTheRelease() {
    auto window = MakeWindow();
    window->show();
    Screen& screen = window->emulator->screen;
    const int x = 45, y = 495;  // key code 30, the A key: region (29, 484)..(62, 507)
    const uint32_t normal = screen.skinNormal.At(x, y);
    const uint32_t pressed = screen.skinPressed.At(x, y - skin::kPressedTop);
    QVERIFY(normal != pressed);

    QTest::mousePress(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QCOMPARE(window->machine->bus.keyWords[3], 0x01u);
    QCOMPARE(screen.frameBuffer.At(x, y), pressed);
    QCOMPARE(window->screenWidget->Picture().pixel(x, y), pressed);  // what the window shows
    QCOMPARE(QWidget::mouseGrabber(), window->screenWidget);

    // Released outside the window: still a release.
    RunFor(*window, 40);
    QTest::mouseRelease(window->screenWidget, Qt::LeftButton, Qt::NoModifier, QPoint(600, 700));
    QCOMPARE(window->machine->bus.keyWords[3], 0u);
    QCOMPARE(screen.frameBuffer.At(x, y), normal);
    QVERIFY(QWidget::mouseGrabber() == nullptr);
  }

  void debugDialogShowsTheRegisterLineWhileTheEmulationStandsStill() {
    auto window = MakeWindow();
    RunFor(*window, 100);
    bool inspected = false;
    connect(window.get(), &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        auto* debug = qobject_cast<DebugDialog*>(dialog);
        QVERIFY(debug != nullptr);
        const QString line = debug->registerLine->text();
        const QString pc = QString::number(window->machine->cpu.PC, 16).toUpper().rightJustified(4, QLatin1Char('0'));
        QVERIFY2(line.startsWith(QStringLiteral("PC:") + pc + QStringLiteral(" SP:1")), qPrintable(line));
        QVERIFY(line.contains(QStringLiteral("  BANK:")));
        const int frames = window->framesRun;
        RunFor(*window, 500);  // no frame runs while it is open
        QCOMPARE(window->framesRun, frames);
        inspected = true;
        debug->close();
      });
    });
    window->actions[40030]->trigger();
    QVERIFY(inspected);
    const int frames = window->framesRun;
    window->PacingPass();  // closed: the frames go on at once
    QCOMPARE(window->framesRun, frames + 1);
  }

  // The device's program's four filters first, the first chosen, then flash
  // images and everything the program opens; the chosen file's folder
  // becomes the working folder, which exit remembers.
  void theOpenFileDialogHasItsFiltersAndMovesTheWorkingFolder() {
    auto window = MakeWindow();
    std::filesystem::create_directories(Folder() + "texts");
    const std::string txt = Folder() + "texts/memo.txt";
    std::ofstream(txt) << "A MEMO\r\n";
    int opened = 0;
    connect(window.get(), &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        QVERIFY(files != nullptr);
        QCOMPARE(files->nameFilters(), (QStringList{"Bin file (*.bin)", "Txt file(*.txt)", "Skin file (*.ski)",
                                                    "Bas file (*.bas)", "FLASH映像 (*.fls)",
                                                    "全部支持的文件 (*.bin *.txt *.ski *.bas *.fls)"}));
        QCOMPARE(files->selectedNameFilter(), QStringLiteral("Bin file (*.bin)"));
        QVERIFY(files->testOption(QFileDialog::DontUseNativeDialog));
        const int frames = window->framesRun;
        RunFor(*window, 100);
        QCOMPARE(window->framesRun, frames);  // the emulation stands still while it is open
        ++opened;
        files->selectNameFilter(QStringLiteral("Txt file(*.txt)"));
        files->selectFile(QString::fromStdString(txt));
        static_cast<QDialog*>(files)->accept();
      });
    });
    window->actions[40049]->trigger();
    QCOMPARE(opened, 1);
    QCOMPARE(std::filesystem::current_path(), std::filesystem::canonical(Folder() + "texts"));
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

  void closingTheWindowExitsAndWritesTheWorkingFolderBack() {
    auto window = MakeWindow();
    std::filesystem::create_directories(Folder() + "texts");
    std::filesystem::current_path(Folder() + "texts");
    QSignalSpy quit(window.get(), &MainWindow::quitRequested);
    window->show();
    window->close();  // the title bar's close box exits as "退出" does
    QCOMPARE(quit.count(), 1);
    QCOMPARE(ReadProfileString(Folder() + "rq4800.ini", "ROM", "Directory", ""),
             std::filesystem::canonical(Folder() + "texts").string());
  }

  // Keys reach the device whenever no menu is open: a menu opened by mouse
  // or by Alt and Enter, then closed with Esc, hands the keyboard straight
  // back, so the very next Esc is the device's.
  void escReachesTheDeviceAfterAMenuClosedWithEsc() {
    auto window = MakeWindow();
    ShowActive(*window);
    QWindow* handle = window->windowHandle();
    QMenuBar* bar = window->menuBar();
    const uint32_t* keyWords = window->machine->bus.keyWords;
    const uint32_t escWord = 0x08;  // key code 53: row 5, column 3
    const std::function<void()> openMenu[] = {
        [&] { QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(bar->actions()[0]).center()); },
        [&] {
          QTest::keyClick(handle, Qt::Key_Alt, Qt::AltModifier);
          QTest::keyClick(handle, Qt::Key_Return);
        },
    };
    for (const auto& open : openMenu) {
      open();
      QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
      QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
      QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
      // The offscreen platform leaves the closed menu the active window, where
      // a window manager gives the main window back its activation.
      QCoreApplication::processEvents();
      window->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(window.get()));
      QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window->screenWidget));
      QTest::keyPress(handle, Qt::Key_Escape);
      QCOMPARE(keyWords[5], escWord);
      RunFor(*window, 40);  // a frame sees it, so the key-up takes effect at once
      QTest::keyRelease(handle, Qt::Key_Escape);
      QCOMPARE(keyWords[5], 0u);
    }
  }

  void screenshotOfTheBootedFirmware() {
    auto window = MakeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    RunFor(*window, 4000);  // four seconds of device time
    QVERIFY(!window->machine->faulted);
    QVERIFY(!window->FlashChanged());  // booting writes nothing: quitting now asks nothing
    window->Paint();
    const QImage shot = window->grab().toImage();
    const std::filesystem::path artefacts = std::filesystem::path(RQ4800_BINARY_DIR) / "artefacts";
    std::filesystem::create_directories(artefacts);
    QVERIFY(shot.save(QString::fromStdString((artefacts / "window.png").string())));

    // The firmware has drawn on its LCD: the dot field holds set dots.
    const QPoint origin = window->screenWidget->mapTo(window.get(), QPoint(0, 0));
    int dark = 0;
    for (int y = skin::kDotFieldY; y < skin::kDotFieldY + skin::kDotFieldHeight; ++y)
      for (int x = skin::kDotFieldX; x < skin::kDotFieldX + skin::kDotFieldWidth; ++x)
        dark += (shot.pixel(origin + QPoint(x, y)) & 0xFFFFFF) == 0;
    QVERIFY2(dark > 200, qPrintable(QStringLiteral("%1 set dot pixels").arg(dark)));
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::WindowTest)
#include "window_test.moc"
