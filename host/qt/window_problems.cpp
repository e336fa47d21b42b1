// The main window's problem display. Problems come through the problem
// channel of the platform-free code (and from the window's own failed save);
// the status bar shows the first line of the latest, the log window keeps
// every one in full. Those met during start-up, before the window exists,
// wait for it and are shown when it first appears.
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <cstdio>

#include "host/qt/log_window.h"
#include "host/qt/main_window.h"
#include "host/qt/screen_widget.h"

namespace rq4800 {

void MainWindow::TakeProblem(std::string_view text) {
  // Standard error keeps them too, for a window that never got to show them.
  if (previousProblem_.sink != nullptr) {
    previousProblem_.sink(previousProblem_.context, text);
  } else {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
  const QString problem = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (started_) {
    ShowProblem(problem);
  } else {
    startupProblems_ += problem;
  }
}

void MainWindow::ShowProblem(const QString& text) {
  const QString firstLine = text.section(QLatin1Char('\n'), 0, 0, QString::SectionSkipEmpty);
  ShowStatus(tr("问题: %1").arg(firstLine));
  if (logWindow == nullptr) logWindow = new LogWindow(this);
  logWindow->Append(text.endsWith(QLatin1Char('\n')) ? text : text + QLatin1Char('\n'));
  logWindow->Flush();
  if (isVisible()) {
    ShowLogWindow(false);
  } else {
    logWindowDue_ = true;
  }
}

void MainWindow::ShowLogWindow(bool activate) {
  if (logWindow == nullptr) logWindow = new LogWindow(this);
  // Shown for a problem, it must not take the keys from the device.
  logWindow->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
  logWindow->show();
  if (activate) logWindow->raise();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (logWindowDue_) {
    logWindowDue_ = false;
    ShowLogWindow(false);
  }
}

void MainWindow::ReturnKeysToDevice() {
  if (QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr) return;
  if (QApplication::focusWidget() == menuBar()) screenWidget->setFocus(Qt::OtherFocusReason);
}

}  // namespace rq4800
