// The main window's files: the open-file dialog's filters, "最近的文件" (the
// last ten files downloaded, kept in the settings), and opening a whole flash
// image (".fls"), which never costs the user the flash they have: the file is
// checked first, and a flash the image file lacks is offered a save.
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "core/file_io.h"
#include "host/paths.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"

namespace rq4800 {

QStringList MainWindow::OpenFileFilters() const {
  QStringList filters = QString::fromLatin1(kOpenFileFilters).split(QStringLiteral(";;"));
  filters << tr("FLASH映像 (*.fls)") << tr("全部支持的文件 (*.bin *.txt *.ski *.bas *.fls)");
  return filters;
}

void MainWindow::BuildRecentMenu() {
  QAction* download = actions[command::kDownload];
  auto* file = download != nullptr ? qobject_cast<QMenu*>(download->parent()) : nullptr;
  if (file == nullptr) return;
  recentMenu = new QMenu(tr("最近的文件"), this);
  recentMenu->setObjectName(QStringLiteral("recentFiles"));
  const QList<QAction*> items = file->actions();
  const qsizetype at = items.indexOf(download);
  file->insertMenu(at + 1 < items.size() ? items[at + 1] : nullptr, recentMenu);
  connect(recentMenu, &QMenu::aboutToShow, this, &MainWindow::RefreshRecentMenu);
  RefreshRecentMenu();
}

void MainWindow::RefreshRecentMenu() {
  if (recentMenu == nullptr) return;
  recentMenu->clear();
  int number = 0;
  for (const std::string& path : recentFiles.paths) {
    const QString file = QString::fromStdString(path);
    QString text = file;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = recentMenu->addAction(QStringLiteral("&%1 %2").arg(++number % 10).arg(text));
    action->setData(file);
    connect(action, &QAction::triggered, this, [this, file] { OpenRecentFile(file); });
  }
  if (recentFiles.paths.empty()) recentMenu->addAction(tr("（无）"))->setEnabled(false);
}

void MainWindow::RememberFile(const std::string& path) {
  NoteRecentFile(recentFiles, path);
  RefreshRecentMenu();
  if (readOnly) return;
  std::string error;
  if (!WriteRecentFiles(paths.settingsFile, recentFiles, &error)) {
    ShowProblem(tr("最近的文件未能写入设置: %1\n").arg(QString::fromStdString(error)));
  }
}

void MainWindow::OpenRecentFile(const QString& path) {
  const std::string file = path.toStdString();
  if (!QFileInfo(path).isFile()) {
    ForgetRecentFile(recentFiles, file);
    RefreshRecentMenu();
    std::string error;
    if (!readOnly && !WriteRecentFiles(paths.settingsFile, recentFiles, &error)) {
      ShowProblem(tr("最近的文件未能写入设置: %1\n").arg(QString::fromStdString(error)));
    }
    ShowStatus(tr("%1 已不存在，已从最近的文件中移除").arg(path));
    return;
  }
  LoadFile(file);
}

QString MainWindow::OpenFlashImage(const std::string& path) {
  const QString name = QString::fromStdString(FileNameOf(path));
  auto finish = [this](const QString& line) {
    ShowStatus(line);
    ShowFault();
    Paint();
    return line;
  };
  // Checked as the image file is at start-up, before anything is asked or changed.
  const FileRead image = ReadImageFile(path, BusRQ4800::kFlashSize);
  if (!image.ok()) {
    return finish(tr("%1: 不是可用的FLASH映像，FLASH未改动（%2）").arg(name, QString::fromStdString(image.error)));
  }
  if (FlashChanged()) {
    // Read-only there is nothing to save: load or keep the flash.
    const bool load = readOnly
        ? Ask(tr("只读：FLASH的改动不会保存，是否载入 %1？").arg(name), QString(),
              {{tr("载入"), QMessageBox::DestructiveRole}}, -1) == 0
        : [&] {
            switch (Ask(tr("FLASH已修改，载入 %1 前是否保存？").arg(name),
                        tr("不保存则下载的文件和设备写入的内容都将丢失。"),
                        {{tr("保存"), QMessageBox::AcceptRole}, {tr("不保存"), QMessageBox::DestructiveRole}}, 0)) {
              case 0: return SaveFlash();
              case 1: return true;
              default: return false;
            }
          }();
    if (!load) return finish(tr("%1: 未载入，FLASH未改动").arg(name));
  }
  LoadFlashImageFile(*machine, image.bytes.data(), image.bytes.size());
  RememberFile(path);
  return finish(tr("%1: FLASH映像已载入（保存FLASH后才写入映像文件）").arg(name));
}

}  // namespace rq4800
