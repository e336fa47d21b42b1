#pragma once
// The debug window "调试": a snapshot of the machine standing still between
// frames. The register line, the 64 KB dump and a listing from PC are built
// when it opens; the address box and "反汇编" list from any other address.
// Enter and Esc do nothing here (the device's host program swallows them as
// commands); only the close box closes it.
#include <QDialog>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace rq4800 {

struct Machine;

class DebugDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kRegisterLineId = 1020;
  static constexpr int kDumpId = 1021;
  static constexpr int kListingId = 1022;
  static constexpr int kAddressId = 1023;
  static constexpr int kListButtonId = 1024;

  DebugDialog(Machine& machine, QWidget* parent);

  QLineEdit* registerLine;
  QPlainTextEdit* listing;
  QPlainTextEdit* dump;
  QLineEdit* address;
  QPushButton* listButton;

  void ListFromTypedAddress();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Machine& machine_;
  std::vector<char> buffer_;
};

}  // namespace rq4800
