// rq4800: the desktop emulator. Reads its command line first (--help and
// refused arguments end here, before any window or display is needed), then
// starts the machine beside the program's own folder (settings "rq4800.ini",
// flash image in "data/"; an installed program uses the user's XDG folders,
// see host/data_folders.h), shows the window centred on the screen, downloads
// the files named on the command line and runs until "退出" or the window is
// closed.
//
// --exit-after SECONDS exists for the CPU-use benchmark: it quits on its own
// after that long, without the question about a changed flash, and prints how
// many frames ran. --no-rewind keeps no rewind history (the benchmark's
// comparison of what the history costs). --scale N shows the picture N
// times its size for this run; --fullscreen starts in full screen.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "host/qt/command_line.h"
#include "host/qt/main_window.h"

int main(int argc, char** argv) {
  const rq4800::DesktopCommandLine commandLine = rq4800::ParseDesktopCommandLine(argc, argv, RQ4800_VERSION);
  if (commandLine.stop) {
    std::fputs(commandLine.output.c_str(), stdout);
    std::fputs(commandLine.error.c_str(), stderr);
    return commandLine.exitCode;
  }

  QApplication app(argc, argv);
  rq4800::DesktopOptions options;
  options.programFolder = QCoreApplication::applicationDirPath().toStdString();
  options.userFolders = rq4800::UserFoldersOfThisUser();  // where an installed program keeps its files
  options.rewind = commandLine.rewind;
  options.scale = commandLine.scale;
  options.readOnly = commandLine.readOnly;
  rq4800::MainWindow window(options);
  if (window.quitAtStart) return 0;  // another program has the data folder; the user chose to quit
  QObject::connect(&window, &rq4800::MainWindow::quitRequested, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  if (commandLine.fullScreen) {
    window.SetFullScreen(true);
  } else {
    window.show();
  }
  // Centred on the screen, whatever the decorations add to the window.
  if (QScreen* screen = window.QWidget::screen(); screen != nullptr && !commandLine.fullScreen) {
    const QRect outer = window.frameGeometry();
    const QRect area = screen->geometry();
    window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
  }
  window.LoadFiles(commandLine.files);

  const int exitAfterSeconds = commandLine.exitAfterSeconds;
  const auto start = std::chrono::steady_clock::now();
  if (exitAfterSeconds > 0) {
    QTimer::singleShot(exitAfterSeconds * 1000, &window, [&window] {
      if (window.FlashChanged()) std::fputs("rq4800: the flash was changed and is not saved\n", stderr);
      window.Quit();
    });
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
