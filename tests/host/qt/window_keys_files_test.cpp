// The desktop window's key map, recent files, open-file dialog, flash images
// opened as files, and the one-program-per-data-folder rule, offscreen.
#include <QLockFile>
#include <QSysInfo>
#include <QTableWidget>

#include "host/qt/key_dialog.h"
#include "host/qt/menu_table.h"
#include "host/skin_layout.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

namespace {

constexpr size_t kFlashBytes = 524288;

std::vector<uint8_t> FlashOf(const MainWindow& window) {
  const uint8_t* flash = window.machine->bus.flash.get();
  return {flash, flash + kFlashBytes};
}

// Clicks the button of that text on the next message box to appear, even
// one run before any window exists to announce it. The watch ends with the
// answer (or when the returned timer is deleted).
QTimer* AnswerNextMessageBox(const QString& button, QStringList* seen = nullptr) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, button, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    if (seen) *seen << box->text();
    timer->deleteLater();
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == button) {
        b->click();
        return;
      }
    }
    box->reject();
  });
  timer->start();
  return timer;
}

}  // namespace

class KeysFilesTest : public QObject, WindowScratch {
  Q_OBJECT

 private:
  std::string Ini() const { return Folder() + "rq4800.ini"; }

  // Runs the key dialog through the window, doing `edit` while it is open;
  // returns whether the window took a new map.
  bool EditKeys(MainWindow& window, const std::function<void(KeyDialog&)>& edit) {
    bool accepted = false;
    auto connection = QObject::connect(&window, &MainWindow::dialogOpened, &window, [&](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [&, dialog] {
        auto* keys = qobject_cast<KeyDialog*>(dialog);
        QVERIFY(keys != nullptr);
        edit(*keys);
        keys->okButton->click();
        accepted = keys->result() == QDialog::Accepted;
        if (!accepted) keys->reject();
      });
    });
    window.OpenKeyDialog();
    QObject::disconnect(connection);
    return accepted;
  }

  static void Capture(KeyDialog& dialog, int keyCode, int qtKey, bool add = false) {
    dialog.table->selectRow(KeyDialog::RowOfKeyCode(keyCode));
    dialog.StartCapture(add);
    QTest::keyClick(&dialog, static_cast<Qt::Key>(qtKey));
  }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() { End(); }

  // Device key 20 moved to F6: F6 presses it and shows it pressed on the
  // skin until its release; Q presses nothing; the settings keep the change.
  void aRemappedKeyReachesTheDeviceAndShowsPressed() {
    auto window = MakeTestWindow(Folder(), clock);
    QVERIFY(EditKeys(*window, [](KeyDialog& d) { Capture(d, 20, Qt::Key_F6); }));
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("按键设置已保存"));
    QVERIFY(ReadAll(Ini()).find("K20=F6\n") != std::string::npos);

    uint32_t* keyWords = window->machine->bus.keyWords;
    const Screen& screen = window->emulator->screen;
    const int x = 45, y = 462;  // inside key 20's region (29, 451)..(62, 474)
    QVERIFY(screen.skinNormal.At(x, y) != screen.skinPressed.At(x, y - skin::kPressedTop));
    QTest::keyPress(window.get(), Qt::Key_Q);
    QCOMPARE(keyWords[2], 0u);
    QCOMPARE(screen.frameBuffer.At(x, y), screen.skinNormal.At(x, y));
    QTest::keyRelease(window.get(), Qt::Key_Q);
    QTest::keyPress(window.get(), Qt::Key_F6);
    QCOMPARE(keyWords[2], 0x01u);
    QCOMPARE(screen.frameBuffer.At(x, y), screen.skinPressed.At(x, y - skin::kPressedTop));
    RunFor(*window, 40);
    QTest::keyRelease(window.get(), Qt::Key_F6);
    QCOMPARE(keyWords[2], 0u);
    QCOMPARE(screen.frameBuffer.At(x, y), screen.skinNormal.At(x, y));

    // The next start reads the map back; defaults restored are kept as well.
    window.reset();
    window = MakeTestWindow(Folder(), clock);
    QCOMPARE(MappedKeyCode(window->emulator->keyMap, HostKey::kF6), 20);
    QVERIFY(EditKeys(*window, [](KeyDialog& d) { d.RestoreDefaults(); }));
    QCOMPARE(window->emulator->keyMap.keyCode, DefaultKeyMap().keyCode);
    const std::string ini = ReadAll(Ini());
    QVERIFY(ini.find("K20=Q\n") != std::string::npos);
    QVERIFY(ini.find("K44=B,1\n") != std::string::npos);
  }

  // One PC key on two device keys is marked and refused; keys the window
  // uses cannot be chosen at all.
  void conflictsAreShownAndNotAccepted() {
    auto window = MakeTestWindow(Folder(), clock);
    const std::string iniBefore = ReadAll(Ini());
    QVERIFY(!EditKeys(*window, [](KeyDialog& d) {
      Capture(d, 21, Qt::Key_Q, true);  // W's key also on Q, which key 20 has
      QCOMPARE(d.ConflictRows(), (QList<int>{KeyDialog::RowOfKeyCode(20), KeyDialog::RowOfKeyCode(21)}));
      QVERIFY(!d.okButton->isEnabled());
      QVERIFY(d.message->text().contains(QStringLiteral("Q")));
      d.accept();
      QVERIFY(d.isVisible());
      QCOMPARE(d.result(), int(QDialog::Rejected));

      // Window keys and combinations are refused, and the capture goes on.
      d.table->selectRow(KeyDialog::RowOfKeyCode(30));
      d.StartCapture(false);
      for (auto [key, modifiers] : {std::pair{Qt::Key_F5, Qt::NoModifier}, std::pair{Qt::Key_F11, Qt::NoModifier},
                                    std::pair{Qt::Key_Backspace, Qt::NoModifier},
                                    std::pair{Qt::Key_A, Qt::ControlModifier}}) {
        QTest::keyClick(&d, key, modifiers);
        QVERIFY(d.Capturing());
      }
      QVERIFY(d.message->text().contains(QStringLiteral("不能选用")));
      QTest::keyClick(&d, Qt::Key_Escape);  // Esc is a device key, so it is taken, not a cancel
      QVERIFY(!d.Capturing());
      QVERIFY(d.isVisible());
      QCOMPARE(KeysEntryValue(d.assignments, 30), std::string("Esc"));
    }));
    QCOMPARE(window->emulator->keyMap.keyCode, DefaultKeyMap().keyCode);
    QCOMPARE(ReadAll(Ini()), iniBefore);
  }

  // The last ten files downloaded, most recent first, kept in the settings;
  // one that has gone is dropped with a message when chosen.
  void recentFilesListTheLastTenAndDropMissingOnes() {
    auto window = MakeTestWindow(Folder(), clock);
    std::vector<std::string> files;
    for (int i = 1; i <= 12; ++i) {
      files.push_back(Folder() + "n" + std::to_string(i) + ".txt");
      std::ofstream(files.back()) << "note " << i;
      window->LoadFile(files.back());
    }
    window->LoadFile(Folder() + "missing.txt");  // a failed download is not remembered
    window->LoadFile(files[5]);                  // again: moves to the top, not in twice

    auto menuPaths = [](const MainWindow& w) {
      QStringList paths;
      for (QAction* a : w.recentMenu->actions()) paths << a->data().toString();
      return paths;
    };
    QStringList want{QString::fromStdString(files[5])};
    for (int i = 11; i >= 2; --i) {  // n3..n12 are the last ten; n6 was loaded again
      if (i != 5) want << QString::fromStdString(files[static_cast<size_t>(i)]);
    }
    QCOMPARE(menuPaths(*window), want);
    // Placed right after "文件下载...".
    QMenu* fileMenu = qobject_cast<QMenu*>(window->actions[command::kDownload]->parent());
    const QList<QAction*> items = fileMenu->actions();
    QCOMPARE(items.at(items.indexOf(window->actions[command::kDownload]) + 1), window->recentMenu->menuAction());

    std::filesystem::remove(files[11]);
    window->recentMenu->actions().at(1)->trigger();
    QVERIFY(window->statusBar()->currentMessage().contains(QStringLiteral("已不存在")));
    want.removeAt(1);
    QCOMPARE(menuPaths(*window), want);

    window.reset();
    window = MakeTestWindow(Folder(), clock);
    QCOMPARE(menuPaths(*window), want);
    window->recentMenu->actions().at(2)->trigger();  // a file still there downloads again
    QCOMPARE(window->recentMenu->actions().at(0)->data().toString(), want.at(2));
  }

  // A ".fls" opened is checked first, and a flash the image file lacks is
  // offered a save; cancelling or a bad file changes nothing.
  void aFlashImageFileIsCheckedAndAskedAboutBeforeItReplacesTheFlash() {
    auto window = MakeTestWindow(Folder(), clock);
    DialogAnswers answers({QStringLiteral("取消"), QStringLiteral("不保存"), QStringLiteral("保存")});
    answers.Attach(*window);
    const std::string good = Folder() + "other.fls", shortFile = Folder() + "short.fls";
    std::vector<char> image(kFlashBytes);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 13 + 5);
    std::ofstream(good, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    std::ofstream(shortFile, std::ios::binary) << "too short";
    const std::vector<uint8_t> wanted(image.begin(), image.end());

    // Unchanged flash: no question, loaded at once; the image file is not written.
    QVERIFY(window->LoadFile(good).contains(QStringLiteral("已载入")));
    QCOMPARE(FlashOf(*window), wanted);
    QCOMPARE(answers.asked.size(), size_t{0});
    QVERIFY(!std::filesystem::exists(Folder() + "data/rq4800.fls"));
    QVERIFY(window->FlashChanged());

    // A bad file: nothing asked, nothing changed.
    QVERIFY(window->LoadFile(shortFile).contains(QStringLiteral("FLASH未改动")));
    QCOMPARE(answers.asked.size(), size_t{0});
    QCOMPARE(FlashOf(*window), wanted);

    // Changed flash: cancel keeps it; don't save loads; save writes first.
    window->machine->bus.flash[10] ^= 0x5A;
    const std::vector<uint8_t> changed = FlashOf(*window);
    QVERIFY(window->LoadFile(good).contains(QStringLiteral("未载入")));
    QCOMPARE(FlashOf(*window), changed);
    QVERIFY(window->LoadFile(good).contains(QStringLiteral("已载入")));
    QCOMPARE(FlashOf(*window), wanted);
    window->machine->bus.flash[10] ^= 0x5A;
    QVERIFY(window->LoadFile(good).contains(QStringLiteral("已载入")));
    QCOMPARE(answers.asked.size(), size_t{3});
    QCOMPARE(answers.asked[0].defaultButton, QStringLiteral("保存"));
    const std::string saved = ReadAll(Folder() + "data/rq4800.fls");
    QCOMPARE(std::vector<uint8_t>(saved.begin(), saved.end()), changed);
    QCOMPARE(FlashOf(*window), wanted);
    QVERIFY(window->FlashChanged());  // the image file holds the flash saved, not the one loaded
    QCOMPARE(window->recentFiles.paths.front(), good);
  }

  // A second window on the same data folder learns of the first; read-only
  // it writes neither the flash image, a state, nor the settings.
  void aSecondProgramOnTheDataFolderRunsReadOnlyOrQuits() {
    auto first = MakeTestWindow(Folder(), clock);
    QVERIFY(!first->readOnly);
    QStringList seen;
    AnswerNextMessageBox(QStringLiteral("退出"), &seen);
    auto quitting = MakeTestWindow(Folder(), clock, true);
    QVERIFY(quitting->quitAtStart);
    QCOMPARE(seen.size(), 1);
    QVERIFY(seen.first().contains(QStringLiteral("另一个模拟器")));
    quitting.reset();

    const std::string iniBefore = ReadAll(Ini());
    AnswerNextMessageBox(QStringLiteral("只读打开"));
    auto second = MakeTestWindow(Folder(), clock, true);
    QVERIFY(second->readOnly && !second->quitAtStart);
    QVERIFY(second->windowTitle().contains(QStringLiteral("只读")));
    QVERIFY(second->findChild<QLabel*>(QStringLiteral("readOnly")) != nullptr);
    const std::string iniAfterStart = ReadAll(Ini());
    QCOMPARE(iniAfterStart, iniBefore);
    // The picture and sound choices apply to this run only.
    second->SetScale(2);
    second->SetMute(true);
    QCOMPARE(ReadAll(Ini()), iniBefore);

    second->machine->bus.flash[10] ^= 0x5A;
    QVERIFY(!second->SaveFlash());
    second->SaveSlot(1);
    QVERIFY(!std::filesystem::exists(Folder() + "data/rq4800.fls"));
    QVERIFY(!std::filesystem::exists(second->emulator->StateSlotPath(1)));
    // Quitting asks only whether to drop the changes, and writes nothing.
    DialogAnswers answers({QStringLiteral("退出")});
    answers.Attach(*second);
    second->RunCommand(command::kExit);
    QCOMPARE(answers.asked.size(), size_t{1});
    QVERIFY(!answers.asked[0].buttons.contains(QStringLiteral("保存")));
    QCOMPARE(ReadAll(Ini()), iniAfterStart);
    QVERIFY(!std::filesystem::exists(Folder() + "data/rq4800.fls"));
    second.reset();

    // With the first gone, the folder is free again: no question.
    first.reset();
    auto third = MakeTestWindow(Folder(), clock);
    QVERIFY(!third->readOnly);
  }

  // A lock held by any holder (here one taken directly) is seen as well, one
  // left by a dead program is not, and --read-only takes no lock and asks nothing.
  void aHeldLockIsSeenAndReadOnlyAsksNothing() {
    std::filesystem::create_directories(Folder() + "data");
    QLockFile held(QString::fromStdString(Folder() + "data/rq4800.lock"));
    QVERIFY(held.tryLock(0));
    AnswerNextMessageBox(QStringLiteral("只读打开"));
    auto window = MakeTestWindow(Folder(), clock);
    QVERIFY(window->readOnly);
    window.reset();
    held.unlock();

    // The lock of a program that died (its process is gone) is taken over without a question.
    std::ofstream(Folder() + "data/rq4800.lock")
        << "4194301\nrq4800\n" << QSysInfo::machineHostName().toStdString() << "\n";
    QStringList asked;
    QTimer* watch = AnswerNextMessageBox(QStringLiteral("退出"), &asked);  // a question would fail, not hang
    window = MakeTestWindow(Folder(), clock, true);
    if (asked.isEmpty()) delete watch;
    QVERIFY(asked.isEmpty());
    QVERIFY(!window->readOnly && !window->quitAtStart);
    window.reset();

    window = MakeTestWindow(Folder(), clock, true, [](DesktopOptions& o) { o.readOnly = true; });
    QVERIFY(window->readOnly);
    QVERIFY(!std::filesystem::exists(Folder() + "data/rq4800.lock"));
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::KeysFilesTest)
#include "window_keys_files_test.moc"
