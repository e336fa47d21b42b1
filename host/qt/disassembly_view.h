#pragma once
// The debugger window's code: a disassembly with the labels of the symbol
// table that follows PC (the listing moves only when PC leaves it), the PC's
// line selected and a mark in the margin of every line with a breakpoint.
// A click in the margin sets or clears the breakpoint of that line; the
// address box lists from any address or label.
#include <QWidget>
#include <functional>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace rq4800 {

struct DebugDriver;

class DisassemblyView final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kLines = 40;
  static constexpr int kMarginColumn = 0;

  DisassemblyView(DebugDriver& driver, QWidget* parent);

  QTableWidget* table;
  QLineEdit* address;
  // Runs a debugger command line; false (and the reason shown) when refused.
  std::function<bool(const QString&)> command;

  // Lists from PC unless PC is already a line of the listing.
  void FollowPc();
  // The same lines again (breakpoint marks, bytes changed by an edit).
  void Redraw();
  // Lists from the address or label in the box.
  void ListFromBox();
  // The address of a listed row, or -1.
  int AddressOfRow(int row) const;
  int RowOf(int address) const;

 private:
  void ListFrom(int address);
  void ToggleBreakpoint(int row);
  DebugDriver& driver_;
  std::vector<int> addresses_;  // of each row
};

}  // namespace rq4800
