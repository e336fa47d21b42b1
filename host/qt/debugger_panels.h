#pragma once
// The debugger window's register panel: the register line as the debug
// texts write it (with PC's label), a box for each register and bank port
// and a box for each flag. A value typed into a box is set as the command
// "set" sets it (bank ports written through the bus, so the windows follow);
// a refused value leaves the register as it was and the box shows it again.
// Below it the stack: page 1 from SP up.
#include <QWidget>
#include <functional>
#include <map>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace rq4800 {

struct DebugDriver;

class RegisterPanel final : public QWidget {
  Q_OBJECT
 public:
  RegisterPanel(DebugDriver& driver, QWidget* parent);

  QLabel* line;
  std::map<QString, QLineEdit*> boxes;  // A X Y SP PC P BANK BSW
  std::map<QString, QCheckBox*> flags;  // N V D I Z C
  QListWidget* stack;
  std::function<bool(const QString&)> command;

  void Redraw();

 private:
  DebugDriver& driver_;
  bool filling_ = false;
};

}  // namespace rq4800
