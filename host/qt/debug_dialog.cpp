#include "host/qt/debug_dialog.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "debugger/debug_texts.h"
#include "machine/machine.h"

namespace rq4800 {

namespace {

// The dialog's layout is given in dialog units of a 10-point font; these
// are those units in pixels for the fonts the desktop shows.
QRect Units(int x, int y, int w, int h) { return QRect(x * 7 / 4, y * 13 / 8, w * 7 / 4, h * 13 / 8); }

// The device texts end their lines with CR LF.
QString FromDeviceText(const char* text) { return QString::fromLatin1(text).remove(QLatin1Char('\r')); }

}  // namespace

DebugDialog::DebugDialog(Machine& machine, QWidget* parent)
    : QDialog(parent), machine_(machine), buffer_(kMemoryDumpSize + kListingSize) {
  setWindowTitle(tr("调试"));
  setModal(true);
  setFixedSize(Units(0, 0, 430, 273).size());
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

  registerLine = new QLineEdit(this);
  registerLine->setObjectName(QString::number(kRegisterLineId));
  registerLine->setReadOnly(true);
  registerLine->setGeometry(Units(7, 7, 413, 18));

  listing = new QPlainTextEdit(this);
  listing->setObjectName(QString::number(kListingId));
  listing->setGeometry(Units(7, 24, 145, 171));

  dump = new QPlainTextEdit(this);
  dump->setObjectName(QString::number(kDumpId));
  dump->setGeometry(Units(170, 23, 243, 170));

  address = new QLineEdit(this);
  address->setObjectName(QString::number(kAddressId));
  address->setMaxLength(static_cast<int>(kAddressBoxChars));
  address->setGeometry(Units(7, 208, 46, 19));

  listButton = new QPushButton(tr("反汇编"), this);
  listButton->setObjectName(QString::number(kListButtonId));
  listButton->setAutoDefault(false);
  listButton->setDefault(false);
  listButton->setGeometry(Units(63, 209, 50, 18));

  for (QWidget* w : std::initializer_list<QWidget*>{registerLine, listing, dump, address}) w->setFont(fixed);
  for (QPlainTextEdit* pane : {listing, dump}) {
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  }

  char* text = buffer_.data();
  BuildRegisterLine(machine_, text);
  registerLine->setText(QString::fromLatin1(text));
  BuildMemoryDump(machine_, text);
  dump->setPlainText(FromDeviceText(text));
  BuildListing(machine_, static_cast<int>(machine_.cpu.PC), text);
  listing->setPlainText(FromDeviceText(text));

  connect(listButton, &QPushButton::clicked, this, &DebugDialog::ListFromTypedAddress);
}

void DebugDialog::ListFromTypedAddress() {
  QByteArray typed = address->text().left(static_cast<int>(kAddressBoxChars)).toLatin1();
  char* text = buffer_.data();
  BuildListing(machine_, ListingAddressFromText(typed.constData()), text);
  listing->setPlainText(FromDeviceText(text));
}

void DebugDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace rq4800
