// One program per data folder. Two programs saving one flash image would each
// overwrite what the other saved, so the first holds a lock file in the data
// folder for as long as it runs; a second finds it held, says so and offers
// to run read-only (saving nothing: no flash image, no state slots, no
// settings) or to quit. A lock left by a program that died is taken over.
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include "core/debug_log.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"

namespace rq4800 {

namespace {
constexpr const char* kLockFileName = "rq4800.lock";
}  // namespace

void MainWindow::ClaimDataFolder(const DesktopOptions& options) {
  if (options.readOnly) {
    readOnly = paths.readOnly = true;  // asked for: no lock is needed to write nothing
    return;
  }
  dataLock_ = std::make_unique<QLockFile>(QString::fromStdString(paths.dataDirectory + kLockFileName));
  // A lock is stale only when its program is gone, never for its age: the
  // program holding it may run for days.
  dataLock_->setStaleLockTime(0);
  if (dataLock_->tryLock(0)) return;
  if (dataLock_->error() != QLockFile::LockFailedError) {
    // No lock can be made (a folder that cannot be written): saves will
    // fail with their own reasons, so the program runs as it would have.
    ReportProblem("%s: the data folder cannot be locked, so a second program on it would not be noticed\n",
                  (paths.dataDirectory + kLockFileName).c_str());
    return;
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumora模拟器"),
                  tr("另一个模拟器正在使用数据文件夹 %1。").arg(QString::fromStdString(paths.dataDirectory)),
                  QMessageBox::NoButton);
  box.setInformativeText(
      tr("两个程序不能同时保存同一个FLASH映像。以只读方式打开（不保存FLASH、状态和设置），还是退出？"));
  QPushButton* readOnlyButton = box.addButton(tr("只读打开"), QMessageBox::AcceptRole);
  QPushButton* quit = box.addButton(tr("退出"), QMessageBox::RejectRole);
  box.setDefaultButton(readOnlyButton);
  box.setEscapeButton(quit);
  box.exec();
  dataLock_.reset();
  if (box.clickedButton() == readOnlyButton) {
    readOnly = paths.readOnly = true;
  } else {
    quitAtStart = true;
  }
}

void MainWindow::SetUpKeysAndFiles() {
  emulator->flashFile.readOnly = readOnly;
  emulator->keyMap = ReadKeyMap(paths.settingsFile);
  recentFiles = ReadRecentFiles(paths.settingsFile);
  BuildRecentMenu();
  if (QAction* debug = actions[command::kDebug]) {
    QAction* keys = new QAction(tr("按键设置..."), this);
    keys->setObjectName(QStringLiteral("keyDialog"));
    connect(keys, &QAction::triggered, this, &MainWindow::OpenKeyDialog);
    // After "调试" and whatever follows it there (the debugger window).
    QMenu* settings = qobject_cast<QMenu*>(debug->parent());
    if (settings != nullptr) settings->addAction(keys);
  }
  if (readOnly) {
    setWindowTitle(windowTitle() + tr(" [只读]"));
    auto* label = new QLabel(tr("只读"), this);
    label->setObjectName(QStringLiteral("readOnly"));
    label->setToolTip(tr("不保存FLASH、状态和设置"));
    statusBar()->addPermanentWidget(label);
  }
}

bool MainWindow::ConfirmQuitReadOnly() {
  if (!FlashChanged()) return true;
  return Ask(tr("只读：FLASH的改动不会保存，是否退出？"), tr("只读方式下本程序不写入FLASH映像。"),
             {{tr("退出"), QMessageBox::DestructiveRole}}, -1) == 0;
}

}  // namespace rq4800
