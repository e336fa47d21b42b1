// The window's "状态" menu and keys on Qt's offscreen platform: state slots,
// pause, frame advance and rewind, paced by a fake clock.
#include <QRegularExpression>

#include "host/qt/key_map.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

class WindowStatesTest : public QObject, WindowScratch {
  Q_OBJECT

  std::unique_ptr<MainWindow> MakeActiveWindow() {
    auto window = MakeTestWindow(Folder(), clock);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) return nullptr;
    return window;
  }

  static std::vector<uint8_t> Ram(const MainWindow& window) {
    const uint8_t* ram = window.machine->bus.ram.get();
    return {ram, ram + BusRQ4800::kRamSize};
  }

  static bool NoDeviceKeyDown(const MainWindow& window) {
    return std::ranges::all_of(window.machine->bus.keyWords, [](uint32_t word) { return word == 0; });
  }

  static QString Status(const MainWindow& window) { return window.statusBar()->currentMessage(); }
  static QString RunState(const MainWindow& window) { return window.runStateLabel->text(); }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() { End(); }

  // Ctrl+digit saves, Alt+digit loads: the machine is back at the saved
  // moment, and neither key reached the device.
  void aSlotSavedByCtrlIsLoadedBackByAltAndTheMenusShowIt() {
    auto window = MakeActiveWindow();
    QVERIFY(window != nullptr);
    RunFor(*window, 1000);
    QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier);
    const std::string path = window->emulator->StateSlotPath(3);
    QCOMPARE(path, Folder() + "data/rq4800-3.state");
    QCOMPARE(Status(*window), QStringLiteral("状态 3 已保存: %1").arg(QString::fromStdString(path)));
    QVERIFY(NoDeviceKeyDown(*window));
    const std::vector<uint8_t> saved = Ram(*window);

    RunFor(*window, 1000);
    QVERIFY(Ram(*window) != saved);
    QTest::keyClick(window.get(), Qt::Key_3, Qt::AltModifier);
    QCOMPARE(Status(*window), QStringLiteral("已读取状态 3"));
    QVERIFY(Ram(*window) == saved);
    QVERIFY(NoDeviceKeyDown(*window));

    // The menus show each slot's time and picture when they open; an empty
    // slot cannot be loaded from the menu.
    window->SaveSlot(2);
    emit window->loadMenu->aboutToShow();
    const QList<QAction*> loads = window->loadMenu->actions(), saves = window->saveMenu->actions();
    QCOMPARE(loads.size(), 9);
    const QRegularExpression used(QStringLiteral("^状态2  \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d    Alt\\+2$"));
    QVERIFY2(used.match(loads[1]->text()).hasMatch(), qPrintable(loads[1]->text()));
    QVERIFY(!loads[1]->icon().isNull());
    QVERIFY(loads[1]->isEnabled());
    QCOMPARE(loads[0]->text(), QStringLiteral("状态1  空    Alt+1"));
    QVERIFY(!loads[0]->isEnabled());
    QCOMPARE(saves[0]->text(), QStringLiteral("状态1  空    Ctrl+1"));
    QVERIFY(saves[0]->isEnabled());  // saving into an empty slot is what it is for
  }

  // A slot file that is not a whole state of ours is refused with its
  // reason, and the machine runs on as it was.
  void aBadSlotFileIsRefusedAndChangesNothing() {
    auto window = MakeTestWindow(Folder(), clock);
    RunFor(*window, 500);
    const std::string path = window->emulator->StateSlotPath(4);
    const struct {
      const char* content;
      const char* says;
    } rows[] = {{"no state at all", "not a save state"}, {nullptr, "rq4800-4.state"}};
    for (const auto& row : rows) {
      std::filesystem::remove(path);
      if (row.content != nullptr) std::ofstream(path) << row.content;
      const std::vector<uint8_t> ram = Ram(*window);
      const uint64_t frame = window->emulator->frameNumber;
      window->LoadSlot(4);
      const QString status = Status(*window);
      QVERIFY2(status.startsWith(QStringLiteral("读取状态 4 失败: ")), qPrintable(status));
      QVERIFY2(status.contains(QString::fromLatin1(row.says)), qPrintable(status));
      QVERIFY(Ram(*window) == ram);
      QCOMPARE(window->emulator->frameNumber, frame);
    }
  }

  // Ctrl+P stops the frames (and says so), Ctrl+N then runs exactly one per
  // press, Ctrl+P again goes on; the menu item shows the pause too.
  void pauseStopsTheFramesAndFrameAdvanceRunsOne() {
    auto window = MakeActiveWindow();
    QVERIFY(window != nullptr);
    RunFor(*window, 200);
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(window->emulator->paused);
    QVERIFY(window->pauseAction->isChecked());
    QCOMPARE(RunState(*window), QStringLiteral("暂停"));
    const uint64_t frame = window->emulator->frameNumber;
    RunFor(*window, 500);
    QCOMPARE(window->emulator->frameNumber, frame);
    for (uint64_t press = 1; press <= 3; ++press) {
      QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
      QCOMPARE(window->emulator->frameNumber, frame + press);
      RunFor(*window, 100);
      QCOMPARE(window->emulator->frameNumber, frame + press);
    }
    QVERIFY(NoDeviceKeyDown(*window));
    QTest::keyClick(window.get(), Qt::Key_Pause);
    QVERIFY(!window->emulator->paused);
    QCOMPARE(RunState(*window), QString());
    RunFor(*window, 200);
    QVERIFY(window->emulator->frameNumber >= frame + 3 + 10);
  }

  // Backspace held runs the emulation backwards, a tenth of a second a
  // frame period; released, it runs on from there.
  void backspaceHeldRewindsAndReleasedRunsOn() {
    auto window = MakeActiveWindow();
    QVERIFY(window != nullptr);
    RunFor(*window, 3000);
    const uint64_t before = window->emulator->frameNumber;
    QVERIFY(before >= 150);
    QTest::keyPress(window.get(), Qt::Key_Backspace);
    QCOMPARE(RunState(*window), QStringLiteral("倒带"));
    RunFor(*window, 200);  // ten frame periods: ten steps of five frames
    // The platform's auto-repeat presses again; rewinding goes on.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"), true);
    QApplication::sendEvent(window.get(), &repeat);
    const uint64_t rewound = window->emulator->frameNumber;
    QVERIFY2(rewound < before && rewound + 60 >= before, qPrintable(QString::number(before - rewound)));
    RunFor(*window, 200);
    QVERIFY(window->emulator->frameNumber < rewound);
    QVERIFY(NoDeviceKeyDown(*window));

    QTest::keyRelease(window.get(), Qt::Key_Backspace);
    QCOMPARE(RunState(*window), QString());
    const uint64_t released = window->emulator->frameNumber;
    RunFor(*window, 200);
    QVERIFY(window->emulator->frameNumber > released);
  }

  // A dialog opening takes the Backspace release away from the window, so
  // it ends the rewind; a window started with --no-rewind has nothing to
  // rewind through.
  void aDialogEndsTheRewindAndNoRewindKeepsNoHistory() {
    auto window = MakeActiveWindow();
    QVERIFY(window != nullptr);
    RunFor(*window, 1000);
    QTest::keyPress(window.get(), Qt::Key_Backspace);
    QVERIFY(window->emulator->rewinding);
    bool seen = false;
    connect(window.get(), &MainWindow::dialogOpened, this, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        seen = !window->emulator->rewinding;
        dialog->reject();
      });
    });
    window->actions[40054]->trigger();  // 关于
    QVERIFY(seen);
    QCOMPARE(RunState(*window), QString());

    window.reset();
    auto plain = MakeTestWindow(Folder(), clock, true, [](DesktopOptions& o) { o.rewind = false; });
    RunFor(*plain, 1000);
    QCOMPARE(plain->emulator->rewind.Size(), size_t{0});
    const uint64_t frame = plain->emulator->frameNumber;
    plain->emulator->StartRewind();
    RunFor(*plain, 200);
    QCOMPARE(plain->emulator->frameNumber, frame);
  }

  // The window's own combinations never map to a device key, and their
  // neighbours still do.
  void theWindowsCombinationsAreNoDeviceKeys() {
    const struct {
      int key;
      Qt::KeyboardModifiers modifiers;
      HostKey expected;
    } rows[] = {
        {Qt::Key_1, Qt::ControlModifier, HostKey::kNone},  {Qt::Key_9, Qt::AltModifier, HostKey::kNone},
        {Qt::Key_P, Qt::ControlModifier, HostKey::kNone},  {Qt::Key_N, Qt::ControlModifier, HostKey::kNone},
        {Qt::Key_Backspace, Qt::NoModifier, HostKey::kNone}, {Qt::Key_Pause, Qt::NoModifier, HostKey::kNone},
        {Qt::Key_1, Qt::NoModifier, HostKey::k1},          {Qt::Key_P, Qt::NoModifier, HostKey::kP},
        {Qt::Key_0, Qt::ControlModifier, HostKey::k0},     {Qt::Key_N, Qt::AltModifier, HostKey::kN},
    };
    for (const auto& row : rows) QCOMPARE(HostKeyFromQt(row.key, row.modifiers), row.expected);
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::WindowStatesTest)
#include "window_states_test.moc"
