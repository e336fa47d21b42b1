// The main window's side of the debugger window: the "调试器" item (Ctrl+D)
// in "设置" after "调试", the one window it opens, and the frame schedule
// held while the debugger has the machine stopped.
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "host/qt/debugger_window.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"

namespace rq4800 {

void MainWindow::BuildDebuggerItem() {
  auto* open = new QAction(tr("调试器      Ctrl+D"), this);
  open->setObjectName(QStringLiteral("openDebugger"));
  connect(open, &QAction::triggered, this, &MainWindow::OpenDebugger);
  auto* key = new QShortcut(QKeySequence(QStringLiteral("Ctrl+D")), this);
  connect(key, &QShortcut::activated, this, &MainWindow::OpenDebugger);
  QAction* debug = actions.count(command::kDebug) ? actions[command::kDebug] : nullptr;
  QMenu* settings = nullptr;
  for (QAction* title : menuBar()->actions()) {
    if (title->menu() != nullptr && title->menu()->actions().contains(debug)) settings = title->menu();
  }
  if (settings == nullptr) {
    menuBar()->addAction(open);
    return;
  }
  const QList<QAction*> items = settings->actions();
  const qsizetype after = items.indexOf(debug) + 1;
  settings->insertAction(after < items.size() ? items[after] : nullptr, open);
}

void MainWindow::OpenDebugger() {
  if (debuggerWindow == nullptr) debuggerWindow = new DebuggerWindow(*this);
  debuggerWindow->Open();
}

void MainWindow::DebuggerHeld() {
  // The LCD as the device shows it at this instruction, mid-frame or not.
  Paint();
  ShowFault();
  if (debuggerWindow != nullptr) debuggerWindow->ShowStop();
}

void MainWindow::DebuggerRunsOn() { KickLoop(); }

void MainWindow::DebuggerDetached() {
  // Back to the schedule, on the direct path; the rest of a stopped frame first.
  RestartPacing(emulator->pacing);
  KickLoop();
}

}  // namespace rq4800
