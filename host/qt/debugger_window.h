#pragma once
// The debugger window "调试器", beside the main window and not modal: the
// machine runs on while it is open. Its breakpoints and watchpoints stop the
// frames at an instruction (anywhere in a frame); the window then comes
// forward with the reason on its status line, the registers (editable), the
// code around PC, memory (editable) and the stack, and the LCD shows the
// device as it is at that instant. Run, stop, step, step over and step out
// are buttons and keys no device key uses: F6, Shift+F6, F7, F10, Shift+F7,
// live while this window has the keyboard.
//
// Closing it detaches the debugger: the machine runs on at full speed on its
// direct path. The breakpoints and watchpoints are kept for the next time it
// opens, but nothing stops on them while it is closed.
#include <QWidget>
#include <memory>

#include "debugger/debug_driver.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace rq4800 {

class DisassemblyView;
class MainWindow;
class MemoryView;
class RegisterPanel;

class DebuggerWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit DebuggerWindow(MainWindow& main);
  ~DebuggerWindow() override;

  DebugDriver driver;

  QLabel* status;
  RegisterPanel* registers;
  DisassemblyView* code;
  MemoryView* memory;
  QListWidget* breakList;
  QLineEdit* breakAddress;
  QListWidget* watchList;
  QLineEdit* watchRange;
  QComboBox* watchAccess;
  QCheckBox* stopOnIrq;
  QCheckBox* stopOnNmi;
  QPushButton* runButton;
  QPushButton* stopButton;
  QPushButton* stepButton;
  QPushButton* overButton;
  QPushButton* outButton;

  // Attaches, shows and brings the window forward.
  void Open();
  // The machine stopped: forward, showing where and why.
  void ShowStop();
  void RunOn();
  void Stop();
  void Step(DebugStep kind);
  // One command of the debugger's language; false when it was refused (the
  // reason is on the status line). Every view shows the result.
  bool Command(const QString& line);
  void Refresh();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildLists();
  QWidget* BuildButtons();
  void ShowRunState();
  MainWindow& main_;
};

}  // namespace rq4800
