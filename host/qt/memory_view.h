#pragma once
// The debugger window's memory: 256 bytes in hexadecimal, from the address
// space as the processor sees it now (the ports show their latches, so
// looking changes nothing) or from the RAM, ROM or flash chip by physical
// offset. A byte typed into a cell is written there: through the bus for the
// address space (a port write does what the processor's would), directly
// into the chip's memory otherwise.
#include <QWidget>
#include <cstdint>
#include <functional>

class QComboBox;
class QLineEdit;
class QTableWidget;
class QTableWidgetItem;

namespace rq4800 {

struct Machine;

class MemoryView final : public QWidget {
  Q_OBJECT
 public:
  enum Area { kBus, kRam, kRom, kFlash };
  static constexpr int kRows = 16;

  MemoryView(Machine& machine, QWidget* parent);

  QComboBox* area;
  QLineEdit* address;
  QTableWidget* table;
  std::function<bool(const QString&)> command;

  void Show(Area shown, int64_t start);
  void Redraw();
  int64_t Start() const { return start_; }

 private:
  int64_t Size() const;
  void Edited(QTableWidgetItem* item);
  Machine& machine_;
  int64_t start_ = 0;
  bool filling_ = false;
};

}  // namespace rq4800
