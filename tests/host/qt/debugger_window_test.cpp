// The debugger window on Qt's offscreen platform: opening it, breakpoints by
// click, steps, edits, and stops that leave the run as it would have been.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>

#include "debugger/debug_texts.h"
#include "host/qt/debugger_panels.h"
#include "host/qt/debugger_window.h"
#include "host/qt/disassembly_view.h"
#include "host/qt/memory_view.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

namespace {

// The same local time for every window, so that two runs can match.
struct FixedTime final : IHostClock {
  LocalTime Now() override { return {2026, 5, 1, 9, 30, 0}; }
};

int IrqHandler(const Machine& m) { return DumpByte(m, 0xFFFE) | DumpByte(m, 0xFFFF) << 8; }

QString Hex4(int value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

class DebuggerWindowTest : public QObject, WindowScratch {
  Q_OBJECT

 private:
  FixedTime time_;

  std::unique_ptr<MainWindow> MakeWindow() {
    return MakeTestWindow(Folder(), clock, false, [this](DesktopOptions& o) { o.hostClock = &time_; });
  }

  // Opens the debugger the way the user does: the item in "设置".
  static DebuggerWindow* OpenFromMenu(MainWindow& window) {
    for (QAction* title : window.menuBar()->actions()) {
      if (title->menu() == nullptr) continue;
      for (QAction* item : title->menu()->actions()) {
        if (item->objectName() == QStringLiteral("openDebugger")) item->trigger();
      }
    }
    return window.debuggerWindow;
  }

  // Main-loop passes until the debugger stops the frames (at most `frames`).
  void RunUntilStopped(MainWindow& window, int frames) {
    for (int i = 0; i < frames * 20 && !window.debuggerWindow->driver.stopped; ++i) RunFor(window, 1);
  }

  void RunUntilFrame(MainWindow& window, uint64_t frame) {
    for (int i = 0; i < 100000 && window.emulator->frameNumber < frame; ++i) RunFor(window, 1);
  }

  // A breakpoint on the IRQ handler, set by clicking its line's margin.
  static void ClickBreakpointOnIrq(DebuggerWindow& debugger) {
    const int irq = IrqHandler(*debugger.driver.emulator.machine);
    debugger.code->address->setText(Hex4(irq));
    debugger.code->ListFromBox();
    QCOMPARE(debugger.code->AddressOfRow(0), irq);
    QTableWidget* table = debugger.code->table;
    const QRect margin = table->visualItemRect(table->item(0, DisassemblyView::kMarginColumn));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, margin.center());
  }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() { End(); }

  // "调试器" follows "调试" in "设置" and opens one non-modal window; the
  // old dialog stays where it was, and the machine runs on meanwhile.
  void opensFromTheSettingsMenuBesideTheOldDialog() {
    auto window = MakeWindow();
    QMenu* settings = nullptr;
    for (QAction* title : window->menuBar()->actions()) {
      if (title->text() == QStringLiteral("设置")) settings = title->menu();
    }
    QVERIFY(settings != nullptr);
    QStringList texts;
    for (QAction* item : settings->actions()) texts << item->text().section(QLatin1Char(' '), 0, 0);
    QCOMPARE(texts.indexOf(QStringLiteral("调试器")), texts.indexOf(QStringLiteral("调试")) + 1);

    DebuggerWindow* debugger = OpenFromMenu(*window);
    QVERIFY(debugger != nullptr);
    QVERIFY(debugger->isVisible());
    QVERIFY(!debugger->isModal());
    QCOMPARE(window->emulator->frameRunner, static_cast<IFrameRunner*>(&debugger->driver));
    QCOMPARE(OpenFromMenu(*window), debugger);  // the same window again
    const uint64_t frame = window->emulator->frameNumber;
    RunFor(*window, 200);
    QVERIFY(window->emulator->frameNumber >= frame + 9);
    QCOMPARE(debugger->status->text(), QStringLiteral("运行中"));
  }

  // A click in the margin sets the breakpoint; the run stops before that
  // instruction, mid-frame, the window says why, the LCD shows that instant;
  // F7 steps one instruction, Shift+F7 out of the handler, F6 runs on.
  void aClickedBreakpointStopsTheRunTheKeysStepAndStatesWait() {
    auto window = MakeWindow();
    RunFor(*window, 1000);
    DebuggerWindow* debugger = OpenFromMenu(*window);
    QVERIFY(QTest::qWaitForWindowExposed(debugger));
    ClickBreakpointOnIrq(*debugger);
    const int irq = IrqHandler(*window->machine);
    QCOMPARE(debugger->driver.debugger().breakpoints.size(), size_t{1});
    QCOMPARE(debugger->driver.debugger().breakpoints[0].address, irq);
    QCOMPARE(debugger->breakList->count(), 1);
    QCOMPARE(debugger->code->table->item(0, 0)->text(), QStringLiteral("●"));

    RunUntilStopped(*window, 5);
    QVERIFY(debugger->driver.stopped);
    QCOMPARE(static_cast<int>(window->machine->cpu.PC), irq);
    QVERIFY(debugger->status->text().startsWith(QStringLiteral("break ") + Hex4(irq)));
    QVERIFY(!AtFrameStart(*window->machine));
    QCOMPARE(debugger->code->table->currentRow(), debugger->code->RowOf(irq));
    const std::vector<uint32_t> shown = window->emulator->screen.frameBuffer.pixels;
    window->emulator->Paint();
    QVERIFY(window->emulator->screen.frameBuffer.pixels == shown);

    const uint64_t frame = window->emulator->frameNumber;
    RunFor(*window, 200);
    QCOMPARE(window->emulator->frameNumber, frame);  // held

    QVERIFY(QTest::qWaitForWindowActive(debugger));
    QTest::keyClick(debugger, Qt::Key_F7);
    QCOMPARE(static_cast<int>(window->machine->cpu.PC), irq + 1);  // PHA is one byte
    QCOMPARE(debugger->registers->boxes[QStringLiteral("PC")]->text(), Hex4(irq + 1));
    const uint32_t sp = window->machine->cpu.SP;
    QTest::keyClick(debugger, Qt::Key_F7, Qt::ShiftModifier);
    QVERIFY(window->machine->cpu.SP > sp);  // out of the handler: its RTI took P and PC
    QVERIFY(debugger->driver.stopped);

    QTest::keyClick(debugger, Qt::Key_F6);
    QVERIFY(!debugger->driver.stopped);
    QCOMPARE(debugger->status->text(), QStringLiteral("运行中"));
    RunUntilStopped(*window, 5);
    QCOMPARE(static_cast<int>(window->machine->cpu.PC), irq);

    // Inside a frame a state cannot be saved (it would not hold the frame's
    // position) and the user's pause leaves the stop alone; closing the
    // debugger runs on at full speed, after which saving works again.
    QVERIFY(!AtFrameStart(*window->machine));
    window->SaveSlot(1);
    const std::string slot = window->emulator->StateSlotPath(1);
    QVERIFY(!std::filesystem::exists(slot));
    QVERIFY(window->statusBar()->currentMessage().contains(QStringLiteral("inside a frame")));
    window->TogglePause();
    window->TogglePause();
    const uint64_t stoppedAt = window->emulator->frameNumber;
    RunFor(*window, 200);
    QCOMPARE(window->emulator->frameNumber, stoppedAt);
    QCOMPARE(static_cast<int>(window->machine->cpu.PC), irq);

    debugger->close();
    QCOMPARE(window->emulator->frameRunner, static_cast<IFrameRunner*>(nullptr));
    RunFor(*window, 200);
    QVERIFY(window->emulator->frameNumber >= stoppedAt + 9);
    window->SaveSlot(1);
    QVERIFY(std::filesystem::exists(slot));
    QCOMPARE(debugger->driver.debugger().breakpoints.size(), size_t{1});  // kept for the next opening
  }

  // Boxes set registers and flags, cells set bytes (through the bus or
  // straight into a chip); a value that does not fit is refused, says why
  // and changes nothing.
  void editsReachTheMachineAndBadValuesChangeNothing() {
    auto window = MakeWindow();
    RunFor(*window, 500);
    DebuggerWindow* debugger = OpenFromMenu(*window);
    debugger->Stop();
    QVERIFY(debugger->driver.stopped);
    Machine& m = *window->machine;

    struct Edit {
      const char* box;
      const char* text;
      uint32_t Cpu6502::*field;
      uint32_t expected;
    };
    const Edit edits[] = {{"A", "5A", &Cpu6502::A, 0x5A}, {"X", "07", &Cpu6502::X, 0x07},
                          {"PC", "E010", &Cpu6502::PC, 0xE010}, {"A", "1FF", &Cpu6502::A, 0x5A},
                          {"A", "zz", &Cpu6502::A, 0x5A}};
    for (const Edit& e : edits) {
      QLineEdit* box = debugger->registers->boxes[QString::fromLatin1(e.box)];
      box->setFocus();
      box->selectAll();
      QTest::keyClicks(box, QString::fromLatin1(e.text));
      QTest::keyClick(box, Qt::Key_Return);
      QCOMPARE(m.cpu.*e.field, e.expected);
    }
    QVERIFY(debugger->status->text().startsWith(QStringLiteral("error: ")));
    QCOMPARE(debugger->registers->boxes[QStringLiteral("A")]->text(), QStringLiteral("5A"));

    const uint32_t p = m.cpu.P;
    debugger->registers->flags[QStringLiteral("C")]->click();
    QCOMPARE(m.cpu.P, p ^ 1u);
    debugger->registers->boxes[QStringLiteral("BANK")]->setText(QStringLiteral("03"));
    debugger->registers->boxes[QStringLiteral("BANK")]->setModified(true);
    emit debugger->registers->boxes[QStringLiteral("BANK")]->editingFinished();
    QCOMPARE(m.bus.ports[0x00] & 0xFF, 3u);

    struct Poke {
      MemoryView::Area area;
      int64_t at;
      const char* text;
      const uint8_t* byte;
      int expected;
    };
    const Poke pokes[] = {{MemoryView::kBus, 0x0300, "A5", &m.bus.ram[0x0300], 0xA5},
                          {MemoryView::kRam, 0x0310, "3C", &m.bus.ram[0x0310], 0x3C},
                          {MemoryView::kFlash, 0x1000, "42", &m.bus.flash[0x1000], 0x42},
                          {MemoryView::kRam, 0x0311, "ZZ", &m.bus.ram[0x0311], m.bus.ram[0x0311]}};
    for (const Poke& poke : pokes) {
      debugger->memory->Show(poke.area, poke.at);
      QCOMPARE(debugger->memory->Start(), poke.at - poke.at % 16);  // whole lines of 16
      QTableWidgetItem* cell = debugger->memory->table->item(0, static_cast<int>(poke.at % 16));
      cell->setText(QString::fromLatin1(poke.text));
      QCOMPARE(int{*poke.byte}, poke.expected);
      QCOMPARE(cell->text(),
               QStringLiteral("%1").arg(poke.expected, 2, 16, QLatin1Char('0')).toUpper());
    }
    QVERIFY(debugger->status->text().contains(QStringLiteral("ZZ")));
  }

  // Stops, steps and runs on in the window end in the very machine and
  // picture an uninterrupted run has at the same frame.
  void aStoppedAndResumedRunMatchesAnUninterruptedOne() {
    auto straight = MakeWindow();
    RunUntilFrame(*straight, 120);
    const std::vector<uint8_t> state = straight->emulator->SaveState();
    straight->Paint();
    const std::vector<uint32_t> picture = straight->emulator->screen.frameBuffer.pixels;
    straight.reset();

    auto window = MakeWindow();
    RunUntilFrame(*window, 60);
    DebuggerWindow* debugger = OpenFromMenu(*window);
    QVERIFY(QTest::qWaitForWindowExposed(debugger));
    ClickBreakpointOnIrq(*debugger);
    for (int stop = 0; stop < 3; ++stop) {
      RunUntilStopped(*window, 5);
      QVERIFY(debugger->driver.stopped);
      debugger->Step(DebugStep::kInto);
      debugger->Step(DebugStep::kOver);
      debugger->RunOn();
    }
    debugger->Command(QStringLiteral("delete ") + Hex4(IrqHandler(*window->machine)));
    RunUntilFrame(*window, 120);
    QCOMPARE(window->emulator->frameNumber, uint64_t{120});
    QVERIFY(window->emulator->SaveState() == state);
    window->Paint();
    QVERIFY(window->emulator->screen.frameBuffer.pixels == picture);
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::DebuggerWindowTest)
#include "debugger_window_test.moc"
