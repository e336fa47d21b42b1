#pragma once
// The console of the desktop program, "日志": the flash information report,
// the problems the user must learn about in full, and every debug-log line
// after the window first opens. The device's host program attaches a console
// at its first report; a window program here has none, so this window shows
// what that console would. Lines also still go to standard output.
#include <QPlainTextEdit>
#include <QString>
#include <QTimer>

namespace rq4800 {

class LogWindow final : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit LogWindow(QWidget* parent = nullptr);
  // Takes a piece of the log; pieces are shown together a moment later, so
  // that a burst of lines (a flash program, speech commands) costs one update.
  void Append(QString text);
  // Shows everything taken so far at once.
  void Flush();

 private:
  QString pending_;
  QTimer flushTimer_;
};

}  // namespace rq4800
