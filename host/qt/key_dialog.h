#pragma once
// "按键设置": every device key of the skin, with its key code and the PC keys
// that press it. A row's PC key is changed by choosing "更改..." (or "添加..."
// to give it one more) and pressing the new key; "清除" leaves it without one
// and "恢复默认" brings back the built-in table. A PC key given to two device
// keys is a conflict: both rows are marked, the conflict is named, and OK
// stays refused until it is resolved. Keys the window keeps for itself (F5,
// F8, F10..F12, Backspace, Ctrl or Alt combinations) cannot be chosen.
#include <QDialog>

#include "host/device_key_map.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rq4800 {

class KeyDialog final : public QDialog {
  Q_OBJECT
 public:
  KeyDialog(const KeyMap& map, QWidget* parent);

  // What the user has made so far; the map once accepted.
  KeyAssignments assignments;
  KeyMap Result() const;

  QTableWidget* table = nullptr;
  QLabel* message = nullptr;  // the conflicts, or what a key press did
  QPushButton* okButton = nullptr;

  static int KeyCodeOfRow(int row);
  static int RowOfKeyCode(int keyCode);
  // The next key press goes to the selected row: it replaces the row's PC
  // keys, or with add is given beside them.
  void StartCapture(bool add);
  bool Capturing() const { return captureRow_ >= 0; }
  // A key pressed while capturing; false (and the reason shown) when the
  // key cannot be chosen, capture then going on.
  bool TakeKey(int qtKey, Qt::KeyboardModifiers modifiers);
  void ClearSelected();
  void RestoreDefaults();
  // Rows whose PC keys include a conflicting one.
  QList<int> ConflictRows() const;

  void accept() override;
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void StopCapture();
  void Refresh();

  QPushButton* changeButton_ = nullptr;
  QPushButton* addButton_ = nullptr;
  int captureRow_ = -1;
  bool captureAdds_ = false;
};

}  // namespace rq4800
