// "按键设置...": the key-mapping dialog, run paused like every dialog. An
// accepted map takes effect at once and is kept in the settings' section
// "Keys" (not while read-only: then it lasts until the program ends).
#include "host/qt/key_dialog.h"
#include "host/qt/main_window.h"

namespace rq4800 {

void MainWindow::OpenKeyDialog() {
  KeyDialog dialog(emulator->keyMap, this);
  if (RunModal(dialog) != QDialog::Accepted) return;
  // A key held through the dialog may have no PC key left to release it.
  ReleaseKeys(*machine, machine->keys);
  emulator->keyMap = dialog.Result();
  if (readOnly) {
    ShowStatus(tr("按键设置已生效（只读：不保存）"));
    return;
  }
  std::string error;
  if (WriteKeyMap(paths.settingsFile, emulator->keyMap, &error)) {
    ShowStatus(tr("按键设置已保存"));
  } else {
    ShowProblem(tr("按键设置未能保存: %1\n").arg(QString::fromStdString(error)));
  }
}

}  // namespace rq4800
