#include "host/qt/debugger_panels.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "debugger/debug_driver.h"
#include "debugger/debug_texts.h"

namespace rq4800 {

namespace {

struct RegisterBox {
  const char* name;
  int digits;
};
constexpr RegisterBox kBoxes[] = {{"A", 2}, {"X", 2}, {"Y", 2}, {"SP", 2}, {"PC", 4}, {"P", 2}, {"BANK", 2}, {"BSW", 1}};
constexpr const char* kFlags = "NVDIZC";
constexpr int kFlagBits[] = {7, 6, 3, 2, 1, 0};

QString Hex(uint32_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

RegisterPanel::RegisterPanel(DebugDriver& driver, QWidget* parent) : QWidget(parent), driver_(driver) {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  line = new QLabel(this);
  line->setObjectName(QStringLiteral("registerLine"));
  line->setFont(fixed);
  line->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* grid = new QGridLayout;
  int column = 0;
  for (const RegisterBox& r : kBoxes) {
    const QString name = QString::fromLatin1(r.name);
    auto* box = new QLineEdit(this);
    box->setObjectName(QStringLiteral("reg") + name);
    box->setFont(fixed);
    box->setMaxLength(r.digits + 2);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (r.digits + 3) + 8);
    connect(box, &QLineEdit::editingFinished, this, [this, name, box] {
      if (filling_ || !command || !box->isModified()) return;
      box->setModified(false);
      command(QStringLiteral("set ") + name + QLatin1Char(' ') + box->text().trimmed());
    });
    grid->addWidget(new QLabel(name, this), 0, column);
    grid->addWidget(box, 1, column++);
    boxes[name] = box;
  }
  auto* flagRow = new QHBoxLayout;
  for (int i = 0; kFlags[i] != 0; ++i) {
    const QString name(QLatin1Char(kFlags[i]));
    auto* box = new QCheckBox(name, this);
    box->setObjectName(QStringLiteral("flag") + name);
    connect(box, &QCheckBox::toggled, this, [this, name](bool on) {
      if (!filling_ && command) command(QStringLiteral("set ") + name + (on ? QStringLiteral(" 1") : QStringLiteral(" 0")));
    });
    flagRow->addWidget(box);
    flags[name] = box;
  }
  flagRow->addStretch();

  stack = new QListWidget(this);
  stack->setObjectName(QStringLiteral("stack"));
  stack->setFont(fixed);
  stack->setMaximumHeight(stack->fontMetrics().height() * 9);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(line);
  layout->addLayout(grid);
  layout->addLayout(flagRow);
  layout->addWidget(new QLabel(tr("堆栈"), this));
  layout->addWidget(stack);
}

void RegisterPanel::Redraw() {
  filling_ = true;
  const Machine& m = *driver_.emulator.machine;
  char text[kRegisterLineSize];
  BuildRegisterLine(m, text);
  const std::string label = LabelFor(driver_.debugger().symbols, static_cast<int>(m.cpu.PC));
  line->setText(QString::fromLatin1(text) + (label.empty() ? QString() : QStringLiteral("  ") + QString::fromStdString(label)));
  const uint32_t values[] = {m.cpu.A, m.cpu.X, m.cpu.Y, m.cpu.SP & 0xFF, m.cpu.PC, m.cpu.P,
                             m.bus.ports[0x00] & 0xFF, m.bus.ports[0x0A] & 0x0F};
  for (size_t i = 0; i < std::size(kBoxes); ++i) {
    QLineEdit* box = boxes[QString::fromLatin1(kBoxes[i].name)];
    box->setText(Hex(values[i], kBoxes[i].digits));
    box->setModified(false);
  }
  for (int i = 0; kFlags[i] != 0; ++i) flags[QString(QLatin1Char(kFlags[i]))]->setChecked((m.cpu.P >> kFlagBits[i]) & 1);

  // What a return or pull would take first is at the top.
  stack->clear();
  for (int at = 0x100 + static_cast<int>(m.cpu.SP & 0xFF) + 1; at <= 0x1FF; ++at) {
    stack->addItem(Hex(static_cast<uint32_t>(at), 4) + QStringLiteral(": ") + Hex(static_cast<uint32_t>(DumpByte(m, at)), 2));
  }
  filling_ = false;
}

}  // namespace rq4800
