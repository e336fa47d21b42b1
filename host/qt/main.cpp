// rq4800: the desktop emulator. Starts the machine beside the program's own
// folder (settings "rq4800.ini", flash image in "data/"), shows the window
// centred on the screen and runs until "退出" or the window is closed.
//
// One option exists for the CPU-use benchmark: --exit-after SECONDS quits on
// its own after that long and prints how many frames ran.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "host/qt/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  rq4800::DesktopOptions options;
  options.programFolder = QCoreApplication::applicationDirPath().toStdString();
  int exitAfterSeconds = 0;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == QStringLiteral("--exit-after")) exitAfterSeconds = arguments[i + 1].toInt();
  }

  rq4800::MainWindow window(options);
  QObject::connect(&window, &rq4800::MainWindow::quitRequested, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  window.show();
  // Centred on the screen, whatever the decorations add to the window.
  if (QScreen* screen = window.QWidget::screen()) {
    const QRect outer = window.frameGeometry();
    const QRect area = screen->geometry();
    window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
  }

  const auto start = std::chrono::steady_clock::now();
  if (exitAfterSeconds > 0) {
    QTimer::singleShot(exitAfterSeconds * 1000, &window, [&window] { window.RunCommand(40001); });
  }
  const int code = app.exec();
  if (exitAfterSeconds > 0) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("ran %d frames in %.2f s: %.2f frames per second\n", window.framesRun, seconds,
                window.framesRun / seconds);
    std::fflush(stdout);
  }
  return code;
}
