// The desktop window's care for the user's flash and its reports, offscreen;
// its command line and the About dialog's README.
#include <QProcess>
#include <QTextBrowser>

#include "core/debug_log.h"
#include "host/qt/about_dialog.h"
#include "host/qt/log_window.h"
#include "machine/resource_store.h"
#include "tests/host/qt/window_fixture.h"

namespace rq4800 {

class FlashQuestionsTest : public QObject, WindowScratch {
  Q_OBJECT

 private:
  std::string Image() const { return Folder() + "data/rq4800.fls"; }

  // A fresh program folder, for tests that start several windows.
  void NewFolder() {
    End();
    QVERIFY(Begin());
  }

 private slots:
  void init() { QVERIFY(Begin()); }
  void cleanup() { End(); }

  // Quitting by the close box or by "退出": a changed flash is asked about
  // (save by default), an unchanged one is not; cancel keeps the window, and
  // only "保存" writes the image.
  void quittingAsksAboutAChangedFlashOnly() {
    struct Row {
      const char* name;
      bool change;      // a download changes the flash first
      bool byMenu;      // "退出" rather than the close box
      QString answer;   // empty: Enter, the default
      bool quits;
      bool written;
    };
    const Row rows[] = {
        {"unchanged", false, false, {}, true, false},
        {"unchanged by menu", false, true, {}, true, false},
        {"cancel", true, false, QStringLiteral("取消"), false, false},
        {"don't save", true, true, QStringLiteral("不保存"), true, false},
        {"save", true, false, QStringLiteral("保存"), true, true},
        {"Enter saves", true, true, {}, true, true},
    };
    for (const Row& row : rows) {
      NewFolder();
      auto window = MakeTestWindow(Folder(), clock);
      DialogAnswers answers({row.answer});
      answers.Attach(*window);
      QSignalSpy quit(window.get(), &MainWindow::quitRequested);
      window->show();
      if (row.change) {
        std::ofstream(Folder() + "memo.txt") << "KEEP ME\r\n";
        window->LoadFile(Folder() + "memo.txt");
      }
      if (row.byMenu) {
        window->actions[40001]->trigger();
      } else {
        window->close();
      }
      QVERIFY2(quit.count() == (row.quits ? 1 : 0), row.name);
      QVERIFY2(row.quits || window->isVisible(), row.name);
      QVERIFY2(std::filesystem::exists(Image()) == row.written, row.name);
      QCOMPARE(answers.asked.size(), size_t{row.change ? 1u : 0u});
      if (!row.change) continue;
      const Question& asked = answers.asked[0];
      QVERIFY(asked.text.startsWith(QStringLiteral("FLASH已修改，是否保存？")));
      QCOMPARE(asked.buttons, QStringList({"不保存", "保存", "取消"}));  // sorted: the platform orders them
      QCOMPARE(asked.defaultButton, QStringLiteral("保存"));
      if (row.written) {
        const std::string image = ReadAll(Image());
        QVERIFY(image.size() == 524288 && image.find("KEEP ME") != std::string::npos);
      }
    }
  }

  // The question is about the image file: a save answers it, a change undone
  // (a ".fls" of what was saved) needs none, "初始化FLASH" raises it again.
  void theQuestionFollowsTheImageFile() {
    auto window = MakeTestWindow(Folder(), clock);
    DialogAnswers answers({QStringLiteral("初始化"), QStringLiteral("不保存")});
    answers.Attach(*window);
    QVERIFY(!window->FlashChanged());
    window->machine->bus.flash[4096] ^= 0xFF;
    QVERIFY(window->FlashChanged());
    QVERIFY(window->SaveFlash());
    QVERIFY(!window->FlashChanged());
    window->actions[40052]->trigger();  // the default image, but not on disk
    QVERIFY(window->FlashChanged());
    std::filesystem::copy_file(Image(), Folder() + "saved.fls");
    window->LoadFile(Folder() + "saved.fls");  // asked first: the default image is not on disk
    QCOMPARE(answers.asked.size(), size_t{2});
    QVERIFY(!window->FlashChanged());
  }

  void aFailedSaveIsShownInFullAndKeepsTheWindowOpen() {
    DebugLogCapture stdoutStandIn;
    auto window = MakeTestWindow(Folder(), clock);
    // The data directory has become a plain file: no save can succeed.
    std::filesystem::remove_all(Folder() + "data");
    std::ofstream(Folder() + "data") << "x";
    DialogAnswers answers({QStringLiteral("确定"), QStringLiteral("保存"), QStringLiteral("确定")});
    answers.Attach(*window);
    QSignalSpy quit(window.get(), &MainWindow::quitRequested);
    ShowActive(*window);

    window->machine->bus.flash[0] ^= 0xFF;
    QTest::keyClick(window.get(), Qt::Key_F5);
    QCOMPARE(answers.asked.size(), size_t{1});
    QVERIFY(answers.asked[0].text.startsWith(QStringLiteral("保存FLASH失败")));
    // The whole reason, which names the directory, is in the box and the log.
    const QString directory = QString::fromStdString(Folder() + "data");
    QVERIFY2(answers.asked[0].text.contains(directory), qPrintable(answers.asked[0].text));
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("问题: 保存FLASH失败")));
    QVERIFY(window->logWindow->toPlainText().contains(directory));

    // At close: "保存" fails, the user is told, and the window stays.
    window->close();
    QCOMPARE(answers.asked.size(), size_t{3});
    QVERIFY(answers.asked[2].text.startsWith(QStringLiteral("保存FLASH失败")));
    QCOMPARE(quit.count(), 0);
    QVERIFY(window->isVisible());
    QVERIFY(window->FlashChanged());
  }

  void initialiseFlashAsksFirstAndDefaultsToNo() {
    DebugLogCapture log;
    auto window = MakeTestWindow(Folder(), clock);
    DialogAnswers answers({QString(), QStringLiteral("取消"), QStringLiteral("初始化")});
    answers.Attach(*window);
    uint8_t* flash = window->machine->bus.flash.get();
    flash[0x20000] = 0x42;  // something of the user's
    window->actions[40052]->trigger();  // Enter: the default, no
    window->actions[40052]->trigger();
    QCOMPARE(flash[0x20000], uint8_t{0x42});
    QVERIFY(log.text.find("cold reset") == std::string::npos);
    QCOMPARE(answers.asked[0].defaultButton, QStringLiteral("取消"));
    QCOMPARE(answers.asked[0].buttons, QStringList({"初始化", "取消"}));  // sorted

    window->actions[40052]->trigger();
    const std::span<const uint8_t> defaults = window->emulator->resources.Find(resource::kDefaultFlash);
    QVERIFY(std::equal(defaults.begin(), defaults.end(), flash));
    QVERIFY(log.text.find("cold reset\n") != std::string::npos);
    QCOMPARE(answers.asked.size(), size_t{3});
  }

  // A problem met during start-up waits for the window; one met later shows at
  // once. Both reach the status bar (first line), the log window (whole) and
  // standard error, and the log window does not take the keys.
  void problemsShowInTheStatusBarAndTheLogWindow() {
    ProblemCapture standardError;
    std::ofstream(Folder() + "data") << "in the way";  // start-up cannot make the data directory
    auto window = MakeTestWindow(Folder(), clock);
    QVERIFY(standardError.text.find("cannot create the data directory") != std::string::npos);
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("问题: cannot create the data directory")));
    QVERIFY(window->logWindow != nullptr && !window->logWindow->isVisible());
    ShowActive(*window);
    QVERIFY(window->logWindow->isVisible());

    ReportProblem("%s holds 12 bytes, not 4194304\nthe built-in image is used\n", "rom0.bin");
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("问题: rom0.bin holds 12 bytes, not 4194304"));
    QVERIFY(window->logWindow->toPlainText().contains(QStringLiteral("not 4194304\nthe built-in image is used")));
    QVERIFY(standardError.text.find("the built-in image is used") != std::string::npos);
    QVERIFY(window->logWindow->testAttribute(Qt::WA_ShowWithoutActivating));
    QTest::keyPress(window->windowHandle(), Qt::Key_A);
    QCOMPARE(window->machine->bus.keyWords[3], 0x01u);
    QTest::keyRelease(window->windowHandle(), Qt::Key_A);
  }

  // Files named on the command line are downloaded in their order; a
  // program among them is started, one downloaded by the menu is not.
  void filesFromTheCommandLineAreDownloadedAndAProgramStarted() {
    auto window = MakeTestWindow(Folder(), clock);
    std::ofstream(Folder() + "a.txt") << "FIRST\r\n";
    std::ofstream(Folder() + "b.xyz") << "?";
    window->LoadFiles({Folder() + "a.txt", Folder() + "missing.bas", Folder() + "b.xyz"});
    const QString status = window->statusBar()->currentMessage();
    QVERIFY2(status.startsWith(QStringLiteral("a.txt: stored; missing.bas: ")) && status.contains("; b.xyz: "),
             qPrintable(status));

    std::string image(0x40, '\0');
    image.replace(0, 4, "RQPG");
    image[4] = 1, image[5] = 1, image[6] = 0x20, image[7] = char(0x80), image[9] = 0x30, image[0x20] = 0x60;
    std::ofstream(Folder() + "prog.bin", std::ios::binary) << image;
    uint8_t& request = window->machine->bus.ram[0x0474];  // the firmware's launch request
    window->LoadFile(Folder() + "prog.bin");
    QCOMPARE(int(request), 0);
    QVERIFY(!window->statusBar()->currentMessage().contains(QStringLiteral("starts")));
    window->LoadFiles({Folder() + "prog.bin"});
    QCOMPARE(int(request), 0x5A);
    QVERIFY2(window->statusBar()->currentMessage() == QStringLiteral("prog.bin: stored; Files starts it"),
             qPrintable(window->statusBar()->currentMessage()));
    // What is not a program is downloaded as before, and starts nothing.
    request = 0;
    window->LoadFiles({Folder() + "a.txt"});
    QCOMPARE(int(request), 0);
    QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("a.txt: stored")));
  }

  void theCommandLineRefusesWhatItCannotUse() {
    struct Row {
      std::vector<const char*> arguments;
      bool stop;
      int exitCode;
      const char* saying;  // in the output or the error
    };
    const Row rows[] = {
        {{"--help"}, true, 0, "--exit-after"},
        {{"--help"}, true, 0, "--no-rewind"},
        {{"--help"}, true, 0, "--read-only"},
        {{"--no-rewind", "yes"}, false, 0, ""},  // a flag takes no value: "yes" is a file
        {{"--version"}, true, 0, "0.1"},
        {{"--exit-after", "abc"}, true, 2, "abc"},
        {{"--exit-after", "-5"}, true, 2, "-5"},
        {{"--exit-after", "0"}, true, 2, "--exit-after"},
        {{"--exit-after"}, true, 2, "--exit-after"},
        {{"--bogus"}, true, 2, "--bogus"},
        {{"--exit-after", "14"}, false, 0, ""},
        {{"--scale", "5"}, true, 2, "--scale"},
        {{"--scale", "0"}, true, 2, "--scale"},
        {{"--scale", "two"}, true, 2, "--scale"},
        {{"--scale", "1"}, false, 0, ""},
    };
    for (const Row& row : rows) {
      const DesktopCommandLine parsed = ParseArguments(row.arguments);
      const std::string said = parsed.output + parsed.error;
      QVERIFY2(parsed.stop == row.stop && parsed.exitCode == row.exitCode, row.arguments[0]);
      QVERIFY2(said.find(row.saying) != std::string::npos, said.c_str());
      QVERIFY2(parsed.exitCode == 0 || parsed.output.empty(), said.c_str());  // refusals go to standard error
    }
    // Files are taken from the folder the program was started in, which
    // start-up then leaves.
    std::filesystem::current_path(Folder());
    const DesktopCommandLine parsed = ParseArguments({"--exit-after", "3", "notes.txt", "sub/../prog.bas"});
    QCOMPARE(parsed.exitAfterSeconds, 3);
    QVERIFY(parsed.rewind && !parsed.readOnly);  // kept unless asked otherwise
    QVERIFY(!ParseArguments({"--no-rewind"}).rewind);
    QVERIFY(ParseArguments({"--read-only"}).readOnly);
    QVERIFY(parsed.scale == 0 && !parsed.fullScreen);  // the settings' scale, in a window
    const DesktopCommandLine big = ParseArguments({"--scale", "3", "--fullscreen"});
    QVERIFY(big.scale == 3 && big.fullScreen && !big.stop);
    QCOMPARE(ParseArguments({"--scale", "1"}).scale, 1);
    const std::string here = std::filesystem::current_path().string();
    QCOMPARE(parsed.files, std::vector<std::string>({here + "/notes.txt", here + "/prog.bas"}));
  }

  // The program itself: --help and refusals end before Qt needs a display
  // (a platform that does not exist would abort the start of any window).
  void theProgramAnswersHelpAndRefusalsWithoutAWindow() {
    const QString program = QStringLiteral(RQ4800_BINARY_DIR "/host/qt/rq4800");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    struct Row {
      QStringList arguments;
      int exitCode;
      const char* saying;
    };
    const Row rows[] = {
        {{"--help"}, 0, "--exit-after SECONDS"},
        {{"--exit-after", "abc"}, 2, "abc"},
        {{"--no-such-option"}, 2, "--no-such-option"},
    };
    for (const Row& row : rows) {
      QProcess process;
      process.setProcessEnvironment(environment);
      process.setWorkingDirectory(folder->path());
      process.start(program, row.arguments);
      QVERIFY(process.waitForFinished(30000));
      const QString said = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
      QCOMPARE(process.exitStatus(), QProcess::NormalExit);
      QVERIFY2(process.exitCode() == row.exitCode, qPrintable(said));
      QVERIFY2(said.contains(QLatin1String(row.saying)), qPrintable(said));
    }
  }

  // The About dialog's link opens the README carried in the program: it
  // shows without the source tree (the test runs from an empty folder).
  void aboutShowsTheReadmeCarriedInTheProgram() {
    std::filesystem::current_path(Folder());
    AboutDialog about(nullptr);
    QVERIFY(about.link->text().contains(QStringLiteral("README")));
    QVERIFY(!about.link->text().contains(QStringLiteral("file:")));
    QSignalSpy opened(&about, &AboutDialog::linkOpened);
    emit about.link->linkActivated(QStringLiteral("readme"));
    QCOMPARE(opened.count(), 1);
    auto* readme = about.findChild<QTextBrowser*>(QStringLiteral("readme"));
    QVERIFY(readme != nullptr && readme->isVisible());
    QVERIFY(readme->toPlainText().contains(QStringLiteral("The desktop emulator")));
  }
};

}  // namespace rq4800

QTEST_MAIN(rq4800::FlashQuestionsTest)
#include "flash_questions_test.moc"
