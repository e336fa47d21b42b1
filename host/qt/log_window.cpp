#include "host/qt/log_window.h"

#include <QFontDatabase>
#include <QTextCursor>

namespace rq4800 {

LogWindow::LogWindow(QWidget* parent) : QPlainTextEdit(parent) {
  setWindowFlag(Qt::Window);
  setWindowTitle(tr("日志"));
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setMaximumBlockCount(20000);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  resize(560, 420);
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(100);
  connect(&flushTimer_, &QTimer::timeout, this, &LogWindow::Flush);
}

void LogWindow::Append(QString text) {
  pending_ += text;
  if (!flushTimer_.isActive()) flushTimer_.start();
}

void LogWindow::Flush() {
  if (pending_.isEmpty()) return;
  // Whole lines become blocks; a line still being written waits for its end.
  qsizetype cut = pending_.lastIndexOf(QLatin1Char('\n'));
  if (cut < 0) return;
  QString lines = pending_.left(cut);
  pending_.remove(0, cut + 1);
  appendPlainText(lines);
  moveCursor(QTextCursor::End);
}

}  // namespace rq4800
