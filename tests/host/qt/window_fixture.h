#pragma once
// What the desktop window's offscreen tests share: a pacing clock that moves
// only when a test moves it, and a window in a program folder of its own.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/qt/command_line.h"
#include "host/qt/main_window.h"
#include "host/settings_file.h"
#include "tests/file_text.h"

namespace rq4800 {

inline constexpr uint64_t kTicksPerMs = 1'000'000;  // a nanosecond clock: 1000 MHz

// The measurement's one-second wait moves it by 3000 ticks per µs.
struct FakeClock final : IPacingClock, IMeasureClock {
  uint64_t ticks = 5'000'000'000, ms = 0;
  uint64_t Ticks() override { return ticks; }
  uint64_t TicksPerSecond() override { return 1'000 * kTicksPerMs; }
  uint64_t Milliseconds() override { return ms; }
  void Sleep(int milliseconds) override {
    ms += static_cast<uint64_t>(milliseconds);
    ticks += static_cast<uint64_t>(milliseconds) * 3'000'000;
  }
};

// A window started in `folder` (with its trailing separator), without sound
// and without its own loop; with measure = false the settings already hold
// the frequency. `adjust` changes the options a test is about.
inline std::unique_ptr<MainWindow> MakeTestWindow(const std::string& folder, FakeClock& clock, bool measure = false,
                                                  const std::function<void(DesktopOptions&)>& adjust = {}) {
  if (!measure) std::ofstream(folder + "rq4800.ini", std::ios::app) << "[CPU]\nFrequency=1000\n";
  DesktopOptions options{.programFolder = folder, .pacingClock = &clock, .measureClock = &clock, .sound = false,
                         .runLoop = false, .systemLanguages = std::vector<std::string>{"zh-CN"}};
  if (adjust) adjust(options);
  return std::make_unique<MainWindow>(options);
}

// What each window test stands on: a program folder of its own (entered by
// init, left by cleanup, as the slots of a test class call them) and the fake
// clock its windows pace by. Test classes derive from it beside QObject.
struct WindowScratch {
  std::unique_ptr<QTemporaryDir> folder;
  std::string previousWorkingFolder;
  FakeClock clock;

  std::string Folder() const { return folder->path().toStdString() + "/"; }
  bool Begin() {
    previousWorkingFolder = std::filesystem::current_path().string();
    folder = std::make_unique<QTemporaryDir>();
    return folder->isValid();
  }
  void End() {
    std::filesystem::current_path(previousWorkingFolder);
    folder.reset();
  }
  // Passes of the main loop, one per millisecond of the fake clock.
  void RunFor(MainWindow& window, int milliseconds) {
    for (int i = 0; i < milliseconds; ++i, clock.ticks += kTicksPerMs) window.PacingPass();
  }
};

// The command line given after the program's name.
inline DesktopCommandLine ParseArguments(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "rq4800");
  return ParseDesktopCommandLine(int(arguments.size()), arguments.data(), "0.1");
}

inline void ShowActive(MainWindow& window) {
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
}

// A message box as the user met it, and the answer given.
struct Question {
  QString text;
  QStringList buttons;    // sorted
  QString defaultButton;  // what Enter chooses
};

// Answers the window's modal dialogs in turn, once each is showing: a
// message box by the button of that text (or by Enter when the answer is
// empty), anything else by closing it. Every question is recorded.
struct DialogAnswers {
  explicit DialogAnswers(std::vector<QString> inTurn) : answers(std::move(inTurn)) {}
  std::vector<QString> answers;
  std::vector<Question> asked;
  size_t next = 0;

  void Attach(MainWindow& window) {
    QObject::connect(&window, &MainWindow::dialogOpened, &window, [this](QDialog* dialog) {
      QTimer::singleShot(0, dialog, [this, dialog] { Answer(dialog); });
    });
  }

  void Answer(QDialog* dialog) {
    const QString answer = next < answers.size() ? answers[next] : QString();
    ++next;
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box == nullptr) {
      dialog->reject();
      return;
    }
    Question question{box->text() + QLatin1Char('\n') + box->informativeText(), {}, {}};
    for (QAbstractButton* button : box->buttons()) question.buttons << button->text();
    question.buttons.sort();
    if (box->defaultButton() != nullptr) question.defaultButton = box->defaultButton()->text();
    asked.push_back(question);
    if (answer.isEmpty()) {
      QTest::keyClick(box, Qt::Key_Return);
      return;
    }
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == answer) {
        button->click();
        return;
      }
    }
    box->reject();  // no such button: the test's comparisons will say so
  }
};

}  // namespace rq4800
