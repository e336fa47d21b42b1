// The main window's flash safety: the save with its report, the question
// before quitting with a flash the image file lacks, and the one before
// "初始化FLASH" wipes the flash.
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "host/qt/main_window.h"

namespace rq4800 {

bool MainWindow::FlashChanged() const { return emulator->FlashUnsaved(); }

bool MainWindow::SaveFlash() {
  const QString file = QString::fromStdString(emulator->flashFile.dataDirectory + kFlashImageName);
  if (readOnly) {
    ShowStatus(tr("只读：FLASH未保存，映像文件未改动"));
    return false;
  }
  std::string error;
  if (emulator->SaveFlash(&error)) {
    ShowStatus(tr("FLASH已保存: %1").arg(file));
    return true;
  }
  // The reason names paths and system errors: too long for the status bar,
  // so it goes whole into the log and a message box.
  const QString reason = QString::fromStdString(error);
  ShowProblem(tr("保存FLASH失败: %1\n").arg(reason));
  QMessageBox box(QMessageBox::Warning, windowTitle(), tr("保存FLASH失败，映像文件未改动。"),
                  QMessageBox::Ok, this);
  box.setInformativeText(reason);
  box.button(QMessageBox::Ok)->setText(tr("确定"));
  RunModal(box);
  return false;
}

void MainWindow::Quit() {
  if (exiting_) return;
  exiting_ = true;
  loopTimer_.stop();
  StopRecording();
  SaveWorkingFolder(paths);
  emit quitRequested();
}

int MainWindow::Ask(const QString& text, const QString& detail, const std::vector<Choice>& choices, int preferred) {
  QMessageBox box(QMessageBox::Question, windowTitle(), text, QMessageBox::NoButton, this);
  if (!detail.isEmpty()) box.setInformativeText(detail);
  std::vector<QPushButton*> buttons;
  for (const Choice& choice : choices) {
    buttons.push_back(box.addButton(choice.text, static_cast<QMessageBox::ButtonRole>(choice.role)));
  }
  QPushButton* cancel = box.addButton(tr("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(preferred >= 0 ? buttons[static_cast<size_t>(preferred)] : cancel);
  box.setEscapeButton(cancel);
  RunModal(box);
  const auto taken = std::find(buttons.begin(), buttons.end(), box.clickedButton());
  return taken == buttons.end() ? -1 : static_cast<int>(taken - buttons.begin());
}

bool MainWindow::ConfirmQuit() {
  if (readOnly) return ConfirmQuitReadOnly();
  if (!FlashChanged()) return true;
  switch (Ask(tr("FLASH已修改，是否保存？"), tr("不保存则下载的文件和设备写入的内容都将丢失。"),
              {{tr("保存"), QMessageBox::AcceptRole}, {tr("不保存"), QMessageBox::DestructiveRole}}, 0)) {
    case 0: return SaveFlash();  // a failed save keeps the window open
    case 1: return true;
    default: return false;
  }
}

bool MainWindow::ConfirmInitialiseFlash() {
  return Ask(tr("初始化FLASH将清除设备中的全部文件并复位，是否继续？"),
             tr("已保存的映像文件在下次保存FLASH前不受影响。"), {{tr("初始化"), QMessageBox::DestructiveRole}},
             -1) == 0;
}

}  // namespace rq4800
